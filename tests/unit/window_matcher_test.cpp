// The window rules over plain records: descriptors, match modes, text, instances, errors.
#include "automation/descriptor_syntax.h"
#include "automation/window_descriptor.h"
#include "automation/window_record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vexil;

namespace {

// Three windows in Z order: two of class Notepad and a thumbnail that carries a title.
std::vector<WindowRecord> desktop() {
    std::vector<WindowRecord> windows(5);
    windows[0] = {0x10, L"Untitled - Notepad", L"Notepad", {0, 0, 400, 300}, {{L"first text", true}, {L"secret", false}}};
    windows[1] = {0x20, L"Report.txt - Notepad", L"Notepad", {50, 60, 250, 160}, {{L"Second;Text", true}}};
    windows[2] = {0x30, L"Untitled - Notepad", L"ThumbnailClass", {0, 0, 10, 10}, {}};
    windows[3] = {0x40, L"a;b window", L"Other", {1, 2, 3, 4}, {{L"first text", true}}, false};
    windows[4] = {0x50, L"Calculator", L"CalcFrame", {5, 5, 105, 205}, {}};
    return windows;
}

// The handles of the matching windows, or the descriptor error as a negative number.
std::vector<int64_t> find(std::wstring_view title, std::wstring_view text = L"", int32_t mode = 1, bool firstOnly = false,
                          bool hidden = false) {
    WindowQuery query;
    buildWindowQuery(title, text, mode, query);
    if (query.error != DescriptorError::None) return {-static_cast<int64_t>(query.error)};
    EXPECT_EQ(query.target, WindowTarget::Criteria) << std::string(title.begin(), title.end());
    const std::vector<WindowRecord> windows = desktop();
    std::vector<int64_t> handles;
    for (size_t at : matchRecords(query, windows, firstOnly, hidden)) handles.push_back(static_cast<int64_t>(windows[at].handle));
    return handles;
}

using Handles = std::vector<int64_t>;

} // namespace

TEST(DescriptorSyntax, KeysValuesAndDoubledSemicolons) {
    DescriptorReader reader(L"[class:Note;;pad;  TITLE:x;;;ALL;\tINSTANCE:2]");
    DescriptorProperty p;
    ASSERT_TRUE(reader.next(p));
    EXPECT_EQ(p.key, L"CLASS");
    EXPECT_EQ(p.value, L"Note;pad");
    ASSERT_TRUE(reader.next(p));
    EXPECT_EQ(p.key, L"TITLE");
    EXPECT_EQ(p.value, L"x;");
    ASSERT_TRUE(reader.next(p));
    EXPECT_EQ(p.key, L"ALL");
    EXPECT_EQ(p.value, L"");
    ASSERT_TRUE(reader.next(p));
    EXPECT_EQ(p.key, L"INSTANCE");
    EXPECT_EQ(p.value, L"2");
    EXPECT_FALSE(reader.next(p));
    EXPECT_FALSE(DescriptorReader(L"[]").next(p));
}

TEST(WindowMatcher, TitleModesAndCase) {
    EXPECT_EQ(find(L"Untitled"), (Handles{0x10})); // the thumbnail never matches by title
    EXPECT_EQ(find(L"Notepad"), Handles{});
    EXPECT_EQ(find(L"Notepad", L"", 2), (Handles{0x10, 0x20}));
    EXPECT_EQ(find(L"Untitled - Notepad", L"", 3), (Handles{0x10}));
    EXPECT_EQ(find(L"Untitled - Note", L"", 3), Handles{});
    EXPECT_EQ(find(L"NOTEPAD", L"", 2), Handles{});
    EXPECT_EQ(find(L"NOTEPAD", L"", -2), (Handles{0x10, 0x20}));
    EXPECT_EQ(find(L"calculator", L"", -3), (Handles{0x50}));
    EXPECT_EQ(find(L"", L"first", 2), (Handles{0x10})); // the hung window shows no text
}

TEST(WindowMatcher, TextVisibleHiddenAndCase) {
    EXPECT_EQ(find(L"", L"secret", 2), Handles{});
    EXPECT_EQ(find(L"", L"secret", 2, false, true), (Handles{0x10}));
    EXPECT_EQ(find(L"", L"second;text", 2), Handles{});
    EXPECT_EQ(find(L"", L"second;text", -2), (Handles{0x20}));
    EXPECT_EQ(find(L"Report", L"first"), Handles{});
}

