// The flow of one list request against a scripted world, and what its end shows.
#include "app/list_request.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr ServiceState kStopped{1, 0}, kPending{2, 0}, kRunning{4, 0}, kDenied{0, 5};

// What the steps find; each list's last element repeats.
struct World {
    int64_t echo = 3;
    std::vector<bool> registry{true};
    std::vector<ServiceState> states{kStopped};
    std::vector<Answer> answers{Answer::No};
    std::vector<ScRun> sc{ScRun{false, 0, 0u}};
    int closeAtWait = -1;  // the wait (from 0) during which a close request comes
    ScanOutcome scan = {};
};

template <typename T>
T Next(std::vector<T>& list) {
    T next = list.front();
    if (list.size() > 1) list.erase(list.begin());
    return next;
}

// Records the steps in a trace, one letter each: b Begin, r Resolve, p Ping, c the registry
// test, q a service query, a the question, s an sc run, w a wait of 2000 ms, h one of 500 ms,
// n the scan; and the first letter of each progress text in capitals (T, A, P).
class FakeSteps final : public RequestSteps {
  public:
    explicit FakeSteps(World world) : world_(std::move(world)) {}
    std::string trace;

    void Begin(TextView) override { trace += 'b'; }
    uint32_t Resolve(TextView) override { return trace += 'r', 0x0100007f; }
    int64_t Ping(uint32_t address) override {
        trace += 'p';
        return address == 0 ? -1 : world_.echo;
    }
    bool RegistryAnswers(TextView) override { return trace += 'c', Next(world_.registry); }
    ServiceState QueryService(TextView) override { return trace += 'q', Next(world_.states); }
    bool Wait(uint32_t timeoutMs) override {
        now_ += timeoutMs;
        if (timeoutMs > 0) trace += timeoutMs == 2000 ? 'w' : 'h';
        // A flow that goes round for ever is stopped as by a close request.
        return waits_++ != world_.closeAtWait && trace.size() < 1000;
    }
    uint32_t NowMs() override { return now_; }
    void ShowProgress(TextView text) override { trace += char(text[0]); }
    Answer AskToStart(TextView) override { return trace += 'a', Next(world_.answers); }
    ScRun RunSc(TextView) override { return trace += 's', Next(world_.sc); }
    ScanOutcome Scan(TextView name) override {
        trace += 'n';
        scanned = Text(name);
        return world_.scan;
    }
    Text scanned;  // the name the scan was given

  private:
    World world_;
    uint32_t now_ = 0;
    int waits_ = 0;
};

Text ErrorText(uint32_t error) {
    return error == 5 ? u"Access is denied." : u"";
}

