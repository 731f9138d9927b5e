#include "base/text_encoding.h"

namespace vexil {

const ByteOrderMark* bomOf(TextEncoding encoding) {
    for (const auto& bom : kByteOrderMarks)
        if (bom.encoding == encoding) return &bom;
    return nullptr;
}

TextEncoding statedEncoding(uint32_t mode) {
    if (mode & OpenMode::Ansi) return TextEncoding::Ansi;
    if (mode & (OpenMode::Utf8Bom | OpenMode::Utf8)) return TextEncoding::Utf8;
    if (mode & (OpenMode::Utf16LEBom | OpenMode::Utf16LE)) return TextEncoding::Utf16LE;
    if (mode & (OpenMode::Utf16BEBom | OpenMode::Utf16BE)) return TextEncoding::Utf16BE;
    return TextEncoding::None;
}

uint32_t reportedEncoding(TextEncoding encoding, int bomLength) {
    bool bom = bomLength > 0;
    switch (encoding) {
    case TextEncoding::Ansi: return OpenMode::Ansi;
    case TextEncoding::Utf8: return bom ? OpenMode::Utf8Bom : OpenMode::Utf8;
    case TextEncoding::Utf16LE: return bom ? OpenMode::Utf16LEBom : OpenMode::Utf16LE;
    case TextEncoding::Utf16BE: return bom ? OpenMode::Utf16BEBom : OpenMode::Utf16BE;
    case TextEncoding::None: break;
    }
    return OpenMode::Binary;
}

void EncodingClassifier::feed(const uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i, ++total_) {
        uint8_t b = bytes[i];
        if (b == 0) {
            ((total_ & 1) ? zeroOdd_ : zeroEven_) += 1;
            utf8Valid_ = false;
            continue;
        }
        if (!utf8Valid_) continue;
        if (pendingContinuations_ > 0) {
            if (b < 0x80 || b > 0xBF) utf8Valid_ = false;
            else --pendingContinuations_;
        } else if (b >= 0x80) {
            if (b >= 0xC2 && b <= 0xDF) pendingContinuations_ = 1;
            else if (b >= 0xE0 && b <= 0xEF) pendingContinuations_ = 2;
            else if (b >= 0xF0 && b <= 0xF4) pendingContinuations_ = 3;
            else utf8Valid_ = false;
        }
    }
}

TextEncoding EncodingClassifier::result(bool wholeFile) const {
    // A sequence cut off by the end of a block still counts as valid UTF-8; one cut off by the
    // end of the file is a single-byte text's last character (an ANSI é, say).
    if (utf8Valid_ && !(wholeFile && pendingContinuations_ > 0)) return TextEncoding::Utf8;
    double n = static_cast<double>(total_);
    double even = 2.0 * static_cast<double>(zeroEven_) / n;
    double odd = 2.0 * static_cast<double>(zeroOdd_) / n;
    if (even < 0.2 && odd > 0.6) return TextEncoding::Utf16LE;
    if (odd < 0.2 && even > 0.6) return TextEncoding::Utf16BE;
    return TextEncoding::Ansi;
}

} // namespace vexil
