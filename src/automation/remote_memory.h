#pragma once
// Memory inside another program, for the messages of common controls that take a pointer to a
// record: the record is written there, the message sent, the answer read back.
#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace vexil {

class RemoteMemory {
public:
    // `size` bytes in the process that owns `window`; check ok().
    RemoteMemory(HWND window, size_t size);
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    ~RemoteMemory();

    bool ok() const { return address_ != nullptr; }
    // The block's address in the other process, to put in a message or a record.
    uint64_t address(size_t offset = 0) const { return reinterpret_cast<uint64_t>(address_) + offset; }
    bool write(const void* bytes, size_t count, size_t offset = 0);
    bool read(void* bytes, size_t count, size_t offset = 0) const;
    // The other process runs as a 32-bit program: its records have 4-byte pointers.
    bool narrow() const { return narrow_; }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_ = 0;
    bool narrow_ = false;
};

} // namespace vexil
