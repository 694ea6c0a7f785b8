// The platform-free half of reaching a remote machine: typed names, dotted addresses, service
// state texts, the command lines of the service control program and the texts shown to the
// operator.
#pragma once

#include <cstdint>

#include "common/text.h"

// The IPv4 value of dotted text in network byte order (first octet in the lowest byte, as
// IPAddr and in_addr hold it). Each of the first three octets is the TextToInteger value of the
// text before the next ".", the fourth that of the whole rest (further dots included, so
// "1.2.3.4.5" ends in 4); each keeps only its low 8 bits (256 gives 0, -1 gives 255). Text
// with fewer than three dots gives 0; nothing is rejected otherwise.
uint32_t ParseDottedAddress(TextView address);

// True when the name is four groups of decimal digits joined by dots ("10.0.0.300" too): an
// address, probed as written. Any other name with a dot is a host name (pc01.corp.example).
[[nodiscard]] bool IsDottedAddress(TextView name);

// What a typed computer name asks for.
enum class ComputerNameKind {
    Empty,     // nothing to do
    Local,     // "." : this machine, read without lookup, probe or service check
    Invalid,   // refused before anything runs
    Address,   // a dotted address, probed as written
    HostName,  // looked up whole; its address is probed
};

struct CheckedComputerName {
    ComputerNameKind kind;
    Text name;  // the cleaned name; empty for Empty and Invalid
};

// The typed name without the blanks and tabs around it and without one leading "\\" (the UNC
// form), and what it asks for. A name that still holds a blank, a tab, a control character
// (0-31, 127) or one of " \ / : * ? < > | is Invalid: it names no computer, and as typed it would
// add words to sc's command line or parts to a UNC path.
[[nodiscard]] CheckedComputerName CheckComputerName(TextView typed);

// The service whose state is checked and which is started on the operator's request.
inline constexpr TextView kRemoteRegistryServiceName = u"remoteregistry";

// A service's state as the service manager reports it (SERVICE_STATUS' dwCurrentState), or why
// it could not be read.
struct ServiceState {
    uint32_t state = 0;  // 1 stopped ... 7 paused; 0 when it was not read
    uint32_t error = 0;  // why it could not be read (GetLastError); 0 when it was
};

// The only state that lets the scan start (SERVICE_RUNNING).
inline constexpr uint32_t kServiceRunning = 4;
// A service that is starting (SERVICE_START_PENDING): looked at again for a while before
// anything is asked.
inline constexpr uint32_t kServiceStartPending = 2;

// The text of a state, for display: dwCurrentState 1 (stopped) to 7 (paused); the empty text for
// any other value. The view refers to static storage.
[[nodiscard]] TextView ServiceStateText(uint32_t state);

inline constexpr TextView kServiceRunningText = u"The service is running.";
inline constexpr TextView kServicePendingText = u"The service start is pending.";

// Arguments of the two sc runs: "\\" + name + the fixed tail, in sc's own syntax (an option
// name ends with "=", and its value follows as a word of its own: "start= demand"; sc refuses
// "start=demand"). The name is a checked one (CheckComputerName), so it needs no quotes; it is
// not resolved.
[[nodiscard]] Text ScConfigArguments(TextView computerName);
[[nodiscard]] Text ScStartArguments(TextView computerName);

// The two sc runs, in the order they are made.
enum class ScCommand { Config, Start };

// Whether sc's exit code says that its run did what was asked: 0 for config; 0 or 1056 (an
// instance of the service is already running) for start.
[[nodiscard]] bool ScSucceeded(ScCommand command, uint32_t exitCode);

// The command line that starts sc with arguments: the program name in double quotes, a blank,
// then the arguments.
[[nodiscard]] Text ScCommandLine(TextView arguments);

inline constexpr TextView kUnableToPingText = u"Unable to PING remote computer";
inline constexpr TextView kTryingToConnectText = u"Trying to connect to remote machine";
inline constexpr TextView kRegistryRequiredText =
    u"Cannot list software without remote registry running on remote computer.";
inline constexpr TextView kErrorRetrievingText = u"Error retrieving software list";
// A typed name that CheckComputerName refuses.
inline constexpr TextView kNotValidComputerNameText = u"Not a valid computer name";

// The question asked while the service of computerName is not running.
[[nodiscard]] Text RemoteRegistryQuestion(TextView computerName);

// The error box when the state of computerName's service cannot be read: "Unable to query the
// Remote Registry service on " + the name + ": " + Windows' text for the error + " (error N)",
// and for 5 (access denied) a second line: listing another computer needs administrative rights
// on it. Without a text of Windows' the ": " and the text are left out.
[[nodiscard]] Text ServiceQueryFailedText(TextView computerName, TextView windowsText,
                                          uint32_t error);

// The error box when another computer's registry answered but refused every read, or ended them
// with another status, so that nothing could be read: "Unable to read the registry of " + the
// name + ": " + Windows' text for the status + " (error N)", with the same second line for 5 as
// ServiceQueryFailedText.
[[nodiscard]] Text RegistryReadFailedText(TextView computerName, TextView windowsText,
                                          uint32_t error);

// The error box when an sc run failed: "Unable to start the Remote Registry service on " + the
// name + ": " + Windows' text for the code + " (error N)".
[[nodiscard]] Text ServiceStartFailedText(TextView computerName, TextView windowsText,
                                          uint32_t error);

// The status shown during the pause after both sc runs.
[[nodiscard]] Text AttemptingToStartText(TextView computerName);
