#include "base/pipe_reader.h"

#include <windows.h>

#include <algorithm>

namespace vexil {

namespace {

constexpr DWORD kChunkBytes = 65535;
constexpr size_t kInitialCapacity = 65535;
constexpr SIZE_T kThreadStack = 256 * 1024; // the program's own default is far larger
constexpr DWORD kStopWaitMs = 1000;
constexpr int kCancelAttempts = 20;
constexpr DWORD kCancelWaitMs = 10;

} // namespace

struct PipeReader::Shared {
    HANDLE pipe = nullptr;
    HANDLE thread = nullptr;
    // On a pipe a read of no bytes is a writer's empty write, not the end: only a failed read
    // (the writer closed its end) ends it. A file or a console ends with a read of no bytes.
    bool endsOnEmptyRead = true;
    CRITICAL_SECTION lock;
    std::string buffer; // under the lock
    volatile LONG state = kCreated;
    volatile LONG stopping = 0;
    char chunk[kChunkBytes];

    Shared() { InitializeCriticalSection(&lock); }
    ~Shared() { DeleteCriticalSection(&lock); }

    // Grows to one and a half times what is needed; a fresh string's reserve takes exactly that.
    void append(const char* bytes, size_t count) {
        const size_t needed = buffer.size() + count;
        if (needed > buffer.capacity()) {
            std::string grown;
            grown.reserve(std::max(kInitialCapacity, needed + needed / 2));
            grown.append(buffer);
            buffer.swap(grown);
        }
        buffer.append(bytes, count);
    }

    static DWORD WINAPI readLoop(void* parameter) {
        auto* self = static_cast<Shared*>(parameter);
        InterlockedExchange(&self->state, kRunning);
        while (!self->stopping) {
            DWORD got = 0;
            if (!ReadFile(self->pipe, self->chunk, kChunkBytes, &got, nullptr)) break;
            if (got == 0) {
                if (self->endsOnEmptyRead) break;
                continue;
            }
            EnterCriticalSection(&self->lock);
            self->append(self->chunk, got);
            LeaveCriticalSection(&self->lock);
        }
        InterlockedExchange(&self->state, kFinished);
        return 0;
    }
};

PipeReader::PipeReader(void* handle) : shared_(std::make_unique<Shared>()) {
    shared_->pipe = handle;
    shared_->endsOnEmptyRead = GetFileType(handle) != FILE_TYPE_PIPE;
    shared_->thread = CreateThread(nullptr, kThreadStack, Shared::readLoop, shared_.get(),
                                   STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (!shared_->thread) shared_->state = kFinished;
}

PipeReader::~PipeReader() { stop(); }

bool PipeReader::started() const { return shared_ && shared_->thread != nullptr; }

bool PipeReader::finished() const { return !shared_ || shared_->state == kFinished; }

bool PipeReader::available() const {
    if (!shared_) return false;
    // The state first: bytes appended before the thread finished are then seen below.
    if (shared_->state != kFinished) return true;
    EnterCriticalSection(&shared_->lock);
    const bool any = !shared_->buffer.empty();
    LeaveCriticalSection(&shared_->lock);
    return any;
}

std::string PipeReader::take(bool peek) {
    std::string bytes;
    if (!shared_) return bytes;
    EnterCriticalSection(&shared_->lock);
    if (peek) bytes = shared_->buffer;
    else bytes.swap(shared_->buffer);
    LeaveCriticalSection(&shared_->lock);
    return bytes;
}

void PipeReader::stop() {
    if (!shared_ || !shared_->thread) return;
    HANDLE thread = shared_->thread;
    // A read that waits is cancelled, and the thread ends by itself (the cancel is sent again in
    // case it came between two reads).
    InterlockedExchange(&shared_->stopping, 1);
    bool ended = WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
    for (int attempt = 0; !ended && attempt < kCancelAttempts; ++attempt) {
        CancelSynchronousIo(thread);
        ended = WaitForSingleObject(thread, kCancelWaitMs) == WAIT_OBJECT_0;
    }
    if (!ended) {
        // Under the lock the thread is reading or waiting for the lock, never inside the heap.
        EnterCriticalSection(&shared_->lock);
        TerminateThread(thread, kFinished);
        LeaveCriticalSection(&shared_->lock);
        ended = WaitForSingleObject(thread, kStopWaitMs) == WAIT_OBJECT_0;
    }
    CloseHandle(shared_->thread);
    shared_->thread = nullptr;
    InterlockedExchange(&shared_->state, kFinished);
    // A thread that has not ended yet may still touch its block: it is left to it.
    if (!ended) (void)shared_.release();
}

} // namespace vexil
