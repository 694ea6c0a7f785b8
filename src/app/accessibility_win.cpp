#include "app/accessibility_win.h"

#include <oleacc.h>

namespace {

// By value: the program imports nothing from the accessibility library, which COM loads from
// where it is registered when the service is asked for.
constexpr CLSID kAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kLiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kLiveSettingPolite = 1;
constexpr DWORD kEventLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED (Windows 8)

}  // namespace

void MarkPoliteLiveRegion(HWND window) {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                                reinterpret_cast<void**>(&services)))) {
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
