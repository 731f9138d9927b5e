#pragma once
// State that a subsystem above the engine keeps for the whole run (libraries a script opened,
// callbacks it registered, a sound left playing). The engine owns it without knowing it, and drops it when the engine
// goes, the last kind first.
#include <cstddef>

namespace vexil {

class RunResource {
public:
    virtual ~RunResource() = default;
    // The run is ending: threads working for the script are told to stop and waited for.
    virtual void stopBackgroundWork() {}
};

enum class RunResourceKind : size_t {
    Sound, DllLibraries, DllCallbacks, WindowSearch, MouseButtons, Sockets, Downloads, Adlib, HotKeys, Keyboard, Tray, Count
};

} // namespace vexil
