#include "engine/front/package_writer.h"

#include <windows.h>

namespace vexil {

bool writeBytesToFile(const std::wstring& path, const std::string& bytes, bool append) {
    HANDLE h = CreateFileW(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE, 0, nullptr,
                           append ? OPEN_EXISTING : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(h);
    return ok;
}

bool writeStandaloneProgram(const std::wstring& path, const std::wstring& interpreter, const std::string& container) {
    if (!CopyFileW(interpreter.c_str(), path.c_str(), FALSE)) return false;
    HANDLE update = BeginUpdateResourceW(path.c_str(), FALSE);
    if (!update) return false;
    bool ok = UpdateResourceW(update, MAKEINTRESOURCEW(10) /* RT_RCDATA */, L"SCRIPT",
                              MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), const_cast<char*>(container.data()),
                              static_cast<DWORD>(container.size()));
    return EndUpdateResourceW(update, !ok) && ok;
}

} // namespace vexil
