#include "automation/window_descriptor.h"
#include "automation/descriptor_syntax.h"
#include "automation/window_text_case.h"
#include "base/hex_digits.h"

#include <cwctype>

namespace vexil {

namespace {

bool startsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::towupper(text[i]) != std::towupper(prefix[i])) return false;
    return true;
}

bool equalsNoCase(std::wstring_view a, std::wstring_view b) { return a.size() == b.size() && startsWithNoCase(a, b); }

// "[KEY:" + rest + "]", every ";" of the rest doubled so that it stays a literal.
std::wstring bracketed(std::wstring_view key, std::wstring_view rest) {
    std::wstring out = L"[";
    out.append(key).push_back(L':');
    for (wchar_t c : rest) {
        out.push_back(c);
        if (c == L';') out.push_back(L';');
    }
    out.push_back(L']');
    return out;
}

bool compileInto(std::unique_ptr<Regex>& regex, std::wstring_view pattern) {
    regex = std::make_unique<Regex>();
    size_t errorOffset = 0;
    return regex->compile(pattern, errorOffset);
}

// The keys that set a criterion, with their bits.
struct CriterionKey {
    const wchar_t* key;
    uint32_t bit;
};
constexpr CriterionKey kNumberKeys[] = {
    {L"X", kCriterionX}, {L"Y", kCriterionY}, {L"W", kCriterionW}, {L"H", kCriterionH}, {L"INSTANCE", kCriterionInstance},
};

int32_t* numberField(WindowQuery& query, uint32_t bit) {
    switch (bit) {
    case kCriterionX: return &query.x;
    case kCriterionY: return &query.y;
    case kCriterionW: return &query.w;
    case kCriterionH: return &query.h;
    default: return &query.instance;
    }
}

// Reads the descriptor's properties into the query. False when the query is complete: a direct
// target, or an error.
bool readDescriptor(std::wstring_view title, WindowQuery& query) {
    DescriptorReader reader(title);
    DescriptorProperty property;
    const auto fail = [&](DescriptorError error) {
        query.error = error;
        return false;
    };
    while (reader.next(property)) {
        const std::wstring& key = property.key;
        const std::wstring& value = property.value;
        if (key == L"TITLE") {
            if (query.criteria & kCriterionRegexpTitle) return fail(DescriptorError::TitleAfterRegexp);
            query.criteria |= kCriterionTitle;
            query.title = value;
        } else if (key == L"REGEXPTITLE") {
            if (query.criteria & kCriterionTitle) return fail(DescriptorError::RegexpAfterTitle);
            query.criteria |= kCriterionRegexpTitle;
            if (!compileInto(query.titleRegex, value)) return fail(DescriptorError::BadPattern);
        } else if (key == L"CLASS") {
            query.criteria |= kCriterionClass;
            query.className = value;
        } else if (key == L"REGEXPCLASS") {
            query.criteria |= kCriterionRegexpClass;
            if (!compileInto(query.classRegex, value)) return fail(DescriptorError::BadPattern);
        } else if (key == L"ALL") {
            if (!value.empty()) return fail(DescriptorError::Malformed);
            query.criteria |= kCriterionAll;
        } else if (key == L"LAST" || key == L"ACTIVE") {
            if (!value.empty()) return fail(DescriptorError::Malformed);
            query.target = key == L"LAST" ? WindowTarget::Last : WindowTarget::Foreground;
            return false;
        } else if (key == L"HANDLE") {
            query.target = WindowTarget::Handle;
            query.handle = descriptorHandle(value);
            return false;
        } else {
            const CriterionKey* number = nullptr;
            for (const CriterionKey& candidate : kNumberKeys)
                if (key == candidate.key) number = &candidate;
            if (!number) return fail(DescriptorError::Malformed);
            query.criteria |= number->bit;
            *numberField(query, number->bit) = descriptorNumber(value);
        }
    }
    return true;
}

} // namespace

std::wstring legacyDescriptor(std::wstring_view title) {
    if (title.empty() || equalsNoCase(title, L"LAST")) return L"[LAST]";
    if (equalsNoCase(title, L"ACTIVE")) return L"[ACTIVE]";
    if (equalsNoCase(title, L"ALL")) return L"[ALL]";
    static constexpr struct {
        std::wstring_view prefix;
        std::wstring_view key;
    } kPrefixes[] = {{L"HANDLE=", L"HANDLE"}, {L"REGEXP=", L"REGEXPTITLE"}, {L"CLASSNAME=", L"CLASS"}};
    for (const auto& rule : kPrefixes)
        if (startsWithNoCase(title, rule.prefix)) return bracketed(rule.key, title.substr(rule.prefix.size()));
    return std::wstring(title);
}

uint64_t descriptorHandle(std::wstring_view value) {
    if (value.size() == 18 && value[0] == L'0' && (value[1] == L'x' || value[1] == L'X')) value.remove_prefix(2);
    else if (value.empty() || value.size() > 16) return 0;
    uint64_t handle = 0;
    for (wchar_t c : value) {
        const int digit = hexDigitValue(c);
        if (digit < 0) return 0;
        handle = handle << 4 | static_cast<uint64_t>(digit);
    }
    return handle;
}

void buildWindowQuery(std::wstring_view title, std::wstring_view text, int32_t matchModeOption, WindowQuery& query) {
    query.caseSensitive = matchModeOption >= 0;
    int32_t mode = matchModeOption < 0 ? -matchModeOption : matchModeOption;
    std::wstring rewritten;
    if (mode == 4) {
        rewritten = legacyDescriptor(title);
        title = rewritten;
        mode = 1;
    }
    query.titleMode = mode >= 1 && mode <= 3 ? mode : 1;
    if (title.empty() && text.empty()) {
        query.target = WindowTarget::Foreground;
        return;
    }
    query.title = title;
    if (isBracketed(title) && !readDescriptor(title, query)) return;
    if (query.criteria == 0) query.criteria = kCriterionTitle;
    query.criteria |= kCriterionText;
    query.text = text;
    if (!query.caseSensitive) {
        upperCaseInPlace(query.text);
        if (query.criteria & kCriterionTitle) upperCaseInPlace(query.title);
    }
}

} // namespace vexil
