// String built-ins: length, case, and the pieces of a string (left, right, mid, trims).
#include "engine/builtins/builtin_api.h"
#include "library/mid_range.h"

#include <windows.h>

#include <algorithm>

namespace vexil {

namespace {

void setText(Variant& result, std::wstring_view text) { result = Variant::string(WString(text)); }

// A count argument: negative counts mean none.
size_t countOf(const Variant& v) {
    int32_t n = v.toInt32();
    return n < 0 ? 0 : static_cast<size_t>(n);
}

// ASCII cases the same in every locale: its letters are mapped here, without the system call.
template <DWORD (WINAPI *Convert)(LPWSTR, DWORD), wchar_t From, wchar_t To> int convertCase(BuiltinArgs args, Variant& result) {
    WString text = args[0].text();
    size_t length = text.size();
    if (length > 0) {
        bool ascii = std::all_of(text.c_str(), text.c_str() + length, [](wchar_t c) { return c < 0x80; });
        wchar_t* own = text.resize(length); // a buffer of its own first
        if (!ascii) {
            Convert(own, static_cast<DWORD>(length));
        } else {
            for (size_t i = 0; i < length; ++i)
                if (own[i] >= From && own[i] <= From + 25) own[i] = static_cast<wchar_t>(own[i] - From + To);
        }
    }
    result = Variant::string(std::move(text));
    return 0;
}

} // namespace

int builtinStringLen(BuiltinContext&, BuiltinArgs args, Variant& result) {
    result = Variant::int32(static_cast<int32_t>(args[0].text().size()));
    return 0;
}

int builtinStringUpper(BuiltinContext&, BuiltinArgs args, Variant& result) {
    return convertCase<CharUpperBuffW, L'a', L'A'>(args, result);
}

int builtinStringLower(BuiltinContext&, BuiltinArgs args, Variant& result) {
    return convertCase<CharLowerBuffW, L'A', L'a'>(args, result);
}

int builtinStringLeft(BuiltinContext&, BuiltinArgs args, Variant& result) {
    std::wstring_view text = args[0].text().view();
    setText(result, text.substr(0, std::min(countOf(args[1]), text.size())));
    return 0;
}

int builtinStringRight(BuiltinContext&, BuiltinArgs args, Variant& result) {
    std::wstring_view text = args[0].text().view();
    size_t n = std::min(countOf(args[1]), text.size());
    setText(result, text.substr(text.size() - n));
    return 0;
}

int builtinStringMid(BuiltinContext&, BuiltinArgs args, Variant& result) {
    std::wstring_view text = args[0].text().view();
    MidRange piece = midRange(text.size(), args[1].toInt32(), optInt(args, 2, -1));
    setText(result, text.substr(piece.offset, piece.count));
    return 0;
}

int builtinStringTrimLeft(BuiltinContext&, BuiltinArgs args, Variant& result) {
    std::wstring_view text = args[0].text().view();
    setText(result, text.substr(std::min(countOf(args[1]), text.size())));
    return 0;
}

int builtinStringTrimRight(BuiltinContext&, BuiltinArgs args, Variant& result) {
    std::wstring_view text = args[0].text().view();
    setText(result, text.substr(0, text.size() - std::min(countOf(args[1]), text.size())));
    return 0;
}

} // namespace vexil
