// BEEP, SOUNDPLAY and SOUNDSETWAVEVOLUME.
#include "engine/builtins/builtin_api.h"

#include <windows.h>
#include <mmsystem.h>

namespace vexil {

namespace {

// The one device alias every SOUNDPLAY uses, so that the next call (or the end of the run) can
// stop what the last one started.
bool mciCommand(const std::wstring& command, std::wstring* answer = nullptr) {
    wchar_t text[256] = {};
    const bool done = mciSendStringW(command.c_str(), text, 256, nullptr) == 0;
    if (answer) *answer = text;
    return done;
}

// A sound played without waiting stays open until the next SOUNDPLAY or the end of the run.
struct OpenSound final : RunResource {
    static constexpr RunResourceKind kKind = RunResourceKind::Sound;
    ~OpenSound() override { mciCommand(L"close all"); }
};

} // namespace

int builtinBeep(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = Variant::int32(1);
    if (context.fenced()) return 0; // a duration of days would stop the fuzzer
    Beep(static_cast<DWORD>(optInt(args, 0, 500)), static_cast<DWORD>(optInt(args, 1, 1000)));
    return 0;
}

int builtinSoundPlay(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    result = Variant::int32(1);
    if (context.fenced()) return 0;
    std::wstring mode;
    if (mciCommand(L"status PlayMe mode", &mode) && !mode.empty()) mciCommand(L"close PlayMe");
    const std::wstring file(args[0].text().view());
    if (file.empty() || !mciCommand(L"open \"" + file + L"\" alias PlayMe")) return 0;
    const bool wait = args.size() > 1 && args[1].toInt32() == 1;
    if (wait) {
        mciCommand(L"play PlayMe wait");
        mciCommand(L"close PlayMe");
    } else {
        mciCommand(L"play PlayMe");
        context.runResource<OpenSound>();
    }
    return 0;
}

int builtinSoundSetWaveVolume(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const auto percent = static_cast<uint32_t>(args[0].toInt32());
    if (percent > 100) return context.fail(result, Variant::int32(0));
    const DWORD volume = percent * 65535u / 100u;
    // Without a sound device the call fails: said, not hidden.
    if (waveOutSetVolume(nullptr, volume * 65537u) != MMSYSERR_NOERROR) return context.fail(result, Variant::int32(0));
    result = Variant::int32(1);
    return 0;
}

} // namespace vexil
