// Checks of the main window's controls: texts, states, the focus, where they lie, what a screen
// reader hears, and of what the program leaves elsewhere: the clipboard, a popup menu.
// clang-format off
#include <windows.h>
#include <oleacc.h>
// clang-format on

#include "process.h"

namespace e2e {
namespace {

// Polls until the control's text is `expected`.
Outcome ExpectTextOf(const Control& control, const std::wstring& expected, DWORD timeout) {
    return PollFor(timeout, Quoted(expected), L"the program did not answer WM_GETTEXT",
                   [&]() -> std::optional<std::wstring> {
                       auto text = TextOf(control.window);
                       if (!text) return std::nullopt;
                       return Quoted(*text);
                   });
}

Outcome ExpectText(Session&, const Command& c) {
    return ExpectTextOf(c.ids[0], c.text, c.timeout);
}

Outcome WaitStatus(Session& s, const Command& c) {
    Control status;
    if (Outcome o = s.ControlOf(L"StatusLine", status); !o.ok) return o;
    return ExpectTextOf(status, c.text, c.timeout);
}

// Polls until control ID answers a message with `expected`; `what` names the answer.
Outcome ExpectAnswer(const Command& c, UINT message, std::wstring_view what, long long expected) {
    const std::wstring name = std::wstring(what) + L" ";
    return PollFor(c.timeout, name + std::to_wstring(expected),
                   ControlName(c.ids[0].id) + L" did not answer", [&] {
                       auto answer = Ask(c.ids[0].window, message, 0, 0);
                       return answer ? std::optional(name + std::to_wstring(*answer))
                                     : std::nullopt;
                   });
}

Outcome ExpectTextLength(Session&, const Command& c) {
    return ExpectAnswer(c, WM_GETTEXTLENGTH, L"length", c.numbers[0]);
}

Outcome ExpectChecked(Session&, const Command& c) {
    // BST_UNCHECKED is 0, BST_CHECKED 1.
    return ExpectAnswer(c, BM_GETCHECK, L"check state", c.words[0] == L"1" ? 1 : 0);
}

// expect-enabled and expect-disabled.
template <bool enabled>
Outcome ExpectEnabledState(Session&, const Command& c) {
    return Poll(c.timeout, [&] {
        std::wstring wrong;
        for (const Control& control : c.ids) {
            if ((IsWindowEnabled(control.window) != FALSE) != enabled) {
                wrong += L" " + ControlName(control.id);
            }
        }
        if (!wrong.empty()) {
            return Fail(std::wstring(L"expected enabled=") + (enabled ? L"yes" : L"no") +
                        L", but these are " + (enabled ? L"disabled:" : L"enabled:") + wrong);
        }
        return Pass();
    });
}

Outcome ExpectOnScreen(Session&, const Command& c) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    for (const Control& control : c.ids) {
        RECT rect{}, inside{};
        GetWindowRect(control.window, &rect);
        if (!IntersectRect(&inside, &rect, &work) || !EqualRect(&inside, &rect)) {
            return Fail(ControlName(control.id) + L" at " + RectText(rect) +
                        L" is not inside the work area " + RectText(work));
        }
    }
    return Pass();
}

Outcome ExpectFocus(Session& s, const Command& c) {
    return PollFor(c.timeout, L"the focus on " + ControlName(c.ids[0].id),
                   L"GetGUIThreadInfo failed", [&]() -> std::optional<std::wstring> {
                       GUITHREADINFO info{};
                       info.cbSize = sizeof info;
                       if (!GetGUIThreadInfo(s.target.threadId, &info)) return std::nullopt;
                       HWND focus = info.hwndFocus;
                       if (focus == nullptr) return L"no window of the program with the focus";
                       return L"the focus on " + (GetParent(focus) == s.target.window
                                                      ? ControlName(GetDlgCtrlID(focus))
                                                      : DescribeWindow(focus));
                   });
}

Outcome ExpectName(Session&, const Command& c) {
    // IAccessible's IID by value: the one of mingw's libraries is not answered under Wine.
    static const IID kIAccessible = {
        0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    const Control& control = c.ids[0];
    return PollFor(
        c.timeout, Quoted(c.text), L"no accessible object for " + ControlName(control.id),
        [&]() -> std::optional<std::wstring> {
            IAccessible* object = nullptr;
            if (FAILED(AccessibleObjectFromWindow(control.window, DWORD(OBJID_CLIENT), kIAccessible,
                                                  reinterpret_cast<void**>(&object)))) {
                return std::nullopt;
            }
            VARIANT self = {};
            self.vt = VT_I4;
            self.lVal = CHILDID_SELF;
            BSTR name = nullptr;
            const HRESULT got = object->get_accName(self, &name);
            const std::wstring actual = SUCCEEDED(got) && name != nullptr ? name : L"";
            SysFreeString(name);
            object->Release();
            return Quoted(actual);
        });
}

// The live-region events of the window announcing counts, since count-announcements.
constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED (Windows 8)
HWND announcing = nullptr;
int announcements = 0;
void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
    if (window == announcing && object == OBJID_CLIENT) ++announcements;
}

Outcome CountAnnouncements(Session& s, const Command&) {
    Control status;
    if (Outcome o = s.ControlOf(L"StatusLine", status); !o.ok) return o;
    static HWINEVENTHOOK hook = nullptr;
    if (hook != nullptr) UnhookWinEvent(hook);
    hook = SetWinEventHook(kLiveRegionChanged, kLiveRegionChanged, nullptr, OnWinEvent,
                           s.target.processId, 0, WINEVENT_OUTOFCONTEXT);
    if (hook == nullptr) return FailWithError(L"SetWinEventHook failed");
    announcing = status.window;
    announcements = 0;
    return Pass();
}

Outcome ExpectAnnouncements(Session&, const Command& c) {
    Count expected;
    if (Outcome o = CountArg(c.rest, L"a number of announcements", expected); !o.ok) return o;
    return Poll(c.timeout, [&] {
        if (expected.HeldBy(announcements)) return Pass();
        return Fail(L"expected " + expected.Text() +
                    L" announcements of the status line, counted " +
                    std::to_wstring(announcements));
    });
}

Outcome ExpectClipboard(Session&, const Command& c) {
    return PollFor(c.timeout, Quoted(c.text),
                   L"the clipboard could not be opened or holds no Unicode text",
                   [&]() -> std::optional<std::wstring> {
                       if (!OpenClipboard(nullptr)) return std::nullopt;
                       std::optional<std::wstring> text;
                       if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
                           if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
                               text = Quoted(std::wstring_view(
                                   units, wcsnlen(units, GlobalSize(data) / sizeof(wchar_t))));
                               GlobalUnlock(data);
                           }
                       }
                       CloseClipboard();
                       return text;
                   });
}

