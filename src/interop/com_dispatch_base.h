#pragma once
// What every IDispatch of ours shares: reference counting, the interfaces it answers to, and no
// type information of its own. A derived object names its members and runs them.
#include <windows.h>
#include <oaidl.h>

namespace vexil {

// Deleted only by its own Release, through its virtual destructor: the interface's own
// non-virtual one never runs.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class DispatchBase : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) || answers(riid)) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++count_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --count_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }

protected:
    DispatchBase() = default;
    virtual ~DispatchBase() = default;
    // Another interface id the object stands for (an outgoing interface it receives).
    virtual bool answers(REFIID) const { return false; }

private:
    ULONG count_ = 1;
};
#pragma GCC diagnostic pop

} // namespace vexil
