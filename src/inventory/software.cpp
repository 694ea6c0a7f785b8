#include "inventory/software.h"

#include <algorithm>
#include <set>

const Text& SoftwareEntry::Field(size_t i) const {
    switch (i) {
        case 0: return InstallType;
        case 1: return AppName;
        case 2: return AppVersion;
        case 3: return InstallDate;
        case 4: return InstallLocation;
        default: return UninstallString;
    }
}

TextView ShownCellText(TextView field) {
    return field.substr(0, std::min(field.find(u'\0'), kShownCellUnits));
}

bool IsKeptDisplayName(TextView displayName) {
    if (displayName.empty()) return false;
    for (std::u16string_view fragment : ExcludedNameFragments) {
        if (displayName.find(fragment) != TextView::npos) return false;
    }
    return true;
}

namespace {

Text AsciiFolded(TextView text) {
    Text folded(text);
    for (char16_t& c : folded) c = AsciiLower(c);
    return folded;
}

}  // namespace

size_t CountSignedOutUsers(const std::vector<Text>& profileNames,
                           const std::vector<Text>& loadedHiveNames) {
    std::set<Text> loaded;
    for (const Text& hive : loadedHiveNames) loaded.insert(AsciiFolded(hive));
    size_t count = 0;
    for (const Text& profile : profileNames) {
        const Text name = AsciiFolded(profile);
        const bool account = name.starts_with(u"s-1-5-21-") || name.starts_with(u"s-1-12-1-");
        count += account && !name.ends_with(u".bak") && !loaded.contains(name);
    }
    return count;
}

Text ProgressDots::Tick() {
    Text status = u"Please wait" + dots_;
    dots_ += u'.';
    if (dots_.size() > 10) dots_.clear();
    return status;
}
