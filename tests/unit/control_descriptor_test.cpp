// Naming controls: descriptors, class names with ordinals, ids and instances over plain records.
#include "automation/control_descriptor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vexil;

namespace {

struct ControlRecord {
    std::wstring className;
    std::wstring text;
    int32_t id;
    int32_t x, y, w, h;
    std::wstring name;
};

class RecordControlFacts final : public ControlFacts {
public:
    explicit RecordControlFacts(const ControlRecord& record) : record_(record) {}
    std::wstring_view className() override { return record_.className; }
    std::wstring_view text() override { return record_.text; }
    int32_t id() override { return record_.id; }
    void placement(int32_t& x, int32_t& y, int32_t& w, int32_t& h) override {
        x = record_.x;
        y = record_.y;
        w = record_.w;
        h = record_.h;
    }
    std::wstring_view formsName() override { return record_.name; }

private:
    const ControlRecord& record_;
};

const std::vector<ControlRecord> kControls = {
    {L"Edit", L"first", 101, 10, 10, 200, 24, L""},
    {L"Button", L"&OK", 102, 10, 40, 90, 26, L"okButton"},
    {L"Edit", L"Edit2", 103, 220, 10, 200, 60, L""},
    {L"msctls_statusbar32", L"Ready", 104, 0, 400, 560, 20, L""},
    {L"Button", L"Edit3", 105, 110, 40, 90, 26, L""},
};

// The position of the first control the descriptor names, or -1 (-2 when it names nothing).
int first(std::wstring_view descriptor) {
    ControlQuery query;
    if (!buildControlQuery(descriptor, query)) return -2;
    ControlMatcher matcher(query);
    for (size_t i = 0; i < kControls.size(); ++i) {
        RecordControlFacts facts(kControls[i]);
        if (matcher.matches(facts)) return static_cast<int>(i);
    }
    return -1;
}

} // namespace

TEST(ControlDescriptor, ClassNamesWithOrdinals) {
    EXPECT_EQ(first(L"Edit1"), 0);
    EXPECT_EQ(first(L"Edit2"), 2);
    EXPECT_EQ(first(L"Edit3"), -1); // the text fallback is the platform side's
    EXPECT_EQ(first(L"Button2"), 4);
    EXPECT_EQ(first(L"msctls_statusbar321"), 3);
    EXPECT_EQ(first(L"Edit"), -1);
    EXPECT_EQ(first(L"edit1"), -1);
    EXPECT_EQ(first(L"Edit1x"), -1);
    EXPECT_EQ(classNNText(L"msctls_statusbar32", 1), L"msctls_statusbar321");
}

TEST(ControlDescriptor, BracketedKeys) {
    const struct {
        const wchar_t* descriptor;
        int expected;
    } cases[] = {
        {L"[CLASS:Edit]", 0},
        {L"[CLASS:Edit; INSTANCE:2]", 2},
        {L"[CLASS:Edit; INSTANCE:3]", -1},
        {L"[ID:105]", 4},
        {L"[ID:105; CLASS:Edit]", 4}, // an id alone decides
        {L"[TEXT:&OK]", 1},
        {L"[TEXT:&ok]", -1},
        {L"[CLASSNN:Button1]", 1},
        {L"[REGEXPCLASS:^msctls]", 3},
        {L"[REGEXPCLASS:(?i)^button$; INSTANCE:2]", 4},
        {L"[X:220; Y:10]", 2},
        {L"[CLASS:Button; W:90; H:26; INSTANCE:2]", 4},
        {L"[NAME:okButton]", 1},
        {L"[TEXT:Edit;;x]", -1},
        {L"[FOO:1]", -2},
        {L"[REGEXPCLASS:(]", -2},
    };
    for (const auto& c : cases) EXPECT_EQ(first(c.descriptor), c.expected) << std::wstring(c.descriptor).size();
}
