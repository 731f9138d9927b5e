#include "engine/engine.h"

#include "library/paths.h"

#include <ole2.h>
#include <windows.h>

namespace vexil {

Engine::Engine() { oleReady_ = SUCCEEDED(OleInitialize(nullptr)); }

Engine::~Engine() {
    if (oleReady_) OleUninitialize();
}

int Engine::findBuiltin(std::wstring_view) const {
    return -1; // no built-in function exists yet
}

void Engine::setScript(SourceKind kind, const std::wstring& path) {
    sourceKind_ = kind;
    scriptFullPath_ = fullPathName(path);
    scriptName_ = fileNameOf(scriptFullPath_);
    scriptDir_ = folderOf(scriptFullPath_);
    if (scriptDir_.size() == 2 && scriptDir_[1] == L':') scriptDir_ += L'\\'; // a bare drive
}

} // namespace vexil
