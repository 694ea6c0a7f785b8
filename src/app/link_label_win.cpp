#include "app/link_label_win.h"

#include <commctrl.h>

#include <memory>
#include <string>

#include "common/handles_win.h"

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kHoverRetestMs = 30;
constexpr UINT kSetHoverColour = WM_APP + 1;  // wParam: the new hover colour

struct LinkState {
    COLORREF hoverColour;
    bool hover = false;
};

bool CursorInside(HWND label) {
    POINT cursor;
    RECT client;
    GetCursorPos(&cursor);
    ScreenToClient(label, &cursor);
    GetClientRect(label, &client);
    return PtInRect(&client, cursor);
}

void Paint(HWND label, const LinkState& state) {
    const ScopedPaint paint(label);
    HDC dc = paint.get();
    RECT client;
    GetClientRect(label, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    int length = GetWindowTextLengthW(label);
    std::wstring text(length + 1, L'\0');
    GetWindowTextW(label, text.data(), length + 1);
    text.resize(length);
    {
        const ScopedSelection font(
            dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
        SetBkMode(dc, TRANSPARENT);
        if (IsWindowEnabled(label)) {
            SetTextColor(dc, state.hover ? state.hoverColour : GetSysColor(COLOR_WINDOWTEXT));
            TextOutW(dc, 0, 0, text.c_str(), length);
        } else {
            DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(text.c_str()), WPARAM(length),
                       0, 0, 0, 0, DST_TEXT | DSS_DISABLED);
        }
    }
}

LRESULT CALLBACK LinkProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                          DWORD_PTR data) {
    auto* state = reinterpret_cast<LinkState*>(data);
    switch (message) {
        case WM_NCHITTEST:
            return HTCLIENT;  // a plain static lets the mouse fall through to its parent
        case WM_PAINT:
            Paint(label, *state);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETCURSOR: {
            HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
            SetCursor(hand ? hand : LoadCursorW(nullptr, IDC_ARROW));
            return TRUE;
        }
        case WM_MOUSEMOVE:
            if (!state->hover) {
                state->hover = true;
                InvalidateRect(label, nullptr, TRUE);
                SetTimer(label, kHoverTimer, kHoverRetestMs, nullptr);
            }
            return 0;
        case WM_TIMER:
            if (wParam == kHoverTimer) {
                if (!CursorInside(label)) {
                    state->hover = false;
                    KillTimer(label, kHoverTimer);
                    InvalidateRect(label, nullptr, TRUE);
                }
                return 0;
            }
            break;
        case WM_ENABLE:
        case WM_SETTEXT: {
            LRESULT result = DefSubclassProc(label, message, wParam, lParam);
            InvalidateRect(label, nullptr, TRUE);
            return result;
        }
        case kSetHoverColour:
            state->hoverColour = COLORREF(wParam);
            InvalidateRect(label, nullptr, TRUE);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            return 0;
        case WM_LBUTTONUP:
            if (CursorInside(label)) {
                SendMessageW(GetParent(label), WM_COMMAND,
                             MAKEWPARAM(GetDlgCtrlID(label), STN_CLICKED), LPARAM(label));
            }
            return 0;
        case WM_NCDESTROY: {
            RemoveWindowSubclass(label, LinkProc, kSubclassId);
            const std::unique_ptr<LinkState> owned(state);  // goes with the label
            break;
        }
    }
    return DefSubclassProc(label, message, wParam, lParam);
}

}  // namespace

void SetLinkHoverColour(HWND label, COLORREF hoverColour) {
    SendMessageW(label, kSetHoverColour, hoverColour, 0);
}

void MakeLinkLabel(HWND label, COLORREF hoverColour) {
    auto state = std::make_unique<LinkState>(LinkState{hoverColour});
    // The subclass owns the state from here until the label is destroyed (WM_NCDESTROY).
    if (SetWindowSubclass(label, LinkProc, kSubclassId, reinterpret_cast<DWORD_PTR>(state.get())))
        state.release();
}
