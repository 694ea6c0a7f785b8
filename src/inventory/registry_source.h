// What the inventory scan reads a registry through, and what each read says: its text together
// with Windows' status, so that the scan tells "refused" from "gone" from "no more keys".
#pragma once

#include <cstdint>

#include "common/text.h"

// Windows' statuses (LSTATUS, the system error codes) that the scan tells apart.
inline constexpr uint32_t kStatusNotFound = 2;       // no such key or value
inline constexpr uint32_t kStatusAccessDenied = 5;   // the key may not be read
inline constexpr uint32_t kStatusNoMoreItems = 259;  // past the last subkey

// One read: a value as text or a subkey's name.
struct RegistryRead {
    // The text; empty on any failure, except "0" when a REG_DWORD value was found but its typed
    // read failed.
    Text text;
    // Windows' status of the call that ended the read: 0 when the text was read, else what
    // RegConnectRegistryW, RegOpenKeyW, RegQueryValueExW or RegEnumKeyExW returned.
    uint32_t status = 0;
    // False when the connection to another machine's registry could not be made.
    bool connected = true;
};

// The statuses that say that the network or the RPC connection to the other computer failed:
// the computer, its network or its Remote Registry service went away, or cannot be reached
// (docs/windows-and-wine.md gives each one's meaning and source). A refusal (5), a key or value
// that is not there (2) and the end of an enumeration (259) are never among them.
inline constexpr uint32_t kConnectionStatuses[] = {
    51,    // Windows cannot find the network path
    53,    // the network path was not found
    59,    // an unexpected network error occurred
    64,    // the specified network name is no longer available
    67,    // the network name cannot be found
    1231,  // the network location cannot be reached
    1232,  // the network location cannot be reached (the host)
    1236,  // the network connection was aborted by the local system
    1717,  // the interface is unknown (the registry's RPC interface is not served there)
    1722,  // the RPC server is unavailable
    1726,  // the remote procedure call failed
    1727,  // the remote procedure call failed and did not execute
    1818,  // the remote procedure call was cancelled
    1820,  // a communications failure occurred during a remote procedure call
};

[[nodiscard]] constexpr bool IsConnectionStatus(uint32_t status) {
    for (uint32_t connection : kConnectionStatuses) {
        if (status == connection) return true;
    }
    return false;
}

// Whether the read found the other computer gone: its connection could not be made, or a call
// on the connected key failed with a connection status. Every later read would wait for a
// network time-out of its own.
[[nodiscard]] inline bool LostConnection(const RegistryRead& read) {
    return !read.connected || IsConnectionStatus(read.status);
}

// The reads of one machine's registry, each self-contained (it connects, opens, reads and
// closes again).
class RegistrySource {
  public:
    // The name of the key's subkey at the 0-based index; status 259 past the last one.
    [[nodiscard]] virtual RegistryRead EnumSubkey(TextView keyPath, uint32_t index) = 0;
    // The named value of the key as text (RegistryValueToText); status 2 when it is missing.
    [[nodiscard]] virtual RegistryRead ReadValue(TextView keyPath, TextView valueName) = 0;

  protected:
    ~RegistrySource() = default;
};
