// UDPBIND, UDPOPEN, UDPSEND, UDPRECV and UDPCLOSESOCKET. A UDP socket is a four-element array:
// the marker, the socket, and the address and port that UDPSEND sends to.
#include "engine/builtins/builtin_api.h"
#include "engine/values/containers.h"
#include "library/received_data.h"
#include "library/socket_address.h"
#include "library/socket_readiness.h"
#include "library/socket_table.h"

#include <winsock2.h>

#include <algorithm>
#include <climits>

namespace vexil {

namespace {

constexpr int32_t kUdpMarker = 45454545;
constexpr int32_t kNotAnArray = -3;
constexpr int32_t kWrongMarker = -4;
constexpr int64_t kUdpReceiveWaitMs = 100;

Variant udpArray(Variant socketNumber, const Variant& address, const Variant& port) {
    return arrayOf({Variant::int32(kUdpMarker), std::move(socketNumber), address, port});
}

Variant failedUdpArray(const Variant& address, const Variant& port) {
    return arrayOf({Variant::int64(-1), Variant::int32(-1), address, port});
}

// The elements of a UDP socket array, or the error for a value that is not one.
struct UdpSocket {
    const Variant* socket = nullptr;
    const Variant* address = nullptr;
    const Variant* port = nullptr;
};

int32_t readUdpArray(const Variant& value, UdpSocket& out) {
    const ArrayBody* body = arrayBody(value);
    if (!body || body->dims != 1 || body->elements.empty()) return kNotAnArray;
    const Variant& marker = body->elements[0];
    if (!marker.isNumber() || marker.toInt64() != kUdpMarker || body->elements.size() < 4) return kWrongMarker;
    out = {&body->elements[1], &body->elements[2], &body->elements[3]};
    return 0;
}

// A new datagram socket of the script's; or INVALID_SOCKET with the failed array as the result
// and @ERROR set.
SOCKET datagramSocket(BuiltinContext& context, const Variant& host, const Variant& port, Variant& result) {
    int32_t error = socketLayerRefusal(context);
    const SOCKET s = error ? INVALID_SOCKET : socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s != INVALID_SOCKET) {
        context.runResource<SocketTable>().add(s);
        return s;
    }
    context.fail(result, failedUdpArray(host, port), error ? error : WSAGetLastError());
    return s;
}

// A socket that could not be set up: closed, the failed array the result.
int dropDatagramSocket(BuiltinContext& context, SOCKET s, const Variant& host, const Variant& port, Variant& result) {
    const int error = WSAGetLastError();
    context.runResource<SocketTable>().close(s);
    return context.fail(result, failedUdpArray(host, port), error);
}

} // namespace

int builtinUdpBind(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const Variant& host = args[0].dereferenced();
    const Variant& port = args[1].dereferenced();
    sockaddr_in address;
    if (const int32_t bad = parseSocketAddress(host, port, address)) return context.fail(result, Variant::int32(-1), bad);
    const SOCKET s = datagramSocket(context, host, port, result);
    if (s == INVALID_SOCKET) return 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) return dropDatagramSocket(context, s, host, port, result);
    result = udpArray(socketValue(s), host, port);
    return 0;
}

int builtinUdpOpen(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const Variant& host = args[0].dereferenced();
    const Variant& port = args[1].dereferenced();
    const SOCKET s = datagramSocket(context, host, port, result);
    if (s == INVALID_SOCKET) return 0;
    const BOOL on = TRUE;
    if ((optInt(args, 2, 0) & 1) && setsockopt(s, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on), sizeof(on)) != 0)
        return dropDatagramSocket(context, s, host, port, result);
    result = udpArray(socketValue(s), host, port);
    return 0;
}

int builtinUdpSend(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    UdpSocket udp;
    if (const int32_t bad = readUdpArray(args[0].dereferenced(), udp)) return context.fail(result, Variant::int32(0), bad);
    sockaddr_in address;
    if (const int32_t bad = parseSocketAddress(*udp.address, *udp.port, address))
        return context.fail(result, Variant::int32(-1), bad);
    uint64_t s;
    if (const int32_t bad = scriptSocket(context, *udp.socket, s)) return context.fail(result, Variant::int32(0), bad);
    const std::string bytes = args[1].dereferenced().toBytes();
    const int length = static_cast<int>(std::min<size_t>(bytes.size(), INT_MAX));
    const int sent = sendto(static_cast<SOCKET>(s), bytes.data(), length, 0, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    if (sent == SOCKET_ERROR) return context.fail(result, Variant::int32(0), WSAGetLastError());
    result = Variant::int32(sent);
    return 0;
}

int builtinUdpRecv(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = textValue(L"");
    UdpSocket udp;
    if (const int32_t bad = readUdpArray(args[0].dereferenced(), udp)) return context.fail(bad);
    if (udp.socket->toInt64() == -1) return context.fail(-1);
    uint64_t s;
    if (const int32_t bad = scriptSocket(context, *udp.socket, s)) return context.fail(bad);
    const int64_t maximum = args[1].dereferenced().toInt64();
    if (maximum < 1) return context.fail(kInvalidArgument);
    const Readiness ready = waitForSocket(context, s, SocketWait::Read, kUdpReceiveWaitMs);
    if (ready.state == Readiness::Failed) return context.fail(ready.error);
    if (ready.state == Readiness::TimedOut) return context.fail(-2);
    const int size = static_cast<int>(std::min(maximum, kUdpReceiveCeiling));
    std::string& buffer = context.runResource<SocketTable>().receiveBuffer();
    if (buffer.size() < static_cast<size_t>(size)) buffer.resize(static_cast<size_t>(size));
    sockaddr_in source{};
    int sourceSize = sizeof(source);
    const int got = recvfrom(static_cast<SOCKET>(s), buffer.data(), size, 0, reinterpret_cast<sockaddr*>(&source), &sourceSize);
    if (got == SOCKET_ERROR) return context.fail(WSAGetLastError());
    const int32_t flag = optInt(args, 2, 0);
    Variant data = receivedValue(std::string_view(buffer.data(), static_cast<size_t>(got)), (flag & 1) != 0);
    if (flag & 2) result = arrayOf({std::move(data), textValue(addressText(source)), Variant::int32(addressPort(source))});
    else result = std::move(data);
    return 0;
}

int builtinUdpCloseSocket(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    UdpSocket udp;
    if (const int32_t bad = readUdpArray(args[0].dereferenced(), udp)) return context.fail(result, Variant::int32(0), bad);
    uint64_t s;
    if (const int32_t bad = scriptSocket(context, *udp.socket, s)) return context.fail(result, Variant::int32(0), bad);
    const int status = context.runResource<SocketTable>().close(s);
    result = Variant::int32(status == 0 ? 1 : 0);
    return status == 0 ? 0 : context.fail(status);
}

} // namespace vexil
