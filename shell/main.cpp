#include <windows.h>
#include "shell/application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command)
{
    return run_application(instance, show_command);
}
