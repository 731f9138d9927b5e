#pragma once
// The wildcard copy and move behind FILECOPY, FILEMOVE and FILEINSTALL.
#include <cstdint>
#include <string>
#include <string_view>

namespace vexil {

class BuiltinContext;

enum class FileTransfer { Copy, Move };

struct TransferOutcome {
    int handled = 0;    // files copied or moved
    uint32_t error = 0; // the system error that ended the run, 0 when none did
};

// Copies or moves every file `sourceText` matches (a folder: everything in it) to `destination`
// (a full path: a file, a folder, or a wildcard target), an existing target replaced only with
// `replace`. Stops at the first failure; a fenced run changes nothing outside its folder.
TransferOutcome transferMatches(const BuiltinContext& context, std::wstring_view sourceText,
                                const std::wstring& destination, FileTransfer how, bool replace);

} // namespace vexil
