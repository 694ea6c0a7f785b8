// How a scan ended and the texts a scan shows: its progress and its end.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/text.h"

// The progress text shown after "Please wait": 0 to 10 full stops, advanced once per timer tick
// and kept from one scan to the next.
class ProgressDots {
  public:
    // The status text for this tick ("Please wait" and the dots so far); then one more dot, or
    // none again after ten.
    [[nodiscard]] Text Tick();

  private:
    Text dots_;
};

inline constexpr TextView kPleaseWaitText = u"Please wait";
inline constexpr TextView kCompletedText = u"Completed Successfully";
// Another machine's registry stopped answering after something was read: the rows found so far
// stay.
inline constexpr TextView kConnectionLostText = u"Connection lost: the list is incomplete";
inline constexpr TextView kUnableToReadRegistryText = u"Unable to read the remote registry";

// How a scan ended.
enum class ScanEnd {
    Completed,       // every source was read
    ConnectionLost,  // another machine's registry stopped answering midway
    NothingRead,     // nothing at all could be read from another machine's registry (error: why)
    Stopped,         // the sink stopped it: the program is ending
};

struct ScanOutcome {
    ScanEnd end = ScanEnd::Completed;
    size_t signedOutUsers = 0;   // accounts with a profile but no loaded hive (CountSignedOutUsers)
    size_t unreadableUsers = 0;  // accounts whose loaded hive the reader may not enumerate
    // NothingRead: Windows' status that refused the reads when the registry answered (5 for a
    // reader outside its rights); 0 when no connection to it could be made.
    uint32_t error = 0;
};

// The status text for the end of a scan: for a completed scan kCompletedText, followed by
// " (N signed-out users not included)" (" (1 signed-out user not included)"), by " (N users could
// not be read)" (" (1 user could not be read)"), or by both in short, " (N users signed out, M
// unreadable)" (" (1 user signed out, M unreadable)"), as far as there were such users;
// kConnectionLostText; kUnableToReadRegistryText; or nothing for a stopped scan.
[[nodiscard]] Text ScanEndText(const ScanOutcome& outcome);