TEST(WindowMatcher, Descriptors) {
    EXPECT_EQ(find(L"[CLASS:Notepad]"), (Handles{0x10, 0x20}));
    EXPECT_EQ(find(L"[CLASS:notepad]"), Handles{});
    EXPECT_EQ(find(L"[CLASS:Notepad; INSTANCE:2]"), (Handles{0x20}));
    EXPECT_EQ(find(L"[CLASS:Notepad; INSTANCE:3]"), Handles{});
    EXPECT_EQ(find(L"[CLASS:ThumbnailClass]"), (Handles{0x30}));
    EXPECT_EQ(find(L"[TITLE:a;;b]"), (Handles{0x40}));
    EXPECT_EQ(find(L"[REGEXPTITLE:^Untitled]"), (Handles{0x10}));
    EXPECT_EQ(find(L"[REGEXPTITLE:(?i)notepad$]"), (Handles{0x10, 0x20}));
    EXPECT_EQ(find(L"[REGEXPCLASS:^Note|Calc]"), (Handles{0x10, 0x20, 0x50}));
    EXPECT_EQ(find(L"[ALL]"), (Handles{0x10, 0x20, 0x30, 0x40, 0x50}));
    EXPECT_EQ(find(L"[ALL]", L"", 1, true), (Handles{0x10}));
    EXPECT_EQ(find(L"[X:50; Y:60]"), (Handles{0x20}));
    EXPECT_EQ(find(L"[W:200; H:100]"), (Handles{0x20}));
    EXPECT_EQ(find(L"[W:200; H:101]"), Handles{});
    EXPECT_EQ(find(L"[CLASS:Notepad; TITLE:report]", L"", -1), (Handles{0x20}));
    EXPECT_EQ(find(L"[CLASS:Notepad]", L"Text", 1, false), (Handles{0x20}));
    EXPECT_EQ(find(L"[INSTANCE:2; CLASS:Notepad]", L"", 1, true), (Handles{0x20}));
}

TEST(WindowMatcher, DescriptorErrors) {
    const struct {
        const wchar_t* title;
        int64_t error;
    } cases[] = {
        {L"[FOO:1]", -1}, {L"[ALL:1]", -1}, {L"[LAST:1]", -1}, {L"[ACTIVE:x]", -1},
        {L"[REGEXPTITLE:(]", -2}, {L"[REGEXPCLASS:[a]", -2},
        {L"[TITLE:x; REGEXPTITLE:y]", -3}, {L"[REGEXPTITLE:y; TITLE:x]", -4},
    };
    for (const auto& c : cases) EXPECT_EQ(find(c.title), (Handles{c.error})) << std::wstring(c.title).size();
}

TEST(WindowDescriptor, DirectTargets) {
    const struct {
        const wchar_t* title;
        int32_t mode;
        WindowTarget target;
        uint64_t handle;
    } cases[] = {
        {L"", 1, WindowTarget::Foreground, 0},
        {L"", 4, WindowTarget::Last, 0},
        {L"last", 4, WindowTarget::Last, 0},
        {L"Active", -4, WindowTarget::Foreground, 0},
        {L"[ACTIVE]", 2, WindowTarget::Foreground, 0},
        {L"[LAST]", 1, WindowTarget::Last, 0},
        {L"[HANDLE:1A2B]", 1, WindowTarget::Handle, 0x1A2B},
        {L"[HANDLE:0x1A2B]", 1, WindowTarget::Handle, 0},
        {L"[HANDLE:0x0000000000001A2B]", 1, WindowTarget::Handle, 0x1A2B},
        {L"[HANDLE:12G]", 1, WindowTarget::Handle, 0},
        {L"[HANDLE:11112222333344445]", 1, WindowTarget::Handle, 0},
        {L"handle=ff", 4, WindowTarget::Handle, 0xFF},
    };
    for (const auto& c : cases) {
        WindowQuery query;
        buildWindowQuery(c.title, L"", c.mode, query);
        EXPECT_EQ(query.target, c.target) << std::wstring(c.title).size();
        EXPECT_EQ(query.handle, c.handle);
    }
}

TEST(WindowDescriptor, LegacyRewriting) {
    EXPECT_EQ(legacyDescriptor(L""), L"[LAST]");
    EXPECT_EQ(legacyDescriptor(L"all"), L"[ALL]");
    EXPECT_EQ(legacyDescriptor(L"classname=Note;pad"), L"[CLASS:Note;;pad]");
    EXPECT_EQ(legacyDescriptor(L"REGEXP=^a;b"), L"[REGEXPTITLE:^a;;b]");
    EXPECT_EQ(legacyDescriptor(L"Untitled"), L"Untitled");
    EXPECT_EQ(find(L"classname=Notepad", L"", 4), (Handles{0x10, 0x20}));
    EXPECT_EQ(find(L"regexp=Report", L"", 4), (Handles{0x20}));
    EXPECT_EQ(find(L"Untitled", L"", 4), (Handles{0x10}));
    EXPECT_EQ(find(L"untitled", L"", -4), (Handles{0x10}));
}
