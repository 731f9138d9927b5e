// Built-ins that reach functions and variables by name: EXECUTE, EVAL, ASSIGN, ISDECLARED,
// FUNCNAME, ISFUNC.
#include "engine/builtins.h"
#include "engine/engine.h"
#include "engine/lexer.h"

#include <cwctype>

namespace vexil {

namespace {

std::wstring upperName(const Variant& v) { return upperCase(v.text().view()); }

} // namespace

bool Engine::execute(std::wstring_view text, Variant& result) {
    TokenList tokens;
    LexicalError error;
    bool ok = tokeniseLine(text, false, *this, tokens, error) && tokens.size() > 1;
    if (ok) {
        bool suppressed = errorsSuppressed_;
        errorsSuppressed_ = true;
        size_t pos = 0;
        ok = evaluate(tokens, pos, result) == 0;
        errorsSuppressed_ = suppressed;
    }
    return ok;
}

int builtinExecute(Engine& engine, BuiltinArgs args, Variant& result) {
    if (!engine.execute(args[0].text().view(), result)) {
        if (engine.runState() == RunState::Ending) return -1; // the recursion limit is never silenced
        result = Variant::string(WString());
        engine.status().setError(1);
    }
    return 0;
}

int builtinEval(Engine& engine, BuiltinArgs args, Variant& result) {
    const NamePool::Name* name = engine.names().find(upperName(args[0]));
    Variable* variable = name ? engine.findVariable(name->id) : nullptr;
    if (!variable) {
        result = Variant::string(WString());
        engine.status().setError(1);
        return 0;
    }
    result = *variable->value;
    return 0;
}

int builtinAssign(Engine& engine, BuiltinArgs args, Variant& result) {
    std::wstring name = upperName(args[0]);
    bool valid = !name.empty();
    for (wchar_t c : name) valid = valid && ((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_');
    result = Variant::int32(0);
    if (!valid) {
        engine.status().setError(1);
        return 0;
    }
    int flag = args.size() > 2 ? args[2].toInt32() : 0;
    int scope = (flag & 2) ? 2 : (flag & 1) ? 1 : 0;
    int id = engine.intern(name).id;
    if (Variable* variable = engine.findInScope(id, scope)) {
        if (variable->isConstant()) {
            engine.status().setError(1);
            return 0;
        }
        *variable->value = args[1];
    } else {
        if (flag & 4) {
            engine.status().setError(2);
            return 0;
        }
        engine.createVariable(id, args[1], 0, scope == 2 ? 2 : 1);
    }
    result = Variant::int32(1);
    return 0;
}

int builtinIsDeclared(Engine& engine, BuiltinArgs args, Variant& result) {
    const NamePool::Name* name = engine.names().find(upperName(args[0]));
    int declared = 0;
    if (name) {
        if (engine.findLocal(name->id)) declared = -1;
        else if (engine.globals().find(name->id)) declared = 1;
    }
    result = Variant::int32(declared);
    return 0;
}

int builtinFuncName(Engine& engine, BuiltinArgs args, Variant& result) {
    const Variant& v = args[0];
    if (v.is(VarKind::UserFunction)) {
        result = Variant::string(v.functionRecord()->name);
    } else if (v.is(VarKind::Function)) {
        int index = v.functionRecord()->index;
        result = Variant::string(index >= 0 && index < builtinCount() ? WString(builtinEntry(index).name) : WString());
    } else {
        result = Variant::string(WString());
        engine.status().setError(1);
    }
    return 0;
}

int builtinIsFunc(Engine&, BuiltinArgs args, Variant& result) {
    const Variant& v = args[0].dereferenced();
    result = Variant::int32(v.is(VarKind::Function) ? 2 : v.is(VarKind::UserFunction) ? 1 : 0);
    return 0;
}

} // namespace vexil
