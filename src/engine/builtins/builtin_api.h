#pragma once
// What a built-in handler works with: its arguments, its result, and a BuiltinContext for
// @ERROR/@EXTENDED, fatal errors and the few services of the run a built-in needs. Handler files
// include this header and not engine.h.
//
// A handler first validates, then acts:
//     int builtinThing(BuiltinContext& context, BuiltinArgs args, Variant& result) {
//         const int32_t count = optInt(args, 1, 1);
//         if (count < 1) return context.fail(result, Variant::int32(0));
//         ...
//     }
#include "engine/builtins/builtins.h"
#include "engine/builtins/run_resources.h"
#include "engine/errors/messages.h"
#include "engine/exec/service_events.h"
#include "engine/exec/wait_condition.h"
#include "engine/front/source_kind.h"
#include "engine/values/value.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace vexil {

class Engine;
class HandleTable;
class ChildStreams;
class PipeReader;
struct RuntimeOptions;
struct StartupState;
struct UserFunction;
struct Variable;
enum class Scope : uint8_t;

// A handler's view of the engine, made for each call. Its members reach the engine out of line,
// so that handler files need none of the engine's own headers.
class BuiltinContext {
public:
    explicit BuiltinContext(Engine& engine) : engine_(engine) {}
    BuiltinContext(const BuiltinContext&) = delete;
    BuiltinContext& operator=(const BuiltinContext&) = delete;

    // @ERROR and @EXTENDED of the call (both start at 0).
    void setError(int32_t code);
    void setExtended(Variant value);
    // Soft failures: @ERROR set, the call itself completed. The second form sets the result too.
    int fail(int32_t error) {
        setError(error);
        return 0;
    }
    int fail(Variant& result, Variant value, int32_t error = 1) {
        result = std::move(value);
        setError(error);
        return 0;
    }
    // A fatal error: message `messageId` is shown and the run ends. Returns the
    // negative status the handler passes up.
    int fatal(MessageId::Id messageId);

    // The run's open files and file searches.
    HandleTable& handles();
    // A subsystem's state for the run (T names its slot as kKind), made on first use.
    template <class T>
    T& runResource() {
        std::unique_ptr<RunResource>& slot = runResourceSlot(T::kKind);
        if (!slot) slot = std::make_unique<T>();
        return static_cast<T&>(*slot);
    }
    // The engine itself, for what must reach it after the handler has returned: native code
    // calling back makes a context of its own from it.
    Engine& engine() const { return engine_; }
    // The redirected standard streams of the programs the script started.
    ChildStreams& childStreams();
    // The reader of the program's own standard input, or nullptr; released once drained.
    PipeReader* consoleReader();
    void releaseConsoleReader();
    // The runtime options of OPT.
    RuntimeOptions& options();
    // What the command line asked for.
    const StartupState& startup() const;
    // The program's main window (an HWND), or nullptr.
    void* mainWindow() const;
    // The script line being executed, and its text as loaded (nullptr when it has none).
    int currentLine() const;
    const std::wstring* currentLineText() const;
    // Where the running script comes from: a text file, or a container (a compiled script or the
    // program's own file) whose path is scriptFullPath().
    SourceKind scriptSource() const;
    const std::wstring& scriptFullPath() const;
    const std::wstring& scriptDir() const;
    // Starts OLE on the script's thread (shell objects, dialogs); false when it cannot start.
    bool ensureOle();

    // A wait state of `milliseconds`, with messages pumped; -1 when the run ended meanwhile.
    int waitFor(uint32_t milliseconds);
    // A wait state until `check()` holds, with the service step run between checks; signalled
    // `handles` (HANDLEs) wake it at once. A negative time-out waits for ever.
    template <typename Check>
    WaitOutcome waitUntil(Check&& check, int64_t timeoutMs, std::span<void* const> handles = {}) {
        WaitCondition condition;
        condition.handles = handles.data();
        condition.handleCount = handles.size();
        using Callable = std::remove_reference_t<Check>;
        condition.check = [](void* state) { return static_cast<bool>((*static_cast<Callable*>(state))()); };
        condition.state = const_cast<void*>(static_cast<const void*>(&check));
        condition.timeoutMs = timeoutMs;
        return wait(condition);
    }
    // A wait state until one of `handles` is signalled.
    WaitOutcome waitForHandles(std::span<void* const> handles, int64_t timeoutMs) {
        WaitCondition condition;
        condition.handles = handles.data();
        condition.handleCount = handles.size();
        condition.timeoutMs = timeoutMs;
        return wait(condition);
    }
    WaitOutcome wait(const WaitCondition& condition);
    // The WinWaitDelay pause that follows a satisfied wait, the service step still running.
    void pauseAfterWait();
    // The run is ending (EXIT, a fatal error, a close request): a handler that ran script code
    // or waited returns -1 then.
    bool runEnding() const;
    // One pass of the message poll for a long walk: false when the run must end. While the
    // script is paused it waits here, polling every 10 ms.
    bool stayResponsive();
    // The run is fenced (Engine::setFenced): a handler checks this right before it would act
    // outside the process (a native call, memory at a given address, another program's windows,
    // a file or folder not strictly inside the working folder) and fails with its usual @ERROR
    // instead, having validated and converted its arguments.
    bool fenced() const;

