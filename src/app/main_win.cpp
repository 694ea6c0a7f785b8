// Start-up: locale, common controls and OLE, the ICMP handle, the window, the Enter shortcut,
// the focus, the progress timer; then the event loop, until a close request ends the program
// with exit code 0.
// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <clocale>

#include "app/app_state_win.h"
#include "app/controls_win.h"
#include "app/main_window_win.h"
#include "app/shell_win.h"
#include "common/handles_win.h"
#include "common/system_library_win.h"
#include "remote/host_probe_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Before anything else loads a library: only the system directory is searched, never the
    // program's folder or the current one. Where Windows lacks the call, the libraries the
    // program loads itself still come from the system directory (SystemLibrary).
    RestrictLibrarySearchToSystem();
    // The C runtime's locale: the user's, but "." as decimal point. Nothing of the program reads
    // it (the case folding is LocaleLower, numbers are read and written by the program's own
    // code); it is set for any runtime call that may come to read it.
    _wsetlocale(LC_ALL, L"");
    _wsetlocale(LC_NUMERIC, L"C");
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const ScopedOle ole;  // for the save dialog

    static AppState state;
    state.IcmpHandle = OpenIcmpHandle();

    static MainWindow window(state);
    window.Create(instance);
    window.Focus(ComputerField);
    SetTimer(window.Handle(), kProgressTimer, 1000, nullptr);
    RunEventLoop(window);
    return 0;
}
