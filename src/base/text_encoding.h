#pragma once
// Text encodings of files, their byte-order marks, and the guess made for files without a mark.
#include <cstddef>
#include <cstdint>

namespace vexil {

// Internal codes; scripts see them as open-mode values (reportedEncoding).
enum class TextEncoding : uint8_t { None = 0, Ansi = 1, Utf8 = 2, Utf16LE = 4, Utf16BE = 8 };

// Bits of a file open mode.
namespace OpenMode {
constexpr uint32_t Read = 0;
constexpr uint32_t Append = 1;
constexpr uint32_t Overwrite = 2;
constexpr uint32_t CreatePath = 8;
constexpr uint32_t Binary = 16;
constexpr uint32_t Utf16LEBom = 32;
constexpr uint32_t Utf16BEBom = 64;
constexpr uint32_t Utf8Bom = 128;
constexpr uint32_t Utf8 = 256;
constexpr uint32_t Ansi = 512;
constexpr uint32_t Utf16LE = 1024;
constexpr uint32_t Utf16BE = 2048;
constexpr uint32_t FullUtf8Check = 16384;
constexpr uint32_t InternalRead = 0x80000000u; // added when neither append nor overwrite is asked
} // namespace OpenMode

struct ByteOrderMark {
    TextEncoding encoding;
    uint8_t length;
    uint8_t bytes[3];
};
inline constexpr ByteOrderMark kByteOrderMarks[] = {
    {TextEncoding::Utf8, 3, {0xEF, 0xBB, 0xBF}},
    {TextEncoding::Utf16BE, 2, {0xFE, 0xFF, 0}},
    {TextEncoding::Utf16LE, 2, {0xFF, 0xFE, 0}},
};

const ByteOrderMark* bomOf(TextEncoding encoding);

// The encoding an open mode states, or None.
TextEncoding statedEncoding(uint32_t mode);

// The open-mode value under which an encoding is reported to scripts.
uint32_t reportedEncoding(TextEncoding encoding, int bomLength);

// Guesses the encoding of bytes without a byte-order mark. Fed in pieces, so a whole file
// can be classified without holding it.
class EncodingClassifier {
public:
    void feed(const uint8_t* bytes, size_t count);
    // `wholeFile`: the bytes fed reach the end of the file, so a sequence cut off there is
    // invalid rather than continued in bytes not looked at.
    TextEncoding result(bool wholeFile) const;

private:
    bool utf8Valid_ = true;
    int pendingContinuations_ = 0;
    uint64_t total_ = 0;
    uint64_t zeroEven_ = 0;
    uint64_t zeroOdd_ = 0;
};

} // namespace vexil
