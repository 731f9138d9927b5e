#include "engine/exec/variables.h"

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

} // namespace vexil
