#include "engine/errors/messages.h"

#include <windows.h>

namespace vexil {

std::wstring loadMessage(MessageId::Id id) {
    wchar_t buffer[4096];
    int length = LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id), buffer, 4096);
    return std::wstring(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

} // namespace vexil
