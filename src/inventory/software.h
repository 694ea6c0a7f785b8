// The records of the inventory: one installed program, the list of the last scan, and the rules
// that decide which program keys and hives become entries.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "common/columns.h"
#include "common/text.h"

// One installed program: six texts exactly as read, in column order.
struct SoftwareEntry {
    Text InstallType;      // "Machine" or "User"
    Text AppName;          // "DisplayName", never empty in a stored entry
    Text AppVersion;       // "DisplayVersion"
    Text InstallDate;      // "InstallDate", raw
    Text InstallLocation;  // "InstallLocation"
    Text UninstallString;  // "UninstallString"

    static constexpr size_t kFieldCount = kColumnCount;
    // Field i in column order (0 = InstallType ... 5 = UninstallString).
    [[nodiscard]] const Text& Field(size_t i) const;
};

// Entries in scan order.
using SoftwareList = std::vector<SoftwareEntry>;

// Display name fragments that mark updates, service packs, language packs and similar noise.
// Matched case-sensitively anywhere in the display name, in this order.
inline constexpr std::array<std::u16string_view, 8> kExcludedNameFragments{
    u"Security Update", u"Update for", u"Service Pack",           u"Microsoft Visual",
    u"Language Pack",   u"MUI",        u"Microsoft Office Proof", u"Microsoft Office IME",
};

// True when a program key with this display name becomes an entry: the name is not empty and
// contains none of kExcludedNameFragments.
[[nodiscard]] bool IsKeptDisplayName(TextView displayName);

// The five values read from every program key, in the order they are read.
inline constexpr std::array<std::u16string_view, 5> kProgramValueNames{
    u"DisplayName", u"DisplayVersion", u"InstallDate", u"InstallLocation", u"UninstallString",
};

// Whether a hive or profile name names a user account: it begins with "S-1-5-21-" (local and
// domain accounts) or "S-1-12-1-" (cloud accounts) and does not end with ".bak" (the copy
// Windows keeps of a damaged profile's key) or "_Classes" (a user's second, classes hive).
// Without regard to ASCII case, as the registry compares these ASCII names.
[[nodiscard]] bool IsUserAccountName(TextView name);

// The hives a scan reads, in enumeration order: HKEY_USERS' subkeys, with "S-1-5-18" and
// ".DEFAULT" (without regard to ASCII case), which name the one LocalSystem hive, read once at
// the place of whichever comes first.
[[nodiscard]] std::vector<Text> HivesToScan(const std::vector<Text>& hiveNames);

// How many accounts have a profile on the machine but no loaded hive, so that their per-user
// programs could not be read: the names of ProfileList's subkeys that are IsUserAccountName and
// are not among the names of HKEY_USERS' subkeys (without regard to ASCII case).
[[nodiscard]] size_t CountSignedOutUsers(const std::vector<Text>& profileNames,
                                         const std::vector<Text>& loadedHiveNames);
