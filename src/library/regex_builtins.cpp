// The regular-expression built-ins: STRINGREGEXP in its five result shapes and STRINGREGEXPREPLACE.
#include "engine/builtins.h"
#include "engine/containers.h"
#include "engine/engine.h"
#include "library/regex.h"

#include <vector>

namespace vexil {

namespace {

// @ERROR values a script sees.
constexpr int32_t kNoMatch = 1;
constexpr int32_t kBadPattern = 2;
constexpr int32_t kMatchFailed = 3; // a backtracking, memory or result-size limit stopped matching

Variant sizedInteger(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX ? Variant::int32(static_cast<int32_t>(v)) : Variant::int64(v); }

Variant textOf(std::wstring_view text) { return Variant::string(WString(text)); }

void fail(Engine& engine, int32_t error, size_t offset) {
    engine.status().setError(error);
    engine.status().setExtended(sizedInteger(static_cast<int64_t>(offset) + 1));
}

// Group 0 when `first` is 0; from group 1, the whole match standing in for a match without groups.
void appendGroups(const Regex& regex, int groups, int first, std::vector<Variant>& out) {
    if (first == 1 && groups == 1) first = 0;
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

} // namespace

int builtinStringRegExp(Engine& engine, BuiltinArgs args, Variant& result) {
    int64_t flag = args.size() > 2 ? args[2].toInt64() : 0;
    if (flag < 0 || flag > 4) flag = 0;
    int64_t start = args.size() > 3 ? args[3].toInt64() : 1;
    size_t offset = start < 1 ? 0 : static_cast<size_t>(start - 1);

    Regex regex;
    size_t errorOffset = 0;
    if (!regex.compile(args[1].text().view(), errorOffset)) {
        result = Variant::int32(0);
        fail(engine, kBadPattern, errorOffset);
        return 0;
    }
    regex.setSubject(args[0].text());

    size_t failedAt = 0;
    bool completed = true;
    if (flag <= 2) {
        int groups = regex.nextMatch(offset, false);
        if (groups > 0 && flag == 0) {
            result = Variant::int32(1);
        } else if (groups > 0) {
            std::vector<Variant> items;
            appendGroups(regex, groups, flag == 1 ? 1 : 0, items);
            result = arrayOf(std::move(items));
            engine.status().setExtended(sizedInteger(static_cast<int64_t>(offset) + 1));
        } else {
            if (flag <= 1) result = Variant::int32(0);
            if (flag >= 1) engine.status().setError(kNoMatch);
            completed = !regex.failed();
            failedAt = regex.failureOffset();
        }
    } else {
        std::vector<Variant> items;
        completed = collectAll(regex, offset, flag == 4, items, failedAt);
        if (completed && !items.empty())
            result = arrayOf(std::move(items));
        else if (completed)
            engine.status().setError(kNoMatch);
    }
    if (!completed) fail(engine, kMatchFailed, failedAt); // the result keeps its no-match shape
    return 0;
}

int builtinStringRegExpReplace(Engine& engine, BuiltinArgs args, Variant& result) {
    const WString& subject = args[0].text();
    result = Variant::string(subject);

    Regex regex;
    size_t errorOffset = 0;
    if (!regex.compile(args[1].text().view(), errorOffset)) {
        fail(engine, kBadPattern, errorOffset);
        return 0;
    }
    if (subject.empty()) {
        engine.status().setExtended(Variant::int32(0));
        return 0;
    }
    regex.setSubject(subject);
    int64_t limit = args.size() > 3 ? args[3].toInt64() : 0;
    WString replaced;
    int64_t count = regex.replace(args[2].text().view(), limit, replaced);
    if (regex.failed()) {
        fail(engine, kMatchFailed, regex.failureOffset());
        return 0;
    }
    if (count > 0) result = Variant::string(std::move(replaced));
    engine.status().setExtended(sizedInteger(count));
    return 0;
}

} // namespace vexil
