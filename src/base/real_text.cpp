#include "base/real_text.h"

#include "base/decimal_digits.h"

#include <algorithm>

namespace vexil {

namespace {

char digitAt(const DecimalDigits& number, int64_t i) {
    return i >= 0 && i < kSignificantDigits ? number.digits[i] : '0';
}

// The digits are already rounded to the places shown.
void writeFixed(RealText& text, const DecimalDigits& number, int64_t precision, bool point) {
    char* out = text.head;
    if (number.exponent < 0) *out++ = '0';
    for (int i = 0; i <= number.exponent; ++i) *out++ = digitAt(number, i);
    if (precision > 0 || point) *out++ = '.';
    int64_t places = std::min<int64_t>(precision, std::max(0, kSignificantDigits - 1 - number.exponent));
    for (int64_t i = 1; i <= places; ++i) *out++ = digitAt(number, number.exponent + i);
    text.headSize = static_cast<size_t>(out - text.head);
    text.zeros = static_cast<size_t>(precision - places);
    text.tailSize = 0;
}

void writeScientific(RealText& text, const DecimalDigits& number, int64_t precision, bool point, char letter) {
    char* out = text.head;
    *out++ = number.digits[0];
    if (precision > 0 || point) *out++ = '.';
    int64_t places = std::min<int64_t>(precision, kSignificantDigits - 1);
    out = std::copy(number.digits + 1, number.digits + 1 + places, out);
    text.headSize = static_cast<size_t>(out - text.head);
    text.zeros = static_cast<size_t>(precision - places);

    out = text.tail;
    *out++ = letter;
    *out++ = number.exponent < 0 ? '-' : '+';
    int magnitude = number.exponent < 0 ? -number.exponent : number.exponent;
    *out++ = static_cast<char>('0' + magnitude / 100);
    *out++ = static_cast<char>('0' + magnitude / 10 % 10);
    *out++ = static_cast<char>('0' + magnitude % 10);
    text.tailSize = static_cast<size_t>(out - text.tail);
}

// "%g" without "#" drops the zeros that end the fraction, and a point with nothing after it.
void dropTrailingZeros(RealText& text) {
    text.zeros = 0;
    std::string_view head = text.headText();
    if (head.find('.') == std::string_view::npos) return;
    size_t keep = head.find_last_not_of('0') + 1;
    if (head[keep - 1] == '.') --keep;
    text.headSize = keep;
}

} // namespace

void formatReal(RealText& text, double value, char conversion, int64_t precision, bool alternate) {
    DecimalDigits number = decimalDigits(value);
    bool upper = conversion == 'E' || conversion == 'G';
    switch (conversion) {
    case 'f':
        roundHalfUp(number, number.exponent + 1 + precision);
        writeFixed(text, number, precision, alternate);
        break;
    case 'e':
    case 'E':
        roundHalfUp(number, precision + 1);
        writeScientific(text, number, precision, alternate, upper ? 'E' : 'e');
        break;
    default: { // g, G: fixed unless the rounded exponent is below -4 or reaches the precision
        int64_t significant = std::max<int64_t>(precision, 1);
        roundHalfUp(number, significant);
        if (number.exponent >= -4 && number.exponent < significant)
            writeFixed(text, number, significant - 1 - number.exponent, alternate);
        else
            writeScientific(text, number, significant - 1, alternate, upper ? 'E' : 'e');
        if (!alternate) dropTrailingZeros(text);
        break;
    }
    }
}

} // namespace vexil
