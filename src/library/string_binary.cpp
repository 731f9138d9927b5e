// Text and binary data: STRINGTOBINARY, BINARYTOSTRING, BINARYLEN and BINARYMID.
#include "base/text_codec.h"
#include "engine/builtins/builtin_api.h"
#include "library/mid_range.h"

#include <windows.h>

#include <cstring>

namespace vexil {

namespace {

enum class BinaryEncoding { Ansi = 1, Utf16LE = 2, Utf16BE = 3, Utf8 = 4 };

BinaryEncoding encodingArgument(BuiltinArgs args) {
    int32_t flag = optInt(args, 1, 1);
    return flag >= 2 && flag <= 4 ? static_cast<BinaryEncoding>(flag) : BinaryEncoding::Ansi;
}

// The bytes of a value's binary form; a Binary is read in place, other kinds converted into `holder`.
std::string_view bytesOf(const Variant& value, std::string& holder) {
    if (const BinaryRecord* record = value.binaryRecord()) return record->bytes;
    holder = value.toBytes();
    return holder;
}

wchar_t swapped(wchar_t c) { return static_cast<wchar_t>((c >> 8) | (c << 8)); }

std::string utf16Bytes(std::wstring_view text, bool bigEndian) {
    std::string bytes(text.size() * sizeof(wchar_t), '\0');
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = bigEndian ? swapped(text[i]) : text[i];
        std::memcpy(&bytes[i * 2], &c, 2);
    }
    return bytes;
}

} // namespace

int builtinStringToBinary(BuiltinContext&, BuiltinArgs args, Variant& result) {
    std::wstring_view text = args[0].text();
    std::string bytes;
    switch (const BinaryEncoding encoding = encodingArgument(args)) {
    case BinaryEncoding::Utf16LE:
    case BinaryEncoding::Utf16BE: bytes = utf16Bytes(text, encoding == BinaryEncoding::Utf16BE); break;
    case BinaryEncoding::Utf8: bytes = wideToBytes(text, CP_UTF8); break;
    case BinaryEncoding::Ansi: bytes = wideToBytes(text, CP_ACP); break;
    }
    result = Variant::binary(std::move(bytes));
    return 0;
}

int builtinBinaryToString(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    std::string holder;
    std::string_view bytes = bytesOf(args[0], holder);
    const BinaryEncoding encoding = encodingArgument(args);
    const bool utf16 = encoding == BinaryEncoding::Utf16LE || encoding == BinaryEncoding::Utf16BE;
    if (bytes.empty() || (utf16 && bytes.size() % 2 != 0))
        return context.fail(result, Variant::string({}), bytes.empty() ? 1 : 2);
    WString text;
    if (utf16) {
        wchar_t* out = text.resize(bytes.size() / 2);
        std::memcpy(out, bytes.data(), bytes.size());
        if (encoding == BinaryEncoding::Utf16BE)
            for (size_t i = 0; i < text.size(); ++i) out[i] = swapped(out[i]);
    } else {
        text = bytesToWide(bytes, encoding == BinaryEncoding::Utf8 ? CP_UTF8 : CP_ACP);
    }
    result = Variant::string(std::move(text));
    return 0;
}

int builtinBinaryLen(BuiltinContext&, BuiltinArgs args, Variant& result) {
    std::string holder;
    result = Variant::int32(static_cast<int32_t>(bytesOf(args[0], holder).size()));
    return 0;
}

int builtinBinaryMid(BuiltinContext&, BuiltinArgs args, Variant& result) {
    std::string holder;
    std::string_view bytes = bytesOf(args[0], holder);
    MidRange piece = midRange(bytes.size(), args[1].toInt32(), optInt(args, 2, -1));
    result = Variant::binary(std::string(bytes.substr(piece.offset, piece.count)));
    return 0;
}

} // namespace vexil
