#include "testing/download_test_support.h"
#include <cstdlib>
#include <sstream>
#include "testing/files.h"
#include "testing/gui_test_support.h"
#include "update/rate_download.h"

namespace {

const char server_script[] = DUVARIN_SOURCE_DIR "/testing/quotation_server.py";
const char nginx_script[] = DUVARIN_SOURCE_DIR "/tools/nginx-site.sh";
const char python[] = "/usr/bin/python3";
const char bash[] = "/bin/bash";
const char loopback[] = "127.0.0.1";
// A server that a test which died left behind stops by itself after this.
const char nginx_life_seconds[] = "600";
// nginx tries a taken port for 2.5 s before the script picks another.
const DWORD server_wait_ms = 30000;

// Where the program itself connects, kept for when a test's server stops.
const QuotationAddress product_address = quotation_address;

using UnixNameFunction = char*(CDECL*)(const WCHAR*);
using DosNameFunction = WCHAR*(CDECL*)(const char*);

// Through void*, which any function pointer may be cast to and from.
void* wine_function(const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name));
}

bool file_exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Why the Linux program cannot be run, or an empty text.
std::string missing_program(const char* program)
{
    std::string name = windows_path(program);
    if (name.empty())
        return "the download tests run under Wine only";
    if (!file_exists(name))
        return std::string("needs ") + program + " (tools/setup.sh installs it)";
    return "";
}

// Runs a Linux program with the script and the arguments; Wine gives no
// handle for a Linux process, so the caller waits for the files it writes.
bool run_script(const char* interpreter, const char* script, const std::string& arguments)
{
    std::string command = std::string("\"") + interpreter + "\" \"" + script + "\" " + arguments;
    std::string program = windows_path(interpreter);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hThread)
        CloseHandle(process.hThread);
    if (process.hProcess)
        CloseHandle(process.hProcess);
    return true;
}

std::string in_quotes(const std::string& text)
{
    return "\"" + text + "\"";
}

// Looks every 20 ms, for server_wait_ms at most, whether the Linux
// process has done what done() looks for: Wine gives no handle to wait on.
template <typename Done> bool wait_until(Done done)
{
    for (DWORD waited = 0; waited < server_wait_ms; waited += 20) {
        if (done())
            return true;
        Sleep(20);
    }
    return false;
}

bool wait_for_file(const std::string& path, bool to_exist)
{
    return wait_until([&] { return file_exists(path) == to_exist; });
}

// A server writes its port, then its pid file once it listens, or an
// error file. On success the download goes to that port. Returns an empty
// text, or why it failed.
std::string wait_for_start(const std::string& pid_file, const std::string& error_file, const std::string& port_file)
{
    if (!wait_until([&] { return file_exists(error_file) || file_exists(pid_file); }))
        return "the server did not come up";
    if (file_exists(error_file))
        return read_file(error_file);
    int port = std::atoi(read_file(port_file).c_str());
    if (port <= 0 || port > 65535)
        return "the server named no port";
    quotation_address = {loopback, static_cast<unsigned short>(port)};
    return "";
}

}  // namespace

std::string unix_path(const std::string& windows_name)
{
    auto function = reinterpret_cast<UnixNameFunction>(wine_function("wine_get_unix_file_name"));
    if (!function)
        return "";
    WCHAR wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, windows_name.c_str(), -1, wide, MAX_PATH))
        return "";
    char* name = function(wide);
    if (!name)
        return "";
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

std::string windows_path(const std::string& unix_name)
{
    auto function = reinterpret_cast<DosNameFunction>(wine_function("wine_get_dos_file_name"));
    if (!function)
        return "";
    WCHAR* name = function(unix_name.c_str());
    if (!name)
        return "";
    char narrow[MAX_PATH] = {};
    WideCharToMultiByte(CP_ACP, 0, name, -1, narrow, MAX_PATH, nullptr, nullptr);
    HeapFree(GetProcessHeap(), 0, name);
    return narrow;
}

std::string QuotationSite::folder() const
{
    return own.path().string();
}

