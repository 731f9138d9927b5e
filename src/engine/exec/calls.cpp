// Calling user functions: arguments (by value or by reference), the local scope and the call
// frame, the nested run loop of the body, and what goes back to the caller.
#include "engine/builtins/builtins.h"
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/eval/arguments.h"
#include "engine/front/token_cursor.h"
#include "engine/values/containers.h"

namespace vexil {

namespace {

uint16_t parameterAttributes(const Parameter& parameter) {
    return VarAttribute::Parameter | (parameter.isConst ? VarAttribute::Constant : 0);
}

} // namespace

int Engine::evaluateReference(const TokenList& t, size_t& pos, Variant& out, bool constantAllowed, bool required,
                              int end) {
    const Token& name = t[pos];
    Variable* variable = findVariable(name.i32);
    if (!variable) {
        return reportRuntimeError(functions_.find(name.i32) ? MessageId::GlobalFuncReassign : MessageId::VariableNotDeclared,
                                  name.column);
    }
    if (variable->isConstant() && !constantAllowed) return reportRuntimeError(MessageId::ConstantByReference, name.column);
    const size_t start = pos;
    size_t p = pos + 1;
    AccessPath path;
    bool objectMember = false;
    if (t[p].type == TokenType::LeftBracket || t[p].type == TokenType::Member) {
        // An element or map value is reached in write mode; a member of anything but a map is a value.
        objectMember = t[p].type == TokenType::Member && !variable->value->is(VarKind::Map);
        if (!objectMember && readAccessPath(t, p, path) < 0) return -1;
    }
    TokenType next = t[p].type;
    if (!objectMember && (next == TokenType::Comma || next == TokenType::RightParen || next == TokenType::EndOfLine)) {
        HeapValue* owner = nullptr;
        Variant scratch;
        Variant* element = variable->value;
        if (!path.empty()) {
            element = walkAccessPath(variable->value, path, true, true, &owner, name.column, scratch);
            if (!element) return -1;
        }
        out = Variant::reference(element, owner);
        pos = p;
        return 0;
    }
    if (required) return reportRuntimeError(MessageId::ExpectedVariable, t[p].column);
    pos = start;
    return evaluate(t, pos, out, end);
}

int Engine::callUserFunction(const TokenList& t, size_t& pos, Variant& result) {
    const Token& name = t[pos];
    const UserFunction* f = functions_.find(name.i32);
    if (!f) return reportRuntimeError(MessageId::UnknownFunction, name.column);
    if (t[pos + 1].type != TokenType::LeftParen) return reportRuntimeError(MessageId::ErrorParsingFunctionCall, name.column);
    ++pos;
    return callUserFunctionArguments(*f, t, pos, name.column, result, false);
}

int Engine::callUserFunctionArguments(const UserFunction& f, const TokenList& t, size_t& pos, int nameColumn,
                                      Variant& result, bool fromCall) {
    size_t close = closingParenthesis(t, pos);
    if (t[close].type == TokenType::EndOfLine) return reportRuntimeError(MessageId::ErrorParsingFunctionCall, t[close].column);
    ArgumentList arguments;
    bool leftOver = false;
    ++pos;
    for (size_t index = 0; pos < close; ++index) {
        if (index >= f.parameters.size()) {
            leftOver = true;
            break;
        }
        const Parameter& parameter = f.parameters[index];
        Variant& argument = arguments.add();
        int status = parameter.byRef && t[pos].type == TokenType::Variable
                         ? evaluateReference(t, pos, argument, parameter.isConst, true, static_cast<int>(close))
                         : evaluate(t, pos, argument, static_cast<int>(close));
        if (status < 0) return -1;
        if (pos == close) break;
        if (t[pos].type != TokenType::Comma || pos + 1 == close)
            return reportRuntimeError(MessageId::ErrorParsingFunctionCall, t[pos].column);
        ++pos;
    }
    pos = close + 1;
    // CALL's argument array: one array whose element 0 is "CallArgArray" holds the arguments.
    if (fromCall && arguments.size() == 1 && !leftOver) {
        const Variant& only = arguments.view()[0];
        const ArrayBody* array = arrayBody(only.dereferenced());
        if (array && array->dims == 1 && array->sizes[0] > 0) {
            if (upperCase(array->elements[0].text().view()) == L"CALLARGARRAY") {
                std::vector<Variant> unpacked(array->elements.begin() + 1, array->elements.end());
                int count = static_cast<int>(unpacked.size());
                if (count < f.minArgs || count > f.maxArgs) return kCallFailed;
                return invokeUserFunction(f, BuiltinArgs(unpacked.data(), unpacked.size()), result);
            }
        }
    }
    int count = static_cast<int>(arguments.size());
    if (leftOver || count < f.minArgs || count > f.maxArgs)
        return fromCall ? kCallFailed : reportRuntimeError(MessageId::IncorrectParameterCount, nameColumn);
    return invokeUserFunction(f, arguments.view(), result);
}

// Call set-up and tear-down, kept beside the calls so that they compile inline into them.
[[gnu::always_inline]] inline void Engine::pushScope(const UserFunction& f, Variable* frame) {
    if (scopeCount_ == scopes_.size()) scopes_.emplace_back();
    LocalTable& table = scopes_[scopeCount_++];
    table.layout = static_cast<size_t>(f.index) < code_.layouts.size() ? &code_.layouts[static_cast<size_t>(f.index)] : nullptr;
    table.frame = frame;
    table.slotCount = f.frameSlots;
    table.extra.clear();
    locals_ = frame;
}

[[gnu::always_inline]] inline void Engine::popScope() {
    LocalTable& table = scopes_[--scopeCount_];
    for (const auto& [id, variable] : table.extra) variablePool_.give(variable);
    table.extra.clear();
    localFrames_.pop(table.frame, table.slotCount);
    locals_ = scopeCount_ > 0 ? scopes_[scopeCount_ - 1].frame : nullptr;
}

[[gnu::always_inline]] inline Engine::RunRecord Engine::saveRun() const {
    return RunRecord{numParams_, currentLine_, nextLine_, openBlocks_.size(), runState_};
}

[[gnu::always_inline]] inline void Engine::restoreRun(const RunRecord& saved) {
    openBlocks_.erase(openBlocks_.begin() + static_cast<std::ptrdiff_t>(saved.blocks), openBlocks_.end());
    currentLine_ = saved.currentLine;
    nextLine_ = saved.nextLine;
    numParams_ = saved.numParams;
}

[[gnu::always_inline]] inline int Engine::runBody(const UserFunction& f, int bound, Variant& result, bool& returned) {
    CallFrame* caller = callFrame_;
    if (++callDepth_ == callFrames_.size()) callFrames_.emplace_back();
    CallFrame& frame = callFrames_[callDepth_];
    frame.returned = false;
    frame.status.reset();
    callFrame_ = &frame;
    const int outcome = bound == 0 ? run(f.line + 1) : bound;
    returned = frame.returned;
    if (returned) result = std::move(frame.returnValue);
    else result.setInt32(0);
    // Only a SETERROR or SETEXTENDED that no other built-in call followed reaches the caller.
    caller->status.receiveFrom(frame.status);
    callFrame_ = caller;
    --callDepth_;
    return outcome;
}

[[gnu::always_inline]] inline int Engine::bindParameters(const UserFunction& f, Variable* frame, size_t given) {
    // The layout gives the parameters the first slots, in order.
    for (size_t i = 0; i < given; ++i) {
        Variable& record = frame[i];
        record.attributes = parameterAttributes(f.parameters[i]);
        // A by-reference argument stays in the record for the call: its owner keeps the element it
        // refers to alive.
        if (record.storage.is(VarKind::Reference)) record.makeAlias(record.storage.referenceTarget());
        else record.value = &record.storage;
    }
    for (size_t i = given; i < f.parameters.size(); ++i)
        if (bindDefault(f, i) < 0) return -1;
    return 0;
}

// A missing argument takes its default, evaluated in the new scope (earlier parameters are visible).
int Engine::bindDefault(const UserFunction& f, size_t index) {
    const Parameter& parameter = f.parameters[index];
    currentLine_ = f.line;
    size_t p = static_cast<size_t>(parameter.defaultStart);
    Variant value;
    if (evaluate(*loader_->tokens(f.line), p, value, parameter.defaultEnd) < 0) return -1;
    createVariable(parameter.nameId, std::move(value), parameterAttributes(parameter), Scope::Local);
    return 0;
}

int Engine::invokeUserFunction(const UserFunction& f, BuiltinArgs arguments, Variant& result) {
    Variable* frame = reserveFrame(f);
    const size_t given = std::min(arguments.size(), f.parameters.size());
    for (size_t i = 0; i < given; ++i) frame[i].storage = std::move(arguments[i]);
    return invokeFrame(f, frame, given, result);
}

int Engine::invokeFrame(const UserFunction& f, Variable* frame, size_t given, Variant& result) {
    const RunRecord saved = saveRun();
    numParams_ = static_cast<int>(given);
    pushScope(f, frame);
    bool returned = false;
    const int outcome = runBody(f, bindParameters(f, frame, given), result, returned);
    restoreRun(saved);
    popScope();
    if (outcome < 0 || runState_ == RunState::Ending) return -1;
    return 0;
}

bool Engine::runCallback(const UserFunction& f, Variant& result) {
    const RunRecord saved = saveRun();
    // A callback may interrupt a wait: it runs as running code, and the wait resumes afterwards
    // unless the run began to end meanwhile.
    runState_ = RunState::Running;
    pushScope(f, reserveFrame(f));
    bool returned = false;
    (void)runBody(f, 0, result, returned); // an error ends the run itself; the caller sees the run state
    if (runState_ != RunState::Ending) runState_ = saved.runState;
    popScope();
    restoreRun(saved);
    return returned;
}

int Engine::callByCall(const TokenList& t, size_t& pos, int nameColumn, Variant& result) {
    size_t close = closingParenthesis(t, pos);
    if (t[close].type == TokenType::EndOfLine) return reportRuntimeError(MessageId::ErrorParsingFunctionCall, t[close].column);
    if (pos + 1 == close) return reportRuntimeError(MessageId::IncorrectParameterCount, nameColumn);
    size_t p = pos + 1;
    const int firstColumn = t[p].column;
    Variant target;
    if (evaluate(t, p, target, static_cast<int>(close)) < 0) return -1;

    // The call as it would be written directly: the function, "(", the remaining arguments, ")".
    Token function(TokenType::Builtin, static_cast<int16_t>(firstColumn));
    const UserFunction* user = nullptr;
    if (target.is(VarKind::Function)) {
        function.i32 = target.functionRecord()->index;
    } else if (target.is(VarKind::UserFunction)) {
        user = findFunction(target.functionRecord()->name);
    } else if (target.is(VarKind::String)) {
        function.i32 = vexil::findBuiltin(upperCase(target.text().view()));
        if (function.i32 < 0) user = findFunction(target.text().view());
    } else {
        function.i32 = -1;
    }
    int outcome = kCallFailed;
    if (user || function.i32 >= 0) {
        TokenList call;
        call.push_back(function);
        call.emplace_back(TokenType::LeftParen, t[p].column);
        if (t[p].type == TokenType::Comma)
            for (size_t i = p + 1; i < close; ++i) call.push_back(t[i]);
        call.emplace_back(TokenType::RightParen, t[close].column);
        call.emplace_back(TokenType::EndOfLine, t[close].column);
        size_t q = 1;
        outcome = user ? callUserFunctionArguments(*user, call, q, firstColumn, result, true)
                      : callBuiltinArguments(function.i32, call, q, firstColumn, result, true);
    }
    pos = close + 1;
    if (outcome < 0) return -1;
    if (outcome == kCallFailed) {
        result = Variant::int32(0);
        status().setError(0xDEAD);
        status().setExtended(Variant::int32(0xBEEF));
    }
    return 0;
}

} // namespace vexil
