#pragma once
// The engine: one object that owns the run of a script. How a line runs, part by part:
//
// The folders: front/ (loading, lexing, block check), values/ (Variant, arrays, maps), eval/
// (expressions), exec/ (statements, variables, calls, the service step, the exit sequence),
// builtins/ (the built-in table, its dispatch and the built-ins about the engine itself) and
// errors/ (messages and their reporting).
//
// Loaded lines. The ScriptLoader (loader.h) reads the script and its includes into numbered lines
// and the lexer (lexer.h) turns each into a TokenList (token.h) that ends in EndOfLine; a packaged
// script arrives as token lists already. Names are resolved here, once: a keyword token carries
// its id (keywords.h), a built-in name its index in the built-in table (builtins.h), a macro its
// macro id (macros.h), a variable or user-function name the id of its text in the engine's
// NamePool, by which variables (variables.h) and functions are found. Before anything runs,
// checkBlocks records every block's partner lines (blocks.h) and buildFunctionTable the user
// functions (functions.h).
//
// Compiled lines (eval/code.h, which teaches the form). When the run starts (runScript), every line
// is compiled once: each function gets a frame layout (a slot per local name), each line a
// Statement whose expressions are node trees with variables resolved to global ids or frame
// slots (statement_compiler.cpp, compiled_blocks.cpp, compiled_declarations.cpp,
// expression_compiler.cpp). A line whose tokens would fail stays a Tokens statement: it runs from
// its tokens (executeStatement), and each of its expressions is compiled the first time it runs
// (eval.cpp). Every expression compiles, malformed ones into Error nodes where their reading
// fails; texts that EXECUTE evaluates are compiled the same way, their variables found by name,
// and kept in a small cache by text (text_cache.h). The test expressions/compiled_matches_evaluator
// holds compiled lines and EXECUTE to the same results.
//
// The run loop (compiled_statements.cpp, run). It makes nextLine_ the currentLine_, moves
// nextLine_ on and runs the line's Statement inline, until the lines run out, the run state leaves
// Running or leaveLoop_ is set (RETURN, ENDFUNC, EXIT). Between lines, at most once a
// millisecond, the service step (exec/service_step.cpp) pumps window messages and obeys close and
// pause requests. Block statements jump by setting nextLine_ from the block map and keep their
// loop state in openBlocks_. run() is the one way code runs: the main script, a call, a callback;
// each entry saves and restores one RunRecord.
//
// Evaluation (expression_runner.cpp, evalNode). A walk of the node tree into the caller's result;
// variables and constants are read where they live when nothing can change them first, and
// numbers take inline paths before the general rules of Variant.
//
// Calls. A built-in call evaluates its arguments into an ArgumentList, checks their count
// against the built-in table, clears @ERROR and @EXTENDED, presets the result to 1 and runs the
// handler, which gets a BuiltinContext (builtin_api.h), the arguments and the result
// (invokeBuiltin). A user function (calls.cpp) gets a frame of variable records on the frame
// stack, one per slot of its layout; its arguments are evaluated straight into the first records
// (userCallNode), then the frame becomes the running locals and a CallFrame takes the return value
// and status. The body runs in a nested run loop from the line after FUNC; RETURN evaluates into
// the CallFrame and, like ENDFUNC, stops that loop; the return value and any handed-back @ERROR
// and @EXTENDED go to the caller. Frame records, CallFrames and scopes are reused: a call takes
// nothing from the heap once the stacks have grown.
//
// Errors. A fatal error is shown once (reportRuntimeError: message, line, column) and sets the
// run state to Ending; every function on the way back returns -1 and every run loop stops. While
// EXECUTE evaluates its text, errors are silenced and only the -1 goes back.
#include "base/ole_session.h"
#include "engine/builtins/builtins.h"
#include "engine/builtins/run_resources.h"
#include "engine/errors/messages.h"
#include "engine/eval/code.h"
#include "engine/exec/functions.h"
#include "engine/exec/service_events.h"
#include "engine/exec/wait_condition.h"
#include "engine/exec/variables.h"
#include "engine/front/blocks.h"
#include "engine/front/loader.h"
#include "engine/front/source_kind.h"
#include "engine/front/token.h"
#include "engine/options.h"
#include "engine/values/name_pool.h"
#include "engine/values/value.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace vexil {

struct Number;

struct StartupState;
class HandleTable;
class ChildStreams;
class PipeReader;
class ArgumentList;
class TextCache;
struct CompileScope;
struct ArrayBody;
enum class MemberUse : uint8_t;

// What the run loop is doing: running lines, ending, or one of the wait states.
enum class RunState : int { Running = 0, Ending = 1, Waiting = 2 };

// Fatal errors end the process with 1, or with this base plus the message id when the script
// asked for distinct exit codes (the SetExitCode option).
constexpr int32_t kErrorExitCodeBase = 2147479552; // 0x7FFFF000

// @ERROR and @EXTENDED of one frame. Built-ins set them with setError/setExtended; only
// SETERROR and SETEXTENDED hand them back, marked, to the caller of the user function they end.
class CallStatus {
public:
    int32_t error() const { return error_; }
    const Variant& extended() const { return extended_; }

