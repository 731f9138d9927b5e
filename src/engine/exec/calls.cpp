// Calling user functions: the parameters bound to the arguments, the local scope and the call
// frame, the nested run loop of the body, and what goes back to the caller.
#include "engine/builtins/builtins.h"
#include "engine/engine.h"
#include "engine/errors/messages.h"

namespace vexil {

Engine::RunRecord Engine::saveRun() const {
    return RunRecord{numParams_, currentLine_, nextLine_, openBlocks_.size(), runState_};
}

void Engine::restoreRun(const RunRecord& saved) {
    openBlocks_.erase(openBlocks_.begin() + static_cast<std::ptrdiff_t>(saved.blocks), openBlocks_.end());
    currentLine_ = saved.currentLine;
    nextLine_ = saved.nextLine;
    numParams_ = saved.numParams;
}

int Engine::runBody(const UserFunction& f, int bound, Variant& result, bool& returned) {
    frames_.emplace_back();
    const int outcome = bound == 0 ? run(f.line + 1) : bound;
    CallFrame& frame = frames_.back();
    returned = frame.returned;
    result = returned ? std::move(frame.returnValue) : Variant::int32(0);
    // Only a SETERROR or SETEXTENDED that no other built-in call followed reaches the caller.
    frames_[frames_.size() - 2].status.receiveFrom(frame.status);
    frames_.pop_back();
    return outcome;
}

int Engine::bindParameters(const UserFunction& f, BuiltinArgs arguments) {
    // The layout gives the parameters the first slots, in order.
    for (size_t i = 0; i < f.parameters.size(); ++i) {
        const Parameter& parameter = f.parameters[i];
        uint16_t attributes = VarAttribute::Parameter | (parameter.isConst ? VarAttribute::Constant : 0);
        if (i < arguments.size()) {
            Variant& argument = arguments[i];
            Variant* target = argument.is(VarKind::Reference) ? argument.referenceTarget() : nullptr;
            Variable* v = takeLocal(target ? Variant() : std::move(argument), attributes);
            if (target) v->makeAlias(target);
            localSlots_[frameBase_ + i] = v;
            continue;
        }
        // A missing argument takes its default, evaluated in the new scope (earlier parameters are visible).
        currentLine_ = f.line;
        size_t p = static_cast<size_t>(parameter.defaultStart);
        Variant value;
        if (evaluate(*loader_->tokens(f.line), p, value, parameter.defaultEnd) < 0) return -1;
        createVariable(parameter.nameId, std::move(value), attributes, Scope::Local);
    }
    return 0;
}

int Engine::invokeUserFunction(const UserFunction& f, BuiltinArgs arguments, Variant& result) {
    const RunRecord saved = saveRun();
    numParams_ = static_cast<int>(arguments.size());
    pushScope(f.line);
    bool returned = false;
    const int outcome = runBody(f, bindParameters(f, arguments), result, returned);
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
    pushScope(f.line);
    bool returned = false;
    (void)runBody(f, 0, result, returned); // an error ends the run itself; the caller sees the run state
    if (runState_ != RunState::Ending) runState_ = saved.runState;
    popScope();
    restoreRun(saved);
    return returned;
}

} // namespace vexil
