// What scripts cannot see of the handle table: when buffered writes reach the disk.
#include "engine/builtins.h"
#include "library/handle_table.h"
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
