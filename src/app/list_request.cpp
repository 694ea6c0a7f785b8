#include "app/list_request.h"

#include <utility>

namespace {

constexpr uint32_t kPauseAfterStartMs = 2000;
// A service that is starting is looked at again every 500 ms, for at most 30 s.
constexpr uint32_t kPendingRecheckMs = 500;
constexpr uint32_t kPendingLimitMs = 30000;

RequestOutcome Ended(RequestEnd end, uint32_t error = 0) {
    return {end, error, {}};
}

// The state of the machine's remote registry service once it is not starting, or for at most
// kPendingLimitMs while it is; none after a close request.
std::optional<ServiceState> SettledServiceState(TextView name, RequestSteps& steps) {
    const uint32_t start = steps.NowMs();
    for (;;) {
        const ServiceState state = steps.QueryService(name);
        if (!steps.Wait(0)) return std::nullopt;
        if (state.state != kServiceStartPending || steps.NowMs() - start >= kPendingLimitMs) {
            return state;
        }
        if (!steps.Wait(kPendingRecheckMs)) return std::nullopt;
    }
}

// None once the machine's registry answers; otherwise how the request ended.
std::optional<RequestOutcome> EnsureRemoteRegistry(TextView name, RequestSteps& steps) {
    for (;;) {
        if (!steps.Wait(0)) return Ended(RequestEnd::Stopped);
        steps.ShowProgress(kTryingToConnectText);
        // Windows serves the registry over named pipes while the service runs, and fails the
        // connection at once otherwise; the service manager is reached over RPC/TCP first,
        // which waits 21 s behind a firewall that lets only file sharing through and refuses
        // the credentials of "net use". So the registry is asked first.
        if (steps.RegistryAnswers(name)) return std::nullopt;
        const std::optional<ServiceState> state = SettledServiceState(name, steps);
        if (!state) return Ended(RequestEnd::Stopped);
        if (state->state == kServiceRunning) return std::nullopt;
        if (state->error != 0) return Ended(RequestEnd::QueryFailed, state->error);
        // Only a Yes starts the service.
        const Answer answer = steps.AskToStart(name);
        if (answer == Answer::SessionEnded) return Ended(RequestEnd::Stopped);
        if (answer == Answer::No) return Ended(RequestEnd::Declined);
        // The end of the session may have come while the question was open.
        if (!steps.Wait(0)) return Ended(RequestEnd::Stopped);
        const std::pair<ScCommand, Text> runs[] = {
            {ScCommand::Config, ScConfigArguments(name)},
            {ScCommand::Start, ScStartArguments(name)},
        };
        for (const auto& [command, arguments] : runs) {
            const ScRun run = steps.RunSc(arguments);
            if (run.stopped) return Ended(RequestEnd::Stopped);
            if (run.startError != 0) return Ended(RequestEnd::StartFailed, run.startError);
            if (run.exitCode && !ScSucceeded(command, *run.exitCode)) {
                return Ended(RequestEnd::StartFailed, *run.exitCode);
            }
        }
        steps.ShowProgress(AttemptingToStartText(name));
        if (!steps.Wait(kPauseAfterStartMs)) return Ended(RequestEnd::Stopped);
    }
}

}  // namespace

RequestOutcome RunListRequest(TextView typed, RequestSteps& steps) {
    const CheckedComputerName name = CheckComputerName(typed);
    if (name.kind == ComputerNameKind::Empty) return Ended(RequestEnd::Nothing);
    if (name.kind == ComputerNameKind::Invalid) return Ended(RequestEnd::RefusedName);
    steps.Begin(name.name);
    if (name.kind != ComputerNameKind::Local) {
        // A host name, with or without dots, is looked up whole; a dotted address is probed as
        // written. A name without an address is probed at 0.0.0.0, which no machine answers.
        const uint32_t address = name.kind == ComputerNameKind::HostName
                                     ? steps.Resolve(name.name)
                                     : ParseDottedAddress(name.name);
        if (steps.Ping(address) == -1) return Ended(RequestEnd::Unreachable);
        if (std::optional<RequestOutcome> ended = EnsureRemoteRegistry(name.name, steps)) {
            return *ended;
        }
        if (!steps.Wait(0)) return Ended(RequestEnd::Stopped);
    }
    steps.ShowProgress(kPleaseWaitText);
    const ScanOutcome scan = steps.Scan(name.name);
    if (scan.end == ScanEnd::Stopped) return Ended(RequestEnd::Stopped);
    return {RequestEnd::Scanned, 0, scan};
}

RequestEndView ViewOfEnd(const RequestOutcome& outcome, TextView computerName,
                         Text (*windowsText)(uint32_t error)) {
    const Text failed(kErrorRetrievingText);
    switch (outcome.end) {
        case RequestEnd::Nothing:
        case RequestEnd::Stopped:
            return {};
        case RequestEnd::RefusedName:
            return {std::nullopt, Text(kNotValidComputerNameText)};
        case RequestEnd::Unreachable:
            return {std::nullopt, Text(kUnableToPingText)};
        case RequestEnd::Declined:
            return {Text(kRegistryRequiredText), failed};
        case RequestEnd::QueryFailed:
            return {ServiceQueryFailedText(computerName, windowsText(outcome.error), outcome.error),
                    failed};
        case RequestEnd::StartFailed:
            return {ServiceStartFailedText(computerName, windowsText(outcome.error), outcome.error),
                    failed};
        case RequestEnd::Scanned:
            break;
    }
    const ScanOutcome& scan = outcome.scan;
    if (scan.end == ScanEnd::NothingRead && scan.error != 0) {
        return {RegistryReadFailedText(computerName, windowsText(scan.error), scan.error),
                ScanEndText(scan)};
    }
    return {std::nullopt, ScanEndText(scan)};
}
