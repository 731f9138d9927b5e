// PING: one ICMP echo to a host named by a dotted address or a name.
#include "base/console_streams.h"
#include "engine/builtins/builtin_api.h"

#include <winsock2.h>
#include <iphlpapi.h>
#include <icmpapi.h>

#include <cstring>

namespace vexil {

namespace {

constexpr DWORD kDefaultTimeoutMs = 4000;

// PING's own @ERROR values.
enum PingError : int32_t { kPingTimedOut = 1, kPingUnreachable = 2, kPingBadDestination = 3, kPingOther = 4 };

int32_t pingErrorOf(DWORD status) {
    if (status == IP_REQ_TIMED_OUT) return kPingTimedOut;
    if (status >= IP_DEST_NET_UNREACHABLE && status <= IP_DEST_PORT_UNREACHABLE) return kPingUnreachable;
    if (status == IP_BAD_DESTINATION) return kPingBadDestination;
    return kPingOther;
}

// The host's IPv4 address in network order, or INADDR_NONE.
unsigned long resolveHost(const std::string& host) {
    const unsigned long dotted = inet_addr(host.c_str());
    if (dotted != INADDR_NONE || host == "255.255.255.255") return dotted;
    const hostent* entry = gethostbyname(host.c_str());
    if (!entry || !entry->h_addr_list || !entry->h_addr_list[0]) return INADDR_NONE;
    unsigned long first;
    memcpy(&first, entry->h_addr_list[0], sizeof(first));
    return first;
}

// The socket layer for the length of one call.
struct SocketLayer {
    bool started;
    SocketLayer() {
        WSADATA data;
        started = WSAStartup(MAKEWORD(1, 1), &data) == 0;
    }
    ~SocketLayer() {
        if (started) WSACleanup();
    }
};

} // namespace

int builtinPing(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = Variant::int32(0);
    int32_t timeout = optInt(args, 1, 0);
    if (timeout <= 0) timeout = kDefaultTimeoutMs;
    const std::string host = ansiBytes(textArg(args, 0).view());
    if (context.fenced() || host.find('\0') != std::string::npos) return context.fail(kPingOther);
    SocketLayer layer;
    if (!layer.started) return context.fail(kPingOther);
    const unsigned long address = resolveHost(host);
    if (address == INADDR_NONE && host != "255.255.255.255") return context.fail(kPingOther);
    HANDLE icmp = IcmpCreateFile();
    if (icmp == INVALID_HANDLE_VALUE) return context.fail(kPingOther);
    char payload[] = "Ping"; // with its terminating zero: five bytes
    // Room for the reply record, the echoed payload and an ICMP error's extra bytes.
    char reply[sizeof(ICMP_ECHO_REPLY) + sizeof(payload) + 8 + 16];
    const DWORD replies = IcmpSendEcho(icmp, address, payload, sizeof(payload), nullptr, reply, sizeof(reply),
                                       static_cast<DWORD>(timeout));
    const DWORD failure = replies == 0 ? GetLastError() : 0;
    IcmpCloseHandle(icmp);
    if (replies == 0) {
        // A failed send still tells why when the reason is one of the echo's own.
        const int32_t error = pingErrorOf(failure);
        return context.fail(error == kPingOther ? kPingUnreachable : error);
    }
    const auto* echo = reinterpret_cast<const ICMP_ECHO_REPLY*>(reply);
    if (echo->Status != IP_SUCCESS) return context.fail(pingErrorOf(echo->Status));
    result = Variant::int32(echo->RoundTripTime == 0 ? 1 : static_cast<int32_t>(echo->RoundTripTime));
    return 0;
}

} // namespace vexil
