// FILECREATENTFSLINK: a second name of a file on the same volume. An existing name is replaced only
// with the overwrite flag, and only once the new link stands (made beside it, then renamed over).
#include "engine/builtins/builtin_api.h"
#include "library/file_failure.h"
#include "library/file_names.h"
#include "library/file_transfer.h"

#include <windows.h>

namespace vexil {

int builtinFileCreateNTFSLink(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const std::wstring source = fullPathOf(textArg(args, 0).view()), link = fullPathOf(textArg(args, 1).view());
    const bool overwrite = optInt(args, 2, 0) != 0;
    result = Variant::int32(0);
    if (source.empty() || link.empty()) return failWithSystemError(context, result, Variant::int32(0), ERROR_INVALID_NAME);
    const uint32_t attributes = attributesOf(source);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return failWithSystemError(context, result, Variant::int32(0), ERROR_FILE_NOT_FOUND);
    // A fenced run links only its own files: a link is a way to change the file it names.
    if (samePathName(source, link) || !mayChange(context, link) || !mayChange(context, source))
        return failWithSystemError(context, result, Variant::int32(0), ERROR_ACCESS_DENIED);
    auto makeLink = [&](const std::wstring& name) -> uint32_t {
        return CreateHardLinkW(systemPath(name).c_str(), systemPath(source).c_str(), nullptr) ? 0 : GetLastError();
    };
    uint32_t error = 0;
    if (!pathExists(link)) error = makeLink(link);
    else if (!overwrite || isFolder(link)) error = ERROR_ALREADY_EXISTS;
    else error = makeThenReplace(link, makeLink);
    if (error) return failWithSystemError(context, result, Variant::int32(0), error);
    result = Variant::int32(1);
    return 0;
}

} // namespace vexil
