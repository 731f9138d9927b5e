#pragma once
// The Adlib functions of a run: called again and again, each at least its period after the start
// of its previous call, by the service step between lines and during waits.
#include "engine/builtins/builtin_api.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vexil {

class AdlibList final : public RunResource, public EventSource {
public:
    static constexpr RunResourceKind kKind = RunResourceKind::Adlib;
    static constexpr uint32_t kDefaultPeriodMs = 250;

    // Registers `upperName` or updates its registration (which a removal mark no longer holds);
    // true when it was registered already.
    bool add(const std::wstring& upperName, uint32_t periodMs, uint32_t now);
    // Marks the first registration of `upperName`, or without a name the most recently added
    // one; the mark is honoured after the next pass.
    void remove(const std::wstring* upperName);
    // Registrations not marked removed.
    int32_t live() const;

    // One Adlib pass: every due function once, in registration order; marked entries then go.
    bool serveEvents(BuiltinContext& context) override;

private:
    struct Entry {
        std::wstring name;
        uint32_t lastRun;
        uint32_t period;
        bool running = false;
        bool removed = false;
    };
    std::vector<Entry> entries_;
    bool passActive_ = false;
};

// The run's list, serving from the first use on.
AdlibList& adlibList(BuiltinContext& context);

} // namespace vexil
