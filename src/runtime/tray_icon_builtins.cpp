// The built-ins of the tray icon: its images, tooltip, balloon tips, state and mouse actions,
// and the tray events a script fetches or has delivered.
#include "engine/builtins/builtin_api.h"
#include "engine/options.h"
#include "runtime/event_functions.h"
#include "runtime/tray_icon.h"

namespace vexil {

namespace {

// The file and icon number of TRAYSETICON and TRAYSETPAUSEICON.
void readIconArgs(BuiltinArgs args, std::wstring& file, int32_t& number) {
    file.clear();
    number = 0;
    if (passed(args, 0)) file = std::wstring(textArg(args, 0).view());
    if (passed(args, 1)) number = trayIconIndex(args[1].dereferenced().toInt32());
}

} // namespace

int builtinTraySetIcon(BuiltinContext& context, BuiltinArgs args, Variant&) {
    TrayState& tray = trayState(context);
    readIconArgs(args, tray.iconFile, tray.iconNumber);
    showTrayIcon(context, tray);
    return 0;
}

int builtinTraySetPauseIcon(BuiltinContext& context, BuiltinArgs args, Variant&) {
    TrayState& tray = trayState(context);
    readIconArgs(args, tray.pauseIconFile, tray.pauseIconNumber);
    tray.pauseIcon.release();
    tray.pauseIcon = trayIconByName(tray, tray.pauseIconFile, tray.pauseIconNumber);
    return 0;
}

int builtinTraySetToolTip(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    TrayState& tray = trayState(context);
    if (!tray.flags().trayIconVisible || context.options().trayIconDebug)
        return context.fail(result, Variant::int32(0));
    tray.customTip.clear();
    if (passed(args, 0)) tray.customTip = std::wstring(textArg(args, 0).view().substr(0, 128));
    refreshTrayTip(context, tray);
    return 0;
}

int builtinTrayTip(BuiltinContext& context, BuiltinArgs args, Variant&) {
    TrayState& tray = trayState(context);
    const double seconds = args[2].dereferenced().toDouble();
    const double ms = seconds * 1000.0;
    const uint32_t timeout = ms > 0 && ms < 4294967295.0 ? static_cast<uint32_t>(ms) : 0;
    showTrayBalloon(tray, textArg(args, 0).view(), textArg(args, 1).view(), timeout,
                    static_cast<uint32_t>(optInt(args, 3, 0)));
    return 0;
}

int builtinTraySetState(BuiltinContext& context, BuiltinArgs args, Variant&) {
    TrayState& tray = trayState(context);
    StartupState& flags = tray.flags();
    const int32_t state = passedInt(args, 0, 1);
    if (state & 1) {
        showTrayIcon(context, tray);
        tray.queueSpecial(TrayId::Shown);
    } else if (state & 2) {
        hideTrayIcon(tray);
        tray.queueSpecial(TrayId::Hidden);
    }
    if (state & 4) {
        flags.trayIconFlashing = true;
        tray.queueSpecial(TrayId::FlashStarted);
    } else if (state & 8) {
        flags.trayIconFlashing = false;
        if (flags.trayIconVisible) showTrayIcon(context, tray);
        tray.queueSpecial(TrayId::FlashStopped);
    }
    if (state & 16) {
        flags.trayIconFlashing = false;
        tray.customTip.clear();
    }
    return 0;
}

int builtinTraySetClick(BuiltinContext& context, BuiltinArgs args, Variant&) {
    const uint32_t mask = passed(args, 0) ? static_cast<uint32_t>(args[0].dereferenced().toInt32()) : 9u;
    trayState(context).clickMask = mask < 128 ? static_cast<int32_t>(mask) : 9;
    return 0;
}

int builtinTraySetOnEvent(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    TrayState& tray = trayState(context);
    std::wstring name = eventFunctionName(args[1]);
    if (!context.findFunction(name)) return context.fail(result, Variant::int32(0));
    const int32_t id = args[0].dereferenced().toInt32();
    if (id < TrayId::FirstSpecial || id > TrayId::LastSpecial) {
        result = Variant::int32(0);
        return 0;
    }
    tray.specialFunction(id) = std::move(name);
    return 0;
}

int builtinTrayGetMsg(BuiltinContext& context, BuiltinArgs, Variant& result) {
    TrayState& tray = trayState(context);
    if (context.options().trayOnEventMode) return context.fail(result, Variant::int32(0));
    TrayEvent event;
    if (tray.popEvent(event)) {
        tray.throttle.reset();
        result = Variant::int32(event.id);
        return 0;
    }
    tray.throttle.onEmptyPoll(false);
    result = Variant::int32(0);
    return 0;
}

int builtinBreak(BuiltinContext& context, BuiltinArgs args, Variant&) {
    trayState(context).menuEnabled = args[0].dereferenced().toInt32() != 0;
    return 0;
}

} // namespace vexil
