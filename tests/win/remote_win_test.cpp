// Host resolution, the echo probe and the service state query against Wine's real sockets,
// ICMP and service manager. Only loopback is probed and only /etc/hosts answers lookups here;
// other machines are tried in the end-to-end scenarios inside private network namespaces.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "common/handles_win.h"
#include "common/wide_win.h"
#include "remote/host_probe_win.h"
#include "remote/remote_service_win.h"
#include "remote/remote_text.h"

namespace {

TEST(PingHostTest, LoopbackAnswers) {
    HANDLE icmp = OpenIcmpHandle();  // lives as long as the process, as in the program
    ASSERT_NE(icmp, nullptr);
    // Each text names a loopback address once parsed: 300 keeps its low 8 bits (44), a leading
    // blank is skipped.
    struct Case {
        const char16_t* address;
        const char* label;
    } cases[] = {
        {u"127.0.0.1", "127.0.0.1"},
        {u" 127.0.0.1", "blank first"},
        {u"127.0.0.300", "127.0.0.300"},
        {u"127.1.2.3", "127.1.2.3"},
    };
    for (const Case& c : cases) {
        const int64_t time = PingHost(icmp, ParseDottedAddress(c.address), 1000);
        EXPECT_GE(time, 0) << c.label;
        EXPECT_LT(time, 1000) << c.label;
    }
}

TEST(PingHostTest, WithoutHandleNothingIsSentAndZeroComes) {
    for (const char16_t* address : {u"127.0.0.1", u"", u"no address"}) {
        EXPECT_EQ(PingHost(nullptr, ParseDottedAddress(address), 1000), 0);
    }
}

TEST(ResolveHostAddressTest, NamesFromTheHostsFile) {
    struct Case {
        const char16_t* name;
        const char16_t* expected;
    } cases[] = {
        {u"localhost", u"127.0.0.1"},  // /etc/hosts: no name server is asked
        {u"", u""},                    // no sockets call at all
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResolveHostAddress(c.name), ParseDottedAddress(c.expected));
    }
}

// A service of the test's own: tests/e2e's fake_service, which reports running once started,
// or start pending for ever when started with the argument "pending".
class ServiceStateTest : public testing::Test {
  protected:
    // A name of each test's own: ctest runs the tests of this fixture side by side in one prefix.
    static std::wstring Name() {
        const char* test = testing::UnitTest::GetInstance()->current_test_info()->name();
        return L"ListSoftwareTest" + std::wstring(test, test + std::strlen(test));
    }

    static std::wstring ProgramPath() {
        wchar_t path[MAX_PATH];
        DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring self(path, length);
        // The build puts win_tests.exe into tests/win and fake_service.exe into tests/e2e.
        return self.substr(0, self.find_last_of(L'\\')) + L"\\..\\e2e\\fake_service.exe";
    }

    void SetUp() override {
        RemoveService();
        const std::wstring program = ProgramPath();
        ASSERT_NE(GetFileAttributesW(program.c_str()), INVALID_FILE_ATTRIBUTES)
            << "fake_service.exe is built beside the tests";
        UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        ASSERT_TRUE(manager);
        UniqueServiceHandle service(CreateServiceW(
            manager.get(), Name().c_str(), Name().c_str(), SERVICE_ALL_ACCESS,
            SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
            (L"\"" + program + L"\"").c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
        ASSERT_TRUE(service) << GetLastError();
    }
    void TearDown() override { RemoveService(); }

    // Ends the service's process whatever state it is in, then deletes the service.
    static void RemoveService() {
        UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        if (!manager) return;
        UniqueServiceHandle service(
            OpenServiceW(manager.get(), Name().c_str(), SERVICE_ALL_ACCESS));
        if (!service) return;
        SERVICE_STATUS_PROCESS status = {};
        DWORD needed = 0;
        if (QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, (BYTE*)&status,
                                 sizeof status, &needed) &&
            status.dwProcessId != 0) {
            UniqueKernelHandle process(
                OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, status.dwProcessId));
            if (process) {
                TerminateProcess(process.get(), 0);
                WaitForSingleObject(process.get(), 5000);
            }
        }
        DeleteService(service.get());
        // The manager forgets a deleted service only when its last handle is closed.
        service.reset();
        WaitForText(u"", 5000);
    }

    // The state as the program asks for it: through the manager of the machine named as typed.
    static Text State() {
        return Text(ServiceStateText(QueryServiceState(LocalName(), FromWide(Name())).state));
    }

    static Text LocalName() {
        wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
        DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
        return GetComputerNameW(name, &length) ? FromWide(name, length) : Text();
    }

    // Polls the state text until it is expected or timeoutMs passed; returns the last one.
    static Text WaitForText(TextView expected, DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        Text text = State();
        while (text != expected && GetTickCount() - start < timeoutMs) {
            Sleep(50);
            text = State();
        }
        return text;
    }

    static void Start(bool pending) {
        UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
        UniqueServiceHandle service(OpenServiceW(manager.get(), Name().c_str(), SERVICE_START));
        ASSERT_TRUE(service);
        const wchar_t* arguments[] = {L"pending"};
        ASSERT_TRUE(StartServiceW(service.get(), pending ? 1 : 0, pending ? arguments : nullptr))
            << GetLastError();
    }

    static void Stop() {
        UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
        UniqueServiceHandle service(OpenServiceW(manager.get(), Name().c_str(), SERVICE_STOP));
        ASSERT_TRUE(service);
        SERVICE_STATUS status = {};
        ASSERT_TRUE(ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) << GetLastError();
    }
};

TEST(QueryServiceStateTest, MissingServiceGivesEmptyTextAndItsError) {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    ASSERT_TRUE(GetComputerNameW(name, &length));
    for (TextView machine : {FromWide(name, length), Text()}) {
        const ServiceState state = QueryServiceState(machine, u"ListSoftwareNoSuchService");
        EXPECT_EQ(state.state, 0u);
        EXPECT_EQ(state.error, uint32_t(ERROR_SERVICE_DOES_NOT_EXIST));
    }
}

TEST_F(ServiceStateTest, FollowsTheServiceFromStoppedToRunningAndBack) {
    EXPECT_EQ(State(), u"The service is stopped.");
    Start(false);
    EXPECT_EQ(WaitForText(kServiceRunningText, 10000), kServiceRunningText);
    Stop();
    EXPECT_EQ(WaitForText(u"The service is stopped.", 10000), u"The service is stopped.");
}

TEST_F(ServiceStateTest, ServiceThatNeverComesUpIsStartPending) {
    EXPECT_EQ(State(), u"The service is stopped.");
    Start(true);
    // Give it the time a start takes; it must still not count as running.
    Sleep(1000);
    EXPECT_EQ(WaitForText(u"The service start is pending.", 10000),
              u"The service start is pending.");
    EXPECT_NE(State(), kServiceRunningText);
}

}  // namespace
