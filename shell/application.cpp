#include "shell/application.h"
#include "resources/resource.h"
#include "shell/app_state.h"
#include "shell/graphics.h"
#include "shell/keyboard.h"
#include "shell/main_window.h"
#include "shell/window_text.h"

const char main_window_title[] = "Duvarin v2.2 支持用户自定义数据库，在线更新，简洁稳定的换算工具";
const WCHAR main_window_class[] = L"duvarin";
const DWORD main_window_style = WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
static_assert(main_window_style == 0x02CA0000, "main window style");

namespace {

void register_window_class(HINSTANCE instance)
{
    // A Unicode class: texts reach the window through shell/window_text.h,
    // converted from GBK whatever the system's code page.
    WNDCLASSW window_class = {};
    window_class.lpfnWndProc = main_window_proc;
    window_class.hInstance = instance;
    window_class.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APPLICATION_ICON));
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    // No brush: the background image is the only thing ever drawn behind the pages.
    window_class.hbrBackground = nullptr;
    window_class.lpszClassName = main_window_class;
    RegisterClassW(&window_class);
}

}  // namespace

POINT window_position(int screen_width, int screen_height)
{
    // The client size is centred, not the outer size.
    POINT corner = {(screen_width - client_width) / 2, (screen_height - client_height) / 2};
    return corner;
}

SIZE window_size()
{
    // The layout was made on a frame that makes this 708x534. Platforms draw
    // thinner or thicker frames; a fixed outer size would leave a strip of
    // the client that nothing ever paints, or cut off the background.
    RECT box = {0, 0, client_width, client_height};
    AdjustWindowRectEx(&box, main_window_style, FALSE, 0);
    SIZE size = {box.right - box.left, box.bottom - box.top};
    return size;
}

HWND create_main_window(HINSTANCE instance, int show_command)
{
    register_window_class(instance);
    HWND window = create_window(0, main_window_class, main_window_title, main_window_style, 0, 0, client_width,
                                client_height, nullptr, nullptr, instance);
    if (!window)
        return nullptr;
    main_window = window;
    app_instance = instance;
    current_page = 1;
    load_graphics(instance);
    POINT corner = window_position(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    SIZE size = window_size();
    SetWindowPos(window, HWND_NOTOPMOST, corner.x, corner.y, size.cx, size.cy, SWP_SHOWWINDOW);
    ShowWindow(window, show_command);
    UpdateWindow(window);
    return window;
}

int run_message_loop()
{
    MSG message = {};
    // A wide loop: an ANSI one would pass typed characters through the
    // system's code page, which may not hold them.
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    while (message.message != WM_QUIT) {
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) == 1) {
            process_message(&message);
        } else {
            WaitMessage();
        }
    }
    return static_cast<int>(message.wParam);
}

int run_application(HINSTANCE instance, int show_command)
{
    if (!create_main_window(instance, show_command))
        return 0;
    return run_message_loop();
}
