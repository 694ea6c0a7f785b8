// The cost of fitting the list's columns 1 to 5 after a scan, on the entries of the local
// registry (read as the scan reads them), in a shown owner-data list of the program's kind:
//   column_fit REPS
// For each repetition prints "fit-autosize <ms>" (the list's own LVSCW_AUTOSIZE, which under
// Wine measures every row but on Windows only the rows in view) and "fit <ms>" (the program's
// fit over every row, with redrawing held as the program holds it; the repaint that follows is
// in neither figure), then "fit-same-widths 1" when both gave the same widths (0 otherwise).
// clang-format off
#include <windows.h>
#include <commctrl.h>  // needs windows.h first
// clang-format on

#include <array>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <vector>

#include "app/controls_win.h"
#include "app/software_list_view_win.h"
#include "inventory/registry_win.h"
#include "inventory/software.h"

namespace {

SoftwareListOwner gOwner;

void ReadEntries() {
    const Text machine[] = {
        u"HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
        u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    };
    auto source = [](const Text& key, const Text& prefix, TextView type) {
        for (uint32_t i = 0;; ++i) {
            Text name = EnumRegistrySubkey(key, i, u".");
            if (name.empty()) break;
            std::array<Text, 5> v;
            for (size_t k = 0; k < v.size(); ++k) {
                v[k] = ReadRegistryValue(prefix + name, kProgramValueNames[k], u".");
            }
            if (!IsKeptDisplayName(v[0])) continue;
            gOwner.Append({Text(type), v[0], v[1], v[2], v[3], v[4]});
        }
    };
    for (const Text& key : machine) source(key, key + u"\\", u"Machine");
    for (uint32_t i = 0;; ++i) {
        Text hive = EnumRegistrySubkey(u"HKEY_USERS\\", i, u".");
        if (hive.empty()) break;
        Text key =
            u"HKEY_USERS\\" + hive + u"\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
        source(key, key, u"User");
    }
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        if (auto answer = gOwner.OnNotify(*reinterpret_cast<const NMHDR*>(lParam))) return *answer;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

double Milliseconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
        .count();
}

std::vector<int> Widths(HWND list) {
    std::vector<int> widths;
    for (int c = 1; c <= 5; ++c)
        widths.push_back(int(SendMessageW(list, LVM_GETCOLUMNWIDTH, c, 0)));
    return widths;
}

void ResetWidths(HWND list) {
    for (int c = 1; c <= 5; ++c)
        SendMessageW(list, LVM_SETCOLUMNWIDTH, c, kListColumns[size_t(c)].width);
    UpdateWindow(list);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int reps = argc > 1 ? _wtoi(argv[1]) : 5;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    ReadEntries();

    WNDCLASSW wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FitBench";
    RegisterClassW(&wc);
    HWND parent = CreateWindowExW(0, L"FitBench", L"fit", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  1040, 680, nullptr, nullptr, wc.hInstance, nullptr);
    HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                    LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_OWNERDATA,
                                10, 50, 1004, 540, parent, nullptr, wc.hInstance, nullptr);
    NONCLIENTMETRICSW metrics = {sizeof metrics};
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    SendMessageW(list, WM_SETFONT, WPARAM(CreateFontIndirectW(&metrics.lfMessageFont)), FALSE);
    InsertProgramColumns(list);
    gOwner.Attach(list);
    gOwner.ShowAppended();
    UpdateWindow(parent);

    bool same = true;
    for (int r = 0; r < reps; ++r) {
        ResetWidths(list);
        auto start = std::chrono::steady_clock::now();
        for (int c = 1; c <= 5; ++c) SendMessageW(list, LVM_SETCOLUMNWIDTH, c, LVSCW_AUTOSIZE);
        std::printf("fit-autosize %.1f\n", Milliseconds(start));
        std::vector<int> autosized = Widths(list);

        ResetWidths(list);
        start = std::chrono::steady_clock::now();
        // As the program does at the end of a scan: one repaint for the five widths.
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        gOwner.FitColumns();
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(list, nullptr, nullptr,
                     RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
        std::printf("fit %.1f\n", Milliseconds(start));
        same = same && Widths(list) == autosized;
    }
    std::printf("fit-same-widths %d\n", same ? 1 : 0);
    DestroyWindow(parent);
    return 0;
}
