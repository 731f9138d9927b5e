#pragma once
// Reading number trees (code.h) on plain numbers: the leaves where they live, one level of
// operators without a call (most trees are an operator on two leaves, or on such operators),
// deeper trees through Engine::numberTree. Nothing here has an effect, so a caller that gets
// false evaluates the same node the general way.
#include "engine/engine.h"
#include "engine/eval/number_ops.h"

namespace vexil {

// The kinds in the order they are met most: variables, then constants, then elements.
[[gnu::always_inline]] inline bool Engine::numberLeaf(const Node& n, Number& out) {
    const Variant* value;
    if (n.kind == NodeKind::Global || n.kind == NodeKind::Local) {
        const Variable* variable = variableOf(n);
        if (!variable) return false;
        value = variable->value;
    } else if (n.kind == NodeKind::Constant) {
        if (!n.op) return false;
        out.kind = static_cast<VarKind>(n.op);
        std::memcpy(&out.i64, &n.b, sizeof out.i64);
        return true;
    } else {
        value = numberElement(n);
        if (!value) return false;
    }
    return loadNumber(*value, out);
}

[[gnu::always_inline]] inline bool Engine::numberOperand(const Node& n, Number& out) {
    if (n.kind != NodeKind::Binary) return numberLeaf(n, out);
    const Node& l = code_.nodes[static_cast<size_t>(n.a)];
    const Node& r = code_.nodes[static_cast<size_t>(n.b)];
    if (l.kind == NodeKind::Binary || r.kind == NodeKind::Binary) return numberTree(n, out);
    Number a, b;
    return numberLeaf(l, a) && numberLeaf(r, b) && numberBinary(n.op, a, b, out);
}

// A Binary node that is a number tree, worked out into `out`; false to evaluate it the general way.
[[gnu::always_inline]] inline bool Engine::numberTreeInto(const Node& n, Variant& out) {
    Number result;
    if (!(n.c & kNumberTree) || !numberOperand(n, result)) return false;
    storeNumber(out, result);
    return true;
}

[[gnu::always_inline]] inline bool Engine::numberValue(int32_t index, Number& out) {
    const Node& n = code_.nodes[static_cast<size_t>(index)];
    switch (n.kind) {
    case NodeKind::Binary: return (n.c & kNumberTree) && numberOperand(n, out);
    case NodeKind::Element:
        if (!(n.op & kPlainIndexPath)) return false;
        [[fallthrough]];
    case NodeKind::Constant:
    case NodeKind::Global:
    case NodeKind::Local: return numberLeaf(n, out);
    default: return false;
    }
}

} // namespace vexil
