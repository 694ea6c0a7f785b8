#include "remote/remote_service_win.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>  // needs windows.h first
// clang-format on

#include <string>

#include "common/system_library_win.h"
#include "common/wide_win.h"
#include "remote/remote_text.h"

static_assert(kServiceRunning == SERVICE_RUNNING && kServiceStartPending == SERVICE_START_PENDING);

ServiceControlRun RunServiceControl(TextView arguments) {
    // The system's sc by its full path: a program given by name alone is searched for in the
    // program's own folder and the current directory first, where anyone could have left an
    // sc.exe to run with the operator's rights. Without a system directory nothing runs.
    const std::wstring system = SystemDirectory();
    if (system.empty()) return {UniqueKernelHandle(), ERROR_PATH_NOT_FOUND};
    const std::wstring path = system + L"\\sc.exe";
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::wstring commandLine = ToWide(ScCommandLine(arguments));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    // A console program with no console at all: a hidden new console is shown anyway where
    // Windows Terminal hosts consoles.
    if (CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                       nullptr, nullptr, &startup, &process)) {
        UniqueKernelHandle(process.hThread).reset();  // only the process is waited on
        return {UniqueKernelHandle(process.hProcess)};
    }
    const std::wstring parameters = ToWide(arguments);
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    execute.lpFile = path.c_str();
    execute.lpParameters = parameters.c_str();
    execute.nShow = SW_HIDE;
    if (!ShellExecuteExW(&execute)) return {UniqueKernelHandle(), GetLastError()};
    return {UniqueKernelHandle(execute.hProcess)};
}

ServiceState QueryServiceState(TextView machineName, TextView serviceName) {
    UniqueServiceHandle manager(
        OpenSCManagerW(ToWide(machineName).c_str(), nullptr, SC_MANAGER_ENUMERATE_SERVICE));
    if (!manager) return {0, GetLastError()};
    UniqueServiceHandle service(
        OpenServiceW(manager.get(), ToWide(serviceName).c_str(), SERVICE_QUERY_STATUS));
    if (!service) return {0, GetLastError()};
    SERVICE_STATUS status = {};
    if (!QueryServiceStatus(service.get(), &status)) return {0, GetLastError()};
    return {status.dwCurrentState, 0};
}
