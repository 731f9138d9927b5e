// Variable scopes: the global table and one local table per running user-function call.
#include "engine/engine.h"

namespace vexil {

Variable* Engine::findInScope(int nameId, Scope scope) {
    if (scope == Scope::Global || scopeCount_ == 0) return globals_.find(nameId);
    return scope == Scope::Local ? findLocal(nameId) : findVariable(nameId);
}

Variable& Engine::createVariable(int nameId, Variant value, uint16_t attributes, Scope scope) {
    if (scope == Scope::Global || scopeCount_ == 0) return globals_.create(nameId, std::move(value), attributes);
    Variable* v = variablePool_.take();
    v->storage = std::move(value);
    v->value = &v->storage;
    v->attributes = attributes;
    scopes_[scopeCount_ - 1].add(nameId, v);
    return *v;
}

Variable& Engine::createAlias(int nameId, Variant* target, uint16_t attributes, Scope scope) {
    if (scope == Scope::Global || scopeCount_ == 0) return globals_.createAlias(nameId, target, attributes);
    Variable& v = createVariable(nameId, Variant(), attributes, scope);
    v.value = target;
    v.alias = true;
    return v;
}

void Engine::pushScope(int functionLine) {
    if (scopeCount_ == scopes_.size()) scopes_.emplace_back();
    LocalTable& table = scopes_[scopeCount_++];
    table.clear();
    table.functionLine = functionLine;
}

void Engine::popScope() {
    LocalTable& table = scopes_[--scopeCount_];
    for (const auto& [id, variable] : table.entries()) variablePool_.give(variable);
    table.clear();
}

} // namespace vexil