    void setError(int32_t code) { error_ = code; }
    void setExtended(Variant value) { extended_ = std::move(value); }
    void handBackError(int32_t code) {
        error_ = code;
        errorHandedBack_ = true;
    }
    void handBackExtended(Variant value) {
        extended_ = std::move(value);
        extendedHandedBack_ = true;
    }
    void reset() {
        error_ = 0;
        errorHandedBack_ = false;
        extended_.setInt32(0);
        extendedHandedBack_ = false;
    }
    // What the caller of the ending function sees: the handed-back values, zeros otherwise.
    void receiveFrom(CallStatus& callee) {
        error_ = callee.errorHandedBack_ ? callee.error_ : 0;
        errorHandedBack_ = false;
        if (callee.extendedHandedBack_) extended_ = std::move(callee.extended_);
        else extended_.setInt32(0);
        extendedHandedBack_ = false;
    }

private:
    int32_t error_ = 0;
    bool errorHandedBack_ = false;
    Variant extended_;
    bool extendedHandedBack_ = false;
};

class Engine final : public LoaderHost {
public:
    explicit Engine(StartupState& startup);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    int findBuiltin(std::wstring_view upperName) const override;
    const NamePool::Name& intern(std::wstring_view text) override { return names_.intern(text); }
    const NamePool& names() const { return names_; }
    void registerStartFunction(std::wstring name) override { startFunctions_.push_back(std::move(name)); }
    const std::vector<std::wstring>& startFunctions() const { return startFunctions_; }
    // Exit functions by upper-cased name, in registration order; they run last first.
    std::vector<std::wstring>& exitFunctions() { return exitFunctions_; }
    // Sets @EXITCODE and @EXITMETHOD and runs the exit functions; once per run (the end of the
    // script, or at once when Windows ends the session).
    void exitProcessing();

    const StartupState& startup() const { return startup_; }

    // $CMDLINERAW and $CMDLINE (element 0 of $CMDLINE is the count, not stored here).
    void setCommandLine(std::wstring raw, std::vector<std::wstring> arguments) {
        cmdLineRaw_ = std::move(raw);
        cmdLine_ = std::move(arguments);
        setGlobal(L"CMDLINERAW", Variant::string(WString(cmdLineRaw_)));
        setCommandLineArray();
    }
    const std::wstring& cmdLineRaw() const { return cmdLineRaw_; }
    const std::vector<std::wstring>& cmdLine() const { return cmdLine_; }

    // Where the running script comes from, and its path values (@SCRIPTFULLPATH and friends).
    SourceKind sourceKind() const { return sourceKind_; }
    void setScript(SourceKind kind, const std::wstring& path);
    const std::wstring& scriptFullPath() const { return scriptFullPath_; }
    const std::wstring& scriptName() const { return scriptName_; }
    const std::wstring& scriptDir() const { return scriptDir_; }

    void setLoader(const ScriptLoader* loader) { loader_ = loader; }
    void setOsInfo(const struct OsInfo* os) { os_ = os; }
    const struct OsInfo* osInfo() const { return os_; }
    const ScriptLoader* loader() const { return loader_; }
    void setMainWindow(void* window) { mainWindow_ = window; }
    void* mainWindow() const { return mainWindow_; }

    // The open files and file searches of the run.
    HandleTable& handles() { return *handles_; }
    // What a subsystem above the engine keeps for the run, in its slot (empty until it fills it).
    std::unique_ptr<RunResource>& runResource(RunResourceKind kind) {
        return runResources_[static_cast<size_t>(kind)];
    }
    // OLE on the script's thread: whatever needs it calls ole().ensure() first.
    OleSession& ole() { return ole_; }
    // The redirected standard streams of the programs the script started.
    ChildStreams& childStreams() { return *childStreams_; }
    // The reader of the program's own standard input (started when that is valid), or nullptr.
    void startConsoleReader();
    PipeReader* consoleReader() { return consoleReader_.get(); }
    void releaseConsoleReader();
    // Stops what runs beside the script (the readers of child streams): the end of the run.
    void stopBackgroundWork();

    // A run that may not go on for ever (scripts run one after another in one process): once
    // `lines` lines have run or `milliseconds` have passed since this call, the run ends as if
    // its window had been closed. 0 leaves that measure unbounded.
    void setRunBudget(uint64_t lines, uint32_t milliseconds);
    // A fenced run (the fuzzer's) keeps built-ins from acting outside the process and its scratch
    // folder: what would call native code at a script-given address, read or write memory the
    // run did not allocate, or drive other programs refuses instead (BuiltinContext::fenced).
    void setFenced(bool fenced) { fenced_ = fenced; }
    bool fenced() const { return fenced_; }

