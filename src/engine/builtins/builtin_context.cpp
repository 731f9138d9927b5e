// The engine side of BuiltinContext: each service is one step into the engine.
#include "engine/builtins/builtin_api.h"
#include "engine/engine.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

namespace vexil {

void BuiltinContext::setError(int32_t code) { engine_.status().setError(code); }
void BuiltinContext::setExtended(Variant value) { engine_.status().setExtended(std::move(value)); }
void BuiltinContext::handBackError(int32_t code) { engine_.status().handBackError(code); }
void BuiltinContext::handBackExtended(Variant value) { engine_.status().handBackExtended(std::move(value)); }
int BuiltinContext::fatal(MessageId::Id messageId) { return engine_.reportRuntimeError(messageId, -1); }

HandleTable& BuiltinContext::handles() { return engine_.handles(); }
std::unique_ptr<RunResource>& BuiltinContext::runResourceSlot(RunResourceKind kind) { return engine_.runResource(kind); }
ChildStreams& BuiltinContext::childStreams() { return engine_.childStreams(); }
PipeReader* BuiltinContext::consoleReader() { return engine_.consoleReader(); }
void BuiltinContext::releaseConsoleReader() { engine_.releaseConsoleReader(); }
RuntimeOptions& BuiltinContext::options() { return engine_.options(); }
const StartupState& BuiltinContext::startup() const { return engine_.startup(); }
void* BuiltinContext::mainWindow() const { return engine_.mainWindow(); }
int BuiltinContext::currentLine() const { return engine_.currentLine(); }
const std::wstring* BuiltinContext::currentLineText() const {
    const ScriptLoader* loader = engine_.loader();
    return loader ? loader->lineText(engine_.currentLine()) : nullptr;
}
SourceKind BuiltinContext::scriptSource() const { return engine_.sourceKind(); }
const std::wstring& BuiltinContext::scriptFullPath() const { return engine_.scriptFullPath(); }
const std::wstring& BuiltinContext::scriptDir() const { return engine_.scriptDir(); }
bool BuiltinContext::ensureOle() { return engine_.ole().ensure(); }

int BuiltinContext::waitFor(uint32_t milliseconds) { return engine_.waitFor(milliseconds); }
WaitOutcome BuiltinContext::wait(const WaitCondition& condition) { return engine_.waitUntil(condition); }
void BuiltinContext::pauseAfterWait() {
    const int32_t delay = options().winWaitDelay;
    if (delay > 0) (void)waitFor(static_cast<uint32_t>(delay));
}
bool BuiltinContext::runEnding() const { return engine_.runState() == RunState::Ending; }
bool BuiltinContext::fenced() const { return engine_.fenced(); }

bool BuiltinContext::stayResponsive() {
    for (;;) {
        int polled = engine_.poll();
        if (polled == Engine::kPollStop) return false;
        if (polled != Engine::kPollPaused) return true;
        Sleep(10);
    }
}

const UserFunction* BuiltinContext::findFunction(std::wstring_view name) const { return engine_.findFunction(name); }
bool BuiltinContext::callFromNative(const UserFunction& f, BuiltinArgs arguments, Variant& result) {
    return engine_.runCallback(f, arguments, result);
}
void BuiltinContext::queueObjectEvent(const UserFunction& f, std::vector<Variant> arguments, Variant source) {
    engine_.queueObjectEvent(f, std::move(arguments), std::move(source));
}
std::vector<std::wstring>& BuiltinContext::exitFunctions() { return engine_.exitFunctions(); }
void BuiltinContext::setEventSource(EventSourceKind kind, EventSource* source) { engine_.setEventSource(kind, source); }
bool BuiltinContext::runEventFunction(const UserFunction& f) {
    Variant ignored;
    engine_.runCallback(f, BuiltinArgs(), ignored);
    return engine_.runState() != RunState::Ending;
}
void BuiltinContext::setLastHotKey(std::wstring text) { engine_.setLastHotKey(std::move(text)); }
bool BuiltinContext::execute(std::wstring_view text, Variant& result) { return engine_.execute(text, result); }

namespace {

// The pooled id of a name the run has seen, or -1 (no variable can have any other name).
int knownNameId(const Engine& engine, std::wstring_view upperName) {
    const NamePool::Name* name = engine.names().find(upperName);
    return name ? name->id : -1;
}

} // namespace

Variable* BuiltinContext::findVariable(std::wstring_view upperName) {
    int id = knownNameId(engine_, upperName);
    return id >= 0 ? engine_.findVariable(id) : nullptr;
}

Variable* BuiltinContext::findLocalVariable(std::wstring_view upperName) {
    int id = knownNameId(engine_, upperName);
    return id >= 0 ? engine_.findLocal(id) : nullptr;
}

Variable* BuiltinContext::findGlobalVariable(std::wstring_view upperName) {
    int id = knownNameId(engine_, upperName);
    return id >= 0 ? engine_.globals().find(id) : nullptr;
}

Variable* BuiltinContext::findVariableInScope(std::wstring_view upperName, Scope scope) {
    return engine_.findInScope(engine_.intern(upperName).id, scope);
}

void BuiltinContext::createVariable(std::wstring_view upperName, Variant value, Scope scope) {
    engine_.createVariable(engine_.intern(upperName).id, std::move(value), 0, scope);
}

void BuiltinContext::setEventMacro(std::wstring_view name, Variant value) { engine_.setGlobal(name, std::move(value)); }

int64_t timeoutSecondsArg(BuiltinArgs args, size_t i) {
    if (!given(args, i)) return WaitCondition::kNoTimeout;
    const double seconds = args[i].dereferenced().toDouble();
    if (!(seconds > 0)) return WaitCondition::kNoTimeout;
    constexpr double kLongest = 9.0e15; // past any wait, still exact in a Double
    return static_cast<int64_t>(std::ceil(std::min(seconds * 1000.0, kLongest)));
}

} // namespace vexil
