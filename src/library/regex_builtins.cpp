// The regular-expression built-ins: STRINGREGEXP in its five result shapes and STRINGREGEXPREPLACE.
#include "base/regex.h"
#include "engine/builtins/builtin_api.h"
#include "engine/values/containers.h"

#include <vector>

namespace vexil {

namespace {

// @ERROR values a script sees.
constexpr int32_t kNoMatch = 1;
constexpr int32_t kBadPattern = 2;
constexpr int32_t kMatchFailed = 3; // a backtracking, memory or result-size limit stopped matching

Variant sizedInteger(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX ? Variant::int32(static_cast<int32_t>(v)) : Variant::int64(v); }

Variant textOf(std::wstring_view text) { return Variant::string(WString(text)); }

// A 1-based position in the subject, as @EXTENDED gives it.
Variant positionOf(size_t offset) { return sizedInteger(static_cast<int64_t>(offset) + 1); }

// Group 0 when `first` is 0; from group 1, the whole match standing in for a match without groups.
void appendGroups(const Regex& regex, int groups, int first, std::vector<Variant>& out) {
    if (first == 1 && groups == 1) first = 0;
    if (out.empty()) out.reserve(static_cast<size_t>(groups - first)); // later matches grow it geometrically
    for (int i = first; i < groups; ++i) out.push_back(textOf(regex.group(i)));
}

// Flags 3 and 4: every match, advancing over empty ones. False when matching failed.
bool collectAll(Regex& regex, size_t offset, bool nested, std::vector<Variant>& out, size_t& failedAt) {
    int groups;
    while ((groups = regex.nextMatch(offset, true)) > 0) {
        if (out.size() >= static_cast<size_t>(kMaxElements)) {
            failedAt = regex.matchStart();
            return false;
        }
        if (nested) {
            std::vector<Variant> match;
            appendGroups(regex, groups, 0, match);
            out.push_back(arrayOf(std::move(match)));
        } else {
            appendGroups(regex, groups, 1, out);
        }
    }
    failedAt = regex.failureOffset();
    return !regex.failed();
}

// Flags 0 to 2: the first match, as 1 (or 0), its groups, or the match and its groups. False when
// matching failed.
bool firstMatch(BuiltinContext& context, Regex& regex, int64_t flag, size_t offset, Variant& result, size_t& failedAt) {
    int groups = regex.nextMatch(offset, false);
    if (groups > 0 && flag == 0) {
        result = Variant::int32(1);
    } else if (groups > 0) {
        std::vector<Variant> items;
        appendGroups(regex, groups, flag == 1 ? 1 : 0, items);
        result = arrayOf(std::move(items));
        context.setExtended(positionOf(offset));
    } else {
        if (flag <= 1) result = Variant::int32(0);
        if (flag >= 1) context.setError(kNoMatch);
        failedAt = regex.failureOffset();
        return !regex.failed();
    }
    return true;
}

// Flags 3 and 4: the groups of every match, in one array or an array a match.
bool allMatches(BuiltinContext& context, Regex& regex, bool nested, size_t offset, Variant& result, size_t& failedAt) {
    std::vector<Variant> items;
    if (!collectAll(regex, offset, nested, items, failedAt)) return false;
    if (items.empty()) context.setError(kNoMatch);
    else result = arrayOf(std::move(items));
    return true;
}

} // namespace

int builtinStringRegExp(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    int64_t flag = optInt64(args, 2, 0);
    if (flag < 0 || flag > 4) flag = 0;
    int64_t start = optInt64(args, 3, 1);
    size_t offset = start < 1 ? 0 : static_cast<size_t>(start - 1);

    Regex regex;
    size_t errorOffset = 0;
    if (!regex.compile(textArg(args, 1).view(), errorOffset)) {
        context.setExtended(positionOf(errorOffset));
        return context.fail(result, Variant::int32(0), kBadPattern);
    }
    regex.setSubject(textArg(args, 0));
    size_t failedAt = 0;
    bool completed = flag <= 2 ? firstMatch(context, regex, flag, offset, result, failedAt)
                               : allMatches(context, regex, flag == 4, offset, result, failedAt);
    if (completed) return 0;
    context.setExtended(positionOf(failedAt));
    return context.fail(kMatchFailed); // the result keeps its no-match shape
}

int builtinStringRegExpReplace(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const WString& subject = textArg(args, 0);
    result = Variant::string(subject);

    Regex regex;
    size_t errorOffset = 0;
    if (!regex.compile(textArg(args, 1).view(), errorOffset)) {
        context.setExtended(positionOf(errorOffset));
        return context.fail(kBadPattern);
    }
    if (subject.empty()) {
        context.setExtended(Variant::int32(0));
        return 0;
    }
    regex.setSubject(subject);
    int64_t limit = optInt64(args, 3, 0);
    WString replaced;
    int64_t count = regex.replace(textArg(args, 2).view(), limit, replaced);
    if (regex.failed()) {
        context.setExtended(positionOf(regex.failureOffset()));
        return context.fail(kMatchFailed);
    }
    if (count > 0) result = Variant::string(std::move(replaced));
    context.setExtended(sizedInteger(count));
    return 0;
}

} // namespace vexil