    // The message poll: kPollStop when the run must end, kPollPaused while the script is paused.
    static constexpr int kPollGoOn = 0;
    static constexpr int kPollStop = 1;
    static constexpr int kPollPaused = 11;
    int poll();
    // One pass of the service step before a line: kPollGoOn lets the line run, kServiceBusy means
    // the pass was taken (paused, or a callback ran), kPollStop ends the level.
    static constexpr int kServiceBusy = 2;
    int serviceStep();
    // The owner of a kind of event functions (service_events.h); nullptr removes it.
    void setEventSource(EventSourceKind kind, EventSource* source) { eventSources_[static_cast<size_t>(kind)] = source; }
    // @HOTKEYPRESSED: the key text of the last hot key served.
    const std::wstring& lastHotKey() const { return lastHotKey_; }
    void setLastHotKey(std::wstring text) { lastHotKey_ = std::move(text); }
    // A wait state: the service step runs between checks of the condition until it holds, its
    // time is up or the run ends (wait_condition.h).
    WaitOutcome waitUntil(const WaitCondition& condition);
    // A wait of `milliseconds` with nothing else to end it; -1 when the run ended.
    int waitFor(uint32_t milliseconds);

    // The line being executed or checked; run-time errors point at it.
    int currentLine() const { return currentLine_; }
    void setCurrentLine(int line) { currentLine_ = line; }
    RunState runState() const { return runState_; }
    // Set while EXECUTE evaluates its text: its errors are not shown.
    void setErrorsSuppressed(bool on) { errorsSuppressed_ = on; }
    // The runtime options of OPT.
    RuntimeOptions& options() { return options_; }
    void setSetExitCodeOption(bool on) { options_.setExitCode = on; }

    // @ERROR and @EXTENDED of the current frame.
    CallStatus& status() { return callFrame_->status; }

    // Checks the block structure of the loaded script and builds its function table (at load,
    // before anything runs).
    [[nodiscard]] bool checkBlocks();
    [[nodiscard]] bool buildFunctionTable() { return functions_.build(*loader_, *this); }
    // The user function of a name (any case), or nullptr.
    const UserFunction* findFunction(std::wstring_view name) const {
        const NamePool::Name* pooled = names_.find(upperCase(name));
        return pooled ? functions_.find(pooled->id) : nullptr;
    }
    // Runs the loaded script from its first line to its end, EXIT or a fatal error.
    void runScript();
    // Runs a function body without arguments (start-up and exit functions, events); true when it
    // returned a value.
    bool runCallback(const UserFunction& f, Variant& result);
    // Runs a function with values handed in by native code (a DLL callback), bound to its first
    // parameters (every parameter without a default needs one); the interrupted line, its blocks
    // and its @ERROR and @EXTENDED are kept. True when it returned a value.
    bool runCallback(const UserFunction& f, BuiltinArgs arguments, Variant& result);
    // Evaluates a text as one expression with errors silenced; false when it fails.
    bool execute(std::wstring_view text, Variant& result);
    // Arguments of the user function being executed (@NUMPARAMS).
    int numParams() const { return numParams_; }

    // Variables: the current call's local table first, then the global table.
    Variable* findVariable(int nameId) {
        if (scopeCount_ > 0)
            if (Variable* v = findLocal(nameId)) return v;
        return globals_.find(nameId);
    }
    Variable* findLocal(int nameId);
    bool inFunction() const { return scopeCount_ > 0; }
    Variable* findInScope(int nameId, Scope scope);
    Variable& createVariable(int nameId, Variant value, uint16_t attributes, Scope scope);
    Variable& createAlias(int nameId, Variant* target, uint16_t attributes, Scope scope);
    // A record from the pool for a local named at run time, holding `value`.
    Variable* takeLocal(Variant value, uint16_t attributes);
    // The records of a call of `f`, reserved before its arguments are evaluated into them; the
    // call's scope then makes them the running locals.
    Variable* reserveFrame(const UserFunction& f) { return localFrames_.push(f.frameSlots); }
    void pushScope(const UserFunction& f, Variable* frame);
    void popScope();
    VariableTable& globals() { return globals_; }
    // Creates or overwrites a global variable by name (the exit sequence's @EXITCODE and friends).
    void setGlobal(std::wstring_view name, Variant value);

    // Evaluates the expression at `pos` into `result`, stopping at a terminator (left unread) or at
    // `end`. 0 on success; -1 after a fatal error has been reported.
    [[nodiscard]] int evaluate(const TokenList& tokens, size_t& pos, Variant& result, int end = -1);

    // The fatal-error path: shows the first fatal error of the run (message `id`, the offending
    // token's column or -1) and ends the run. Returns the negative status callers pass up.
    int reportRuntimeError(MessageId::Id id, int column);
    // The same with a text of its own; `id` gives the exit code under SetExitCode.
    int reportRuntimeErrorText(std::wstring_view message, MessageId::Id id, int column);
    // A failed assignment to an object property.
    int reportObjectPropertyError();
    // A failed read or call of an object's member, without a handler: the same record, naming it.
    int reportObjectMemberError(std::wstring_view member);

