#include "app/accessibility_win.h"

#include <oleacc.h>

namespace {

// The identifiers come from mingw's static uuid library, so the program imports nothing from the
// accessibility library: COM loads it from where it is registered. The property's is the SDK's.
constexpr GUID kLiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kLiveSettingPolite = 1;
constexpr DWORD kEventLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED (Windows 8)

}  // namespace

void MarkPoliteLiveRegion(HWND window) {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&services)))) {
        return;
    }
    VARIANT polite = {};
    polite.vt = VT_I4;
    polite.lVal = kLiveSettingPolite;
    // Best effort: without the annotation the events still reach the readers that listen.
    static_cast<void>(services->SetHwndProp(window, DWORD(OBJID_CLIENT), CHILDID_SELF,
                                            kLiveSettingProperty, polite));
    services->Release();
}

void AnnounceLiveRegion(HWND window) {
    NotifyWinEvent(kEventLiveRegionChanged, window, OBJID_CLIENT, CHILDID_SELF);
}
