#include "base/file_stream.h"

#include "base/text_codec.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace vexil {

bool createParentFolders(std::wstring_view fileName) {
    std::wstring path(fileName);
    size_t cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos || cut == 0) return true;
    path.resize(cut);
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    if (!createParentFolders(path)) return false;
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

FileStream::FileStream() : buffer_(new uint8_t[kBufferSize]) {}

FileStream::~FileStream() { close(); }

bool FileStream::close() {
    bool written = flushWrites();
    if (handle_) CloseHandle(handle_);
    handle_ = nullptr;
    pending_.clear();
    fill_ = index_ = 0;
    bufferStart_ = 0;
    encoding_ = TextEncoding::None;
    bomLength_ = 0;
    mode_ = 0;
    return written;
}

bool FileStream::open(std::wstring_view name, uint32_t mode) {
    close();
    if (name.find(L'\0') != std::wstring_view::npos) { // the system would stop at the zero: another file
        SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    bool append = mode & OpenMode::Append;
    bool overwrite = mode & OpenMode::Overwrite;
    if (!append && !overwrite) mode |= OpenMode::InternalRead;
    if ((append || overwrite) && (mode & OpenMode::CreatePath) && !createParentFolders(name))
        return false;

    std::wstring path(name);
    DWORD access = GENERIC_READ;
    DWORD disposition = OPEN_EXISTING;
    if (overwrite) {
        access |= GENERIC_WRITE;
        disposition = CREATE_ALWAYS;
    } else if (append) {
        access |= GENERIC_WRITE;
        disposition = OPEN_ALWAYS;
    }
    HANDLE h = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = h;
    mode_ = mode;
    if (append && !overwrite) seek(0, FILE_END);

    if (!(mode & OpenMode::Binary) && !overwrite) detectEncoding();
    if (mode & OpenMode::InternalRead) seek(bomLength_, FILE_BEGIN);
    if ((append || overwrite) && !(mode & OpenMode::Binary)) chooseWriteEncoding();
    if (!flushWrites()) bomLength_ = 0; // a new file shows its byte-order mark at once
    return true;
}

void FileStream::detectEncoding() {
    encoding_ = statedEncoding(mode_);
    bomLength_ = 0;
    int64_t remembered = position();
    if (!moveSystemPointer(0)) return;

    DWORD got = 0;
    if (!ReadFile(handle_, buffer_.get(), kBufferSize, &got, nullptr)) got = 0;
    const uint8_t* b = buffer_.get();
    bool bomFound = false;
    for (const auto& bom : kByteOrderMarks) {
        if (got >= bom.length && std::equal(bom.bytes, bom.bytes + bom.length, b)) {
            encoding_ = bom.encoding;
            bomLength_ = bom.length;
            bomFound = true;
            break;
        }
    }
    if (!bomFound && got > 0 && encoding_ == TextEncoding::None) {
        EncodingClassifier classifier;
        classifier.feed(b, got);
        bool wholeFile = got < kBufferSize;
        if (!wholeFile && (mode_ & OpenMode::FullUtf8Check)) {
            while (ReadFile(handle_, buffer_.get(), kBufferSize, &got, nullptr) && got > 0)
                classifier.feed(buffer_.get(), got);
            wholeFile = true;
        }
        encoding_ = classifier.result(wholeFile);
    }
    moveSystemPointer(remembered);
}

void FileStream::chooseWriteEncoding() {
    if ((mode_ & OpenMode::Append) && !(mode_ & OpenMode::Overwrite) && size() > 0) return;
    struct Choice { uint32_t bit; TextEncoding encoding; bool bom; };
    static constexpr Choice kChoices[] = {
        {OpenMode::Utf16LEBom, TextEncoding::Utf16LE, true}, {OpenMode::Utf16LE, TextEncoding::Utf16LE, false},
        {OpenMode::Utf16BEBom, TextEncoding::Utf16BE, true}, {OpenMode::Utf16BE, TextEncoding::Utf16BE, false},
        {OpenMode::Ansi, TextEncoding::Ansi, false},         {OpenMode::Utf8Bom, TextEncoding::Utf8, true},
    };
    encoding_ = TextEncoding::Utf8;
    bomLength_ = 0;
    bool bom = false;
    for (const auto& c : kChoices) {
        if (mode_ & c.bit) {
            encoding_ = c.encoding;
            bom = c.bom;
            break;
        }
    }
    if (bom) {
        const ByteOrderMark* mark = bomOf(encoding_);
        if (writeBytes(mark->bytes, mark->length)) bomLength_ = mark->length;
    }
}

bool FileStream::moveSystemPointer(int64_t to) {
    LARGE_INTEGER li;
    li.QuadPart = to;
    if (!SetFilePointerEx(handle_, li, nullptr, FILE_BEGIN)) return false; // nothing moved
    fill_ = index_ = 0;
    bufferStart_ = to;
    return true;
}

bool FileStream::fillBuffer() {
    bufferStart_ += fill_;
    index_ = fill_ = 0;
    DWORD got = 0;
    if (!ReadFile(handle_, buffer_.get(), kBufferSize, &got, nullptr)) return false;
    fill_ = static_cast<int32_t>(got);
    return got > 0;
}

int FileStream::readByte() {
    if (index_ >= fill_ && !fillBuffer()) return -1;
    return buffer_[index_++];
}

int FileStream::readUnit() {
    int lo = readByte();
    if (lo < 0) return -1;
    int hi = readByte();
    if (hi < 0) return -1; // a lone trailing byte is not a character
    return encoding_ == TextEncoding::Utf16BE ? (lo << 8 | hi) : (hi << 8 | lo);
}

void FileStream::unread(int bytes) {
    if (index_ >= bytes) index_ -= bytes;
    else moveSystemPointer(position() - bytes); // the bytes straddled a refill
}

unsigned FileStream::codePage() const { return encoding_ == TextEncoding::Utf8 ? CP_UTF8 : CP_ACP; }

bool FileStream::readLine(std::wstring& line) {
    if (!handle_) return false;
    drainWrites();
    if (encoding_ == TextEncoding::Utf16LE || encoding_ == TextEncoding::Utf16BE) {
        std::wstring text;
        int c = readUnit();
        if (c < 0) return false;
        const bool bigEndian = encoding_ == TextEncoding::Utf16BE;
        for (;;) {
            if (c == L'\n') break;
            if (c == L'\r') {
                int next = readUnit();
                if (next >= 0 && next != L'\n') unread(2);
                break;
            }
            text.push_back(static_cast<wchar_t>(c));
            // Whole units inside the buffer are scanned without the per-unit calls.
            while (index_ + 1 < fill_) {
                const uint8_t* b = buffer_.get() + index_;
                wchar_t u = static_cast<wchar_t>(bigEndian ? (b[0] << 8 | b[1]) : (b[1] << 8 | b[0]));
                if (u == L'\n' || u == L'\r') break;
                text.push_back(u);
                index_ += 2;
            }
            c = readUnit();
            if (c < 0) break;
        }
        line = std::move(text);
        return true;
    }
    byteLine_.clear();
    if (index_ >= fill_ && !fillBuffer()) return false;
    for (;;) {
        const uint8_t* begin = buffer_.get() + index_;
        const uint8_t* end = buffer_.get() + fill_;
        const uint8_t* p = begin;
        while (p < end && *p != '\n' && *p != '\r') ++p;
        byteLine_.append(reinterpret_cast<const char*>(begin), static_cast<size_t>(p - begin));
        index_ += static_cast<int32_t>(p - begin);
        if (p < end) {
            ++index_;
            if (*p == '\r') {
                int next = readByte();
                if (next >= 0 && next != '\n') unread(1);
            }
            break;
        }
        if (!fillBuffer()) break;
    }
    if (std::all_of(byteLine_.begin(), byteLine_.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        line.assign(byteLine_.begin(), byteLine_.end()); // ASCII reads the same in every byte encoding
    else
        line = bytesToWide(byteLine_, codePage());
    return true;
}

bool FileStream::readChars(size_t count, std::wstring& text, size_t* unitsRead) {
    if (unitsRead) *unitsRead = 0;
    if (!handle_) return false;
    drainWrites();
    std::string bytes;
    if (encoding_ == TextEncoding::Utf16LE || encoding_ == TextEncoding::Utf16BE) {
        readBytes(count > SIZE_MAX / 2 ? SIZE_MAX : count * 2, bytes);
        size_t units = bytes.size() / 2; // a lone trailing byte is not a character
        if (units == 0) return false;
        std::wstring out(units, L'\0');
        const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
        if (encoding_ == TextEncoding::Utf16BE) {
            for (size_t i = 0; i < units; ++i) out[i] = static_cast<wchar_t>(b[2 * i] << 8 | b[2 * i + 1]);
        } else {
            for (size_t i = 0; i < units; ++i) out[i] = static_cast<wchar_t>(b[2 * i + 1] << 8 | b[2 * i]);
        }
        text = std::move(out);
        if (unitsRead) *unitsRead = units;
        return true;
    }
    if (readBytes(count, bytes) == 0) return false;
    text = bytesToWide(bytes, codePage());
    if (unitsRead) *unitsRead = bytes.size();
    return true;
}

size_t FileStream::readBytes(size_t count, std::string& bytes) {
    bytes.clear();
    if (!handle_) return 0;
    drainWrites();
    if (count > kBufferSize) {
        // Whole-file reads size their buffer once instead of growing it block by block.
        int64_t left = size() - position();
        if (left > 0) bytes.reserve(static_cast<size_t>(std::min<uint64_t>(count, static_cast<uint64_t>(left))));
    }
    while (bytes.size() < count) {
        if (index_ >= fill_ && !fillBuffer()) break;
        size_t take = std::min(count - bytes.size(), static_cast<size_t>(fill_ - index_));
        bytes.append(reinterpret_cast<const char*>(buffer_.get() + index_), take);
        index_ += static_cast<int32_t>(take);
    }
    return bytes.size();
}

bool FileStream::writeThrough(const char* data, size_t size) {
    while (size > 0) {
        DWORD piece = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
        DWORD written = 0;
        BOOL ok = WriteFile(handle_, data, piece, &written, nullptr);
        bufferStart_ += written;
        if (!ok || written != piece) return false;
        data += written;
        size -= written;
    }
    return true;
}

void FileStream::drainWrites() {
    if (pending_.empty()) return;
    if (!writeThrough(pending_.data(), pending_.size())) writeLost_ = true;
    pending_.clear();
}

bool FileStream::flushWrites() {
    drainWrites();
    return !takeWriteLost();
}

bool FileStream::writeBytes(const void* data, size_t size) {
    if (!handle_) return false;
    bool appended = appendBytes(data, size);
    return !takeWriteLost() && appended;
}

bool FileStream::appendBytes(const void* data, size_t size) {
    // The first pending byte belongs where the logical position stands, not after the read buffer.
    if (pending_.empty() && !moveSystemPointer(position())) return false;
    const char* p = static_cast<const char*>(data);
    if (pending_.size() + size <= kBufferSize) {
        if (pending_.capacity() < kBufferSize) pending_.reserve(kBufferSize);
        pending_.append(p, size);
        return true;
    }
    drainWrites();
    if (size < kBufferSize) {
        pending_.append(p, size);
        return true;
    }
    return writeThrough(p, size);
}

bool FileStream::writeText(std::wstring_view text) {
    switch (encoding_) {
    case TextEncoding::Utf16LE:
        return writeBytes(text.data(), text.size() * sizeof(wchar_t));
    case TextEncoding::Utf16BE: {
        std::vector<uint8_t> swapped(text.size() * 2);
        for (size_t i = 0; i < text.size(); ++i) {
            swapped[2 * i] = static_cast<uint8_t>(text[i] >> 8);
            swapped[2 * i + 1] = static_cast<uint8_t>(text[i]);
        }
        return writeBytes(swapped.data(), swapped.size());
    }
    default: {
        // ASCII is the same in every byte encoding: narrowed in pieces, without a conversion.
        if (std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; })) {
            char piece[4096];
            for (size_t at = 0; at < text.size(); at += sizeof piece) {
                size_t n = std::min(sizeof piece, text.size() - at);
                for (size_t i = 0; i < n; ++i) piece[i] = static_cast<char>(text[at + i]);
                if (!writeBytes(piece, n)) return false;
            }
            return true;
        }
        std::string bytes = wideToBytes(text, codePage());
        return writeBytes(bytes.data(), bytes.size());
    }
    }
}

bool FileStream::seek(int64_t offset, int origin) {
    if (!handle_) return false;
    drainWrites();
    if (origin != FILE_BEGIN && origin != FILE_CURRENT && origin != FILE_END) return false;
    int64_t base = origin == FILE_CURRENT ? position() : origin == FILE_END ? size() : 0;
    if (base < 0 || (offset > 0 && base > INT64_MAX - offset)) return false;
    int64_t target = base + offset;
    if (target < 0) return false;
    if (target >= bufferStart_ && target <= bufferStart_ + fill_) {
        index_ = static_cast<int32_t>(target - bufferStart_);
        return true;
    }
    return moveSystemPointer(target);
}

int64_t FileStream::size() const {
    LARGE_INTEGER li;
    if (!handle_ || !GetFileSizeEx(handle_, &li)) return -1;
    // Pending bytes may reach past the end the system knows.
    return pending_.empty() ? li.QuadPart : std::max<int64_t>(li.QuadPart, position());
}

bool FileStream::flush() {
    if (!handle_) return false;
    bool written = flushWrites();
    return FlushFileBuffers(handle_) && written;
}

bool FileStream::setEnd() {
    if (!handle_) return false;
    bool written = flushWrites();
    return moveSystemPointer(position()) && SetEndOfFile(handle_) && written;
}

} // namespace vexil
