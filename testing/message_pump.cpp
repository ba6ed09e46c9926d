#include "testing/message_pump.h"

namespace {

bool quit_taken;
WPARAM quit_wparam;
MessageStep message_step;

}  // namespace

void set_message_step(MessageStep step)
{
    message_step = step;
}

namespace {

void handle(MSG* message)
{
    if (message_step) {
        message_step(message);
        return;
    }
    TranslateMessage(message);
    DispatchMessageW(message);
}

}  // namespace

void pump_messages(int ms)
{
    DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    // Bounded, so that a window that keeps asking for paints fails its test
    // instead of hanging it.
    for (int handled = 0; handled < 100000;) {
        MSG message;
        while (handled < 100000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            handled++;
            if (message.message == WM_QUIT) {
                quit_taken = true;
                quit_wparam = message.wParam;
            }
            handle(&message);
        }
        int left = static_cast<int>(end - GetTickCount());
        if (left <= 0)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left), QS_ALLINPUT);
    }
}

bool quit_message_taken(WPARAM* code)
{
    bool taken = quit_taken;
    if (code)
        *code = quit_wparam;
    quit_taken = false;
    return taken;
}
