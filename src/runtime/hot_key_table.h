#pragma once
// The hot keys a script registered: system-wide key combinations registered on the main window,
// whose presses are queued by the window and served, one a pass, by the service step.
#include "engine/builtins/builtin_api.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace vexil {

// Modifier bits of a registration, as the system takes them.
namespace HotKeyModifier {
constexpr uint32_t Alt = 1;
constexpr uint32_t Ctrl = 2;
constexpr uint32_t Shift = 4;
constexpr uint32_t Win = 8;
} // namespace HotKeyModifier

class HotKeyTable final : public RunResource, public EventSource {
public:
    static constexpr RunResourceKind kKind = RunResourceKind::HotKeys;
    ~HotKeyTable() override;

    // The identifier of the registration of `signature` (virtual key << 16 | modifier bits), or -1.
    int32_t find(uint64_t signature) const;
    void retarget(int32_t id, std::wstring function) { slots_[static_cast<size_t>(id)].function = std::move(function); }
    // Registers the combination with the system on `window`; the identifier, or -1 with the
    // system's error code in `error`.
    int32_t add(void* window, uint64_t signature, std::wstring function, std::wstring keyText, uint32_t& error);
    void remove(int32_t id);

    // A press of registration `id`, from the main window.
    void queuePress(int32_t id) { presses_.push_back(id); }
    // Runs the function of the oldest press.
    bool serveEvents(BuiltinContext& context) override;

private:
    struct Slot {
        bool used = false;
        uint64_t signature = 0;
        std::wstring function; // as given
        std::wstring keyText;  // as given: @HOTKEYPRESSED
    };
    std::vector<Slot> slots_;
    std::deque<int32_t> presses_;
    void* window_ = nullptr;
};

// The run's table, serving from the first use on.
HotKeyTable& hotKeyTable(BuiltinContext& context);

} // namespace vexil
