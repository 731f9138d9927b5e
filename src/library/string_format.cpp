// STRINGFORMAT. Conversions are formatted here instead of by the C runtime: a directive can
// then only consume values the script passed ("*" included), and reads each value the way it
// was given, whatever size letter the directive carries.
#include "base/real_text.h"
#include "engine/builtins/builtin_api.h"

#include <algorithm>
#include <cmath>

namespace vexil {

namespace {

// What one conversion may produce, in UTF-16 units.
constexpr size_t kConversionLimit = 65535;
// Widths and precisions beyond this change nothing within the conversion limit.
constexpr int64_t kFieldLimit = 200000;

struct Directive {
    bool left = false;
    bool plus = false;
    bool space = false;
    bool zero = false;
    bool alternate = false;
    bool widthFromValue = false;
    bool precisionFromValue = false;
    int64_t width = 0;
    int64_t precision = -1; // none
    wchar_t size = 0;
    wchar_t conversion = 0;
};

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

int64_t readNumber(std::wstring_view text, size_t& i) {
    int64_t n = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) n = std::min(n * 10 + (text[i] - L'0'), kFieldLimit);
    return n;
}

// Reads the directive that starts at the "%" at text[0]: one optional flag out of "-+ 0#",
// a width of digits or "*", a precision of "." and digits or "*", one size letter out of "hlL"
// and one conversion letter. Returns its length, or 0 when the text is no directive.
size_t scanDirective(std::wstring_view text, Directive& directive) {
    size_t i = 1;
    if (i < text.size()) {
        switch (text[i]) {
        case L'-': directive.left = true; ++i; break;
        case L'+': directive.plus = true; ++i; break;
        case L' ': directive.space = true; ++i; break;
        case L'#': directive.alternate = true; ++i; break;
        default: break;
        }
    }
    // Leading zeros of the width are the zero flag to the C conventions the format follows.
    size_t flagsEnd = i;
    for (; i < text.size() && text[i] == L'0'; ++i) directive.zero = true;
    if (i < text.size() && text[i] == L'*') {
        if (i - flagsEnd > (flagsEnd == 1 ? 1u : 0u)) return 0; // only a lone flag "0" may precede "*"
        directive.widthFromValue = true;
        ++i;
    } else {
        directive.width = readNumber(text, i);
    }
    if (i < text.size() && text[i] == L'.') {
        ++i;
        if (i < text.size() && text[i] == L'*') {
            directive.precisionFromValue = true;
            ++i;
        } else {
            directive.precision = readNumber(text, i);
        }
    }
    if (i < text.size() && (text[i] == L'h' || text[i] == L'l' || text[i] == L'L')) directive.size = text[i++];
    if (i >= text.size() || std::wstring_view(L"diouxXeEfgGs").find(text[i]) == std::wstring_view::npos) return 0;
    directive.conversion = text[i];
    return i + 1;
}

// Writes one conversion's pieces into the result, cut to the conversion limit.
class Field {
public:
    explicit Field(WString& out) : out_(out) {}
    void put(std::wstring_view text) {
        size_t n = std::min(text.size(), left_);
        out_.append(text.substr(0, n));
        left_ -= n;
    }
    void put(std::string_view ascii) {
        size_t n = std::min(ascii.size(), left_);
        size_t start = out_.size();
        wchar_t* p = out_.resize(start + n);
        std::copy(ascii.begin(), ascii.begin() + static_cast<ptrdiff_t>(n), p + start);
        left_ -= n;
    }
    void put(const RealText& text) {
        put(text.headText());
        repeat(text.zeros, L'0');
        put(text.tailText());
    }
    void repeat(size_t count, wchar_t c) {
        size_t n = std::min(count, left_);
        size_t start = out_.size();
        wchar_t* p = out_.resize(start + n);
        std::fill(p + start, p + start + n, c);
        left_ -= n;
    }

private:
    WString& out_;
    size_t left_ = kConversionLimit;
};

// Lays out sign or prefix, leading zeros and body as a field of the directive's width.
template <class Body>
void appendField(WString& out, std::wstring_view prefix, size_t zeros, const Body& body, const Directive& directive,
                 bool zeroPad) {
    size_t used = prefix.size() + zeros + body.size();
    size_t pad = directive.width > static_cast<int64_t>(used) ? static_cast<size_t>(directive.width) - used : 0;
    Field field(out);
    if (!directive.left && !(zeroPad && directive.zero)) field.repeat(pad, L' ');
    field.put(prefix);
    if (!directive.left && zeroPad && directive.zero) field.repeat(pad, L'0');
    field.repeat(zeros, L'0');
    field.put(body);
    if (directive.left) field.repeat(pad, L' ');
}

std::wstring_view signOf(bool negative, const Directive& directive) {
    if (negative) return L"-";
    if (directive.plus) return L"+";
    if (directive.space) return L" ";
    return {};
}

void appendInteger(WString& out, const Directive& directive, int32_t value) {
    // The value travels as a 32-bit int; a short size letter narrows it as C would.
    auto bits = static_cast<uint32_t>(value);
    if (directive.size == L'h') bits &= 0xFFFF;
    bool isSigned = directive.conversion == L'd' || directive.conversion == L'i';
    int64_t signedValue = directive.size == L'h' ? static_cast<int16_t>(bits) : static_cast<int32_t>(bits);
    bool negative = isSigned && signedValue < 0;
    uint64_t magnitude = isSigned ? (negative ? 0 - static_cast<uint64_t>(signedValue) : static_cast<uint64_t>(signedValue)) : bits;

    unsigned base = 10;
    const wchar_t* digitSet = L"0123456789abcdef";
    if (directive.conversion == L'o') base = 8;
    if (directive.conversion == L'x' || directive.conversion == L'X') base = 16;
    if (directive.conversion == L'X') digitSet = L"0123456789ABCDEF";
    wchar_t buffer[24];
    size_t n = 0;
    for (uint64_t m = magnitude; m != 0; m /= base) buffer[n++] = digitSet[m % base];
    std::reverse(buffer, buffer + n);

    size_t precision = directive.precision < 0 ? 1 : static_cast<size_t>(directive.precision);
    size_t zeros = precision > n ? precision - n : 0;
    if (directive.alternate && directive.conversion == L'o' && zeros == 0 && (n == 0 || buffer[0] != L'0')) zeros = 1;

    std::wstring_view prefix;
    if (isSigned) prefix = signOf(negative, directive);
    if (directive.alternate && magnitude != 0 && directive.conversion == L'x') prefix = L"0x";
    if (directive.alternate && magnitude != 0 && directive.conversion == L'X') prefix = L"0X";
    appendField(out, prefix, zeros, std::wstring_view(buffer, n), directive, directive.precision < 0);
}

void appendReal(WString& out, const Directive& directive, double value) {
    bool negative = std::signbit(value);
    if (!std::isfinite(value)) {
        // The same words as the value's own text form; padding is never zeros.
        WString words = formatDouble(value);
        std::wstring_view body = words.view();
        if (!body.empty() && body[0] == L'-') body.remove_prefix(1);
        appendField(out, signOf(negative, directive), 0, body, directive, false);
        return;
    }
    RealText text;
    formatReal(text, value, static_cast<char>(directive.conversion), directive.precision < 0 ? 6 : directive.precision,
               directive.alternate);
    appendField(out, signOf(negative, directive), 0, text, directive, true);
}

void appendText(WString& out, const Directive& directive, const Variant& value) {
    std::wstring_view text = value.text().view();
    size_t length = std::min(text.size(), kConversionLimit);
    if (directive.precision >= 0) length = std::min(length, static_cast<size_t>(directive.precision));
    // Text pads with zeros too under the zero flag, as the Windows C runtime does.
    appendField(out, {}, 0, text.substr(0, length), directive, true);
}

// The next value, or nullptr once all have been used.
struct Values {
    BuiltinArgs args;
    size_t next = 1;
    const Variant* take() { return next < args.size() ? &args[next++] : nullptr; }
};

// Formats one directive; a directive short of values leaves no trace.
void appendConversion(WString& out, Directive directive, Values& values) {
    if (directive.widthFromValue) {
        const Variant* w = values.take();
        if (!w) return;
        int64_t width = w->toInt32();
        if (width < 0) {
            directive.left = true;
            width = -width;
        }
        directive.width = std::min(width, kFieldLimit);
    }
    if (directive.precisionFromValue) {
        const Variant* p = values.take();
        if (!p) return;
        int32_t precision = p->toInt32();
        directive.precision = precision < 0 ? -1 : std::min<int64_t>(precision, kFieldLimit);
    }
    const Variant* value = values.take();
    if (!value) return;
    switch (directive.conversion) {
    case L's': appendText(out, directive, *value); break;
    case L'e':
    case L'E':
    case L'f':
    case L'g':
    case L'G': appendReal(out, directive, value->toDouble()); break;
    default: appendInteger(out, directive, value->toInt32()); break;
    }
}

wchar_t escapedCharacter(wchar_t c) {
    switch (c) {
    case L'\\': return L'\\';
    case L'n': return L'\n';
    case L'r': return L'\r';
    case L't': return L'\t';
    default: return 0;
    }
}

} // namespace

int builtinStringFormat(BuiltinContext&, BuiltinArgs args, Variant& result) {
    std::wstring_view format = args[0].text().view();
    Values values{args};
    WString out;
    out.reserve(format.size() + 1);
    size_t literalStart = 0;
    size_t i = 0;
    while (i < format.size()) {
        wchar_t c = format[i];
        size_t length = 0;
        if (c == L'\\' && i + 1 < format.size() && escapedCharacter(format[i + 1]) != 0) {
            out.append(format.substr(literalStart, i - literalStart));
            out.append(escapedCharacter(format[i + 1]));
            length = 2;
        } else if (c == L'%' && i + 1 < format.size() && format[i + 1] == L'%') {
            out.append(format.substr(literalStart, i - literalStart));
            out.append(L'%');
            length = 2;
        } else if (c == L'%') {
            Directive directive;
            length = scanDirective(format.substr(i), directive);
            if (length != 0) {
                out.append(format.substr(literalStart, i - literalStart));
                appendConversion(out, directive, values);
            }
        }
        if (length == 0) {
            ++i;
        } else {
            i += length;
            literalStart = i;
        }
    }
    out.append(format.substr(literalStart));
    result = Variant::string(std::move(out));
    return 0;
}

} // namespace vexil
