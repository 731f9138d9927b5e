// Built-ins that reach functions and variables by name: EXECUTE, EVAL, ASSIGN, ISDECLARED,
// FUNCNAME, ISFUNC.
#include "base/wstring.h"
#include "engine/builtins/builtin_api.h"
#include "engine/exec/variables.h"

namespace vexil {

namespace {

std::wstring upperName(const Variant& v) { return upperCase(v.text().view()); }

bool validName(std::wstring_view name) {
    bool valid = !name.empty();
    for (wchar_t c : name) valid = valid && ((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_');
    return valid;
}

} // namespace

int builtinExecute(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    if (context.execute(textArg(args, 0).view(), result)) return 0;
    if (context.runEnding()) return -1; // the recursion limit is never silenced
    return context.fail(result, Variant::string(WString()));
}

int builtinEval(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    Variable* variable = context.findVariable(upperName(args[0]));
    if (!variable) return context.fail(result, Variant::string(WString()));
    result = *variable->value;
    return 0;
}

int builtinAssign(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    std::wstring name = upperName(args[0]);
    result = Variant::int32(0);
    if (!validName(name)) return context.fail(1);
    const int32_t flag = passedInt(args, 2, 0);
    const Scope scope = (flag & 2) ? Scope::Global : (flag & 1) ? Scope::Local : Scope::Automatic;
    if (Variable* variable = context.findVariableInScope(name, scope)) {
        if (variable->isConstant()) return context.fail(1);
        *variable->value = args[1];
    } else {
        if (flag & 4) return context.fail(2);
        context.createVariable(name, args[1], scope);
    }
    result = Variant::int32(1);
    return 0;
}

int builtinIsDeclared(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    std::wstring name = upperName(args[0]);
    int declared = 0;
    if (context.findLocalVariable(name)) declared = -1;
    else if (context.findGlobalVariable(name)) declared = 1;
    result = Variant::int32(declared);
    return 0;
}

int builtinFuncName(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const Variant& v = args[0];
    if (v.is(VarKind::UserFunction)) {
        result = Variant::string(v.functionRecord()->name);
    } else if (v.is(VarKind::Function)) {
        int index = v.functionRecord()->index;
        result = Variant::string(index >= 0 && index < builtinCount() ? WString(builtinEntry(index).name) : WString());
    } else {
        return context.fail(result, Variant::string(WString()));
    }
    return 0;
}

int builtinIsFunc(BuiltinContext&, BuiltinArgs args, Variant& result) {
    const Variant& v = args[0].dereferenced();
    result = Variant::int32(v.is(VarKind::Function) ? 2 : v.is(VarKind::UserFunction) ? 1 : 0);
    return 0;
}

} // namespace vexil
