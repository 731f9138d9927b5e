#pragma once
// The files a script installs with FILEINSTALL, which a packaged script carries in its container:
// every call whose source is a literal text names one, found from the script's folder when the
// name is relative, and stored under that text.
#include <string>
#include <utility>
#include <vector>

namespace vexil {

class ScriptLoader;

using ContainerEntries = std::vector<std::pair<std::wstring, std::string>>;

// Adds an entry for each file the loaded script installs (each name once); false, with the
// name in `unreadable`, when one of them cannot be read.
bool addInstalledFiles(const ScriptLoader& loader, const std::wstring& scriptFolder, ContainerEntries& entries,
                       std::wstring& unreadable);

} // namespace vexil
