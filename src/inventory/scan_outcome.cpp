#include "inventory/scan_outcome.h"

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
    const size_t signedOut = outcome.signedOutUsers;
    const size_t unreadable = outcome.unreadableUsers;
    Text counts;
    if (signedOut > 0 && unreadable > 0) {
        // Both counts in full would not fit the status line on one line: in short.
        counts = IntegerToText(int64_t(signedOut)) +
                 (signedOut == 1 ? u" user signed out, " : u" users signed out, ") +
                 IntegerToText(int64_t(unreadable)) + u" unreadable";
    } else if (signedOut > 0) {
        counts =
            IntegerToText(int64_t(signedOut)) +
            (signedOut == 1 ? u" signed-out user not included" : u" signed-out users not included");
    } else if (unreadable > 0) {
        counts = IntegerToText(int64_t(unreadable)) +
                 (unreadable == 1 ? u" user could not be read" : u" users could not be read");
    }
    return counts.empty() ? Text(kCompletedText) : Text(kCompletedText) + u" (" + counts + u")";
}
