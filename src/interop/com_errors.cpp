#include "interop/com_errors.h"

#include "base/ascii_case.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace vexil {

namespace {

// The handler object's names, in the order of their dispatch ids; the first nine are properties.
constexpr std::array<std::wstring_view, 12> kHandlerNames = {
    L"number", L"windescription", L"description", L"source", L"helpfile", L"helpcontext",
    L"lastdllerror", L"scriptline", L"retcode", L"raise", L"clear", L"stop"};
enum HandlerName { Number, WinDescription, Description, Source, HelpFile, HelpContext, LastDllError, ScriptLine, RetCode,
                   Raise, Clear, Stop, PropertyCount = Raise };

class ErrorHandler;
// Live handlers, the most recent last: the active one.
std::vector<ErrorHandler*> handlers;
// Set while a handler's function runs: failures then only set @ERROR.
bool handlerRunning = false;

WString bstrText(BSTR text) { return text ? WString(std::wstring_view(text, SysStringLen(text))) : WString(); }

// The system's text for an HRESULT, without the line break it ends with.
WString systemText(HRESULT hr) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? std::wstring_view(buffer, length) : std::wstring_view());
    if (buffer) LocalFree(buffer);
    return WString(text);
}

class ErrorHandler final : public ObjectBody {
public:
    explicit ErrorHandler(std::wstring_view function) : function_(function) { handlers.push_back(this); }
    ~ErrorHandler() override { std::erase(handlers, this); }

    const WString& function() const { return function_; }

    void fill(BuiltinContext& context, HRESULT hr, const EXCEPINFO* exception, std::wstring_view description) {
        const DWORD lastError = GetLastError();
        for (Variant& property : properties_) property = Variant::string(WString());
        properties_[Number] = Variant::int32(static_cast<int32_t>(hr));
        properties_[WinDescription] = Variant::string(description.empty() ? systemText(hr) : WString(description));
        if (exception) {
            properties_[Description] = Variant::string(bstrText(exception->bstrDescription));
            properties_[Source] = Variant::string(bstrText(exception->bstrSource));
            properties_[HelpFile] = Variant::string(bstrText(exception->bstrHelpFile));
            properties_[HelpContext] = Variant::int32(static_cast<int32_t>(exception->dwHelpContext));
            properties_[RetCode] = Variant::int32(exception->wCode ? exception->wCode : exception->scode);
        }
        properties_[LastDllError] = Variant::int32(static_cast<int32_t>(lastError));
        Variant line;
        context.execute(L"@SCRIPTLINENUMBER", line);
        properties_[ScriptLine] = Variant::int32(line.toInt32());
    }

    MemberOutcome member(BuiltinContext& context, std::wstring_view name, MemberUse use, BuiltinArgs args,
                         Variant& result) override {
        result = Variant::string(WString());
        const auto found = std::find_if(kHandlerNames.begin(), kHandlerNames.end(),
                                        [&](std::wstring_view lower) { return sameNameAnyCase(lower, name); });
        if (found == kHandlerNames.end()) return reportComFailure(context, DISP_E_UNKNOWNNAME);
        const auto id = static_cast<size_t>(found - kHandlerNames.begin());
        if (id == Stop) return MemberOutcome::Done;
        if (id >= PropertyCount || use == MemberUse::Write) return reportComFailure(context, DISP_E_MEMBERNOTFOUND);
        if (!args.empty()) return reportComFailure(context, DISP_E_BADPARAMCOUNT);
        result = properties_[id];
        return MemberOutcome::Done;
    }
    MemberOutcome items(BuiltinContext& context, Variant&) override {
        return reportComFailure(context, E_NOINTERFACE, nullptr, L"Incorrect Object type in FOR..IN loop");
    }
    bool nextItem(Variant&) override { return false; }

private:
    WString function_;
    std::array<Variant, PropertyCount> properties_;
};

// The handler's function with the handler object, then @ERROR; a failure inside it reaches no handler.
void runHandler(BuiltinContext& context, ErrorHandler& handler) {
    const UserFunction* function = context.findFunction(handler.function().view());
    if (!function) return;
    ++handler.refs; // the argument's share of the object
    Variant argument[1] = {Variant::container(VarKind::Object, &handler)};
    Variant discarded;
    handlerRunning = true;
    context.callFromNative(*function, BuiltinArgs(argument, 1), discarded);
    handlerRunning = false;
}

} // namespace

MemberOutcome reportComFailure(BuiltinContext& context, HRESULT hr, const EXCEPINFO* exception, std::wstring_view description) {
    if (handlerRunning) {
        context.setError(static_cast<int32_t>(hr));
        return MemberOutcome::Done;
    }
    if (handlers.empty()) {
        context.setError(static_cast<int32_t>(hr));
        return MemberOutcome::Failed;
    }
    ErrorHandler& handler = *handlers.back();
    handler.fill(context, hr, exception, description);
    runHandler(context, handler);
    context.setError(static_cast<int32_t>(hr));
    return context.runEnding() ? MemberOutcome::RunEnded : MemberOutcome::Done;
}

Variant registerErrorHandler(std::wstring_view function) {
    return Variant::container(VarKind::Object, new ErrorHandler(function));
}

Variant activeHandlerFunction() {
    if (handlers.empty()) return Variant::string(WString());
    return Variant::string(handlers.back()->function());
}

} // namespace vexil
