#include "library/socket_readiness.h"

#include <winsock2.h>

namespace vexil {

namespace {

// One look without waiting. A connection that failed shows in the exception set, with its reason
// in SO_ERROR.
Readiness lookOnce(uint64_t socket, SocketWait what) {
    const auto s = static_cast<SOCKET>(socket);
    fd_set readable, writable, failed;
    FD_ZERO(&readable);
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    if (what == SocketWait::Read) FD_SET(s, &readable);
    else {
        FD_SET(s, &writable);
        FD_SET(s, &failed);
    }
    timeval now{0, 0};
    const int count = select(0, &readable, &writable, &failed, &now);
    if (count == SOCKET_ERROR) return {Readiness::Failed, WSAGetLastError()};
    if (count == 0) return {Readiness::TimedOut, 0};
    if (FD_ISSET(s, &failed)) {
        int reason = 0;
        int size = sizeof(reason);
        getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&reason), &size);
        return {Readiness::Failed, reason != 0 ? reason : WSAECONNREFUSED};
    }
    if (FD_ISSET(s, &readable) || FD_ISSET(s, &writable)) return {Readiness::Ready, 0};
    return {Readiness::Failed, -2}; // counted ready but in no set
}

} // namespace

Readiness waitForSocket(BuiltinContext& context, uint64_t socket, SocketWait what, int64_t timeoutMs) {
    Readiness seen = lookOnce(socket, what);
    if (seen.state != Readiness::TimedOut || timeoutMs <= 0) return seen;
    const WaitOutcome outcome = context.waitUntil(
        [&] {
            seen = lookOnce(socket, what);
            return seen.state != Readiness::TimedOut;
        },
        timeoutMs);
    if (outcome != WaitOutcome::Satisfied) return {Readiness::TimedOut, 0};
    return seen;
}

} // namespace vexil
