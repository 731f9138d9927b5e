#include "interop/struct_definition.h"

#include "interop/struct_element_types.h"

#include <algorithm>
#include <utility>

namespace vexil {

namespace {

using Error = StructDefinitionError;

constexpr uint32_t kDefaultAlignment = 8;

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

uint64_t roundUp(uint64_t value, uint32_t multiple) { return (value + multiple - 1) / multiple * multiple; }

// One element as written: "type [name] [[count]]".
struct ElementText {
    std::wstring_view type;
    std::wstring_view name;
    bool counted = false;
    uint64_t count = 1; // past kMaxStructSize it stays just above it
    std::wstring_view rest;
};

Error splitElement(std::wstring_view text, ElementText& out) {
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && isBlank(text[i])) ++i;
    };
    auto word = [&] {
        const size_t start = i;
        while (i < text.size() && !isBlank(text[i]) && text[i] != L'[' && text[i] != L']') ++i;
        return text.substr(start, i - start);
    };
    skipBlanks();
    out.type = word();
    skipBlanks();
    out.name = word();
    skipBlanks();
    if (i < text.size() && text[i] == L'[') {
        ++i;
        skipBlanks();
        out.counted = true;
        out.count = 0;
        const size_t digits = i;
        for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
            out.count = std::min<uint64_t>(out.count * 10 + static_cast<uint64_t>(text[i] - L'0'), kMaxStructSize + 1);
        skipBlanks();
        if (i == digits || out.count < 1 || i == text.size() || text[i] != L']') return Error::BadElement;
        ++i;
        skipBlanks();
    }
    out.rest = text.substr(i);
    return Error::None;
}

// "align" takes 1, 2, 4, 8 or 16, or nothing for 8; 0 for anything else.
uint32_t alignmentOf(std::wstring_view number) {
    if (number.empty()) return kDefaultAlignment;
    constexpr std::pair<std::wstring_view, uint32_t> kAlignments[] = {{L"1", 1}, {L"2", 2}, {L"4", 4}, {L"8", 8}, {L"16", 16}};
    for (const auto& [text, value] : kAlignments)
        if (number == text) return value;
    return 0;
}

// Elements are placed relative to the structure they are written in; each nested structure is
// placed in its parent once it is closed, and the offsets are made absolute at the end, so that
// deep nesting costs no moving of what it holds.
class StructBuilder {
public:
    Error add(const StructElementType& type, const ElementText& text) {
        switch (type.word) {
        case StructWord::Data: return addData(type, text);
        case StructWord::Align:
            alignment_ = text.counted ? 0 : alignmentOf(text.name);
            return alignment_ ? Error::None : Error::BadElement;
        case StructWord::Open:
            if (!text.name.empty() || text.counted) return Error::BadElement;
            blocks_.push_back({open_.back().block, 0});
            open_.push_back({blocks_.size() - 1, 0, 1});
            return Error::None;
        case StructWord::Close:
            if (!text.name.empty() || text.counted || open_.size() == 1) return Error::BadElement;
            return closeBlock();
        }
        return Error::BadElement;
    }

    StructLayout finish() {
        StructLayout layout;
        if (open_.size() != 1 || elements_.empty()) {
            layout.error = Error::BadElement;
            return layout;
        }
        const uint64_t size = roundUp(open_.back().offset, open_.back().requirement);
        if (size > kMaxStructSize) {
            layout.error = Error::BadElement;
            return layout;
        }
        std::vector<uint64_t> absolute(blocks_.size(), 0);
        for (size_t b = 1; b < blocks_.size(); ++b) absolute[b] = absolute[blocks_[b].parent] + blocks_[b].start;
        for (size_t e = 0; e < elements_.size(); ++e)
            elements_[e].offset += static_cast<uint32_t>(absolute[elementBlocks_[e]]);
        layout.elements = std::move(elements_);
        layout.size = static_cast<size_t>(size);
        return layout;
    }

private:
    struct Block {
        size_t parent;
        uint64_t start; // in the parent
    };
    struct OpenBlock {
        size_t block;
        uint64_t offset;      // where the next element goes
        uint32_t requirement; // the largest alignment an element of it takes
    };

    Error addData(const StructElementType& type, const ElementText& text) {
        OpenBlock& block = open_.back();
        const uint32_t requirement = std::min<uint32_t>(type.size, alignment_);
        const uint64_t offset = roundUp(block.offset, requirement);
        const uint64_t end = offset + type.size * text.count;
        if (end > kMaxStructSize) return Error::BadElement;
        block.offset = end;
        block.requirement = std::max(block.requirement, requirement);
        DllStructElement element;
        element.name = text.name;
        element.offset = static_cast<uint32_t>(offset);
        element.itemSize = type.size;
        element.count = static_cast<uint32_t>(text.count);
        element.kind = type.kind;
        element.wholeValue = text.counted && isWholeValueType(type);
        elements_.push_back(std::move(element));
        elementBlocks_.push_back(block.block);
        return Error::None;
    }

    Error closeBlock() {
        const OpenBlock inner = open_.back();
        open_.pop_back();
        OpenBlock& outer = open_.back();
        const uint64_t start = roundUp(outer.offset, inner.requirement);
        blocks_[inner.block].start = start;
        outer.offset = start + roundUp(inner.offset, inner.requirement);
        outer.requirement = std::max(outer.requirement, inner.requirement);
        return outer.offset > kMaxStructSize ? Error::BadElement : Error::None;
    }

    uint32_t alignment_ = kDefaultAlignment;
    std::vector<Block> blocks_{{0, 0}};
    std::vector<OpenBlock> open_{{0, 0, 1}};
    std::vector<DllStructElement> elements_;
    std::vector<size_t> elementBlocks_; // the block each element was written in
};

} // namespace

StructLayout layOutStruct(std::wstring_view definition) {
    StructBuilder builder;
    size_t start = 0;
    while (start <= definition.size()) {
        const size_t end = std::min(definition.find(L';', start), definition.size());
        const std::wstring_view piece = definition.substr(start, end - start);
        start = end + 1;
        // A ";" may end the definition.
        if (end == definition.size() && std::all_of(piece.begin(), piece.end(), isBlank)) break;
        ElementText text;
        Error error = splitElement(piece, text);
        const StructElementType* type = findStructElementType(text.type);
        if (error == Error::None && !type) error = Error::BadElement;
        if (error == Error::None) error = builder.add(*type, text);
        if (error == Error::None && !text.rest.empty()) error = Error::TrailingText;
        if (error != Error::None) {
            StructLayout failed;
            failed.error = error;
            return failed;
        }
    }
    return builder.finish();
}

} // namespace vexil
