// OBJNAME: what the type information and the registry tell of an object.
#include "engine/builtins/builtin_api.h"
#include "interop/com_type_info.h"
#include "interop/com_variant.h"

#include <objbase.h>
#include <ocidl.h>
#include <oleauto.h>

#include <string>

namespace vexil {

namespace {

enum NameFlag { TypeName = 1, Description, ProgId, TypeLibraryFile, ModuleFile, ClassId, InterfaceId };

WString takeBstr(BSTR text) {
    WString out = text ? WString(std::wstring_view(text, SysStringLen(text))) : WString();
    SysFreeString(text);
    return out;
}

WString guidText(const GUID& guid) {
    wchar_t text[64] = L"";
    StringFromGUID2(guid, text, 64);
    return WString(text);
}

// The class's type information when the object offers it, else its interface's.
ITypeInfo* typeInfoOf(IUnknown* object, bool& isClass) {
    ITypeInfo* info = classInfoOf(object);
    isClass = info != nullptr;
    return info ? info : interfaceInfoOf(object);
}

// The class: from the class's type information, or from IPersist.
bool classOf(IUnknown* object, ITypeInfo* info, bool isClass, CLSID& clsid) {
    if (isClass && typeGuid(info, clsid)) return true;
    IPersist* persist = nullptr;
    if (FAILED(object->QueryInterface(IID_IPersist, reinterpret_cast<void**>(&persist)))) return false;
    const bool found = SUCCEEDED(persist->GetClassID(&clsid));
    persist->Release();
    return found;
}

WString registeredServer(const CLSID& clsid) {
    std::wstring key = L"CLSID\\";
    key += guidText(clsid).view();
    wchar_t path[MAX_PATH] = L"";
    for (const wchar_t* server : {L"\\InprocServer32", L"\\LocalServer32"}) {
        LONG size = sizeof path;
        if (RegQueryValueW(HKEY_CLASSES_ROOT, (key + server).c_str(), path, &size) == ERROR_SUCCESS && path[0]) return WString(path);
    }
    return WString();
}

WString typeLibraryFile(ITypeInfo* info) {
    ITypeLib* library = nullptr;
    UINT index = 0;
    if (!info || FAILED(info->GetContainingTypeLib(&library, &index))) return WString();
    TLIBATTR* attributes = nullptr;
    WString file;
    if (SUCCEEDED(library->GetLibAttr(&attributes))) {
        BSTR path = nullptr;
        if (SUCCEEDED(QueryPathOfRegTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                                            attributes->lcid, &path)))
            file = takeBstr(path);
        library->ReleaseTLibAttr(attributes);
    }
    library->Release();
    return file;
}

WString nameOf(IUnknown* object, int flag) {
    bool isClass = false;
    ITypeInfo* info = typeInfoOf(object, isClass);
    WString out;
    CLSID clsid{};
    switch (flag) {
    case TypeName:
    case Description: {
        BSTR name = nullptr, description = nullptr;
        if (info && SUCCEEDED(info->GetDocumentation(MEMBERID_NIL, &name, &description, nullptr, nullptr))) {
            WString n = takeBstr(name), d = takeBstr(description);
            out = flag == TypeName ? n : d;
        }
        break;
    }
    case ProgId:
        if (LPOLESTR progId = nullptr; classOf(object, info, isClass, clsid) && SUCCEEDED(ProgIDFromCLSID(clsid, &progId))) {
            out = WString(progId);
            CoTaskMemFree(progId);
        }
        break;
    case TypeLibraryFile: out = typeLibraryFile(info); break;
    case ModuleFile:
        if (classOf(object, info, isClass, clsid)) out = registeredServer(clsid);
        break;
    case ClassId:
        if (classOf(object, info, isClass, clsid)) out = guidText(clsid);
        break;
    case InterfaceId: {
        // The interface the object is used through: its IDispatch's.
        ITypeInfo* own = isClass ? interfaceInfoOf(object) : info;
        GUID iid{};
        if (typeGuid(own, iid)) out = guidText(iid);
        if (own && own != info) own->Release();
        break;
    }
    default: break;
    }
    if (info) info->Release();
    return out;
}

} // namespace

int builtinObjName(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    IUnknown* object = objectInterface(args[0].dereferenced());
    result = Variant::string(WString());
    if (!object) return context.fail(1);
    result = Variant::string(nameOf(object, optInt(args, 1, TypeName)));
    return 0;
}

} // namespace vexil
