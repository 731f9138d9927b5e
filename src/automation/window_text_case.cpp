#include "automation/window_text_case.h"

#include <windows.h>

namespace vexil {

void upperCaseInPlace(wchar_t* text, size_t length) {
    // CharUpperBuffW takes a 32-bit count: a longer text goes in pieces.
    constexpr size_t kPiece = 1u << 30;
    while (length > 0) {
        const size_t piece = length < kPiece ? length : kPiece;
        CharUpperBuffW(text, static_cast<DWORD>(piece));
        text += piece;
        length -= piece;
    }
}

void upperCaseInPlace(std::wstring& text) { upperCaseInPlace(text.data(), text.size()); }

} // namespace vexil
