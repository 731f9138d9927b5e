#pragma once
// Running processes, as a snapshot of the system's process list shows them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexil {

struct ProcessEntry {
    uint32_t processId;
    std::wstring exeName; // the executable's file name with extension
};

// Every entry of a fresh snapshot, in its order; empty when no snapshot could be taken.
std::vector<ProcessEntry> listProcesses();

// The first running process a script names: by its executable's file name (any case, the
// user's locale), or, for a text of digits only, by its id; id 0 when none matches. Entries of
// id 0 (the system's idle process, where the list has one) are never matched; every other entry
// is, the first one included.
ProcessEntry findProcess(std::wstring_view nameOrId);

// Whether the process of this id is still listed under this executable name (an id given to a
// new process after the first ended does not count).
bool processListed(uint32_t processId, std::wstring_view exeName);

} // namespace vexil
