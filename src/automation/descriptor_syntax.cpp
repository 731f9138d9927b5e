#include "automation/descriptor_syntax.h"

#include <cwctype>

namespace vexil {

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
