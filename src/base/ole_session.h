#pragma once
// OLE on the thread that runs the script, started by its first user: starting it costs a good
// share of every start under Wine (a hidden window, the display driver, the RPC run-time), and
// most scripts never need it.
#include <cstdint>

namespace vexil {

class OleSession {
public:
    OleSession() = default;
    ~OleSession(); // ends OLE when this session started it
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

    // Starts OLE on the first call; true when it is ready. A failed start is not tried again.
    bool ensure();

private:
    enum class State : uint8_t { NotStarted, Ready, Failed };
    State state_ = State::NotStarted;
};

} // namespace vexil
