#include "update/download_test_support.h"
#include <cstdio>
#include <sstream>
#include "testing/files.h"
#include "testing/gui_test_support.h"

namespace {

const char server_script[] = DUVARIN_SOURCE_DIR "/update/testdata/quotation_server.py";
const char nginx_script[] = DUVARIN_SOURCE_DIR "/tools/nginx-site.sh";
const char python[] = "/usr/bin/python3";
const char bash[] = "/bin/bash";
// A server that a test which died left behind stops by itself after this.
const char nginx_life_seconds[] = "600";
const DWORD server_wait_ms = 20000;
const DWORD port_lock_retry_ms = 50;
// Port 80 belongs to the whole machine, so its lock and the files of the
// server that uses it live where every Wine prefix sees them.
const char machine_folder[] = "/tmp/duvarin-port-80";

typedef char*(CDECL* UnixNameFunction)(const WCHAR*);
typedef WCHAR*(CDECL* DosNameFunction)(const char*);

// Through void*, which any function pointer may be cast to and from.
void* wine_function(const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name));
}

bool file_exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
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
    if (!CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
    return true;
}

bool run_server_script(const std::string& arguments)
{
    return run_script(python, server_script, arguments);
}

std::string in_quotes(const std::string& text)
{
    return "\"" + text + "\"";
}

// Looks every 20 ms, for server_wait_ms at most, whether the Linux
// process has done what done() looks for: Wine gives no handle to wait on.
template <typename Done>
bool wait_until(Done done)
{
    for (DWORD waited = 0; waited < server_wait_ms; waited += 20) {
        if (done()) return true;
        Sleep(20);
    }
    return false;
}

bool wait_for_file(const std::string& path, bool to_exist)
{
    return wait_until([&] { return file_exists(path) == to_exist; });
}

// A server writes its pid file once it listens, or an error file. Returns
// an empty text, or why it failed.
std::string wait_for_start(const std::string& pid_file, const std::string& error_file)
{
    if (!wait_until([&] { return file_exists(error_file) || file_exists(pid_file); }))
        return "the server did not come up";
    return file_exists(error_file) ? read_file(error_file) : "";
}

// nginx's own folder: beside the test program, in the build folder.
std::string nginx_folder()
{
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string name = program;
    return name.substr(0, name.find_last_of('\\')) + "\\nginx-site";
}

// Where the note of the running nginx's folder lives (a Unix path inside).
std::string nginx_note()
{
    return windows_path(machine_folder) + "\\nginx-folder.txt";
}

void stop_nginx_in(const std::string& unix_folder)
{
    std::string pid_file = windows_path(unix_folder + "/nginx.pid");
    if (run_script(bash, nginx_script, "stop " + in_quotes(unix_folder))) wait_for_file(pid_file, false);
    DeleteFileA(nginx_note().c_str());
}

HANDLE port_lock = INVALID_HANDLE_VALUE;
}  // namespace

std::string unix_path(const std::string& windows_name)
{
    auto function = reinterpret_cast<UnixNameFunction>(wine_function("wine_get_unix_file_name"));
    if (!function) return "";
    WCHAR wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, windows_name.c_str(), -1, wide, MAX_PATH)) return "";
    char* name = function(wide);
    if (!name) return "";
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

std::string windows_path(const std::string& unix_name)
{
    auto function = reinterpret_cast<DosNameFunction>(wine_function("wine_get_dos_file_name"));
    if (!function) return "";
    WCHAR* name = function(unix_name.c_str());
    if (!name) return "";
    char narrow[MAX_PATH] = {};
    WideCharToMultiByte(CP_ACP, 0, name, -1, narrow, MAX_PATH, nullptr, nullptr);
    HeapFree(GetProcessHeap(), 0, name);
    return narrow;
}

void lock_quotation_port()
{
    std::string name = windows_path(machine_folder) + "\\port-80.lock";
    CreateDirectoryA(windows_path(machine_folder).c_str(), nullptr);
    port_lock = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    if (port_lock == INVALID_HANDLE_VALUE) return;
    // Another Wine server's waiter would never be woken, so the lock is
    // tried again until it is free. The system drops it with a test that
    // dies.
    OVERLAPPED first_byte = {};
    while (!LockFileEx(port_lock, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &first_byte))
        Sleep(port_lock_retry_ms);
}

void unlock_quotation_port()
{
    if (port_lock == INVALID_HANDLE_VALUE) return;
    OVERLAPPED first_byte = {};
    UnlockFileEx(port_lock, 0, 1, 0, &first_byte);
    CloseHandle(port_lock);
    port_lock = INVALID_HANDLE_VALUE;
}

std::string QuotationSite::folder() const
{
    std::string name = windows_path(machine_folder) + "\\quotation-site";
    CreateDirectoryA(name.c_str(), nullptr);
    return name;
}

std::string QuotationSite::start(const char* mode, const std::string& argument)
{
    if (unix_path(folder()).empty() || !file_exists(windows_path(python)))
        return "needs Wine and /usr/bin/python3";
    std::string pid_file = folder() + "\\server.pid";
    std::string error_file = folder() + "\\server.error";
    // A server left over by a test that died is stopped first, so that the
    // pid file seen below is the new server's.
    stop_leftovers();
    DeleteFileA(error_file.c_str());
    std::string arguments = in_quotes(unix_path(folder())) + " " + mode;
    if (!argument.empty()) arguments += " " + in_quotes(argument);
    if (!run_server_script(arguments)) return "cannot start " + std::string(python);
    running = true;
    return wait_for_start(pid_file, error_file);
}

std::string QuotationSite::start_nginx(const std::string& site)
{
    std::string own = nginx_folder();
    std::string unix_folder = unix_path(own);
    if (unix_folder.empty() || !file_exists(windows_path(bash))) return "needs Wine and /bin/bash";
    stop_leftovers();
    CreateDirectoryA(own.c_str(), nullptr);
    std::string pid_file = own + "\\nginx.pid";
    std::string error_file = own + "\\start.error";
    DeleteFileA(pid_file.c_str());
    DeleteFileA(error_file.c_str());
    write_file(nginx_note(), unix_folder);
    std::string arguments = "start " + in_quotes(unix_folder) + " " + in_quotes(site) + " " + nginx_life_seconds;
    if (!run_script(bash, nginx_script, arguments)) return "cannot start " + std::string(bash);
    nginx_running = true;
    return wait_for_start(pid_file, error_file);
}

void QuotationSite::stop()
{
    if (nginx_running) {
        nginx_running = false;
        stop_nginx_in(unix_path(nginx_folder()));
    }
    if (!running) return;
    running = false;
    std::string pid_file = folder() + "\\server.pid";
    if (run_server_script(in_quotes(unix_path(folder())) + " stop")) wait_for_file(pid_file, false);
}

void QuotationSite::stop_leftovers()
{
    if (file_exists(folder() + "\\server.pid")) {
        running = true;
        stop();
    }
    if (file_exists(nginx_note())) stop_nginx_in(read_file(nginx_note()));
}

std::vector<std::string> QuotationSite::requests() const
{
    std::vector<std::string> taken;
    for (int n = 1;; n++) {
        std::string name = folder() + "\\request-" + std::to_string(n) + ".bin";
        if (!file_exists(name)) return taken;
        taken.push_back(read_file(name));
    }
}

std::vector<std::string> QuotationSite::nginx_log() const
{
    std::istringstream log(read_file(nginx_folder() + "\\access.log"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    return lines;
}

std::string QuotationSite::write_page(const char* name, const std::string& bytes) const
{
    std::string path = folder() + "\\" + name;
    write_file(path, bytes);
    return unix_path(path);
}
