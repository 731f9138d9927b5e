#pragma once
// The run's open files and file searches, under the small numbers scripts hold: a handle is a
// slot index + 1 and a new entry takes the lowest free slot.
#include "base/file_stream.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vexil {

class Variant;

// The slot index a script's handle number names in a table of `slotCount` slots (numbers from 1),
// or -1. Only numbers are handles.
std::ptrdiff_t handleSlotIndex(const Variant& handle, size_t slotCount);

// A search started by FILEFINDFIRSTFILE; its first match is held back for the first
// FILEFINDNEXTFILE.
struct FileSearch {
    FileSearch() = default;
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;
    ~FileSearch();

    void* find = nullptr; // the system search handle
    std::wstring firstName;
    uint32_t firstAttributes = 0;
    bool firstPending = false;
};

class HandleTable {
public:
    HandleTable() = default;
    HandleTable(const HandleTable&) = delete;
    HandleTable& operator=(const HandleTable&) = delete;
    ~HandleTable();

    int add(std::unique_ptr<FileStream> stream);
    int add(std::unique_ptr<FileSearch> search);
    // The entry a script value names, or nullptr: only numbers of at least 1 name slots.
    FileStream* stream(const Variant& handle);
    FileSearch* search(const Variant& handle);
    enum class CloseResult { Invalid, Closed, WriteLost };
    CloseResult close(const Variant& handle);

    // Buffered writes stay in their streams until something else may look at the files: the
    // table flushes them before any built-in whose row does not say it leaves files alone, and
    // whenever the message loop runs.
    void noteWrite(const FileStream& stream) { pendingWrites_ = pendingWrites_ || stream.hasPendingWrites(); }
    void flushPendingWrites();
    void beforeBuiltin(int builtinIndex) {
        if (pendingWrites_ && !leavesFilesAlone(builtinIndex)) flushPendingWrites();
    }

private:
    struct Slot {
        std::unique_ptr<FileStream> stream;
        std::unique_ptr<FileSearch> search;
        bool empty() const { return !stream && !search; }
    };
    size_t freeSlot();
    Slot* slot(const Variant& handle);
    static bool leavesFilesAlone(int builtinIndex);

    std::vector<Slot> slots_;
    bool pendingWrites_ = false;
};

} // namespace vexil
