#include "app/list_request_win.h"

#include <utility>

#include "app/list_request.h"
#include "common/handles_win.h"
#include "common/message_box_win.h"
#include "common/wide_win.h"
#include "inventory/registry_win.h"
#include "inventory/scan.h"
#include "remote/host_probe_win.h"
#include "remote/remote_service_win.h"
#include "remote/remote_text.h"

namespace {

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
// far quicker than anyone can see. When due, the events already queued are taken: the window
// repaints and its controls react, the progress text advances on the timer, a close request
// stops the scan, and every other event is dropped, as it would have been one key at a time.
class ListScanSink final : public ScanSink {
  public:
    explicit ListScanSink(MainWindow& window)
        : window_(window), lastShown_(GetTickCount()), lastPumped_(lastShown_) {}

    void Found(SoftwareEntry entry) override { window_.List().Append(std::move(entry)); }

    bool BetweenKeys() override {
        if (GetTickCount() - lastPumped_ < kPumpIntervalMs) return true;
        ShowRowsWhenDue();
        const Waited waited = window_.ServiceWindow(0, nullptr, [this] {
            window_.SetText(StatusLine, window_.State().ProgressDots.Tick());
        });
        lastPumped_ = GetTickCount();
        return waited != Waited::Closed;
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
    MainWindow& window_;
    DWORD lastShown_;
    DWORD lastPumped_;
    DWORD showInterval_ = kMinimumIntervalMs;
};

// The steps of a request on this window: the list, the network, the service manager, sc and
// the scan. Every wait services the window and ends at a close request.
class WindowRequestSteps final : public RequestSteps {
  public:
    explicit WindowRequestSteps(MainWindow& window) : window_(window) {}

    void Begin(TextView name) override {
        window_.List().Clear();
        window_.State().ComputerName = Text(name);
    }
    uint32_t Resolve(TextView name) override { return ResolveHostAddress(name); }
    int64_t Ping(uint32_t address) override {
        return PingHost(window_.State().IcmpHandle, address, 1000);
    }
    bool RegistryAnswers(TextView name) override { return TestRegistryConnection(name).connected; }
    ServiceState QueryService(TextView name) override {
        return QueryServiceState(name, kRemoteRegistryServiceName);
    }
    bool Wait(uint32_t timeoutMs) override {
        return window_.ServiceWindow(timeoutMs) != Waited::Closed;
    }
    uint32_t NowMs() override { return GetTickCount(); }
    void ShowProgress(TextView text) override { window_.SetText(StatusLine, text); }
    Answer AskToStart(TextView name) override {
        // A box that could not be shown counts as a No, so that sc never runs without the
        // operator's consent.
        const bool yes = ShowMessageBox(window_.Handle(), RemoteRegistryQuestion(name), kErrorTitle,
                                        MB_YESNO | MB_ICONERROR) == IDYES;
        // Once the session ended the program ends, whatever the answer: no second box.
        if (window_.SessionEnding()) return Answer::SessionEnded;
        // The box stood for the window while it was open: what was asked of the window then (a
        // close request too) is dropped after Yes; after No a close request ends the program
        // once the request is over.
        if (yes) window_.ForgetEvents();
        return yes ? Answer::Yes : Answer::No;
    }
    ScRun RunSc(TextView arguments) override {
        const ServiceControlRun run = RunServiceControl(arguments);
        ScRun result{false, run.error, std::nullopt};
        if (!run.process) return result;
        // sc is not waited for after a close request.
        if (window_.ServiceWindow(INFINITE, run.process.get()) == Waited::Closed) return {true};
        DWORD exitCode = 0;
        if (GetExitCodeProcess(run.process.get(), &exitCode)) result.exitCode = exitCode;
        return result;
    }
    ScanOutcome Scan(TextView name) override {
        ListScanSink sink(window_);
        RegistryReader registry(name);
        return InventoryScan(name, registry, sink);
    }

  private:
    MainWindow& window_;
};

}  // namespace

void ListSoftwareRequest(MainWindow& window) {
    WindowRequestSteps steps(window);
    const RequestOutcome outcome = RunListRequest(window.GetText(ComputerField), steps);
    // After the end of the session the program opens no box: it ends.
    if (window.SessionEnding()) return;
    const RequestEndView view = ViewOfEnd(outcome, window.State().ComputerName, WindowsErrorText);
    if (view.box) ShowMessageBox(window.Handle(), *view.box, kErrorTitle, MB_OK | MB_ICONERROR);
    if (view.status) window.Announce(*view.status);
    if (outcome.end == RequestEnd::Scanned) window.List().ShowAllFitted();
}
