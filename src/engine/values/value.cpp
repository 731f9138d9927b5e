#include "engine/values/value.h"

#include "base/real_text.h"
#include "base/text_codec.h"
#include "base/text_search.h"
#include "engine/front/keywords.h"
#include "engine/values/containers.h"

#include <windows.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cwctype>
#include <limits>

namespace vexil {

namespace {

constexpr int32_t kKeywordDefault = static_cast<int32_t>(Keyword::Default);
constexpr int32_t kKeywordNull = static_cast<int32_t>(Keyword::Null);
// The number that the Default keyword of script text carries.
constexpr int32_t kDefaultNumber = -1;

bool fitsInt32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }
int64_t wrappingAdd(int64_t a, int64_t b) { return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b)); }
int64_t wrappingSub(int64_t a, int64_t b) { return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b)); }
int64_t wrappingMul(int64_t a, int64_t b) { return static_cast<int64_t>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b)); }

// ---- Text to number ----

bool isHexText(std::wstring_view t) { return t.size() >= 2 && t[0] == L'0' && (t[1] == L'x' || t[1] == L'X'); }

int hexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// The digits after "0x" read as one number; any character that is no hexadecimal digit gives 0.
uint64_t hexTextValue(std::wstring_view t) {
    uint64_t v = 0;
    for (wchar_t c : t.substr(2)) {
        int d = hexDigit(c);
        if (d < 0) return 0;
        v = v << 4 | static_cast<uint64_t>(d);
    }
    return v;
}

// Decimal integer text as C's wcstol/_wcstoi64 read it: blanks, a sign, digits; saturating.
int64_t parseDecimal(std::wstring_view t, int64_t low, int64_t high) {
    size_t i = 0;
    while (i < t.size() && std::iswspace(t[i])) ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == L'+' || t[i] == L'-')) negative = t[i++] == L'-';
    uint64_t magnitude = 0;
    uint64_t limit = negative ? static_cast<uint64_t>(-(low + 1)) + 1 : static_cast<uint64_t>(high);
    bool saturated = false;
    for (; i < t.size() && t[i] >= L'0' && t[i] <= L'9'; ++i) {
        uint64_t d = static_cast<uint64_t>(t[i] - L'0');
        if (magnitude > (limit - d) / 10) {
            saturated = true;
            break;
        }
        magnitude = magnitude * 10 + d;
    }
    if (saturated) return negative ? low : high;
    return negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
}

// A signed integer of at most 15 digits, and nothing else, is exact as a double and read here:
// the C runtime's conversion takes a lock for its big-number arithmetic on every call.
double parseDouble(const WString& t) {
    std::wstring_view v = t.view();
    size_t first = !v.empty() && (v[0] == L'-' || v[0] == L'+') ? 1 : 0;
    size_t digits = v.size() - first;
    if (digits >= 1 && digits <= 15 && std::all_of(v.begin() + first, v.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; })) {
        int64_t n = 0;
        for (wchar_t c : v.substr(first)) n = n * 10 + (c - L'0');
        double d = static_cast<double>(n);
        return v[0] == L'-' ? -d : d;
    }
    return std::wcstod(t.c_str(), nullptr);
}

int32_t doubleToInt32(double d) {
    if (!(d > -2147483649.0 && d < 2147483648.0)) return INT32_MIN;
    return static_cast<int32_t>(d);
}

int64_t doubleToInt64(double d) {
    if (d == 0.0) return 0;
    if (!(d > -9223372036854775808.0 && d < 9223372036854775808.0)) return INT64_MIN;
    double whole = std::trunc(d);
    double next = whole + (d > 0 ? 1.0 : -1.0); // the next integer away from zero
    if (d != whole && std::fabs(next - d) <= 10.0 * std::fabs(std::nextafter(d, next) - d)) whole = next;
    if (!(whole > -9223372036854775808.0 && whole < 9223372036854775808.0)) return INT64_MIN;
    return static_cast<int64_t>(whole);
}

uint64_t littleEndian(const std::string& bytes, size_t count) {
    uint64_t v = 0;
    for (size_t i = 0; i < count && i < bytes.size(); ++i) v |= static_cast<uint64_t>(static_cast<uint8_t>(bytes[i])) << (8 * i);
    return v;
}

template <class T> std::string bytesOf(T v) { return std::string(reinterpret_cast<const char*>(&v), sizeof(T)); }

