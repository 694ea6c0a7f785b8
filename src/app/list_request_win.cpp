#include "app/list_request_win.h"

#include <utility>

#include "common/wide_win.h"
#include "inventory/scan_win.h"
#include "remote/host_probe_win.h"
#include "remote/remote_service_win.h"
#include "remote/remote_text.h"

namespace {

constexpr DWORD kPauseAfterStartMs = 2000;

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
// the timer, and every other event is dropped, as it would have been one key at a time.
class ScanIntoList final : public ScanSink {
  public:
    explicit ScanIntoList(MainWindow& window)
        : window_(window), lastShown_(GetTickCount()), lastPumped_(lastShown_) {}

    void Found(SoftwareEntry entry) override {
        SoftwareList& entries = window_.State().SoftwareList;
        entries.push_back(std::move(entry));
        window_.List().Append(entries.size() - 1);
    }

    void BetweenKeys() override {
        if (GetTickCount() - lastPumped_ < kPumpIntervalMs) return;
        ShowRowsWhenDue();
        for (int taken = 0; taken < kMostEventsPerPump; ++taken) {
            WindowEvent event = window_.WaitEvent(0);
            if (event.kind == EventKind::None) break;
            if (event.kind == EventKind::Timer && event.source == int(kProgressTimer)) {
                window_.SetText(StatusLine, window_.State().ProgressDots.Tick());
            }
            window_.DropPendingEvents();
        }
        lastPumped_ = GetTickCount();
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
    window.SetText(StatusLine, ScanEndText(outcome));
    window.List().ShowAllFitted();
}

// Makes sure the remote registry service of computerName runs. While it is not found running the
// operator is asked whether to start it: Yes runs sc twice (start on demand, then start), pauses
// 2000 ms and checks again; No ends the request with an error box and "Error retrieving software
// list" (false). The window is not serviced during the checks, the sc runs and the pause; the
// events pending before each check and before the scan are processed and dropped.
bool EnsureRemoteRegistry(MainWindow& window, TextView computerName) {
    for (;;) {
        window.DrainWindowEvents();
        window.SetText(StatusLine, kTryingToConnectText);
        if (QueryServiceStateText(computerName, kRemoteRegistryServiceName) ==
            kServiceRunningText) {
            window.DrainWindowEvents();
            return true;
        }
        // Only a Yes starts the service: a box that could not be shown counts as a No, so the
        // request ends instead of starting sc without the operator's consent.
        if (ShowMessageBox(window.Handle(), RemoteRegistryQuestion(computerName), kErrorTitle,
                           MB_YESNO | MB_ICONERROR) != IDYES) {
            ShowMessageBox(window.Handle(), kRegistryRequiredText, kErrorTitle,
                           MB_OK | MB_ICONERROR);
            window.SetText(StatusLine, kErrorRetrievingText);
            return false;
        }
        // Neither a failure to start sc nor its outcome is reported: the next check is the judge.
        for (const Text& arguments :
             {ScConfigArguments(computerName), ScStartArguments(computerName)}) {
            if (UniqueKernelHandle sc = RunServiceControl(arguments)) {
                WaitForSingleObject(sc.get(), INFINITE);
            }
        }
        window.SetText(StatusLine, AttemptingToStartText(computerName));
        Sleep(kPauseAfterStartMs);
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
    }
    window.SetText(StatusLine, kPleaseWaitText);
    ScanIntoShownList(window);
}
