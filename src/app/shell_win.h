// The application shell's actions and its event loop.
#pragma once

#include "app/main_window_win.h"

// Enables and disables the controls from the program's state: the list button follows
// ComputerField's text, kListDependentControls follow whether SoftwareList holds entries.
void RefreshControlStates(MainWindow& window);

// "Clear List": empties the rows, both text fields and the status line, unticks the five
// check boxes and empties SoftwareList.
void ClearListAction(MainWindow& window);

// "Save List": the shown rows, with the fields the check boxes choose, to a file named after the
// last request. A name of "." is replaced by the local computer's name first, and kept so.
void SaveShownList(MainWindow& window);

// Moves the hover highlight to the row under the mouse. Windows also sends a mouse move when a
// window changes under a cursor at rest: only one that moved gives the list the focus, so that
// keys typed elsewhere stay there.
void HoverHighlight(MainWindow& window, bool moved);

// Hands every event to its action until a close request, then returns.
void RunEventLoop(MainWindow& window);

// The program: locale, common controls and OLE, the ICMP handle, the window, the Enter shortcut,
// the focus, the progress timer; then the event loop, until a close request ends it with exit
// code 0. A window that cannot be made ends it at once with an error box and code 1.
[[nodiscard]] int RunApplication(HINSTANCE instance);
