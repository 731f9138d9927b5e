// OBJEVENT: the script's error handler, and event sinks that connect an object's outgoing
// interface to the script's functions named by a prefix. An event arrives while the object runs
// (in the middle of a line): the call is queued and runs between lines.
#include "engine/builtins/builtin_api.h"
#include "engine/exec/functions.h"
#include "interop/com_dispatch_base.h"
#include "interop/com_errors.h"
#include "interop/com_type_info.h"
#include "interop/com_variant.h"

#include <ocidl.h>
#include <oleauto.h>

#include <string>
#include <vector>

namespace vexil {

namespace {

constexpr DISPID kStopId = -999;

// The object the server calls: it turns each event into a queued call of prefix + event name.
class EventSink final : public DispatchBase {
public:
    EventSink(Engine& engine, std::wstring prefix, const IID& iid, ITypeInfo* names, Variant source)
        : engine_(engine), prefix_(std::move(prefix)), iid_(iid), names_(names), source_(std::move(source)) {
        if (names_) names_->AddRef();
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
        std::wstring name = eventName(id);
        if (name.empty()) return S_OK;
        BuiltinContext context(engine_);
        const UserFunction* function = context.findFunction(prefix_ + name);
        if (!function) return S_OK; // events without a function are ignored
        std::vector<Variant> arguments;
        const UINT count = params ? params->cArgs : 0;
        for (UINT i = count; i-- > 0;) fromVariant(params->rgvarg[i], arguments.emplace_back());
        if (arguments.size() > function->parameters.size()) arguments.resize(function->parameters.size());
        if (static_cast<int>(arguments.size()) < function->minArgs) return S_OK;
        context.queueObjectEvent(*function, std::move(arguments), source_);
        return S_OK;
    }

    // The server holds the sink until it is disconnected; the source it keeps goes with that.
    void disconnected() { source_ = Variant(); }

private:
    ~EventSink() override {
        if (names_) names_->Release();
    }
    bool answers(REFIID riid) const override { return IsEqualIID(riid, iid_); }
    std::wstring eventName(DISPID id) const {
        BSTR name = nullptr;
        UINT found = 0;
        if (!names_ || FAILED(names_->GetNames(id, &name, 1, &found)) || found == 0) return {};
        std::wstring text(name, SysStringLen(name));
        SysFreeString(name);
        return text;
    }

    Engine& engine_;
    std::wstring prefix_;
    IID iid_;
    ITypeInfo* names_;
    Variant source_;
};

// What the script holds: the connection, ended by its STOP method or when the last copy goes.
class SinkConnection final : public ObjectBody {
public:
    SinkConnection(EventSink* sink, IConnectionPoint* point, DWORD cookie) : sink_(sink), point_(point), cookie_(cookie) {}
    ~SinkConnection() override { stop(); }