// ---- Comparison modes ----

// [left kind - 1][right kind - 1], kinds in their numeric order.
constexpr uint8_t kCompareModes[15][15] = {
    {1, 2, 3, 3, 0, 0, 7, 0, 9, 0, 1, 0, 0, 0, 0},   // Int32
    {2, 2, 3, 3, 0, 0, 7, 0, 9, 0, 2, 0, 0, 0, 0},   // Int64
    {3, 3, 3, 3, 0, 0, 0, 0, 9, 0, 3, 0, 0, 0, 0},   // Double
    {3, 3, 3, 4, 0, 0, 7, 0, 9, 0, 11, 0, 0, 0, 0},  // String
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},   // Array
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},   // Reference
    {7, 7, 0, 7, 0, 0, 7, 0, 9, 0, 7, 0, 0, 0, 0},   // Ptr
    {0, 0, 0, 0, 0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0},   // Object
    {9, 9, 9, 9, 9, 9, 9, 9, 9, 0, 9, 0, 0, 0, 0},   // Bool
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0},  // Keyword
    {1, 2, 3, 11, 0, 0, 7, 0, 9, 0, 11, 0, 0, 0, 0}, // Binary
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},   // DLLStruct
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 13, 0, 0},  // Function
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 14, 0},  // UserFunction
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 15},  // Map
};

constexpr const char* kKindNames[] = {"Int32",  "Int64",   "Double", "String",    "Array",
                                      "Reference", "Ptr",  "Object", "Bool",      "Keyword",
                                      "Binary", "DLLStruct", "Function", "UserFunction", "Map"};

} // namespace

// ---- Number text ----

namespace {

// Room for any number's text: a sign, at most 20 head characters and "e+308".
constexpr size_t kNumberTextRoom = 32;

size_t writeInteger(int64_t v, wchar_t* out) {
    char narrow[24];
    auto end = std::to_chars(narrow, narrow + sizeof narrow, v).ptr;
    size_t n = static_cast<size_t>(end - narrow);
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<wchar_t>(narrow[i]);
    return n;
}

size_t writeDouble(double v, wchar_t* out) {
    std::wstring_view special;
    if (std::isnan(v)) special = std::signbit(v) ? L"-1.#IND" : L"1.#QNAN";
    else if (std::isinf(v)) special = v < 0 ? L"-1.#INF" : L"1.#INF";
    if (!special.empty()) return static_cast<size_t>(std::copy(special.begin(), special.end(), out) - out);
    RealText text;
    formatReal(text, v, 'g', 15, false); // without "#" no zeros follow the head
    wchar_t* end = out;
    if (std::signbit(v)) *end++ = L'-';
    end = std::copy(text.headText().begin(), text.headText().end(), end);
    end = std::copy(text.tailText().begin(), text.tailText().end(), end);
    return static_cast<size_t>(end - out);
}

// A value's text for joining: a number without cached text is written into `room` rather than
// given a heap copy that the join would discard at once.
std::wstring_view joinText(const Variant& v, wchar_t (&room)[kNumberTextRoom]) {
    switch (v.kind()) {
    case VarKind::Int32: return {room, writeInteger(v.int32Value(), room)};
    case VarKind::Int64: return {room, writeInteger(v.int64Value(), room)};
    case VarKind::Double: return {room, writeDouble(v.doubleValue(), room)};
    default: return v.text().view();
    }
}

} // namespace

WString formatInteger(int64_t v) {
    wchar_t buffer[kNumberTextRoom];
    return WString(std::wstring_view(buffer, writeInteger(v, buffer)));
}

WString formatDouble(double v) {
    wchar_t buffer[kNumberTextRoom];
    return WString(std::wstring_view(buffer, writeDouble(v, buffer)));
}

// ---- Construction, copying, clearing ----


Variant& Variant::assignGeneral(const Variant& other) {
    if (this != &other) {
        releasePayload();
        copyPayload(other);
    }
    return *this;
}

void Variant::copyPayload(const Variant& other) {
    kind_ = other.kind_;
    i64_ = other.i64_;
    text_ = other.text_;
    if (isHeapKind(kind_)) shareHeap();
}

