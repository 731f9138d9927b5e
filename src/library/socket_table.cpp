#include "library/socket_table.h"

#include <winsock2.h>

namespace vexil {

SocketTable::~SocketTable() {
    for (uint64_t socket : open_) closesocket(static_cast<SOCKET>(socket));
    for (; startups_ > 0; --startups_) WSACleanup();
}

int SocketTable::startup() {
    WSADATA data;
    const int status = WSAStartup(MAKEWORD(2, 2), &data);
    if (status == 0) ++startups_;
    return status;
}

int SocketTable::shutdown() {
    if (WSACleanup() != 0) return WSAGetLastError();
    if (startups_ > 0) --startups_;
    if (startups_ == 0) {
        // The socket layer has closed every socket with its last clean-up.
        open_.clear();
    }
    return 0;
}

int SocketTable::close(uint64_t socket) {
    if (!owns(socket)) return kNotASocket;
    open_.erase(socket);
    return closesocket(static_cast<SOCKET>(socket)) == 0 ? 0 : WSAGetLastError();
}

int32_t socketLayerRefusal(BuiltinContext& context) {
    if (context.fenced()) return kAccessDenied;
    return context.runResource<SocketTable>().started() ? 0 : kNotStarted;
}

int32_t scriptSocket(BuiltinContext& context, const Variant& value, uint64_t& socket) {
    if (const int32_t refusal = socketLayerRefusal(context)) return refusal;
    const int64_t number = value.toInt64();
    socket = static_cast<uint64_t>(number);
    return number > 0 && context.runResource<SocketTable>().owns(socket) ? 0 : kNotASocket;
}

} // namespace vexil
