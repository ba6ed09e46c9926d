#pragma once
// Test support for the rate download: a real quotation web site on
// 127.0.0.1 port 80 (a Python program of ours or nginx, run by Wine as
// Linux processes). The download's message boxes are answered by
// testing/message_boxes.h.
#include <windows.h>
#include <string>
#include <vector>
#include "testing/message_boxes.h"

// Unix and Windows names of one file under Wine; empty when not under Wine.
std::string unix_path(const std::string& windows_path);
std::string windows_path(const std::string& unix_path);

// Only one test at a time on the whole machine may own port 80, whatever
// Wine prefix it runs in: a test holds the lock (a record lock on a file in
// the machine's temporary folder, which Wine makes a POSIX lock) from before
// its server starts, or before it counts on nothing listening, until its
// server has stopped.
void lock_quotation_port();
void unlock_quotation_port();

// The quotation site. The files of the Python server live in one folder
// beside the port lock, shared by every test on the machine; nginx keeps
// its own beside the test program and leaves a note of where in that
// folder. So a server left over by a test that died is found there by the
// next owner of the lock and stopped by its process id.
class QuotationSite {
public:
    // Starts the server in a mode of update/testdata/quotation_server.py;
    // the argument is a Unix path. Returns an empty text, or why it failed.
    std::string start(const char* mode, const std::string& argument = "");
    // Starts nginx serving the folder (a Unix path) with tools/nginx-site.sh.
    std::string start_nginx(const std::string& site);
    void stop();
    // Stops whatever server a test that died left on the port.
    void stop_leftovers();
    // The requests the Python server took, oldest first.
    std::vector<std::string> requests() const;
    // The lines of nginx's access log.
    std::vector<std::string> nginx_log() const;
    // A file in the site's folder, for pages a test makes up.
    std::string write_page(const char* name, const std::string& bytes) const;

private:
    std::string folder() const;
    bool running = false;
    bool nginx_running = false;
};
