#include "base/text_codec.h"

#include <windows.h>

#include <climits>

namespace vexil {

namespace {

// The platform functions take int lengths; larger texts go in pieces cut between characters.
constexpr size_t kPiece = size_t{1} << 28;

size_t widePieceEnd(std::wstring_view text, size_t begin) {
    size_t end = begin + kPiece;
    if (end >= text.size()) return text.size();
    if (IS_HIGH_SURROGATE(text[end - 1])) --end;
    return end;
}

size_t bytePieceEnd(std::string_view bytes, size_t begin, unsigned codePage) {
    size_t end = begin + kPiece;
    if (end >= bytes.size()) return bytes.size();
    if (codePage == CP_UTF8) {
        while (end > begin && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80) --end;
    }
    return end;
}

} // namespace

std::string wideToBytes(std::wstring_view text, unsigned codePage) {
    std::string out;
    for (size_t begin = 0; begin < text.size();) {
        size_t end = widePieceEnd(text, begin);
        int units = static_cast<int>(end - begin);
        int need = WideCharToMultiByte(codePage, 0, text.data() + begin, units, nullptr, 0, nullptr, nullptr);
        size_t at = out.size();
        out.resize(at + static_cast<size_t>(need));
        WideCharToMultiByte(codePage, 0, text.data() + begin, units, out.data() + at, need, nullptr, nullptr);
        begin = end;
    }
    return out;
}

std::wstring bytesToWide(std::string_view bytes, unsigned codePage) {
    std::wstring out;
    for (size_t begin = 0; begin < bytes.size();) {
        size_t end = bytePieceEnd(bytes, begin, codePage);
        int count = static_cast<int>(end - begin);
        int need = MultiByteToWideChar(codePage, 0, bytes.data() + begin, count, nullptr, 0);
        size_t at = out.size();
        out.resize(at + static_cast<size_t>(need));
        MultiByteToWideChar(codePage, 0, bytes.data() + begin, count, out.data() + at, need);
        begin = end;
    }
    return out;
}

} // namespace vexil