    // Object events: a call of `f` with `arguments`, run between lines with @COM_EVENTOBJ set to
    // `source` (events arrive in the middle of a line, while a member call runs).
    void queueObjectEvent(const UserFunction& f, std::vector<Variant> arguments, Variant source);
    const Variant& eventSource() const { return eventSource_; }

private:
    // ---- Compiled lines (code.h) ----
    // Compiles every loaded line, with the frame layout of each function.
    void compileLines();
    Statement compileStatement(int line, const TokenList& t, size_t pos);
    [[nodiscard]] int runStatement(const Statement& s);
    [[nodiscard]] inline int dispatchStatement(const Statement& s); // the same, inline in the run loop
    [[nodiscard]] int runAssignElement(const Statement& s);
    [[nodiscard]] int runFor(const Statement& s);
    // The keyword statements beyond IF, the loops and RETURN (compiled_blocks.cpp) and the
    // declarations (compiled_declarations.cpp), compiled and run.
    Statement compileKeywordStatement(int line, const TokenList& t, size_t pos, const CompileScope& scope);
    Statement compileCase(int line, const TokenList& t, size_t pos, const CompileScope& scope);
    // FOR...IN, `pos` at its variable.
    Statement compileForIn(const TokenList& t, size_t pos, const CompileScope& scope);
    Statement compileDeclaration(const TokenList& t, size_t pos, const CompileScope& scope);
    Statement compileEnum(const TokenList& t, size_t pos, Scope scope, const CompileScope& compileScope);
    [[nodiscard]] int runSwitch(const Statement& s);
    [[nodiscard]] int runLoopExit(const Statement& s);
    [[nodiscard]] int runExit(const Statement& s);
    [[nodiscard]] int runForIn(const Statement& s);
    [[nodiscard]] int runDeclare(const Statement& s);
    [[nodiscard]] int runEnum(const Statement& s);
    // Fills the array from a compiled array literal's level (its index in the lists) at `depth`.
    [[nodiscard]] int fillCompiledLiteral(int32_t level, Variant& array, int depth, int32_t* subscripts);
    // The compiled form of the expression at `pos` of a loaded line, made on its first run; -1
    // for tokens of no loaded line, or when the line's expression there was compiled with another
    // bound. `end` kCallOnly: the call a statement starts with.
    static constexpr int kCallOnly = -2;
    int32_t cachedExpression(const TokenList& tokens, size_t pos, int end, size_t& stop);
    // Compiles the expression at `pos` for this evaluation only, and drops it after.
    [[nodiscard]] int evaluateOnce(const TokenList& tokens, size_t& pos, Variant& result, int end);
    // Runs a block of code compiled apart (a text) by appending it to the code; the copy is dropped
    // after unless code that must stay was compiled meanwhile.
    [[nodiscard]] int runAppended(const Code& block, int32_t root, Variant& result);
    // Evaluates the call a statement that starts with a function name makes.
    [[nodiscard]] int evaluateCall(const TokenList& tokens, size_t& pos, Variant& result);
    // Node evaluation (expression_runner.cpp). operandOf gives a variable's or constant's own
    // value without a copy, else evaluates into `scratch`; nullptr after an error.
    [[nodiscard]] int evalNode(int32_t index, Variant& out);
    const Variant* operandOf(int32_t index, Variant& scratch) {
        const Node& n = code_.nodes[static_cast<size_t>(index)];
        if (n.kind == NodeKind::Constant) return &code_.constants[static_cast<size_t>(n.a)];
        if (n.kind == NodeKind::Local || n.kind == NodeKind::Global) {
            if (Variable* variable = variableOf(n)) return variable->value;
            return undeclaredVariable(n.column), nullptr;
        }
        return evalNode(index, scratch) < 0 ? nullptr : &scratch;
    }
    int undeclaredVariable(int column);
    Variable* variableOf(const Node& n) {
        if (n.kind == NodeKind::Local) {
            if (Variable* local = localRecord(n.a)) return local;
            return globals_.find(n.b);
        }
        if (n.kind == NodeKind::Named) [[unlikely]]
            return findVariable(n.a);
        // A global, once found, is kept in its node: globals never move nor go away.
        Variable* global;
        std::memcpy(&global, &n.b, sizeof global);
        if (global) return global;
        global = globals_.find(n.a);
        if (global) std::memcpy(&const_cast<Node&>(n).b, &global, sizeof global);
        return global;
    }
    // The variable of a FOR line, made when missing; nullptr after an error (a constant). Inside a
    // function the loop variable is always a local one.
    Variable* loopVariable(const Node& name) {
        const int32_t nameId = nameIdOf(name);
        Variable* variable = name.kind == NodeKind::Local ? localRecord(name.a)
                             : inFunction()               ? findLocal(nameId)
                                                          : globals_.find(nameId);
        if (variable && variable->isConstant()) return reportRuntimeError(MessageId::CannotAssignConstant, name.column), nullptr;
        return variable ? variable : &createVariable(nameId, Variant::int32(0), 0, Scope::Local);
    }
    // The kinds of node that do more than read a value, by node index.
    [[nodiscard]] int textNode(int32_t index, Variant& out);
    [[nodiscard]] int readElementNode(const Node& n, Variant& out);
    // The subscripts of a plain index path whose keys are all Int32 variables or constants, read
    // where they live; false when any key is something else.
    bool leafSubscripts(const Node& n, int32_t* subscripts);
    [[nodiscard]] int referenceNode(const Node& n, Variant& out);
    [[nodiscard]] int builtinCallNode(int32_t index, Variant& out);
    [[nodiscard]] int userCallNode(int32_t index, Variant& out);
    [[nodiscard]] int unaryNode(int32_t index, Variant& out);
    [[nodiscard]] int binaryNode(int32_t index, Variant& out);
    [[nodiscard]] int generalBinary(int32_t index, Variant& out);
    inline const Variant* binaryOperand(int32_t index, Variant& scratch);
    // A constant's or a declared variable's value where it lives; nullptr for any other node.
    const Variant* leafValue(int32_t index);
    // Number trees (code.h) worked out on plain numbers (number_reads.h); false when the node
    // must be evaluated the general way, having evaluated nothing.
    bool numberTree(const Node& n, Number& out);
    inline bool numberLeaf(const Node& n, Number& out);
    inline bool numberOperand(const Node& n, Number& out);
    inline bool numberValue(int32_t index, Number& out);
    inline bool numberTreeInto(const Node& n, Variant& out);
    const Variant* numberElement(const Node& n);
    inline int conditionOf(int32_t index);
    [[nodiscard]] int logicalNode(int32_t index, Variant& out);
    // The less frequent forms (expression_runner_forms.cpp).
    [[nodiscard]] int namedNode(const Node& n, Variant& out);
    [[nodiscard]] int conditionalNode(const Node& n, Variant& out);
    [[nodiscard]] int errorNode(const Node& n, Variant& out);
    [[nodiscard]] int methodNode(const Node& n, Variant& out);
    [[nodiscard]] int valueElementNode(const Node& n, Variant& out);
    [[nodiscard]] int memberReferenceNode(const Node& n, Variant& out);
    [[nodiscard]] int badReferenceNode(const Node& n, Variant& out);
    [[nodiscard]] int valueCallNode(const Node& n, Variant& out);
    Variable* referencedVariable(const Node& reference);
    [[nodiscard]] int passedByReference(int32_t index, bool constantAllowed, bool required, Variant& out);
    // Calls whose function is a value: `count` arguments, three list entries each from `first`
    // (see ValueCall in code.h). With `fromCall`, a wrong count gives kCallFailed.
    [[nodiscard]] int callByName(const Variant& target, int32_t first, int32_t count, int column, Variant& out);
    [[nodiscard]] int callBuiltinValue(int index, int32_t first, int32_t count, int column, Variant& out, bool fromCall);
    [[nodiscard]] int callUserValue(const UserFunction& f, int32_t first, int32_t count, int column, Variant& out,
                                    bool fromCall);
    [[nodiscard]] int mapMethod(Variant& map, std::wstring_view upperName, BuiltinArgs args, int column, Variant& result);
    // Calls a built-in with its evaluated arguments: the count checked, status reset, handler run.
    [[nodiscard]] int invokeBuiltin(int index, ArgumentList& arguments, int nameColumn, Variant& result, bool fromCall);
    // What the block statements do once their expressions are evaluated, compiled or not.
    // ifBlock: after an IF line's own condition, the branch to run, from its ELSEIF and ELSE lines.
    [[nodiscard]] int ifBlock(bool condition);
    [[nodiscard]] int enterWhile(bool condition);
    // The condition after a WHILE or UNTIL keyword at `pos`, which must end the line.
    [[nodiscard]] int conditionToEnd(const TokenList& t, size_t pos, bool& condition);
    [[nodiscard]] int untilReached(bool condition);
    [[nodiscard]] int enterFor(Variant* variable, Variant& limit, Variant& step);
    // The condition of a WHILE line, for WEND.
    [[nodiscard]] int whileCondition(int whileLine, Variant& condition);
    // ELSE or ELSEIF after the chosen branch, ENDIF/ENDSELECT/ENDSWITCH, DO, FUNC, ENDFUNC, CASE
    // after the chosen case body.
    [[nodiscard]] int branchEnd();
    [[nodiscard]] int endBlock();
    [[nodiscard]] int enterDo();
    [[nodiscard]] int skipFunction();
    [[nodiscard]] int endFunction();
    [[nodiscard]] int caseEnd();
    // After a SWITCH's value (or at a SELECT): the case to run, from the block's CASE lines.
    [[nodiscard]] int chooseCase(bool isSwitch, const Variant& value);
    [[nodiscard]] int caseMatches(int caseLine, bool isSwitch, const Variant& value, bool& matched);
    [[nodiscard]] int caseMatchesTokens(const TokenList& c, bool isSwitch, const Variant& value, bool& matched);
    [[nodiscard]] int continueSelect();
    [[nodiscard]] int leaveLoops(int levels, bool exitLoop);
    // EXIT, with the code when one is given.
    [[nodiscard]] int exitRun(const Variant* code);
    [[nodiscard]] int enterForIn(Variant* variable, Variant& collection, int column);
    // Objects (exec/object_access.cpp): a member read, call or assignment with its failure
    // reported; the WITH block and its object; the member statements and For...In over an object.
    [[nodiscard]] int objectMember(const Variant& object, std::wstring_view name, MemberUse use, BuiltinArgs args,
                                   int column, Variant& result);
    [[nodiscard]] int withObjectNode(int column, Variant& out);
    [[nodiscard]] int enterWith(Variant& value, int column);
    [[nodiscard]] int withStatement(const TokenList& t, size_t pos);
    [[nodiscard]] int runAssignMember(const Statement& s);
    // After a write-mode walk that ended on an object's member: the property assignment.
    [[nodiscard]] int assignObjectMember(TokenType op, Variant& value);
    [[nodiscard]] int enterObjectForIn(Variant* variable, Variant& collection);
    // The first queued object event, run when none is running; false when there is none.
    bool serveObjectEvent();

