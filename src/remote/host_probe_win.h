// Reaching a machine on the network: the name lookup and the one ICMP echo that tell whether a
// machine answers before its services and registry are asked for anything.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/text.h"

// The first IPv4 address (network byte order, as IPAddr holds it) that the Windows Sockets 1.1
// lookup gives for the whole computer name (converted to the ANSI code page). 0 when the name is
// empty, the sockets library of the system directory cannot be loaded or does not start, or the
// lookup finds no address. Sockets are started and stopped within the call.
uint32_t ResolveHostAddress(TextView computerName);

// Opens the ICMP handle that PingHost takes, through the ICMP library of the system directory;
// null when the library or its functions are missing or IcmpCreateFile fails. Never closed by
// the program: it lives as long as the process.
[[nodiscard]] HANDLE OpenIcmpHandle();

// Sends one ICMP echo without data to address (network byte order) and waits at most timeoutMs
// for the answer. Returns the echo time in
// milliseconds of a successful reply; -1 when no reply came, the echo failed, or the answer
// was an error report (destination unreachable, time exceeded, ...) rather than an echo reply;
// 0 at once, without sending anything, when icmpHandle is null (or the ICMP library is
// missing).
int64_t PingHost(HANDLE icmpHandle, uint32_t address, DWORD timeoutMs);