std::string QuotationSite::nginx_folder() const
{
    return folder() + "\\nginx";
}

std::string QuotationSite::start(const char* mode, const std::string& argument)
{
    std::string missing = missing_program(python);
    if (!missing.empty())
        return missing;
    stop();
    std::string pid_file = folder() + "\\server.pid";
    std::string error_file = folder() + "\\server.error";
    DeleteFileA(error_file.c_str());
    std::string arguments = in_quotes(unix_path(folder())) + " " + mode;
    if (!argument.empty())
        arguments += " " + in_quotes(argument);
    if (!run_script(python, server_script, arguments))
        return "cannot start " + std::string(python);
    running = true;
    return wait_for_start(pid_file, error_file, folder() + "\\server.port");
}

std::string QuotationSite::start_nginx(const std::string& site)
{
    std::string missing = missing_program(bash);
    if (!missing.empty())
        return missing;
    stop();
    std::string own_folder = nginx_folder();
    CreateDirectoryA(own_folder.c_str(), nullptr);
    std::string pid_file = own_folder + "\\nginx.pid";
    std::string error_file = own_folder + "\\start.error";
    DeleteFileA(pid_file.c_str());
    DeleteFileA(error_file.c_str());
    std::string arguments =
        "start " + in_quotes(unix_path(own_folder)) + " " + in_quotes(site) + " " + nginx_life_seconds + " free";
    if (!run_script(bash, nginx_script, arguments))
        return "cannot start " + std::string(bash);
    nginx_running = true;
    return wait_for_start(pid_file, error_file, own_folder + "\\port");
}

void QuotationSite::stop()
{
    quotation_address = product_address;
    if (nginx_running) {
        nginx_running = false;
        if (run_script(bash, nginx_script, "stop " + in_quotes(unix_path(nginx_folder()))))
            wait_for_file(nginx_folder() + "\\nginx.pid", false);
    }
    if (!running)
        return;
    running = false;
    if (run_script(python, server_script, in_quotes(unix_path(folder())) + " stop"))
        wait_for_file(folder() + "\\server.pid", false);
}

std::vector<std::string> QuotationSite::requests() const
{
    std::vector<std::string> taken;
    for (int n = 1;; n++) {
        std::string name = folder() + "\\request-" + std::to_string(n) + ".bin";
        if (!file_exists(name))
            return taken;
        taken.push_back(read_file(name));
    }
}

std::vector<std::string> QuotationSite::nginx_log() const
{
    std::istringstream log(read_file(nginx_folder() + "\\access.log"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);)
        lines.push_back(line);
    return lines;
}

std::string QuotationSite::write_page(const char* name, const std::string& bytes) const
{
    std::string path = folder() + "\\" + name;
    write_file(path, bytes);
    return unix_path(path);
}

std::string QuotationSite::unix_file(const char* name) const
{
    return unix_path(folder() + "\\" + name);
}

std::string QuotationSite::run_program(const std::string& program, const std::vector<std::string>& arguments) const
{
    std::string missing = missing_program(bash);
    if (!missing.empty())
        return missing;
    // A script of its own keeps the arguments clear of the Windows command
    // line's quoting; the status file, renamed into place, says it ended.
    std::string status_file = folder() + "\\program.status";
    DeleteFileA(status_file.c_str());
    std::string script = "'" + program + "'";
    for (const std::string& argument : arguments)
        script += " '" + argument + "'";
    script += " >" + in_quotes(unix_file("program.out")) + " 2>&1\necho $? >" + in_quotes(unix_file("status.tmp")) +
              " && mv " + in_quotes(unix_file("status.tmp")) + " " + in_quotes(unix_path(status_file)) + "\n";
    write_file(folder() + "\\program.sh", script);
    if (!run_script(bash, unix_file("program.sh").c_str(), ""))
        return "cannot start " + std::string(bash);
    if (!wait_for_file(status_file, true))
        return program + " did not end";
    std::string status = read_file(status_file);
    if (status == "0\n")
        return "";
    return program + " exited " + status + read_file(folder() + "\\program.out");
}
