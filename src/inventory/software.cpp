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
    for (std::u16string_view fragment : ExcludedNameFragments) {
        if (displayName.find(fragment) != TextView::npos) return false;
    }
    return true;
}

size_t CountSignedOutUsers(const std::vector<Text>& profileNames,
                           const std::vector<Text>& loadedHiveNames) {
    std::set<Text> loaded;
    for (const Text& hive : loadedHiveNames) loaded.insert(FoldedText(hive, AsciiLower));
    size_t count = 0;
    for (const Text& profile : profileNames) {
        const Text name = FoldedText(profile, AsciiLower);
        const bool account = name.starts_with(u"s-1-5-21-") || name.starts_with(u"s-1-12-1-");
        count += account && !name.ends_with(u".bak") && !loaded.contains(name);
    }
    return count;
}

Text ProgressDots::Tick() {
    Text status = Text(kPleaseWaitText) + dots_;
    dots_ += u'.';
    if (dots_.size() > 10) dots_.clear();
    return status;
}

Text ScanEndText(const ScanOutcome& outcome) {
    switch (outcome.end) {
        case ScanEnd::ConnectionLost:
            return Text(kConnectionLostText);
        case ScanEnd::NothingRead:
            return Text(kUnableToReadRegistryText);
        case ScanEnd::Stopped:
            return Text();
        case ScanEnd::Completed:
            break;
    }
    const size_t users = outcome.signedOutUsers;
    if (users == 0) return Text(kCompletedText);
    return Text(kCompletedText) + u" (" + IntegerToText(int64_t(users)) +
           (users == 1 ? u" signed-out user not included)" : u" signed-out users not included)");
}
