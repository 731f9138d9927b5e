// Variable scopes: the global table and one frame per running user-function call, whose locals
// sit in the slots of its function's layout or, for names made at run time, beside them.
#include "engine/engine.h"

namespace vexil {

Variable* Engine::findLocal(int nameId) {
    if (scopeCount_ == 0) return nullptr;
    const LocalTable& table = scopes_[scopeCount_ - 1];
    if (table.layout) {
        const int slot = table.layout->slotOf(nameId);
        if (slot >= 0) {
            Variable& record = table.frame[slot];
            return record.value ? &record : nullptr;
        }
    }
    return table.findExtra(nameId);
}

Variable* Engine::findInScope(int nameId, Scope scope) {
    if (scope == Scope::Global || scopeCount_ == 0) return globals_.find(nameId);
    return scope == Scope::Local ? findLocal(nameId) : findVariable(nameId);
}

Variable* Engine::takeLocal(Variant value, uint16_t attributes) {
    Variable* v = variablePool_.take();
    v->storage = std::move(value);
    v->value = &v->storage;
    v->attributes = attributes;
    return v;
}

Variable& Engine::createVariable(int nameId, Variant value, uint16_t attributes, Scope scope) {
    if (scope == Scope::Global || scopeCount_ == 0) return globals_.create(nameId, std::move(value), attributes);
    LocalTable& table = scopes_[scopeCount_ - 1];
    const int slot = table.layout ? table.layout->slotOf(nameId) : -1;
    if (slot >= 0) {
        Variable& record = table.frame[slot];
        record.storage = std::move(value);
        record.value = &record.storage;
        record.attributes = attributes;
        record.alias = false;
        return record;
    }
    Variable* v = takeLocal(std::move(value), attributes);
    table.extra.emplace_back(nameId, v);
    return *v;
}

Variable& Engine::createAlias(int nameId, Variant* target, uint16_t attributes, Scope scope) {
    if (scope == Scope::Global || scopeCount_ == 0) return globals_.createAlias(nameId, target, attributes);
    Variable& v = createVariable(nameId, Variant(), attributes, scope);
    v.makeAlias(target);
    return v;
}

} // namespace vexil
