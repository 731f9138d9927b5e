#include "engine/front/script_container.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace vexil {

namespace {

// The first 16 signature bytes, stored masked so that this program's own image never holds the
// signature (a program without a packaged script is searched for one).
constexpr uint8_t kMaskedSignature[16] = {0x1C, 0xF7, 0x6A, 0x93, 0x08, 0xD1, 0x5E, 0xB4,
                                          0x27, 0x8C, 0x41, 0xEE, 0x73, 0x9A, 0x05, 0xC6};
constexpr uint8_t kSignatureMask = 0xA5;
constexpr uint32_t kHeaderMagic = 0x31435856; // "VXC1"
constexpr uint64_t kHeaderSeed = 0x5645584943484452ull;
constexpr size_t kHeaderSize = 16;
constexpr uint32_t kMaxNameUnits = 4096;

std::string signatureBytes() {
    std::string sig(kContainerSignatureSize, '\0');
    for (size_t i = 0; i < 16; ++i) sig[i] = static_cast<char>(kMaskedSignature[i] ^ kSignatureMask);
    std::memcpy(sig.data() + 16, kContainerMarker, 4);
    std::memcpy(sig.data() + 20, kContainerFormatTag, 4);
    return sig;
}

// xorshift64* key stream; the cipher keeps casual eyes off the script, it is not a secret.
class KeyStream {
public:
    explicit KeyStream(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {
        if (state_ == 0) state_ = 1;
    }
    void apply(char* data, size_t size) {
        for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>(data[i] ^ nextByte());
    }

private:
    uint8_t nextByte() {
        if (left_ == 0) {
            state_ ^= state_ >> 12;
            state_ ^= state_ << 25;
            state_ ^= state_ >> 27;
            word_ = state_ * 0x2545F4914F6CDD1Dull;
            left_ = 8;
        }
        --left_;
        uint8_t b = static_cast<uint8_t>(word_);
        word_ >>= 8;
        return b;
    }
    uint64_t state_;
    uint64_t word_ = 0;
    int left_ = 0;
};

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool u32(uint32_t& v) { return raw(&v, 4); }
    bool u64(uint64_t& v) { return raw(&v, 8); }
    bool raw(void* out, size_t n) {
        if (bytes_.size() - pos_ < n) return false;
        std::memcpy(out, bytes_.data() + pos_, n);
        pos_ += n;
        return true;
    }
    size_t left() const { return bytes_.size() - pos_; }

private:
    std::string_view bytes_;
    size_t pos_ = 0;
};

void putU32(std::string& out, uint32_t v) { out.append(reinterpret_cast<const char*>(&v), 4); }
void putU64(std::string& out, uint64_t v) { out.append(reinterpret_cast<const char*>(&v), 8); }

} // namespace

bool hasContainerSignature(std::string_view bytes) {
    return bytes.size() >= kContainerSignatureSize && bytes.substr(0, kContainerSignatureSize) == signatureBytes();
}

bool ScriptContainer::openBytes(std::string_view bytes) {
    close();
    if (!hasContainerSignature(bytes)) return false;
    bytes.remove_prefix(kContainerSignatureSize);
    if (bytes.size() < kHeaderSize) return false;

    std::string header(bytes.substr(0, kHeaderSize));
    KeyStream(kHeaderSeed).apply(header.data(), header.size());
    uint32_t magic, count, seed, reserved;
    Reader h(header);
    h.u32(magic), h.u32(count), h.u32(seed), h.u32(reserved);
    if (magic != kHeaderMagic) return false;

    std::string body(bytes.substr(kHeaderSize));
    KeyStream(seed).apply(body.data(), body.size());
    Reader r(body);
    std::vector<Entry> entries;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t nameUnits;
        uint64_t size;
        if (!r.u32(nameUnits) || nameUnits > kMaxNameUnits || r.left() < nameUnits * 2ull) return false;
        Entry e;
        e.name.resize(nameUnits);
        r.raw(e.name.data(), nameUnits * 2ull);
        if (!r.u64(size) || size > r.left()) return false;
        e.data.resize(size);
        r.raw(e.data.data(), size);
        entries.push_back(std::move(e));
    }
    entries_ = std::move(entries);
    open_ = true;
    return true;
}

bool ScriptContainer::open(const std::wstring& path) {
    return openResource(path) || openBySignature(path);
}

bool ScriptContainer::openResource(const std::wstring& path) {
    HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return false;
    bool ok = false;
    if (HRSRC res = FindResourceW(module, L"SCRIPT", MAKEINTRESOURCEW(10) /* RT_RCDATA */)) {
        HGLOBAL loaded = LoadResource(module, res);
        const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
        if (data) ok = openBytes(std::string_view(data, SizeofResource(module, res)));
    }
    FreeLibrary(module);
    return ok;
}

bool ScriptContainer::openBySignature(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const std::string sig = signatureBytes();
    const std::string_view wanted(sig.data(), 20); // the format tag is checked once found
    constexpr size_t kChunk = 65536, kOverlap = 20;
    std::string chunk(kChunk, '\0');
    size_t kept = 0;
    int64_t chunkStart = 0; // file offset of chunk[0]
    int64_t found = -1;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, chunk.data() + kept, static_cast<DWORD>(kChunk - kept), &got, nullptr) || got == 0) break;
        std::string_view view(chunk.data(), kept + got);
        size_t at = view.find(wanted);
        if (at != std::string_view::npos) {
            found = chunkStart + static_cast<int64_t>(at);
            break;
        }
        size_t keep = std::min(kOverlap, view.size());
        std::memmove(chunk.data(), view.data() + view.size() - keep, keep);
        chunkStart += static_cast<int64_t>(view.size() - keep);
        kept = keep;
    }
    bool ok = false;
    LARGE_INTEGER size, to;
    if (found >= 0 && GetFileSizeEx(file, &size)) {
        to.QuadPart = found;
        std::string rest(static_cast<size_t>(size.QuadPart - found), '\0');
        DWORD got = 0;
        if (SetFilePointerEx(file, to, nullptr, FILE_BEGIN) && rest.size() < (1ull << 31) &&
            ReadFile(file, rest.data(), static_cast<DWORD>(rest.size()), &got, nullptr)) {
            rest.resize(got);
            ok = openBytes(rest);
        }
    }
    CloseHandle(file);
    return ok;
}

const std::string* ScriptContainer::find(std::wstring_view name) const {
    for (const auto& e : entries_)
        if (e.name == name) return &e.data;
    return nullptr;
}

std::string buildContainer(const std::vector<std::pair<std::wstring, std::string>>& entries, uint32_t seed) {
    std::string header;
    putU32(header, kHeaderMagic);
    putU32(header, static_cast<uint32_t>(entries.size()));
    putU32(header, seed);
    putU32(header, 0);
    KeyStream(kHeaderSeed).apply(header.data(), header.size());

    std::string body;
    for (const auto& [name, data] : entries) {
        putU32(body, static_cast<uint32_t>(name.size()));
        body.append(reinterpret_cast<const char*>(name.data()), name.size() * 2);
        putU64(body, data.size());
        body += data;
    }
    KeyStream(seed).apply(body.data(), body.size());
    return signatureBytes() + header + body;
}

} // namespace vexil
