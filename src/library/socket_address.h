#pragma once
// IPv4 addresses as scripts give them: a dotted address text and a port number.
#include "engine/values/value.h"

#include <cstdint>
#include <string>

struct sockaddr_in;

namespace vexil {

// Fills `address` from the texts; 0, or 1 for an address that is not dotted IPv4, 2 for a port
// outside 1 to 65535.
int32_t parseSocketAddress(const Variant& host, const Variant& port, sockaddr_in& address);

// The dotted text of an address, and its port in host order.
std::wstring addressText(const sockaddr_in& address);
int32_t addressPort(const sockaddr_in& address);

} // namespace vexil
