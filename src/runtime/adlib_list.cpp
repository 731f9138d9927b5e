#include "runtime/adlib_list.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>

namespace vexil {

bool AdlibList::add(const std::wstring& upperName, uint32_t periodMs, uint32_t now) {
    for (Entry& entry : entries_) {
        if (entry.name != upperName) continue;
        entry.removed = false;
        entry.period = periodMs;
        // A running function's timer started with its call.
        if (!entry.running) entry.lastRun = now;
        return true;
    }
    entries_.push_back(Entry{upperName, now, periodMs});
    return false;
}

void AdlibList::remove(const std::wstring* upperName) {
    if (entries_.empty()) return;
    if (!upperName) {
        entries_.back().removed = true;
        return;
    }
    auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.name == *upperName; });
    if (found != entries_.end()) found->removed = true;
}

int32_t AdlibList::live() const {
    return static_cast<int32_t>(std::count_if(entries_.begin(), entries_.end(), [](const Entry& e) { return !e.removed; }));
}

bool AdlibList::serveEvents(BuiltinContext& context) {
    if (entries_.empty() || passActive_) return false;
    passActive_ = true;
    bool ran = false;
    // By index: a function may register others, which join the end of the list.
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].removed) continue;
        const uint32_t now = timeGetTime();
        if (now - entries_[i].lastRun < entries_[i].period) continue; // wraps safely
        const UserFunction* function = context.findFunction(entries_[i].name);
        if (!function) continue;
        entries_[i].lastRun = now;
        entries_[i].running = true;
        ran = true;
        const bool goOn = context.runEventFunction(*function);
        entries_[i].running = false;
        if (!goOn) break;
    }
    std::erase_if(entries_, [](const Entry& e) { return e.removed; });
    passActive_ = false;
    return ran;
}

AdlibList& adlibList(BuiltinContext& context) {
    AdlibList& list = context.runResource<AdlibList>();
    context.setEventSource(EventSourceKind::Adlib, &list);
    return list;
}

} // namespace vexil
