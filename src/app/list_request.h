// One list request as a flow of steps, platform-free: from the typed name, through the lookup and
// echo probe of another machine and its remote registry service (asking the operator to start
// it), to the scan; and the one outcome it ends in, which says what the status line and the boxes
// show. The steps that touch Windows and the window are handed in.
#pragma once

#include <cstdint>
#include <optional>

#include "common/text.h"
#include "inventory/scan_outcome.h"
#include "inventory/software.h"
#include "remote/remote_text.h"

// How a list request ended.
enum class RequestEnd {
    Nothing,      // the name was empty: nothing happened
    RefusedName,  // CheckComputerName refused it; nothing else happened
    Unreachable,  // another machine did not answer the echo
    Declined,     // the operator did not agree to start its remote registry service
    QueryFailed,  // the service's state could not be read (error)
    StartFailed,  // an sc run failed (error: its exit code, or why it could not start)
    Scanned,      // the scan ran (scan: how it ended)
    Stopped,      // a close or session-end request came: the program is ending
};

struct RequestOutcome {
    RequestEnd end = RequestEnd::Nothing;
    uint32_t error = 0;
    ScanOutcome scan;
};

// What one sc run did.
struct ScRun {
    bool stopped = false;     // a close request came while it ran; it was not waited for
    uint32_t startError = 0;  // why it could not be started; 0 when it was
    std::optional<uint32_t> exitCode = std::nullopt;  // when it was started and its code read
};

// The operator's answer to a question, or the end of the session, which came while the question
// was open and overrides the answer: the program then opens nothing more and ends.
enum class Answer { No, Yes, SessionEnded };

// The steps of a request that touch Windows and the window; the flow decides between them.
class RequestSteps {
  public:
    // Empties the entries and the list and keeps name as the request's computer name, for saving.
    virtual void Begin(TextView name) = 0;
    // The IPv4 address of a host name (the first the lookup gives), or 0 when it has none.
    virtual uint32_t Resolve(TextView name) = 0;
    // The echo time of address in milliseconds, -1 without an answer.
    virtual int64_t Ping(uint32_t address) = 0;
    // Whether a connection to the machine's registry can be made.
    [[nodiscard]] virtual bool RegistryAnswers(TextView name) = 0;
    [[nodiscard]] virtual ServiceState QueryService(TextView name) = 0;
    // Services the window for timeoutMs (0: what is queued); false when a close or session-end
    // request came.
    [[nodiscard]] virtual bool Wait(uint32_t timeoutMs) = 0;
    virtual uint32_t NowMs() = 0;
    // A progress text of the status line.
    virtual void ShowProgress(TextView text) = 0;
    // Asks whether to start the service. After Yes what was asked of the window while the
    // question was open is dropped; SessionEnded, whatever the answer, when the session ended
    // while it was open.
    [[nodiscard]] virtual Answer AskToStart(TextView name) = 0;
    [[nodiscard]] virtual ScRun RunSc(TextView arguments) = 0;
    // Scans the machine of the checked name ("." this one).
    [[nodiscard]] virtual ScanOutcome Scan(TextView name) = 0;

  protected:
    ~RequestSteps() = default;
};

// Lists the machine named by typed ("." this one). Another machine must answer an echo (a host
// name is looked up first, a dotted address is probed as written); then its registry is asked:
// a connection made means that its Remote Registry service runs. Only when it does not answer is
// the service's state read: while it starts, again every 500 ms for at most 30 s; while it is not
// running the operator is asked to start it, and Yes runs sc twice (start on demand, then start),
// pauses 2000 ms and checks again. The window is serviced before each check and during every
// wait, and a close request there stops the request at once.
[[nodiscard]] RequestOutcome RunListRequest(TextView typed, RequestSteps& steps);

// What the end of a request shows: an "Error" box first, when there is one, then the status
// text, when there is one. windowsText gives Windows' own text for an error code. A scan that
// read nothing because another computer's registry refused it has a box that says why.
struct RequestEndView {
    std::optional<Text> box;
    std::optional<Text> status;
};
[[nodiscard]] RequestEndView ViewOfEnd(const RequestOutcome& outcome, TextView computerName,
                                       Text (*windowsText)(uint32_t error));
