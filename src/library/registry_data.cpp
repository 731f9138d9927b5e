#include "library/registry_data.h"

#include "base/ascii_case.h"

#include <windows.h>

#include <cstring>

namespace vexil {

namespace {

std::wstring_view unitsOf(std::string_view bytes) {
    return {reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t)};
}

std::string bytesOf(std::wstring_view text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

template <class T>
T little(std::string_view bytes) {
    T value{};
    std::memcpy(&value, bytes.data(), std::min(bytes.size(), sizeof value));
    return value;
}

} // namespace

bool registryDataToValue(uint32_t type, std::string_view bytes, Variant& value) {
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        std::wstring_view text = unitsOf(bytes);
        // Stored with or without its terminator; the text ends at the first zero either way.
        text = text.substr(0, std::min(text.find(L'\0'), text.size()));
        value = Variant::string(WString(text));
        return true;
    }
    case REG_MULTI_SZ: {
        std::wstring_view text = unitsOf(bytes);
        while (!text.empty() && text.back() == L'\0') text.remove_suffix(1);
        // Every zero inside separates two lines, an empty one included.
        std::wstring joined(text);
        for (wchar_t& c : joined)
            if (c == L'\0') c = L'\n';
        value = Variant::string(WString(joined));
        return true;
    }
    case REG_BINARY: value = Variant::binary(std::string(bytes)); return true;
    case REG_DWORD: value = Variant::int64(little<uint32_t>(bytes)); return true;
    case REG_QWORD: value = Variant::int64(little<int64_t>(bytes)); return true;
    default: return false;
    }
}

bool valueToRegistryData(std::wstring_view typeName, const Variant& data, uint32_t& type, std::string& bytes) {
    if (sameNameAnyCase(L"reg_sz", typeName) || sameNameAnyCase(L"reg_expand_sz", typeName)) {
        type = sameNameAnyCase(L"reg_sz", typeName) ? REG_SZ : REG_EXPAND_SZ;
        std::wstring text(data.text().view());
        bytes = bytesOf(std::wstring_view(text.c_str(), text.size() + 1));
        return true;
    }
    if (sameNameAnyCase(L"reg_multi_sz", typeName)) {
        // Lines become zero-ended strings and the list ends with a second zero. An empty line
        // is kept as an empty string: it reads back as one, though a reader that stops at the
        // first empty string (as some tools do) sees only the lines before it.
        type = REG_MULTI_SZ;
        std::wstring text(data.text().view());
        for (wchar_t& c : text)
            if (c == L'\n') c = L'\0';
        if (!text.empty()) text += L'\0';
        text += L'\0';
        bytes = bytesOf(text);
        return true;
    }
    if (sameNameAnyCase(L"reg_dword", typeName)) {
        type = REG_DWORD;
        const int32_t number = data.toInt32();
        bytes.assign(reinterpret_cast<const char*>(&number), sizeof number);
        return true;
    }
    if (sameNameAnyCase(L"reg_qword", typeName)) {
        type = REG_QWORD;
        const int64_t number = data.toInt64();
        bytes.assign(reinterpret_cast<const char*>(&number), sizeof number);
        return true;
    }
    if (sameNameAnyCase(L"reg_binary", typeName)) {
        type = REG_BINARY;
        bytes = data.toBytes();
        return true;
    }
    return false;
}

} // namespace vexil
