// Texts as arrays of character codes: STRINGTOASCIIARRAY and STRINGFROMASCIIARRAY.
#include "base/text_codec.h"
#include "engine/builtins/builtin_api.h"
#include "engine/errors/messages.h"
#include "engine/values/containers.h"

#include <windows.h>

#include <algorithm>

namespace vexil {

namespace {

// The array encoding flag: code units, or the bytes of a code page.
unsigned codePageArgument(BuiltinArgs args, size_t index, bool& units) {
    int32_t flag = optInt(args, index, 0);
    units = flag != 1 && flag != 2;
    return flag == 2 ? CP_UTF8 : CP_ACP;
}

// Bounds are compared as unsigned numbers, so a negative one counts as very large.
uint64_t boundArgument(BuiltinArgs args, size_t index, uint64_t fallback) {
    if (!given(args, index)) return fallback;
    return static_cast<uint64_t>(static_cast<int64_t>(args[index].toInt32()));
}

template <typename Code> int codesArray(BuiltinContext& context, const Code* codes, size_t count, Variant& result) {
    if (count > static_cast<size_t>(kMaxElements)) return context.fatal(MessageId::ArrayTooLarge);
    std::vector<Variant> items;
    items.reserve(count);
    for (size_t i = 0; i < count; ++i) items.push_back(Variant::int32(codes[i]));
    result = arrayOf(std::move(items));
    return 0;
}

} // namespace

int builtinStringToASCIIArray(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    std::wstring_view text = args[0].text();
    const uint64_t start = boundArgument(args, 1, 0);
    const uint64_t end = std::min<uint64_t>(text.size(), boundArgument(args, 2, text.size()));
    if (end < start) {
        result = Variant::string({});
        return 0;
    }
    std::wstring_view range = text.substr(start, end - start);
    if (range.empty()) {
        result = arrayOf({Variant::int32(0)});
        return 0;
    }
    bool units = true;
    unsigned codePage = codePageArgument(args, 3, units);
    if (units) return codesArray(context, range.data(), range.size(), result);
    std::string bytes = wideToBytes(range, codePage);
    return codesArray(context, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), result);
}

int builtinStringFromASCIIArray(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = Variant::string({});
    const ArrayBody* body = arrayBody(args[0]);
    if (!body) return context.fail(1);
    // An array with an empty later dimension has no elements at all.
    const int64_t size = std::min<int64_t>(body->dims > 0 ? body->sizes[0] : 0, static_cast<int64_t>(body->elements.size()));
    int64_t end = optInt(args, 2, -1);
    if (end < 0 || end > size) end = size;
    const int64_t start = passedInt(args, 1, 0);
    if (static_cast<uint64_t>(end) < static_cast<uint64_t>(start)) return 0;
    bool units = true;
    unsigned codePage = codePageArgument(args, 3, units);
    const Variant* elements = body->elements.data() + start;
    const auto count = static_cast<size_t>(end - start);
    if (units) {
        WString text;
        if (count > 0) {
            wchar_t* out = text.resize(count);
            for (size_t i = 0; i < count; ++i) out[i] = static_cast<wchar_t>(elements[i].toInt32());
        }
        result = Variant::string(std::move(text));
        return 0;
    }
    std::string bytes; // up to the first zero byte
    for (size_t i = 0; i < count; ++i) {
        auto byte = static_cast<char>(elements[i].toInt32());
        if (byte == 0) break;
        bytes += byte;
    }
    result = Variant::string(WString(bytesToWide(bytes, codePage)));
    return 0;
}

} // namespace vexil
