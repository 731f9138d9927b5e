#pragma once
// A buffered file stream: open modes, encodings and byte-order marks, lines and characters.
// All script-visible file I/O and the script loader read and write through it.
#include "base/text_encoding.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace vexil {

// Creates the folders of a file name's path that do not exist yet; false when one cannot be made.
bool createParentFolders(std::wstring_view fileName);

class FileStream {
public:
    static constexpr size_t kBufferSize = 65536;

    FileStream();
    ~FileStream();
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    // Opens (closing anything held before); false when the system refuses, GetLastError tells why.
    bool open(std::wstring_view name, uint32_t mode);
    // False when text still waiting in the write buffer could not be written.
    bool close();
    bool isOpen() const { return handle_ != nullptr; }
    bool writable() const { return (mode_ & (OpenMode::Append | OpenMode::Overwrite)) != 0; }
    bool openedForReading() const { return (mode_ & OpenMode::InternalRead) != 0; }

    // Lines end at LF, CR or CR LF; false at the end of the file, leaving `line` untouched.
    bool readLine(std::wstring& line);
    // Up to `count` characters: code units for UTF-16, bytes (then decoded) otherwise. `unitsRead`
    // receives how many code units or bytes were consumed.
    bool readChars(size_t count, std::wstring& text, size_t* unitsRead = nullptr);
    // Up to `count` raw bytes; returns how many were read.
    size_t readBytes(size_t count, std::string& bytes);

    // Writes are gathered in a buffer and reach the system when it fills, before any read or seek,
    // and at flushWrites, flush and close; false when bytes could not be written. Bytes lost in a
    // flush nobody asked about are reported by the next writeText, writeBytes, flush or close.
    bool writeText(std::wstring_view text);
    bool writeBytes(const void* data, size_t size);
    bool flushWrites();
    // Hands the buffer to the system without reporting; a loss waits for the next report.
    void drainWrites();
    bool hasPendingWrites() const { return !pending_.empty(); }

    // origin: FILE_BEGIN, FILE_CURRENT or FILE_END.
    bool seek(int64_t offset, int origin);
    int64_t position() const { return bufferStart_ + index_ + static_cast<int64_t>(pending_.size()); }
    int64_t size() const;
    // Pending writes, then the system's own buffers.
    bool flush();
    // Cuts the file at the current position.
    bool setEnd();

    uint32_t mode() const { return mode_; }
    TextEncoding encoding() const { return encoding_; }
    int bomLength() const { return bomLength_; }

private:
    void detectEncoding();
    void chooseWriteEncoding();
    bool fillBuffer();
    int readByte();  // -1 at the end
    int readUnit();  // UTF-16 code unit, -1 at the end
    void unread(int bytes);
    bool moveSystemPointer(int64_t to);
    bool writeThrough(const char* data, size_t size);
    bool appendBytes(const void* data, size_t size);
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
    // Bytes written but not yet handed to the system; while there are any the read buffer is empty
    // and they belong at bufferStart_, where the system pointer stands.
    std::string pending_;
    bool writeLost_ = false;
    bool takeWriteLost() { return std::exchange(writeLost_, false); }
};

} // namespace vexil
