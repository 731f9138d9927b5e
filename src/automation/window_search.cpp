#include "automation/window_search.h"
#include "automation/platform_window_facts.h"
#include "automation/window_descriptor.h"
#include "automation/window_matcher.h"
#include "engine/options.h"

namespace vexil {

namespace {

// One enumeration: each window is tested in turn, the matches collected.
struct Enumeration {
    WindowMatcher& matcher;
    PlatformWindowFacts& facts;
    std::vector<HWND>& found;
    bool firstOnly;

    bool visit(HWND window) {
        facts.reset(window);
        if (!matcher.matches(facts)) return true;
        found.push_back(window);
        return !firstOnly;
    }
    static BOOL CALLBACK callback(HWND window, LPARAM state) {
        return reinterpret_cast<Enumeration*>(state)->visit(window) ? TRUE : FALSE;
    }
};

} // namespace

int WindowSearch::single(HWND window) {
    if (!window || !IsWindow(window)) return 0;
    found_.push_back(window);
    lastFound_ = window;
    return 1;
}

int WindowSearch::search(std::wstring_view title, std::wstring_view text, bool firstOnly, const RuntimeOptions& options) {
    WindowQuery query;
    buildWindowQuery(title, text, options.winTitleMatchMode, query);
    if (query.error != DescriptorError::None) return -static_cast<int>(query.error);
    switch (query.target) {
    case WindowTarget::Foreground: return single(GetForegroundWindow());
    case WindowTarget::Last: return single(lastFound_);
    case WindowTarget::Handle: return single(reinterpret_cast<HWND>(static_cast<uintptr_t>(query.handle)));
    case WindowTarget::Criteria: break;
    }
    WindowMatcher matcher(query, options.winDetectHiddenText != 0);
    PlatformWindowFacts facts;
    Enumeration enumeration{matcher, facts, found_, firstOnly};
    const LPARAM state = reinterpret_cast<LPARAM>(&enumeration);
    if (options.winSearchChildren) EnumChildWindows(GetDesktopWindow(), Enumeration::callback, state);
    else EnumWindows(Enumeration::callback, state);
    if (!found_.empty()) lastFound_ = found_.front();
    return static_cast<int>(found_.size());
}

int WindowSearch::run(const Variant& title, std::wstring_view text, bool firstOnly, const RuntimeOptions& options) {
    found_.clear();
    if (title.is(VarKind::Ptr)) lastResult_ = single(reinterpret_cast<HWND>(static_cast<uintptr_t>(title.toPointer())));
    else if (!title.is(VarKind::String)) lastResult_ = 0;
    else lastResult_ = search(title.text().view(), text, firstOnly, options);
    return lastResult_;
}

int windowNotFound(BuiltinContext& context, Variant& result, Variant value) {
    const int searched = context.runResource<WindowSearch>().lastResult();
    return context.fail(result, std::move(value), searched < 0 ? -searched : 1);
}

void reportSearchError(BuiltinContext& context, int searchResult) {
    if (searchResult < 0) context.setError(-searchResult);
}

namespace {

int runSearch(BuiltinContext& context, BuiltinArgs args, bool firstOnly) {
    WindowSearch& search = context.runResource<WindowSearch>();
    static const Variant kNoTitle;
    const Variant& title = args.empty() ? kNoTitle : args[0].dereferenced();
    const std::wstring_view text = given(args, 1) ? textArg(args, 1).view() : std::wstring_view();
    const int count = search.run(title, text, firstOnly, context.options());
    reportSearchError(context, count);
    return count;
}

} // namespace

HWND findWindow(BuiltinContext& context, BuiltinArgs args) {
    return runSearch(context, args, true) > 0 ? context.runResource<WindowSearch>().lastFound() : nullptr;
}

HWND windowToChange(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const HWND window = findWindow(context, args);
    if (!window) {
        result = Variant::int32(0);
        return nullptr;
    }
    if (context.fenced()) {
        context.fail(result, Variant::int32(0));
        return nullptr;
    }
    return window;
}

const std::vector<HWND>& findAllWindows(BuiltinContext& context, BuiltinArgs args, int& count) {
    count = runSearch(context, args, false);
    return context.runResource<WindowSearch>().found();
}

} // namespace vexil
