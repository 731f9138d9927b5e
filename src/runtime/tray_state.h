#pragma once
// The tray's state for the run: the icon's images and texts, the menu's entries by command id,
// and the queue of tray events, which the service step serves in the event-function form.
#include "engine/builtins/builtin_api.h"
#include "engine/startup_state.h"
#include "runtime/idle_throttle.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <deque>
#include <string>

namespace vexil {

// Command ids of the menu: the built-in entries, then the script's own.
namespace TrayId {
constexpr int32_t TopMenu = 0;
constexpr int32_t Exit = 3;
constexpr int32_t Pause = 4;
constexpr int32_t SeparatorBefore = 5;
constexpr int32_t SeparatorAfter = 6;
constexpr int32_t FirstUser = 7;
constexpr int32_t Last = 518;
// Icon events, the most negative first.
constexpr int32_t FirstSpecial = -14;
constexpr int32_t LastSpecial = -3;
constexpr int32_t Shown = -3;
constexpr int32_t Hidden = -4;
constexpr int32_t FlashStarted = -5;
constexpr int32_t FlashStopped = -6;
} // namespace TrayId

// "TrayMenuMode" bits, each switching one behaviour off.
namespace TrayMenuMode {
constexpr int32_t NoDefaultEntries = 1;
constexpr int32_t NoAutoCheck = 2;
constexpr int32_t NoDefaultOnDoubleClick = 4;
constexpr int32_t NoRadioAutoCheck = 8;
} // namespace TrayMenuMode

enum class TrayEntryKind : uint8_t { Item = 0, Menu = 1, Free = 255 };

struct TrayEntry {
    HMENU menu = nullptr; // the menu that contains it
    TrayEntryKind kind = TrayEntryKind::Free;
    bool radio = false;
    std::wstring function; // as given
};

struct TrayEvent {
    int32_t id;
    std::wstring function;
};

// An icon with the mark that says whether the tray must destroy it.
struct TrayIconImage {
    HICON handle = nullptr;
    bool owned = false;
    void release() {
        if (owned && handle) DestroyIcon(handle);
        handle = nullptr;
        owned = false;
    }
};

class TrayState final : public RunResource, public EventSource {
public:
    static constexpr RunResourceKind kKind = RunResourceKind::Tray;
    ~TrayState() override;

    // The main window takes the tray on: the top menu, the start-up icons and texts.
    void attach(HWND window, StartupState* startup, HINSTANCE instance, std::wstring defaultTip);
    HWND window() const { return window_; }
    StartupState& flags() { return *startup_; }

    // Slots of the script's entries.
    bool occupied(int32_t id) const;
    TrayEntry& entry(int32_t id) { return entries_[static_cast<size_t>(id)]; }
    // A new slot, or -1 when all are taken.
    int32_t allocate();
    void release(int32_t id);
    int32_t highestId() const { return highestId_; }

    void queue(int32_t id, std::wstring function) { events_.push_back({id, std::move(function)}); }
    void queueSpecial(int32_t id) { queue(id, specialFunction(id)); }
    bool popEvent(TrayEvent& event);
    bool hasEvents() const { return !events_.empty(); }
    std::wstring& specialFunction(int32_t id) { return special_[static_cast<size_t>(id - TrayId::FirstSpecial)]; }

    bool serveEvents(BuiltinContext& context) override;

    HMENU topMenu = nullptr;
    bool defaultEntriesPresent = false;
    bool menuEnabled = true;
    int32_t clickMask = 9;
    int32_t lastCreatedId = -1;
    std::wstring iconFile, pauseIconFile;
    int32_t iconNumber = 0, pauseIconNumber = 0;
    TrayIconImage currentIcon, pauseIcon;
    HICON defaultIcon = nullptr, defaultPauseIcon = nullptr, blankIcon = nullptr;
    bool pausePhase = false, flashPhase = false;
    std::wstring exitText = L"Exit", pauseText = L"Script Paused";
    std::wstring customTip;
    std::wstring defaultTip;
    IdleThrottle throttle;

private:
    HWND window_ = nullptr;
    StartupState ownFlags_; // until a main window attaches
    StartupState* startup_ = &ownFlags_;
    std::array<TrayEntry, TrayId::Last + 1> entries_{};
    int32_t highestId_ = 0;
    std::array<std::wstring, TrayId::LastSpecial - TrayId::FirstSpecial + 1> special_{};
    std::deque<TrayEvent> events_;
    bool serving_ = false;
};

// The run's tray, serving events from the first use on.
TrayState& trayState(BuiltinContext& context);

} // namespace vexil
