#include "app/main_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "app/controls_win.h"
#include "app/link_label_win.h"
#include "app/virtual_list_win.h"
#include "common/case_win.h"
#include "common/wide_win.h"

namespace {

constexpr wchar_t kClassName[] = L"ListSoftwareMainWindow";
constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kTextLimit = 1048576;

HFONT MessageFont() {
    NONCLIENTMETRICSW metrics = {sizeof metrics};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        if (HFONT font = CreateFontIndirectW(&metrics.lfMessageFont)) return font;
    }
    return HFONT(GetStockObject(DEFAULT_GUI_FONT));
}

struct KindStyle {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

KindStyle StyleOf(ControlKind kind) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    switch (kind) {
        case ControlKind::TextField:
            return {L"Edit", kChild | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::StaticText:
            return {L"Static", kChild | WS_GROUP | SS_NOPREFIX, 0};
        case ControlKind::PushButton:
            return {L"Button", kChild | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 0};
        case ControlKind::CheckBox:
            return {L"Button", kChild | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 0};
        case ControlKind::LinkLabel:
            return {L"STATIC", kChild | SS_NOPREFIX, 0};
        case ControlKind::ReportList:
            // Owner data: the list asks for the texts of the rows it paints, so filling,
            // filtering and sorting thousands of rows changes only the row count.
            return {WC_LISTVIEWW,
                    kChild | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                        LVS_SHAREIMAGELISTS | LVS_OWNERDATA,
                    WS_EX_CLIENTEDGE};
    }
    return {L"Static", kChild, 0};
}

// Screen position that centres a window of this size, never above or left of the origin.
POINT CentredOrigin(int width, int height) {
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    return {x < 0 ? 0 : x, y < 0 ? 0 : y};
}

}  // namespace

bool MainWindow::Create(HINSTANCE instance) {
    WNDCLASSEXW wc = {sizeof wc};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);

    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    POINT origin = CentredOrigin(width, height);
    window_ = CreateWindowExW(0, kClassName, kMainWindowTitle, kWindowStyle, origin.x, origin.y,
                              width, height, nullptr, nullptr, instance, this);
    if (window_ == nullptr) return false;
    font_ = MessageFont();
    CreateControls(instance);

    ACCEL enter = {FVIRTKEY, VK_RETURN, EnterShortcutItem};
    accelerators_ = CreateAcceleratorTableW(&enter, 1);
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    return true;
}

void MainWindow::CreateControls(HINSTANCE instance) {
    HWND tooltip = nullptr;
    for (const ControlSpec& def : kControls) {
        KindStyle kind = StyleOf(def.kind);
        HWND control = CreateWindowExW(kind.exStyle, kind.className, def.text, kind.style,
                                       def.x, def.y, def.width, def.height, window_,
                                       HMENU(INT_PTR(def.id)), instance, nullptr);
        SendMessageW(control, WM_SETFONT, WPARAM(font_), FALSE);
        switch (def.kind) {
            case ControlKind::TextField:
                SendMessageW(control, EM_LIMITTEXT, kTextLimit, 0);
                SendMessageW(control, EM_SETCUEBANNER, TRUE, LPARAM(def.hint));
                break;
            case ControlKind::LinkLabel: {
                MakeLinkLabel(control, kLinkHoverColour);
                tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                          WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                                          nullptr, instance, nullptr);
                TTTOOLINFOW tool = {sizeof tool};
                tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
                tool.hwnd = window_;
                tool.uId = UINT_PTR(control);
                tool.lpszText = const_cast<wchar_t*>(def.hint);
                SendMessageW(tooltip, TTM_ADDTOOLW, 0, LPARAM(&tool));
                break;
            }
            case ControlKind::ReportList: {
                list_ = control;
                ListView_SetExtendedListViewStyle(control,
                                                  LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
                InsertProgramColumns(control);
                break;
            }
            default:
                break;
        }
    }
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(self));
        self->window_ = window;
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}

void MainWindow::AnswerListRequestsFirst() {
    if (behindFront_ != nullptr) return;
    behindFront_ = WNDPROC(GetWindowLongPtrW(window_, GWLP_WNDPROC));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, LONG_PTR(FrontProc));
}