    int reportFatal(std::wstring_view message, int column, std::wstring_view fixedMarker,
                    int32_t exitCodeWithOption);
    // Statements and the steps of evaluation and calls return a status: 0 to go on (kCallFailed
    // where said), negative once a fatal error has been reported and the run is ending.
    // Statements take the line's tokens and the position of their first token.
    [[nodiscard]] int executeStatement(const TokenList& t, size_t pos);
    [[nodiscard]] int executeKeyword(const TokenList& t, size_t pos);
    [[nodiscard]] int expectEnd(const TokenList& t, size_t pos) {
        return t[pos].type == TokenType::EndOfLine ? 0 : reportRuntimeError(MessageId::IllegalTextAtEnd, t[pos].column);
    }
    [[nodiscard]] int ifStatement(const TokenList& t, size_t pos);
    [[nodiscard]] int whileStatement(const TokenList& t, size_t pos);
    [[nodiscard]] int wendStatement();
    [[nodiscard]] int untilStatement(const TokenList& t, size_t pos);
    [[nodiscard]] int forStatement(const TokenList& t, size_t pos);
    [[nodiscard]] inline int nextStatement();
    [[nodiscard]] int forInStatement(const TokenList& t, size_t pos, Variant* variable);
    [[nodiscard]] int loopExit(const TokenList& t, size_t pos, bool exitLoop);
    [[nodiscard]] int switchStatement(const TokenList& t, size_t pos);
    [[nodiscard]] int switchCaseMatches(const TokenList& t, size_t pos, const Variant& value, bool& matched);
    [[nodiscard]] int continueCase(const TokenList& t, size_t pos);
    [[nodiscard]] int exitStatement(const TokenList& t, size_t pos);
    [[nodiscard]] int assignment(const TokenList& t, size_t pos);
    [[nodiscard]] int declaration(const TokenList& t, size_t pos);
    // What a declaration's keywords make of the variables it names.
    struct DeclarationForm {
        Scope scope;
        bool isConst;
        bool isStatic;
        bool isRedim;
        // As a Declare statement's op.
        uint8_t packed() const {
            return static_cast<uint8_t>(static_cast<uint8_t>(scope) | isConst << 2 | isStatic << 3 | isRedim << 4);
        }
        static DeclarationForm unpacked(uint8_t op) {
            return {static_cast<Scope>(op & 3), (op & 4) != 0, (op & 8) != 0, (op & 16) != 0};
        }
    };
    // A declaration's leading keywords: its form (or ENUM in a scope) and where its names begin, or
    // the error of keywords that go together in no form.
    struct DeclarationHead {
        DeclarationForm form{Scope::Automatic, false, false, false};
        bool isEnum = false;
        size_t names = 0;
        bool failed = false;
        MessageId::Id error{};
        int errorColumn = -1;
    };
    static DeclarationHead readDeclarationHead(const TokenList& t, size_t pos);
    [[nodiscard]] int declareVariables(const TokenList& t, size_t p, const DeclarationForm& form);
    enum class EnumStep : uint8_t { Add, Subtract, Multiply };
    [[nodiscard]] int declareEnum(const TokenList& t, size_t pos, Scope scope);
    // One name of an ENUM, after its value: the constant made, the counter stepped on.
    [[nodiscard]] int declareEnumName(int nameId, int column, Scope scope, Variant& counter, EnumStep step,
                                      const Variant& by);
    struct Dimensions {
        std::vector<int32_t> sizes; // -1: "[]"
        bool any = false;
        bool empty = false;
        bool negative = false;
        // One dimension of the evaluated size, or "[]" for nullptr.
        void add(const Variant* size);
    };
    [[nodiscard]] int readDimensions(const TokenList& t, size_t& p, Dimensions& dims);
    // Makes `value` an array of the declared shape (sizes of "[]" taken from the item counts of an
    // array literal, one per nesting level), or a map.
    [[nodiscard]] int shapeArray(Variant& value, const Dimensions& dims, const int32_t* literalCounts, size_t levels,
                                 int column);
    // After a declared name's dimensions: REDIM's reshaping, or the shape of an array declared
    // without an initializer.
    [[nodiscard]] int shapeDeclared(Variable& variable, const Dimensions& dims, const DeclarationForm& form,
                                    bool initialised, bool firstExecution, int column);
    // Before an initializer that is an expression: the declared shape, then an empty value while
    // the expression runs.
    [[nodiscard]] int clearForInitializer(Variable& variable, const Dimensions& dims, int column);
    [[nodiscard]] int fillArrayLiteral(const TokenList& t, size_t& p, Variant& array);
    [[nodiscard]] int fillLiteralLevel(const TokenList& t, size_t& p, Variant& array, int level,
                                       int32_t* subscripts);
    // Whether item `index` of an array literal's level fits the array: a nested literal where the
    // array has a deeper dimension, a value where it has none.
    [[nodiscard]] int literalItemFits(const ArrayBody& body, int level, int32_t index, bool nested, int column);
    [[nodiscard]] int redimension(Variant& value, const Dimensions& dims, int column);
    [[nodiscard]] int bindDeclared(int nameId, int column, const DeclarationForm& form, Variable*& variable,
                                   bool& firstExecution);
    Variable& staticVariable(int nameId, Scope scope, bool& firstExecution);
    [[nodiscard]] int initializeDeclared(const TokenList& t, size_t& p, const Token& name, const Dimensions& dims,
                                         Variable& variable, bool firstExecution);
    void setCommandLineArray();
    static constexpr int kCallFailed = 1;
    [[nodiscard]] int invokeUserFunction(const UserFunction& f, BuiltinArgs arguments, Variant& result);
    // The call of `f` whose first `given` arguments are in the storage of its reserved frame.
    [[nodiscard]] int invokeFrame(const UserFunction& f, Variable* frame, size_t given, Variant& result);
    // What a nested run of a function body (a call, a callback) changes and gives back after:
    // one record for every way into run().
    struct RunRecord {
        int numParams;
        int currentLine;
        int nextLine;
        size_t blocks;
        RunState runState;
    };
    RunRecord saveRun() const;
    void restoreRun(const RunRecord& saved);
    // A callback's body run nested in `frame`, whose first `given` records are bound to the
    // parameters when `bind` is set (and no parameter exists otherwise).
    bool runCallbackFrame(const UserFunction& f, Variable* frame, size_t given, bool bind, Variant& result);
    // Makes the parameters of a pushed scope from the arguments and defaults; -1 after an error.
    [[nodiscard]] int bindParameters(const UserFunction& f, Variable* frame, size_t given);
    [[nodiscard]] int bindDefault(const UserFunction& f, size_t index);
    // Runs the body in a new call frame unless `bound` failed; the return value into `result`,
    // the handed-back status to the caller's frame.
    [[nodiscard]] int runBody(const UserFunction& f, int bound, Variant& result, bool& returned);
    [[nodiscard]] int run(int startLine);
    WString expandString(const WString& literal);

