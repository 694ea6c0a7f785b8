// Input as an operator gives it: messages posted to the program's controls (it acts on them
// from its own loop), key strokes and mouse moves and clicks through SendInput, the clipboard.
// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <algorithm>

#include "list_view.h"
#include "process.h"

namespace e2e {
namespace {

POINT Centre(const RECT& r) {
    return {r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2};
}

// Makes the main window the foreground window and waits until the system agrees.
Outcome BringToFront(HWND window) {
    return Poll(2000, [&] {
        if (GetForegroundWindow() == window) return Pass();
        SetForegroundWindow(window);
        return Fail(L"the main window does not become the foreground window");
    });
}

// Sends one mouse event as a device would (SendInput).
void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi = {dx, dy, 0, flags, 0, 0};
    SendInput(1, &input, sizeof input);
}

// The absolute SendInput coordinate (0..65535 over the primary screen) that lands on pixel p:
// rounding up makes the system's scaling back to pixels give p again.
LONG Normalized(LONG p, int extent) {
    long long value = (static_cast<long long>(p) * 65536 + extent - 1) / extent;
    return LONG(std::clamp<long long>(value, 0, 65535));
}

// Moves the mouse to a screen point as a real device would, so that the window under it gets
// WM_MOUSEMOVE through the system's input queue; fails when the cursor did not get there.
Outcome MoveMouse(POINT to) {
    SetCursorPos(to.x, to.y);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
              Normalized(to.x, GetSystemMetrics(SM_CXSCREEN)),
              Normalized(to.y, GetSystemMetrics(SM_CYSCREEN)));
    auto deadline = Clock::now() + std::chrono::milliseconds(1000);
    for (POINT at{};; Sleep(5)) {
        GetCursorPos(&at);
        if (at.x == to.x && at.y == to.y) return Pass();
        if (Clock::now() >= deadline) {
            return Fail(L"the cursor went to " + PointText(at) + L" instead of " + PointText(to));
        }
    }
}

// A real left (or right) click at a screen point that must show `control` (or a window inside
// it, or the program's own tooltip, which lets clicks through): a click that another window would
// catch fails instead. The button is held holdMs.
Outcome ClickAt(const Session& s, HWND control, POINT point, DWORD holdMs = 50,
                bool right = false) {
    HWND hit = WindowFromPoint(point);
    DWORD owner = 0;
    if (hit != nullptr) GetWindowThreadProcessId(hit, &owner);
    bool onTarget = hit == control || (hit != nullptr && IsChild(control, hit)) ||
                    (owner == s.target.processId && ClassOf(hit) == TOOLTIPS_CLASSW);
    if (!onTarget) {
        return Fail(L"screen point " + PointText(point) + L" shows " + DescribeWindow(hit) +
                    L", not the control (is it disabled or covered?)");
    }
    if (Outcome o = MoveMouse(point); !o.ok) return o;
    SendMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    if (holdMs > 0) Sleep(holdMs);
    SendMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    return Pass();
}

// The virtual key of a key name of "press", or 0.
WORD VirtualKeyOf(std::wstring_view name) {
    if (name.size() == 1 && iswalnum(name[0])) return WORD(towupper(name[0]));
    if (name.size() >= 2 && name[0] == L'f' && iswdigit(name[1])) {
        int n = _wtoi(std::wstring(name.substr(1)).c_str());
        if (n >= 1 && n <= 12) return WORD(VK_F1 + n - 1);
    }
    static const std::pair<std::wstring_view, WORD> kNamed[] = {
        {L"down", VK_DOWN},   {L"up", VK_UP},     {L"return", VK_RETURN}, {L"escape", VK_ESCAPE},
        {L"tab", VK_TAB},     {L"apps", VK_APPS}, {L"space", VK_SPACE},   {L"ctrl", VK_CONTROL},
        {L"shift", VK_SHIFT}, {L"alt", VK_MENU},
    };
    for (const auto& [named, key] : kNamed) {
        if (name == named) return key;
    }
    return 0;
}