// A painted list asks its parent for every cell it draws and announces every row; under Wine a
// message passing through the common controls' subclass chain costs two server round trips,
// which made a repaint of a full list several times slower. These requests are answered here
// directly; nothing installed over the window has any use for them.
LRESULT CALLBACK MainWindow::FrontProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && message == WM_NOTIFY && lParam != 0) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == self->list_ &&
            (header->code == LVN_GETDISPINFOW || header->code == UINT(NM_CUSTOMDRAW))) {
            return self->HandleMessage(message, wParam, lParam);
        }
    }
    if (self == nullptr || self->behindFront_ == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return CallWindowProcW(self->behindFront_, window, message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (lParam != 0) {
                if (suppressEvents_ == 0) {
                    Push({EventKind::Control, LOWORD(wParam), HIWORD(wParam)});
                }
            } else if (HIWORD(wParam) == 1) {
                Push({EventKind::Shortcut, LOWORD(wParam), 0});
            }
            return 0;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            if (header->hwndFrom != list_) break;
            switch (header->code) {
                case NM_CUSTOMDRAW:
                    return OnListCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
                case LVN_GETDISPINFOW:
                    OnGetDisplayInfo(reinterpret_cast<NMLVDISPINFOW*>(lParam));
                    return 0;
                case LVN_ODFINDITEMW: {
                    // Only the rows the list already knows can be named.
                    size_t known = std::min(rows_.size(), size_t(RowCount()));
                    return AnswerFindItem(
                        *reinterpret_cast<const NMLVFINDITEMW*>(lParam), known,
                        [this](size_t row) { return ShownText(row, 0); }, LocaleLower);
                }
                case LVN_DELETEALLITEMS:
                    return TRUE;  // no notification per deleted row
            }
            break;
        }
        case WM_CLOSE:
            Push({EventKind::Close, 0, 0});
            return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::Push(WindowEvent event) {
    // An event identical to the last one still waiting is not queued twice.
    if (!pending_.empty() && pending_.back() == event) return;
    pending_.push_back(event);
}

LRESULT MainWindow::OnListCustomDraw(NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
        case CDDS_ITEMPREPAINT: {
            size_t row = draw->nmcd.dwItemSpec;
            if (row < rows_.size() && rows_[row].background != CLR_DEFAULT) {
                draw->clrTextBk = rows_[row].background;
            }
            return CDRF_DODEFAULT;
        }
        case CDDS_POSTPAINT:
            DrawGridLines(draw->nmcd.hdc);
            return CDRF_DODEFAULT;
    }
    return CDRF_DODEFAULT;
}