    // Subscripts, keys and map members after a variable, evaluated once and applied later.
    struct AccessStep {
        enum Kind { Index, Member } kind = Index;
        int column = -1;
        Variant key; // Index: the subscript or key
        WString name; // Member: the key name as written
    };
    // Most paths have a step or two: those live inside, without a heap block of their own (every
    // element access reads a path).
    class AccessPath {
    public:
        size_t size() const { return count_; }
        bool empty() const { return count_ == 0; }
        const AccessStep& operator[](size_t i) const { return i < kInline ? inline_[i] : overflow_[i - kInline]; }
        void push_back(AccessStep&& step) {
            if (count_ < kInline) inline_[count_] = std::move(step);
            else overflow_.push_back(std::move(step));
            ++count_;
        }

    private:
        static constexpr size_t kInline = 3;
        AccessStep inline_[kInline];
        std::vector<AccessStep> overflow_;
        size_t count_ = 0;
    };
    [[nodiscard]] int readAccessPath(const TokenList& t, size_t& pos, AccessPath& path);
    // The element the path reaches from `value`; nullptr after a reported error. In write mode
    // bodies are made writable and missing map keys inserted; `owner` receives the innermost body.
    Variant* walkAccessPath(Variant* value, const AccessPath& path, bool write, bool byReference, HeapValue** owner,
                            int nameColumn, Variant& scratch);
    // The keys of an element node's path, evaluated in order: any path, or a plain index path
    // (kPlainIndexPath) into an array of its length.
    [[nodiscard]] int readPathKeys(const Node& element, AccessPath& path);
    [[nodiscard]] int readPlainKeys(const Node& element, Variant* keys);
    // The element a plain index path reaches from `root`: an array's element directly, anything
    // else walked.
    Variant* reachPlain(Variant* root, const Node& element, Variant* keys, bool write, bool byReference,
                        HeapValue** owner, int nameColumn, Variant& scratch);
    // The variable of an Element or Reference node and the element its path reaches.
    Variant* elementNode(const Node& n, bool write, bool byReference, HeapValue** owner, Variable*& variable,
                         Variant& scratch);
    [[nodiscard]] int returnStatement(const TokenList& t, size_t pos);
    [[nodiscard]] int returnValue(int32_t valueNode, int column);
    [[nodiscard]] int readMacro(const Token& token, Variant& result);

