#include "app/list_request_win.h"

#include <optional>
#include <utility>

#include "common/handles_win.h"
#include "common/wide_win.h"
#include "inventory/registry_win.h"
#include "inventory/scan_win.h"
#include "remote/host_probe_win.h"
#include "remote/remote_service_win.h"
#include "remote/remote_text.h"

namespace {

constexpr DWORD kPauseAfterStartMs = 2000;
// A service that is starting is looked at again every 500 ms, for at most 30 s.
constexpr DWORD kPendingRecheckMs = 500;
constexpr DWORD kPendingLimitMs = 30000;

enum class Waited { Signalled, TimedOut, Closed };

// Waits until object is signalled, or for timeoutMs without one (INFINITE: for ever), while the
// window repaints and its controls react; every event is dropped but a close request, which ends
// the wait at once.
Waited WaitServiced(MainWindow& window, HANDLE object, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (timeoutMs != INFINITE && elapsed >= timeoutMs) return Waited::TimedOut;
        const WindowEvent event =
            window.WaitEvent(timeoutMs == INFINITE ? INFINITE : timeoutMs - elapsed, object);
        if (event.kind == EventKind::Close) return Waited::Closed;
        if (event.kind == EventKind::Signalled) return Waited::Signalled;
        window.DropPendingEvents();
    }
}

// Windows' own text for an error (the system's message, its line end removed); empty when it
// has none.
Text WindowsErrorText(uint32_t error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const UniqueLocalMemory owned(buffer);
    Text text = buffer != nullptr ? FromWide(buffer, length) : Text();
    while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ')) {
        text.pop_back();
    }
    return text;
}

void ShowError(MainWindow& window, TextView text) {
    ShowMessageBox(window.Handle(), text, kErrorTitle, MB_OK | MB_ICONERROR);
}

// The scan's entries go into SoftwareList and the list; between program keys the window is kept
// alive.
//
// The list learns of the rows found so far at most every 500 ms (twice per tick of the progress
// dots) until they fill its page, then every 2 s, when new rows only lengthen the scroll bar;
// and it never spends more than a tenth of the scan doing so. Under Wine each new row count
// costs the list 20 to 40 ms whatever changed (measured: the same count set twice took as long
// the second time; three counts were 110 to 130 ms of a 2,000-row scan). The list still fills
// visibly as entries are found.
//
// The window's queue is looked at every 20 ms rather than after every key: under Wine each look
// is a round trip to the server that costs about as much as a registry read, and 20 ms is still
// far quicker than anyone can see. When due, every event already queued is taken (at most
// kMostEventsPerPump): the window repaints and its controls react, the progress text advances on
// the timer, a close request stops the scan, and every other event is dropped, as it would have
// been one key at a time.
class ScanIntoList final : public ScanSink {
  public:
    explicit ScanIntoList(MainWindow& window)
        : window_(window), lastShown_(GetTickCount()), lastPumped_(lastShown_) {}

    void Found(SoftwareEntry entry) override {
        SoftwareList& entries = window_.State().SoftwareList;
        entries.push_back(std::move(entry));
        window_.List().Append(entries.size() - 1);
    }

    bool BetweenKeys() override {
        if (GetTickCount() - lastPumped_ < kPumpIntervalMs) return true;
        ShowRowsWhenDue();
        for (int taken = 0; taken < kMostEventsPerPump; ++taken) {
            WindowEvent event = window_.WaitEvent(0);
            if (event.kind == EventKind::None) break;
            if (event.kind == EventKind::Close) return false;
            if (event.kind == EventKind::Timer && event.source == int(kProgressTimer)) {
                window_.SetText(StatusLine, window_.State().ProgressDots.Tick());
            }
            window_.DropPendingEvents();
        }
        lastPumped_ = GetTickCount();
        return true;
    }

  private:
    void ShowRowsWhenDue() {
        const DWORD now = GetTickCount();
        if (now - lastShown_ < showInterval_) return;
        window_.List().ShowAppended();
        lastShown_ = GetTickCount();
        const DWORD cost = lastShown_ - now;
        const DWORD minimum = window_.List().FillsPage() ? kFullPageIntervalMs : kMinimumIntervalMs;
        showInterval_ = cost * 9 > minimum ? cost * 9 : minimum;
    }

    static constexpr DWORD kMinimumIntervalMs = 500;
    static constexpr DWORD kFullPageIntervalMs = 2000;
    static constexpr DWORD kPumpIntervalMs = 20;
    static constexpr int kMostEventsPerPump = 64;
    MainWindow& window_;
    DWORD lastShown_;
    DWORD lastPumped_;
    DWORD showInterval_ = kMinimumIntervalMs;
};

// Scans ComputerName into the list, then says how the scan ended and fits the columns.
void ScanIntoShownList(MainWindow& window) {
    ScanIntoList sink(window);
    const ScanOutcome outcome = InventoryScan(window.State().ComputerName, sink);
    if (outcome.end == ScanEnd::Stopped) return;
    window.SetText(StatusLine, ScanEndText(outcome));
    window.List().ShowAllFitted();
}

