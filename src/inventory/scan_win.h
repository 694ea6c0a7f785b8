// The inventory scan: reads the Uninstall keys of the machine named by ComputerName and fills
// SoftwareList and the list view with the programs it keeps.
#pragma once

class MainWindow;

void InventoryScan(MainWindow& window);
