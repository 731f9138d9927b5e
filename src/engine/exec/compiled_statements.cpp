// The run loop and the compiled statements it runs (code.h). Each form does what its token
// statement does, in the same order, so that side effects and errors are the same; the block
// statements share their second half with the token statements (exec.cpp).
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/eval/number_ops.h"
#include "engine/eval/number_reads.h"
#include "engine/exec/assignment_operators.h"
#include "engine/startup_state.h"
#include "engine/values/containers.h"

#include <optional>

namespace vexil {

// A condition's truth: 1 or 0, or -1 after an error. A comparison of plain numbers is decided
// without a Variant.
[[gnu::always_inline]] inline int Engine::conditionOf(int32_t index) {
    if (Number number; numberValue(index, number) && number.kind == VarKind::Bool) return number.boolean;
    Variant condition;
    if (evalNode(index, condition) < 0) return -1;
    return condition.toBool();
}

namespace {

// An Int32 counter with an Int32 limit and step, stepped without the general rules; false when
// the counter is of another kind or would leave Int32.
[[gnu::always_inline]] inline bool countInt32(Variant& counter, const Variant& limit, const Variant& step, bool& goesOn) {
    if (!counter.is(VarKind::Int32) || !counter.hasNoText() || !limit.is(VarKind::Int32) || !step.is(VarKind::Int32))
        return false;
    const int64_t next = int64_t{counter.int32Value()} + step.int32Value();
    if (next != static_cast<int32_t>(next)) return false;
    counter.setInt32(static_cast<int32_t>(next));
    goesOn = step.int32Value() < 0 ? next >= limit.int32Value() : next <= limit.int32Value();
    return true;
}

} // namespace

// NEXT: back to the line after the loop's FOR, or on past the loop when it ends.
[[gnu::always_inline]] inline int Engine::nextStatement() {
    if (openBlocks_.empty()) return 0;
    OpenBlock& block = openBlocks_.back();
    bool goesOn;
    if (block.position >= 0) goesOn = nextItem(block);
    else if (!countInt32(*block.variable, block.limit, block.step, goesOn)) goesOn = countGeneral(block);
    if (goesOn) {
        nextLine_ = block.start + 1;
    } else {
        nextLine_ = currentLine_ + 1;
        openBlocks_.pop_back();
    }
    return 0;
}

// RETURN: the value goes straight into the running call's frame, and the call's run loop ends.
[[gnu::always_inline]] inline int Engine::returnValue(int32_t valueNode, int column) {
    if (runDepth_ <= 1) return reportRuntimeError(MessageId::InvalidKeywordAtStart, column);
    if (valueNode >= 0) {
        CallFrame& frame = *callFrame_;
        const Variant* value = operandOf(valueNode, frame.returnValue);
        if (!value) return -1;
        if (value != &frame.returnValue) frame.returnValue = *value;
        frame.returned = true;
    }
    leaveLoop_ = true;
    return 0;
}

// The run loop runs each line's statement inline: no call, no register saves per line.
[[gnu::always_inline]] inline int Engine::dispatchStatement(const Statement& s) {
    switch (s.kind) {
    case StatementKind::Tokens: return executeStatement(*loader_->tokens(currentLine_), static_cast<size_t>(s.a));
    case StatementKind::ElseIf: // reached when the branch before it has run
    case StatementKind::BranchEnd: return branchEnd();
    case StatementKind::Empty: return 0;
    case StatementKind::Assign: {
        Variable* variable = variableOf(code_.nodes[static_cast<size_t>(s.a)]);
        const Node target = code_.nodes[static_cast<size_t>(s.a)]; // a copy: the value may compile more nodes
        if (variable && variable->isConstant()) return reportRuntimeError(MessageId::CannotAssignConstant, target.column);
        const TokenType op = static_cast<TokenType>(s.op);
        if (Number number; variable && numberValue(s.b, number)) {
            assignNumber(op, *variable->value, number);
            return 0;
        }
        Variant value;
        if (evalNode(s.b, value) < 0) return -1;
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
        const int truth = conditionOf(s.a);
        if (truth < 0) return -1;
        if (!truth) return 0;
        const Statement then = code_.statements[static_cast<size_t>(s.b)];
        // "If ... Then Return ..." ends most recursions: no second dispatch for it.
        if (then.kind == StatementKind::Return) return returnValue(then.a, then.column);
        return runStatement(then);
    }
    case StatementKind::IfBlock:
    case StatementKind::While:
    case StatementKind::Until: {
        const int truth = conditionOf(s.a);
        if (truth < 0) return -1;
        if (s.kind == StatementKind::IfBlock) return ifBlock(truth);
        return s.kind == StatementKind::While ? enterWhile(truth) : untilReached(truth);
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
    case StatementKind::With: {
        Variant object;
        if (evalNode(s.a, object) < 0) return -1;
        return enterWith(object, s.column);
    }
    case StatementKind::AssignMember: return runAssignMember(s);
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
    Variable* variable = variableOf(code_.nodes[static_cast<size_t>(element.a)]);
    const Node name = code_.nodes[static_cast<size_t>(element.a)];
    if (variable && variable->isConstant()) return reportRuntimeError(MessageId::CannotAssignConstant, name.column);
    // Subscripts and keys are evaluated before the value, and applied after it.
    const bool plain = element.op & kPlainIndexPath;
    const TokenType op = static_cast<TokenType>(s.op);
    if (int32_t subscripts[kMaxPlainSteps]; plain && variable && leafSubscripts(element, subscripts)) {
        Number number;
        const bool isNumber = numberValue(s.b, number);
        Variant value;
        if (!isNumber && evalNode(s.b, value) < 0) return -1;
        Variant* target = arrayElement(writableArray(*variable->value), subscripts, element.c);
        if (isNumber && target) {
            assignNumber(op, *target, number);
            return 0;
        }
        if (isNumber) storeNumber(value, number);
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
    if (pendingPut_.active) return assignObjectMember(op, value);
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
