#include "remote/remote_text.h"

#include <array>

namespace {

constexpr std::array<TextView, 7> kServiceStateTexts{
    u"The service is stopped.",           // 1 SERVICE_STOPPED
    kServicePendingText,                  // 2 SERVICE_START_PENDING
    u"The service stop is pending.",      // 3 SERVICE_STOP_PENDING
    kServiceRunningText,                  // 4 SERVICE_RUNNING
    u"The service continue is pending.",  // 5 SERVICE_CONTINUE_PENDING
    u"The service pause is pending.",     // 6 SERVICE_PAUSE_PENDING
    u"The service is paused.",            // 7 SERVICE_PAUSED
};

// Characters that no computer name holds, besides the control characters (tab among them): a
// blank would split sc's command line into more words, the others are reserved in UNC paths.
constexpr TextView kRefusedNameCharacters = u" \"\\/:*?<>|";

bool IsRefusedNameCharacter(char16_t c) {
    return c < 32 || c == 127 || kRefusedNameCharacters.find(c) != TextView::npos;
}

TextView TrimBlanks(TextView text) {
    const size_t first = text.find_first_not_of(u" \t");
    if (first == TextView::npos) return TextView();
    return text.substr(first, text.find_last_not_of(u" \t") - first + 1);
}

// Low 8 bits of an octet's integer value; the cast keeps two's complement bits (-1 -> 255).
uint32_t OctetBits(TextView text) {
    return uint32_t(uint64_t(TextToInteger(text)) & 0xff);
}

// prefix + name + ": " + text + " (error N)"; without text no ": ".
Text ServiceErrorText(TextView prefix, TextView computerName, TextView windowsText,
                      uint32_t error) {
    Text text = Text(prefix) + Text(computerName);
    if (!windowsText.empty()) text += u": " + Text(windowsText);
    return text + u" (error " + IntegerToText(error) + u")";
}

constexpr uint32_t kAccessDenied = 5;
constexpr uint32_t kServiceAlreadyRunning = 1056;

}  // namespace

uint32_t ParseDottedAddress(TextView address) {
    uint32_t value = 0;
    TextView rest = address;
    for (int octet = 0; octet < 3; ++octet) {
        const size_t dot = rest.find(u'.');
        if (dot == TextView::npos) return 0;
        value |= OctetBits(rest.substr(0, dot)) << (8 * octet);
        rest = rest.substr(dot + 1);
    }
    return value | (OctetBits(rest) << 24);
}

bool IsDottedAddress(TextView name) {
    int groups = 0;
    size_t digits = 0;
    for (char16_t c : name) {
        if (c >= u'0' && c <= u'9') {
            ++digits;
        } else if (c == u'.' && digits > 0 && groups < 3) {
            ++groups;
            digits = 0;
        } else {
            return false;
        }
    }
    return groups == 3 && digits > 0;
}

CheckedComputerName CheckComputerName(TextView typed) {
    TextView name = TrimBlanks(typed);
    if (name.starts_with(u"\\\\")) name.remove_prefix(2);
    if (name.empty()) return {ComputerNameKind::Empty, Text()};
    for (char16_t c : name) {
        if (IsRefusedNameCharacter(c)) return {ComputerNameKind::Invalid, Text()};
    }
    if (name == u".") return {ComputerNameKind::Local, Text(name)};
    return {IsDottedAddress(name) ? ComputerNameKind::Address : ComputerNameKind::HostName,
            Text(name)};
}

TextView ServiceStateText(uint32_t state) {
    if (state < 1 || state > kServiceStateTexts.size()) return TextView();
    return kServiceStateTexts[state - 1];
}

Text ScConfigArguments(TextView computerName) {
    return u"\\\\" + Text(computerName) + u" config remoteregistry start= demand";
}

Text ScStartArguments(TextView computerName) {
    return u"\\\\" + Text(computerName) + u" start remoteregistry";
}

bool ScSucceeded(ScCommand command, uint32_t exitCode) {
    return exitCode == 0 || (command == ScCommand::Start && exitCode == kServiceAlreadyRunning);
}

Text ScCommandLine(TextView arguments) {
    return u"\"sc\" " + Text(arguments);
}

Text RemoteRegistryQuestion(TextView computerName) {
    return u"Remote Registry Service is not running on " + Text(computerName) +
           u".\r\nWould you like to start it?";
}

Text AttemptingToStartText(TextView computerName) {
    return u"Attempting to start remote registry on " + Text(computerName);
}

namespace {

// The error text, and for 5 (access denied) a second line on the rights it takes.
Text WithRightsAdvice(Text text, uint32_t error) {
    if (error == kAccessDenied) {
        text += u"\r\nListing another computer needs administrative rights on it.";
    }
    return text;
}

}  // namespace

Text ServiceQueryFailedText(TextView computerName, TextView windowsText, uint32_t error) {
    return WithRightsAdvice(ServiceErrorText(u"Unable to query the Remote Registry service on ",
                                             computerName, windowsText, error),
                            error);
}

Text RegistryReadFailedText(TextView computerName, TextView windowsText, uint32_t error) {
    return WithRightsAdvice(
        ServiceErrorText(u"Unable to read the registry of ", computerName, windowsText, error),
        error);
}

Text ServiceStartFailedText(TextView computerName, TextView windowsText, uint32_t error) {
    return ServiceErrorText(u"Unable to start the Remote Registry service on ", computerName,
                            windowsText, error);
}
