// What one ICMP echo came back with, as the probe's result.
#pragma once

#include <cstdint>

// The status of a reply record that is the echo's answer (IP_SUCCESS).
inline constexpr uint32_t kEchoReplySuccess = 0;

// The probe's result from the number of reply records and the first record's status and
// round-trip time: the time in milliseconds (read as a signed 32-bit value and widened) when a
// record came whose status is kEchoReplySuccess; -1 when no record came, or when the first one
// reports an error about the echo (destination unreachable, time exceeded, ...), which is no
// answer from the machine. Status and time are not looked at when no record came.
int64_t EchoReplyTime(uint32_t replyCount, uint32_t status, uint32_t roundTripTime);
