#include "bench/gui_sizes.h"
#include "bench/bench_data.h"
#include "bench/gui_clock.h"
#include "database/unit_database.h"
#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/application.h"
#include "shell/controls.h"
#include "shell/document.h"
#include "shell/pages.h"
#include "testing/files.h"
#include "testing/message_pump.h"
#include <windows.h>
#include <cstdio>
#include <vector>

namespace {

const int largest_group = 50000;
const int most_groups = 20000;

struct Timing {
    std::vector<double> handled;  // the message sent until its handler returned
    std::vector<double> shown;    // the same until the window and its controls are painted
};

// As the user waits for it: the handler, then every paint it asked for.
template <class Action> void time_action(Timing& timing, Action action)
{
    LARGE_INTEGER start = now();
    action();
    timing.handled.push_back(milliseconds_since(start));
    RedrawWindow(main_window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    timing.shown.push_back(milliseconds_since(start));
    pump_messages();
}

void report(const char* what, const Timing& timing)
{
    std::printf("%s: %.1f ms handled, %.1f ms on screen (median of %zu; slowest %.1f ms on screen)\n", what,
                median(timing.handled), median(timing.shown), timing.shown.size(), percentile(timing.shown, 1.0));
    // A slow case shows its progress as it goes.
    std::fflush(stdout);
}

// The main window on a dv.dat of these bytes; create_main_window's time,
// which is loading, creating and filling every control and the first paint.
double open_window(const std::string& database)
{
    if (!write_file("dv.dat", database))
        return -1;
    LARGE_INTEGER start = now();
    HWND window = create_main_window(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    double ms = milliseconds_since(start);
    pump_messages();
    return window ? ms : -1;
}

// The next window starts from the state of a new process.
void close_window()
{
    if (main_window)
        DestroyWindow(main_window);
    pump_messages();
    quit_message_taken(nullptr);
    free_database();
    main_window = nullptr;
    app_instance = nullptr;
    current_page = 0;
    groups_changed = 0;
    clear_control_handles();
}

std::string database_of(const std::vector<int>& member_counts)
{
    write_database_file("made.dat", member_counts);
    std::string bytes = read_file("made.dat");
    DeleteFileA("made.dat");
    return bytes;
}

// A click on an entry of group_list: the selection, then its notification.
void select_group(int position)
{
    SendMessageW(group_list, LB_SETCURSEL, static_cast<WPARAM>(position), 0);
    SendMessageW(main_window, WM_COMMAND, MAKEWPARAM(IDC_GROUP_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(group_list));
}

void press(int id)
{
    SendMessageW(main_window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(main_window, id)));
}

bool measure_startup(const std::string& shipped, int rounds)
{
    struct Case {
        const char* what;
        std::string database;
        std::vector<double> ms;
    } cases[] = {{"the shipped dv.dat", shipped, {}},
                 {"one group of 50,000 members", database_of({largest_group}), {}},
                 {"20,000 groups of 3 members", database_of(std::vector<int>(most_groups, 3)), {}}};
    // The first window of a process also pays for what Wine sets up once.
    double first = open_window(shipped);
    close_window();
    if (first < 0)
        return false;
    std::printf("start-up (create_main_window: loading, every control filled, first paint); first window %.1f ms\n",
                first);
    for (int round = 0; round < rounds; round++) {
        for (Case& c : cases) {
            c.ms.push_back(open_window(c.database));
            close_window();
            if (c.ms.back() < 0)
                return false;
        }
    }
    for (const Case& c : cases)
        std::printf("  %s: median %.1f ms, %.1f to %.1f ms (%d windows)\n", c.what, median(c.ms), percentile(c.ms, 0),
                    percentile(c.ms, 1.0), rounds);
    return true;
}

// group_list holds groups of 5, 24, 2,500 and 50,000 members; each
// selection starts from the group of 5, as the shipped database's are.
void measure_selection(int rounds)
{
    const int sizes[] = {24, 2500, largest_group};
    Timing selected[3], back;
    for (int round = 0; round < rounds; round++) {
        for (int k = 0; k < 3; k++) {
            select_group(0);
            pump_messages();
            time_action(selected[k], [=] { select_group(k + 1); });
        }
        time_action(back, [] { select_group(0); });
    }
    for (int k = 0; k < 3; k++) {
        char what[80];
        std::snprintf(what, sizeof what, "Settings: select a group of %d members", sizes[k]);
        report(what, selected[k]);
    }
    report("Settings: from that group back to one of 5", back);
}

// With the group of 50,000 members shown: the page switches and the member
// commands, each round leaving the database as it found it.
void measure_large_group(int rounds)
{
    select_group(3);
    pump_messages();
    Timing to_convert, to_settings, add, up, down, change, remove;
    for (int round = 0; round < rounds; round++) {
        time_action(to_convert, [] { switch_to_page(page_convert); });
        time_action(to_settings, [] { switch_to_page(page_settings); });
        time_action(add, [] { press(IDC_MEMBER_ADD); });
        time_action(up, [] { press(IDC_MEMBER_UP); });
        time_action(down, [] { press(IDC_MEMBER_DOWN); });
        time_action(change, [] { press(IDC_MEMBER_CHANGE); });
        time_action(remove, [] { press(IDC_MEMBER_DELETE); });
    }
    report("page switch to Convert, 50,000 members on Settings", to_convert);
    report("page switch back to Settings", to_settings);
    report("50,000 members: Add (a member at the end)", add);
    report("50,000 members: Up on the last", up);
    report("50,000 members: Down on the one before", down);
    report("50,000 members: Change on the last", change);
    report("50,000 members: Delete the last", remove);
}

// 保存 of the whole database, and the comparison the closing question makes
// (nothing changed since, so it asks nothing).
void measure_save(int rounds)
{
    Timing save, closing;
    for (int round = 0; round < rounds; round++) {
        time_action(save, [] { press(IDC_SAVE); });
        time_action(closing, [] { may_close(); });
    }
    report("Save with 50,000 members in all", save);
    report("closing: is anything unsaved, with 50,000 members", closing);
    DeleteFileA("config.f");
}

bool measure_settings(int rounds)
{
    if (open_window(database_of({5, 24, 2500, largest_group})) < 0)
        return false;
    switch_to_page(page_settings);
    pump_messages();
    measure_selection(rounds);
    measure_large_group(rounds);
    measure_save(rounds);
    close_window();
    return true;
}

// Back to the Convert page after a button press refills its selector.
bool measure_many_groups(int rounds)
{
    if (open_window(database_of(std::vector<int>(most_groups, 3))) < 0)
        return false;
    Timing refill, last, up;
    for (int round = 0; round < rounds; round++) {
        switch_to_page(page_settings);
        pump_messages();
        time_action(last, [] { select_group(most_groups - 1); });
        time_action(up, [] { press(IDC_GROUP_UP); });
        time_action(refill, [] { switch_to_page(page_convert); });
    }
    report("20,000 groups: Convert page with its selector refilled", refill);
    report("20,000 groups: Settings, select the last group", last);
    report("20,000 groups: Settings, Up on a group near the end", up);
    close_window();
    return true;
}

}  // namespace

int measure_sizes(const std::string& shipped_database, int rounds)
{
    if (!measure_startup(shipped_database, rounds) || !measure_settings(rounds) || !measure_many_groups(rounds)) {
        std::fprintf(stderr, "gui_measure: a main window did not come up\n");
        return 1;
    }
    return 0;
}
