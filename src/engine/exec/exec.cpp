// The control statements: block statements jump to the partner lines found at load. The token
// form of each statement, for the lines that stay Tokens, reads its tokens and then runs the same
// code as the compiled form.
#include "engine/engine.h"
#include "engine/errors/messages.h"
#include "engine/eval/macros.h"
#include "engine/eval/object_members.h"
#include "engine/front/keywords.h"
#include "engine/startup_state.h"
#include "engine/values/containers.h"

#include <windows.h>

namespace vexil {

bool Engine::checkBlocks() { return vexil::checkBlocks(*loader_, *this, blocks_); }

void Engine::runScript() {
    if (!loader_) return;
    lineCount_ = loader_->lineCount();
    compileLines(); // before any code runs, start functions included
    (void)run(1); // a fatal error has been shown and ends the run either way
    stopBackgroundWork();
    if (!quitReceived_) exitProcessing();
    runState_ = RunState::Ending;
}

bool Engine::clockMoved() {
    linesUntilClock_ = kLinesPerClockReading;
    linesRun_ += kLinesPerClockReading;
    return GetTickCount64() != lastPoll_ || linesSpent();
}

void Engine::setCommandLineArray() {
    std::vector<Variant> items;
    items.reserve(cmdLine_.size() + 1);
    items.push_back(Variant::int32(static_cast<int32_t>(cmdLine_.size())));
    for (const std::wstring& argument : cmdLine_) items.push_back(Variant::string(WString(argument)));
    setGlobal(L"CMDLINE", arrayOf(std::move(items)));
}

void Engine::setGlobal(std::wstring_view name, Variant value) {
    int id = names_.intern(name).id;
    if (Variable* v = globals_.find(id)) *v->value = std::move(value);
    else globals_.create(id, std::move(value), 0);
}

int Engine::executeStatement(const TokenList& t, size_t pos) {
    const Token& first = t[pos];
    switch (first.type) {
    case TokenType::EndOfLine: return 0;
    case TokenType::Keyword: return executeKeyword(t, pos);
    case TokenType::Variable: return assignment(t, pos);
    default: break;
    }
    Variant discarded;
    int status = first.type == TokenType::Builtin || first.type == TokenType::UserFunc ? evaluateCall(t, pos, discarded)
                                                                                         : evaluate(t, pos, discarded);
    return status < 0 ? -1 : expectEnd(t, pos);
}

// Only the keywords whose lines can stay Tokens (an expression the compiler does not take, tokens
// that fail) come here: the others always compile, and THEN takes none of them.
int Engine::executeKeyword(const TokenList& t, size_t pos) {
    switch (static_cast<Keyword>(t[pos].i32)) {
    case Keyword::If: return ifStatement(t, pos);
    case Keyword::ElseIf: return branchEnd();
    case Keyword::While: return whileStatement(t, pos);
    case Keyword::Until: return untilStatement(t, pos);
    case Keyword::For: return forStatement(t, pos);
    case Keyword::ExitLoop: return loopExit(t, pos, true);
    case Keyword::ContinueLoop: return loopExit(t, pos, false);
    case Keyword::Switch: return switchStatement(t, pos);
    case Keyword::Case: return caseEnd();
    case Keyword::ContinueCase: return continueCase(t, pos);
    case Keyword::Dim: case Keyword::ReDim: case Keyword::Local: case Keyword::Global: case Keyword::Const:
    case Keyword::Static: case Keyword::Enum:
        return declaration(t, pos);
    case Keyword::Return: return returnStatement(t, pos);
    case Keyword::Exit: return exitStatement(t, pos);
    case Keyword::With: return withStatement(t, pos);
    default: return reportRuntimeError(MessageId::InvalidKeywordAtStart, -1);
    }
}

// The block lines without expressions.

int Engine::branchEnd() {
    // The chosen branch ran to its end.
    if (!openBlocks_.empty()) {
        nextLine_ = openBlocks_.back().end + 1;
        openBlocks_.pop_back();
    }
    return 0;
}

int Engine::endBlock() {
    if (!openBlocks_.empty()) openBlocks_.pop_back();
    return 0;
}

int Engine::enterDo() {
    openBlocks_.emplace_back(BlockKind::Do, currentLine_, blocks_.at(currentLine_).end);
    return 0;
}

int Engine::skipFunction() {
    nextLine_ = blocks_.at(currentLine_).end + 1; // a definition is not run where it stands
    return 0;
}

int Engine::endFunction() {
    leaveLoop_ = true;
    return 0;
}

// ---- IF ----

int Engine::ifStatement(const TokenList& t, size_t pos) {
    Variant condition;
    ++pos;
    if (evaluate(t, pos, condition) < 0) return -1;
    if (!isKeyword(t[pos], Keyword::Then)) return reportRuntimeError(MessageId::IfWithoutThen, t[pos].column);
    if (t[pos + 1].type != TokenType::EndOfLine) return condition.toBool() ? executeStatement(t, pos + 1) : 0;
    return ifBlock(condition.toBool());
}

int Engine::ifBlock(bool condition) {
    const int ifLine = currentLine_;
    const BlockLines& lines = blocks_.at(ifLine);
    int chosen = condition ? ifLine + 1 : 0;
    bool seenElse = false;
    for (int branch : lines.branches) {
        const Statement& compiled = code_.statements[static_cast<size_t>(branch)];
        const bool isElse = compiled.kind == StatementKind::BranchEnd;
        if (seenElse) {
            currentLine_ = branch;
            return reportRuntimeError(MessageId::TooManyElse, -1);
        }
        if (isElse) {
            seenElse = true;
            if (!chosen) chosen = branch + 1;
            continue;
        }
        if (chosen) continue; // later conditions are not evaluated
        currentLine_ = branch;
        Variant branchCondition;
        if (compiled.kind == StatementKind::ElseIf) {
            if (evalNode(compiled.a, branchCondition) < 0) return -1;
        } else {
            const TokenList& b = *loader_->tokens(branch);
            size_t p = 1;
            if (evaluate(b, p, branchCondition) < 0) return -1;
            if (!isKeyword(b[p], Keyword::Then)) return reportRuntimeError(MessageId::IfWithoutThen, b[p].column);
            if (expectEnd(b, p + 1) < 0) return -1;
        }
        if (branchCondition.toBool()) chosen = branch + 1;
    }
    currentLine_ = ifLine;
    openBlocks_.emplace_back(BlockKind::If, ifLine, lines.end);
    nextLine_ = chosen ? chosen : lines.end;
    return 0;
}

// ---- WHILE, DO ----

int Engine::conditionToEnd(const TokenList& t, size_t pos, bool& condition) {
    Variant value;
    ++pos;
    if (evaluate(t, pos, value) < 0 || expectEnd(t, pos) < 0) return -1;
    condition = value.toBool();
    return 0;
}

int Engine::whileStatement(const TokenList& t, size_t pos) {
    bool condition = false;
    return conditionToEnd(t, pos, condition) < 0 ? -1 : enterWhile(condition);
}

int Engine::enterWhile(bool condition) {
    int end = blocks_.at(currentLine_).end;
    if (condition) openBlocks_.emplace_back(BlockKind::While, currentLine_, end);
    else nextLine_ = end + 1;
    return 0;
}

int Engine::whileCondition(int whileLine, Variant& condition) {
    const Statement& compiled = code_.statements[static_cast<size_t>(whileLine)];
    if (compiled.kind == StatementKind::While) return evalNode(compiled.a, condition);
    size_t pos = 1;
    return evaluate(*loader_->tokens(whileLine), pos, condition);
}

int Engine::wendStatement() {
    if (openBlocks_.empty()) return 0;
    // Copied out: calls in the condition push blocks of their own and may move the stack.
    const int whileLine = openBlocks_.back().start;
    const int wendLine = currentLine_;
    currentLine_ = whileLine; // the condition is the WHILE line's
    Variant condition;
    if (whileCondition(whileLine, condition) < 0) return -1;
    currentLine_ = wendLine;
    if (condition.toBool()) {
        nextLine_ = whileLine + 1;
    } else {
        openBlocks_.pop_back();
        nextLine_ = wendLine + 1;
    }
    return 0;
}

int Engine::untilStatement(const TokenList& t, size_t pos) {
    bool condition = false;
    return conditionToEnd(t, pos, condition) < 0 ? -1 : untilReached(condition);
}

int Engine::untilReached(bool condition) {
    if (openBlocks_.empty()) return 0;
    if (condition) openBlocks_.pop_back();
    else nextLine_ = openBlocks_.back().start + 1;
    return 0;
}

// ---- FOR ----

namespace {

// The numeric FOR test: an ascending (or zero) step runs while variable <= limit.
bool forContinues(const Variant& variable, const Variant& limit, const Variant& step) {
    if (variable.is(VarKind::Int32) && limit.is(VarKind::Int32) && step.is(VarKind::Int32))
        return step.int32Value() < 0 ? variable.int32Value() >= limit.int32Value() : variable.int32Value() <= limit.int32Value();
    if (Variant::lessThan(step, Variant::int32(0))) return !Variant::lessThan(variable, limit);
    return !Variant::lessThan(limit, variable);
}

} // namespace

int Engine::forStatement(const TokenList& t, size_t pos) {
    const Token& name = t[pos + 1];
    if (name.type != TokenType::Variable) return reportRuntimeError(MessageId::BadForStatement, name.column);
    // Inside a function the loop variable is always a local one.
    Variable* variable = inFunction() ? findLocal(name.i32) : findVariable(name.i32);
    if (variable && variable->isConstant()) return reportRuntimeError(MessageId::CannotAssignConstant, name.column);
    if (!isKeyword(t[pos + 2], Keyword::In) && t[pos + 2].type != TokenType::Assign)
        return reportRuntimeError(MessageId::BadForStatement, t[pos + 2].column);
    if (!variable) variable = &createVariable(name.i32, Variant::int32(0), 0, Scope::Local);
    if (isKeyword(t[pos + 2], Keyword::In)) return forInStatement(t, pos + 3, variable->value);
    Variant* value = variable->value;

    size_t p = pos + 3;
    Variant start, limit, step = Variant::int32(1);
    if (evaluate(t, p, start) < 0) return -1;
    *value = std::move(start);
    if (!isKeyword(t[p], Keyword::To)) return reportRuntimeError(MessageId::BadForStatement, t[p].column);
    ++p;
    if (evaluate(t, p, limit) < 0) return -1;
    if (isKeyword(t[p], Keyword::Step)) {
        ++p;
        if (evaluate(t, p, step) < 0) return -1;
    }
    if (expectEnd(t, p) < 0) return -1;
    return enterFor(value, limit, step);
}

int Engine::enterFor(Variant* value, Variant& limit, Variant& step) {
    if (value->is(VarKind::String)) value->makeNumber();
    if (limit.is(VarKind::String)) limit.makeNumber();
    if (step.is(VarKind::String)) step.makeNumber();

    int end = blocks_.at(currentLine_).end;
    if (forContinues(*value, limit, step)) {
        openBlocks_.emplace_back(BlockKind::For, currentLine_, end, value, std::move(limit), std::move(step));
    } else {
        nextLine_ = end + 1;
    }
    return 0;
}

namespace {

// The item of a FOR...IN collection at a position: an array element or a map key.
bool collectionItem(const Variant& collection, int32_t position, Variant& item) {
    if (const ArrayBody* array = arrayBody(collection)) {
        if (position >= array->sizes[0]) return false;
        item = array->elements[static_cast<size_t>(position)];
        return true;
    }
    MapBody* map = mapBody(collection);
    if (!map) return false;
    const auto& entries = mapEntries(map);
    if (position >= static_cast<int32_t>(entries.size())) return false;
    item = keyValue(*entries[static_cast<size_t>(position)]);
    return true;
}

} // namespace

int Engine::forInStatement(const TokenList& t, size_t pos, Variant* variable) {
    Variant collection;
    if (evaluate(t, pos, collection) < 0 || expectEnd(t, pos) < 0) return -1;
    return enterForIn(variable, collection, t[pos].column);
}

int Engine::enterForIn(Variant* variable, Variant& collection, int column) {
    if (collection.is(VarKind::Object)) return enterObjectForIn(variable, collection);
    const ArrayBody* array = arrayBody(collection);
    if (!(array && array->dims == 1) && !collection.is(VarKind::Map))
        return reportRuntimeError(MessageId::VariableMustBeObject, column);
    int end = blocks_.at(currentLine_).end;
    Variant first;
    if (!collectionItem(collection, 0, first)) {
        *variable = Variant::string(WString());
        nextLine_ = end + 1;
        return 0;
    }
    *variable = std::move(first);
    openBlocks_.emplace_back(BlockKind::For, currentLine_, end, variable, std::move(collection));
    openBlocks_.back().position = 0;
    return 0;
}

// The next item of a FOR...IN loop into its variable; false when there is none.
bool Engine::nextItem(OpenBlock& block) {
    Variant item;
    if (ObjectBody* items = objectBody(block.limit)) {
        if (!items->nextItem(item)) return false;
        *block.variable = std::move(item);
        return true;
    }
    if (!collectionItem(block.limit, block.position + 1, item)) return false;
    ++block.position;
    *block.variable = std::move(item);
    return true;
}

// The counter of a numeric FOR loop stepped by the general rules; false when the loop ends.
bool Engine::countGeneral(OpenBlock& block) {
    block.variable->add(block.step);
    return forContinues(*block.variable, block.limit, block.step);
}

// ---- EXITLOOP, CONTINUELOOP ----

int Engine::loopExit(const TokenList& t, size_t pos, bool exitLoop) {
    int levels = 1;
    ++pos;
    if (t[pos].type != TokenType::EndOfLine) {
        Variant level;
        if (evaluate(t, pos, level) < 0) return -1;
        levels = level.toInt32();
    }
    if (expectEnd(t, pos) < 0) return -1;
    return leaveLoops(levels, exitLoop);
}

int Engine::leaveLoops(int levels, bool exitLoop) {
    if (levels < 1) return 0;
    while (levels > 0) {
        if (openBlocks_.empty()) return reportRuntimeError(MessageId::LoopExitOutsideLoop, -1);
        OpenBlock& block = openBlocks_.back();
        bool loop = block.kind == BlockKind::While || block.kind == BlockKind::Do || block.kind == BlockKind::For;
        if (!loop) {
            openBlocks_.pop_back();
            continue;
        }
        if (exitLoop) {
            nextLine_ = block.end + 1;
            openBlocks_.pop_back();
        } else {
            if (!(block.start <= currentLine_ && block.end > currentLine_)) return reportRuntimeError(MessageId::ContinueLoopWithoutLoop, -1);
            nextLine_ = block.end; // its closing line tests or steps the loop
            if (levels > 1) openBlocks_.pop_back();
        }
        --levels;
    }
    return 0;
}

// ---- RETURN, EXIT ----

int Engine::returnStatement(const TokenList& t, size_t pos) {
    if (runDepth_ <= 1) return reportRuntimeError(MessageId::InvalidKeywordAtStart, t[pos].column);
    ++pos;
    if (t[pos].type != TokenType::EndOfLine) {
        CallFrame& frame = *callFrame_;
        if (evaluate(t, pos, frame.returnValue) < 0 || expectEnd(t, pos) < 0) return -1;
        frame.returned = true;
    }
    leaveLoop_ = true;
    return 0;
}

int Engine::exitStatement(const TokenList& t, size_t pos) {
    ++pos;
    if (t[pos].type != TokenType::EndOfLine) {
        Variant code;
        if (evaluate(t, pos, code) < 0) return -1;
        if (expectEnd(t, pos) < 0) return -1;
        return exitRun(&code);
    }
    return exitRun(nullptr);
}

int Engine::exitRun(const Variant* code) {
    if (code) {
        int32_t value = code->toInt32();
        // Checked before the run ends, so that the error can still be shown.
        if (options_.setExitCode && value > kErrorExitCodeBase - 1) return reportRuntimeError(MessageId::InvalidExitCode, -1);
        startup_.exitCode = value;
    }
    startup_.exitMethod = 1;
    leaveLoop_ = true;
    runState_ = RunState::Ending;
    return 0;
}

int Engine::readMacro(const Token& token, Variant& result) {
    switch (vexil::readMacro(*this, token.i32, result)) {
    case MacroResult::Value: return 0;
    case MacroResult::Unknown: {
        // Event macros are global variables whose names begin with "@".
        std::wstring name = L"@";
        name += token.text.view();
        if (const NamePool::Name* pooled = names_.find(name)) {
            if (Variable* v = globals_.find(pooled->id)) {
                result = *v->value;
                return 0;
            }
        }
        return reportRuntimeError(MessageId::UnknownMacro, token.column);
    }
    }
    return -1;
}

} // namespace vexil
