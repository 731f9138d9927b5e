// Whitespace and line ends: STRINGSTRIPWS, STRINGSTRIPCR and STRINGADDCR.
#include "engine/builtins/builtin_api.h"
#include "library/text_classes.h"

#include <algorithm>

namespace vexil {

namespace {

// The units of `text` that `keep` accepts, in one buffer of the text's size.
template <typename Keep> Variant filtered(std::wstring_view text, Keep keep) {
    WString out;
    if (text.empty()) return Variant::string(std::move(out));
    wchar_t* write = out.resize(text.size());
    size_t n = 0;
    for (wchar_t c : text)
        if (keep(c)) write[n++] = c;
    out.resize(n);
    return Variant::string(std::move(out));
}

} // namespace

int builtinStringStripWS(BuiltinContext&, BuiltinArgs args, Variant& result) {
    const int32_t flag = args[1].toInt32();
    std::wstring_view text = args[0].text();
    if (flag == 8) {
        result = filtered(text, [](wchar_t c) { return !isBlankUnit(c); });
        return 0;
    }
    size_t begin = 0, end = text.size();
    if (flag & 1)
        while (begin < end && isBlankUnit(text[begin])) ++begin;
    if (flag & 2)
        while (end > begin && isBlankUnit(text[end - 1])) --end;
    text = text.substr(begin, end - begin);
    if (flag & 4) {
        bool afterBlank = false; // each run of whitespace keeps its first unit
        result = filtered(text, [&afterBlank](wchar_t c) {
            bool keep = !(afterBlank && isBlankUnit(c));
            afterBlank = isBlankUnit(c);
            return keep;
        });
    } else {
        result = Variant::string(WString(text));
    }
    return 0;
}

int builtinStringStripCR(BuiltinContext&, BuiltinArgs args, Variant& result) {
    result = filtered(args[0].text(), [](wchar_t c) { return c != L'\r'; });
    return 0;
}

int builtinStringAddCR(BuiltinContext&, BuiltinArgs args, Variant& result) {
    std::wstring_view text = args[0].text();
    size_t lineFeeds = static_cast<size_t>(std::count(text.begin(), text.end(), L'\n'));
    if (lineFeeds == 0) {
        result = Variant::string(args[0].text());
        return 0;
    }
    WString out;
    wchar_t* write = out.resize(text.size() + lineFeeds);
    for (wchar_t c : text) {
        if (c == L'\n') *write++ = L'\r';
        *write++ = c;
    }
    result = Variant::string(std::move(out));
    return 0;
}

} // namespace vexil
