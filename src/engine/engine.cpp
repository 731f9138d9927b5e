#include "engine/engine.h"

#include "base/child_streams.h"
#include "base/console_streams.h"
#include "base/paths.h"
#include "engine/builtins/builtins.h"
#include "engine/builtins/handle_table.h"
#include "engine/errors/errors.h"
#include "engine/errors/messages.h"
#include "engine/eval/text_cache.h"
#include "engine/front/lexer.h"
#include "engine/startup_state.h"

#include <windows.h>

namespace vexil {

Engine::Engine(StartupState& startup)
    : startup_(startup), handles_(std::make_unique<HandleTable>()), childStreams_(std::make_unique<ChildStreams>()) {}

Engine::~Engine() {
    handles_.reset(); // open files are flushed and closed
    // Callbacks go before the libraries that might still hold their addresses.
    for (auto it = runResources_.rbegin(); it != runResources_.rend(); ++it) it->reset();
}

void Engine::startConsoleReader() {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (!input || input == INVALID_HANDLE_VALUE) return;
    consoleReader_ = std::make_unique<PipeReader>(input);
    if (!consoleReader_->started()) consoleReader_.reset();
}

void Engine::releaseConsoleReader() { consoleReader_.reset(); }

void Engine::stopBackgroundWork() {
    childStreams_->clear();
    for (std::unique_ptr<RunResource>& resource : runResources_)
        if (resource) resource->stopBackgroundWork();
}

int Engine::findBuiltin(std::wstring_view upperName) const { return vexil::findBuiltin(upperName); }

void Engine::setScript(SourceKind kind, const std::wstring& path) {
    sourceKind_ = kind;
    scriptFullPath_ = fullPathName(path);
    scriptName_ = fileNameOf(scriptFullPath_);
    scriptDir_ = folderOf(scriptFullPath_);
    if (scriptDir_.size() == 2 && scriptDir_[1] == L':') scriptDir_ += L'\\'; // a bare drive
}

int Engine::reportRuntimeError(MessageId::Id id, int column) {
    if (errorsSuppressed_ || runState_ == RunState::Ending) return -1;
    return reportFatal(loadMessage(id), column, {}, kErrorExitCodeBase + id);
}

int Engine::reportRuntimeErrorText(std::wstring_view message, MessageId::Id id, int column) {
    return reportFatal(message, column, {}, kErrorExitCodeBase + id);
}

int Engine::reportObjectPropertyError() {
    if (errorsSuppressed_ || runState_ == RunState::Ending) return -1;
    constexpr int kObjectPropertyExitCode = kErrorExitCodeBase + MessageId::IllegalTextAtEnd;
    return reportFatal(loadMessage(MessageId::IllegalTextAtEnd), -1,
                       L"^ ERROR Incorrect parameters to object property !", kObjectPropertyExitCode);
}

int Engine::reportObjectMemberError(std::wstring_view member) {
    if (errorsSuppressed_ || runState_ == RunState::Ending) return -1;
    std::wstring marker = L"^ ERROR Object member ";
    marker.append(member).append(L" failed !");
    return reportFatal(loadMessage(MessageId::ObjectActionFailed), -1, marker, kErrorExitCodeBase + MessageId::ObjectActionFailed);
}

int Engine::reportFatal(std::wstring_view message, int column, std::wstring_view fixedMarker,
                        int32_t exitCodeWithOption) {
    constexpr int kFailed = -1;
    if (errorsSuppressed_ || runState_ == RunState::Ending) return kFailed;

    const std::wstring* text = loader_ ? loader_->lineText(currentLine_) : nullptr;
    std::wstring_view lineText = text ? std::wstring_view(*text) : std::wstring_view();
    int file = loader_ ? loader_->fileIndex(currentLine_) : -1;
    bool hasFile = file >= 0;
    std::wstring path = hasFile ? loader_->filePath(file) : scriptFullPath_;
    int lineNumber = hasFile ? loader_->lineNumber(currentLine_) : currentLine_;
    std::wstring marker(fixedMarker);
    if (marker.empty() && column >= 0) marker = errorMarker(lineText, column);

    if (startup_.errorsToStdout)
        writeStandardOutput(runtimeErrorRecord(path, lineNumber, hasFile, message, lineText, marker));
    else
        showErrorBox(mainWindow_, runtimeErrorBoxText(path, lineNumber, message, lineText, marker));

    runState_ = RunState::Ending;
    startup_.exitCode = options_.setExitCode ? exitCodeWithOption : 1;
    return kFailed;
}

} // namespace vexil
