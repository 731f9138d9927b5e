#include "base/file_stream.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vexil;

namespace {

std::vector<std::wstring> allLines(FileStream& stream) {
    std::vector<std::wstring> lines;
    std::wstring line;
    while (stream.readLine(line)) lines.push_back(line);
    return lines;
}

std::string utf16le(const std::wstring& text) { return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2); }

std::string utf16be(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        out += static_cast<char>(c >> 8);
        out += static_cast<char>(c & 0xFF);
    }
    return out;
}

} // namespace

TEST(EncodingDetection, ReportedEncodingOfReadFiles) {
    struct Case {
        const char* what;
        std::string bytes;
        uint32_t mode;
        uint32_t reported;
        int bom;
    };
    std::string latin = "caf\xE9 au lait";
    std::string invalidLate = std::string(70000, 'a') + "\xE9 x";
    const Case cases[] = {
        {"UTF-8 BOM", "\xEF\xBB\xBFhello", 0, 128, 3},
        {"pure ASCII", "hello\r\nworld", 0, 256, 0},
        {"valid UTF-8", "caf\xC3\xA9", 0, 256, 0},
        {"UTF-16 LE without BOM", std::string("H\0i\0", 4), 0, 1024, 0},
        {"UTF-16 BE without BOM", std::string("\0H\0i", 4), 0, 2048, 0},
        {"UTF-16 LE BOM", "\xFF\xFE" + utf16le(L"hi"), 0, 32, 2},
        {"UTF-16 BE BOM", "\xFE\xFF" + utf16be(L"hi"), 0, 64, 2},
        {"Latin-1", latin, 0, 512, 0},
        {"a sequence cut off by the first block's end is valid", std::string(65534, 'a') + "\xE2\x82" "\xAC", 0, 256, 0},
        {"a sequence cut off by the end of the file is not", "abc\xE2\x82", 0, 512, 0},
        {"an ANSI letter ending the file", "caf\xE9", 0, 512, 0},
        {"empty file", "", 0, 16, 0},
        {"stated ANSI", "caf\xC3\xA9", 512, 512, 0},
        {"a BOM overrides the stated encoding", "\xFF\xFE" + utf16le(L"x"), 512, 32, 2},
        {"binary zeros", std::string(8, '\0') + "ab", 0, 512, 0},
        {"invalid byte after 64 KB, first block only", invalidLate, 0, 256, 0},
        {"invalid byte after 64 KB, whole file", invalidLate, 16384, 512, 0},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        std::wstring path = folder.write(L"detect.txt", c.bytes);
        FileStream stream;
        ASSERT_TRUE(stream.open(path, c.mode)) << c.what;
        EXPECT_EQ(reportedEncoding(stream.encoding(), stream.bomLength()), c.reported) << c.what;
        EXPECT_EQ(stream.bomLength(), c.bom) << c.what;
        EXPECT_EQ(stream.position(), c.bom) << c.what << ": reading starts after the BOM";
    }
}

TEST(FileStreamReading, LineEndsOfEveryKindAndAFinalLineWithoutEnd) {
    TempFolder folder;
    FileStream stream;
    ASSERT_TRUE(stream.open(folder.write(L"a.txt", "one\rtwo\nthree\r\n\r\nfive"), 0));
    EXPECT_EQ(allLines(stream), (std::vector<std::wstring>{L"one", L"two", L"three", L"", L"five"}));
}

TEST(FileStreamReading, FailedReadLeavesTheTextUntouched) {
    TempFolder folder;
    FileStream stream;
    ASSERT_TRUE(stream.open(folder.write(L"a.txt", "only\n"), 0));
    std::wstring line;
    ASSERT_TRUE(stream.readLine(line));
    EXPECT_FALSE(stream.readLine(line));
    EXPECT_EQ(line, L"only");
    std::wstring chars = L"kept";
    EXPECT_FALSE(stream.readChars(3, chars));
    EXPECT_EQ(chars, L"kept");
}

TEST(FileStreamReading, Utf16LinesInBothByteOrders) {
    TempFolder folder;
    std::wstring text = L"\u00fcber\r\nzwei\rdrei\n\xD83D\xDE00";
    for (const std::string& bytes : {"\xFF\xFE" + utf16le(text), "\xFE\xFF" + utf16be(text), utf16le(text)}) {
        FileStream stream;
        ASSERT_TRUE(stream.open(folder.write(L"u.txt", bytes), 0));
        EXPECT_EQ(allLines(stream), (std::vector<std::wstring>{L"\u00fcber", L"zwei", L"drei", L"\xD83D\xDE00"}));
    }
}

TEST(FileStreamReading, CrLfSplitAcrossTheBufferBoundary) {
    TempFolder folder;
    std::string bytes(FileStream::kBufferSize - 1, 'a');
    bytes += "\r\nnext\rlast";
    FileStream stream;
    ASSERT_TRUE(stream.open(folder.write(L"b.txt", bytes), 0));
    auto lines = allLines(stream);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].size(), FileStream::kBufferSize - 1);
    EXPECT_EQ(lines[1], L"next");
    EXPECT_EQ(lines[2], L"last");
}