void Variant::shareHeap() {
    if (!heap_) return;
    // A container body that has handed out element references is copied, never shared.
    if ((kind_ == VarKind::Array || kind_ == VarKind::Map) && static_cast<ContainerBody*>(heap_)->unshareable) {
        heap_ = cloneContainer(heap_, kind_);
        return;
    }
    ++heap_->refs;
}

void Variant::dropHeapAndText() {
    if (isHeapKind(kind_)) releaseHeap();
    if (!text_.isNull()) text_.clear();
}

void Variant::releaseHeap() {
    if (heap_ && --heap_->refs == 0) delete heap_;
}

Variant Variant::string(WString text) {
    Variant r;
    r.kind_ = VarKind::String;
    r.text_ = std::move(text);
    return r;
}

Variant Variant::pointer(uint64_t v) {
    Variant r;
    r.kind_ = VarKind::Ptr;
    r.ptr_ = v;
    return r;
}

Variant Variant::binary(std::string bytes) {
    Variant r;
    auto* record = new BinaryRecord;
    record->bytes = std::move(bytes);
    r.kind_ = VarKind::Binary;
    r.heap_ = record;
    return r;
}

Variant Variant::keyword(int32_t id, int32_t number, std::wstring_view text) {
    Variant r;
    auto* record = new KeywordRecord;
    record->id = id;
    record->number = number;
    record->text = text;
    r.kind_ = VarKind::Keyword;
    r.heap_ = record;
    return r;
}

Variant Variant::function(VarKind kind, std::wstring_view name, int32_t index) {
    Variant r;
    auto* record = new FunctionRecord;
    record->name = name;
    record->index = index;
    r.kind_ = kind;
    r.heap_ = record;
    return r;
}

Variant Variant::reference(Variant* target, HeapValue* owner) {
    Variant r;
    auto* record = new ReferenceRecord;
    record->target = target;
    record->owner = owner;
    if (owner) ++owner->refs;
    r.kind_ = VarKind::Reference;
    r.heap_ = record;
    return r;
}

Variant* Variant::referenceTarget() const {
    return kind_ == VarKind::Reference ? static_cast<const ReferenceRecord*>(heap_)->target : nullptr;
}

Variant Variant::container(VarKind kind, HeapValue* body) {
    Variant r;
    r.kind_ = kind;
    r.heap_ = body;
    return r;
}

Variant Variant::defaultKeyword() { return keyword(kKeywordDefault, kDefaultNumber, L"Default"); }
Variant Variant::nullKeyword() { return keyword(kKeywordNull, 0, L""); }
bool Variant::isDefault() const { return kind_ == VarKind::Keyword && keywordRecord()->id == kKeywordDefault; }
bool Variant::isNullKeyword() const { return kind_ == VarKind::Keyword && keywordRecord()->id == kKeywordNull; }

const KeywordRecord* Variant::keywordRecord() const {
    return kind_ == VarKind::Keyword ? static_cast<const KeywordRecord*>(heap_) : nullptr;
}
const BinaryRecord* Variant::binaryRecord() const {
    return kind_ == VarKind::Binary ? static_cast<const BinaryRecord*>(heap_) : nullptr;
}
const FunctionRecord* Variant::functionRecord() const {
    return (kind_ == VarKind::Function || kind_ == VarKind::UserFunction) ? static_cast<const FunctionRecord*>(heap_)
                                                                          : nullptr;
}

const char* Variant::kindName() const {
    int k = static_cast<int>(kind_);
    return k >= 1 && k <= 15 ? kKindNames[k - 1] : "Unknown";
}

// ---- Conversions ----

const WString& Variant::text() const {
    if (kind_ == VarKind::String || !text_.empty()) return text_;
    switch (kind_) {
    case VarKind::Int32: text_ = formatInteger(i32_); break;
    case VarKind::Int64: text_ = formatInteger(i64_); break;
    case VarKind::Double: text_ = formatDouble(f64_); break;
    case VarKind::Bool: text_ = bool_ ? L"True" : L"False"; break;
    case VarKind::Keyword: text_ = keywordRecord()->text; break;
    case VarKind::Ptr: {
        wchar_t buffer[24];
        swprintf(buffer, 24, L"0x%016llX", static_cast<unsigned long long>(ptr_));
        text_ = buffer;
        break;
    }
    case VarKind::Binary: {
        const std::string& bytes = binaryRecord()->bytes;
        if (bytes.empty()) break;
        static const wchar_t kDigits[] = L"0123456789ABCDEF";
        wchar_t* out = text_.resize(2 + 2 * bytes.size());
        out[0] = L'0';
        out[1] = L'x';
        for (size_t i = 0; i < bytes.size(); ++i) {
            auto b = static_cast<uint8_t>(bytes[i]);
            out[2 + 2 * i] = kDigits[b >> 4];
            out[3 + 2 * i] = kDigits[b & 15];
        }
        break;
    }
    default: break;
    }
    return text_;
}

