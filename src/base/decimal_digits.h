#pragma once
// The decimal digits every number text is made from. A double is first taken to 17 significant
// digits, correctly rounded; a shorter form rounds those digits half-up, and places past the
// 17th digit are zeros. Rounding twice is deliberate: it is how scripts have always seen their
// numbers written (0.125 to two places is 0.13, 2.5 to none is 3).
#include <cstdint>

namespace vexil {

constexpr int kSignificantDigits = 17;

struct DecimalDigits {
    char digits[kSignificantDigits]; // '0' to '9'; all '0' for zero
    int exponent;                    // the value is digits[0].digits[1]digits[2]... times 10^exponent
};

// The 17 significant digits of a finite double of either sign, its sign ignored.
DecimalDigits decimalDigits(double value);

// Keeps the first `count` digits, rounded half-up on the next one, and makes the rest zeros. A
// carry out of the first digit leaves "1000..." one power of ten higher. A count of 0 keeps a
// carry only; a negative count leaves zero.
void roundHalfUp(DecimalDigits& number, int64_t count);

} // namespace vexil
