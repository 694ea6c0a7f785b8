// Reaching a machine on the network: the name lookup and the one ICMP echo that tell whether a
// machine answers before its services and registry are asked for anything.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/text.h"

// The dotted IPv4 text of the first address that the Windows Sockets 1.1 lookup gives for the
// whole computer name (converted to the ANSI code page). The empty text when the name is empty,
// the sockets library does not start, or the lookup finds no address. Sockets are started and
// stopped within the call.
Text ResolveHostAddress(TextView computerName);

// Sends one ICMP echo without data to the address that ParseDottedAddress reads from
// addressText and waits at most timeoutMs for the answer. Returns the echo time in
// milliseconds of a successful reply; -1 when no reply came, the echo failed, or the answer
// was an error report (destination unreachable, time exceeded, ...) rather than an echo reply;
// 0 at once, without sending anything, when icmpHandle is null.
int64_t PingHost(HANDLE icmpHandle, TextView addressText, DWORD timeoutMs);
