// Explicit number conversions: HEX and DEC, INT, NUMBER, ROUND and STRING.
#include "base/hex_digits.h"
#include "engine/builtins/builtin_api.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace vexil {

namespace {

enum class Width { Fitting = 0, Int32 = 1, Int64 = 2 };

Variant sizedInteger(int64_t v, Width width) {
    switch (width) {
    case Width::Int32: return Variant::int32(static_cast<int32_t>(static_cast<uint32_t>(v)));
    case Width::Int64: return Variant::int64(v);
    case Width::Fitting: break;
    }
    return v >= INT32_MIN && v <= INT32_MAX ? Variant::int32(static_cast<int32_t>(v)) : Variant::int64(v);
}

// INT's conversion; also NUMBER's for kinds 1 and 2.
Variant integerOf(const Variant& value, int32_t kind) {
    if (kind == 1) return sizedInteger(value.toInt64(), Width::Int32);
    if (kind == 2) return sizedInteger(value.toInt64(), Width::Int64);
    Variant v = value;
    v.makeInteger();
    return v;
}

Variant numberOf(const Variant& value, int32_t kind) {
    if (kind == 1 || kind == 2) return integerOf(value, kind);
    if (kind == 3) return Variant::real(value.toDouble());
    Variant v = value;
    v.makeNumber();
    return v;
}

// Exact for |v| < 2^52, where the distance to the integer below is exact: adding 0.5 first would
// round 0.49999999999999994 up.
double halfAwayFromZero(double v) {
    if (v >= 0) {
        double down = std::floor(v);
        return v - down >= 0.5 ? down + 1.0 : down;
    }
    double up = std::ceil(v);
    return up - v >= 0.5 ? up - 1.0 : up;
}

// Halves go away from zero. Scaled values that are already whole, or that scaling pushed out of
// range, keep the value itself: adding a half there would move it, and infinity has no digits.
double roundToDecimals(double x, int32_t decimals) {
    double factor = 1.0;
    double base = 10.0;
    for (uint32_t n = decimals < 0 ? 0u - static_cast<uint32_t>(decimals) : static_cast<uint32_t>(decimals); n != 0; n >>= 1) {
        if (n & 1) factor *= base;
        base *= base;
    }
    double scale = decimals < 0 ? 1.0 / factor : factor;
    if (!std::isfinite(x)) return x;
    if (scale == 0.0) return 0.0 * x;
    double scaled = x * scale;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 4503599627370496.0) return x;
    return halfAwayFromZero(scaled) / scale;
}

} // namespace

int builtinHex(BuiltinContext&, BuiltinArgs args, Variant& result) {
    const Variant& value = args[0];
    if (value.is(VarKind::Binary)) {
        std::wstring_view text = value.text().view();
        result = Variant::string(WString(text.empty() ? std::wstring_view(L"0x") : text.substr(2)));
        return 0;
    }
    uint64_t v = 0;
    int automatic = 16;
    if (value.is(VarKind::Ptr)) {
        v = value.toPointer();
    } else {
        Variant number = numberOf(value, 0);
        if (number.is(VarKind::Double)) {
            v = std::bit_cast<uint64_t>(number.doubleValue());
        } else {
            int64_t n = number.toInt64();
            v = static_cast<uint64_t>(n);
            if (!number.is(VarKind::Int64) && n >= INT32_MIN && n < 4294967296) automatic = 8;
        }
    }
    int length = automatic;
    if (given(args, 1)) length = std::clamp(args[1].toInt32(), 0, 16);
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    wchar_t digits[16];
    for (int i = length - 1; i >= 0; --i, v >>= 4) digits[i] = kDigits[v & 15];
    result = Variant::string(WString(std::wstring_view(digits, static_cast<size_t>(length))));
    return 0;
}

int builtinDec(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    std::wstring_view text = args[0].text().view();
    uint64_t v = 0;
    if (text.size() > 16) {
        context.setError(1);
    } else {
        for (wchar_t c : text) {
            int d = hexDigitValue(c);
            if (d < 0) {
                v = 0;
                context.setError(1);
                break;
            }
            v = v << 4 | static_cast<uint64_t>(d);
        }
    }
    auto n = static_cast<int64_t>(v);
    if (!passed(args, 1)) {
        result = sizedInteger(n, text.size() < 9 ? Width::Int32 : Width::Int64);
        return 0;
    }
    switch (args[1].toInt32()) {
    case 1: result = sizedInteger(n, Width::Int32); break;
    case 2: result = sizedInteger(n, Width::Int64); break;
    case 3: result = Variant::real(std::bit_cast<double>(v)); break;
    default: result = sizedInteger(n, Width::Fitting); break;
    }
    return 0;
}

int builtinInt(BuiltinContext&, BuiltinArgs args, Variant& result) {
    result = integerOf(args[0], optInt(args, 1, 0));
    return 0;
}

int builtinNumber(BuiltinContext&, BuiltinArgs args, Variant& result) {
    result = numberOf(args[0], optInt(args, 1, 0));
    return 0;
}

int builtinRound(BuiltinContext&, BuiltinArgs args, Variant& result) {
    int32_t decimals = passedInt(args, 1, 0);
    double rounded = roundToDecimals(args[0].toDouble(), decimals);
    result = Variant::real(rounded);
    if (!passed(args, 1)) result = sizedInteger(result.toInt64(), Width::Fitting);
    return 0;
}

int builtinString(BuiltinContext&, BuiltinArgs args, Variant& result) {
    result = Variant::string(args[0].text());
    return 0;
}

} // namespace vexil
