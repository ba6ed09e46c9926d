#include "testing/message_boxes.h"
#include <algorithm>
#include "shell/app_state.h"
#include "testing/gui_test_support.h"

namespace {

HHOOK message_box_hook;
HHOOK enable_hook;
std::string events;
std::vector<int> question_answers;
size_t questions_answered;
HWND answered_box;
std::vector<SeenMessageBox> boxes;

HICON box_icon(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char window_class[32];
        GetClassNameA(child, window_class, sizeof window_class);
        if (lstrcmpiA(window_class, "Static") == 0 && (GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            return reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    }
    return nullptr;
}

int pending_answer;

void CALLBACK give_answer(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    HWND box = answered_box;
    if (box)
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(pending_answer, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, pending_answer)));
}

void answer_box(HWND box)
{
    SeenMessageBox seen;
    seen.caption = window_text(box);
    seen.text = window_text(GetDlgItem(box, 0xFFFF));
    seen.yes_no = GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO);
    seen.icon = box_icon(box);
    seen.owner = GetWindow(box, GW_OWNER);
    seen.wait_cursor = GetCursor() == LoadCursorA(nullptr, IDC_WAIT);
    seen.shown_at = GetTickCount();
    seen.closed_at = 0;
    boxes.push_back(seen);
    pending_answer = IDOK;
    if (seen.yes_no) {
        pending_answer = question_answers[std::min(questions_answered, question_answers.size() - 1)];
        questions_answered++;
    }
    // The user answers a box once it is up, after whatever keys and clicks
    // were already on their way: a timer's turn comes only when the box's
    // own loop finds no input waiting, where a posted answer would come
    // first.
    SetTimer(nullptr, 0, USER_TIMER_MINIMUM, give_answer);
}

LRESULT CALLBACK on_window_event(int code, WPARAM wparam, LPARAM lparam)
{
    HWND window = reinterpret_cast<HWND>(wparam);
    // Under Wine a hook of this thread is also told when a window of another
    // program activates, such as the box of a test running beside this one:
    // only this thread's boxes are the program's.
    bool ours = GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
    if (code == HCBT_ACTIVATE && ours && window != answered_box) {
        char window_class[32];
        GetClassNameA(window, window_class, sizeof window_class);
        if (lstrcmpA(window_class, "#32770") == 0) {
            answered_box = window;
            events += 'B';
            answer_box(window);
        }
    }
    if (code == HCBT_DESTROYWND && window == answered_box) {
        answered_box = nullptr;
        boxes.back().closed_at = GetTickCount();
    }
    return CallNextHookEx(message_box_hook, code, wparam, lparam);
}

LRESULT CALLBACK on_window_message(int code, WPARAM wparam, LPARAM lparam)
{
    const CWPSTRUCT* message = reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (code == HC_ACTION && message->message == WM_ENABLE && message->hwnd == main_window)
        events += message->wParam ? 'E' : 'D';
    return CallNextHookEx(enable_hook, code, wparam, lparam);
}

}  // namespace

void watch_message_boxes(int answer)
{
    watch_message_boxes(std::vector<int>{answer});
}

void watch_message_boxes(std::vector<int> answers)
{
    question_answers = answers;
    questions_answered = 0;
    boxes.clear();
    events.clear();
    answered_box = nullptr;
    if (!message_box_hook)
        message_box_hook = SetWindowsHookExA(WH_CBT, on_window_event, nullptr, GetCurrentThreadId());
    if (!enable_hook)
        enable_hook = SetWindowsHookExA(WH_CALLWNDPROC, on_window_message, nullptr, GetCurrentThreadId());
}

void stop_watching_message_boxes()
{
    if (message_box_hook)
        UnhookWindowsHookEx(message_box_hook);
    if (enable_hook)
        UnhookWindowsHookEx(enable_hook);
    message_box_hook = nullptr;
    enable_hook = nullptr;
}

std::string window_events()
{
    return events;
}

std::vector<SeenMessageBox> seen_message_boxes()
{
    return boxes;
}