TEST(ListRequestTest, EndsInOneOutcomeThatSaysWhatIsShown) {
    const ScanOutcome lost{ScanEnd::ConnectionLost};
    const Text failed(kErrorRetrievingText);
    // A service that stays starting is looked at again every 500 ms: 60 times in 30 s.
    std::string rechecks;
    for (int i = 0; i < 60; ++i) rechecks += "qh";
    struct Case {
        const char* label;
        const char16_t* typed;
        World world;
        RequestEnd end;
        uint32_t error;
        std::string trace;
        std::optional<Text> box, status;
    } cases[] = {
        {"empty", u" \t", {}, RequestEnd::Nothing, 0, "", {}, {}},
        {"refused",
         u"pc 1",
         {},
         RequestEnd::RefusedName,
         0,
         "",
         {},
         Text(kNotValidComputerNameText)},
        {"local", u".", {}, RequestEnd::Scanned, 0, "bPn", {}, Text(kCompletedText)},
        {"no echo",
         u"testpc",
         {.echo = -1},
         RequestEnd::Unreachable,
         0,
         "brp",
         {},
         Text(kUnableToPingText)},
        {"address, not looked up",
         u"0.0.0.0",
         {},
         RequestEnd::Unreachable,
         0,
         "bp",
         {},
         Text(kUnableToPingText)},
        {"registry answers",
         u"\\\\testpc",
         {},
         RequestEnd::Scanned,
         0,
         "brpTcPn",
         {},
         Text(kCompletedText)},
        {"lost mid-scan",
         u"10.0.0.5",
         {.scan = lost},
         RequestEnd::Scanned,
         0,
         "bpTcPn",
         {},
         Text(kConnectionLostText)},
        {"service runs",
         u"testpc",
         {.registry = {false}, .states = {kRunning}},
         RequestEnd::Scanned,
         0,
         "brpTcqPn",
         {},
         Text(kCompletedText)},
        {"query refused",
         u"testpc",
         {.registry = {false}, .states = {kDenied}},
         RequestEnd::QueryFailed,
         5,
         "brpTcq",
         ServiceQueryFailedText(u"testpc", u"Access is denied.", 5),
         failed},
        {"declined",
         u"testpc",
         {.registry = {false}},
         RequestEnd::Declined,
         0,
         "brpTcqa",
         Text(kRegistryRequiredText),
         failed},
        {"started",
         u"testpc",
         {.registry = {false, true}, .answers = {Answer::Yes}},
         RequestEnd::Scanned,
         0,
         "brpTcqassAwTcPn",
         {},
         Text(kCompletedText)},
        {"already running",
         u"testpc",
         {.registry = {false, true},
          .answers = {Answer::Yes},
          .sc = {{false, 0, 0u}, {false, 0, 1056u}}},
         RequestEnd::Scanned,
         0,
         "brpTcqassAwTcPn",
         {},
         Text(kCompletedText)},
        {"start refused",
         u"testpc",
         {.registry = {false}, .answers = {Answer::Yes}, .sc = {{false, 0, 0u}, {false, 0, 5u}}},
         RequestEnd::StartFailed,
         5,
         "brpTcqass",
         ServiceStartFailedText(u"testpc", u"Access is denied.", 5),
         failed},
        {"sc missing",
         u"testpc",
         {.registry = {false}, .answers = {Answer::Yes}, .sc = {{false, 2, {}}}},
         RequestEnd::StartFailed,
         2,
         "brpTcqas",
         ServiceStartFailedText(u"testpc", u"", 2),
         failed},
        {"starting for 30 s",
         u"testpc",
         {.registry = {false}, .states = {kPending}},
         RequestEnd::Declined,
         0,
         "brpTc" + rechecks + "qa",
         Text(kRegistryRequiredText),
         failed},
        {"closed before the check",
         u"testpc",
         {.closeAtWait = 0},
         RequestEnd::Stopped,
         0,
         "brp",
         {},
         {}},
        {"closed during sc",
         u"testpc",
         {.registry = {false}, .answers = {Answer::Yes}, .sc = {{true}}},
         RequestEnd::Stopped,
         0,
         "brpTcqas",
         {},
         {}},
        {"session ended while asked",
         u"testpc",
         {.registry = {false}, .answers = {Answer::Yes}, .closeAtWait = 2},
         RequestEnd::Stopped,
         0,
         "brpTcqa",
         {},
         {}},
        {"session ended while asked, then No",
         u"testpc",
         {.registry = {false}, .answers = {Answer::SessionEnded}},
         RequestEnd::Stopped,
         0,
         "brpTcqa",
         {},
         {}},
        {"registry refused every read",
         u"testpc",
         {.scan = {ScanEnd::NothingRead, 0, 0, 5}},
         RequestEnd::Scanned,
         0,
         "brpTcPn",
         RegistryReadFailedText(u"testpc", u"Access is denied.", 5),
         Text(kUnableToReadRegistryText)},
        {"registry never connected",
         u"testpc",
         {.scan = {ScanEnd::NothingRead}},
         RequestEnd::Scanned,
         0,
         "brpTcPn",
         {},
         Text(kUnableToReadRegistryText)},
        {"closed during the pause",
         u"testpc",
         {.registry = {false}, .answers = {Answer::Yes}, .closeAtWait = 3},
         RequestEnd::Stopped,
         0,
         "brpTcqassAw",
         {},
         {}},
        {"closed during the scan",
         u".",
         {.scan = {ScanEnd::Stopped}},
         RequestEnd::Stopped,
         0,
         "bPn",
         {},
         {}},
    };
    for (Case& c : cases) {
        FakeSteps steps(c.world);
        const RequestOutcome outcome = RunListRequest(c.typed, steps);
        EXPECT_EQ(outcome.end, c.end) << c.label;
        EXPECT_EQ(outcome.error, c.error) << c.label;
        EXPECT_EQ(steps.trace, c.trace) << c.label;
        // The scan is given the checked name: \\\\testpc scans testpc.
        if (c.trace.ends_with('n')) {
            EXPECT_EQ(steps.scanned, CheckComputerName(c.typed).name) << c.label;
        }
        const RequestEndView view = ViewOfEnd(outcome, u"testpc", ErrorText);
        EXPECT_EQ(view.box, c.box) << c.label;
        EXPECT_EQ(view.status, c.status) << c.label;
    }
}

}  // namespace
