// STRINGSPLIT: a text cut at any of a set of delimiter characters, or at one delimiter text.
#include "base/text_search.h"
#include "engine/builtins/builtin_api.h"
#include "engine/errors/messages.h"
#include "engine/values/containers.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vexil {

namespace {

// Membership of a unit in the delimiter set: a direct look for a few units, a bit set for many.
class UnitSet {
public:
    explicit UnitSet(std::wstring_view units) : units_(units) {
        if (units.size() <= 8) return;
        bits_.resize(65536 / 64);
        for (wchar_t c : units) bits_[c >> 6] |= uint64_t{1} << (c & 63);
    }
    bool contains(wchar_t c) const {
        if (bits_.empty()) return units_.find(c) != std::wstring_view::npos;
        return (bits_[c >> 6] >> (c & 63)) & 1;
    }

private:
    std::wstring_view units_;
    std::vector<uint64_t> bits_;
};

class Pieces {
public:
    explicit Pieces(bool withCount) : withCount_(withCount) {
        if (withCount) items_.emplace_back(); // the count, set at the end
    }
    // Whether `more` pieces still fit the largest array.
    bool room(size_t more) const { return items_.size() + more <= static_cast<size_t>(kMaxElements); }
    void expect(size_t more) { items_.reserve(items_.size() + std::min(more, static_cast<size_t>(kMaxElements))); }
    bool add(std::wstring_view piece) {
        if (!room(1)) return false;
        items_.push_back(Variant::string(WString(piece)));
        return true;
    }
    int64_t count() const { return static_cast<int64_t>(items_.size()) - (withCount_ ? 1 : 0); }
    Variant finish() {
        if (withCount_) items_[0] = Variant::int32(static_cast<int32_t>(count()));
        return arrayOf(std::move(items_));
    }

private:
    bool withCount_;
    std::vector<Variant> items_;
};

bool splitByUnits(std::wstring_view text, std::wstring_view delimiters, Pieces& pieces) {
    UnitSet set(delimiters);
    // Counted first, so that the array is sized once rather than grown piece by piece.
    pieces.expect(1 + static_cast<size_t>(std::count_if(text.begin(), text.end(), [&set](wchar_t c) { return set.contains(c); })));
    size_t begin = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!set.contains(text[i])) continue;
        if (!pieces.add(text.substr(begin, i - begin))) return false;
        begin = i + 1;
    }
    return pieces.add(text.substr(begin));
}

bool splitByText(std::wstring_view text, std::wstring_view delimiter, Pieces& pieces) {
    TextFinder finder(text, delimiter, CompareMode::Ordinal);
    size_t begin = 0;
    for (size_t at; (at = finder.first(begin, text.size())) != TextFinder::npos; begin = at + delimiter.size())
        if (!pieces.add(text.substr(begin, at - begin))) return false;
    return pieces.add(text.substr(begin));
}

bool splitEveryUnit(std::wstring_view text, Pieces& pieces) {
    if (!pieces.room(text.size())) return false;
    pieces.expect(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!pieces.add(text.substr(i, 1))) return false;
    return true;
}

} // namespace

int builtinStringSplit(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const int32_t flag = passedInt(args, 2, 0);
    const bool withCount = (flag & 2) == 0;
    const int32_t mode = withCount ? flag : flag & 1;
    std::wstring_view text = args[0].text(), delimiters = args[1].text();
    Pieces pieces(withCount);
    bool fits = true;
    int32_t error = 0;
    if (delimiters.empty()) {
        fits = splitEveryUnit(text, pieces);
    } else if (mode == 0 || mode == 1) {
        fits = mode == 0 ? splitByUnits(text, delimiters, pieces) : splitByText(text, delimiters, pieces);
        if (pieces.count() == 1) error = 1; // no delimiter in the text
    } else {
        pieces.add(text);
        error = 2;
    }
    if (!fits) return context.fatal(MessageId::ArrayTooLarge);
    context.setError(error);
    result = pieces.finish();
    return 0;
}

} // namespace vexil
