#pragma once
// Variant: every value a script handles. An 8-byte payload, a text slot (a String's text, or
// the cached text of another kind) and a kind. Copies have value semantics; texts, binaries and
// heap objects are shared under reference counts and copied only on change.
#include "base/wstring.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vexil {

enum class VarKind : int32_t {
    Int32 = 1,
    Int64 = 2,
    Double = 3,
    String = 4,
    Array = 5,
    Reference = 6,
    Ptr = 7,
    Object = 8,
    Bool = 9,
    Keyword = 10,
    Binary = 11,
    DLLStruct = 12,
    Function = 13,
    UserFunction = 14,
    Map = 15,
};

// Shared payload of the heap kinds (arrays, maps, objects, structures, binaries, keyword and
// function records). Reference counted; a kind that can change clones before the first change
// through a holder that shares it.
class HeapValue {
public:
    virtual ~HeapValue() = default;
    uint32_t refs = 1;
};

// Keyword values: Default and Null carry an id, a number and a text.
struct KeywordRecord final : HeapValue {
    int32_t id = 0;
    int32_t number = 0;
    WString text;
};

struct BinaryRecord final : HeapValue {
    std::string bytes;
};

// Built-in (Function) or user (UserFunction) function named by a value.
struct FunctionRecord final : HeapValue {
    WString name;
    int32_t index = 0;
};

// The payload of a DLLStruct value. The structure's record belongs to the native interop; the
// engine needs only its size, the value's byte length.
struct StructPayload : HeapValue {
    explicit StructPayload(size_t bytes) : byteSize(bytes) {}
    const size_t byteSize;
};

// Kinds whose payload is a HeapValue.
constexpr bool isHeapKind(VarKind k) {
    constexpr uint32_t heapKinds = 1u << int(VarKind::Array) | 1u << int(VarKind::Object) | 1u << int(VarKind::Keyword) |
                                   1u << int(VarKind::Binary) | 1u << int(VarKind::Reference) |
                                   1u << int(VarKind::DLLStruct) | 1u << int(VarKind::Function) |
                                   1u << int(VarKind::UserFunction) | 1u << int(VarKind::Map);
    return (heapKinds >> static_cast<uint32_t>(k)) & 1u;
}


class Variant {
public:
    Variant() : i64_(0) {}
    Variant(const Variant& other) : i64_(other.i64_), text_(other.text_), kind_(other.kind_) {
        if (isHeapKind(kind_)) shareHeap();
    }
    // Moves and destruction run on every evaluation step: inline, with the heap release out of line.
    Variant(Variant&& other) noexcept : i64_(other.i64_), text_(std::move(other.text_)), kind_(other.kind_) {
        other.kind_ = VarKind::Int32;
        other.i64_ = 0;
    }
    // Copies of numbers without a cached text, the most common, stay inline.
    Variant& operator=(const Variant& other) {
        if (!isHeapKind(kind_) && !isHeapKind(other.kind_) && text_.isNull() && other.text_.isNull()) {
            i64_ = other.i64_;
            kind_ = other.kind_;
            return *this;
        }
        return assignGeneral(other);
    }
    Variant& assignGeneral(const Variant& other);
    [[gnu::always_inline]] Variant& operator=(Variant&& other) noexcept {
        if (this != &other) {
            if (isHeapKind(kind_)) releaseHeap();
            i64_ = other.i64_;
            kind_ = other.kind_;
            text_ = std::move(other.text_); // releases this value's own text
            other.kind_ = VarKind::Int32;
            other.i64_ = 0;
        }
        return *this;
    }
    ~Variant() {
        if (isHeapKind(kind_)) releaseHeap();
    }

    static Variant int32(int32_t v) {
        Variant r;
        r.setInt32(v);
        return r;
    }
    static Variant int64(int64_t v) {
        Variant r;
        r.setInt64(v);
        return r;
    }
    static Variant real(double v) {
        Variant r;
        r.setDouble(v);
        return r;
    }
    static Variant string(WString text);
    static Variant boolean(bool v) {
        Variant r;
        r.setBool(v);
        return r;
    }
    static Variant pointer(uint64_t v);
    static Variant binary(std::string bytes);
    static Variant keyword(int32_t id, int32_t number, std::wstring_view text);
    static Variant function(VarKind kind, std::wstring_view name, int32_t index);
    // A reference to a variable, or to an element of the container body `owner` (kept alive by it).
    static Variant reference(Variant* target, HeapValue* owner = nullptr);
    // An Array, Map or DLLStruct value holding a new body (which it owns).
    static Variant container(VarKind kind, HeapValue* body);
    HeapValue* heapValue() const { return isHeapKind(kind_) ? heap_ : nullptr; }
    // The keyword values of script text.
    static Variant defaultKeyword();
    static Variant nullKeyword();
    bool isDefault() const; // the keyword Default
    bool isNullKeyword() const; // the keyword Null

    void clear() { releasePayload(); } // becomes Int32 0
    // Overwrite the value in place: what evaluation does with most results.
    void setInt32(int32_t v) {
        dropPayload();
        kind_ = VarKind::Int32;
        i64_ = 0;
        i32_ = v;
    }
    void setInt64(int64_t v) {
        dropPayload();
        kind_ = VarKind::Int64;
        i64_ = v;
    }
    void setDouble(double v) {
        dropPayload();
        kind_ = VarKind::Double;
        f64_ = v;
    }
    void setBool(bool v) {
        dropPayload();
        kind_ = VarKind::Bool;
        i64_ = 0;
        bool_ = v;
    }

