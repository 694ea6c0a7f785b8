// The remote registry service of a machine: its state, and starting it on the operator's request
// before the machine's registry is read.
#pragma once

#include "common/text.h"

class MainWindow;

// The state text of serviceName in the service control manager of machineName (a checked name,
// without leading backslashes): one of the seven texts of ServiceStateText, or the empty text
// when the manager or the service cannot be opened, the status cannot be read, or the state is
// not one of the seven.
Text QueryServiceStateText(TextView machineName, TextView serviceName);

// Makes sure the remote registry service of computerName (the checked name) runs, then scans the
// machine. While the service is not found running the operator is asked whether to start it;
// Yes runs sc twice (set to start on demand, then start), pauses 2000 ms and checks again, No
// ends the request with an error box and "Error retrieving software list". The window is not
// serviced during the checks, the sc runs and the pause; the events pending before each check
// and before the scan are processed and dropped.
void EnsureRemoteRegistry(MainWindow& window, TextView computerName);
