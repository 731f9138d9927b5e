#pragma once
// The bracketed property lists that name windows and controls, such as
// "[CLASS:Notepad; INSTANCE:2]": keys (any case) with values, a doubled ";;" standing for a
// literal ";" inside a value.
#include <cstdint>
#include <string>
#include <string_view>

namespace vexil {

struct DescriptorProperty {
    std::wstring key; // upper-cased
    std::wstring value;
    bool hasValue = false; // a ":" followed the key
};

// The text begins with "[" and ends with "]".
inline bool isBracketed(std::wstring_view text) {
    return text.size() >= 2 && text.front() == L'[' && text.back() == L']';
}

// A property's number: leading decimal digits after an optional sign, saturated to 32 bits;
// anything else reads as 0.
int32_t descriptorNumber(std::wstring_view value);

// Reads the properties of a bracketed text one after another.
class DescriptorReader {
public:
    // `bracketed` must satisfy isBracketed.
    explicit DescriptorReader(std::wstring_view bracketed) : inner_(bracketed.substr(1, bracketed.size() - 2)) {}
    // The next property; false when the list is over (an empty key ends it).
    bool next(DescriptorProperty& property);

private:
    std::wstring_view inner_;
    size_t pos_ = 0;
};

} // namespace vexil
