// The handle kinds the program owns, one UniqueHandle each, and scoped owners of the paired
// calls that are no handle of their own: each undoes its call when it goes out of scope.
#pragma once

#include <ole2.h>
#include <windows.h>

#include <utility>

#include "common/unique_handle.h"

using UniqueRegKey = UniqueHandle<HKEY, RegCloseKey>;
using UniqueServiceHandle = UniqueHandle<SC_HANDLE, CloseServiceHandle>;
// Process, thread and event handles: null when absent.
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseHandle>;
// CreateFileW reports failure with INVALID_HANDLE_VALUE, not null.
using UniqueFileHandle = UniqueHandle<HANDLE, CloseHandle, -1>;
using UniqueFindHandle = UniqueHandle<HANDLE, FindClose, -1>;
using UniqueGdiObject = UniqueHandle<HGDIOBJ, DeleteObject>;
using UniqueMenu = UniqueHandle<HMENU, DestroyMenu>;
using UniqueAccelerators = UniqueHandle<HACCEL, DestroyAcceleratorTable>;
// Memory that is freed unless the clipboard took it (release).
using UniqueGlobalMemory = UniqueHandle<HGLOBAL, GlobalFree>;
// Memory that a call allocated for the program (FormatMessageW's text).
using UniqueLocalMemory = UniqueHandle<HLOCAL, LocalFree>;
// Windows the program creates for a moment of its own (a hidden helper control).
using UniqueWindow = UniqueHandle<HWND, DestroyWindow>;

// The scoped owners below are neither copied nor moved: each undoes its call once.
class NoCopy {
  protected:
    NoCopy() = default;
    ~NoCopy() = default;
    NoCopy(const NoCopy&) = delete;
    NoCopy& operator=(const NoCopy&) = delete;
};

// Selects object into dc for the guard's lifetime, then puts back what it replaced.
class ScopedSelection : NoCopy {
  public:
    ScopedSelection(HDC dc, HGDIOBJ object)
        : dc_(dc),
          previous_(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelection() {
        if (previous_ != nullptr) SelectObject(dc_, previous_);
    }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// One WM_PAINT's BeginPaint, ended with EndPaint.
class ScopedPaint : NoCopy {
  public:
    explicit ScopedPaint(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~ScopedPaint() { EndPaint(window_, &paint_); }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_ = {};
    HDC dc_;
};

// A window's device context (GetDC), released with ReleaseDC; null when there is none.
class ScopedWindowDc : NoCopy {
  public:
    explicit ScopedWindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ScopedWindowDc() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// The clipboard while it is open: Open opens it for owner; Close, or the end of the scope,
// closes it again and says whether CloseClipboard succeeded.
class ScopedClipboard : NoCopy {
  public:
    ~ScopedClipboard() { Close(); }
    bool Open(HWND owner) { return open_ = open_ || OpenClipboard(owner); }
    bool Close() { return std::exchange(open_, false) && CloseClipboard(); }

  private:
    bool open_ = false;
};

// The data of a movable block (GlobalLock) until Unlock or the end of the scope; null when it
// could not be locked.
class ScopedGlobalLock : NoCopy {
  public:
    explicit ScopedGlobalLock(HGLOBAL memory)
        : memory_(memory), data_(memory != nullptr ? GlobalLock(memory) : nullptr) {}
    ~ScopedGlobalLock() { Unlock(); }
    void* get() const { return data_; }
    void Unlock() {
        if (std::exchange(data_, nullptr) != nullptr) GlobalUnlock(memory_);
    }

  private:
    HGLOBAL memory_;
    void* data_;
};

// Windows Sockets from a WSAStartup that succeeded (started) to its WSACleanup, handed in: the
// program loads the sockets library itself.
class ScopedSocketsStart : NoCopy {
  public:
    ScopedSocketsStart(bool started, int(WINAPI* cleanup)())
        : cleanup_(started ? cleanup : nullptr) {}
    ~ScopedSocketsStart() {
        if (cleanup_ != nullptr) cleanup_();
    }
    explicit operator bool() const { return cleanup_ != nullptr; }

  private:
    int(WINAPI* cleanup_)();
};

// OLE for the thread (OleInitialize) while the owner lives, when it could be initialised.
class ScopedOle : NoCopy {
  public:
    ScopedOle() : initialised_(SUCCEEDED(OleInitialize(nullptr))) {}
    ~ScopedOle() {
        if (initialised_) OleUninitialize();
    }

  private:
    bool initialised_;
};