void MainWindow::DrawGridLines(HDC dc) {
    RECT client;
    GetClientRect(list_, &client);
    int top = 0;
    HWND header = ListView_GetHeader(list_);
    RECT headerRect;
    if (header != nullptr && IsWindowVisible(header) && GetWindowRect(header, &headerRect)) {
        MapWindowPoints(nullptr, list_, reinterpret_cast<POINT*>(&headerRect), 2);
        top = headerRect.bottom;
    }
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNFACE));
    HGDIOBJ oldPen = SelectObject(dc, pen);

    // Row boundaries continue the rows' rhythm down to the bottom of the client area.
    int count = RowCount();
    RECT item;
    int topIndex = ListView_GetTopIndex(list_);
    if (count > 0 && ListView_GetItemRect(list_, topIndex, &item, LVIR_BOUNDS)) {
        int height = item.bottom - item.top;
        if (height > 0) {
            int y = item.top - height * ((item.top - top) / height);
            for (; y <= client.bottom; y += height) {
                if (y < top) continue;
                MoveToEx(dc, client.left, y - 1, nullptr);
                LineTo(dc, client.right, y - 1);
            }
        }
    }
    // Column boundaries, following the header as it scrolls.
    if (header != nullptr) {
        int columns = Header_GetItemCount(header);
        for (int i = 0; i < columns; ++i) {
            RECT rect;
            if (!Header_GetItemRect(header, i, &rect)) continue;
            MapWindowPoints(header, list_, reinterpret_cast<POINT*>(&rect), 2);
            MoveToEx(dc, rect.right - 1, top, nullptr);
            LineTo(dc, rect.right - 1, client.bottom);
        }
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

Text MainWindow::GetText(int id) const {
    HWND control = Control(id);
    int length = GetWindowTextLengthW(control);
    std::wstring text(size_t(length) + 1, L'\0');
    int copied = GetWindowTextW(control, text.data(), length + 1);
    return FromWide(text.data(), size_t(copied > 0 ? copied : 0));
}

bool MainWindow::IsTextEmpty(int id) const { return GetWindowTextLengthW(Control(id)) == 0; }

void MainWindow::SetText(int id, TextView text) {
    ++suppressEvents_;
    SetWindowTextW(Control(id), ToWide(text).c_str());
    --suppressEvents_;
}

void MainWindow::Enable(int id, bool enabled) {
    HWND control = Control(id);
    if (bool(IsWindowEnabled(control)) != enabled) EnableWindow(control, enabled);
}

bool MainWindow::IsChecked(int id) const {
    return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::SetChecked(int id, bool checked) {
    ++suppressEvents_;
    SendMessageW(Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    --suppressEvents_;
}

void MainWindow::Focus(int id) { SetFocus(Control(id)); }

void MainWindow::ClearRows() {
    rows_.clear();
    SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
}

int MainWindow::RowCount() const { return int(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }

void MainWindow::AddRow(size_t entryIndex) { rows_.push_back({entryIndex, CLR_DEFAULT}); }

bool MainWindow::TellListOfAddedRows() {
    if (size_t(RowCount()) == rows_.size()) return false;
    // The rows already shown stay where they are; only the area of the new ones is repainted,
    // which is nothing once the list is full.
    SendMessageW(list_, LVM_SETITEMCOUNT, rows_.size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    return true;
}

void MainWindow::ShowAddedRows() {
    if (TellListOfAddedRows()) UpdateWindow(list_);
}

void MainWindow::ShowRows(const std::vector<size_t>& entryIndexes) {
    ClearRows();
    rows_.reserve(entryIndexes.size());
    for (size_t entry : entryIndexes) rows_.push_back({entry, CLR_DEFAULT});
    SendMessageW(list_, LVM_SETITEMCOUNT, rows_.size(), 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void MainWindow::ReorderRows(const std::vector<int>& order) {
    if (order.size() != rows_.size()) return;
    std::vector<ShownRow> reordered;
    reordered.reserve(rows_.size());
    for (int from : order) {
        if (from < 0 || size_t(from) >= rows_.size()) return;
        reordered.push_back(rows_[size_t(from)]);
    }
    rows_ = std::move(reordered);
    InvalidateRect(list_, nullptr, TRUE);
}

void MainWindow::OnGetDisplayInfo(NMLVDISPINFOW* info) const {
    LVITEMW& item = info->item;
    if (!(item.mask & LVIF_TEXT) || item.pszText == nullptr || item.cchTextMax <= 0) return;
    item.pszText[0] = L'\0';
    size_t row = size_t(item.iItem);
    const SoftwareList& entries = state_.SoftwareList;
    if (item.iItem < 0 || row >= rows_.size() || rows_[row].entry >= entries.size()) return;
    if (item.iSubItem < 0 || size_t(item.iSubItem) >= SoftwareEntry::kFieldCount) return;
    const Text& field = entries[rows_[row].entry].Field(size_t(item.iSubItem));
    // As much as fits, always terminated; the list shows a field up to its first NUL.
    size_t length = std::min(field.size(), size_t(item.cchTextMax) - 1);
    std::copy_n(field.data(), length, reinterpret_cast<char16_t*>(item.pszText));
    item.pszText[length] = L'\0';
}

TextView MainWindow::ShownText(size_t row, int column) const {
    const SoftwareList& entries = state_.SoftwareList;
    if (row >= rows_.size() || rows_[row].entry >= entries.size() || column < 0 ||
        size_t(column) >= SoftwareEntry::kFieldCount) {
        return TextView();
    }
    return ShownCellText(entries[rows_[row].entry].Field(size_t(column)));
}

void MainWindow::FitColumnsToRows() {
    FitColumnsToAllRows(list_, 1, int(kColumns.size()) - 1, rows_.size(),
                        [this](size_t row, int column) { return ShownText(row, column); });
}

void MainWindow::ShowAllRowsFitted() {
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    TellListOfAddedRows();
    FitColumnsToRows();
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    // As WM_SETREDRAW's documentation asks for a control with a border of its own
    // (WS_EX_CLIENTEDGE) and children (the header).
    RedrawWindow(list_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

Text MainWindow::CellText(int row, int column) const {
    // The list view copies at most the buffer's size; grow until the text fits.
    std::wstring buffer(256, L'\0');
    for (;;) {
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = int(buffer.size());
        int copied = int(SendMessageW(list_, LVM_GETITEMTEXTW, row, LPARAM(&item)));
        if (copied < int(buffer.size()) - 1 || buffer.size() >= (1u << 21)) {
            return FromWide(buffer.data(), size_t(copied > 0 ? copied : 0));
        }
        buffer.assign(buffer.size() * 4, L'\0');
    }
}

void MainWindow::SetRowBackground(int row, COLORREF colour) {
    if (row == -1) {
        for (ShownRow& shown : rows_) shown.background = colour;
    } else if (row >= 0 && size_t(row) < rows_.size()) {
        rows_[size_t(row)].background = colour;
    } else {
        return;
    }
    InvalidateRect(list_, nullptr, FALSE);
}

std::vector<int> MainWindow::RowsWithBackground(COLORREF colour) const {
    std::vector<int> found;
    for (size_t row = 0; row < rows_.size(); ++row) {
        if (rows_[row].background == colour) found.push_back(int(row));
    }
    return found;
}

WindowEvent MainWindow::WaitEvent(DWORD timeoutMs) {
    if (!pending_.empty()) {
        WindowEvent event = pending_.front();
        pending_.pop_front();
        return event;
    }
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (timeoutMs == 0) return {};
        MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return {};
    }
    WindowEvent event{EventKind::Other, 0, 0};
    if (msg.message == WM_MOUSEMOVE) {
        event = {EventKind::MouseMove, 0, 0};
    } else if (msg.message == WM_TIMER && msg.hwnd == window_) {
        event = {EventKind::Timer, int(msg.wParam), 0};
    }

    TranslateAndDispatch(msg);
    if (!pending_.empty()) {
        event = pending_.front();
        pending_.pop_front();
    }
    return event;
}

void MainWindow::TranslateAndDispatch(MSG& msg) {
    if (GetActiveWindow() == window_) {
        if (TranslateAcceleratorW(window_, accelerators_, &msg)) return;
        // Tab moves between the controls in creation order.
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) {
            bool back = GetKeyState(VK_SHIFT) < 0;
            if (HWND next = GetNextDlgTabItem(window_, GetFocus(), back)) SetFocus(next);
            return;
        }
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void MainWindow::DrainWindowEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) TranslateAndDispatch(msg);
    pending_.clear();
}
