// Running compiled expressions: one recursive walk of the node tree (code.h). Values are built in
// the caller's result; an operand that is a variable or a constant is read where it lives, not
// copied, when nothing can change it before it is used.
#include "engine/builtins/builtins.h"
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/eval/arguments.h"
#include "engine/eval/number_ops.h"
#include "engine/eval/number_reads.h"
#include "engine/eval/operator_table.h"
#include "engine/values/containers.h"

namespace vexil {

using namespace precedence;

namespace {

// Operands that are read where they live: reading them has no effect on anything else.
bool isLeaf(NodeKind kind) { return kind == NodeKind::Constant || kind == NodeKind::Global || kind == NodeKind::Local; }

} // namespace

int Engine::undeclaredVariable(int column) { return reportRuntimeError(MessageId::VariableNotDeclared, column); }

// A dispatcher only: every kind's work is a function of its own (a tail call), so that a leaf or
// a call does not pay for the registers that the operators' paths need.
int Engine::evalNode(int32_t index, Variant& out) {
    const Node& n = code_.nodes[static_cast<size_t>(index)];
    switch (n.kind) {
    case NodeKind::Constant: out = code_.constants[static_cast<size_t>(n.a)]; return 0;
    case NodeKind::Global:
    case NodeKind::Local: {
        const Variable* variable = variableOf(n);
        if (!variable) return undeclaredVariable(n.column);
        out = *variable->value;
        return 0;
    }
    case NodeKind::Text: return textNode(index, out);
    case NodeKind::Macro: return readMacro(*code_.tokens[static_cast<size_t>(n.a)], out);
    case NodeKind::Element: return readElementNode(Node(n), out);
    case NodeKind::Reference: return referenceNode(Node(n), out);
    case NodeKind::BuiltinCall: return builtinCallNode(index, out);
    case NodeKind::UserCall: return userCallNode(index, out);
    case NodeKind::Unary: return unaryNode(index, out);
    case NodeKind::Binary: return n.c & kNumberTree ? binaryNode(index, out) : generalBinary(index, out);
    case NodeKind::And:
    case NodeKind::Or: return logicalNode(index, out);
    // The forms below take a copy of their node: what they run may compile more nodes.
    case NodeKind::Named: return namedNode(Node(n), out);
    case NodeKind::Conditional: return conditionalNode(Node(n), out);
    case NodeKind::Method: return methodNode(Node(n), out);
    case NodeKind::ValueElement: return valueElementNode(Node(n), out);
    case NodeKind::ValueCall: return valueCallNode(Node(n), out);
    case NodeKind::MemberReference: return memberReferenceNode(Node(n), out);
    case NodeKind::BadReference: return badReferenceNode(Node(n), out);
    case NodeKind::Error: return errorNode(Node(n), out);
    case NodeKind::WithObject: return withObjectNode(n.column, out);
    case NodeKind::MemberName: break;
    }
    return reportRuntimeError(MessageId::ErrorInExpression, n.column);
}

int Engine::textNode(int32_t index, Variant& out) {
    const Variant& literal = code_.constants[static_cast<size_t>(code_.nodes[static_cast<size_t>(index)].a)];
    if (options_.expandEnvStrings || options_.expandVarStrings) out = Variant::string(expandString(literal.text()));
    else out = literal;
    return 0;
}

int Engine::unaryNode(int32_t index, Variant& out) {
    const Node n = code_.nodes[static_cast<size_t>(index)]; // a copy: calls may compile more nodes
    if (evalNode(n.a, out) < 0) return -1;
    applyUnary(n.op, out);
    return 0;
}

[[gnu::always_inline]] inline const Variant* Engine::leafValue(int32_t index) {
    const Node& n = code_.nodes[static_cast<size_t>(index)];
    if (n.kind == NodeKind::Constant) return &code_.constants[static_cast<size_t>(n.a)];
    if (n.kind != NodeKind::Global && n.kind != NodeKind::Local) return nullptr;
    const Variable* variable = variableOf(n);
    return variable ? variable->value : nullptr;
}

// An element of a number tree, read where it lives; apart from the leaves, whose path it would
// slow down.
[[gnu::noinline]] const Variant* Engine::numberElement(const Node& n) {
    int32_t subscripts[kMaxPlainSteps];
    const Variable* variable = variableOf(code_.nodes[static_cast<size_t>(n.a)]);
    if (!variable || !leafSubscripts(n, subscripts)) return nullptr;
    return arrayElement(arrayBody(*variable->value), subscripts, n.c);
}

bool Engine::numberTree(const Node& n, Number& out) {
    Number a, b;
    return numberOperand(code_.nodes[static_cast<size_t>(n.a)], a) &&
           numberOperand(code_.nodes[static_cast<size_t>(n.b)], b) && numberBinary(n.op, a, b, out);
}

// An operand of an operator: a leaf where it lives; a number tree worked out here; anything else
// evaluated into `scratch`.
[[gnu::always_inline]] inline const Variant* Engine::binaryOperand(int32_t index, Variant& scratch) {
    const Node& n = code_.nodes[static_cast<size_t>(index)];
    if (n.kind != NodeKind::Binary) return operandOf(index, scratch);
    return binaryNode(index, scratch) < 0 ? nullptr : &scratch;
}

// Out of evalNode, so that the leaves and calls it dispatches do not pay for these registers.
int Engine::binaryNode(int32_t index, Variant& out) {
    if (numberTreeInto(code_.nodes[static_cast<size_t>(index)], out)) return 0;
    return generalBinary(index, out);
}

int Engine::generalBinary(int32_t index, Variant& out) {
    const Node n = code_.nodes[static_cast<size_t>(index)];
    // A right operand that runs code may change the left one, which is then copied first; a leaf
    // on the right lets the left be read where it lives. An operator on the left is worked out
    // into `out` either way.
    const Variant* left = isLeaf(code_.nodes[static_cast<size_t>(n.b)].kind) ||
                                  code_.nodes[static_cast<size_t>(n.a)].kind == NodeKind::Binary
                              ? binaryOperand(n.a, out)
                          : evalNode(n.a, out) < 0 ? nullptr
                                                   : &out;
    if (!left) return -1;
    Variant scratch;
    const Variant* right = binaryOperand(n.b, scratch);
    if (!right) return -1;
    if (fastBinary(n.op, *left, *right, out)) return 0;
    if (left != &out) out = *left;
    applyBinary(n.op, out, *right);
    return 0;
}

int Engine::logicalNode(int32_t index, Variant& out) {
    const Node n = code_.nodes[static_cast<size_t>(index)];
    const bool isAnd = n.kind == NodeKind::And;
    Variant scratch;
    const Variant* left = operandOf(n.a, scratch);
    if (!left) return -1;
    if (left->toBool() != isAnd) {
        out.setBool(!isAnd);
        return 0;
    }
    const Variant* right = operandOf(n.b, scratch);
    if (!right) return -1;
    out.setBool(right->toBool());
    return 0;
}

int Engine::readPathKeys(const Node& n, AccessPath& path) {
    for (int32_t i = 0; i < n.c; ++i) {
        const int32_t step = code_.lists[static_cast<size_t>(n.b + 2 * i)];
        const int column = code_.lists[static_cast<size_t>(n.b + 2 * i + 1)];
        const Node& key = code_.nodes[static_cast<size_t>(step)];
        if (key.kind == NodeKind::MemberName) {
            path.push_back({AccessStep::Member, column, {}, code_.constants[static_cast<size_t>(key.a)].text()});
            continue;
        }
        AccessStep access{AccessStep::Index, column, {}, {}};
        if (evalNode(step, access.key) < 0) return -1;
        path.push_back(std::move(access));
    }
    return 0;
}

Variant* Engine::elementNode(const Node& n, bool write, bool byReference, HeapValue** owner, Variable*& variable,
                             Variant& scratch) {
    const Node name = code_.nodes[static_cast<size_t>(n.a)]; // a copy: keys may compile more nodes
    variable = variableOf(name);
    if (!variable) return undeclaredVariable(name.column), nullptr;
    if (n.c == 0) return variable->value;
    if (n.op & kPlainIndexPath) {
        Variant keys[kMaxPlainSteps];
        if (readPlainKeys(n, keys) < 0) return nullptr;
        return reachPlain(variable->value, n, keys, write, byReference, owner, name.column, scratch);
    }
    AccessPath path;
    if (readPathKeys(n, path) < 0) return nullptr;
    return walkAccessPath(variable->value, path, write, byReference, owner, name.column, scratch);
}

int Engine::readPlainKeys(const Node& n, Variant* keys) {
    for (int32_t i = 0; i < n.c; ++i)
        if (evalNode(code_.lists[static_cast<size_t>(n.b + 2 * i)], keys[i]) < 0) return -1;
    return 0;
}

Variant* Engine::reachPlain(Variant* root, const Node& n, Variant* keys, bool write, bool byReference, HeapValue** owner,
                            int nameColumn, Variant& scratch) {
    // One subscript per dimension of an array: straight to the element.
    if (ArrayBody* array = write ? writableArray(*root) : arrayBody(*root); array && array->dims == n.c) {
        int32_t subscripts[kMaxPlainSteps];
        bool plain = true;
        for (int32_t i = 0; i < n.c && plain; ++i) {
            plain = keys[i].is(VarKind::Int32) && keys[i].int32Value() >= 0;
            subscripts[i] = keys[i].int32Value();
        }
        if (plain) {
            if (Variant* element = arrayElement(array, subscripts, n.c)) {
                if (write && byReference) array->unshareable = true;
                if (owner) *owner = array;
                return element;
            }
        }
    }
    AccessPath path;
    for (int32_t i = 0; i < n.c; ++i)
        path.push_back({AccessStep::Index, code_.lists[static_cast<size_t>(n.b + 2 * i + 1)], std::move(keys[i]), {}});
    return walkAccessPath(root, path, write, byReference, owner, nameColumn, scratch);
}

bool Engine::leafSubscripts(const Node& n, int32_t* subscripts) {
    for (int32_t i = 0; i < n.c; ++i) {
        const Variant* value = leafValue(code_.lists[static_cast<size_t>(n.b + 2 * i)]);
        if (!value || !value->is(VarKind::Int32)) return false;
        subscripts[i] = value->int32Value();
    }
    return true;
}

int Engine::readElementNode(const Node& n, Variant& out) {
    if (int32_t subscripts[kMaxPlainSteps]; (n.op & kPlainIndexPath) && leafSubscripts(n, subscripts)) {
        if (const Variable* variable = variableOf(code_.nodes[static_cast<size_t>(n.a)])) {
            if (const Variant* element = arrayElement(arrayBody(*variable->value), subscripts, n.c)) {
                out = *element;
                return 0;
            }
        }
    }
    Variable* variable = nullptr;
    Variant scratch;
    const Variant* element = elementNode(n, false, false, nullptr, variable, scratch);
    if (!element) return -1;
    out = *element;
    return 0;
}

int Engine::referenceNode(const Node& n, Variant& out) {
    const Node name = code_.nodes[static_cast<size_t>(n.a)];
    Variable* variable = variableOf(name);
    if (!variable) {
        return reportRuntimeError(functions_.find(nameIdOf(name)) ? MessageId::GlobalFuncReassign : MessageId::VariableNotDeclared,
                                  name.column);
    }
    if (variable->isConstant() && !(n.op & kConstantAllowed)) return reportRuntimeError(MessageId::ConstantByReference, name.column);
    HeapValue* owner = nullptr;
    Variant scratch;
    Variant* element = elementNode(n, true, true, &owner, variable, scratch);
    if (!element) return -1;
    out = Variant::reference(element, owner);
    return 0;
}

int Engine::builtinCallNode(int32_t index, Variant& out) {
    const Node n = code_.nodes[static_cast<size_t>(index)];
    ArgumentList arguments;
    for (int32_t i = 0; i < n.c; ++i)
        if (evalNode(code_.lists[static_cast<size_t>(n.b + i)], arguments.add()) < 0) return -1;
    return invokeBuiltin(n.a, arguments, n.column, out, false);
}

} // namespace vexil
