// The program's message boxes and dialogs: top-level "#32770" windows of its process, whose
// buttons are pressed by posting the WM_COMMAND that a click on the button sends.
#include "process.h"

namespace e2e {
namespace {

constexpr wchar_t kSaveDialogTitle[] = L"Save Application List";
constexpr wchar_t kBoxClass[] = L"#32770";
constexpr int kBoxTextId = 0xFFFF;  // the static that shows a message box's text

// The program's boxes and dialogs with their titles and texts, for failure messages.
std::wstring DescribeBoxes(const Session& s) {
    std::wstring text;
    for (HWND box : TopLevelWindows(s.target.processId, kBoxClass)) {
        text += (text.empty() ? L"" : L", ") + Quoted(TitleOf(box));
        if (HWND label = GetDlgItem(box, kBoxTextId)) {
            auto labelText = TextOf(label);
            text += L": " + (labelText ? Quoted(*labelText) : L"(no answer)");
        }
    }
    return text.empty() ? L"the program shows no box or dialog" : L"the program shows " + text;
}

// The box or dialog titled `title`.
Outcome FindBox(const Session& s, const std::wstring& title, HWND& box) {
    for (HWND candidate : TopLevelWindows(s.target.processId, kBoxClass)) {
        box = candidate;
        if (TitleOf(candidate) == title) return Pass();
    }
    return Fail(L"no box titled " + Quoted(title) + L"; " + DescribeBoxes(s));
}

Outcome WaitForBox(const Session& s, const std::wstring& title, DWORD timeout, HWND& box) {
    return Poll(timeout, [&] { return FindBox(s, title, box); });
}

// Presses a button of a box or dialog by posting the WM_COMMAND that the button sends when it
// is clicked, then waits until the box is gone.
Outcome PressDialogButton(const Session& s, HWND box, int buttonId, DWORD timeout) {
    HWND button = GetDlgItem(box, buttonId);
    const std::wstring title = TitleOf(box);
    if (button == nullptr || !IsWindowVisible(button)) {
        return Fail(L"the box " + Quoted(title) + L" has no button with id " +
                    std::to_wstring(buttonId));
    }
    if (!IsWindowEnabled(button)) {
        return Fail(L"button " + std::to_wstring(buttonId) + L" of the box is disabled");
    }
    const WPARAM command = MAKEWPARAM(buttonId, BN_CLICKED);
    if (Outcome o = Post(box, WM_COMMAND, command, LPARAM(button), L"the button's command");
        !o.ok) {
        return o;
    }
    return Poll(timeout, [&] {
        if (!IsWindow(box) || !IsWindowVisible(box)) return Pass();
        return Fail(L"the box " + Quoted(title) + L" is still open; " + DescribeBoxes(s));
    });
}

// Waits for the box titled `title` and presses button buttonId.
Outcome PressInBox(const Session& s, const std::wstring& title, int buttonId, DWORD timeout) {
    if (Outcome need = s.NeedTarget(); !need.ok) return need;
    HWND box = nullptr;
    if (Outcome o = WaitForBox(s, title, timeout, box); !o.ok) return o;
    return PressDialogButton(s, box, buttonId, timeout);
}

Outcome ExpectBox(Session& s, const Command& c) {
    if (Outcome need = s.NeedTarget(); !need.ok) return need;
    const size_t tab = c.text.find(L'\t');
    const std::wstring title = c.text.substr(0, tab);
    const std::wstring text = tab == std::wstring::npos ? L"" : c.text.substr(tab + 1);
    return Poll(c.timeout, [&] {
        HWND box = nullptr;
        if (Outcome o = FindBox(s, title, box); !o.ok) return o;
        // Keys pressed next go to the foreground window: without a text, wait for the box there.
        if (tab == std::wstring::npos) {
            if (GetForegroundWindow() == box) return Pass();
            return Fail(L"the box " + Quoted(title) + L" is not in the foreground");
        }
        HWND label = GetDlgItem(box, kBoxTextId);
        if (label == nullptr) return Fail(L"the box " + Quoted(title) + L" has no text");
        auto actual = TextOf(label);
        if (!actual) return Fail(L"the box did not answer WM_GETTEXT");
        if (*actual != text) {
            return Fail(L"box " + Quoted(title) + L": expected text " + Quoted(text) + L", found " +
                        Quoted(*actual));
        }
        return Pass();
    });
}

// Like every check, it waits for the program: a box closed by a key just pressed may take a
// moment to go.
Outcome ExpectNoBox(Session& s, const Command& c) {
    if (Outcome need = s.NeedTarget(); !need.ok) return need;
    return Poll(c.timeout, [&] {
        if (TopLevelWindows(s.target.processId, kBoxClass).empty()) return Pass();
        return Fail(DescribeBoxes(s));
    });
}

Outcome AnswerBox(Session& s, const Command& c) {
    size_t blank = c.rest.find_last_of(L" \t");
    if (blank == std::wstring::npos) return Fail(L"expected TITLE BUTTON");
    std::wstring buttonWord = c.rest.substr(blank + 1);
    static const std::pair<const wchar_t*, int> kButtons[] = {
        {L"yes", IDYES}, {L"no", IDNO}, {L"ok", IDOK}, {L"cancel", IDCANCEL}};
    for (const auto& [word, id] : kButtons) {
        if (buttonWord != word) continue;
        std::wstring why;
        auto title = Unescape(std::wstring_view(c.rest).substr(0, blank), why);
        if (!title) return Fail(why);
        return PressInBox(s, *title, id, c.timeout);
    }
    return Fail(L"expected the button yes|no|ok|cancel, found " + Quoted(buttonWord));
}

Outcome CancelDialog(Session& s, const Command& c) {
    return PressInBox(s, c.text, IDCANCEL, c.timeout);
}

// The first descendant of a window, depth first, with a control id (-1: any) and, when given, a
// class.
HWND FindDescendant(HWND parent, int id, const wchar_t* className = nullptr) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((id < 0 || GetDlgCtrlID(child) == id) &&
            (className == nullptr || ClassOf(child) == className)) {
            return child;
        }
        if (HWND found = FindDescendant(child, id, className)) return found;
    }
    return nullptr;
}

