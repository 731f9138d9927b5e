// Calling user functions: the parameters bound to the arguments, the local scope and the call
// frame, the nested run loop of the body, and what goes back to the caller.
#include "engine/builtins/builtins.h"
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/eval/number_ops.h"
#include "engine/eval/number_reads.h"

namespace vexil {

namespace {

uint16_t parameterAttributes(const Parameter& parameter) {
    return VarAttribute::Parameter | (parameter.isConst ? VarAttribute::Constant : 0);
}

} // namespace

// Call set-up and tear-down, kept beside the calls so that they compile inline into them.
[[gnu::always_inline]] inline void Engine::pushScope(const UserFunction& f, Variable* frame) {
    if (scopeCount_ == scopes_.size()) scopes_.emplace_back();
    LocalTable& table = scopes_[scopeCount_++];
    table.layout = f.layout;
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
    if (++callDepth_ == callFrames_.size()) callFrames_.push_back(std::make_unique<CallFrame>());
    CallFrame& frame = *callFrames_[callDepth_];
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

[[gnu::always_inline]] inline int Engine::invokeFrame(const UserFunction& f, Variable* frame, size_t given, Variant& result) {
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

int Engine::invokeUserFunction(const UserFunction& f, BuiltinArgs arguments, Variant& result) {
    Variable* frame = reserveFrame(f);
    const size_t given = std::min(arguments.size(), f.parameters.size());
    for (size_t i = 0; i < given; ++i) frame[i].storage = std::move(arguments[i]);
    return invokeFrame(f, frame, given, result);
}

// A call of a user function in an expression (a UserCall node).
int Engine::userCallNode(int32_t index, Variant& out) {
    const Node n = code_.nodes[static_cast<size_t>(index)];
    const UserFunction& f = functions_.all()[static_cast<size_t>(n.a)];
    // The arguments go straight into the records of the new frame; calls among them push and pop
    // frames of their own above it.
    const size_t slots = f.frameSlots;
    Variable* frame = reserveFrame(f);
    // Arguments beyond the parameters are not evaluated: the count is wrong either way.
    const int32_t evaluated = std::min<int32_t>(n.c, static_cast<int32_t>(f.parameters.size()));
    for (int32_t i = 0; i < evaluated; ++i) {
        const int32_t argument = code_.lists[static_cast<size_t>(n.b + i)];
        if (Number number; numberValue(argument, number)) {
            storeNumber(frame[i].storage, number);
            continue;
        }
        if (evalNode(argument, frame[i].storage) < 0) {
            localFrames_.pop(frame, slots);
            return -1;
        }
    }
    if (n.c > evaluated || n.c < f.minArgs || n.c > f.maxArgs) {
        localFrames_.pop(frame, slots);
        return reportRuntimeError(MessageId::IncorrectParameterCount, n.column);
    }
    return invokeFrame(f, frame, static_cast<size_t>(evaluated), out);
}

bool Engine::runCallback(const UserFunction& f, Variant& result) {
    return runCallbackFrame(f, reserveFrame(f), 0, false, result);
}

bool Engine::runCallback(const UserFunction& f, BuiltinArgs arguments, Variant& result) {
    // Native code may call in the middle of a built-in call: what that call reports stays its own.
    const CallStatus interrupted = callFrame_->status;
    Variable* frame = reserveFrame(f);
    const size_t given = std::min(arguments.size(), f.parameters.size());
    for (size_t i = 0; i < given; ++i) frame[i].storage = std::move(arguments[i]);
    const bool returned = runCallbackFrame(f, frame, given, true, result);
    callFrame_->status = interrupted;
    return returned;
}

bool Engine::runCallbackFrame(const UserFunction& f, Variable* frame, size_t given, bool bind, Variant& result) {
    const RunRecord saved = saveRun();
    // A callback may interrupt a wait: it runs as running code, and the wait resumes afterwards
    // unless the run began to end meanwhile.
    runState_ = RunState::Running;
    if (bind) numParams_ = static_cast<int>(given);
    pushScope(f, frame);
    bool returned = false;
    // An error ends the run itself; the caller sees the run state.
    (void)runBody(f, bind ? bindParameters(f, frame, given) : 0, result, returned);
    if (runState_ != RunState::Ending) runState_ = saved.runState;
    popScope();
    restoreRun(saved);
    return returned;
}

} // namespace vexil
