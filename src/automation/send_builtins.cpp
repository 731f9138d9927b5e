// SEND, CONTROLSEND and SENDKEEPACTIVE: key strings typed into the active window or posted to
// one control.
#include "automation/key_string_sender.h"
#include "automation/script_keyboard.h"
#include "automation/control_search.h"
#include "automation/system_key_sinks.h"
#include "automation/window_search.h"
#include "engine/builtins/builtin_api.h"
#include "engine/options.h"

namespace vexil {

namespace {

SendSettings sendSettings(BuiltinContext& context) {
    const RuntimeOptions& options = context.options();
    return SendSettings{options.sendKeyDelay, options.sendKeyDownDelay, options.sendCapsLockMode != 0};
}

bool rawFlag(BuiltinArgs args, size_t i) { return given(args, i) && args[i].dereferenced().toInt32() != 0; }

// The script's thread joined to the input of the foreground window (and of a target control's
// thread), so that keyboard state and focus are shared while keys are sent; undone on leaving.
class InputAttachment {
public:
    InputAttachment(bool attach, HWND target) {
        if (!attach && !target) return;
        const DWORD self = GetCurrentThreadId();
        foregroundWindow_ = GetForegroundWindow();
        const DWORD foreground = GetWindowThreadProcessId(foregroundWindow_, nullptr);
        const DWORD targetThread = target ? GetWindowThreadProcessId(target, nullptr) : 0;
        join(self, foreground);
        if (target) {
            join(foreground, targetThread);
            join(self, targetThread);
        }
        // When nothing could be joined because the control belongs to this very thread (a window of
        // the script's own), the keys still go to that control by message, never to whichever
        // control happens to have the focus.
    }
    ~InputAttachment() {
        for (size_t i = count_; i-- > 0;) AttachThreadInput(pairs_[i].from, pairs_[i].to, FALSE);
        // Joining the foreground thread to another may hand the activation to that thread (Wine
        // does): the window that was in front goes back there, as keys to a control must not
        // change which window the user types into.
        if (count_ && foregroundWindow_ && GetForegroundWindow() != foregroundWindow_ && IsWindow(foregroundWindow_))
            SetForegroundWindow(foregroundWindow_);
    }
    InputAttachment(const InputAttachment&) = delete;
    InputAttachment& operator=(const InputAttachment&) = delete;

private:
    void join(DWORD from, DWORD to) {
        if (!from || !to || from == to || count_ == 3) return;
        if (AttachThreadInput(from, to, TRUE)) pairs_[count_++] = {from, to};
    }
    struct Pair {
        DWORD from, to;
    } pairs_[3]{};
    size_t count_ = 0;
    HWND foregroundWindow_ = nullptr;
};

} // namespace

int builtinSend(BuiltinContext& context, BuiltinArgs args, Variant&) {
    const WString& keys = textArg(args, 0);
    const bool raw = rawFlag(args, 1);
    // A fenced run types into no other program.
    if (context.fenced()) return 0;
    ScriptKeyboard& keyboard = context.runResource<ScriptKeyboard>();
    InputAttachment attachment(context.options().sendAttachMode != 0, nullptr);
    HWND keepActive = static_cast<HWND>(keyboard.keepActive);
    InputStreamSink sink(&keepActive);
    KeyStringSender(sink, keyboard.held, sendSettings(context)).send(keys.view(), raw);
    keyboard.keepActive = keepActive;
    return 0;
}

int builtinControlSend(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const WString& keys = textArg(args, 3);
    const bool raw = rawFlag(args, 4);
    const HWND window = windowToChange(context, args, result);
    if (!window) return 0;
    const Variant& named = args[2].dereferenced();
    HWND control = named.is(VarKind::Ptr) ? reinterpret_cast<HWND>(static_cast<uintptr_t>(named.toPointer()))
                                          : findControlByDescriptor(window, named.text().view());
    if (!control || !IsWindow(control)) {
        result = Variant::int32(0);
        return 0;
    }
    ScriptKeyboard& keyboard = context.runResource<ScriptKeyboard>();
    InputAttachment attachment(context.options().sendAttachMode != 0, control);
    ControlMessageSink sink(control);
    KeyStringSender(sink, keyboard.held, sendSettings(context)).send(keys.view(), raw);
    return 0;
}

int builtinSendKeepActive(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    ScriptKeyboard& keyboard = context.runResource<ScriptKeyboard>();
    keyboard.keepActive = nullptr;
    const Variant& title = args[0].dereferenced();
    if (!title.is(VarKind::Ptr) && title.text().empty()) return 0;
    const HWND window = findWindow(context, args);
    if (!window) {
        result = Variant::int32(0);
        return 0;
    }
    keyboard.keepActive = window;
    return 0;
}

} // namespace vexil
