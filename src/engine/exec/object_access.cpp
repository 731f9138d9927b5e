// Objects in statements and expressions: member reads, calls and assignments, WITH blocks and
// the lines that start with ".name", For...In over an object's items, and the object events run
// between lines. What a member does belongs to the object (object_members.h).
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/eval/arguments.h"
#include "engine/eval/object_members.h"
#include "engine/exec/assignment_operators.h"

namespace vexil {

int Engine::objectMember(const Variant& object, std::wstring_view name, MemberUse use, BuiltinArgs args, int column,
                         Variant& result) {
    ObjectBody* body = objectBody(object);
    if (!body) return reportRuntimeError(MessageId::VariableMustBeObject, column);
    const Variant keep = object; // the member may drop the script's last copy
    BuiltinContext context(*this);
    switch (body->member(context, name, use, args, result)) {
    case MemberOutcome::Done: return runState_ == RunState::Ending ? -1 : 0;
    case MemberOutcome::Failed: return use == MemberUse::Write ? reportObjectPropertyError() : reportObjectMemberError(name);
    case MemberOutcome::RunEnded: break;
    }
    return -1;
}

int Engine::assignObjectMember(TokenType op, Variant& value) {
    PendingPut put = std::move(pendingPut_);
    pendingPut_.active = false;
    Variant assigned[1];
    if (op != TokenType::Assign) {
        // A compound operator reads the property, combines, and writes it back.
        if (objectMember(put.object, put.name.view(), MemberUse::Read, {}, -1, assigned[0]) < 0) return -1;
        applyAssignment(op, assigned[0], value);
    } else {
        assigned[0] = value;
    }
    Variant discarded;
    return objectMember(put.object, put.name.view(), MemberUse::Write, BuiltinArgs(assigned, 1), -1, discarded);
}

// ---- WITH ----

int Engine::withObjectNode(int column, Variant& out) {
    for (auto block = openBlocks_.rbegin(); block != openBlocks_.rend(); ++block) {
        if (block->kind == BlockKind::With) {
            out = block->limit;
            return 0;
        }
    }
    return reportRuntimeError(MessageId::ObjectOutsideWith, column);
}

int Engine::enterWith(Variant& value, int column) {
    if (!value.is(VarKind::Object)) return reportRuntimeError(MessageId::WithNeedsObject, column);
    openBlocks_.emplace_back(BlockKind::With, currentLine_, blocks_.at(currentLine_).end, nullptr, std::move(value));
    return 0;
}

int Engine::withStatement(const TokenList& t, size_t pos) {
    const int column = t[pos].column;
    ++pos;
    Variant value;
    if (evaluate(t, pos, value) < 0 || expectEnd(t, pos) < 0) return -1;
    return enterWith(value, column);
}

// ".name = value" (and the compound operators) on the WITH object; ".name(arguments) = value" for
// a property that takes arguments.
int Engine::runAssignMember(const Statement& s) {
    const Node element = code_.nodes[static_cast<size_t>(s.a)];
    const TokenType op = static_cast<TokenType>(s.op);
    if (element.kind == NodeKind::Method) {
        Variant object;
        if (evalNode(element.a, object) < 0) return -1;
        if (!object.is(VarKind::Object)) return reportRuntimeError(MessageId::VariableMustBeObject, element.column);
        ArgumentList arguments;
        for (int32_t i = 1; i < element.c; ++i)
            if (evalNode(code_.lists[static_cast<size_t>(element.b + i)], arguments.add()) < 0) return -1;
        Variant value;
        if (evalNode(s.b, value) < 0) return -1;
        const Node& name = code_.nodes[static_cast<size_t>(code_.lists[static_cast<size_t>(element.b)])];
        const WString written = code_.constants[static_cast<size_t>(name.b)].text();
        if (op != TokenType::Assign) {
            Variant current;
            if (objectMember(object, written.view(), MemberUse::Read, arguments.view(), element.column, current) < 0) return -1;
            applyAssignment(op, current, value);
            value = std::move(current);
        }
        arguments.add() = std::move(value);
        Variant discarded;
        return objectMember(object, written.view(), MemberUse::Write, arguments.view(), element.column, discarded);
    }
    Variant object;
    if (withObjectNode(code_.nodes[static_cast<size_t>(element.a)].column, object) < 0) return -1;
    AccessPath path;
    if (readPathKeys(element, path) < 0) return -1;
    Variant value;
    if (evalNode(s.b, value) < 0) return -1;
    Variant scratch;
    Variant* target = walkAccessPath(&object, path, true, false, nullptr, element.column, scratch);
    if (!target) return -1;
    if (pendingPut_.active) return assignObjectMember(op, value);
    applyAssignment(op, *target, value);
    return 0;
}

// ---- For...In ----

int Engine::enterObjectForIn(Variant* variable, Variant& collection) {
    const int end = blocks_.at(currentLine_).end;
    Variant cursor;
    BuiltinContext context(*this);
    switch (objectBody(collection)->items(context, cursor)) {
    case MemberOutcome::Done: break;
    case MemberOutcome::Failed: return reportObjectMemberError(L"_NewEnum");
    case MemberOutcome::RunEnded: return -1;
    }
    Variant first;
    ObjectBody* items = objectBody(cursor);
    if (!items || !items->nextItem(first)) {
        // Nothing to walk (or a failure a handler saw): the body is skipped.
        nextLine_ = end + 1;
        return runState_ == RunState::Ending ? -1 : 0;
    }
    *variable = std::move(first);
    openBlocks_.emplace_back(BlockKind::For, currentLine_, end, variable, std::move(cursor));
    openBlocks_.back().position = 0;
    return 0;
}

// ---- Events ----

void Engine::queueObjectEvent(const UserFunction& f, std::vector<Variant> arguments, Variant source) {
    objectEvents_.push_back({&f, std::move(arguments), std::move(source)});
}

bool Engine::serveObjectEvent() {
    if (objectEvents_.empty() || objectEventRunning_) return false;
    ObjectEvent event = std::move(objectEvents_.front());
    objectEvents_.pop_front();
    objectEventRunning_ = true;
    Variant saved = std::move(eventSource_);
    eventSource_ = std::move(event.source);
    Variant discarded;
    runCallback(*event.function, BuiltinArgs(event.arguments.data(), event.arguments.size()), discarded);
    eventSource_ = std::move(saved);
    objectEventRunning_ = false;
    return true;
}

} // namespace vexil
