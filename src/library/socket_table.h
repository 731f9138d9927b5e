#pragma once
// The sockets a script opened, and whether it started the socket layer. Only these sockets are
// handed to the system: a number the script made up could name a socket of the program's own
// (a download's connection) or nothing at all. Whatever is left open is closed with the run.
#include "engine/builtins/builtin_api.h"

#include <cstdint>
#include <string>
#include <unordered_set>

namespace vexil {

// The socket layer's error numbers that the built-ins report themselves.
enum SocketError : int32_t {
    kNotASocket = 10038,      // WSAENOTSOCK
    kInvalidArgument = 10022, // WSAEINVAL
    kAccessDenied = 10013,    // WSAEACCES: refused in a fenced run
    kNotStarted = 10093,      // WSANOTINITIALISED
    kTimedOut = 10060,        // WSAETIMEDOUT
};

class SocketTable final : public RunResource {
public:
    static constexpr RunResourceKind kKind = RunResourceKind::Sockets;
    ~SocketTable() override;

    // TCPSTARTUP/TCPSHUTDOWN (and their UDP twins) balance the socket layer's own count.
    int startup();
    int shutdown();
    bool started() const { return startups_ > 0; }

    void add(uint64_t socket) { open_.insert(socket); }
    bool owns(uint64_t socket) const { return open_.count(socket) != 0; }
    // Closes an owned socket: 0, or the socket layer's error.
    int close(uint64_t socket);

    // A buffer reused by every receive, so that a polling loop does not allocate per call.
    std::string& receiveBuffer() { return buffer_; }

private:
    std::unordered_set<uint64_t> open_;
    int startups_ = 0;
    std::string buffer_;
};

// The check every socket built-in makes first: 0 when the script may use the socket layer, else
// the error to report (fenced run, not started).
int32_t socketLayerRefusal(BuiltinContext& context);
// The same, then the socket a script value names: 0 and `socket` set, or the error (10038 for a
// number that is not one of the script's open sockets).
int32_t scriptSocket(BuiltinContext& context, const Variant& value, uint64_t& socket);
// A socket number as scripts see it.
inline Variant socketValue(uint64_t socket) { return Variant::int32(static_cast<int32_t>(socket)); }

} // namespace vexil
