// Registry access layer: self-contained reads of the local ("." exactly) or a remote registry.
// Every failure, from an unreachable machine to a missing value, gives the empty text.
#pragma once

#include <cstdint>

#include "common/text.h"

// The reads of one scan of one machine, each connecting, opening and closing on its own. For
// another machine a connection that cannot be made is recorded, and from then on every read
// gives the empty text at once without calling Windows: RegConnectRegistryW fails only when the
// machine's registry cannot be reached, and each further connection to a machine that went away
// would wait for a network time-out of its own.
class RegistryReader {
  public:
    explicit RegistryReader(TextView computerName) : computer_(computerName) {}

    // As ReadRegistryValue and EnumRegistrySubkey below.
    Text ReadValue(TextView keyPath, TextView valueName);
    Text EnumSubkey(TextView keyPath, uint32_t index);

    // Whether a connection to another machine's registry failed during these reads.
    bool ConnectionLost() const { return connectionLost_; }

  private:
    Text computer_;
    bool connectionLost_ = false;
};

struct RegistryConnection {
    bool connected = false;
    uint32_t error = 0;  // RegConnectRegistryW's result: 0 when connected
};

// One connection to HKEY_LOCAL_MACHINE of another machine (a checked name), closed again at
// once: whether its registry answers. Windows serves it only while the machine's Remote Registry
// service runs; otherwise the connection fails quickly with 53 (the network path was not found).
RegistryConnection TestRegistryConnection(TextView computerName);

// The named value of the key as text (see RegistryValueToText); the empty text on any failure,
// except "0" when a REG_DWORD value was found but its typed read failed.
Text ReadRegistryValue(TextView keyPath, TextView valueName, TextView computerName);

// The name of the key's subkey at the 0-based index; the empty text past the last subkey and
// on any failure.
Text EnumRegistrySubkey(TextView keyPath, uint32_t index, TextView computerName);
