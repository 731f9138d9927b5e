#pragma once
// The enciphered container that packages a script: the "SCRIPT" resource of a program, or a
// compiled-script file, or any file that holds the container's signature.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vexil {

inline constexpr std::wstring_view kScriptEntryName = L">>>VEXIL SCRIPT<<<";
inline constexpr std::wstring_view kNoCmdExecuteEntryName = L">>>VEXIL NO CMDEXECUTE<<<";

class ScriptContainer {
public:
    // A program file's "SCRIPT" resource, else the first signature anywhere in the file.
    bool open(const std::wstring& path);
    // A container held in memory, starting with its signature.
    bool openBytes(std::string_view bytes);
    void close() { entries_.clear(); open_ = false; }
    bool isOpen() const { return open_; }

    // The entry's bytes, or nullptr.
    const std::string* find(std::wstring_view name) const;

private:
    bool openResource(const std::wstring& path);
    bool openBySignature(const std::wstring& path);

    struct Entry {
        std::wstring name;
        std::string data;
    };
    std::vector<Entry> entries_;
    bool open_ = false;
};

// Bytes at offset 16 of a container and of a compiled-script file: "VX3!" then the format tag.
inline constexpr char kContainerMarker[] = "VX3!";
inline constexpr char kContainerFormatTag[] = "EA06";
constexpr size_t kContainerSignatureSize = 24; // 16 signature bytes, marker, format tag

// True when `bytes` (at least 24) start like a container.
bool hasContainerSignature(std::string_view bytes);

// Builds a container holding the entries, in order.
std::string buildContainer(const std::vector<std::pair<std::wstring, std::string>>& entries, uint32_t seed);

} // namespace vexil