int32_t Variant::toInt32() const {
    switch (kind_) {
    case VarKind::Int32: return i32_;
    case VarKind::Int64:
    case VarKind::Ptr: return static_cast<int32_t>(static_cast<uint32_t>(ptr_));
    case VarKind::Double: return doubleToInt32(f64_);
    case VarKind::String: {
        std::wstring_view t = text_.view();
        if (isHexText(t) && t.size() <= 18) return static_cast<int32_t>(static_cast<uint32_t>(hexTextValue(t)));
        return static_cast<int32_t>(parseDecimal(t, INT32_MIN, INT32_MAX));
    }
    case VarKind::Bool: return bool_ ? 1 : 0;
    case VarKind::Keyword: return keywordRecord()->number;
    case VarKind::Binary: {
        const std::string& bytes = binaryRecord()->bytes;
        return bytes.size() <= 8 ? static_cast<int32_t>(static_cast<uint32_t>(littleEndian(bytes, 8))) : 0;
    }
    default: return 0;
    }
}

int64_t Variant::toInt64() const {
    switch (kind_) {
    case VarKind::Int32: return i32_;
    case VarKind::Int64:
    case VarKind::Ptr: return i64_;
    case VarKind::Double: return doubleToInt64(f64_);
    case VarKind::String: {
        std::wstring_view t = text_.view();
        if (isHexText(t) && t.size() <= 10) return static_cast<int32_t>(static_cast<uint32_t>(hexTextValue(t)));
        if (isHexText(t) && t.size() <= 18) return static_cast<int64_t>(hexTextValue(t));
        return parseDecimal(t, INT64_MIN, INT64_MAX);
    }
    case VarKind::Bool: return bool_ ? 1 : 0;
    case VarKind::Binary: {
        const std::string& bytes = binaryRecord()->bytes;
        if (bytes.size() <= 4) return static_cast<int32_t>(static_cast<uint32_t>(littleEndian(bytes, 4)));
        if (bytes.size() <= 8) return static_cast<int64_t>(littleEndian(bytes, 8));
        return 0;
    }
    default: return 0;
    }
}

double Variant::toDouble() const {
    switch (kind_) {
    case VarKind::Int32: return i32_;
    case VarKind::Int64: return static_cast<double>(i64_);
    case VarKind::Ptr: return static_cast<double>(ptr_);
    case VarKind::Double: return f64_;
    case VarKind::String: {
        std::wstring_view t = text_.view();
        if (isHexText(t)) return t.size() <= 10 ? static_cast<double>(static_cast<uint32_t>(hexTextValue(t))) : 0.0;
        return parseDouble(text_);
    }
    case VarKind::Bool: return bool_ ? 1.0 : 0.0;
    case VarKind::Keyword: return keywordRecord()->number;
    default: return 0.0;
    }
}

bool Variant::toBoolOther() const {
    switch (kind_) {
    case VarKind::Int32: return i32_ != 0;
    case VarKind::Int64:
    case VarKind::Ptr: return i64_ != 0;
    case VarKind::Double: return f64_ != 0.0; // NaN counts as true
    case VarKind::String: return !text_.empty();
    case VarKind::Bool: return bool_;
    case VarKind::Binary: return !binaryRecord()->bytes.empty();
    default: return false;
    }
}

uint64_t Variant::toPointer() const {
    switch (kind_) {
    case VarKind::Int32:
    case VarKind::Int64:
    case VarKind::Double:
    case VarKind::String: return static_cast<uint64_t>(toInt64());
    case VarKind::Ptr: return ptr_;
    default: return 0;
    }
}

