#include "interop/struct_element_access.h"

#include "base/text_codec.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

namespace vexil {

namespace {

static_assert(sizeof(wchar_t) == 2);

constexpr unsigned kAnsiCodePage = 0; // the system's ANSI code page

// Elements sit at any offset ("align 1"): every access copies bytes rather than casting pointers.
template <class T> T load(const std::byte* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}
template <class T> void store(std::byte* at, T value) { std::memcpy(at, &value, sizeof value); }

int64_t loadInteger(const std::byte* at, uint32_t size, bool isSigned) {
    switch (size) {
    case 1: return isSigned ? int64_t{load<int8_t>(at)} : int64_t{load<uint8_t>(at)};
    case 2: return isSigned ? int64_t{load<int16_t>(at)} : int64_t{load<uint16_t>(at)};
    case 4: return isSigned ? int64_t{load<int32_t>(at)} : int64_t{load<uint32_t>(at)};
    default: return load<int64_t>(at);
    }
}

// Up to two bytes, and four signed: Int32; four unsigned and eight: Int64.
Variant integerValue(int64_t value, uint32_t size, bool isSigned) {
    if (size <= 2 || (size == 4 && isSigned)) return Variant::int32(static_cast<int32_t>(value));
    return Variant::int64(value);
}

// Beyond a float's range the value becomes an infinity, as the processor's conversion makes it.
float toFloat(double value) {
    if (std::isfinite(value) && std::fabs(value) > FLT_MAX) return value > 0 ? HUGE_VALF : -HUGE_VALF;
    return static_cast<float>(value);
}

Variant ansiText(const std::byte* at, size_t count) {
    const std::string_view bytes(reinterpret_cast<const char*>(at), count);
    return Variant::string(WString(bytesToWide(bytes, kAnsiCodePage)));
}

Variant wideText(const std::byte* at, size_t count) {
    WString text;
    if (count > 0) std::memcpy(text.resize(count), at, count * sizeof(wchar_t));
    return Variant::string(std::move(text));
}

// Items up to the first NUL, or all of them.
size_t lengthToNul(const std::byte* at, uint32_t count, uint32_t itemSize) {
    for (uint32_t i = 0; i < count; ++i)
        if (itemSize == 1 ? load<uint8_t>(at + i) == 0 : load<uint16_t>(at + size_t{i} * 2) == 0) return i;
    return count;
}

Variant readWhole(const std::byte* at, const DllStructElement& element) {
    switch (element.kind) {
    case DllElementKind::AnsiChar: return ansiText(at, lengthToNul(at, element.count, 1));
    case DllElementKind::WideChar: return wideText(at, lengthToNul(at, element.count, 2));
    default: return Variant::binary(std::string(reinterpret_cast<const char*>(at), size_t{element.itemSize} * element.count));
    }
}

Variant readItem(const std::byte* at, const DllStructElement& element) {
    switch (element.kind) {
    case DllElementKind::Pointer: return Variant::pointer(load<uint64_t>(at));
    case DllElementKind::Float: return Variant::real(element.itemSize == 4 ? double{load<float>(at)} : load<double>(at));
    case DllElementKind::AnsiChar: return ansiText(at, 1);
    case DllElementKind::WideChar: return wideText(at, 1);
    case DllElementKind::Signed:
    case DllElementKind::Unsigned: break;
    }
    const bool isSigned = element.kind == DllElementKind::Signed;
    return integerValue(loadInteger(at, element.itemSize, isSigned), element.itemSize, isSigned);
}

// A char's code: a number is the code itself, anything else gives the first character of its text.
uint16_t characterCode(const Variant& value, DllElementKind kind) {
    if (value.isNumber()) return static_cast<uint16_t>(value.toInt64());
    const std::wstring_view text = value.text().view();
    if (text.empty()) return 0;
    if (kind == DllElementKind::WideChar) return text[0];
    const std::string ansi = wideToBytes(text.substr(0, 1), kAnsiCodePage);
    return ansi.empty() ? 0 : static_cast<uint8_t>(ansi[0]);
}

// As many items as fit, then a NUL when there is room for one.
void writeText(std::byte* at, uint32_t count, uint32_t itemSize, const void* units, size_t length) {
    const size_t copied = std::min<size_t>(length, count);
    std::memcpy(at, units, copied * itemSize);
    if (copied < count) std::memset(at + copied * itemSize, 0, itemSize);
}

void writeWhole(std::byte* at, const DllStructElement& element, const Variant& value) {
    switch (element.kind) {
    case DllElementKind::AnsiChar: {
        const std::string ansi = wideToBytes(value.text().view(), kAnsiCodePage);
        return writeText(at, element.count, 1, ansi.data(), ansi.size());
    }
    case DllElementKind::WideChar: {
        const std::wstring_view text = value.text().view();
        return writeText(at, element.count, 2, text.data(), text.size());
    }
    default: {
        const std::string bytes = value.toBytes();
        std::memcpy(at, bytes.data(), std::min<size_t>(bytes.size(), size_t{element.itemSize} * element.count));
        return;
    }
    }
}

void writeItem(std::byte* at, const DllStructElement& element, const Variant& value) {
    switch (element.kind) {
    case DllElementKind::Pointer: return store<uint64_t>(at, value.toPointer());
    case DllElementKind::Float:
        if (element.itemSize == 4) return store<float>(at, toFloat(value.toDouble()));
        return store<double>(at, value.toDouble());
    case DllElementKind::AnsiChar: return store<uint8_t>(at, static_cast<uint8_t>(characterCode(value, element.kind)));
    case DllElementKind::WideChar: return store<uint16_t>(at, characterCode(value, element.kind));
    case DllElementKind::Signed:
    case DllElementKind::Unsigned: {
        const int64_t integer = value.toInt64(); // the low bytes: x86 is little-endian
        std::memcpy(at, &integer, std::min<size_t>(element.itemSize, sizeof integer));
        return;
    }
    }
}

size_t itemOffset(const DllStructElement& element, uint32_t item) {
    return element.offset + size_t{item ? item - 1 : 0} * element.itemSize;
}

} // namespace

Variant readElement(const std::byte* data, const DllStructElement& element, uint32_t item) {
    if (item == 0 && element.wholeValue) return readWhole(data + element.offset, element);
    return readItem(data + itemOffset(element, item), element);
}

void writeElement(std::byte* data, const DllStructElement& element, uint32_t item, const Variant& value) {
    if (item == 0 && element.wholeValue) return writeWhole(data + element.offset, element, value);
    writeItem(data + itemOffset(element, item), element, value);
}

} // namespace vexil
