// The inventory scan: reads the Uninstall keys of the machine named by ComputerName and fills
// SoftwareList and the list view with the programs it keeps. It ends with "Completed
// Successfully" (and how many signed-out users' programs it could not read), with "Connection
// lost: the list is incomplete" when another machine's registry stopped answering midway, or
// with "Unable to read the remote registry" when it could read nothing there.
#pragma once

class MainWindow;

void InventoryScan(MainWindow& window);
