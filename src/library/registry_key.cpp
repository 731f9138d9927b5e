#include "library/registry_key.h"

#include <windows.h>

#include <cwctype>
#include <iterator>

namespace vexil {

namespace {

struct RootName {
    std::wstring_view name;
    RegistryRoot root;
};
constexpr RootName kRootNames[] = {
    {L"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine}, {L"HKLM", RegistryRoot::LocalMachine},
    {L"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},   {L"HKCR", RegistryRoot::ClassesRoot},
    {L"HKEY_CURRENT_CONFIG", RegistryRoot::CurrentConfig}, {L"HKCC", RegistryRoot::CurrentConfig},
    {L"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},   {L"HKCU", RegistryRoot::CurrentUser},
    {L"HKEY_USERS", RegistryRoot::Users},                {L"HKU", RegistryRoot::Users},
};

HKEY predefined(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentConfig: return HKEY_CURRENT_CONFIG;
    case RegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegistryRoot::Users: return HKEY_USERS;
    }
    return HKEY_LOCAL_MACHINE;
}

bool findRoot(std::wstring_view upper, RegistryRoot& root) {
    for (const RootName& candidate : kRootNames) {
        if (candidate.name == upper) {
            root = candidate.root;
            return true;
        }
    }
    return false;
}

} // namespace

bool parseRegistryKey(std::wstring_view text, RegistryKeyName& key) {
    key = RegistryKeyName{};
    if (text.size() >= 2 && text[0] == L'\\' && text[1] == L'\\') {
        text.remove_prefix(2);
        const size_t end = std::min(text.find(L'\\'), text.size());
        key.computer = L"\\\\" + std::wstring(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    const size_t end = std::min(text.find(L'\\'), text.size());
    std::wstring upper(text.substr(0, end));
    for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(c));
    if (!findRoot(upper, key.root)) {
        const bool wide = upper.ends_with(L"64"), narrow = upper.ends_with(L"32");
        if ((!wide && !narrow) || !findRoot(std::wstring_view(upper).substr(0, upper.size() - 2), key.root)) return false;
        key.view = wide ? RegistryKeyName::View::Wide64 : RegistryKeyName::View::Narrow32;
    }
    if (end < text.size()) key.subkey = text.substr(end + 1);
    while (!key.subkey.empty() && key.subkey.back() == L'\\') key.subkey.pop_back();
    return true;
}

OpenRegistryKey::~OpenRegistryKey() {
    if (key_ && key_ != root_) RegCloseKey(static_cast<HKEY>(key_));
    if (remoteRoot_) RegCloseKey(static_cast<HKEY>(root_));
}

uint32_t OpenRegistryKey::viewFlags() const {
    switch (name_.view) {
    case RegistryKeyName::View::Wide64: return KEY_WOW64_64KEY;
    case RegistryKeyName::View::Narrow32: return KEY_WOW64_32KEY;
    default: return 0;
    }
}

int OpenRegistryKey::open(std::wstring_view text, uint32_t access, bool create) {
    if (!parseRegistryKey(text, name_)) return 2;
    HKEY root = predefined(name_.root);
    if (!name_.computer.empty()) {
        HKEY remote = nullptr;
        systemError = RegConnectRegistryW(name_.computer.c_str(), root, &remote);
        if (systemError != ERROR_SUCCESS) return 3;
        root = remote;
        remoteRoot_ = true;
    }
    root_ = root;
    HKEY key = nullptr;
    const REGSAM sam = access | viewFlags();
    systemError = create ? RegCreateKeyExW(root, name_.subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, sam, nullptr,
                                           &key, nullptr)
                         : RegOpenKeyExW(root, name_.subkey.c_str(), 0, sam, &key);
    if (systemError != ERROR_SUCCESS) return 1;
    key_ = key;
    return 0;
}

} // namespace vexil
