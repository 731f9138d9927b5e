#pragma once
// A buffered file stream: open modes, encodings and byte-order marks, lines and characters.
// All script-visible file I/O and the script loader read and write through it.
#include "library/text_encoding.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vexil {

class FileStream {
public:
    static constexpr size_t kBufferSize = 65536;

    FileStream();
    ~FileStream();
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    // Opens (closing anything held before); false when the system refuses, GetLastError tells why.
    bool open(std::wstring_view name, uint32_t mode);
    void close();
    bool isOpen() const { return handle_ != nullptr; }

    // Lines end at LF, CR or CR LF; false at the end of the file, leaving `line` untouched.
    bool readLine(std::wstring& line);
    // Up to `count` characters: code units for UTF-16, bytes (then decoded) otherwise.
    bool readChars(size_t count, std::wstring& text);
    // Up to `count` raw bytes; returns how many were read.
    size_t readBytes(size_t count, std::string& bytes);

    bool writeText(std::wstring_view text);
    bool writeBytes(const void* data, size_t size);

    // origin: FILE_BEGIN, FILE_CURRENT or FILE_END.
    bool seek(int64_t offset, int origin);
    int64_t position() const { return bufferStart_ + index_; }
    int64_t size() const;
    bool flush();

    uint32_t mode() const { return mode_; }
    TextEncoding encoding() const { return encoding_; }
    int bomLength() const { return bomLength_; }
    void* nativeHandle() const { return handle_; }

private:
    void detectEncoding();
    void chooseWriteEncoding();
    bool fillBuffer();
    int readByte();  // -1 at the end
    int readUnit();  // UTF-16 code unit, -1 at the end
    void unread(int bytes);
    bool moveSystemPointer(int64_t to);
    unsigned codePage() const;

    void* handle_ = nullptr;
    std::unique_ptr<uint8_t[]> buffer_;
    int32_t fill_ = 0;        // bytes in the buffer
    int32_t index_ = 0;       // next byte to deliver
    int64_t bufferStart_ = 0; // file offset of buffer_[0]; the system pointer stands at bufferStart_ + fill_
    uint32_t mode_ = 0;
    TextEncoding encoding_ = TextEncoding::None;
    int bomLength_ = 0;
    std::string byteLine_; // scratch for byte-encoded lines
};

} // namespace vexil