// The state of computerName's remote registry service; while it is starting, looked at again
// every 500 ms for at most 30 s, the window serviced meanwhile. None after a close request.
std::optional<ServiceState> SettledServiceState(MainWindow& window, TextView computerName) {
    const DWORD start = GetTickCount();
    for (;;) {
        ServiceState state = QueryServiceState(computerName, kRemoteRegistryServiceName);
        window.DrainWindowEvents();
        if (window.CloseRequested()) return std::nullopt;
        if (state.text != kServicePendingText || GetTickCount() - start >= kPendingLimitMs) {
            return state;
        }
        if (WaitServiced(window, nullptr, kPendingRecheckMs) == Waited::Closed) return std::nullopt;
    }
}

// Runs sc with the arguments and waits for it, the window serviced; none after a close request
// (sc is not waited for then). Otherwise whether it did what was asked; when not, says so in an
// "Error" box.
std::optional<bool> RunScServiced(MainWindow& window, TextView computerName, ScCommand command,
                                  TextView arguments) {
    const ServiceControlRun run = RunServiceControl(arguments);
    uint32_t failure = run.error;
    if (run.process) {
        if (WaitServiced(window, run.process.get(), INFINITE) == Waited::Closed)
            return std::nullopt;
        DWORD exitCode = 0;
        if (GetExitCodeProcess(run.process.get(), &exitCode) && !ScSucceeded(command, exitCode)) {
            failure = exitCode;
        }
    }
    if (failure == 0) return true;
    ShowError(window, ServiceStartFailedText(computerName, WindowsErrorText(failure), failure));
    return false;
}

// Makes sure the remote registry of computerName answers; true when it does. Its registry is
// asked first: a connection made means that the Remote Registry service runs. Only when it does
// not answer is the service manager asked, which Windows reaches over RPC/TCP first: behind a
// firewall that lets only file sharing through, each of its calls waits 21 s for TCP, and it
// refuses with 5 the credentials given to "net use", where the registry, over named pipes,
// answers at once. While the service is found stopped the operator is asked whether to start
// it: Yes runs sc twice (start on demand, then start), pauses 2000 ms and checks again; No ends
// the request with an error box and "Error retrieving software list". A state that cannot be
// read, or an sc run that fails, is said in an "Error" box and ends the request the same way. The
// window repaints throughout; a close request taken during the checks, the sc runs or the pause
// ends the request at once (false).
bool EnsureRemoteRegistry(MainWindow& window, TextView computerName) {
    for (;;) {
        window.DrainWindowEvents();
        if (window.CloseRequested()) return false;
        window.SetText(StatusLine, kTryingToConnectText);
        if (TestRegistryConnection(computerName).connected) return true;
        const std::optional<ServiceState> state = SettledServiceState(window, computerName);
        if (!state) return false;
        if (state->text == kServiceRunningText) return true;
        if (state->error != 0) {
            ShowError(window, ServiceQueryFailedText(computerName, WindowsErrorText(state->error),
                                                     state->error));
            window.SetText(StatusLine, kErrorRetrievingText);
            return false;
        }
        // Only a Yes starts the service: a box that could not be shown counts as a No, so the
        // request ends instead of starting sc without the operator's consent.
        if (ShowMessageBox(window.Handle(), RemoteRegistryQuestion(computerName), kErrorTitle,
                           MB_YESNO | MB_ICONERROR) != IDYES) {
            ShowError(window, kRegistryRequiredText);
            window.SetText(StatusLine, kErrorRetrievingText);
            return false;
        }
        // The box stood for the window while it was open: what was asked of the window then
        // (a close request too) is dropped.
        window.ForgetEvents();
        const std::pair<ScCommand, Text> runs[] = {
            {ScCommand::Config, ScConfigArguments(computerName)},
            {ScCommand::Start, ScStartArguments(computerName)},
        };
        for (const auto& [command, arguments] : runs) {
            const std::optional<bool> succeeded =
                RunScServiced(window, computerName, command, arguments);
            if (!succeeded) return false;
            if (!*succeeded) {
                window.SetText(StatusLine, kErrorRetrievingText);
                return false;
            }
        }
        window.SetText(StatusLine, AttemptingToStartText(computerName));
        if (WaitServiced(window, nullptr, kPauseAfterStartMs) == Waited::Closed) return false;
    }
}

}  // namespace

void ListSoftwareRequest(MainWindow& window) {
    // The name is checked before anything runs: a refused one changes nothing but the status.
    const CheckedComputerName typed = CheckComputerName(window.GetText(ComputerField));
    if (typed.kind == ComputerNameKind::Empty) return;
    if (typed.kind == ComputerNameKind::Invalid) {
        window.SetText(StatusLine, kNotValidComputerNameText);
        return;
    }
    AppState& state = window.State();
    window.List().Clear();
    state.SoftwareList.clear();
    state.ComputerName = typed.name;
    if (typed.kind != ComputerNameKind::Local) {
        // Another machine must answer an echo first: a host name, with or without dots, is looked
        // up whole; a dotted address is probed as written.
        const Text address = typed.kind == ComputerNameKind::HostName
                                 ? ResolveHostAddress(state.ComputerName)
                                 : state.ComputerName;
        if (PingHost(state.IcmpHandle, address, 1000) == -1) {
            window.SetText(StatusLine, kUnableToPingText);
            return;
        }
        if (!EnsureRemoteRegistry(window, state.ComputerName)) return;
        window.DrainWindowEvents();
        if (window.CloseRequested()) return;
    }
    window.SetText(StatusLine, kPleaseWaitText);
    ScanIntoShownList(window);
}
