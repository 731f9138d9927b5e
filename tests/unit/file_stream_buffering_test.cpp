// Buffered writes mixed with reads and seeks must leave the file, positions and reads exactly as
// unbuffered ones would; checked against an in-memory model of the file.
#include "base/file_stream.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace vexil;

TEST(FileStreamBuffering, RandomWritesReadsAndSeeksMatchAModel) {
    TempFolder folder;
    FileStream stream;
    ASSERT_TRUE(stream.open(folder.file(L"model.bin"), OpenMode::Overwrite | OpenMode::Binary));
    std::string model;
    int64_t at = 0;
    std::mt19937 random(12345);
    auto below = [&](size_t n) { return static_cast<size_t>(random() % n); };
    for (int step = 0; step < 600; ++step) {
        switch (below(4)) {
        case 0:
        case 1: { // writes: mostly small, sometimes larger than the buffer
            size_t size = below(10) == 0 ? FileStream::kBufferSize + below(3 * FileStream::kBufferSize) : below(3000);
            std::string bytes(size, '\0');
            for (char& c : bytes) c = static_cast<char>('a' + below(26));
            ASSERT_TRUE(stream.writeBytes(bytes.data(), bytes.size()));
            if (model.size() < static_cast<size_t>(at) + size) model.resize(static_cast<size_t>(at) + size, '\0');
            model.replace(static_cast<size_t>(at), size, bytes);
            at += static_cast<int64_t>(size);
            break;
        }
        case 2: { // reads
            std::string got;
            size_t want = below(5000);
            stream.readBytes(want, got);
            size_t expected = at < static_cast<int64_t>(model.size()) ? std::min(want, model.size() - static_cast<size_t>(at)) : 0;
            ASSERT_EQ(got, model.substr(std::min(static_cast<size_t>(at), model.size()), expected)) << "step " << step;
            at += static_cast<int64_t>(expected);
            break;
        }
        default: { // seeks from each origin, sometimes past the end
            int origin = static_cast<int>(below(3));
            int64_t size = static_cast<int64_t>(model.size());
            int64_t target = static_cast<int64_t>(below(static_cast<size_t>(size + 100)));
            int64_t offset = origin == FILE_BEGIN ? target : origin == FILE_CURRENT ? target - at : target - size;
            ASSERT_TRUE(stream.seek(offset, origin));
            at = target;
            break;
        }
        }
        ASSERT_EQ(stream.position(), at) << "step " << step;
        ASSERT_EQ(stream.size(), static_cast<int64_t>(model.size())) << "step " << step;
    }
    ASSERT_TRUE(stream.close());
    EXPECT_EQ(folder.read(L"model.bin"), model);
}

TEST(FileStreamBuffering, TextWaitsInTheBufferUntilFlushedOrClosed) {
    TempFolder folder;
    FileStream stream;
    ASSERT_TRUE(stream.open(folder.file(L"wait.txt"), OpenMode::Overwrite | OpenMode::Utf16LEBom));
    EXPECT_EQ(folder.read(L"wait.txt"), "\xFF\xFE") << "the mark is written at once";
    ASSERT_TRUE(stream.writeText(L"ab"));
    EXPECT_TRUE(stream.hasPendingWrites());
    EXPECT_EQ(stream.position(), 6);
    ASSERT_TRUE(stream.flushWrites());
    EXPECT_EQ(folder.read(L"wait.txt"), std::string("\xFF\xFE" "a\0b\0", 6));
    ASSERT_TRUE(stream.writeText(L"c"));
    ASSERT_TRUE(stream.close());
    EXPECT_EQ(folder.read(L"wait.txt"), std::string("\xFF\xFE" "a\0b\0c\0", 8));
}

TEST(FileStreamBuffering, ALostWriteIsReportedOnceByTheNextWriteFlushOrClose) {
    TempFolder folder;
    std::wstring path = folder.write(L"far.txt", "0123456789");
    FileStream stream;
    ASSERT_TRUE(stream.open(path, OpenMode::Append | OpenMode::Binary));
    // The test area's file system (ext4) ends files just below 16 TB: a write reaching over that
    // fails when it goes out (the file stays sparse and the folder is removed).
    const int64_t nearTheLimit = (int64_t{1} << 44) - 4097;
    ASSERT_TRUE(stream.seek(nearTheLimit, FILE_BEGIN));
    ASSERT_TRUE(stream.writeBytes("ab", 2)) << "only buffered so far";
    stream.drainWrites(); // as the handle table does before another built-in
    EXPECT_FALSE(stream.writeBytes("cd", 2)) << "the next write reports the loss";
    EXPECT_FALSE(stream.flush()) << "and so does a flush, for the loss of cd";
    EXPECT_TRUE(stream.flushWrites()) << "reported once";
    ASSERT_TRUE(stream.writeBytes("ef", 2));
    EXPECT_FALSE(stream.close());
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    char head[10] = {};
    DWORD got = 0;
    ReadFile(h, head, sizeof head, &got, nullptr);
    CloseHandle(h);
    EXPECT_EQ(std::string(head, got), "0123456789") << "earlier content intact";
}