std::string Variant::toBytes() const {
    switch (kind_) {
    case VarKind::Int32: return bytesOf(i32_);
    case VarKind::Int64:
    case VarKind::Double:
    case VarKind::Ptr: return bytesOf(i64_);
    case VarKind::Bool: return std::string(1, bool_ ? '\1' : '\0');
    case VarKind::Keyword: return bytesOf(keywordRecord()->number);
    case VarKind::Binary: return binaryRecord()->bytes;
    case VarKind::String: {
        std::wstring_view t = text_.view();
        if (t.empty()) return {};
        if (isHexText(t) && t.size() % 2 == 0) {
            std::string bytes;
            bool ok = true;
            for (size_t i = 2; i < t.size() && ok; i += 2) {
                int hi = hexDigit(t[i]), lo = hexDigit(t[i + 1]);
                ok = hi >= 0 && lo >= 0;
                bytes += static_cast<char>(hi << 4 | lo);
            }
            if (ok) return bytes;
        }
        std::string ansi = wideToBytes(t, CP_ACP);
        if (ansi.size() > t.size()) ansi.resize(t.size());
        return ansi;
    }
    default: return {};
    }
}

size_t Variant::binaryLength() const {
    switch (kind_) {
    case VarKind::Int32: return 4;
    case VarKind::Int64:
    case VarKind::Double:
    case VarKind::Ptr: return 8;
    case VarKind::Bool: return 1;
    case VarKind::String: return 2 * text_.size() + 2;
    case VarKind::Binary: return binaryRecord()->bytes.size();
    case VarKind::DLLStruct: return static_cast<const StructPayload*>(heap_)->byteSize;
    default: return 0;
    }
}

// ---- In-place coercions ----

void Variant::setInt64Fitting(int64_t v) {
    releasePayload();
    if (fitsInt32(v)) {
        i32_ = static_cast<int32_t>(v);
    } else {
        kind_ = VarKind::Int64;
        i64_ = v;
    }
}

void Variant::becomeDouble(double v) {
    releasePayload();
    kind_ = VarKind::Double;
    f64_ = v;
}

void Variant::makeInteger() {
    if (kind_ == VarKind::Int32 || kind_ == VarKind::Int64) return;
    int64_t v = toInt64();
    if (kind_ == VarKind::String && isHexText(text_.view()) && text_.size() <= 18) {
        bool wide = text_.size() > 10;
        releasePayload();
        if (wide) {
            kind_ = VarKind::Int64;
            i64_ = v;
        } else {
            i32_ = static_cast<int32_t>(v);
        }
        return;
    }
    setInt64Fitting(v);
}

void Variant::makeDouble() {
    if (kind_ != VarKind::Double) becomeDouble(toDouble());
}

void Variant::makeNumber() {
    if (isNumber()) return;
    if (kind_ == VarKind::String) {
        std::wstring_view t = text_.view();
        if (t.find(L'.') != std::wstring_view::npos || t.find(L'e') != std::wstring_view::npos) {
            makeDouble();
            return;
        }
    }
    makeInteger();
}

void Variant::makeBinary() {
    if (kind_ == VarKind::Binary) return;
    *this = binary(toBytes());
}

// ---- Arithmetic ----

void Variant::discardCachedText() {
    if (kind_ != VarKind::String) text_.clear(); // a String's text is its value
}

void Variant::addGeneral(const Variant& right) {
    discardCachedText();
    switch (kind_) {
    case VarKind::Int32:
        if (right.kind_ == VarKind::Int32) return setInt64Fitting(int64_t{i32_} + right.i32_);
        if (right.kind_ == VarKind::Int64) return (void)(*this = int64(wrappingAdd(i32_, right.i64_)));
        return becomeDouble(i32_ + right.toDouble());
    case VarKind::Int64:
        if (right.kind_ == VarKind::Int32 || right.kind_ == VarKind::Int64)
            return (void)(i64_ = wrappingAdd(i64_, right.toInt64()));
        return becomeDouble(static_cast<double>(i64_) + right.toDouble());
    case VarKind::Double: f64_ += right.toDouble(); return;
    case VarKind::String: makeNumber(); return add(right);
    case VarKind::Bool:
    case VarKind::Keyword: makeDouble(); return add(right);
    case VarKind::Ptr: ptr_ += static_cast<uint64_t>(right.toInt64()); return;
    case VarKind::Binary:
        if (right.kind_ == VarKind::Binary) {
            *this = binary(binaryRecord()->bytes + right.binaryRecord()->bytes);
            return;
        }
        makeDouble();
        return add(right);
    default: return;
    }
}

