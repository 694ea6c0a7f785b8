// Registry paths and value data as text: the platform-free half of the registry access layer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/text.h"

// The five predefined root keys a path may begin with (None: not a recognised root).
enum class RegistryRoot { None, ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

struct RegistryPath {
    RegistryRoot root = RegistryRoot::None;
    Text subkey;  // everything after the first backslash; may be empty or end in a backslash
};

// Upper-cases a whole text (locale-aware on Windows; injected so tests can use a known mapping).
using TextUpperCase = Text (*)(TextView);

// Splits "ROOT\subkey" at its first backslash and recognises ROOT after upper-casing it. A path
// without a backslash, or whose first segment is none of the five full root names, gives
// RegistryRoot::None (the caller's read then fails).
[[nodiscard]] RegistryPath ParseRegistryPath(TextView path, TextUpperCase upperCase);

// Registry value types this layer tells apart (the platform's own numbers).
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;

// Size of the value data buffer: longer data makes a read fail.
constexpr size_t kRegistryValueLimit = 1024;

// Text of value data that was read successfully: REG_SZ / REG_EXPAND_SZ up to the first NUL
// (or the end; an odd last byte is not a whole code unit and is left out; nothing is expanded);
// REG_BINARY as upper-case hex pairs; REG_DWORD as the signed decimal of the data read
// little-endian into a zeroed 64-bit integer, "0" when the data does not fit 8 bytes; every
// other type the empty text.
[[nodiscard]] Text RegistryValueToText(uint32_t type, const uint8_t* data, size_t size);
