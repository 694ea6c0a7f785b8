// The program's process: starting or finding it, ending it, loading a library into it, and the
// messages, memory and windows through which the other commands reach it.
#include "process.h"

#include <algorithm>

namespace e2e {

std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                           DWORD timeoutMs) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &result)) {
        return std::nullopt;
    }
    return LRESULT(result);
}

Outcome Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam, std::wstring_view what) {
    if (PostMessageW(window, message, wParam, lParam)) return Pass();
    return FailWithError(L"could not post " + std::wstring(what));
}

std::optional<std::wstring> TextOf(HWND window, DWORD timeoutMs) {
    auto length = Ask(window, WM_GETTEXTLENGTH, 0, 0, timeoutMs);
    if (!length) return std::nullopt;
    // A little slack: the text may grow between the two requests; the answer says what came.
    std::wstring text(size_t(*length) + 64, L'\0');
    auto copied = Ask(window, WM_GETTEXT, text.size(), LPARAM(text.data()), timeoutMs);
    if (!copied) return std::nullopt;
    text.resize(std::min(size_t(*copied), text.size()));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring TitleOf(HWND window) {
    wchar_t title[1024] = {};
    GetWindowTextW(window, title, 1024);
    return title;
}

std::wstring DescribeWindow(HWND window) {
    if (window == nullptr) return L"no window";
    return L"a window of class " + Quoted(ClassOf(window)) + L" with id " +
           std::to_wstring(GetDlgCtrlID(window)) + L" titled " + Quoted(TitleOf(window));
}

std::wstring PointText(POINT p) {
    return std::to_wstring(p.x) + L"," + std::to_wstring(p.y);
}
std::wstring RectText(const RECT& r) {
    return L"(" + PointText({r.left, r.top}) + L")-(" + PointText({r.right, r.bottom}) + L")";
}

std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className) {
    std::vector<HWND> found;
    for (HWND window = nullptr;
         (window = FindWindowExW(nullptr, window, className, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if ((processId == 0 || owner == processId) && IsWindowVisible(window)) {
            found.push_back(window);
        }
    }
    return found;
}

std::optional<DWORD> ExitCode(HANDLE process, DWORD waitMs) {
    DWORD code = 0;
    if (WaitForSingleObject(process, waitMs) != WAIT_OBJECT_0) return std::nullopt;
    GetExitCodeProcess(process, &code);
    return code;
}

bool EndProcess(HANDLE process) {
    if (ExitCode(process)) return true;
    TerminateProcess(process, 1);
    return ExitCode(process, 5000).has_value();
}

namespace {

constexpr DWORD kStartWaitMs = 20000;

// Waits for the program's main window (visible, top-level, with its exact title) of the target's
// process, or of any process while the target has none, and takes it for the target.
Outcome WaitForMainWindow(Target& target, DWORD timeoutMs) {
    return Poll(timeoutMs, [&] {
        if (auto code = target.process ? ExitCode(target.process) : std::nullopt) {
            return Fail(L"the program ended with exit code " + std::to_wstring(*code) +
                        L" before its window appeared");
        }
        for (HWND window : TopLevelWindows(target.processId, nullptr)) {
            if (GetParent(window) == nullptr && TitleOf(window) == kMainTitle) {
                target.window = window;
                target.threadId = GetWindowThreadProcessId(window, &target.processId);
                return Pass();
            }
        }
        return Fail(L"no window titled " + Quoted(kMainTitle) + L" is open");
    });
}

// Starts the program that "PATH [ARGS...]" names (PATH made full); info gets its process (the
// thread handle is closed).
Outcome StartProgram(std::wstring_view args, PROCESS_INFORMATION& info) {
    while (!args.empty() && IsBlank(args.front())) args.remove_prefix(1);
    std::wstring path;
    std::wstring rest;
    if (!args.empty() && args.front() == L'"') {
        size_t close = args.find(L'"', 1);
        if (close == std::wstring_view::npos) return Fail(L"unterminated quote in the path");
        path = args.substr(1, close - 1);
        rest = args.substr(close + 1);
    } else {
        auto [first, after] = SplitFirst(args);
        path = first;
        rest = after.empty() ? L"" : L" " + after;
    }
    if (path.empty()) return Fail(L"the program's path is missing");
    path = FullPath(path);
    std::wstring commandLine = L"\"" + path + L"\"" + rest;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    info = {};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &info)) {
        return FailWithError(L"could not start " + path);
    }
    CloseHandle(info.hThread);
    return Pass();
}

// Loads the library at path into the process: a thread of it runs LoadLibraryW with the path.
Outcome InjectLibrary(HANDLE process, const std::wstring& path, DWORD timeoutMs) {
    RemoteMemory memory(process, (path.size() + 1) * sizeof(wchar_t));
    if (!memory.Valid() || !memory.Write(0, path.c_str(), memory.Size())) {
        return FailWithError(L"could not write the path into the program");
    }
    // kernel32 lies at the same address in every process of a session, so the driver's own
    // LoadLibraryW is the program's too.
    auto* loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, loadLibrary,
                                       reinterpret_cast<void*>(memory.At(0)), 0, nullptr);
    if (thread == nullptr) return FailWithError(L"could not start a thread in the program");
    DWORD loaded = 0;
    bool ended = WaitForSingleObject(thread, timeoutMs) == WAIT_OBJECT_0 &&
                 GetExitCodeThread(thread, &loaded);
    CloseHandle(thread);
    if (!ended) {
        memory.Keep();  // the thread may still read the path
        return Fail(L"LoadLibraryW did not return (after " + std::to_wstring(timeoutMs) + L" ms)");
    }
    // The thread's exit code holds the low 32 bits of the module handle: 0 is NULL.
    if (loaded == 0) return Fail(L"the program could not load " + path);
    return Pass();
}

