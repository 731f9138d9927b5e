// Searching and comparing: STRINGINSTR, STRINGREPLACE and STRINGCOMPARE.
#include "base/text_search.h"
#include "engine/builtins/builtin_api.h"

#include <cstring>

namespace vexil {

namespace {

CompareMode modeArgument(BuiltinArgs args, size_t index) { return compareModeOf(optInt(args, index, 0)); }

// The replacement written over the text from a 1-based position; the length stays.
int overwriteAt(BuiltinContext& context, const WString& text, int32_t position, const WString& replacement,
                Variant& result) {
    const auto length = static_cast<int64_t>(text.size());
    const auto count = static_cast<int64_t>(replacement.size());
    if (position < 1 || length < count + position - 1) return context.fail(result, Variant::string({}));
    WString out = text;
    if (count > 0) std::memcpy(out.resize(text.size()) + position - 1, replacement.c_str(), replacement.size() * sizeof(wchar_t));
    result = Variant::string(std::move(out));
    return 0;
}

} // namespace

int builtinStringInStr(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const bool hasStart = passed(args, 4), hasCount = passed(args, 5);
    const int64_t occurrence = passedInt(args, 3, 1);
    const int64_t start = static_cast<int64_t>(passedInt(args, 4, 0)) - 1;
    const int64_t count = passedInt(args, 5, -1);
    if ((hasCount && count <= 0) || (hasStart && start < 0) || occurrence == 0)
        return context.fail(result, Variant::int32(0));
    TextFinder finder(args[0].text(), args[1].text(), modeArgument(args, 2));
    size_t at = findOccurrence(finder, occurrence, start, count);
    result = Variant::int32(at == TextFinder::npos ? 0 : static_cast<int32_t>(at + 1));
    return 0;
}

int builtinStringReplace(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const WString& text = args[0].text();
    const WString& replacement = args[2].text();
    if (args[1].isNumber()) return overwriteAt(context, text, args[1].toInt32(), replacement, result);
    const WString& search = args[1].text();
    if (search.empty()) return context.fail(result, Variant::string({}));
    const int64_t occurrence = passedInt(args, 3, 0);
    TextFinder finder(text, search, modeArgument(args, 4));

    // The last n matches: start at the n-th from the right (or at the beginning when there are fewer).
    size_t position = 0;
    if (occurrence < 0) {
        size_t at = findOccurrence(finder, occurrence);
        if (at != TextFinder::npos) position = at;
    }
    const int64_t wanted = occurrence == 0 ? INT64_MAX : (occurrence < 0 ? -occurrence : occurrence);
    std::wstring_view source = text.view();
    WString out;
    size_t copied = 0;
    int64_t done = 0;
    for (; done < wanted; ++done) {
        size_t match = finder.first(position, source.size());
        if (match == TextFinder::npos) break;
        if (done == 0) out.reserve(source.size());
        out.append(source.substr(copied, match - copied));
        out.append(replacement.view());
        copied = position = match + search.size();
    }
    if (done == 0) {
        result = Variant::string(text);
    } else {
        out.append(source.substr(copied));
        result = Variant::string(std::move(out));
    }
    context.setExtended(Variant::int32(static_cast<int32_t>(done)));
    return 0;
}

int builtinStringCompare(BuiltinContext&, BuiltinArgs args, Variant& result) {
    result = Variant::int32(compareText(args[0].text(), args[1].text(), modeArgument(args, 2)));
    return 0;
}

} // namespace vexil
