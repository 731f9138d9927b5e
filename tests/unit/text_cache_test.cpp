// The cache of texts that EXECUTE compiled, which scripts see only through speed and memory: it
// holds a bounded number of texts, drops the oldest first, keeps an entry alive for whoever still
// runs it, and moves a compiled block behind existing code with every index following it.
#include "engine/eval/text_cache.h"

#include <gtest/gtest.h>

#include <string>

using namespace vexil;

namespace {

std::shared_ptr<const CompiledText> textWithRoot(int32_t root) {
    auto text = std::make_shared<CompiledText>();
    text->root = root;
    return text;
}

} // namespace

TEST(TextCache, KeepsAtMostItsCapacityAndDropsTheOldestFirst) {
    TextCache cache;
    const std::shared_ptr<const CompiledText> first = textWithRoot(0);
    cache.add(L"text 0", first);
    for (int i = 1; i < static_cast<int>(TextCache::kCapacity); ++i) cache.add(L"text " + std::to_wstring(i), textWithRoot(i));
    EXPECT_EQ(cache.find(L"text 0"), first);
    cache.add(L"one more", textWithRoot(-1));
    EXPECT_EQ(cache.find(L"text 0"), nullptr);
    EXPECT_NE(cache.find(L"text 1"), nullptr);
    EXPECT_NE(cache.find(L"one more"), nullptr);
    // Many more texts than it holds: the oldest go, the newest stay.
    for (int i = 0; i < 10000; ++i) cache.add(L"many " + std::to_wstring(i), textWithRoot(i));
    EXPECT_EQ(cache.find(L"one more"), nullptr);
    EXPECT_EQ(cache.find(L"many 9999")->root, 9999);
    const int oldestKept = 10000 - static_cast<int>(TextCache::kCapacity);
    EXPECT_NE(cache.find(L"many " + std::to_wstring(oldestKept)), nullptr);
    EXPECT_EQ(cache.find(L"many " + std::to_wstring(oldestKept - 1)), nullptr);
    // A dropped entry lives on for whoever holds it.
    EXPECT_EQ(first->root, 0);
}

TEST(TextCache, AppendedBlockKeepsItsIndicesConsistent) {
    Code code;
    code.addNode(Node{NodeKind::Constant, 0, 0, code.addConstant(Variant::int32(1)), 0, 0});
    code.lists.push_back(0);
    // The block: Conditional(7, $name, Error after 7) and a call of $name with one argument.
    Code block;
    const int32_t seven = block.addNode(Node{NodeKind::Constant, 0, 1, block.addConstant(Variant::int32(7)), 0, 0});
    const int32_t named = block.addNode(Node{NodeKind::Named, 0, 2, 42, 0, 0});
    block.lists = {seven, -1, named, -1, 5};
    const int32_t error = block.addNode(Node{NodeKind::Error, 0, 3, 0, 0, 1});
    const int32_t call = block.addNode(Node{NodeKind::ValueCall, 0, 4, named, 1, 1});
    const int32_t conditional = block.addNode(Node{NodeKind::Conditional, 0, 5, seven, named, error});

    const int32_t offset = appendRelocated(code, block);
    ASSERT_EQ(offset, 1);
    ASSERT_EQ(code.nodes.size(), 6u);
    const Node& c = code.nodes[static_cast<size_t>(conditional + offset)];
    EXPECT_EQ(c.a, seven + 1);
    EXPECT_EQ(c.b, named + 1);
    EXPECT_EQ(c.c, error + 1);
    EXPECT_EQ(code.constants[static_cast<size_t>(code.nodes[static_cast<size_t>(c.a)].a)].int32Value(), 7);
    EXPECT_EQ(code.nodes[static_cast<size_t>(c.b)].a, 42); // a name id, not an index
    const Node& e = code.nodes[static_cast<size_t>(error + offset)];
    EXPECT_EQ(e.b, 1);
    EXPECT_EQ(code.lists[static_cast<size_t>(e.b)], seven + 1);
    const Node& v = code.nodes[static_cast<size_t>(call + offset)];
    EXPECT_EQ(v.a, named + 1);
    // Three entries per argument: nodes move, -1 stays; the column after them stays as it is.
    EXPECT_EQ(code.lists[static_cast<size_t>(v.b)], -1);
    EXPECT_EQ(code.lists[static_cast<size_t>(v.b + 1)], named + 1);
    EXPECT_EQ(code.lists[static_cast<size_t>(v.b + 2)], -1);
    EXPECT_EQ(code.lists[static_cast<size_t>(v.b + 3)], 5);
}
