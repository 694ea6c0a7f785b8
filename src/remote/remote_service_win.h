// The remote registry service of a machine: its state, and the service control program that
// starts it.
#pragma once

#include "common/handles_win.h"
#include "common/text.h"

// The state text of serviceName in the service control manager of machineName (a checked name,
// without leading backslashes): one of the seven texts of ServiceStateText, or the empty text
// when the manager or the service cannot be opened, the status cannot be read, or the state is
// not one of the seven.
Text QueryServiceStateText(TextView machineName, TextView serviceName);

// Starts the system's sc (from the system directory, never one found by name) with arguments,
// hidden in a new console. The process to wait on; none when it could not be started, or when
// the shell's fallback started nothing new.
UniqueKernelHandle RunServiceControl(TextView arguments);