Outcome SaveDialog(Session& s, const Command& c) {
    if (Outcome need = s.NeedTarget(); !need.ok) return need;
    std::wstring path = FullPath(c.rest);
    HWND dialog = nullptr;
    if (Outcome o = WaitForBox(s, kSaveDialogTitle, c.timeout, dialog); !o.ok) return o;
    // The file name field: cmb13 (a combo box with an edit inside) in the Explorer-style
    // dialog, edt1 in the old style.
    HWND nameField = FindDescendant(dialog, 0x47C);
    if (nameField == nullptr) nameField = FindDescendant(dialog, 0x480);
    if (nameField == nullptr) return Fail(L"the save dialog has no file name field (0x47C, 0x480)");
    if (ClassOf(nameField) != L"Edit") {
        if (HWND edit = FindDescendant(nameField, -1, L"Edit")) nameField = edit;
    }
    if (!Ask(nameField, WM_SETTEXT, 0, LPARAM(path.c_str()), c.timeout)) {
        return Fail(L"the save dialog did not take the file name");
    }
    auto shown = TextOf(nameField, c.timeout);
    if (!shown || *shown != path) {
        return Fail(L"the file name field shows " + (shown ? Quoted(*shown) : L"nothing") +
                    L" instead of " + Quoted(path));
    }
    return PressDialogButton(s, dialog, IDOK, c.timeout);
}

}  // namespace

std::span<const CommandKind> BoxCommands() {
    static const CommandKind kCommands[] = {
        {L"expect-box", L"TEXT [t]", ExpectBox},         {L"expect-no-box", L"[t]", ExpectNoBox},
        {L"answer-box", L"TITLE BUTTON [t]", AnswerBox}, {L"save-dialog", L"PATH [t]", SaveDialog},
        {L"cancel-dialog", L"TEXT [t]", CancelDialog},
    };
    return kCommands;
}

}  // namespace e2e
