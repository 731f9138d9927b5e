// The cache of compiled texts, and moving a block of code to the end of another.
#include "engine/eval/text_cache.h"

namespace vexil {

std::shared_ptr<const CompiledText> TextCache::find(std::wstring_view text) const {
    auto found = byText_.find(std::wstring(text));
    return found == byText_.end() ? nullptr : found->second;
}

void TextCache::add(std::wstring text, std::shared_ptr<const CompiledText> compiled) {
    if (order_.size() < kCapacity) {
        order_.push_back(text);
    } else {
        byText_.erase(order_[next_]);
        order_[next_] = text;
        next_ = (next_ + 1) % kCapacity;
    }
    byText_[std::move(text)] = std::move(compiled);
}

int32_t appendRelocated(Code& code, const Code& block) {
    const int32_t nodes = static_cast<int32_t>(code.nodes.size());
    const int32_t constants = static_cast<int32_t>(code.constants.size());
    const int32_t lists = static_cast<int32_t>(code.lists.size());
    const int32_t tokens = static_cast<int32_t>(code.tokens.size());
    code.constants.insert(code.constants.end(), block.constants.begin(), block.constants.end());
    code.tokens.insert(code.tokens.end(), block.tokens.begin(), block.tokens.end());
    code.lists.insert(code.lists.end(), block.lists.begin(), block.lists.end());
    auto nodeAt = [&](int32_t listIndex) {
        int32_t& entry = code.lists[static_cast<size_t>(lists + listIndex)];
        if (entry >= 0) entry += nodes;
    };
    for (Node n : block.nodes) {
        switch (n.kind) {
        case NodeKind::Constant:
        case NodeKind::Text: n.a += constants; break;
        case NodeKind::MemberName:
            n.a += constants;
            n.b += constants;
            break;
        case NodeKind::Macro: n.a += tokens; break;
        case NodeKind::Global:
        case NodeKind::Local:
        case NodeKind::Named:
        case NodeKind::WithObject: break;
        case NodeKind::Element:
        case NodeKind::Reference:
        case NodeKind::MemberReference:
        case NodeKind::BadReference:
        case NodeKind::ValueElement:
            for (int32_t i = 0; i < n.c; ++i) nodeAt(n.b + 2 * i); // (key, column) pairs
            n.a += nodes;
            n.b += lists;
            break;
        case NodeKind::BuiltinCall:
        case NodeKind::UserCall:
        case NodeKind::Error:
            for (int32_t i = 0; i < n.c; ++i) nodeAt(n.b + i);
            n.b += lists;
            break;
        case NodeKind::Method:
            for (int32_t i = 0; i < n.c; ++i) nodeAt(n.b + i);
            n.a += nodes;
            n.b += lists;
            break;
        case NodeKind::ValueCall:
            for (int32_t i = 0; i < 3 * n.c; ++i) nodeAt(n.b + i);
            n.a += nodes;
            n.b += lists;
            break;
        case NodeKind::Unary: n.a += nodes; break;
        case NodeKind::Binary:
        case NodeKind::And:
        case NodeKind::Or:
            n.a += nodes;
            n.b += nodes;
            break;
        case NodeKind::Conditional:
            n.a += nodes;
            n.b += nodes;
            n.c += nodes;
            break;
        }
        code.nodes.push_back(n);
    }
    return nodes;
}

} // namespace vexil
