#include "session.h"

namespace e2e {
namespace {

// The IDs of the main window's controls by the names that scripts (and the driver itself) use:
// the main window's own control ids, and 0 for the main window.
constexpr std::pair<std::wstring_view, int> kControlIds[] = {
    {L"MainWindow", 0},
    {L"ComputerField", 2},
    {L"ListSoftwareButton", 3},
    {L"SoftwareListView", 4},
    {L"SaveListButton", 6},
    {L"SaveInstallTypeCheck", 7},
    {L"SaveVersionCheck", 8},
    {L"SaveInstallDateCheck", 9},
    {L"SaveInstallLocationCheck", 10},
    {L"SaveUninstallCommandCheck", 11},
    {L"ClearListButton", 12},
    {L"StatusLine", 13},
    {L"SearchField", 14},
    {L"SearchClearLink", 15},
};

// Whether word is one of the words that choices separates with '|'.
bool OneOf(std::wstring_view word, std::wstring_view choices) {
    return !word.empty() &&
           (L"|" + std::wstring(choices) + L"|").find(L"|" + std::wstring(word) + L"|") !=
               std::wstring::npos;
}

}  // namespace

DWORD pollIntervalMs = 20;

void PumpFor(DWORD ms) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    for (auto now = Clock::now(); now < deadline; now = Clock::now()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(left.count()) + 1, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
}

Outcome Poll(DWORD timeoutMs, const std::function<Outcome()>& check) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        Outcome outcome = check();
        if (outcome.ok) return outcome;
        if (Clock::now() >= deadline) {
            outcome.reason += L" (after " + std::to_wstring(timeoutMs) + L" ms)";
            return outcome;
        }
        PumpFor(pollIntervalMs);
    }
}

Outcome PollFor(DWORD timeoutMs, const std::wstring& expected, std::wstring_view noAnswer,
                const std::function<std::optional<std::wstring>()>& read) {
    return Poll(timeoutMs, [&] {
        auto actual = read();
        if (!actual) return Fail(std::wstring(noAnswer));
        if (*actual != expected) return Fail(L"expected " + expected + L", found " + *actual);
        return Pass();
    });
}

std::wstring ControlName(int id) {
    for (const auto& [name, number] : kControlIds) {
        if (number == id) return std::wstring(name);
    }
    return L"control " + std::to_wstring(id);
}

Outcome Session::ControlOf(std::wstring_view id, Control& control) const {
    std::optional<long long> number = ParseNumber(id);
    for (const auto& [name, value] : kControlIds) {
        if (id == name) number = value;
    }
    if (!number || *number < INT_MIN || *number > INT_MAX) {
        std::wstring names;
        for (const auto& entry : kControlIds) names += L" " + std::wstring(entry.first);
        return Fail(L"expected a control id or one of" + names + L", found " + Quoted(id));
    }
    if (Outcome need = NeedTarget(); !need.ok) return need;
    control.id = int(*number);
    control.window = control.id == 0 ? target.window : GetDlgItem(target.window, control.id);
    if (control.window == nullptr || !IsWindow(target.window)) {
        return Fail(IsWindow(target.window) ? L"the main window has no " + ControlName(control.id)
                                            : L"the main window is gone");
    }
    return Pass();
}

Outcome Session::ParseArguments(std::wstring_view syntax, Command& c) const {
    if (syntax.ends_with(L"[t]")) {
        // The last blank-separated word, when it is timeout=MS, belongs to the command, not to
        // its text.
        size_t blank = c.args.find_last_of(L" \t");
        std::wstring_view word = std::wstring_view(c.args).substr(blank + 1);  // npos + 1: all
        if (word.starts_with(L"timeout=")) {
            auto ms = ParseNumber(word.substr(8));
            if (!ms || *ms < 0) return Fail(L"bad time-out " + Quoted(word));
            c.timeout = DWORD(*ms);
            c.args.resize(blank == std::wstring::npos ? 0 : blank);
        }
        syntax.remove_suffix(3);
    }
    c.rest = c.args;
    for (const std::wstring& token : Words(syntax)) {
        if (token == L"TEXT") {
            std::wstring why;
            auto text = Unescape(c.rest, why);
            if (!text) return Fail(why);
            c.text = std::move(*text);
            return Pass();
        }
        if (token == L"PATH" || token == L"FILE") {
            if (c.rest.empty()) return Fail(L"expected " + token);
            return Pass();
        }
        if (token == L"ID...") {
            for (const std::wstring& word : Words(c.rest)) {
                if (Outcome o = ControlOf(word, c.ids.emplace_back()); !o.ok) return o;
            }
            c.rest.clear();
            if (c.ids.empty()) return Fail(L"expected one or more control ids");
            continue;
        }
        const bool number = OneOf(token, L"N|ROW|COL|X|Y|CODE|MS|COUNT");
        const bool choice = token.find(L'|') != std::wstring::npos;
        if (token != L"ID" && !number && !choice) return Pass();
        auto [word, after] = SplitFirst(c.rest);
        c.rest = std::move(after);
        if (token == L"ID") {
            if (Outcome o = ControlOf(word, c.ids.emplace_back()); !o.ok) return o;
        } else if (number) {
            const long long least = OneOf(token, L"MS|COUNT") ? 0 : LLONG_MIN;
            if (Outcome o = NumberArg(word, token, c.numbers.emplace_back(), least); !o.ok)
                return o;
        } else if (!OneOf(word, token)) {
            return Fail(L"expected " + token + L", found " + Quoted(word));
        } else {
            c.words.push_back(word);
        }
    }
    if (!Words(c.rest).empty()) {
        return Fail(L"expected " + std::wstring(syntax) + L", found more: " + Quoted(c.rest));
    }
    return Pass();
}

Outcome Session::List(HWND& list) const {
    Control control;
    if (Outcome o = ControlOf(L"SoftwareListView", control); !o.ok) return o;
    list = control.window;
    return Pass();
}

Outcome Session::WaitUsable(const Control& control, DWORD timeoutMs) const {
    const std::wstring name = ControlName(control.id);
    return Poll(timeoutMs, [&] {
        if (!IsWindow(control.window)) return Fail(name + L" is gone");
        if (!IsWindowVisible(control.window)) return Fail(name + L" is not visible");
        if (!IsWindowEnabled(control.window)) return Fail(name + L" stays disabled");
        return Pass();
    });
}

}  // namespace e2e
