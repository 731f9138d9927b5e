#pragma once
// A finite double as a "%e", "%f" or "%g" conversion writes it, without sign or padding: the body
// of StringFormat's real conversions and the text form of numbers.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vexil {

struct RealText {
    // Precisions run to 200000 places, but past the 17th significant digit there are only zeros:
    // those are a count. The head then holds at most 309 integer digits, or "0." and 340 places
    // down to the last digit of the smallest double.
    static constexpr size_t kHeadLimit = 352;
    char head[kHeadLimit];
    size_t headSize;
    size_t zeros;  // after the head
    char tail[8];  // the exponent: "e+001"
    size_t tailSize;

    std::string_view headText() const { return {head, headSize}; }
    std::string_view tailText() const { return {tail, tailSize}; }
    size_t size() const { return headSize + zeros + tailSize; }
};

// `conversion` is one of "eEfgG", `precision` at least 0; the sign of `value` is the caller's.
// `alternate` is the "#" flag: the point always, and "%g" keeps its trailing zeros. Exponents
// have at least three digits.
void formatReal(RealText& text, double value, char conversion, int64_t precision, bool alternate);

} // namespace vexil
