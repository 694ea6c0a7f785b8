#include "remote/host_probe_win.h"

// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>
// clang-format on

#include <array>
#include <cstring>
#include <optional>
#include <string>

#include "common/handles_win.h"
#include "common/system_library_win.h"
#include "common/wide_win.h"
#include "remote/echo_reply.h"
#include "remote/remote_text.h"

namespace {

// The calls of the ICMP and Windows Sockets libraries, found once in the copies of the system
// directory, of the types their headers declare; each is null when its library or the function
// is missing.
struct IcmpCalls {
    decltype(&::IcmpCreateFile) create;
    decltype(&::IcmpSendEcho) sendEcho;
};

const IcmpCalls& Icmp() {
    static const IcmpCalls calls = [] {
        HMODULE library = SystemLibrary(L"iphlpapi.dll");
        return IcmpCalls{LibraryFunction<decltype(&::IcmpCreateFile)>(library, "IcmpCreateFile"),
                         LibraryFunction<decltype(&::IcmpSendEcho)>(library, "IcmpSendEcho")};
    }();
    return calls;
}

struct SocketCalls {
    decltype(&::WSAStartup) startup;
    decltype(&::WSACleanup) cleanup;
    decltype(&::gethostbyname) hostByName;
    bool Complete() const { return startup && cleanup && hostByName; }
};

// ws2_32 is a known DLL, but it is loaded here rather than imported all the same: Wine's own
// copy imports iphlpapi, and a library loaded before start-up restricts the search would bring
// in whatever iphlpapi.dll lies beside the program.
const SocketCalls& Sockets() {
    static const SocketCalls calls = [] {
        HMODULE library = SystemLibrary(L"ws2_32.dll");
        return SocketCalls{LibraryFunction<decltype(&::WSAStartup)>(library, "WSAStartup"),
                           LibraryFunction<decltype(&::WSACleanup)>(library, "WSACleanup"),
                           LibraryFunction<decltype(&::gethostbyname)>(library, "gethostbyname")};
    }();
    return calls;
}

// One reply record and nothing else: the echo carries no data.
constexpr size_t kReplyBufferSize = 40;
static_assert(sizeof(ICMP_ECHO_REPLY) <= kReplyBufferSize, "a reply record fits the buffer");

// The entry's first address, read while the sockets library still owns it; 0 without one.
uint32_t FirstAddress(const hostent* host) {
    if (host == nullptr || host->h_addr_list == nullptr || host->h_addr_list[0] == nullptr)
        return 0;
    in_addr address;
    std::memcpy(&address, host->h_addr_list[0], sizeof address);
    return address.s_addr;
}

}  // namespace

uint32_t ResolveHostAddress(TextView computerName) {
    if (computerName.empty()) return 0;
    const SocketCalls& sockets = Sockets();
    if (!sockets.Complete()) return 0;
    WSADATA data;
    const ScopedSocketsStart started(sockets.startup(MAKEWORD(1, 1), &data) == 0, sockets.cleanup);
    if (!started) return 0;
    // The whole name in the ANSI code page, so that the lookup asks for exactly the typed name.
    // The entry belongs to the sockets library: it is read before they are cleaned up.
    const std::optional<std::string> ansi = ToAnsiCodePage(computerName);
    return !ansi || ansi->empty() ? 0 : FirstAddress(sockets.hostByName(ansi->c_str()));
}

HANDLE OpenIcmpHandle() {
    if (Icmp().create == nullptr || Icmp().sendEcho == nullptr) return nullptr;
    HANDLE handle = Icmp().create();
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

int64_t PingHost(HANDLE icmpHandle, uint32_t address, DWORD timeoutMs) {
    if (icmpHandle == nullptr || Icmp().sendEcho == nullptr) return 0;
    alignas(ICMP_ECHO_REPLY) std::array<unsigned char, kReplyBufferSize> reply{};
    const DWORD replies = Icmp().sendEcho(icmpHandle, address, nullptr, 0, nullptr, reply.data(),
                                          DWORD(reply.size()), timeoutMs);
    ICMP_ECHO_REPLY first = {};
    if (replies != 0) std::memcpy(&first, reply.data(), sizeof first);
    return EchoReplyTime(replies, first.Status, first.RoundTripTime);
}
