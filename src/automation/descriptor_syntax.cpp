#include "automation/descriptor_syntax.h"

#include <climits>
#include <cwctype>

namespace vexil {

int32_t descriptorNumber(std::wstring_view value) {
    size_t i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == L'-' || value[i] == L'+')) negative = value[i++] == L'-';
    int64_t n = 0;
    for (; i < value.size() && value[i] >= L'0' && value[i] <= L'9'; ++i)
        if ((n = n * 10 + (value[i] - L'0')) > INT32_MAX) n = int64_t{INT32_MAX} + 1;
    if (negative) n = -n;
    return static_cast<int32_t>(n < INT32_MIN ? INT32_MIN : n > INT32_MAX ? INT32_MAX : n);
}

bool DescriptorReader::next(DescriptorProperty& property) {
    const size_t keyStart = pos_;
    while (pos_ < inner_.size() && inner_[pos_] != L':' && inner_[pos_] != L';' && inner_[pos_] != L']') ++pos_;
    if (pos_ == keyStart) return false;
    property.key.assign(inner_.substr(keyStart, pos_ - keyStart));
    for (wchar_t& c : property.key) c = static_cast<wchar_t>(std::towupper(c));
    property.hasValue = pos_ < inner_.size() && inner_[pos_] == L':';
    if (property.hasValue) ++pos_;
    property.value.clear();
    while (pos_ < inner_.size()) {
        const wchar_t c = inner_[pos_++];
        if (c != L';') {
            property.value.push_back(c);
        } else if (pos_ < inner_.size() && inner_[pos_] == L';') {
            property.value.push_back(L';');
            ++pos_;
        } else {
            break;
        }
    }
    while (pos_ < inner_.size() && (inner_[pos_] == L' ' || inner_[pos_] == L'\t')) ++pos_;
    return true;
}

} // namespace vexil
