// Registry access layer: self-contained reads of the local ("." exactly) or a remote registry.
// Inside, every read keeps Windows' status; the free functions below give the empty text for
// every failure, from an unreachable machine to a missing value.
#pragma once

#include <cstdint>

#include "common/text.h"
#include "inventory/registry_source.h"

// The reads of one machine's registry, each connecting (for another machine), opening, reading
// and closing on its own, and each saying what Windows answered.
class RegistryReader final : public RegistrySource {
  public:
    explicit RegistryReader(TextView computerName) : computer_(computerName) {}

    [[nodiscard]] RegistryRead EnumSubkey(TextView keyPath, uint32_t index) override;
    [[nodiscard]] RegistryRead ReadValue(TextView keyPath, TextView valueName) override;

  private:
    Text computer_;
};

struct RegistryConnection {
    bool connected = false;
    uint32_t error = 0;  // RegConnectRegistryW's result: 0 when connected
};

// One connection to HKEY_LOCAL_MACHINE of another machine (a checked name), closed again at
// once: whether its registry answers. Windows serves it only while the machine's Remote Registry
// service runs; otherwise the connection fails quickly with 53 (the network path was not found).
[[nodiscard]] RegistryConnection TestRegistryConnection(TextView computerName);

// The named value of the key as text (see RegistryValueToText); the empty text on any failure,
// except "0" when a REG_DWORD value was found but its typed read failed.
[[nodiscard]] Text ReadRegistryValue(TextView keyPath, TextView valueName, TextView computerName);

// The name of the key's subkey at the 0-based index; the empty text past the last subkey and
// on any failure.
[[nodiscard]] Text EnumRegistrySubkey(TextView keyPath, uint32_t index, TextView computerName);
