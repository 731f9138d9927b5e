// Running the node kinds of the less frequent forms: variables found by name, the conditional,
// map methods, subscripts of values, calls of values and CALL, arguments that a by-reference
// parameter reads its own way, and errors of malformed expressions.
#include "engine/builtins/builtins.h"
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/eval/arguments.h"
#include "engine/eval/object_members.h"
#include "engine/values/containers.h"

namespace vexil {

int Engine::namedNode(const Node& n, Variant& out) {
    Variable* variable = findVariable(n.a);
    if (!variable) return undeclaredVariable(n.column);
    out = *variable->value;
    return 0;
}

int Engine::conditionalNode(const Node& n, Variant& out) {
    Variant scratch;
    const Variant* condition = operandOf(n.a, scratch);
    if (!condition) return -1;
    return evalNode(condition->toBool() ? n.b : n.c, out);
}

int Engine::errorNode(const Node& n, Variant&) {
    for (int32_t i = 0; i < n.c; ++i) {
        Variant discarded;
        if (evalNode(code_.lists[static_cast<size_t>(n.b + i)], discarded) < 0) return -1;
    }
    return reportRuntimeError(static_cast<MessageId::Id>(n.a), n.column);
}

int Engine::methodNode(const Node& n, Variant& out) {
    Variant scratch;
    Variant* map = &scratch;
    if (n.op & kInPlace) {
        // On the variable itself, which REMOVE and APPEND change.
        const Node name = code_.nodes[static_cast<size_t>(n.a)];
        Variable* variable = variableOf(name);
        if (!variable) return undeclaredVariable(name.column);
        map = variable->value;
        if (!map->is(VarKind::Map) && !map->is(VarKind::Object)) return reportRuntimeError(MessageId::ObjectOutsideWith, n.column);
    } else {
        if (evalNode(n.a, scratch) < 0) return -1;
        if (!scratch.is(VarKind::Map) && !scratch.is(VarKind::Object)) return reportRuntimeError(MessageId::VariableMustBeObject, n.column);
    }
    // An object's method may write through a variable argument; a map's methods only read theirs.
    const bool ofObject = map->is(VarKind::Object);
    ArgumentList arguments;
    for (int32_t i = 1; i < n.c; ++i) {
        const int32_t index = code_.lists[static_cast<size_t>(n.b + i)];
        const Node argument = code_.nodes[static_cast<size_t>(index)];
        const bool read = !ofObject && (argument.kind == NodeKind::Reference || argument.kind == NodeKind::MemberReference);
        if ((read ? readElementNode(argument, arguments.add()) : evalNode(index, arguments.add())) < 0) return -1;
    }
    const Node& name = code_.nodes[static_cast<size_t>(code_.lists[static_cast<size_t>(n.b)])];
    const WString method = code_.constants[static_cast<size_t>(name.a)].text();
    if (map->is(VarKind::Object)) {
        const Variant object = *map; // an argument may assign the variable
        const WString& written = code_.constants[static_cast<size_t>(name.b)].text();
        return objectMember(object, written.view(), MemberUse::Call, arguments.view(), n.column, out);
    }
    return mapMethod(*map, method.view(), arguments.view(), n.column, out);
}

int Engine::valueElementNode(const Node& n, Variant& out) {
    Variant value;
    if (evalNode(n.a, value) < 0) return -1;
    // A member of anything but a map fails before any key is read.
    const int32_t firstStep = code_.lists[static_cast<size_t>(n.b)];
    if (code_.nodes[static_cast<size_t>(firstStep)].kind == NodeKind::MemberName && !value.is(VarKind::Map) &&
        !value.is(VarKind::Object))
        return reportRuntimeError(MessageId::VariableMustBeObject, code_.lists[static_cast<size_t>(n.b + 1)]);
    AccessPath path;
    if (readPathKeys(n, path) < 0) return -1;
    Variant scratch;
    const Variant* element = walkAccessPath(&value, path, false, false, nullptr, n.column, scratch);
    if (!element) return -1;
    out = *element;
    return 0;
}

// The variable of a by-reference argument, with the errors of one that cannot be passed.
Variable* Engine::referencedVariable(const Node& n) {
    const Node name = code_.nodes[static_cast<size_t>(n.a)];
    Variable* variable = variableOf(name);
    if (!variable) {
        reportRuntimeError(functions_.find(nameIdOf(name)) ? MessageId::GlobalFuncReassign : MessageId::VariableNotDeclared,
                           name.column);
        return nullptr;
    }
    if (variable->isConstant() && !(n.op & kConstantAllowed)) {
        reportRuntimeError(MessageId::ConstantByReference, name.column);
        return nullptr;
    }
    return variable;
}

int Engine::memberReferenceNode(const Node& n, Variant& out) {
    Variable* variable = referencedVariable(n);
    if (!variable) return -1;
    if (!variable->value->is(VarKind::Map)) {
        // Not a map: the member is read as a value (and fails there), unless a variable is required.
        if (n.op & kRequiredReference)
            return reportRuntimeError(MessageId::ExpectedVariable, code_.lists[static_cast<size_t>(n.b + 1)]);
        return readElementNode(n, out);
    }
    return referenceNode(n, out);
}

int Engine::badReferenceNode(const Node& n, Variant&) {
    Variable* variable = referencedVariable(n);
    if (!variable) return -1;
    const int column = code_.lists[static_cast<size_t>(n.b + 2 * n.c)];
    if (n.c > 0 && code_.nodes[static_cast<size_t>(code_.lists[static_cast<size_t>(n.b)])].kind == NodeKind::MemberName &&
        !variable->value->is(VarKind::Map))
        return reportRuntimeError(MessageId::ExpectedVariable, code_.lists[static_cast<size_t>(n.b + 1)]);
    AccessPath path;
    if (readPathKeys(n, path) < 0) return -1;
    return reportRuntimeError(MessageId::ExpectedVariable, column);
}

// An argument given to a by-reference parameter: its reference node read with the parameter's
// rules; any other node is a value.
int Engine::passedByReference(int32_t index, bool constantAllowed, bool required, Variant& out) {
    Node n = code_.nodes[static_cast<size_t>(index)];
    n.op = static_cast<uint8_t>((n.op & ~(kConstantAllowed | kRequiredReference)) | (constantAllowed ? kConstantAllowed : 0) |
                                (required ? kRequiredReference : 0));
    switch (n.kind) {
    case NodeKind::Reference: return referenceNode(n, out);
    case NodeKind::MemberReference: return memberReferenceNode(n, out);
    case NodeKind::BadReference: return badReferenceNode(n, out);
    default: return evalNode(index, out);
    }
}

int Engine::valueCallNode(const Node& n, Variant& out) {
    static const int kCallIndex = vexil::findBuiltin(L"CALL");
    Variant callee;
    if (evalNode(n.a, callee) < 0) return -1;
    // The column of the name or bracket before "(", where a wrong count is reported.
    const int nameColumn = code_.lists[static_cast<size_t>(n.b + 3 * n.c)];
    if (n.op & kByCall) return callByName(callee, n.b, n.c, nameColumn, out);
    if (callee.is(VarKind::Function)) {
        const int index = callee.functionRecord()->index;
        if (index != kCallIndex) return callBuiltinValue(index, n.b, n.c, nameColumn, out, false);
        // CALL held in a value: its first argument names the function.
        if (n.c == 0) return reportRuntimeError(MessageId::IncorrectParameterCount, n.column);
        const int32_t first = code_.lists[static_cast<size_t>(n.b + 1)];
        Variant target;
        if (evalNode(first, target) < 0) return -1;
        return callByName(target, n.b + 3, n.c - 1, code_.nodes[static_cast<size_t>(first)].column, out);
    }
    if (callee.is(VarKind::UserFunction)) {
        const UserFunction* f = findFunction(callee.functionRecord()->name.view());
        if (!f) return reportRuntimeError(MessageId::UnknownFunction, n.column);
        return callUserValue(*f, n.b, n.c, nameColumn, out, false);
    }
    return reportRuntimeError(MessageId::VariableCannotBeAccessed, n.column);
}

int Engine::callByName(const Variant& target, int32_t first, int32_t count, int column, Variant& out) {
    int builtin = -1;
    const UserFunction* user = nullptr;
    if (target.is(VarKind::Function)) {
        builtin = target.functionRecord()->index;
    } else if (target.is(VarKind::UserFunction)) {
        user = findFunction(target.functionRecord()->name.view());
    } else if (target.is(VarKind::String)) {
        builtin = vexil::findBuiltin(upperCase(target.text().view()));
        if (builtin < 0) user = findFunction(target.text().view());
    }
    int outcome = kCallFailed;
    if (user) outcome = callUserValue(*user, first, count, column, out, true);
    else if (builtin >= 0) outcome = callBuiltinValue(builtin, first, count, column, out, true);
    if (outcome < 0) return -1;
    if (outcome == kCallFailed) {
        out = Variant::int32(0);
        status().setError(0xDEAD);
        status().setExtended(Variant::int32(0xBEEF));
    }
    return 0;
}

int Engine::callBuiltinValue(int index, int32_t first, int32_t count, int column, Variant& out, bool fromCall) {
    const bool byReference = builtinEntry(index).byReference;
    ArgumentList arguments;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t reference = code_.lists[static_cast<size_t>(first + 3 * i)];
        const int32_t value = code_.lists[static_cast<size_t>(first + 3 * i + 1)];
        Variant& argument = arguments.add();
        const int status = byReference && reference >= 0 ? passedByReference(reference, true, false, argument)
                                                         : evalNode(value, argument);
        if (status < 0) return -1;
    }
    return invokeBuiltin(index, arguments, column, out, fromCall);
}

