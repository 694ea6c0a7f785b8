// What every command works with: the program being driven and the controls of its main window
// by their IDs, the state that commands leave for later ones, the commands' table entries, and
// waiting for the program.
#pragma once

#include <chrono>
#include <functional>
#include <span>

#include "script.h"

namespace e2e {

using Clock = std::chrono::steady_clock;

// How often waiting commands look again; "poll-interval" changes it for timing runs.
extern DWORD pollIntervalMs;
// Waits ms while handing this thread's messages on: out-of-context WinEvents arrive as messages.
void PumpFor(DWORD ms);
// Calls check until it passes or timeoutMs has gone by; the last failure explains a time-out.
Outcome Poll(DWORD timeoutMs, const std::function<Outcome()>& check);
// Polls read until what it gives is `expected` (both as a failure shows them, texts Quoted); when
// read gives nullopt the check fails with noAnswer.
Outcome PollFor(DWORD timeoutMs, const std::wstring& expected, std::wstring_view noAnswer,
                const std::function<std::optional<std::wstring>()>& read);

// The program being driven: its process, its GUI thread and its main window.
struct Target {
    HANDLE process = nullptr;
    DWORD processId = 0;
    DWORD threadId = 0;
    HWND window = nullptr;
    bool startedHere = false;  // by "start", not "attach": the driver may end it after a failure
};

// A window of the program that a command named by its ID: a control of the main window, or the
// main window itself (ID 0, MainWindow).
struct Control {
    HWND window = nullptr;
    int id = 0;
};
// The ID's name ("ComputerField"), or "control N" for a number without one, for messages.
std::wstring ControlName(int id);

// One script command: its name, its arguments and the time it may wait.
//
// Its syntax, as the command reference writes it, says what its arguments are, word by word:
// ID a control, ID... one or more, N ROW COL X Y CODE numbers, MS COUNT numbers from 0, a|b|c
// one of those words, TEXT the rest of the line with its escapes resolved, PATH or FILE the rest
// as written (not empty), and a last [t] the token timeout=MS. At PATH, FILE and any other word
// of the syntax ([COL], KEY...) reading stops: the command reads `rest` itself. Otherwise nothing
// may follow what the syntax names.
struct Command {
    std::wstring name;
    std::wstring args;  // after the name and one blank; the timeout=MS token removed
    DWORD timeout = 0;
    std::vector<Control> ids;         // ID, ID...
    std::vector<long long> numbers;   // N ROW COL X Y CODE MS COUNT
    std::vector<std::wstring> words;  // a|b|c
    std::wstring text;                // TEXT
    std::wstring rest;                // what the syntax leaves to the command, as written
};

// The state that commands share: the program, the script's settings and what one command keeps
// for a later one.
struct Session {
    Target target;
    std::wstring scriptFolder;
    std::wstring failScreenshot;  // where to save the screen after a failure, if anywhere
    DWORD defaultTimeout = 5000;
    Clock::time_point mark = Clock::now();
    // What keep-column remembered: one text per row, the selected row and whether it was in view.
    std::vector<std::wstring> kept;
    int keptSelected = -1;
    bool keptSelectedInView = false;

    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session() { CloseTarget(); }
    void CloseTarget() {
        if (target.process != nullptr) CloseHandle(target.process);
        target = Target{};
    }
    // That the main window, or the program's process, is known.
    Outcome NeedTarget() const { return target.window ? Pass() : Fail(kNoProgram); }
    Outcome NeedProcess() const { return target.process ? Pass() : Fail(kNoProgram); }
    static constexpr wchar_t kNoProgram[] = L"no program: use start or attach first";
    // A file that belongs to the scenario (expected rows) lives beside the script.
    std::wstring ScenarioPath(const std::wstring& path) const {
        return FullPath(IsRelativePath(path) ? scriptFolder + L"\\" + path : path);
    }

    // The control an ID names: a name of the driver's table or a number.
    Outcome ControlOf(std::wstring_view id, Control& control) const;
    // Reads the arguments of a command line as its syntax names them (see Command).
    Outcome ParseArguments(std::wstring_view syntax, Command& command) const;
    // The software list (SoftwareListView).
    Outcome List(HWND& list) const;
    // Waits until the control is visible and enabled, as an operator would; fails if it never is.
    Outcome WaitUsable(const Control& control, DWORD timeoutMs) const;
};

using Handler = Outcome (*)(Session&, const Command&);
struct CommandKind {
    std::wstring_view name;
    std::wstring_view syntax;
    Handler handler;
};

// The commands of each part of the driver, which the script runner looks up by name.
std::span<const CommandKind> ProgramCommands();  // process.cpp
std::span<const CommandKind> InputCommands();    // input.cpp
std::span<const CommandKind> CheckCommands();    // checks.cpp
std::span<const CommandKind> ListCommands();     // list_view.cpp
std::span<const CommandKind> BoxCommands();      // boxes.cpp

}  // namespace e2e
