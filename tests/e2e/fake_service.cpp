// A stand-in for a machine's remote registry service in the end-to-end tests: a Windows
// service that does nothing but report its state. Registered in the test prefix with
//   wine sc create remoteregistry binpath= C:\e2e\fake_service.exe start= demand
// it reports "running" as soon as it is started, and "stopped" when it is told to stop. While it
// runs it holds the event Global\ls-e2e-remoteregistry-serves, as Windows' service holds the
// registry's pipe: the tests' fault library answers registry connections only while it exists.
//
// To stay "start pending" for ever instead (a service that never comes up), give it the
// argument "pending" (in the binpath or in the start request) or put a file named
// fake_service.pending beside the program.
//
// Build (console program):
//   x86_64-w64-mingw32-g++-posix -std=c++20 -O1 -Wall -Wextra -municode -static
//     -DUNICODE -D_UNICODE -o fake_service.exe tests/e2e/fake_service.cpp -ladvapi32
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

constexpr wchar_t kServiceName[] = L"remoteregistry";

SERVICE_STATUS_HANDLE statusHandle = nullptr;
HANDLE stopEvent = nullptr;
HANDLE servesEvent = nullptr;
bool stayPending = false;

void Report(DWORD state) {
    SERVICE_STATUS status = {};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    status.dwWaitHint = state == SERVICE_START_PENDING ? 1000 : 0;
    SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI Control(DWORD control, DWORD, void*, void*) {
    if (control == SERVICE_CONTROL_STOP || control == SERVICE_CONTROL_SHUTDOWN) {
        if (servesEvent != nullptr) CloseHandle(servesEvent);
        servesEvent = nullptr;
        Report(SERVICE_STOP_PENDING);
        SetEvent(stopEvent);
        return NO_ERROR;
    }
    return control == SERVICE_CONTROL_INTERROGATE ? NO_ERROR : ERROR_CALL_NOT_IMPLEMENTED;
}

bool HasPendingArgument(DWORD count, wchar_t** arguments) {
    for (DWORD i = 1; i < count; ++i) {
        if (_wcsicmp(arguments[i], L"pending") == 0) return true;
    }
    return false;
}

bool HasPendingMarker() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    std::wstring marker(path, length);
    marker.replace(marker.size() - 4, 4, L".pending");  // fake_service.exe -> .pending
    return GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WINAPI ServiceMain(DWORD count, wchar_t** arguments) {
    statusHandle = RegisterServiceCtrlHandlerExW(kServiceName, Control, nullptr);
    if (statusHandle == nullptr) return;
    stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const bool pending = stayPending || HasPendingArgument(count, arguments) || HasPendingMarker();
    if (!pending)
        servesEvent = CreateEventW(nullptr, TRUE, TRUE, L"Global\\ls-e2e-remoteregistry-serves");
    Report(pending ? SERVICE_START_PENDING : SERVICE_RUNNING);
    WaitForSingleObject(stopEvent, INFINITE);
    Report(SERVICE_STOPPED);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i) {
        if (_wcsicmp(argv[i], L"pending") == 0) stayPending = true;
    }
    wchar_t name[] = L"remoteregistry";
    SERVICE_TABLE_ENTRYW table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherW(table) ? 0 : 1;
}
