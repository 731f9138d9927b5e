// TCPSTARTUP, TCPSHUTDOWN, TCPCONNECT, TCPLISTEN, TCPACCEPT, TCPSEND, TCPRECV, TCPCLOSESOCKET and
// TCPNAMETOIP (UDPSTARTUP and UDPSHUTDOWN share the first two).
#include "base/console_streams.h"
#include "engine/builtins/builtin_api.h"
#include "engine/options.h"
#include "library/received_data.h"
#include "library/socket_address.h"
#include "library/socket_readiness.h"
#include "library/socket_table.h"

#include <winsock2.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace vexil {

namespace {

int failWithSocketError(BuiltinContext& context, Variant& result, Variant value) {
    return context.fail(result, std::move(value), WSAGetLastError());
}

// The address of the first two arguments and a new socket of the script's for it; or
// INVALID_SOCKET with the result and @ERROR set.
SOCKET streamSocketFor(BuiltinContext& context, BuiltinArgs args, sockaddr_in& address, Variant& result) {
    if (const int32_t bad = parseSocketAddress(args[0].dereferenced(), args[1].dereferenced(), address)) {
        context.fail(result, Variant::int32(-1), bad);
        return INVALID_SOCKET;
    }
    if (const int32_t refusal = socketLayerRefusal(context)) {
        context.fail(result, Variant::int64(-1), refusal);
        return INVALID_SOCKET;
    }
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) failWithSocketError(context, result, Variant::int64(-1));
    else context.runResource<SocketTable>().add(s);
    return s;
}

// Closes a socket that failed to become useful, keeping the error that made it fail.
int dropSocket(BuiltinContext& context, Variant& result, SOCKET s, int32_t error) {
    context.runResource<SocketTable>().close(s);
    return context.fail(result, Variant::int64(-1), error);
}

bool setBlocking(SOCKET s, bool blocking) {
    u_long nonBlocking = blocking ? 0 : 1;
    return ioctlsocket(s, FIONBIO, &nonBlocking) == 0;
}

} // namespace

int builtinTcpStartup(BuiltinContext& context, BuiltinArgs, Variant& result) {
    const int status = context.runResource<SocketTable>().startup();
    result = Variant::boolean(status == 0);
    return status == 0 ? 0 : context.fail(status);
}

int builtinTcpShutdown(BuiltinContext& context, BuiltinArgs, Variant& result) {
    const int status = context.runResource<SocketTable>().shutdown();
    result = Variant::boolean(status == 0);
    return status == 0 ? 0 : context.fail(status);
}

int builtinTcpConnect(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    sockaddr_in address;
    const SOCKET s = streamSocketFor(context, args, address, result);
    if (s == INVALID_SOCKET) return 0;
    const int32_t timeout = context.options().tcpTimeout;
    if (timeout == 0) {
        if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0)
            return dropSocket(context, result, s, WSAGetLastError());
    } else {
        setBlocking(s, false);
        if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
            const int error = WSAGetLastError();
            if (error != WSAEWOULDBLOCK) return dropSocket(context, result, s, error);
            // Refused and timed out are told apart: the refusal comes back as the reason.
            const Readiness ready = waitForSocket(context, s, SocketWait::Connect, timeout);
            if (ready.state == Readiness::TimedOut) return dropSocket(context, result, s, kTimedOut);
            if (ready.state == Readiness::Failed) return dropSocket(context, result, s, ready.error);
        }
        setBlocking(s, true);
    }
    result = socketValue(s);
    return 0;
}

int builtinTcpListen(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    sockaddr_in address;
    const SOCKET s = streamSocketFor(context, args, address, result);
    if (s == INVALID_SOCKET) return 0;
    const int backlog = std::clamp(optInt(args, 2, 5), 1, SOMAXCONN);
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(s, backlog) != 0)
        return dropSocket(context, result, s, WSAGetLastError());
    result = socketValue(s);
    return 0;
}

