#pragma once
// Registry key texts: "[\\computer\]ROOT[64|32][\subkey]", parsed as plain logic, and opened.
#include <cstdint>
#include <string>
#include <string_view>

namespace vexil {

enum class RegistryRoot : uint8_t { LocalMachine, ClassesRoot, CurrentConfig, CurrentUser, Users };

struct RegistryKeyName {
    std::wstring computer; // empty for this computer
    RegistryRoot root = RegistryRoot::LocalMachine;
    // Which view of a 64-bit system's registry: a root written with "64" or "32" after it.
    enum class View : uint8_t { Default, Wide64, Narrow32 } view = View::Default;
    std::wstring subkey; // without trailing backslashes; empty for the root itself
};

// False when the root is none of the known names.
bool parseRegistryKey(std::wstring_view text, RegistryKeyName& key);

// An open key, closed with its holder.
class OpenRegistryKey {
public:
    OpenRegistryKey() = default;
    OpenRegistryKey(const OpenRegistryKey&) = delete;
    OpenRegistryKey& operator=(const OpenRegistryKey&) = delete;
    ~OpenRegistryKey();

    // The script's error codes: 0 opened; 1 the key cannot be opened or created; 2 unknown root;
    // 3 the remote registry cannot be reached. `systemError` holds the platform's code.
    int open(std::wstring_view text, uint32_t access, bool create);
    void* handle() const { return key_; }
    // The handle of the root (remote or local) and the subkey, for deleting a whole tree.
    void* rootHandle() const { return root_; }
    const RegistryKeyName& name() const { return name_; }
    uint32_t viewFlags() const;
    long systemError = 0;

private:
    RegistryKeyName name_;
    void* root_ = nullptr;
    bool remoteRoot_ = false;
    void* key_ = nullptr;
};

} // namespace vexil
