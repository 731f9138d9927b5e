// The process built-ins that look at or act on a running process named by its executable's
// file name or its id: PROCESSEXISTS, PROCESSLIST, PROCESSCLOSE, PROCESSSETPRIORITY and
// PROCESSGETSTATS.
#include "library/process_lookup.h"
#include "base/account_rights.h"
#include "base/text_search.h"
#include "engine/builtins/builtin_api.h"
#include "engine/values/containers.h"

#include <windows.h>
#include <psapi.h>

#include <initializer_list>
#include <vector>

namespace vexil {

namespace {

uint32_t namedProcess(BuiltinArgs args, size_t i) { return findProcess(textArg(args, i).view()).processId; }

Variant processIdValue(uint32_t processId) { return Variant::real(static_cast<double>(processId)); }

// Opens a process to end it; a refusal is tried again with the debug privilege switched on.
// @ERROR 2 (@EXTENDED 5) when that privilege cannot be had, 1 with the error code otherwise.
HANDLE openToTerminate(BuiltinContext& context, uint32_t processId) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processId);
    DWORD error = process ? 0 : GetLastError();
    if (!process && error == ERROR_ACCESS_DENIED) {
        PrivilegeForCall debug(SE_DEBUG_NAME);
        if (!debug.enabled()) {
            context.setError(2);
            context.setExtended(Variant::int32(ERROR_ACCESS_DENIED));
            return nullptr;
        }
        process = OpenProcess(PROCESS_TERMINATE, FALSE, processId);
        error = process ? 0 : GetLastError();
    }
    if (!process) {
        context.setError(1);
        context.setExtended(Variant::int32(static_cast<int32_t>(error)));
    }
    return process;
}

constexpr DWORD kPriorityClasses[] = {IDLE_PRIORITY_CLASS,  BELOW_NORMAL_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS,
                                      ABOVE_NORMAL_PRIORITY_CLASS, HIGH_PRIORITY_CLASS, REALTIME_PRIORITY_CLASS};

// PROCESSGETSTATS names the current process with no argument, -1 or an empty text.
bool namesCurrentProcess(BuiltinArgs args) {
    if (!given(args, 0)) return true;
    const Variant& v = args[0].dereferenced();
    return (v.isNumber() && v.toDouble() == -1) || v.text().view().empty();
}

Variant int64Array(std::initializer_list<uint64_t> numbers) {
    std::vector<Variant> items;
    for (uint64_t n : numbers) items.push_back(Variant::int64(static_cast<int64_t>(n)));
    return arrayOf(std::move(items));
}

// Memory (type 0) or input and output counts (type 1); an empty Variant for any other type or a
// failed query.
bool readStats(HANDLE process, int32_t type, Variant& stats) {
    if (type == 0) {
        PROCESS_MEMORY_COUNTERS memory{};
        if (!GetProcessMemoryInfo(process, &memory, sizeof(memory))) return false;
        stats = int64Array({memory.WorkingSetSize, memory.PeakWorkingSetSize});
        return true;
    }
    if (type == 1) {
        IO_COUNTERS io{};
        if (!GetProcessIoCounters(process, &io)) return false;
        stats = int64Array({io.ReadOperationCount, io.WriteOperationCount, io.OtherOperationCount,
                            io.ReadTransferCount, io.WriteTransferCount, io.OtherTransferCount});
        return true;
    }
    return false;
}

} // namespace

int builtinProcessExists(BuiltinContext&, BuiltinArgs args, Variant& result) {
    const uint32_t processId = namedProcess(args, 0);
    result = processId ? processIdValue(processId) : Variant::int32(0);
    return 0;
}

int builtinProcessList(BuiltinContext&, BuiltinArgs args, Variant& result) {
    const bool filtered = given(args, 0);
    const std::wstring_view filter = filtered ? textArg(args, 0).view() : std::wstring_view();
    std::vector<ProcessEntry> entries = listProcesses();
    const auto unmatched = [&](const ProcessEntry& e) { return !textsEqual(filter, e.exeName, CompareMode::Locale); };
    if (filtered) std::erase_if(entries, unmatched);
    const int32_t sizes[2] = {static_cast<int32_t>(entries.size() + 1), 2};
    if (!makeArray(result, sizes, 2)) return 0;
    ArrayBody* body = arrayBody(result);
    int32_t at[2] = {0, 0};
    *arrayElement(body, at, 2) = Variant::int64(static_cast<int64_t>(entries.size()));
    for (const ProcessEntry& entry : entries) {
        ++at[0];
        at[1] = 0;
        *arrayElement(body, at, 2) = Variant::string(WString(entry.exeName));
        at[1] = 1;
        *arrayElement(body, at, 2) = processIdValue(entry.processId);
    }
    return 0;
}

int builtinProcessClose(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring_view name = textArg(args, 0).view();
    if (context.fenced()) return context.fail(result, Variant::int32(0));
    const uint32_t processId = findProcess(name).processId;
    if (!processId) {
        result = Variant::int32(0);
        return 0;
    }
    HANDLE process = openToTerminate(context, processId);
    if (!process) {
        result = Variant::int32(0);
        return 0;
    }
    const bool ended = TerminateProcess(process, 0);
    const DWORD error = ended ? 0 : GetLastError();
    CloseHandle(process);
    if (!ended) {
        context.setExtended(Variant::int32(static_cast<int32_t>(error)));
        return context.fail(result, Variant::int32(0), 3);
    }
    return 0;
}

int builtinProcessSetPriority(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring_view name = textArg(args, 0).view();
    const int32_t priority = args[1].dereferenced().toInt32();
    if (context.fenced() || priority < 0 || priority > 5) return context.fail(result, Variant::int32(0));
    const uint32_t processId = findProcess(name).processId;
    HANDLE process = processId ? OpenProcess(PROCESS_SET_INFORMATION, FALSE, processId) : nullptr;
    if (!process) return context.fail(result, Variant::int32(0));
    SetPriorityClass(process, kPriorityClasses[priority]);
    CloseHandle(process);
    return 0;
}

int builtinProcessGetStats(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const bool current = namesCurrentProcess(args);
    const int32_t type = optInt(args, 1, 0);
    const uint32_t processId = current ? GetCurrentProcessId() : namedProcess(args, 0);
    if (!processId) return context.fail(result, Variant::int32(0));
    HANDLE process = current ? GetCurrentProcess()
                             : OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) return context.fail(result, Variant::int32(0));
    Variant stats;
    const bool read = readStats(process, type, stats);
    if (!current) CloseHandle(process);
    if (!read) return context.fail(result, Variant::int32(0), 2);
    result = std::move(stats);
    return 0;
}

} // namespace vexil
