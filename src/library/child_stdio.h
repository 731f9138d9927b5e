#pragma once
// The standard handles of a program about to be started, from the stream bits of RUN's option:
// pipes for the streams the script takes over, duplicates of this program's own handles for
// the others (or the nul device where this program has none). Every handle the child gets is
// an inheritable duplicate; the parent's ends are not inheritable.
#include "base/child_streams.h"

#include <cstdint>
#include <memory>

namespace vexil {

class ChildStdio {
public:
    explicit ChildStdio(uint32_t streamFlags);
    ~ChildStdio(); // closes whatever was not handed on
    ChildStdio(const ChildStdio&) = delete;
    ChildStdio& operator=(const ChildStdio&) = delete;

    // Some stream bit was set: the child is to get these handles rather than its own.
    bool redirected() const { return flags_ != 0; }
    // All three handles could be made: only then does the child get them.
    bool complete() const { return child_[0] && child_[1] && child_[2]; }
    // The child's standard input, output and error (HANDLEs).
    void* childHandle(int stream) const { return child_[stream]; }

    // Once the child has started: its ends closed here, and, when a pipe was made, the record
    // that reads and writes the parent's ends (its readers running); nullptr otherwise.
    std::unique_ptr<ChildStreamRecord> started(uint32_t processId);

private:
    uint32_t flags_ = 0;
    void* child_[3] = {nullptr, nullptr, nullptr};
    void* parentInput_ = nullptr;
    void* parentOutput_ = nullptr;
    void* parentError_ = nullptr;
};

} // namespace vexil
