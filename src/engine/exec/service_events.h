#pragma once
// Script functions that the run calls outside the script's own flow (hot keys, Adlib functions,
// tray events).
// Their owners live above the engine; the service step asks each, in the order of the kinds
// below, to serve what is due, between lines, during SLEEP and during waits. An event function
// runs through the engine's re-entrant run function at a new nesting level, so the interrupted
// line, its blocks, its wait and its @ERROR and @EXTENDED are kept.
#include <cstddef>

namespace vexil {

class BuiltinContext;

// The order of service within one pass.
enum class EventSourceKind : size_t { HotKeys, Adlib, Tray, Count };

class EventSource {
public:
    virtual ~EventSource() = default;
    // Runs at most one round of due event functions; true when any ran.
    virtual bool serveEvents(BuiltinContext& context) = 0;
};

} // namespace vexil
