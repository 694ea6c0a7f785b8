// What a screen reader needs beyond what the controls give by themselves: the status line as a
// polite live region, whose changes are announced.
#pragma once

#include <windows.h>

// Marks window as a polite live region: a screen reader announces its new text when it is told
// (AnnounceLiveRegion), without moving the focus. Through the accessibility annotation service
// (IAccPropServices::SetHwndProp, LiveSetting Polite), which Windows' UI Automation reads; where
// there is none, or it answers E_NOTIMPL as Wine's does, nothing is marked. Needs COM.
void MarkPoliteLiveRegion(HWND window);

// Tells screen readers that the live region's text changed (EVENT_OBJECT_LIVEREGIONCHANGED).
void AnnounceLiveRegion(HWND window);