TEST(FileStreamReading, CharactersCountUnitsOrBytes) {
    TempFolder folder;
    FileStream utf8;
    ASSERT_TRUE(utf8.open(folder.write(L"8.txt", "\xEF\xBB\xBF" "caf\xC3\xA9!"), 0));
    std::wstring text;
    ASSERT_TRUE(utf8.readChars(5, text)); // five bytes: the é is two of them
    EXPECT_EQ(text, L"caf\u00e9");
    ASSERT_TRUE(utf8.readChars(100, text));
    EXPECT_EQ(text, L"!");

    FileStream utf16;
    ASSERT_TRUE(utf16.open(folder.write(L"16.txt", "\xFF\xFE" + utf16le(L"abc")), 0));
    ASSERT_TRUE(utf16.readChars(2, text));
    EXPECT_EQ(text, L"ab");
}

TEST(FileStreamSeeking, InsideAndOutsideTheBuffer) {
    TempFolder folder;
    std::string bytes;
    for (int i = 0; i < 100000; ++i) bytes += static_cast<char>('a' + i % 26);
    FileStream stream;
    ASSERT_TRUE(stream.open(folder.write(L"s.txt", bytes), 0));
    std::string got;
    ASSERT_TRUE(stream.seek(30, FILE_BEGIN));
    stream.readBytes(3, got);
    EXPECT_EQ(got, bytes.substr(30, 3));
    ASSERT_TRUE(stream.seek(-5, FILE_END));
    stream.readBytes(10, got);
    EXPECT_EQ(got, bytes.substr(bytes.size() - 5));
    ASSERT_TRUE(stream.seek(70000, FILE_BEGIN));
    ASSERT_TRUE(stream.seek(-69990, FILE_CURRENT));
    EXPECT_EQ(stream.position(), 10);
    stream.readBytes(4, got);
    EXPECT_EQ(got, bytes.substr(10, 4));
    EXPECT_FALSE(stream.seek(-1, FILE_BEGIN));
    EXPECT_EQ(stream.size(), 100000);
}

TEST(FileStreamWriting, EachModeWritesItsEncodingAndBom) {
    struct Case {
        uint32_t mode;
        std::string expected;
    };
    std::wstring text = L"a\u00e9";
    const Case cases[] = {
        {2 | 32, "\xFF\xFE" + utf16le(text)},
        {2 | 1024, utf16le(text)},
        {2 | 64, "\xFE\xFF" + utf16be(text)},
        {2 | 2048, utf16be(text)},
        {2 | 128, "\xEF\xBB\xBF" "a\xC3\xA9"},
        {2 | 256, "a\xC3\xA9"},
        {2, "a\xC3\xA9"},
        {2 | 512, "a\xE9"},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        FileStream stream;
        ASSERT_TRUE(stream.open(folder.file(L"w.txt"), c.mode));
        ASSERT_TRUE(stream.writeText(text));
        stream.close();
        EXPECT_EQ(folder.read(L"w.txt"), c.expected) << "mode " << c.mode;
    }
}

TEST(FileStreamWriting, AppendKeepsTheEncodingOfAFileThatHasText) {
    TempFolder folder;
    folder.write(L"a.txt", "\xFF\xFE" + utf16le(L"x"));
    FileStream stream;
    ASSERT_TRUE(stream.open(folder.file(L"a.txt"), 1 | 128)); // the stated UTF-8 is ignored
    EXPECT_EQ(stream.encoding(), TextEncoding::Utf16LE);
    ASSERT_TRUE(stream.writeText(L"y"));
    stream.close();
    EXPECT_EQ(folder.read(L"a.txt"), "\xFF\xFE" + utf16le(L"xy"));

    FileStream fresh;
    ASSERT_TRUE(fresh.open(folder.file(L"new.txt"), 1 | 32)); // a new file gets the stated encoding and BOM
    ASSERT_TRUE(fresh.writeText(L"z"));
    fresh.close();
    EXPECT_EQ(folder.read(L"new.txt"), "\xFF\xFE" + utf16le(L"z"));
}

TEST(FileStreamWriting, RoundTripsInEveryEncoding) {
    TempFolder folder;
    std::wstring text = L"line one\r\nzw\u00f6lf \xD83D\xDE00\r\nlast";
    for (uint32_t mode : {32u, 64u, 128u, 256u, 1024u, 2048u}) {
        FileStream out;
        ASSERT_TRUE(out.open(folder.file(L"rt.txt"), 2 | mode));
        ASSERT_TRUE(out.writeText(text));
        out.close();
        FileStream in;
        ASSERT_TRUE(in.open(folder.file(L"rt.txt"), mode & (1024 | 2048))); // UTF-16 without BOM must be stated
        EXPECT_EQ(allLines(in), (std::vector<std::wstring>{L"line one", L"zw\u00f6lf \xD83D\xDE00", L"last"}))
            << "mode " << mode;
    }
}

TEST(FileStreamWriting, CreatesTheFolderPathWhenAsked) {
    TempFolder folder;
    FileStream stream;
    EXPECT_FALSE(stream.open(folder.file(L"x\\y\\z.txt"), 2));
    ASSERT_TRUE(stream.open(folder.file(L"x\\y\\z.txt"), 2 | 8));
    ASSERT_TRUE(stream.writeText(L"ok"));
    stream.close();
    EXPECT_EQ(folder.read(L"x\\y\\z.txt"), "ok");
}

TEST(FileStreamOpening, MissingFileFailsWithTheSystemError) {
    TempFolder folder;
    FileStream stream;
    EXPECT_FALSE(stream.open(folder.file(L"none.txt"), 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(stream.isOpen());
    std::wstring line = L"kept";
    EXPECT_FALSE(stream.readLine(line));
    EXPECT_EQ(line, L"kept");
}
