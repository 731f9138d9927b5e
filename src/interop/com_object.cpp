#include "interop/com_object.h"

#include "interop/com_errors.h"
#include "interop/com_variant.h"

#include <oleauto.h>

#include <string>
#include <vector>

namespace vexil {

namespace {

constexpr LCID kLocale = LOCALE_SYSTEM_DEFAULT;

// Arguments as Invoke takes them, last first. A reference goes by reference, and what the member
// leaves in it comes back to the script's variable.
class InvokeArguments {
public:
    explicit InvokeArguments(BuiltinArgs args) : args_(args), values_(args.size()), sent_(args.size()), passed_(args.size()) {
        for (size_t i = 0; i < args.size(); ++i) {
            VARIANT& value = values_[i];
            VariantInit(&value);
            toVariant(args[i], value);
            sent_[i] = value;
            VARIANT& slot = passed_[args.size() - 1 - i];
            if (args[i].is(VarKind::Reference)) {
                VariantInit(&slot);
                slot.vt = VT_BYREF | VT_VARIANT;
                slot.pvarVal = &value;
            } else {
                slot = value;
            }
        }
    }
    ~InvokeArguments() {
        for (VARIANT& value : values_) VariantClear(&value);
    }
    InvokeArguments(const InvokeArguments&) = delete;
    InvokeArguments& operator=(const InvokeArguments&) = delete;

    DISPPARAMS params() { return {passed_.data(), nullptr, static_cast<UINT>(passed_.size()), 0}; }
    // The values the member changed, back into the variables.
    void handBack() {
        for (size_t i = 0; i < args_.size(); ++i) {
            const VARIANT& value = values_[i];
            if (!args_[i].is(VarKind::Reference)) continue;
            if (value.vt == sent_[i].vt && value.llVal == sent_[i].llVal) continue; // untouched
            fromVariant(value, args_[i].dereferenced());
        }
    }

private:
    BuiltinArgs args_;
    std::vector<VARIANT> values_; // the converted arguments, in the script's order
    std::vector<VARIANT> sent_;   // shallow copies, to see which ones the member replaced
    std::vector<VARIANT> passed_; // last first, references pointing into values_
};

void clearException(EXCEPINFO& exception) {
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
}

// An Invoke failure to the error machinery, with what the member told of it.
MemberOutcome invokeFailure(BuiltinContext& context, HRESULT hr, EXCEPINFO& exception, Variant& result) {
    result = Variant::string(WString());
    if (hr == DISP_E_EXCEPTION && exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
    const MemberOutcome outcome = reportComFailure(context, hr, hr == DISP_E_EXCEPTION ? &exception : nullptr);
    clearException(exception);
    return outcome;
}

HRESULT memberId(IDispatch* dispatch, std::wstring_view name, DISPID& id) {
    std::wstring text(name);
    LPOLESTR names[1] = {text.data()};
    return dispatch->GetIDsOfNames(IID_NULL, names, 1, kLocale, &id);
}

} // namespace

ComObject::ComObject(IUnknown* unknown, IEnumVARIANT* enumerator) : unknown_(unknown), enumerator_(enumerator) {
    if (unknown_) unknown_->AddRef();
    if (enumerator_) enumerator_->AddRef();
}

ComObject::~ComObject() {
    if (enumerator_) enumerator_->Release();
    if (dispatch_) dispatch_->Release();
    if (unknown_) unknown_->Release();
}

IDispatch* ComObject::dispatch() {
    if (!dispatchAsked_) {
        dispatchAsked_ = true;
        if (unknown_ && FAILED(unknown_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_)))) dispatch_ = nullptr;
    }
    return dispatch_;
}

HRESULT ComObject::idOf(std::wstring_view name, DISPID& id) {
    for (const KnownId& known : known_) {
        if (!known.name.empty() && known.name == name) {
            id = known.id;
            return S_OK;
        }
    }
    const HRESULT hr = memberId(dispatch(), name, id);
    if (SUCCEEDED(hr)) {
        known_[nextKnown_] = {std::wstring(name), id};
        nextKnown_ = (nextKnown_ + 1) % kKnownIds;
    }
    return hr;
}

MemberOutcome ComObject::member(BuiltinContext& context, std::wstring_view name, MemberUse use, BuiltinArgs args,
                                Variant& result) {
    IDispatch* target = dispatch();
    if (!target) return reportComFailure(context, E_NOINTERFACE);
    DISPID id = DISPID_UNKNOWN;
    if (const HRESULT hr = idOf(name, id); FAILED(hr)) {
        result = Variant::string(WString());
        return reportComFailure(context, hr);
    }
    InvokeArguments arguments(args);
    DISPPARAMS params = arguments.params();
    WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
    DISPID putId = DISPID_PROPERTYPUT;
    if (use == MemberUse::Write) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
        flags = args.back().dereferenced().is(VarKind::Object) ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
    }
    VARIANT returned;
    VariantInit(&returned);
    EXCEPINFO exception{};
    UINT badArgument = 0;
    const HRESULT hr = target->Invoke(id, IID_NULL, kLocale, flags, &params, &returned, &exception, &badArgument);
    if (FAILED(hr)) return invokeFailure(context, hr, exception, result);
    arguments.handBack();
    fromVariant(returned, result);
    VariantClear(&returned);
    return MemberOutcome::Done;
}

MemberOutcome ComObject::items(BuiltinContext& context, Variant& cursor) {
    IDispatch* target = dispatch();
    if (!target) return reportComFailure(context, E_NOINTERFACE, nullptr, L"Null Object assignment in FOR..IN loop");
    DISPID id = DISPID_NEWENUM;
    if (FAILED(memberId(target, L"_NewEnum", id)) && FAILED(memberId(target, L"get__NewEnum", id))) id = DISPID_NEWENUM;
    DISPPARAMS none{};
    VARIANT returned;
    VariantInit(&returned);
    EXCEPINFO exception{};
    const HRESULT hr = target->Invoke(id, IID_NULL, kLocale, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &none, &returned,
                                      &exception, nullptr);
    if (FAILED(hr)) return invokeFailure(context, hr, exception, cursor);
    IEnumVARIANT* enumerator = nullptr;
    IUnknown* unknown = returned.vt == VT_UNKNOWN || returned.vt == VT_DISPATCH ? returned.punkVal : nullptr;
    if (!unknown || FAILED(unknown->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&enumerator)))) {
        VariantClear(&returned);
        return reportComFailure(context, E_NOINTERFACE, nullptr, L"Incorrect Object type in FOR..IN loop");
    }
    cursor = Variant::container(VarKind::Object, new ComObject(unknown, enumerator));
    enumerator->Release();
    VariantClear(&returned);
    return MemberOutcome::Done;
}

bool ComObject::nextItem(Variant& item) {
    if (!enumerator_) return false;
    VARIANT next;
    VariantInit(&next);
    ULONG fetched = 0;
    if (enumerator_->Next(1, &next, &fetched) != S_OK || fetched != 1) return false;
    fromVariant(next, item);
    VariantClear(&next);
    return true;
}

Variant objectValue(IUnknown* unknown) {
    if (!unknown) return Variant::string(WString());
    return Variant::container(VarKind::Object, new ComObject(unknown));
}

IUnknown* objectInterface(const Variant& value) {
    ObjectBody* body = objectBody(value);
    ComObject* object = dynamic_cast<ComObject*>(body);
    return object ? object->unknown() : nullptr;
}

} // namespace vexil
