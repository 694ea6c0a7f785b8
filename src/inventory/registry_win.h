// Registry access layer: self-contained reads of the local ("." exactly) or a remote registry.
// Every failure, from an unreachable machine to a missing value, gives the empty text.
#pragma once

#include <cstdint>

#include "common/text.h"

// The named value of the key as text (see RegistryValueToText); the empty text on any failure,
// except "0" when a REG_DWORD value was found but its typed read failed.
Text ReadRegistryValue(TextView keyPath, TextView valueName, TextView computerName);

// The name of the key's subkey at the 0-based index; the empty text past the last subkey and
// on any failure.
Text EnumRegistrySubkey(TextView keyPath, uint32_t index, TextView computerName);
