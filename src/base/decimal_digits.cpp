#include "base/decimal_digits.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vexil {

DecimalDigits decimalDigits(double value) {
    // "d.dddddddddddddddde-ddd": 17 digits, the point and an exponent of up to three digits.
    char text[32];
    auto end = std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific,
                             kSignificantDigits - 1).ptr;
    DecimalDigits number;
    number.digits[0] = text[0];
    std::copy(text + 2, text + 1 + kSignificantDigits, number.digits + 1);
    const char* sign = text + 2 + kSignificantDigits; // after the 'e'
    int exponent = 0;
    for (const char* p = sign + 1; p < end; ++p) exponent = exponent * 10 + (*p - '0');
    number.exponent = *sign == '-' ? -exponent : exponent;
    return number;
}

void roundHalfUp(DecimalDigits& number, int64_t count) {
    if (count >= kSignificantDigits) return;
    char* digits = number.digits;
    if (count < 0) {
        std::fill(digits, digits + kSignificantDigits, '0');
        return;
    }
    auto kept = static_cast<int>(count);
    bool up = digits[kept] >= '5';
    std::fill(digits + kept, digits + kSignificantDigits, '0');
    if (!up) return;
    int i = kept - 1;
    for (; i >= 0 && digits[i] == '9'; --i) digits[i] = '0';
    if (i >= 0) {
        ++digits[i];
    } else {
        digits[0] = '1';
        ++number.exponent;
    }
}

} // namespace vexil
