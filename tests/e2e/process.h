// The program's process seen from the driver: messages to its windows, memory inside it for the
// control messages whose arguments are pointers, and its top-level windows.
#pragma once

#include "session.h"

namespace e2e {

constexpr wchar_t kMainTitle[] = L"List Software on a Remote PC ('.' For local machine)";
// Upper bound for one cross-process request while polling: a busy program (a probe, a service
// check) is asked again on the next poll instead of blocking the driver for the whole wait.
constexpr DWORD kAskMs = 1000;

// Sends a message to a window of the program and waits at most timeoutMs for its answer;
// nullopt when the program did not answer in time (it is busy in a long step) or the window is
// gone.
std::optional<LRESULT> Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                           DWORD timeoutMs = kAskMs);
// Posts a message; the failure names it (`what`) with Windows' error.
Outcome Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam, std::wstring_view what);
// The current text of a window of the program through WM_GETTEXT (GetWindowText would give
// an edit's creation text, not what was typed since); nullopt when the program did not answer.
std::optional<std::wstring> TextOf(HWND window, DWORD timeoutMs = kAskMs);

std::wstring ClassOf(HWND window);
std::wstring TitleOf(HWND window);
// For messages: "a window of class "C" with id N titled "T"" or "no window", "x,y",
// "(left,top)-(right,bottom)".
std::wstring DescribeWindow(HWND window);
std::wstring PointText(POINT p);
std::wstring RectText(const RECT& r);
// The visible top-level windows of a process (0: of any) that have a class (nullptr: any).
std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className);

// A block of memory inside the program's process, for the control messages whose arguments
// are pointers that the control dereferences in its own process. Freed on destruction.
class RemoteMemory {
  public:
    RemoteMemory(HANDLE process, size_t size)
        : process_(process),
          size_(size),
          base_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~RemoteMemory() {
        if (base_ != nullptr) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    bool Valid() const { return base_ != nullptr; }
    // Leaves the block to the program: it is not freed on destruction.
    void Keep() { base_ = nullptr; }
    size_t Size() const { return size_; }
    // The address of an offset inside the block, as the program sees it.
    LPARAM At(size_t offset) const { return LPARAM(static_cast<char*>(base_) + offset); }
    bool Write(size_t offset, const void* data, size_t size) const {
        SIZE_T done = 0;
        return WriteProcessMemory(process_, static_cast<char*>(base_) + offset, data, size,
                                  &done) &&
               done == size;
    }
    bool Read(size_t offset, void* data, size_t size) const {
        SIZE_T done = 0;
        return ReadProcessMemory(process_, static_cast<char*>(base_) + offset, data, size, &done) &&
               done == size;
    }

  private:
    HANDLE process_;
    size_t size_;
    void* base_;
};

// A control message whose lParam points to a T (a RECT, an HDITEMW) in the program's process:
// `in` is what the control finds there, the result what it left there; nullopt when the control
// refused (answered 0) or did not answer.
template <typename T>
std::optional<T> AskRemote(HANDLE process, HWND control, UINT message, WPARAM wParam, T in) {
    RemoteMemory memory(process, sizeof(T));
    if (!memory.Valid() || !memory.Write(0, &in, sizeof in)) return std::nullopt;
    auto answer = Ask(control, message, wParam, memory.At(0));
    if (!answer || *answer == 0 || !memory.Read(0, &in, sizeof in)) return std::nullopt;
    return in;
}

// The exit code of a process that has ended or ends within waitMs; nullopt while it runs.
std::optional<DWORD> ExitCode(HANDLE process, DWORD waitMs = 0);
// Ends a process that still runs and waits up to 5 s for it; false when it did not end.
bool EndProcess(HANDLE process);

}  // namespace e2e