// Under Wine another process's menu cannot be read (its handle is invalid here), so only the
// popup window itself is looked for.
Outcome ExpectMenu(Session& s, const Command& c) {
    if (Outcome need = s.NeedTarget(); !need.ok) return need;
    return Poll(c.timeout, [&] {
        if (!TopLevelWindows(s.target.processId, L"#32768").empty()) return Pass();
        return Fail(L"the program shows no popup menu");
    });
}

}  // namespace

std::span<const CommandKind> CheckCommands() {
    static const CommandKind kCommands[] = {
        {L"expect-text", L"ID TEXT [t]", ExpectText},
        {L"expect-text-length", L"ID N [t]", ExpectTextLength},
        {L"wait-status", L"TEXT [t]", WaitStatus},
        {L"expect-enabled", L"ID... [t]", ExpectEnabledState<true>},
        {L"expect-disabled", L"ID... [t]", ExpectEnabledState<false>},
        {L"expect-checked", L"ID 0|1 [t]", ExpectChecked},
        {L"expect-focus", L"ID [t]", ExpectFocus},
        {L"expect-on-screen", L"ID...", ExpectOnScreen},
        {L"expect-name", L"ID TEXT [t]", ExpectName},
        {L"count-announcements", L"", CountAnnouncements},
        {L"expect-announcements", L"[>=]N [t]", ExpectAnnouncements},
        {L"expect-clipboard", L"TEXT [t]", ExpectClipboard},
        {L"expect-menu", L"[t]", ExpectMenu},
    };
    return kCommands;
}

}  // namespace e2e
