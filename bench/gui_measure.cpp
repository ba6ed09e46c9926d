// Measures the running program in its own process, with the real main
// window: start-up to the first paint, the time from a typed character to
// the 23 other conversion fields written, idle CPU and the peak working set.
// "gui_measure startup [DV_DAT]" stops after the first paint and prints its
// moment, so that a script can measure the start-up from outside as well;
// "gui_measure database MEMBERS FILE" writes a dv.dat of one group of that
// many members for it.
// "gui_measure sizes DV_DAT [ROUNDS]" measures instead how the answers grow
// with the database (bench/gui_sizes.h), beside the shipped DV_DAT. Texts and
// messages take the program's own ways: its text calls to the Unicode
// windows and wide messages.
#include "bench/bench_data.h"
#include "bench/gui_clock.h"
#include "bench/gui_sizes.h"
#include "shell/app_state.h"
#include "shell/application.h"
#include "shell/controls.h"
#include "shell/window_text.h"
#include "testing/files.h"
#include "testing/message_pump.h"
#include "convert/conversion.h"
#include "database/unit_database.h"
#include <windows.h>
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int idle_seconds = 10;
const int keystroke_rounds = 40;  // each types five digits and erases them

unsigned long long filetime_value(const FILETIME& t)
{
    return static_cast<unsigned long long>(t.dwHighDateTime) << 32 | t.dwLowDateTime;
}

// Milliseconds from the creation of this process to now.
double milliseconds_since_process_start()
{
    FILETIME created, exited, kernel, user, current;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&current);
    return (filetime_value(current) - filetime_value(created)) / 1e4;
}

// User plus kernel time of this process, in seconds.
double process_cpu_seconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return (filetime_value(kernel) + filetime_value(user)) / 1e7;
}

double peak_working_set_mb()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize / (1024.0 * 1024.0);
}

// A fresh working folder holding a dv.dat of the given bytes, or by default
// one whose first group has all 24 members, so that every keystroke writes
// 23 fields.
bool enter_measuring_folder(const std::string& database = "")
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char folder[MAX_PATH];
    std::snprintf(folder, sizeof folder, "%sduvarin-measure-%lu", temp, GetCurrentProcessId());
    CreateDirectoryA(folder, nullptr);
    if (!SetCurrentDirectoryA(folder))
        return false;
    return database.empty() ? write_database_file("dv.dat", 3, field_count) : write_file("dv.dat", database);
}

// The folder goes again; the program wrote nothing else into it.
void leave_measuring_folder()
{
    char folder[MAX_PATH];
    GetCurrentDirectoryA(sizeof folder, folder);
    DeleteFileA("dv.dat");
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    SetCurrentDirectoryA(temp);
    RemoveDirectoryA(folder);
}

struct Keystrokes {
    std::vector<double> written;  // WM_CHAR sent until the handler returned
    std::vector<double> painted;  // the same plus painting every changed field
    int missed;                   // keystrokes after which the last field kept its text
    int refocused;                // times the field had lost the focus
};

std::string last_field_text()
{
    char text[read_text_size];
    read_window_text(conversion_fields[field_count - 1], text, sizeof text);
    return text;
}

