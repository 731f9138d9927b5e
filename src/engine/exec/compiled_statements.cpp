// The run loop and the compiled statements it runs (code.h). Each form does what its token
// statement does, in the same order, so that side effects and errors are the same; the block
// statements share their second half with the token statements (exec.cpp).
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/exec/assignment_operators.h"
#include "engine/startup_state.h"
#include "engine/values/containers.h"

#include <optional>

namespace vexil {

// The run loop runs each line's statement inline: no call, no register saves per line.
[[gnu::always_inline]] inline int Engine::dispatchStatement(const Statement& s) {
    switch (s.kind) {
    case StatementKind::Tokens: return executeStatement(*loader_->tokens(currentLine_), static_cast<size_t>(s.a));
    case StatementKind::ElseIf: // reached when the branch before it has run
    case StatementKind::BranchEnd: return branchEnd();
    case StatementKind::Empty: return 0;
    case StatementKind::Assign: {
        const Node target = code_.nodes[static_cast<size_t>(s.a)];
        Variable* variable = variableOf(target);
        if (variable && variable->isConstant()) return reportRuntimeError(MessageId::CannotAssignConstant, target.column);
        Variant value;
        if (evalNode(s.b, value) < 0) return -1;
        const TokenType op = static_cast<TokenType>(s.op);
        if (variable) {
            applyAssignment(op, *variable->value, value);
            return 0;
        }
        if (op != TokenType::Assign || options_.mustDeclareVars)
            return reportRuntimeError(MessageId::VariableNotDeclared, target.column);
        createVariable(nameIdOf(target), std::move(value), 0, Scope::Automatic);
        return 0;
    }
    case StatementKind::AssignElement: return runAssignElement(s);
    case StatementKind::Evaluate: {
        Variant discarded;
        return evalNode(s.a, discarded) < 0 ? -1 : 0;
    }
    case StatementKind::IfThen: {
        Variant condition;
        if (evalNode(s.a, condition) < 0) return -1;
        if (!condition.toBool()) return 0;
        const Statement then = code_.statements[static_cast<size_t>(s.b)];
        return runStatement(then);
    }
    case StatementKind::IfBlock:
    case StatementKind::While:
    case StatementKind::Until: {
        Variant condition;
        if (evalNode(s.a, condition) < 0) return -1;
        if (s.kind == StatementKind::IfBlock) return ifBlock(condition.toBool());
        return s.kind == StatementKind::While ? enterWhile(condition.toBool()) : untilReached(condition.toBool());
    }
    case StatementKind::For: return runFor(s);
    case StatementKind::Return: return returnValue(s.a, s.column);
    case StatementKind::Next: return nextStatement();
    case StatementKind::Wend: return wendStatement();
    case StatementKind::EndBlock: return endBlock();
    case StatementKind::Do: return enterDo();
    case StatementKind::SkipFunction: return skipFunction();
    case StatementKind::EndFunction: return endFunction();
    case StatementKind::Select: return chooseCase(false, Variant());
    case StatementKind::Switch: return runSwitch(s);
    case StatementKind::Case: return caseEnd();
    case StatementKind::ContinueCase: return continueSelect();
    case StatementKind::LoopExit: return runLoopExit(s);
    case StatementKind::Exit: return runExit(s);
    case StatementKind::ForIn: return runForIn(s);
    case StatementKind::Fail: return reportRuntimeError(static_cast<MessageId::Id>(s.a), s.column);
    case StatementKind::Declare: return runDeclare(s);
    case StatementKind::Enum: return runEnum(s);
    }
    return 0;
}

int Engine::runStatement(const Statement& s) { return dispatchStatement(s); }

int Engine::run(int startLine) {
    constexpr int kMaxRunDepth = 1900;
    if (runDepth_ >= kMaxRunDepth) {
        // Never silenced: it ends the script even inside EXECUTE.
        bool suppressed = errorsSuppressed_;
        errorsSuppressed_ = false;
        reportRuntimeError(MessageId::RecursionLevelExceeded, -1);
        errorsSuppressed_ = suppressed;
        return -1;
    }
    ++runDepth_;
    if (runDepth_ == 1 && !startFunctionsRun_) {
        startFunctionsRun_ = true;
        for (const std::wstring& name : startFunctions_) {
            const UserFunction* f = findFunction(name);
            Variant ignored;
            if (f && runState_ == RunState::Running) runCallback(*f, ignored);
        }
    }
    nextLine_ = startLine;
    leaveLoop_ = false;
    int status = 0;
    const volatile long& paused = startup_.paused; // one load a line, not two
    while (runState_ == RunState::Running && !leaveLoop_) {
        // The service step: at most one poll a millisecond while lines run; the clock itself is
        // read every few lines only.
        if ((--linesUntilClock_ == 0 && clockMoved()) || paused) {
            int step = serviceStep();
            if (step == kPollStop) break;
            if (step == kServiceBusy) continue;
        }
        if (nextLine_ < 1 || nextLine_ > lineCount_) {
            runState_ = RunState::Ending; // the end of the script
            break;
        }
        currentLine_ = nextLine_++;
        if (dispatchStatement(code_.statements[static_cast<size_t>(currentLine_)]) < 0) {
            status = -1;
            break;
        }
    }
    leaveLoop_ = false;
    --runDepth_;
    return status;
}

int Engine::runAssignElement(const Statement& s) {
    const Node element = code_.nodes[static_cast<size_t>(s.a)];
    const Node name = code_.nodes[static_cast<size_t>(element.a)];
    Variable* variable = variableOf(name);
    if (variable && variable->isConstant()) return reportRuntimeError(MessageId::CannotAssignConstant, name.column);
    // Subscripts and keys are evaluated before the value, and applied after it.
    const bool plain = element.op & kPlainIndexPath;
    const TokenType op = static_cast<TokenType>(s.op);
    if (int32_t subscripts[kMaxPlainSteps]; plain && variable && leafSubscripts(element, subscripts)) {
        Variant value;
        if (evalNode(s.b, value) < 0) return -1;
        Variant* target = arrayElement(writableArray(*variable->value), subscripts, element.c);
        Variant scratch;
        if (!target) {
            // Not an element of an array: the general path, with the keys as they were read.
            Variant keys[kMaxPlainSteps];
            for (int32_t i = 0; i < element.c; ++i) keys[i].setInt32(subscripts[i]);
            target = reachPlain(variable->value, element, keys, true, false, nullptr, name.column, scratch);
            if (!target) return -1;
        }
        applyAssignment(op, *target, value);
        return 0;
    }
    Variant keys[kMaxPlainSteps];
    std::optional<AccessPath> path;
    if (!plain) path.emplace();
    if ((plain ? readPlainKeys(element, keys) : readPathKeys(element, *path)) < 0) return -1;
    if (!variable) return reportRuntimeError(MessageId::VariableNotDeclared, name.column);
    Variant value;
    if (evalNode(s.b, value) < 0) return -1;
    Variant scratch;
    Variant* target = plain ? reachPlain(variable->value, element, keys, true, false, nullptr, name.column, scratch)
                            : walkAccessPath(variable->value, *path, true, false, nullptr, name.column, scratch);
    if (!target) return -1;
    applyAssignment(op, *target, value);
    return 0;
}

int Engine::runFor(const Statement& s) {
    Variable* variable = loopVariable(code_.nodes[static_cast<size_t>(s.a)]);
    if (!variable) return -1;
    Variant* value = variable->value;
    Variant start, limit, step = Variant::int32(1);
    if (evalNode(s.b, start) < 0) return -1;
    *value = std::move(start);
    if (evalNode(s.c, limit) < 0) return -1;
    if (s.d >= 0 && evalNode(s.d, step) < 0) return -1;
    return enterFor(value, limit, step);
}

} // namespace vexil
