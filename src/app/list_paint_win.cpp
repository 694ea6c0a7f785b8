#include "app/list_paint_win.h"

#include "common/handles_win.h"

namespace {

// 1-pixel lines at every row boundary from below the header to the bottom of the client area,
// and at every column boundary.
void DrawGridLines(HWND list, HDC dc, int top, COLORREF colour) {
    RECT client;
    GetClientRect(list, &client);
    HWND header = ListView_GetHeader(list);
    const UniqueGdiObject pen(CreatePen(PS_SOLID, 1, colour));
    const ScopedSelection selected(dc, pen.get());

    // Row boundaries continue the rows' rhythm down to the bottom of the client area.
    const int count = ListView_GetItemCount(list);
    RECT item;
    int topIndex = ListView_GetTopIndex(list);
    if (count > 0 && ListView_GetItemRect(list, topIndex, &item, LVIR_BOUNDS)) {
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
            MapWindowPoints(header, list, reinterpret_cast<POINT*>(&rect), 2);
            MoveToEx(dc, rect.right - 1, top, nullptr);
            LineTo(dc, rect.right - 1, client.bottom);
        }
    }
}

}  // namespace

LRESULT PaintSoftwareList(NMLVCUSTOMDRAW& draw, const ListColours& colours,
                          const std::function<int()>& headerBottom,
                          const std::function<COLORREF(size_t row)>& background) {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
        case CDDS_ITEMPREPAINT: {
            const COLORREF colour = background(draw.nmcd.dwItemSpec);
            if (colour == kHoverColour) {
                draw.clrTextBk = colours.hoverBackground;
                if (colours.hoverText) draw.clrText = *colours.hoverText;
            } else if (colour != CLR_DEFAULT) {
                draw.clrTextBk = colour;
            }
            return CDRF_DODEFAULT;
        }
        case CDDS_POSTPAINT:
            DrawGridLines(draw.nmcd.hdr.hwndFrom, draw.nmcd.hdc, headerBottom(), colours.gridLines);
            return CDRF_DODEFAULT;
    }
    return CDRF_DODEFAULT;
}