// Types "12345" into field 0 and erases it again, round after round: every
// keystroke changes the field, so every one rewrites the 23 others.
Keystrokes measure_keystrokes()
{
    Keystrokes result = {{}, {}, 0, 0};
    HWND field = conversion_fields[0];
    SetForegroundWindow(main_window);
    pump_messages();
    for (int round = 0; round < keystroke_rounds; round++) {
        const wchar_t keys[] = L"12345\b\b\b\b\b";
        for (const wchar_t* key = keys; *key; key++) {
            // Only the focused field converts; a display without a window
            // manager may move the focus between keystrokes.
            if (GetFocus() != field) {
                SetFocus(field);
                result.refocused++;
            }
            std::string before = last_field_text();
            LARGE_INTEGER start = now();
            // To a Unicode window a typed character comes as UTF-16.
            SendMessageW(field, WM_CHAR, static_cast<WPARAM>(*key), 1);
            LARGE_INTEGER written = now();
            RedrawWindow(main_window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            LARGE_INTEGER painted = now();
            if (last_field_text() == before) {
                result.missed++;
            } else {
                result.written.push_back(seconds_between(start, written) * 1e3);
                result.painted.push_back(seconds_between(start, painted) * 1e3);
            }
            pump_messages();
        }
    }
    return result;
}

// Where a keystroke's time goes: the arithmetic and texts alone, the typed
// field's text read once, and one field's text set (the keystroke does this
// 23 times).
void measure_breakdown()
{
    UnitGroup* group = group_at(0);
    static FieldUpdate updates[field_count - 1];
    std::vector<double> arithmetic, read_text, set_text;
    for (int i = 0; i < 200; i++) {
        LARGE_INTEGER start = now();
        convert_from_field(group, 0, i % 2 ? "12345" : "1.5", updates);
        arithmetic.push_back(seconds_between(start, now()) * 1e3);
    }
    HWND field = conversion_fields[field_count - 1];
    for (int i = 0; i < 200; i++) {
        LARGE_INTEGER start = now();
        set_window_text(field, i % 2 ? "1234.5" : "98.765");
        set_text.push_back(seconds_between(start, now()) * 1e3);
        pump_messages();
        char text[read_text_size];
        start = now();
        read_window_text(field, text, sizeof text);
        read_text.push_back(seconds_between(start, now()) * 1e3);
    }
    // The same with the field's redrawing switched off, as a page could do
    // around its 23 updates.
    std::vector<double> quiet_text;
    SendMessageW(field, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < 200; i++) {
        LARGE_INTEGER start = now();
        set_window_text(field, i % 2 ? "1234.5" : "98.765");
        quiet_text.push_back(seconds_between(start, now()) * 1e3);
        pump_messages();
    }
    SendMessageW(field, WM_SETREDRAW, TRUE, 0);
    set_window_text(field, "");
    std::printf("of which convert_from_field: median %.4f ms; one read_window_text of a field: median %.4f ms; "
                "one set_window_text on a field: median %.4f ms (%.4f ms with its redrawing off)\n",
                median(arithmetic), median(read_text), median(set_text), median(quiet_text));
}

LARGE_INTEGER close_posted;

DWORD WINAPI close_later(void*)
{
    Sleep(idle_seconds * 1000);
    close_posted = now();
    PostMessageW(main_window, WM_CLOSE, 0, 0);
    return 0;
}

// How long the platform itself takes to close a plain visible top-level
// window, to tell the program's closing apart from the platform's.
double plain_window_close_ms()
{
    HWND plain =
        create_window(0, L"STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr);
    pump_messages();
    LARGE_INTEGER start = now();
    DestroyWindow(plain);
    return seconds_between(start, now()) * 1e3;
}

// The shipped database is read before the working folder is entered: its
// name is relative to the folder the program was started in.
int measure_growth(const char* shipped_file, int rounds)
{
    std::string shipped = read_file(shipped_file);
    if (shipped.empty() || rounds < 1 || !enter_measuring_folder()) {
        std::fprintf(stderr, "gui_measure: no database in %s, or no working folder\n", shipped_file);
        return 1;
    }
    int result = measure_sizes(shipped, rounds);
    leave_measuring_folder();
    return result;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 2 && std::strcmp(argv[1], "sizes") == 0)
        return measure_growth(argv[2], argc > 3 ? std::atoi(argv[3]) : 5);
    // A made-up dv.dat of one group of that many members, for the start-up
    // seen from outside: made beforehand, so that its making is not timed.
    if (argc > 3 && std::strcmp(argv[1], "database") == 0)
        return write_database_file(argv[3], 1, std::atoi(argv[2])) ? 0 : 1;
    bool startup_only = argc > 1 && std::strcmp(argv[1], "startup") == 0;
    // "startup DV_DAT" starts on that database instead.
    std::string database = startup_only && argc > 2 ? read_file(argv[2]) : "";
    if (!enter_measuring_folder(database)) {
        std::fprintf(stderr, "gui_measure: cannot prepare a working folder\n");
        return 1;
    }
    LARGE_INTEGER before_window = now();
    // create_main_window ends with UpdateWindow: its return is the first paint.
    HWND window = create_main_window(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    LARGE_INTEGER after_window = now();
    double since_start = milliseconds_since_process_start();
    if (!window) {
        std::fprintf(stderr, "gui_measure: no main window\n");
        return 1;
    }
    if (startup_only) {
        FILETIME painted;
        GetSystemTimeAsFileTime(&painted);
        // Microseconds since 1970, for the shell to subtract its own clock.
        std::printf("first_paint_unix_us %llu\n", (filetime_value(painted) - 116444736000000000ULL) / 10);
        std::printf("process_start_to_first_paint_ms %.1f\n", since_start);
        DestroyWindow(window);
        leave_measuring_folder();
        return 0;
    }
    std::printf("start-up: process start to first paint %.1f ms (create_main_window %.1f ms)\n", since_start,
                seconds_between(before_window, after_window) * 1e3);
    std::printf("peak working set after start-up: %.1f MB\n", peak_working_set_mb());

    Keystrokes keys = measure_keystrokes();
    std::printf("keystroke to 23 fields written: median %.3f ms, 90th percentile %.3f ms, max %.3f ms "
                "(%zu keystrokes converted, %d missed, focus set again %d times)\n",
                median(keys.written), percentile(keys.written, 0.9), percentile(keys.written, 1.0), keys.written.size(),
                keys.missed, keys.refocused);
    std::printf("keystroke to fields written and painted: median %.3f ms, 90th percentile %.3f ms\n",
                median(keys.painted), percentile(keys.painted, 0.9));
    measure_breakdown();

    pump_messages();
    double cpu_before = process_cpu_seconds();
    LARGE_INTEGER idle_start = now();
    CloseHandle(CreateThread(nullptr, 0, close_later, nullptr, 0, nullptr));
    run_message_loop();
    LARGE_INTEGER loop_ended = now();
    double idle_wall = seconds_between(idle_start, loop_ended);
    double idle_cpu = process_cpu_seconds() - cpu_before;
    std::printf("idle: %.3f s CPU in %.1f s of message loop (%.2f%% of one core); %.3f s CPU before\n", idle_cpu,
                idle_wall, 100.0 * idle_cpu / idle_wall, cpu_before);
    std::printf("close to end of the message loop: %.1f ms (a plain window closes in %.1f ms)\n",
                seconds_between(close_posted, loop_ended) * 1e3, plain_window_close_ms());
    std::printf("peak working set: %.1f MB\n", peak_working_set_mb());
    leave_measuring_folder();
    return keys.missed == 0 ? 0 : 1;
}