Outcome Inject(Session& s, const Command& c) {
    if (Outcome need = s.NeedProcess(); !need.ok) return need;
    return InjectLibrary(s.target.process, FullPath(c.rest), c.timeout);
}

Outcome Start(Session& s, const Command& c) {
    s.CloseTarget();
    PROCESS_INFORMATION info{};
    if (Outcome o = StartProgram(c.rest, info); !o.ok) return o;
    Target& target = s.target;
    target.process = info.hProcess;
    target.processId = info.dwProcessId;
    target.startedHere = true;
    auto deadline = Clock::now() + std::chrono::milliseconds(kStartWaitMs);
    if (Outcome o = WaitForMainWindow(target, kStartWaitMs); !o.ok) return o;
    // The window may be shown before the program has built all its controls; its loop waiting
    // for input says that start-up is over.
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    WaitForInputIdle(target.process, DWORD(std::max<long long>(left.count(), 0)));
    wchar_t library[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"LS_E2E_INJECT", library, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        return InjectLibrary(target.process, FullPath(library), kStartWaitMs);
    }
    return Pass();
}

Outcome RunProgram(Session&, const Command& c) {
    PROCESS_INFORMATION info{};
    if (Outcome o = StartProgram(c.rest, info); !o.ok) return o;
    const std::optional<DWORD> code = ExitCode(info.hProcess, c.timeout);
    if (!code) TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hProcess);
    if (!code) return Fail(L"it did not end (after " + std::to_wstring(c.timeout) + L" ms)");
    if (*code != 0) return Fail(L"it ended with exit code " + std::to_wstring(*code));
    return Pass();
}

Outcome Attach(Session& s, const Command& c) {
    s.CloseTarget();
    Target& target = s.target;
    if (Outcome o = WaitForMainWindow(target, c.timeout); !o.ok) return o;
    target.process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                     PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE,
                                 FALSE, target.processId);
    if (target.process == nullptr) return FailWithError(L"could not open the program's process");
    return Pass();
}

Outcome Close(Session& s, const Command&) {
    if (Outcome need = s.NeedTarget(); !need.ok) return need;
    return Post(s.target.window, WM_SYSCOMMAND, SC_CLOSE, 0, L"the close request");
}

Outcome CloseMessage(Session& s, const Command& c) {
    if (Outcome need = s.NeedTarget(); !need.ok) return need;
    if (c.rest != L"session") return Post(s.target.window, WM_CLOSE, 0, 0, L"WM_CLOSE");
    // Both are waited for as long as the command may take (a dialog that is still opening
    // takes them late), as Restart Manager waits for its answers.
    auto agreed = Ask(s.target.window, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, c.timeout);
    if (agreed != 1) return Fail(L"WM_QUERYENDSESSION was not answered 1");
    if (!Ask(s.target.window, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP, c.timeout)) {
        return Fail(L"WM_ENDSESSION was not taken");
    }
    return Pass();
}

Outcome ExpectExit(Session& s, const Command& c) {
    if (Outcome need = s.NeedProcess(); !need.ok) return need;
    const std::optional<DWORD> code = ExitCode(s.target.process, c.timeout);
    if (!code) return Fail(L"the program still runs after " + std::to_wstring(c.timeout) + L" ms");
    if (*code != DWORD(c.numbers[0])) {
        return Fail(L"expected exit code " + std::to_wstring(DWORD(c.numbers[0])) + L", got " +
                    std::to_wstring(*code));
    }
    return Pass();
}

Outcome ExpectAlive(Session& s, const Command&) {
    if (Outcome need = s.NeedProcess(); !need.ok) return need;
    if (auto code = ExitCode(s.target.process)) {
        return Fail(L"the program has ended with exit code " + std::to_wstring(*code));
    }
    return Pass();
}

Outcome Kill(Session& s, const Command&) {
    if (s.target.process != nullptr && !EndProcess(s.target.process)) {
        return Fail(L"the program did not end after TerminateProcess");
    }
    return Pass();
}

}  // namespace

std::span<const CommandKind> ProgramCommands() {
    static const CommandKind kCommands[] = {
        {L"start", L"PATH [ARGS...]", Start},
        {L"attach", L"[t]", Attach},
        {L"run", L"PATH [ARGS...] [t]", RunProgram},
        {L"close", L"", Close},
        {L"close-message", L"[session] [t]", CloseMessage},
        {L"expect-exit", L"CODE [t]", ExpectExit},
        {L"expect-alive", L"", ExpectAlive},
        {L"kill", L"", Kill},
        {L"inject", L"PATH [t]", Inject},
    };
    return kCommands;
}

}  // namespace e2e
