// Math, bit, random, character-code and kind-test built-ins.
#include "base/text_codec.h"
#include "engine/builtins/builtin_api.h"

#include <windows.h>

#include <cmath>
#include <random>

namespace vexil {

namespace {

Variant sizedInteger(double v) {
    if (v >= INT32_MIN && v <= INT32_MAX) return Variant::int32(static_cast<int32_t>(v));
    if (v > -9223372036854775808.0 && v < 9223372036854775808.0) return Variant::int64(static_cast<int64_t>(v));
    return Variant::real(v);
}

template <double (*F)(double)> int unaryMath(BuiltinContext&, BuiltinArgs args, Variant& result) {
    result = Variant::real(F(args[0].toDouble()));
    return 0;
}

double absolute(double v) { return std::fabs(v); }
double arcCosine(double v) { return std::acos(v); }
double arcSine(double v) { return std::asin(v); }
double arcTangent(double v) { return std::atan(v); }
double cosine(double v) { return std::cos(v); }
double sine(double v) { return std::sin(v); }
double tangent(double v) { return std::tan(v); }
double exponential(double v) { return std::exp(v); }
double logarithm(double v) { return std::log(v); }
double squareRoot(double v) { return std::sqrt(v); }

// The process-wide generator, seeded from the clock on first use unless a script seeded it.
struct RandomGenerator {
    std::mt19937 engine;
    bool seeded = false;
    uint32_t next() {
        if (!seeded) {
            FILETIME ft;
            GetSystemTimeAsFileTime(&ft);
            uint64_t ticks = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
            engine.seed(static_cast<uint32_t>(static_cast<int32_t>((ticks - 116444736000000000ull) / 10000000ull)));
            seeded = true;
        }
        return static_cast<uint32_t>(engine());
    }
    double unit() { return next() * (1.0 / 4294967296.0); }
};
RandomGenerator generator;

} // namespace

int builtinAbs(BuiltinContext& e, BuiltinArgs a, Variant& r) { return unaryMath<absolute>(e, a, r); }
int builtinACos(BuiltinContext& e, BuiltinArgs a, Variant& r) { return unaryMath<arcCosine>(e, a, r); }
int builtinASin(BuiltinContext& e, BuiltinArgs a, Variant& r) { return unaryMath<arcSine>(e, a, r); }
int builtinATan(BuiltinContext& e, BuiltinArgs a, Variant& r) { return unaryMath<arcTangent>(e, a, r); }
int builtinCos(BuiltinContext& e, BuiltinArgs a, Variant& r) { return unaryMath<cosine>(e, a, r); }
int builtinSin(BuiltinContext& e, BuiltinArgs a, Variant& r) { return unaryMath<sine>(e, a, r); }
int builtinTan(BuiltinContext& e, BuiltinArgs a, Variant& r) { return unaryMath<tangent>(e, a, r); }
int builtinExp(BuiltinContext& e, BuiltinArgs a, Variant& r) { return unaryMath<exponential>(e, a, r); }
int builtinLog(BuiltinContext& e, BuiltinArgs a, Variant& r) { return unaryMath<logarithm>(e, a, r); }
int builtinSqrt(BuiltinContext& e, BuiltinArgs a, Variant& r) { return unaryMath<squareRoot>(e, a, r); }

int builtinCeiling(BuiltinContext&, BuiltinArgs args, Variant& result) {
    result = sizedInteger(std::ceil(args[0].toDouble()));
    return 0;
}

int builtinFloor(BuiltinContext&, BuiltinArgs args, Variant& result) {
    result = sizedInteger(std::floor(args[0].toDouble()));
    return 0;
}

int builtinMod(BuiltinContext&, BuiltinArgs args, Variant& result) {
    const Variant &a = args[0], &b = args[1];
    auto isInteger = [](const Variant& v) { return v.is(VarKind::Int32) || v.is(VarKind::Int64); };
    if (a.is(VarKind::Int32) && b.is(VarKind::Int32) && b.int32Value() != 0) {
        // INT32_MIN % -1 traps on the processor; its remainder is 0.
        result = Variant::int32(b.int32Value() == -1 ? 0 : a.int32Value() % b.int32Value());
    } else if (isInteger(a) && isInteger(b) && b.toInt64() != 0) {
        result = Variant::int64(b.toInt64() == -1 ? 0 : a.toInt64() % b.toInt64());
    } else {
        result = Variant::real(std::fmod(a.toDouble(), b.toDouble()));
    }
    return 0;
}

namespace {

template <class Combine> int bitCombine(BuiltinArgs args, Variant& result, Combine combine) {
    int32_t v = args[0].toInt32();
    for (size_t i = 1; i < args.size(); ++i) v = combine(v, args[i].toInt32());
    result = Variant::int32(v);
    return 0;
}

} // namespace

int builtinBitAnd(BuiltinContext&, BuiltinArgs a, Variant& r) { return bitCombine(a, r, [](int32_t x, int32_t y) { return x & y; }); }
int builtinBitOr(BuiltinContext&, BuiltinArgs a, Variant& r) { return bitCombine(a, r, [](int32_t x, int32_t y) { return x | y; }); }
int builtinBitXor(BuiltinContext&, BuiltinArgs a, Variant& r) { return bitCombine(a, r, [](int32_t x, int32_t y) { return x ^ y; }); }

int builtinBitNot(BuiltinContext&, BuiltinArgs args, Variant& result) {
    result = Variant::int32(~args[0].toInt32());
    return 0;
}

int builtinBitShift(BuiltinContext&, BuiltinArgs args, Variant& result) {
    int32_t v = args[0].toInt32();
    int32_t s = args[1].toInt32();
    uint32_t count = static_cast<uint32_t>(s >= 0 ? s : -static_cast<int64_t>(s)) & 31u;
    // Arithmetic right shift copies the sign bit; well defined on unsigned values with the sign restored.
    int32_t shifted = s >= 0 ? (v < 0 ? static_cast<int32_t>(~(~static_cast<uint32_t>(v) >> count)) : v >> count)
                             : static_cast<int32_t>(static_cast<uint32_t>(v) << count);
    result = Variant::int32(shifted);
    return 0;
}

int builtinBitRotate(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    int size = 16;
    if (given(args, 2)) {
        std::wstring_view letter = textArg(args, 2).view();
        wchar_t c = letter.empty() ? 0 : static_cast<wchar_t>(towupper(letter[0]));
        size = c == L'B' ? 8 : c == L'W' ? 16 : c == L'D' ? 32 : 0;
        // An unknown size is a normal failure: the statement goes on with the result.
        if (!size) return context.fail(result, Variant::int32(0));
    }
    uint32_t v = static_cast<uint32_t>(args[0].toInt32());
    int64_t s = passedInt(args, 1, 1);
    s %= size;
    if (s < 0) s += size;
    if (s == 0) {
        result = Variant::int32(static_cast<int32_t>(v));
        return 0;
    }
    uint32_t mask = size == 32 ? 0xFFFFFFFFu : ((1u << size) - 1);
    uint32_t low = v & mask;
    uint32_t rotated = ((low << s) | (low >> (size - s))) & mask;
    result = Variant::int32(static_cast<int32_t>((v & ~mask) | rotated));
    return 0;
}

int builtinRandom(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    if (!passed(args, 0)) {
        result = Variant::real(generator.unit());
        return 0;
    }
    if (!passed(args, 1)) {
        double m = args[0].toDouble();
        if (m < 0) return context.fail(result, Variant::int32(0));
        result = Variant::real(m == 0 ? 0.0 : generator.unit() * m);
        return 0;
    }
    if (args[0].is(VarKind::Array) || args[1].is(VarKind::Array)) return context.fail(result, Variant::int32(0));
    if (optInt(args, 2, 0) == 1) {
        int32_t lo = args[0].toInt32(), hi = args[1].toInt32();
        if (hi == lo) {
            result = Variant::int32(lo);
            return 0;
        }
        int64_t span = static_cast<int64_t>(hi) - lo;
        if (hi < lo || span > INT32_MAX) return context.fail(result, Variant::int32(0));
        uint32_t n = static_cast<uint32_t>(span < 0x7FFFFFF ? span + 1 : span);
        result = Variant::int32(static_cast<int32_t>(lo + static_cast<int64_t>((generator.next() >> 1) % n)));
        return 0;
    }
    double lo = args[0].toDouble(), hi = args[1].toDouble();
    if (hi == lo) {
        result = Variant::real(lo);
        return 0;
    }
    if (!(hi > lo)) return context.fail(result, Variant::int32(0));
    result = Variant::real(generator.unit() * (hi - lo) + lo);
    return 0;
}

int builtinSRandom(BuiltinContext&, BuiltinArgs args, Variant&) {
    generator.engine.seed(static_cast<uint32_t>(args[0].toInt32()));
    generator.seeded = true;
    return 0;
}

int builtinAsc(BuiltinContext&, BuiltinArgs args, Variant& result) {
    std::wstring_view t = args[0].text().view();
    std::string bytes = t.empty() ? std::string() : wideToBytes(t.substr(0, 1), CP_ACP);
    result = Variant::int32(bytes.empty() ? 0 : static_cast<uint8_t>(bytes[0]));
    return 0;
}

int builtinAscW(BuiltinContext&, BuiltinArgs args, Variant& result) {
    std::wstring_view t = args[0].text().view();
    result = Variant::int32(t.empty() ? 0 : t[0]);
    return 0;
}

namespace {

Variant unitText(wchar_t unit) { return Variant::string(WString(std::wstring_view(&unit, 1))); }

} // namespace

int builtinChr(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    int32_t code = args[0].toInt32();
    if (code >= 256) return context.fail(result, Variant::string(WString()));
    wchar_t unit = static_cast<wchar_t>(code & 0xFFFF);
    if (code >= 128) {
        char byte = static_cast<char>(code);
        std::wstring decoded = bytesToWide(std::string_view(&byte, 1), CP_ACP);
        unit = decoded.empty() ? 0 : decoded[0];
    }
    result = unitText(unit);
    return 0;
}

int builtinChrW(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    int32_t code = args[0].toInt32();
    if (code >= 65536) return context.fail(result, Variant::string(WString()));
    result = unitText(static_cast<wchar_t>(code & 0xFFFF));
    return 0;
}

int builtinBinary(BuiltinContext&, BuiltinArgs args, Variant& result) {
    result = args[0];
    result.makeBinary();
    return 0;
}

int builtinPtr(BuiltinContext&, BuiltinArgs args, Variant& result) {
    result = Variant::pointer(args[0].toPointer());
    return 0;
}

int builtinHwnd(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    uint64_t handle = args[0].toPointer();
    if (!IsWindow(reinterpret_cast<HWND>(static_cast<uintptr_t>(handle))))
        return context.fail(result, Variant::pointer(0));
    result = Variant::pointer(handle);
    return 0;
}

namespace {

template <bool (*Test)(const Variant&)> int kindTest(BuiltinContext&, BuiltinArgs args, Variant& result) {
    result = Variant::int32(Test(args[0].dereferenced()) ? 1 : 0);
    return 0;
}

bool integral(double d) { return std::isfinite(d) && std::trunc(d) == d; }
bool isArrayKind(const Variant& v) { return v.is(VarKind::Array); }
bool isBinaryKind(const Variant& v) { return v.is(VarKind::Binary); }
bool isBoolKind(const Variant& v) { return v.is(VarKind::Bool); }
bool isDllStructKind(const Variant& v) { return v.is(VarKind::DLLStruct); }
bool isFloatValue(const Variant& v) { return v.is(VarKind::Double) && !integral(v.doubleValue()); }
bool isHwndValue(const Variant& v) { return v.is(VarKind::Ptr) && IsWindow(reinterpret_cast<HWND>(static_cast<uintptr_t>(v.toPointer()))); }
bool isIntValue(const Variant& v) {
    return v.is(VarKind::Int32) || v.is(VarKind::Int64) || (v.is(VarKind::Double) && integral(v.doubleValue()));
}
bool isKeywordKind(const Variant& v) { return v.is(VarKind::Keyword); }
bool isMapKind(const Variant& v) { return v.is(VarKind::Map); }
bool isNumberKind(const Variant& v) { return v.isNumber(); }
bool isObjectKind(const Variant& v) { return v.is(VarKind::Object); }
bool isPtrKind(const Variant& v) { return v.is(VarKind::Ptr); }
bool isStringKind(const Variant& v) { return v.is(VarKind::String); }

} // namespace

int builtinIsArray(BuiltinContext& e, BuiltinArgs a, Variant& r) { return kindTest<isArrayKind>(e, a, r); }
int builtinIsBinary(BuiltinContext& e, BuiltinArgs a, Variant& r) { return kindTest<isBinaryKind>(e, a, r); }
int builtinIsBool(BuiltinContext& e, BuiltinArgs a, Variant& r) { return kindTest<isBoolKind>(e, a, r); }
int builtinIsDllStruct(BuiltinContext& e, BuiltinArgs a, Variant& r) { return kindTest<isDllStructKind>(e, a, r); }
int builtinIsFloat(BuiltinContext& e, BuiltinArgs a, Variant& r) { return kindTest<isFloatValue>(e, a, r); }
int builtinIsHwnd(BuiltinContext& e, BuiltinArgs a, Variant& r) { return kindTest<isHwndValue>(e, a, r); }
int builtinIsInt(BuiltinContext& e, BuiltinArgs a, Variant& r) { return kindTest<isIntValue>(e, a, r); }
int builtinIsKeyword(BuiltinContext& e, BuiltinArgs a, Variant& r) { return kindTest<isKeywordKind>(e, a, r); }
int builtinIsMap(BuiltinContext& e, BuiltinArgs a, Variant& r) { return kindTest<isMapKind>(e, a, r); }
int builtinIsNumber(BuiltinContext& e, BuiltinArgs a, Variant& r) { return kindTest<isNumberKind>(e, a, r); }
int builtinIsObj(BuiltinContext& e, BuiltinArgs a, Variant& r) { return kindTest<isObjectKind>(e, a, r); }
int builtinIsPtr(BuiltinContext& e, BuiltinArgs a, Variant& r) { return kindTest<isPtrKind>(e, a, r); }
int builtinIsString(BuiltinContext& e, BuiltinArgs a, Variant& r) { return kindTest<isStringKind>(e, a, r); }

} // namespace vexil
