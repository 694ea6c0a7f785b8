#include "inventory/software.h"

#include "remote/remote_text.h"

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

bool IsKeptDisplayName(TextView displayName) {
    if (displayName.empty()) return false;
    for (std::u16string_view fragment : ExcludedNameFragments) {
        if (displayName.find(fragment) != TextView::npos) return false;
    }
    return true;
}

Text ProgressDots::Tick() {
    Text status = Text(kPleaseWaitText) + dots_;
    dots_ += u'.';
    if (dots_.size() > 10) dots_.clear();
    return status;
}
