#include "export/copy_win.h"

#include <cstring>

#include "common/handles_win.h"

namespace {

constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryMs = 10;

}  // namespace

bool CopyToClipboard(HWND owner, TextView text) {
    bool open = false;
    for (int attempt = 0; attempt < kOpenAttempts && !open; ++attempt) {
        if (attempt > 0) Sleep(kOpenRetryMs);
        open = OpenClipboard(owner);
    }
    if (!open) return false;
    bool copied = false;
    if (EmptyClipboard()) {
        UniqueGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t)));
        if (void* target = memory ? GlobalLock(memory.get()) : nullptr) {
            std::memcpy(target, text.data(), text.size() * sizeof(char16_t));
            static_cast<char16_t*>(target)[text.size()] = u'\0';
            GlobalUnlock(memory.get());
            // The clipboard owns the memory once it took it.
            copied = SetClipboardData(CF_UNICODETEXT, memory.get()) != nullptr;
            if (copied) memory.release();
        }
    }
    return CloseClipboard() && copied;
}