    // ---- Where the script comes from, and what surrounds the run ----
    StartupState& startup_;
    const ScriptLoader* loader_ = nullptr;
    const struct OsInfo* os_ = nullptr;
    void* mainWindow_ = nullptr;
    std::wstring cmdLineRaw_;
    std::vector<std::wstring> cmdLine_;
    SourceKind sourceKind_ = SourceKind::OwnFile;
    std::wstring scriptFullPath_, scriptName_, scriptDir_;
    OleSession ole_; // declared early: it ends after the values and open files that may hold COM objects

    // ---- Tables of the loaded script, built at load ----
    NamePool names_;
    BlockMap blocks_;
    FunctionTable functions_;

    // ---- Execution state: where the run is and what it is inside ----
    // The line being run (errors and @SCRIPTLINENUMBER point at it) and the line the run loop
    // takes next; a statement jumps by setting nextLine_.
    int currentLine_ = 0;
    int nextLine_ = 1;
    int lineCount_ = 0;
    // Running; Ending once EXIT, the end of the script or a fatal error has ended the run (every
    // run loop and call unwinds); Waiting while a wait runs the service step.
    RunState runState_ = RunState::Running;
    // Set by RETURN, ENDFUNC and EXIT: the innermost run loop stops after the current line.
    bool leaveLoop_ = false;
    // Run loops inside one another: 1 for the main script, one more for each function body or
    // callback running.
    int runDepth_ = 0;
    // Blocks being run, innermost last, for the lines that end, repeat or leave them (WEND, NEXT,
    // EXITLOOP...). One stack for all calls: a call cuts it back to its own depth when it returns.
    enum class BlockKind { If, While, Do, For, Select, Switch, With };
    struct OpenBlock {
        BlockKind kind;
        int start;
        int end;
        Variant* variable; // For: the loop variable
        Variant limit;     // For: the TO value, or the collection of FOR...IN; With: the object
        Variant step;      // For: the STEP value
        int32_t position = -1; // FOR...IN: the element or key being visited
        OpenBlock(BlockKind k, int s, int e, Variant* v = nullptr, Variant l = {}, Variant st = {})
            : kind(k), start(s), end(e), variable(v), limit(std::move(l)), step(std::move(st)) {}
    };
    bool nextItem(OpenBlock& block);
    bool countGeneral(OpenBlock& block);
    std::vector<OpenBlock> openBlocks_;
    // One frame per active call; the bottom one is the main script's. Frames beyond the running
    // ones are kept for the next calls, and none moves: RETURN evaluates straight into its frame.
    struct CallFrame {
        Variant returnValue;
        bool returned = false;
        CallStatus status;
    };
    std::vector<std::unique_ptr<CallFrame>> callFrames_ = [] {
        std::vector<std::unique_ptr<CallFrame>> frames;
        frames.push_back(std::make_unique<CallFrame>());
        return frames;
    }();
    size_t callDepth_ = 0;
    CallFrame* callFrame_ = callFrames_.front().get();
    // Arguments given to the user function being run (@NUMPARAMS).
    int numParams_ = 0;
    // Set while EXECUTE evaluates its text: its errors are not shown.
    bool errorsSuppressed_ = false;
    // The settings of OPT.
    RuntimeOptions options_;

