#pragma once
// A thread that reads a pipe (a child's standard output or error, or this program's own standard
// input) into a byte buffer until the writer closes it. The buffer grows as needed, so a writer
// never waits for a script that reads rarely or not at all. Bytes cross between the threads only
// as std::string copies or moves, taken under the reader's lock.
#include <memory>
#include <string>

namespace vexil {

class PipeReader {
public:
    // Starts reading `handle` (a HANDLE), which stays the caller's and must stay open until the
    // reader has stopped. started() is false when no thread could be made.
    explicit PipeReader(void* handle);
    ~PipeReader(); // stops the thread
    PipeReader(const PipeReader&) = delete;
    PipeReader& operator=(const PipeReader&) = delete;

    bool started() const;
    // The writer has closed its end (or the read failed): no more bytes will come.
    bool finished() const;
    // Bytes are buffered, or more may come.
    bool available() const;
    // The buffered bytes: moved out, or with `peek` copied and left for the next reader.
    std::string take(bool peek);
    // Ends a thread still reading (it may be blocked in a read for ever): its read is cancelled
    // so that it ends by itself; one that does not within 200 ms is terminated under the lock
    // (so never inside the buffer's allocation) and awaited for at most a second.
    void stop();

    // The thread's states.
    static constexpr long kCreated = 500;
    static constexpr long kRunning = 501;
    static constexpr long kFinished = 502;

private:
    struct Shared;
    std::unique_ptr<Shared> shared_;
};

} // namespace vexil
