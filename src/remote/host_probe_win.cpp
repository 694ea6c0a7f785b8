#include "remote/host_probe_win.h"

// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>
// clang-format on

#include <array>
#include <cstring>
#include <string>

#include "common/wide_win.h"
#include "remote/echo_reply.h"
#include "remote/remote_text.h"

namespace {

// One reply record and nothing else: the echo carries no data.
constexpr size_t kReplyBufferSize = 40;
static_assert(sizeof(ICMP_ECHO_REPLY) <= kReplyBufferSize, "a reply record fits the buffer");

// The whole name in the ANSI code page, so that the lookup asks for exactly the typed name; the
// empty string when it cannot be converted.
std::string AnsiName(TextView name) {
    const std::wstring wide = ToWide(name);
    const int size =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string ansi(size_t(size), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), ansi.data(), size, nullptr,
                            nullptr) != size) {
        return std::string();
    }
    return ansi;
}

// The dotted text of the entry's first address, read while the sockets library still owns it.
Text FirstAddressText(const hostent* host) {
    if (host == nullptr || host->h_addr_list == nullptr || host->h_addr_list[0] == nullptr) {
        return Text();
    }
    in_addr address;
    std::memcpy(&address, host->h_addr_list[0], sizeof address);
    const char* dotted = inet_ntoa(address);
    return dotted == nullptr ? Text() : AsciiToText(dotted);
}

}  // namespace

Text ResolveHostAddress(TextView computerName) {
    if (computerName.empty()) return Text();
    WSADATA sockets;
    if (WSAStartup(MAKEWORD(1, 1), &sockets) != 0) return Text();
    const std::string ansi = AnsiName(computerName);
    Text result = ansi.empty() ? Text() : FirstAddressText(gethostbyname(ansi.c_str()));
    WSACleanup();
    return result;
}

int64_t PingHost(HANDLE icmpHandle, TextView addressText, DWORD timeoutMs) {
    if (icmpHandle == nullptr) return 0;
    const IPAddr address = ParseDottedAddress(addressText);
    alignas(ICMP_ECHO_REPLY) std::array<unsigned char, kReplyBufferSize> reply{};
    const DWORD replies = IcmpSendEcho(icmpHandle, address, nullptr, 0, nullptr, reply.data(),
                                       DWORD(reply.size()), timeoutMs);
    ICMP_ECHO_REPLY first = {};
    if (replies != 0) std::memcpy(&first, reply.data(), sizeof first);
    return EchoReplyTime(replies, first.Status, first.RoundTripTime);
}
