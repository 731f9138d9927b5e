#pragma once
// Texts that EXECUTE evaluates, compiled once each: the tokens and a block of code of their own
// (indices from 0), which the engine appends to its code to run. The cache keeps the last few
// hundred texts; a script that evaluates ever new texts does not grow it.
#include "engine/eval/code.h"
#include "engine/front/token.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vexil {

struct CompiledText {
    TokenList tokens;   // Macro nodes point into them
    Code code;
    int32_t root = -1;  // -1: the text is no expression (it failed to tokenise, or is empty)
};

class TextCache {
public:
    static constexpr size_t kCapacity = 256;

    // Held by the caller while it runs: an entry dropped meanwhile stays alive until then.
    std::shared_ptr<const CompiledText> find(std::wstring_view text) const;
    void add(std::wstring text, std::shared_ptr<const CompiledText> compiled);

private:
    std::unordered_map<std::wstring, std::shared_ptr<const CompiledText>> byText_;
    std::vector<std::wstring> order_; // oldest first, in a ring from next_
    size_t next_ = 0;
};

// Appends `block` to `code`, its indices moved past what `code` holds; returns the node offset.
int32_t appendRelocated(Code& code, const Code& block);

} // namespace vexil
