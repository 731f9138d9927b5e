#include "engine/exec/variables.h"

#include <algorithm>

namespace vexil {

Variable& VariableTable::create(int nameId, Variant value, uint16_t attributes) {
    Variable& v = storage_.emplace_back();
    v.storage = std::move(value);
    v.value = &v.storage;
    v.attributes = attributes;
    if (static_cast<size_t>(nameId) >= slots_.size()) slots_.resize(static_cast<size_t>(nameId) + 1, nullptr);
    slots_[static_cast<size_t>(nameId)] = &v;
    return v;
}

Variable& VariableTable::createAlias(int nameId, Variant* target, uint16_t attributes) {
    Variable& v = create(nameId, Variant(), attributes);
    v.makeAlias(target);
    return v;
}

void VariableTable::clear() {
    slots_.clear();
    storage_.clear();
}

void FrameStack::nextBlock(size_t count) {
    constexpr size_t kBlockRecords = 4096;
    const size_t wanted = std::max(kBlockRecords, count);
    if (!blocks_.empty()) ++current_;
    if (current_ == blocks_.size()) blocks_.emplace_back();
    Block& block = blocks_[current_];
    if (block.size < wanted) {
        // Only an empty block is ever replaced: every block after the current one is unused.
        block.records = std::make_unique<Variable[]>(wanted);
        block.size = wanted;
    }
    block.used = 0;
}

} // namespace vexil
