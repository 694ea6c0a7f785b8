#include "remote/remote_service_win.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>  // needs windows.h first
// clang-format on

#include <string>

#include "app/controls_win.h"
#include "app/main_window_win.h"
#include "common/handles_win.h"
#include "common/system_library_win.h"
#include "common/wide_win.h"
#include "inventory/scan_win.h"
#include "remote/remote_text.h"

namespace {

constexpr DWORD kPauseAfterStartMs = 2000;

// Runs sc with the arguments in a hidden new console and waits, without time limit, until it
// has ended. Neither a failure to start it nor its outcome is reported: the next service check
// is the judge.
void RunServiceControl(TextView arguments) {
    // The system's sc by its full path: a program given by name alone is searched for in the
    // program's own folder and the current directory first, where anyone could have left an
    // sc.exe to run with the operator's rights. Without a system directory nothing runs.
    const std::wstring system = SystemDirectory();
    if (system.empty()) return;
    const std::wstring path = system + L"\\sc.exe";
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::wstring commandLine = ToWide(ScCommandLine(arguments));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                       nullptr, nullptr, &startup, &process)) {
        UniqueKernelHandle(process.hThread).reset();  // only the process is waited on
        UniqueKernelHandle started(process.hProcess);
        WaitForSingleObject(started.get(), INFINITE);
        return;
    }
    const std::wstring parameters = ToWide(arguments);
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    execute.lpFile = path.c_str();
    execute.lpParameters = parameters.c_str();
    execute.nShow = SW_HIDE;
    // The shell may succeed without a process handle (nothing new was started): nothing to wait on.
    if (!ShellExecuteExW(&execute)) return;
    UniqueKernelHandle started(execute.hProcess);
    if (started) WaitForSingleObject(started.get(), INFINITE);
}

int ErrorBox(MainWindow& window, TextView text, UINT style) {
    return MessageBoxW(window.Handle(), ToWide(text).c_str(), ToWide(kRemoteErrorTitle).c_str(),
                       style);
}

}  // namespace

Text QueryServiceStateText(TextView machineName, TextView serviceName) {
    UniqueServiceHandle manager(
        OpenSCManagerW(ToWide(machineName).c_str(), nullptr, SC_MANAGER_ENUMERATE_SERVICE));
    if (!manager) return Text();
    UniqueServiceHandle service(
        OpenServiceW(manager.get(), ToWide(serviceName).c_str(), SERVICE_QUERY_STATUS));
    if (!service) return Text();
    SERVICE_STATUS status = {};
    if (!QueryServiceStatus(service.get(), &status)) return Text();
    return Text(ServiceStateText(status.dwCurrentState));
}

void EnsureRemoteRegistry(MainWindow& window, TextView computerName) {
    for (;;) {
        window.DrainWindowEvents();
        window.SetText(StatusLine, kTryingToConnectText);
        if (QueryServiceStateText(computerName, kRemoteRegistryServiceName) ==
            kServiceRunningText) {
            window.DrainWindowEvents();
            window.SetText(StatusLine, kPleaseWaitText);
            InventoryScan(window);
            return;
        }
        // Only a Yes starts the service: a box that could not be shown counts as a No, so the
        // request ends instead of starting sc without the operator's consent.
        if (ErrorBox(window, RemoteRegistryQuestion(computerName), MB_YESNO | MB_ICONERROR) !=
            IDYES) {
            ErrorBox(window, kRegistryRequiredText, MB_OK | MB_ICONERROR);
            window.SetText(StatusLine, kErrorRetrievingText);
            return;
        }
        RunServiceControl(ScConfigArguments(computerName));
        RunServiceControl(ScStartArguments(computerName));
        window.SetText(StatusLine, AttemptingToStartText(computerName));
        Sleep(kPauseAfterStartMs);
    }
}
