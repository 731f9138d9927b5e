#include "interop/com_type_info.h"

#include <ocidl.h>

namespace vexil {

ITypeInfo* classInfoOf(IUnknown* object) {
    IProvideClassInfo* provider = nullptr;
    ITypeInfo* info = nullptr;
    if (FAILED(object->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(&provider)))) return nullptr;
    if (FAILED(provider->GetClassInfo(&info))) info = nullptr;
    provider->Release();
    return info;
}

ITypeInfo* interfaceInfoOf(IUnknown* object) {
    IDispatch* dispatch = nullptr;
    ITypeInfo* info = nullptr;
    if (FAILED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) return nullptr;
    if (FAILED(dispatch->GetTypeInfo(0, LOCALE_SYSTEM_DEFAULT, &info))) info = nullptr;
    dispatch->Release();
    return info;
}

bool typeGuid(ITypeInfo* info, GUID& guid) {
    TYPEATTR* attributes = nullptr;
    if (!info || FAILED(info->GetTypeAttr(&attributes))) return false;
    guid = attributes->guid;
    info->ReleaseTypeAttr(attributes);
    return true;
}

} // namespace vexil