int Engine::callUserValue(const UserFunction& f, int32_t first, int32_t count, int column, Variant& out, bool fromCall) {
    ArgumentList arguments;
    // Arguments beyond the parameters are not read: the count is wrong either way.
    const bool leftOver = static_cast<size_t>(count) > f.parameters.size();
    const int32_t read = leftOver ? static_cast<int32_t>(f.parameters.size()) : count;
    for (int32_t i = 0; i < read; ++i) {
        const Parameter& parameter = f.parameters[static_cast<size_t>(i)];
        const int32_t reference = code_.lists[static_cast<size_t>(first + 3 * i)];
        const int32_t value = code_.lists[static_cast<size_t>(first + 3 * i + 1)];
        const int32_t bad = code_.lists[static_cast<size_t>(first + 3 * i + 2)];
        Variant& argument = arguments.add();
        const int32_t passed = !parameter.byRef ? -1 : reference >= 0 ? reference : bad;
        const int status = passed >= 0 ? passedByReference(passed, parameter.isConst, true, argument) : evalNode(value, argument);
        if (status < 0) return -1;
    }
    // CALL's argument array: one array whose element 0 is "CallArgArray" holds the arguments.
    if (fromCall && arguments.size() == 1 && !leftOver) {
        const ArrayBody* array = arrayBody(arguments.view()[0].dereferenced());
        if (array && array->dims == 1 && array->sizes[0] > 0 && upperCase(array->elements[0].text().view()) == L"CALLARGARRAY") {
            std::vector<Variant> unpacked(array->elements.begin() + 1, array->elements.end());
            const int unpackedCount = static_cast<int>(unpacked.size());
            if (unpackedCount < f.minArgs || unpackedCount > f.maxArgs) return kCallFailed;
            return invokeUserFunction(f, BuiltinArgs(unpacked.data(), unpacked.size()), out);
        }
    }
    const int passedCount = static_cast<int>(arguments.size());
    if (leftOver || passedCount < f.minArgs || passedCount > f.maxArgs)
        return fromCall ? kCallFailed : reportRuntimeError(MessageId::IncorrectParameterCount, column);
    return invokeUserFunction(f, arguments.view(), out);
}

} // namespace vexil