// Puts text on the clipboard as Unicode text (CF_UNICODETEXT).
Outcome PutOnClipboard(const std::wstring& text) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (memory == nullptr) return Fail(L"could not allocate the clipboard text");
    std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    if (!OpenClipboard(nullptr)) {
        GlobalFree(memory);
        return FailWithError(L"could not open the clipboard");
    }
    EmptyClipboard();
    Outcome placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr
                         ? Pass()
                         : FailWithError(L"could not put the text on the clipboard");
    CloseClipboard();
    if (!placed.ok) GlobalFree(memory);
    return placed;
}

Outcome SetText(Session&, const Command& c) {
    if (!Ask(c.ids[0].window, WM_SETTEXT, 0, LPARAM(c.text.c_str()), c.timeout)) {
        return Fail(L"the program did not take WM_SETTEXT within " + std::to_wstring(c.timeout) +
                    L" ms");
    }
    return Pass();
}

Outcome Paste(Session& s, const Command& c) {
    if (c.text.empty()) return Fail(L"paste needs a text to repeat");
    if (Outcome o = s.WaitUsable(c.ids[0], c.timeout); !o.ok) return o;
    std::wstring text(size_t(c.numbers[0]), L'\0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = c.text[i % c.text.size()];
    if (Outcome o = PutOnClipboard(text); !o.ok) return o;
    return Post(c.ids[0].window, WM_PASTE, 0, 0, L"WM_PASTE");
}

Outcome Type(Session& s, const Command& c) {
    if (Outcome o = s.WaitUsable(c.ids[0], c.timeout); !o.ok) return o;
    for (wchar_t unit : c.text) {
        if (Outcome o = Post(c.ids[0].window, WM_CHAR, WPARAM(unit), 1, L"WM_CHAR"); !o.ok)
            return o;
    }
    return Pass();
}

Outcome Click(Session& s, const Command& c) {
    if (Outcome o = s.WaitUsable(c.ids[0], c.timeout); !o.ok) return o;
    return Post(c.ids[0].window, BM_CLICK, 0, 0, L"BM_CLICK");
}

Outcome Enter(Session& s, const Command& c) {
    HWND control = c.ids[0].window;
    if (Outcome o = BringToFront(s.target.window); !o.ok) return o;
    // Repeat count 1 and the scan code of Enter; the key-up form also has the previous-state
    // and transition bits set, as the keyboard driver would send them.
    constexpr LPARAM kDown = 0x001C0001;
    constexpr LPARAM kUp = LPARAM(0xC01C0001);
    if (Outcome o = Post(control, WM_KEYDOWN, VK_RETURN, kDown, L"the Enter key"); !o.ok) return o;
    return Post(control, WM_KEYUP, VK_RETURN, kUp, L"the Enter key");
}

Outcome Foreground(Session& s, const Command&) {
    if (Outcome need = s.NeedTarget(); !need.ok) return need;
    return BringToFront(s.target.window);
}

Outcome Press(Session& s, const Command& c) {
    if (Outcome need = s.NeedTarget(); !need.ok) return need;
    for (const std::wstring& stroke : Words(c.rest)) {
        std::vector<WORD> keys;  // the modifiers, then the key
        for (size_t start = 0;;) {
            size_t plus = stroke.find(L'+', start);
            WORD key = VirtualKeyOf(std::wstring_view(stroke).substr(start, plus - start));
            if (key == 0) return Fail(L"unknown key in " + Quoted(stroke));
            keys.push_back(key);
            if (plus == std::wstring::npos) break;
            start = plus + 1;
        }
        std::vector<INPUT> inputs;
        for (size_t i = 0; i < 2 * keys.size(); ++i) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            bool up = i >= keys.size();
            input.ki.wVk = up ? keys[2 * keys.size() - 1 - i] : keys[i];
            input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(input);
        }
        if (SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size()) {
            return FailWithError(L"could not send " + Quoted(stroke));
        }
        Sleep(50);
    }
    return Pass();
}

Outcome MouseClick(Session& s, const Command& c) {
    RECT rect{};
    GetWindowRect(c.ids[0].window, &rect);
    return ClickAt(s, c.ids[0].window, Centre(rect));
}

Outcome MoveTo(Session&, const Command& c) {
    POINT point{LONG(c.numbers[0]), LONG(c.numbers[1])};
    ClientToScreen(c.ids[0].window, &point);
    return MoveMouse(point);
}

