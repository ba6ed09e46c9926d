#pragma once
// Test support for the rate download: a real quotation web site on a free
// port of 127.0.0.1 (a Python program of ours or nginx, run by Wine as
// Linux processes), with its files in a folder of the test's own, so that
// any number of tests run side by side. The download's message boxes are
// answered by testing/message_boxes.h.
#include <windows.h>
#include <string>
#include <vector>
#include "testing/files.h"
#include "testing/message_boxes.h"

// Unix and Windows names of one file under Wine; empty when not under Wine.
std::string unix_path(const std::string& windows_path);
std::string windows_path(const std::string& unix_path);

// While a server runs, the download connects to it instead of port 80 of
// the quotation host; the request stays the program's own. A server that
// outlives its test (one that died) stops by itself after a while.
class QuotationSite {
public:
    ~QuotationSite() { stop(); }
    // Starts the server in a mode of testing/quotation_server.py; the
    // argument is a Unix path. Returns an empty text, or why it failed.
    std::string start(const char* mode, const std::string& argument = "");
    // Starts nginx serving the folder (a Unix path) with tools/nginx-site.sh.
    std::string start_nginx(const std::string& site);
    // Stops the servers; the download goes to the quotation host again.
    void stop();
    // The requests the Python server took, oldest first.
    std::vector<std::string> requests() const;
    // The lines of nginx's access log.
    std::vector<std::string> nginx_log() const;
    // A file in the site's folder, for pages a test makes up.
    std::string write_page(const char* name, const std::string& bytes) const;
    // The Unix path of a file in the site's folder.
    std::string unix_file(const char* name) const;
    // Runs a Linux program (Unix paths) to its end, as a host runs its
    // tools. Returns an empty text, or its exit status and what it printed.
    std::string run_program(const std::string& program, const std::vector<std::string>& arguments) const;

private:
    std::string folder() const;
    std::string nginx_folder() const;
    TestFolder own;
    bool running = false;
    bool nginx_running = false;
};
