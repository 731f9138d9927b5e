#include "library/process_lookup.h"

#include "base/text_search.h"

#include <windows.h>
#include <tlhelp32.h>

namespace vexil {

namespace {

// Calls `visit(entry)` for each entry of a fresh snapshot until it returns true.
template <typename Visit> void walkSnapshot(Visit visit) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (visit(entry)) break;
    CloseHandle(snapshot);
}

// The number a text of digits only stands for; false for any other text, and for a number past
// 32 bits (which no process id reaches: compared as a name, it matches nothing either).
bool digitsOnly(std::wstring_view text, uint32_t& number) {
    if (text.empty()) return false;
    uint64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + static_cast<uint64_t>(c - L'0');
        if (value > UINT32_MAX) return false;
    }
    number = static_cast<uint32_t>(value);
    return true;
}

} // namespace

std::vector<ProcessEntry> listProcesses() {
    std::vector<ProcessEntry> entries;
    walkSnapshot([&](const PROCESSENTRY32W& entry) {
        entries.push_back({entry.th32ProcessID, entry.szExeFile});
        return false;
    });
    return entries;
}

ProcessEntry findProcess(std::wstring_view nameOrId) {
    // A process may be listed without a name while it starts: an empty text names none.
    if (nameOrId.empty()) return {0, {}};
    uint32_t id = 0;
    const bool byId = digitsOnly(nameOrId, id);
    ProcessEntry found{0, {}};
    walkSnapshot([&](const PROCESSENTRY32W& entry) {
        if (entry.th32ProcessID == 0) return false;
        const bool match = byId ? entry.th32ProcessID == id
                                : textsEqual(nameOrId, entry.szExeFile, CompareMode::Locale);
        if (match) found = {entry.th32ProcessID, entry.szExeFile};
        return match;
    });
    return found;
}

bool processListed(uint32_t processId, std::wstring_view exeName) {
    bool listed = false;
    walkSnapshot([&](const PROCESSENTRY32W& entry) {
        listed = entry.th32ProcessID == processId && textsEqual(exeName, entry.szExeFile, CompareMode::Locale);
        return listed;
    });
    return listed;
}

} // namespace vexil