// The centre of the visible part of a list row, on the screen.
Outcome RowCentre(const Session& s, long long row, HWND& list, POINT& centre) {
    RECT rect{};
    if (Outcome o = VisibleRow(s, row, list, rect); !o.ok) return o;
    centre = Centre(rect);
    return Pass();
}

Outcome MoveToRow(Session& s, const Command& c) {
    HWND list = nullptr;
    POINT centre{};
    if (Outcome o = RowCentre(s, c.numbers[0], list, centre); !o.ok) return o;
    return MoveMouse(centre);
}

Outcome PostMouseMove(Session&, const Command& c) {
    const Control& control = c.ids[0];
    POINT cursor{};
    if (!GetCursorPos(&cursor)) return FailWithError(L"GetCursorPos failed");
    HWND under = WindowFromPoint(cursor);
    if (under != control.window) {
        return Fail(L"the cursor at " + PointText(cursor) + L" is over " + DescribeWindow(under) +
                    L", not over " + ControlName(control.id));
    }
    POINT client = cursor;
    ScreenToClient(control.window, &client);
    return Post(control.window, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y), L"WM_MOUSEMOVE");
}

Outcome ClickRow(Session& s, const Command& c) {
    auto words = Words(c.rest);
    const bool right = !words.empty() && words.back() == L"right";
    if (right) words.pop_back();
    if (words.size() > 1) return Fail(L"expected ROW [COL] [right]");
    HWND list = nullptr;
    POINT centre{};
    if (Outcome o = RowCentre(s, c.numbers[0], list, centre); !o.ok) return o;
    if (words.size() == 1) {
        long long column = 0;
        if (Outcome o = NumberArg(words[0], L"a column number", column); !o.ok) return o;
        HWND header = nullptr;
        RECT item{};
        if (Outcome o = VisibleHeaderItem(s, int(column), header, item); !o.ok) return o;
        centre.x = Centre(item).x;
    }
    return ClickAt(s, list, centre, 50, right);
}

Outcome ShowColumn(Session& s, const Command& c) {
    const int column = int(c.numbers[0]);
    HWND list = nullptr, header = nullptr;
    RECT item{};
    if (Outcome o = HeaderItem(s, column, list, header, item); !o.ok) return o;
    // The item's left edge, in the list's client coordinates, goes to x = 0.
    POINT left{item.left, 0};
    MapWindowPoints(header, list, &left, 1);
    if (left.x != 0 && !Ask(list, LVM_SCROLL, WPARAM(left.x), 0)) {
        return Fail(L"the list did not answer LVM_SCROLL");
    }
    return Pass();
}

Outcome ClickHeader(Session& s, const Command& c) {
    if (!c.rest.empty() && c.rest != L"nowait") return Fail(L"unknown option " + Quoted(c.rest));
    const bool wait = c.rest.empty();
    HWND header = nullptr;
    RECT visible{};
    if (Outcome o = VisibleHeaderItem(s, int(c.numbers[0]), header, visible); !o.ok) return o;
    // A timed click (nowait) is released at once: the 50 ms that other clicks hold the button
    // are no part of what a header click costs the program.
    if (Outcome o = ClickAt(s, header, Centre(visible), wait ? 50 : 0); !o.ok) return o;
    if (wait) Sleep(GetDoubleClickTime() + 100);
    return Pass();
}

}  // namespace

std::span<const CommandKind> InputCommands() {
    static const CommandKind kCommands[] = {
        {L"set-text", L"ID TEXT", SetText},
        {L"paste", L"ID COUNT TEXT", Paste},
        {L"type", L"ID TEXT", Type},
        {L"click", L"ID", Click},
        {L"check", L"ID", Click},
        {L"enter", L"ID", Enter},
        {L"foreground", L"", Foreground},
        {L"press", L"KEY...", Press},
        {L"mouse-click", L"ID", MouseClick},
        {L"move-to", L"ID X Y", MoveTo},
        {L"move-to-row", L"ROW", MoveToRow},
        {L"post-mousemove", L"ID", PostMouseMove},
        {L"click-row", L"ROW [COL] [right]", ClickRow},
        {L"show-column", L"COL", ShowColumn},
        {L"click-header", L"COL [nowait]", ClickHeader},
    };
    return kCommands;
}

}  // namespace e2e