    VarKind kind() const { return kind_; }
    // No cached text: a number's arithmetic may take the inline paths.
    bool hasNoText() const { return text_.isNull(); }
    bool is(VarKind k) const { return kind_ == k; }
    bool isNumber() const { return kind_ == VarKind::Int32 || kind_ == VarKind::Int64 || kind_ == VarKind::Double; }
    const char* kindName() const;

    // Raw payloads, valid for their own kind.
    int32_t int32Value() const { return i32_; }
    int64_t int64Value() const { return i64_; }
    double doubleValue() const { return f64_; }
    Variant* referenceTarget() const;
    // The value a by-reference argument refers to, or the value itself.
    const Variant& dereferenced() const { return kind_ == VarKind::Reference ? *referenceTarget() : *this; }
    Variant& dereferenced() { return kind_ == VarKind::Reference ? *referenceTarget() : *this; }
    const KeywordRecord* keywordRecord() const;
    const BinaryRecord* binaryRecord() const;
    const FunctionRecord* functionRecord() const;

    // Conversions (the value itself is unchanged; text is cached).
    const WString& text() const;
    int32_t toInt32() const;
    int64_t toInt64() const;
    double toDouble() const;
    bool toBool() const {
        if (kind_ == VarKind::Bool) return bool_;
        if (kind_ == VarKind::Int32) return i32_ != 0;
        return toBoolOther();
    }
    bool toBoolOther() const;
    uint64_t toPointer() const;
    std::string toBytes() const; // the bytes To binary would give
    size_t binaryLength() const;

    // In-place coercions and arithmetic.
    void makeInteger();
    void makeDouble();
    void makeNumber();
    void makeBinary();
    // Two Int32 or two Double values without cached text take the inline path.
    void add(const Variant& right) {
        if (sameNumberKind(right)) {
            if (kind_ == VarKind::Double) return (void)(f64_ += right.f64_);
            if (setInt32IfFits(int64_t{i32_} + right.i32_)) return;
        } else if (int64WithInteger(right)) {
            // A running Int64 total: wraps in 64 bits as the general rules do.
            i64_ = static_cast<int64_t>(static_cast<uint64_t>(i64_) + static_cast<uint64_t>(right.integerValue()));
            return;
        }
        addGeneral(right);
    }
    void subtract(const Variant& right) {
        if (sameNumberKind(right)) {
            if (kind_ == VarKind::Double) return (void)(f64_ -= right.f64_);
            if (setInt32IfFits(int64_t{i32_} - right.i32_)) return;
        }
        subtractGeneral(right);
    }
    void multiply(const Variant& right) {
        if (sameNumberKind(right)) {
            if (kind_ == VarKind::Double) return (void)(f64_ *= right.f64_);
            if (setInt32IfFits(int64_t{i32_} * right.i32_)) return;
        }
        multiplyGeneral(right);
    }
    void addGeneral(const Variant& right);
    void subtractGeneral(const Variant& right);
    void multiplyGeneral(const Variant& right);
    void divide(const Variant& right);      // "/": Double, or the left unchanged for kinds that do not divide
    void concatenate(const Variant& right); // "&": texts joined, binaries joined, other kinds unchanged
    static Variant power(const Variant& base, const Variant& exponent);

    // Comparisons: "=" (case-insensitive text), ordering, and "==" (case-sensitive text).
    static int compareMode(VarKind left, VarKind right);
    static bool equal(const Variant& a, const Variant& b);
    static bool lessThan(const Variant& a, const Variant& b) {
        if (a.kind_ == b.kind_) {
            if (a.kind_ == VarKind::Int32) return a.i32_ < b.i32_;
            if (a.kind_ == VarKind::Double) return a.f64_ < b.f64_;
        }
        return lessThanGeneral(a, b);
    }
    static bool lessThanGeneral(const Variant& a, const Variant& b);
    static bool strictEqual(const Variant& a, const Variant& b);

private:
    // Runs before every in-place number: a number without a cached text has nothing to drop.
    [[gnu::always_inline]] void dropPayload() {
        if (isHeapKind(kind_) || !text_.isNull()) [[unlikely]] dropHeapAndText();
    }
    void dropHeapAndText();
    void releasePayload() { setInt32(0); }
    void releaseHeap();
    // A copy's heap payload: shared, or cloned when the body may not be shared.
    void shareHeap();
    bool int64WithInteger(const Variant& right) const {
        return kind_ == VarKind::Int64 && (right.kind_ == VarKind::Int32 || right.kind_ == VarKind::Int64) && text_.isNull() &&
               right.text_.isNull();
    }
    int64_t integerValue() const { return kind_ == VarKind::Int32 ? int64_t{i32_} : i64_; }
    bool sameNumberKind(const Variant& right) const {
        return kind_ == right.kind_ && (kind_ == VarKind::Int32 || kind_ == VarKind::Double) && text_.empty();
    }
    bool setInt32IfFits(int64_t v) {
        if (v != static_cast<int32_t>(v)) return false;
        i64_ = 0;
        i32_ = static_cast<int32_t>(v);
        return true;
    }
    void copyPayload(const Variant& other);
    void setInt64Fitting(int64_t v); // Int32 when it fits
    void discardCachedText();
    void becomeDouble(double v);

    union {
        int32_t i32_;
        int64_t i64_;
        double f64_;
        uint64_t ptr_;
        bool bool_;
        HeapValue* heap_;
    };
    mutable WString text_; // a String's text, or the cached text of another kind
    VarKind kind_ = VarKind::Int32;
};

// Number text: integers in decimal; doubles as StringFormat's "%.15g" writes them.
WString formatDouble(double v);
WString formatInteger(int64_t v);

} // namespace vexil