    MemberOutcome member(BuiltinContext& context, std::wstring_view name, MemberUse use, BuiltinArgs,
                         Variant& result) override {
        result = Variant::string(WString());
        if (name.size() != 4 || _wcsnicmp(name.data(), L"STOP", 4) != 0 || use == MemberUse::Write)
            return reportComFailure(context, DISP_E_UNKNOWNNAME);
        stop();
        return MemberOutcome::Done;
    }
    MemberOutcome items(BuiltinContext& context, Variant&) override {
        return reportComFailure(context, E_NOINTERFACE, nullptr, L"Incorrect Object type in FOR..IN loop");
    }
    bool nextItem(Variant&) override { return false; }

private:
    void stop() {
        if (!point_) return;
        point_->Unadvise(cookie_);
        point_->Release();
        point_ = nullptr;
        sink_->disconnected();
        sink_->Release();
    }
    EventSink* sink_;
    IConnectionPoint* point_;
    DWORD cookie_;
};

// The type library that describes the object.
ITypeLib* libraryOf(IUnknown* object) {
    ITypeInfo* info = classInfoOf(object);
    if (!info) info = interfaceInfoOf(object);
    ITypeLib* library = nullptr;
    UINT index = 0;
    if (info && FAILED(info->GetContainingTypeLib(&library, &index))) library = nullptr;
    if (info) info->Release();
    return library;
}

// The class's default outgoing interface, with its type information.
ITypeInfo* defaultSource(IUnknown* object) {
    ITypeInfo* info = classInfoOf(object);
    if (!info) return nullptr;
    ITypeInfo* source = nullptr;
    TYPEATTR* attributes = nullptr;
    if (SUCCEEDED(info->GetTypeAttr(&attributes))) {
        for (UINT i = 0; i < attributes->cImplTypes && !source; ++i) {
            INT flags = 0;
            HREFTYPE reference = 0;
            if (FAILED(info->GetImplTypeFlags(i, &flags)) || (flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) !=
                                                                  (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE))
                continue;
            if (SUCCEEDED(info->GetRefTypeOfImplType(i, &reference)) && FAILED(info->GetRefTypeInfo(reference, &source))) source = nullptr;
        }
        info->ReleaseTypeAttr(attributes);
    }
    info->Release();
    return source;
}

// An interface named by the script: an IID, or a name in the object's type library.
ITypeInfo* namedSource(IUnknown* object, const std::wstring& name, IID& iid) {
    ITypeLib* library = libraryOf(object);
    ITypeInfo* found = nullptr;
    if (name.starts_with(L"{")) {
        if (FAILED(IIDFromString(name.c_str(), &iid))) iid = GUID_NULL;
        if (library && FAILED(library->GetTypeInfoOfGuid(iid, &found))) found = nullptr;
    } else if (library) {
        for (UINT i = 0; i < library->GetTypeInfoCount() && !found; ++i) {
            BSTR own = nullptr;
            if (FAILED(library->GetDocumentation(static_cast<INT>(i), &own, nullptr, nullptr, nullptr))) continue;
            const bool same = own && _wcsicmp(own, name.c_str()) == 0;
            SysFreeString(own);
            if (same && FAILED(library->GetTypeInfo(i, &found))) found = nullptr;
        }
        if (!found || !typeGuid(found, iid)) iid = GUID_NULL;
    }
    if (library) library->Release();
    return found;
}

int connectSink(BuiltinContext& context, BuiltinArgs args, IUnknown* object, Variant& result) {
    result = Variant::int32(0);
    IID iid = GUID_NULL;
    ITypeInfo* names = given(args, 2) ? namedSource(object, std::wstring(textArg(args, 2).view()), iid) : defaultSource(object);
    if (!given(args, 2) && !typeGuid(names, iid)) iid = GUID_NULL;
    IConnectionPointContainer* container = nullptr;
    IConnectionPoint* point = nullptr;
    HRESULT hr = IsEqualGUID(iid, GUID_NULL) ? E_NOINTERFACE
                                             : object->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    if (SUCCEEDED(hr)) {
        hr = container->FindConnectionPoint(iid, &point);
        container->Release();
    }
    DWORD cookie = 0;
    EventSink* sink = nullptr;
    if (SUCCEEDED(hr)) {
        sink = new EventSink(context.engine(), std::wstring(textArg(args, 1).view()), iid, names, args[0].dereferenced());
        hr = point->Advise(sink, &cookie);
    }
    if (names) names->Release();
    if (FAILED(hr)) {
        if (sink) sink->Release();
        if (point) point->Release();
        reportComFailure(context, hr);
        return context.runEnding() ? -1 : 0;
    }
    result = Variant::container(VarKind::Object, new SinkConnection(sink, point, cookie));
    return 0;
}

// "VEXIL.ERROR" [, function]: the handler's registration, or the active handler's function.
int errorHandler(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const Variant& name = args[0].dereferenced();
    if (_wcsicmp(name.text().c_str(), L"VEXIL.ERROR") != 0) return context.fail(result, Variant::int32(0));
    if (!passed(args, 1)) {
        result = activeHandlerFunction();
        return 0;
    }
    const Variant& function = args[1].dereferenced();
    const WString functionName = function.is(VarKind::UserFunction) ? function.functionRecord()->name : function.text();
    if (!context.findFunction(functionName.view())) return context.fail(result, Variant::int32(0));
    result = registerErrorHandler(functionName.view());
    return 0;
}

} // namespace

int builtinObjEvent(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const Variant& first = args[0].dereferenced();
    if (!first.is(VarKind::Object)) return errorHandler(context, args, result);
    IUnknown* object = objectInterface(first);
    if (!object || !given(args, 1)) return context.fail(result, Variant::int32(0));
    if (!context.ensureOle()) return context.fail(result, Variant::int32(0));
    return connectSink(context, args, object, result);
}

} // namespace vexil
