#pragma once
// The redirected standard streams of the programs a script started, by process id: the parent's
// ends of the pipes and a reader thread for each captured output.
#include "base/pipe_reader.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vexil {

// The stream bits of RUN's option argument.
namespace StdioFlag {
constexpr uint32_t Input = 1;    // a pipe for the child's standard input
constexpr uint32_t Output = 2;   // capture standard output
constexpr uint32_t Error = 4;    // capture standard error
constexpr uint32_t Merged = 8;   // standard error into the standard-output pipe (implies 2 and 4)
constexpr uint32_t Inherit = 16; // the child gets this program's own standard handles
constexpr uint32_t All = Input | Output | Error | Merged | Inherit;
} // namespace StdioFlag

struct ChildStreamRecord {
    ChildStreamRecord() = default;
    ChildStreamRecord(const ChildStreamRecord&) = delete;
    ChildStreamRecord& operator=(const ChildStreamRecord&) = delete;
    ~ChildStreamRecord(); // readers stopped, handles closed

    uint32_t processId = 0;
    uint32_t flags = 0;
    void* input = nullptr; // the write end of the child's standard input, while open
    void* output = nullptr; // the read ends the readers read
    void* error = nullptr;
    std::unique_ptr<PipeReader> outputReader;
    std::unique_ptr<PipeReader> errorReader; // none when standard error is merged

    void closeInput();
    // Some stream may still carry bytes: the input is open, or a reader runs or holds bytes.
    bool alive() const;
};

class ChildStreams {
public:
    ChildStreams() = default;
    ChildStreams(const ChildStreams&) = delete;
    ChildStreams& operator=(const ChildStreams&) = delete;

    // A record replaces one of the same id: that process has ended, as its id was given again.
    void add(std::unique_ptr<ChildStreamRecord> record);
    // The record whose id equals a script's number, or nullptr.
    ChildStreamRecord* find(double processId);
    void remove(const ChildStreamRecord* record);
    void removeIfDead(const ChildStreamRecord* record) {
        if (record && !record->alive()) remove(record);
    }
    // Every reader stopped and every handle closed (the end of the run).
    void clear() { records_.clear(); }

private:
    std::vector<std::unique_ptr<ChildStreamRecord>> records_;
};

} // namespace vexil
