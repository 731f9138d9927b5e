#pragma once
// Waiting for one socket to become readable, or (for a connection under way) writable. The wait
// is a wait state: the script's events and messages are served while it lasts.
#include "engine/builtins/builtin_api.h"

#include <cstdint>

namespace vexil {

enum class SocketWait : uint8_t { Read, Connect };

struct Readiness {
    enum State : uint8_t { Ready, TimedOut, Failed } state;
    int32_t error; // the socket layer's error when Failed (for Connect: why the connection failed)
};

Readiness waitForSocket(BuiltinContext& context, uint64_t socket, SocketWait what, int64_t timeoutMs);

} // namespace vexil
