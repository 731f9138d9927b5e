// REGREAD, REGWRITE, REGDELETE, REGENUMKEY and REGENUMVAL.
#include "engine/builtins/builtin_api.h"
#include "library/registry_data.h"
#include "library/registry_key.h"

#include <windows.h>

namespace vexil {

namespace {

HKEY hkey(const OpenRegistryKey& key) { return static_cast<HKEY>(key.handle()); }

// Opens the key of argument 0; on failure sets @ERROR (and @EXTENDED) and returns false.
bool openKey(BuiltinContext& context, BuiltinArgs args, OpenRegistryKey& key, REGSAM access, bool create = false) {
    const int error = key.open(args[0].text().view(), access, create);
    if (error == 0) return true;
    context.setError(error);
    if (error != 2) context.setExtended(Variant::int32(static_cast<int32_t>(key.systemError)));
    return false;
}

int failWith(BuiltinContext& context, int32_t error, long systemError) {
    context.setError(error);
    context.setExtended(Variant::int32(static_cast<int32_t>(systemError)));
    return 0;
}

// A value's type and bytes, read whole however long it is. `found` tells a value that could not
// be queried at all from one whose data could not be read.
LONG queryValue(HKEY key, const wchar_t* name, DWORD& type, std::string& bytes, bool& found) {
    DWORD size = 0;
    LONG status = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
    found = status == ERROR_SUCCESS || status == ERROR_MORE_DATA;
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        bytes.assign(size, '\0');
        DWORD got = size;
        status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &got);
        if (status == ERROR_SUCCESS) {
            bytes.resize(got);
            return status;
        }
        size = got > size ? got : size * 2 + 2; // the value grew meanwhile
    }
    return status;
}

// Deletes the subkeys of `key` and their subkeys, then `subkey` of `parent` itself.
LONG deleteTree(HKEY parent, const std::wstring& subkey, REGSAM view) {
    HKEY key = nullptr;
    LONG status = RegOpenKeyExW(parent, subkey.c_str(), 0, KEY_ALL_ACCESS | view, &key);
    if (status != ERROR_SUCCESS) return status;
    std::wstring child(16384, L'\0');
    for (;;) {
        DWORD length = static_cast<DWORD>(child.size());
        status = RegEnumKeyExW(key, 0, child.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS) break;
        status = deleteTree(key, child.substr(0, length), view);
        if (status != ERROR_SUCCESS) break;
    }
    RegCloseKey(key);
    if (status != ERROR_NO_MORE_ITEMS) return status;
    return RegDeleteKeyExW(parent, subkey.c_str(), view, 0);
}

// The longest subkey or value name of a key, so that no name is too long for the buffer.
DWORD longestName(HKEY key, bool values) {
    DWORD subkeyLength = 0, valueLength = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &subkeyLength, nullptr, nullptr, &valueLength, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return 16383;
    return (values ? valueLength : subkeyLength) + 1;
}

int enumerate(BuiltinContext& context, BuiltinArgs args, Variant& result, bool values) {
    result = Variant::string(WString());
    OpenRegistryKey key;
    if (!openKey(context, args, key, KEY_READ)) return 0;
    const int32_t instance = args[1].toInt32();
    if (instance < 1) return context.fail(-1);
    std::wstring name(longestName(hkey(key), values) + 1, L'\0');
    DWORD length = static_cast<DWORD>(name.size()), type = 0;
    const LONG status = values ? RegEnumValueW(hkey(key), static_cast<DWORD>(instance - 1), name.data(), &length, nullptr,
                                               &type, nullptr, nullptr)
                               : RegEnumKeyExW(hkey(key), static_cast<DWORD>(instance - 1), name.data(), &length, nullptr,
                                               nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) return context.fail(-1);
    name.resize(length);
    result = Variant::string(WString(name));
    if (values) context.setExtended(Variant::int32(static_cast<int32_t>(type)));
    return 0;
}

} // namespace

int builtinRegRead(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = Variant::string(WString());
    OpenRegistryKey key;
    if (!openKey(context, args, key, KEY_READ)) return 0;
    const std::wstring name(args[1].text().view());
    DWORD type = 0;
    std::string bytes;
    bool found = false;
    if (const LONG status = queryValue(hkey(key), name.c_str(), type, bytes, found); status != ERROR_SUCCESS)
        return failWith(context, found ? -2 : -1, status);
    context.setExtended(Variant::int32(static_cast<int32_t>(type)));
    if (!registryDataToValue(type, bytes, result)) {
        result = Variant::string(WString());
        context.setError(-2);
    }
    return 0;
}

int builtinRegWrite(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = Variant::int32(0);
    if (context.fenced()) return context.fail(1); // the fuzzer's scripts leave the registry alone
    OpenRegistryKey key;
    if (!openKey(context, args, key, KEY_WRITE, true)) return 0;
    if (args.size() == 1) {
        result = Variant::int32(1);
        return 0;
    }
    const std::wstring name(args[1].text().view());
    uint32_t type = 0;
    std::string bytes;
    // An unknown type writes nothing, and says so.
    if (args.size() < 4 || !valueToRegistryData(args[2].text().view(), args[3], type, bytes)) return context.fail(-1);
    const LONG status = RegSetValueExW(hkey(key), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                       static_cast<DWORD>(bytes.size()));
    if (status != ERROR_SUCCESS) {
        context.setExtended(Variant::int32(static_cast<int32_t>(status)));
        return 0;
    }
    result = Variant::int32(1);
    return 0;
}

int builtinRegDelete(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = Variant::int32(0);
    if (context.fenced()) return context.fail(1);
    OpenRegistryKey key;
    if (!openKey(context, args, key, KEY_ALL_ACCESS)) {
        if (key.systemError != ERROR_FILE_NOT_FOUND && key.systemError != ERROR_SUCCESS) result = Variant::int32(2);
        return 0;
    }
    if (args.size() == 1) {
        // A root key or an empty subkey would take every key of the hive with it.
        if (key.name().subkey.empty()) {
            result = Variant::int32(2);
            return failWith(context, -2, ERROR_ACCESS_DENIED);
        }
        const LONG status = deleteTree(static_cast<HKEY>(key.rootHandle()), key.name().subkey, key.viewFlags());
        if (status != ERROR_SUCCESS) {
            result = Variant::int32(2);
            return failWith(context, -2, status);
        }
        result = Variant::int32(1);
        return 0;
    }
    const std::wstring name(args[1].text().view());
    const LONG status = RegDeleteValueW(hkey(key), name.c_str());
    if (status == ERROR_FILE_NOT_FOUND) return 0;
    if (status != ERROR_SUCCESS) {
        result = Variant::int32(2);
        return failWith(context, -2, status);
    }
    result = Variant::int32(1);
    return 0;
}

int builtinRegEnumKey(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return enumerate(context, args, result, false);
}

int builtinRegEnumVal(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    return enumerate(context, args, result, true);
}

} // namespace vexil
