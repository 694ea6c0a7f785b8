// One list request, from the typed name to the filled list: the name check, the lookup and echo
// probe of another machine, its remote registry service (asking the operator to start it), and
// the scan, whose entries fill SoftwareList and the list while the window is kept alive.
#pragma once

#include "app/main_window_win.h"

// "List Software" or Enter: lists the machine named in ComputerField (CheckComputerName). An
// empty name does nothing; a refused one only says so in the status line; any other clears the
// list, becomes ComputerName and is listed.
void ListSoftwareRequest(MainWindow& window);
