#include "automation/remote_memory.h"

namespace vexil {

RemoteMemory::RemoteMemory(HWND window, size_t size) : size_(size) {
    DWORD processId = 0;
    if (!GetWindowThreadProcessId(window, &processId) || processId == 0) return;
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION, FALSE,
                           processId);
    if (!process_) return;
    BOOL wow64 = FALSE;
    narrow_ = IsWow64Process(process_, &wow64) && wow64;
    address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteMemory::~RemoteMemory() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
}

bool RemoteMemory::write(const void* bytes, size_t count, size_t offset) {
    if (!address_ || offset + count > size_) return false;
    SIZE_T written = 0;
    return WriteProcessMemory(process_, static_cast<char*>(address_) + offset, bytes, count, &written) && written == count;
}

bool RemoteMemory::read(void* bytes, size_t count, size_t offset) const {
    if (!address_ || offset + count > size_) return false;
    SIZE_T got = 0;
    return ReadProcessMemory(process_, static_cast<char*>(address_) + offset, bytes, count, &got) && got == count;
}

} // namespace vexil
