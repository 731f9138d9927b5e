#pragma once
// The window search over the desktop: a built-in's title and text arguments, under the run's
// options, select windows in the system's enumeration order (top of the Z order first). The
// search state lives for the run: the last found window is what [LAST] names, and the found
// list of the latest search is what WINLIST and WINACTIVE read.
#include "engine/builtins/builtin_api.h"

#include <windows.h>

#include <string_view>
#include <vector>

namespace vexil {

struct RuntimeOptions;

class WindowSearch final : public RunResource {
public:
    static constexpr RunResourceKind kKind = RunResourceKind::WindowSearch;

    // Windows found (1 at most with `firstOnly`), 0 for none, or a descriptor error as a negative
    // number (-1 to -4). `title` may also be a window handle (a pointer value).
    int run(const Variant& title, std::wstring_view text, bool firstOnly, const RuntimeOptions& options);

    HWND lastFound() const { return lastFound_; }
    // The result of the latest search.
    int lastResult() const { return lastResult_; }
    const std::vector<HWND>& found() const { return found_; }

private:
    int single(HWND window);
    int search(std::wstring_view title, std::wstring_view text, bool firstOnly, const RuntimeOptions& options);

    HWND lastFound_ = nullptr;
    int lastResult_ = 0;
    std::vector<HWND> found_;
};

// A built-in's window: the first match of its title and text arguments (arguments 0 and 1), or
// nullptr; a malformed descriptor also sets @ERROR.
HWND findWindow(BuiltinContext& context, BuiltinArgs args);

// The window of a built-in that acts on it; nullptr when not found (result 0) or when the run is
// fenced (result 0 and @ERROR 1).
HWND windowToChange(BuiltinContext& context, BuiltinArgs args, Variant& result);

// Every match, for the built-ins that look at all of them; `count` is the search's result.
const std::vector<HWND>& findAllWindows(BuiltinContext& context, BuiltinArgs args, int& count);

// A built-in's "not found": the result `value` and @ERROR 1, or the descriptor error of the
// search that found nothing.
int windowNotFound(BuiltinContext& context, Variant& result, Variant value);

// The search's result as a built-in reports it: a descriptor error goes to @ERROR.
void reportSearchError(BuiltinContext& context, int searchResult);

} // namespace vexil