void Variant::subtractGeneral(const Variant& right) {
    discardCachedText();
    switch (kind_) {
    case VarKind::Int32:
        if (right.kind_ == VarKind::Int32) return setInt64Fitting(int64_t{i32_} - right.i32_);
        if (right.kind_ == VarKind::Int64) return (void)(*this = int64(wrappingSub(i32_, right.i64_)));
        return becomeDouble(i32_ - right.toDouble());
    case VarKind::Int64:
        if (right.kind_ == VarKind::Int32 || right.kind_ == VarKind::Int64)
            return (void)(i64_ = wrappingSub(i64_, right.toInt64()));
        return becomeDouble(static_cast<double>(i64_) - right.toDouble());
    case VarKind::Double: f64_ -= right.toDouble(); return;
    case VarKind::String:
    case VarKind::Keyword: makeNumber(); return subtract(right);
    case VarKind::Bool:
    case VarKind::Binary: makeDouble(); return subtract(right);
    case VarKind::Ptr: ptr_ -= static_cast<uint64_t>(right.toInt64()); return;
    default: return;
    }
}

void Variant::multiplyGeneral(const Variant& right) {
    discardCachedText();
    switch (kind_) {
    case VarKind::Int32:
        if (right.kind_ == VarKind::Int32) return setInt64Fitting(int64_t{i32_} * right.i32_);
        if (right.kind_ == VarKind::Int64) return (void)(*this = int64(wrappingMul(i32_, right.i64_)));
        return becomeDouble(i32_ * right.toDouble());
    case VarKind::Int64:
        if (right.kind_ == VarKind::Int32 || right.kind_ == VarKind::Int64)
            return (void)(i64_ = wrappingMul(i64_, right.toInt64()));
        return becomeDouble(static_cast<double>(i64_) * right.toDouble());
    case VarKind::Double: f64_ *= right.toDouble(); return;
    case VarKind::String: makeNumber(); return multiply(right);
    case VarKind::Bool:
    case VarKind::Binary: makeDouble(); return multiply(right);
    default: return;
    }
}

void Variant::divide(const Variant& right) {
    switch (kind_) {
    case VarKind::Int32: case VarKind::Int64: case VarKind::Double: case VarKind::String:
    case VarKind::Bool: case VarKind::Binary:
        *this = real(toDouble() / right.toDouble());
        return;
    default:
        return;
    }
}

void Variant::concatenate(const Variant& right) {
    switch (kind_) {
    case VarKind::String: {
        wchar_t room[kNumberTextRoom];
        text_.append(joinText(right, room)); // in place when the text is this value's own
        return;
    }
    case VarKind::Binary:
        if (right.kind_ == VarKind::Binary) {
            *this = binary(binaryRecord()->bytes + right.binaryRecord()->bytes);
            return;
        }
        [[fallthrough]];
    case VarKind::Int32: case VarKind::Int64: case VarKind::Double:
    case VarKind::Ptr: case VarKind::Bool: case VarKind::Keyword: {
        wchar_t leftRoom[kNumberTextRoom], rightRoom[kNumberTextRoom];
        std::wstring_view left = joinText(*this, leftRoom), tail = joinText(right, rightRoom);
        WString joined;
        if (size_t length = left.size() + tail.size(); length > 0) {
            wchar_t* out = joined.resize(length); // one block for the whole result
            std::copy(tail.begin(), tail.end(), std::copy(left.begin(), left.end(), out));
        }
        releasePayload();
        kind_ = VarKind::String;
        text_ = std::move(joined);
        return;
    }
    default:
        return;
    }
}

namespace {

// The class of a power operand.
struct PowerOperand {
    bool classified = false; // numbers only
    bool isDouble = false;
    bool finite = false;
    bool integer = false; // an integer kind, or a finite Double without fraction
    bool odd = false;
    double value = 0;
};

PowerOperand classify(const Variant& v) {
    PowerOperand p;
    if (v.is(VarKind::Int32) || v.is(VarKind::Int64)) {
        int64_t i = v.toInt64();
        p = {true, false, true, true, (i & 1) != 0, static_cast<double>(i)};
    } else if (v.is(VarKind::Double)) {
        double d = v.doubleValue();
        p.classified = true;
        p.isDouble = true;
        p.value = d;
        p.finite = std::isfinite(d);
        p.integer = p.finite && std::trunc(d) == d;
        p.odd = p.integer && std::fmod(d, 2.0) != 0.0;
    } else {
        p.value = v.toDouble();
    }
    return p;
}

} // namespace

