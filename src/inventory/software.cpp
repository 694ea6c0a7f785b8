#include "inventory/software.h"

#include <set>

const Text& SoftwareEntry::Field(size_t i) const {
    switch (i) {
        case 0:
            return InstallType;
        case 1:
            return AppName;
        case 2:
            return AppVersion;
        case 3:
            return InstallDate;
        case 4:
            return InstallLocation;
        default:
            return UninstallString;
    }
}

bool IsKeptDisplayName(TextView displayName) {
    if (displayName.empty()) return false;
    for (std::u16string_view fragment : kExcludedNameFragments) {
        if (displayName.find(fragment) != TextView::npos) return false;
    }
    return true;
}

bool IsUserAccountName(TextView name) {
    const Text folded = FoldedText(name, AsciiLower);
    return (folded.starts_with(u"s-1-5-21-") || folded.starts_with(u"s-1-12-1-")) &&
           !folded.ends_with(u".bak") && !folded.ends_with(u"_classes");
}

std::vector<Text> HivesToScan(const std::vector<Text>& hiveNames) {
    std::vector<Text> hives;
    bool localSystemSeen = false;
    for (const Text& hive : hiveNames) {
        const Text folded = FoldedText(hive, AsciiLower);
        if (folded == u"s-1-5-18" || folded == u".default") {
            if (localSystemSeen) continue;
            localSystemSeen = true;
        }
        hives.push_back(hive);
    }
    return hives;
}

size_t CountSignedOutUsers(const std::vector<Text>& profileNames,
                           const std::vector<Text>& loadedHiveNames) {
    std::set<Text> loaded;
    for (const Text& hive : loadedHiveNames) loaded.insert(FoldedText(hive, AsciiLower));
    size_t count = 0;
    for (const Text& profile : profileNames) {
        count += IsUserAccountName(profile) && !loaded.contains(FoldedText(profile, AsciiLower));
    }
    return count;
}
