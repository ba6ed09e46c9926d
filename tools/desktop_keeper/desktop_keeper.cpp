// Holds the Wine desktop open while the Windows tests run.
//
// Wine starts its desktop process from the first program that asks for the
// desktop window, and that process inherits the program's output. Started
// by a test, it would keep the test's output pipe open after the test ends,
// and the test runner would wait for it until its time-out. Started from
// here, with all output going nowhere, it holds nothing.
//
//   desktop_keeper READY_FILE HEARTBEAT_FILE
//
// Creates READY_FILE once the desktop is up, then stays until it is ended by
// its process id, or until HEARTBEAT_FILE (touched by every test start) is
// missing or five minutes old, so that an interrupted run leaves nothing
// behind for long.
#include <windows.h>

namespace {

const DWORD check_interval_ms = 1000;
const ULONGLONG heartbeat_limit = 300ULL * 10000000ULL;  // in 100 ns units

ULONGLONG as_number(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

bool heartbeat_is_fresh(const char* heartbeat_file)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(heartbeat_file, GetFileExInfoStandard, &data))
        return false;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULONGLONG written = as_number(data.ftLastWriteTime);
    return as_number(now) < written || as_number(now) - written < heartbeat_limit;
}

bool create_file(const char* name)
{
    HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    if (!GetDesktopWindow())
        return 1;
    if (!create_file(argv[1]))
        return 1;
    while (heartbeat_is_fresh(argv[2]))
        Sleep(check_interval_ms);
    return 0;
}
