// The recycle bin: sending files to it and emptying it. Both act beyond the run's own files (the
// bin is the user's), so a fenced run refuses them.
#include "engine/builtins/builtin_api.h"
#include "library/file_names.h"

#include <windows.h>

#include <shellapi.h>

namespace vexil {

int builtinFileRecycle(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring path = fullPathOf(textArg(args, 0).view());
    result = Variant::int32(0);
    if (path.empty() || context.fenced()) return 0;
    std::wstring from = path;
    from.push_back(L'\0'); // the list of names ends with an empty one
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO;
    context.ensureOle();
    const bool ok = SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
    result = Variant::int32(ok ? 1 : 0);
    return 0;
}

int builtinFileRecycleEmpty(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring drive = given(args, 0) ? std::wstring(textArg(args, 0).view()) : std::wstring();
    result = Variant::int32(0);
    if (drive.find(L'\0') != std::wstring::npos || context.fenced()) return 0;
    context.ensureOle();
    HRESULT hr = SHEmptyRecycleBinW(nullptr, drive.empty() ? nullptr : drive.c_str(),
                                    SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
    result = Variant::int32(SUCCEEDED(hr) ? 1 : 0);
    return 0;
}

} // namespace vexil