    // User functions by name (any case), or nullptr.
    const UserFunction* findFunction(std::wstring_view name) const;
    // Runs `f` with values from native code bound to its first parameters (one for every
    // parameter without a default); true when it returned a value. The run may have ended after.
    bool callFromNative(const UserFunction& f, BuiltinArgs arguments, Variant& result);
    // Queues a call of `f` with `arguments`, run between lines with @COM_EVENTOBJ set to `source`.
    void queueObjectEvent(const UserFunction& f, std::vector<Variant> arguments, Variant source);
    // Exit functions by upper-cased name, in registration order.
    std::vector<std::wstring>& exitFunctions();
    // Event functions (hot keys, Adlib): their owner joins the service step (service_events.h),
    // and each runs with no arguments, the interrupted line and its @ERROR and @EXTENDED kept;
    // false when the run ended meanwhile.
    void setEventSource(EventSourceKind kind, EventSource* source);
    bool runEventFunction(const UserFunction& f);
    // @HOTKEYPRESSED.
    void setLastHotKey(std::wstring text);
    // Evaluates a text as one expression with errors silenced; false when it fails.
    bool execute(std::wstring_view text, Variant& result);

    // Variables by upper-cased name: the visible one (local first), the current call's, the
    // global one; or nullptr.
    Variable* findVariable(std::wstring_view upperName);
    Variable* findLocalVariable(std::wstring_view upperName);
    Variable* findGlobalVariable(std::wstring_view upperName);
    // In a scope, and a new one there.
    Variable* findVariableInScope(std::wstring_view upperName, Scope scope);
    void createVariable(std::wstring_view upperName, Variant value, Scope scope);
    // An event macro: a global whose name begins with "@".
    void setEventMacro(std::wstring_view name, Variant value);

private:
    std::unique_ptr<RunResource>& runResourceSlot(RunResourceKind kind);
    // Handing @ERROR/@EXTENDED back to the caller of the user function that ends: SETERROR and
    // SETEXTENDED only.
    void handBackError(int32_t code);
    void handBackExtended(Variant value);
    friend int builtinSetError(BuiltinContext&, BuiltinArgs, Variant&);
    friend int builtinSetExtended(BuiltinContext&, BuiltinArgs, Variant&);

    Engine& engine_;
};

// Arguments. A by-reference argument is read through its reference.

// The argument is the keyword Default.
inline bool isDefault(const Variant& argument) { return argument.dereferenced().isDefault(); }
// The script passed argument `i` (the keyword Default included).
inline bool passed(BuiltinArgs args, size_t i) { return i < args.size(); }
// The script passed argument `i` and it is not the keyword Default.
inline bool given(BuiltinArgs args, size_t i) { return i < args.size() && !isDefault(args[i]); }

// A text result: a copy of `text` as a String value.
inline Variant textValue(std::wstring_view text) { return Variant::string(WString(text)); }

// Optional numbers: absent or Default gives the fallback.
inline int32_t optInt(BuiltinArgs args, size_t i, int32_t fallback) {
    return given(args, i) ? args[i].dereferenced().toInt32() : fallback;
}
inline int64_t optInt64(BuiltinArgs args, size_t i, int64_t fallback) {
    return given(args, i) ? args[i].dereferenced().toInt64() : fallback;
}
// Optional numbers where Default counts as its number (-1): only an absent one gives the fallback.
inline int32_t passedInt(BuiltinArgs args, size_t i, int32_t fallback) {
    return passed(args, i) ? args[i].dereferenced().toInt32() : fallback;
}

// A time-out argument in seconds (fractions allowed) as milliseconds, rounded up so that a short
// positive time-out still ends; absent, Default, zero or less waits for ever.
int64_t timeoutSecondsArg(BuiltinArgs args, size_t i);

// An argument's text.
inline const WString& textArg(BuiltinArgs args, size_t i) { return args[i].dereferenced().text(); }

} // namespace vexil