    // ---- Variables ----
    VariableTable globals_;
    std::vector<LocalTable> scopes_; // entries beyond scopeCount_ are kept for their capacity
    size_t scopeCount_ = 0;
    // The local variables of every running call, each call's from its frame's base on.
    FrameStack localFrames_;
    Variable* locals_ = nullptr; // the running call's frame
    Variable* localRecord(int32_t slot) {
        Variable& record = locals_[slot];
        return record.value ? &record : nullptr;
    }
    VariablePool variablePool_;
    // Storage of static variables by declaring line and name id; entries live for the whole run.
    std::unordered_map<uint64_t, std::unique_ptr<Variant>> staticStore_;

    // ---- Service step, start and exit functions ----
    unsigned long long lastPoll_ = 0;
    // The run budget (setRunBudget): lines are counted a clock reading's worth at a time.
    uint64_t linesRun_ = 0;
    uint64_t budgetLines_ = 0;
    unsigned long long budgetDeadline_ = 0;
    bool linesSpent() const { return budgetLines_ && linesRun_ >= budgetLines_; }
    bool budgetSpent() const;
    // Lines run between two readings of the clock (a reading costs about as much as a line).
    static constexpr int kLinesPerClockReading = 16;
    int linesUntilClock_ = kLinesPerClockReading;
    bool clockMoved();
    bool quitReceived_ = false;
    bool fenced_ = false;
    std::vector<std::wstring> startFunctions_;
    bool startFunctionsRun_ = false;
    std::vector<std::wstring> exitFunctions_;
    bool exitProcessed_ = false;
    std::array<EventSource*, static_cast<size_t>(EventSourceKind::Count)> eventSources_{};
    std::wstring lastHotKey_;

    std::unique_ptr<HandleTable> handles_;
    std::array<std::unique_ptr<RunResource>, static_cast<size_t>(RunResourceKind::Count)> runResources_;
    std::unique_ptr<ChildStreams> childStreams_;
    std::unique_ptr<PipeReader> consoleReader_;

    // ---- Objects ----
    // A write-mode walk that reached an object's member leaves the assignment here.
    struct PendingPut {
        Variant object;
        WString name;
        bool active = false;
    } pendingPut_;
    struct ObjectEvent {
        const UserFunction* function;
        std::vector<Variant> arguments;
        Variant source;
    };
    std::deque<ObjectEvent> objectEvents_;
    bool objectEventRunning_ = false;
    Variant eventSource_; // @COM_EVENTOBJ

    // ---- Evaluation ----
    // The compiled lines and expressions.
    Code code_;
    // Texts that EXECUTE compiled, by text (text_cache.h).
    std::unique_ptr<TextCache> texts_;
};

} // namespace vexil
