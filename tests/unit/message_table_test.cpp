// The message table is one list read by two compilers: the C++ compiler makes the MessageId
// names of it, the resource compiler the texts loadMessage returns. These tests hold the two
// readings together.
#include "engine/errors/messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace vexil;

namespace {

struct Listed {
    int id;
    MessageId::Id name;
    const wchar_t* text;
};

// The list as C++ reads it.
constexpr Listed kListed[] = {
#define VEXIL_MESSAGE(id, name, text) {id, MessageId::name, L"" text},
#include "engine/errors/message_table.inc"
#undef VEXIL_MESSAGE
};

} // namespace

TEST(MessageTable, EveryIdLoadsTheListedText) {
    for (const Listed& m : kListed) {
        EXPECT_EQ(static_cast<int>(m.name), m.id);
        std::wstring loaded = loadMessage(m.name);
        EXPECT_FALSE(loaded.empty()) << "message " << m.id;
        EXPECT_EQ(loaded, m.text) << "message " << m.id;
    }
}

TEST(MessageTable, NoIdIsListedTwice) {
    std::vector<int> ids;
    for (const Listed& m : kListed) ids.push_back(m.id);
    std::sort(ids.begin(), ids.end());
    auto twice = std::adjacent_find(ids.begin(), ids.end());
    EXPECT_EQ(twice, ids.end()) << "message " << *twice << " is listed twice";
}

// Both readings could agree and still be wrong (a quote lost by both, say): texts with the
// escapes, against what the user must see.
TEST(MessageTable, QuotesAndLineBreaksSurvive) {
    struct Case {
        MessageId::Id id;
        const wchar_t* text;
    };
    const Case cases[] = {
        {MessageId::EndWithWithoutWith, L"\"EndWith\" missing \"With\"."},
        {MessageId::CaseWithoutSelect, L"\"Case\" statement with no matching \"Select\"or \"Switch\" statement."},
        {MessageId::MissingRightBracket, L"Missing right bracket ')' in expression."},
        {MessageId::PausedPrefix, L"(Paused) "},
    };
    for (const Case& c : cases) EXPECT_EQ(loadMessage(c.id), c.text) << c.id;
    std::wstring stack = loadMessage(MessageId::StackCorrupt);
    EXPECT_EQ(stack.substr(0, 51), L"Vexil has detected the stack has become corrupt.\n\nS");
    EXPECT_EQ(stack.back(), L'.');
}