int builtinTcpAccept(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    uint64_t listening;
    if (const int32_t bad = scriptSocket(context, args[0].dereferenced(), listening))
        return context.fail(result, Variant::int32(-1), bad);
    result = Variant::int32(-1); // nothing waiting: the script asks again
    const Readiness ready = waitForSocket(context, listening, SocketWait::Read, context.options().tcpTimeout);
    if (ready.state == Readiness::Failed) return context.fail(ready.error);
    if (ready.state == Readiness::TimedOut) return 0;
    const SOCKET s = accept(static_cast<SOCKET>(listening), nullptr, nullptr);
    if (s == INVALID_SOCKET) return failWithSocketError(context, result, Variant::int32(-1));
    context.runResource<SocketTable>().add(s);
    result = socketValue(s);
    return 0;
}

int builtinTcpSend(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    uint64_t s;
    if (const int32_t bad = scriptSocket(context, args[0].dereferenced(), s)) return context.fail(result, Variant::int32(0), bad);
    const Variant& data = args[1].dereferenced();
    std::string converted;
    std::string_view bytes;
    if (data.is(VarKind::Binary)) bytes = data.binaryRecord()->bytes; // large sends are not copied
    else bytes = converted = data.toBytes();
    const int length = static_cast<int>(std::min<size_t>(bytes.size(), INT_MAX));
    const int sent = send(static_cast<SOCKET>(s), bytes.data(), length, 0);
    if (sent == SOCKET_ERROR) return failWithSocketError(context, result, Variant::int32(0));
    result = Variant::int32(sent);
    return 0;
}

int builtinTcpRecv(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = textValue(L"");
    const Variant& socketArg = args[0].dereferenced();
    if (socketArg.toInt64() == -1) return context.fail(-1);
    uint64_t s;
    if (const int32_t bad = scriptSocket(context, socketArg, s)) return context.fail(bad);
    const int64_t maximum = args[1].dereferenced().toInt64();
    if (maximum < 1) return context.fail(kInvalidArgument);
    const Readiness ready = waitForSocket(context, s, SocketWait::Read, context.options().tcpTimeout);
    if (ready.state == Readiness::Failed) return context.fail(ready.error);
    if (ready.state == Readiness::TimedOut) return 0;
    // What is already there bounds the buffer, so a huge maximum costs nothing.
    u_long waiting = 0;
    ioctlsocket(static_cast<SOCKET>(s), FIONREAD, &waiting);
    int64_t size = std::min(maximum, kTcpReceiveCeiling);
    size = std::min<int64_t>(size, waiting > 0 ? int64_t{waiting} : 65536);
    std::string& buffer = context.runResource<SocketTable>().receiveBuffer();
    if (buffer.size() < static_cast<size_t>(size)) buffer.resize(static_cast<size_t>(size));
    const int got = recv(static_cast<SOCKET>(s), buffer.data(), static_cast<int>(size), 0);
    if (got == SOCKET_ERROR) return context.fail(WSAGetLastError());
    if (got == 0) {
        context.setExtended(Variant::int32(1)); // the peer closed the connection
        return 0;
    }
    result = receivedValue(std::string_view(buffer.data(), static_cast<size_t>(got)), (optInt(args, 2, 0) & 1) != 0);
    return 0;
}

int builtinTcpCloseSocket(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    uint64_t s;
    if (const int32_t bad = scriptSocket(context, args[0].dereferenced(), s))
        return context.fail(result, Variant::boolean(false), bad);
    const int status = context.runResource<SocketTable>().close(s);
    result = Variant::boolean(status == 0);
    return status == 0 ? 0 : context.fail(status);
}

int builtinTcpNameToIp(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = textValue(L"");
    if (const int32_t refusal = socketLayerRefusal(context)) return context.fail(refusal);
    const std::string name = ansiBytes(textArg(args, 0).view());
    if (name.find('\0') != std::string::npos) return context.fail(WSAHOST_NOT_FOUND);
    const hostent* host = gethostbyname(name.c_str());
    if (!host || !host->h_addr_list || !host->h_addr_list[0]) {
        const int error = WSAGetLastError();
        return context.fail(error != 0 ? error : WSAHOST_NOT_FOUND);
    }
    in_addr first;
    memcpy(&first, host->h_addr_list[0], sizeof(first));
    result = textValue(ansiText(inet_ntoa(first)));
    return 0;
}

} // namespace vexil
