#include "library/socket_address.h"
#include "base/console_streams.h"

#include <winsock2.h>

namespace vexil {

int32_t parseSocketAddress(const Variant& host, const Variant& port, sockaddr_in& address) {
    const std::string text = ansiBytes(host.text().view());
    // inet_addr answers INADDR_NONE both for bad text and for the broadcast address itself.
    const unsigned long parsed = inet_addr(text.c_str());
    if (text.find('\0') != std::string::npos || (parsed == INADDR_NONE && text != "255.255.255.255")) return 1;
    const int64_t number = port.toInt64();
    if (number < 1 || number > 65535) return 2;
    address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = parsed;
    address.sin_port = htons(static_cast<u_short>(number));
    return 0;
}

std::wstring addressText(const sockaddr_in& address) {
    const char* text = inet_ntoa(address.sin_addr);
    return text ? ansiText(text) : std::wstring();
}

int32_t addressPort(const sockaddr_in& address) { return ntohs(address.sin_port); }

} // namespace vexil