Variant Variant::power(const Variant& base, const Variant& exponent) {
    const double inf = std::numeric_limits<double>::infinity();
    PowerOperand b = classify(base), e = classify(exponent);
    bool eFinite = e.classified && e.finite;
    bool bFinite = b.classified && b.finite;
    if (e.classified && e.value == 0.0 && (e.isDouble || e.integer)) return real(1.0);
    if (b.classified && b.value == 0.0 && eFinite) {
        double magnitude = e.value > 0 ? 0.0 : inf;
        if (e.odd && b.isDouble && std::signbit(b.value)) magnitude = -magnitude;
        return real(magnitude);
    }
    if (e.classified && std::isinf(e.value) && bFinite) {
        double a = std::fabs(b.value);
        if (a == 1.0) return real(std::numeric_limits<double>::quiet_NaN());
        bool up = e.value > 0;
        return real(a < 1.0 ? (up ? 0.0 : inf) : (up ? inf : 0.0));
    }
    if (b.classified && std::isinf(b.value) && eFinite) {
        if (b.value > 0 || !e.odd) return real(e.value < 0 ? 0.0 : inf);
        return real(e.value < 0 ? -0.0 : -inf);
    }
    double result;
    if (bFinite && b.value < 0 && e.integer) {
        result = std::pow(-b.value, e.value);
        if (e.odd) result = -result;
    } else {
        result = std::pow(base.toDouble(), exponent.toDouble());
    }
    if (!base.is(VarKind::Double) && !exponent.is(VarKind::Double) && std::trunc(result) == result &&
        std::fabs(result) < 562949953421312.0)
        return int64(static_cast<int64_t>(result));
    return real(result);
}

// ---- Comparisons ----

int Variant::compareMode(VarKind left, VarKind right) {
    int l = static_cast<int>(left), r = static_cast<int>(right);
    if (l < 1 || l > 15 || r < 1 || r > 15) return 0;
    return kCompareModes[l - 1][r - 1];
}

bool Variant::equal(const Variant& a, const Variant& b) {
    switch (compareMode(a.kind_, b.kind_)) {
    case 1: return a.toInt32() == b.toInt32();
    case 2: return a.toInt64() == b.toInt64();
    case 3: return a.toDouble() == b.toDouble();
    case 4: return textsEqual(a.text(), b.text(), CompareMode::Locale);
    case 7: return a.toPointer() == b.toPointer();
    case 8: return a.heap_ == b.heap_;
    case 9: return a.toBool() == b.toBool();
    case 10: return a.keywordRecord()->id == b.keywordRecord()->id;
    case 11: return a.toBytes() == b.toBytes();
    case 13: return a.functionRecord()->index == b.functionRecord()->index;
    case 14: return a.functionRecord()->name == b.functionRecord()->name;
    default: return false;
    }
}

bool Variant::lessThanGeneral(const Variant& a, const Variant& b) {
    switch (compareMode(a.kind_, b.kind_)) {
    case 1:
    case 9: return a.toInt32() < b.toInt32();
    case 2: return a.toInt64() < b.toInt64();
    case 3: return a.toDouble() < b.toDouble();
    case 4: return WString::compare(a.text(), b.text(), 0) < 0;
    case 7: return a.toPointer() < b.toPointer();
    default: return false;
    }
}

bool Variant::strictEqual(const Variant& a, const Variant& b) {
    if (a.kind_ == VarKind::Object || b.kind_ == VarKind::Object) return false;
    if (a.isNullKeyword() || b.isNullKeyword()) return a.isNullKeyword() && b.isNullKeyword();
    // Function values are equal when they name the same function, never equal to other kinds.
    bool aFunction = a.kind_ == VarKind::Function || a.kind_ == VarKind::UserFunction;
    bool bFunction = b.kind_ == VarKind::Function || b.kind_ == VarKind::UserFunction;
    if (aFunction || bFunction) {
        if (a.kind_ != b.kind_) return false;
        if (a.kind_ == VarKind::Function) return a.functionRecord()->index == b.functionRecord()->index;
        return a.functionRecord()->name == b.functionRecord()->name;
    }
    return a.text().view() == b.text().view();
}

} // namespace vexil
