// The application shell's actions and its event loop.
#pragma once

#include "app/main_window_win.h"

// Enables and disables the controls from the program's state: the list button follows
// ComputerField's text, nine controls follow whether SoftwareList holds entries.
void RefreshControlStates(MainWindow& window);

// "List Software" or Enter: lists the machine named in ComputerField (CheckComputerName). An
// empty name does nothing; a refused one only says so in the status line; any other clears the
// list, becomes ComputerName and is listed.
void ListSoftwareRequest(MainWindow& window);

// "Clear List": empties the rows, both text fields and the status line, unticks the five
// check boxes and empties SoftwareList.
void ClearListAction(MainWindow& window);

// Moves the hover highlight to the row under the mouse.
void HoverHighlight(MainWindow& window);

// Ends the process at once with exit code 0.
[[noreturn]] void ShutDown();

// Runs until a close request ends the process.
[[noreturn]] void RunEventLoop(MainWindow& window);
