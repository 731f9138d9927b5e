// What scripts cannot see of the handle table: when buffered writes reach the disk.
#include "engine/builtins/builtins.h"
#include "engine/builtins/handle_table.h"
#include "engine/values/value.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

using namespace vexil;

namespace {

FileStream* openWithPendingText(HandleTable& table, const std::wstring& path) {
    auto stream = std::make_unique<FileStream>();
    if (!stream->open(path, OpenMode::Overwrite)) return nullptr;
    FileStream* raw = stream.get();
    table.add(std::move(stream));
    raw->writeText(L"pending");
    table.noteWrite(*raw);
    return raw;
}

} // namespace

TEST(HandleTable, ComputingBuiltinsKeepTheBufferOthersFlushIt) {
    TempFolder folder;
    HandleTable table;
    ASSERT_TRUE(openWithPendingText(table, folder.file(L"a.txt")));
    for (const wchar_t* pure : {L"STRINGLEN", L"ABS", L"FILEWRITELINE", L"FILEGETPOS"}) {
        table.beforeBuiltin(findBuiltin(pure));
        EXPECT_EQ(folder.read(L"a.txt"), "") << "after " << pure;
    }
    for (const wchar_t* other : {L"MSGBOX", L"RUN", L"CONSOLEWRITE", L"FILEREAD", L"FILECOPY"}) {
        FileStream* s = openWithPendingText(table, folder.file(L"b.txt"));
        ASSERT_TRUE(s);
        table.beforeBuiltin(findBuiltin(other));
        EXPECT_EQ(folder.read(L"b.txt"), "pending") << "before " << other;
        EXPECT_EQ(folder.read(L"a.txt"), "pending") << "every stream, before " << other;
    }
}

TEST(HandleTable, FilesLeftOpenAreWrittenOutWhenTheTableGoes) {
    TempFolder folder;
    {
        HandleTable table;
        ASSERT_TRUE(openWithPendingText(table, folder.file(L"left.txt")));
        EXPECT_EQ(folder.read(L"left.txt"), "");
    }
    EXPECT_EQ(folder.read(L"left.txt"), "pending");
}

TEST(HandleTable, SearchesShareTheNumbersButAreNoStreams) {
    TempFolder folder;
    folder.write(L"x.txt", "x");
    HandleTable table;
    auto search = std::make_unique<FileSearch>();
    WIN32_FIND_DATAW found;
    search->find = FindFirstFileW(folder.file(L"*").c_str(), &found);
    ASSERT_NE(search->find, INVALID_HANDLE_VALUE);
    int s = table.add(std::move(search));
    auto stream = std::make_unique<FileStream>();
    ASSERT_TRUE(stream->open(folder.file(L"x.txt"), OpenMode::Read));
    int f = table.add(std::move(stream));
    EXPECT_EQ(s, 1);
    EXPECT_EQ(f, 2);
    EXPECT_EQ(table.stream(Variant::int32(s)), nullptr);
    EXPECT_EQ(table.search(Variant::int32(f)), nullptr);
    EXPECT_NE(table.search(Variant::real(1.0)), nullptr);
    EXPECT_EQ(table.close(Variant::int32(s)), HandleTable::CloseResult::Closed);
    EXPECT_EQ(table.close(Variant::int32(s)), HandleTable::CloseResult::Invalid);
    EXPECT_EQ(table.stream(Variant::int32(f))->size(), 1);
}
