// The remote registry service of a machine: its state, and the service control program that
// starts it.
#pragma once

#include <cstdint>

#include "common/handles_win.h"
#include "common/text.h"
#include "remote/remote_text.h"

// The state of serviceName in the service control manager of machineName (a checked name,
// without leading backslashes). The error of the call that failed when the manager or the service
// cannot be opened (5 access denied, 1722 the RPC server is unavailable, 1060 no such service) or
// the status cannot be read.
[[nodiscard]] ServiceState QueryServiceState(TextView machineName, TextView serviceName);

struct ServiceControlRun {
    UniqueKernelHandle process;  // to wait on and read the exit code of; none if none started
    uint32_t error = 0;          // why sc could not be started (GetLastError); 0 when it was
};

// Starts the system's sc (from the system directory, never one found by name) with arguments,
// with no console window. The shell's fallback may start it without handing out its process.
[[nodiscard]] ServiceControlRun RunServiceControl(TextView arguments);
