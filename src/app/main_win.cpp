// The program: start-up and the event loop (RunApplication).
#include <windows.h>

#include "app/shell_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    return RunApplication(instance);
}
