#include "export/copy_win.h"

#include <cstring>

#include "common/handles_win.h"

namespace {

constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryMs = 10;

}  // namespace

bool CopyToClipboard(HWND owner, TextView text) {
    ScopedClipboard clipboard;
    bool open = false;
    for (int attempt = 0; attempt < kOpenAttempts && !open; ++attempt) {
        if (attempt > 0) Sleep(kOpenRetryMs);
        open = clipboard.Open(owner);
    }
    if (!open) return false;
    bool copied = false;
    if (EmptyClipboard()) {
        UniqueGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t)));
        ScopedGlobalLock lock(memory.get());
        if (void* target = lock.get()) {
            std::memcpy(target, text.data(), text.size() * sizeof(char16_t));
            static_cast<char16_t*>(target)[text.size()] = u'\0';
            // The block is handed over unlocked; the clipboard owns it once it took it.
            lock.Unlock();
            copied = SetClipboardData(CF_UNICODETEXT, memory.get()) != nullptr;
            if (copied) memory.release();
        }
    }
    return clipboard.Close() && copied;
}
