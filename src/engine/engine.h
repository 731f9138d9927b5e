#pragma once
// The engine: one object that owns the run of a script.
#include "engine/loader.h"
#include "engine/source_kind.h"

#include <string>
#include <vector>

namespace vexil {

class Engine final : public LoaderHost {
public:
    Engine();
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    int findBuiltin(std::wstring_view upperName) const override;
    void registerStartFunction(std::wstring name) override { startFunctions_.push_back(std::move(name)); }
    const std::vector<std::wstring>& startFunctions() const { return startFunctions_; }

    // $CMDLINERAW and $CMDLINE (element 0 of $CMDLINE is the count, not stored here).
    void setCommandLine(std::wstring raw, std::vector<std::wstring> arguments) {
        cmdLineRaw_ = std::move(raw);
        cmdLine_ = std::move(arguments);
    }
    const std::wstring& cmdLineRaw() const { return cmdLineRaw_; }
    const std::vector<std::wstring>& cmdLine() const { return cmdLine_; }

    // Where the running script comes from, and its path values (@SCRIPTFULLPATH and friends).
    SourceKind sourceKind() const { return sourceKind_; }
    void setScript(SourceKind kind, const std::wstring& path);
    const std::wstring& scriptFullPath() const { return scriptFullPath_; }
    const std::wstring& scriptName() const { return scriptName_; }
    const std::wstring& scriptDir() const { return scriptDir_; }

private:
    std::vector<std::wstring> startFunctions_;
    std::wstring cmdLineRaw_;
    std::vector<std::wstring> cmdLine_;
    SourceKind sourceKind_ = SourceKind::OwnFile;
    std::wstring scriptFullPath_, scriptName_, scriptDir_;
    bool oleReady_ = false;
};

} // namespace vexil
