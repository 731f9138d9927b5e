#include "library/file_attributes.h"

#include <windows.h>

#include <cwctype>

namespace vexil {

namespace {

struct Letter {
    wchar_t letter;
    uint32_t attribute;
    bool settable;
};
constexpr Letter kLetters[] = {
    {L'R', FILE_ATTRIBUTE_READONLY, true},   {L'A', FILE_ATTRIBUTE_ARCHIVE, true},
    {L'S', FILE_ATTRIBUTE_SYSTEM, true},     {L'H', FILE_ATTRIBUTE_HIDDEN, true},
    {L'N', FILE_ATTRIBUTE_NORMAL, true},     {L'D', FILE_ATTRIBUTE_DIRECTORY, false},
    {L'O', FILE_ATTRIBUTE_OFFLINE, true},    {L'C', FILE_ATTRIBUTE_COMPRESSED, false},
    {L'T', FILE_ATTRIBUTE_TEMPORARY, true},  {L'X', FILE_ATTRIBUTE_ENCRYPTED, false},
};

} // namespace

std::wstring attributeLetters(uint32_t attributes) {
    std::wstring letters;
    for (const Letter& l : kLetters)
        if (attributes & l.attribute) letters += l.letter;
    return letters;
}

bool parseAttributeChange(std::wstring_view text, AttributeChange& change) {
    change = {};
    bool adding = true;
    for (wchar_t c : text) {
        if (c == L'+' || c == L'-') {
            adding = c == L'+';
            continue;
        }
        const wchar_t upper = static_cast<wchar_t>(std::towupper(c));
        const Letter* found = nullptr;
        for (const Letter& l : kLetters)
            if (l.letter == upper && l.settable) found = &l;
        if (!found) return false;
        (adding ? change.add : change.remove) |= found->attribute;
    }
    return true;
}

uint32_t AttributeChange::applyTo(uint32_t attributes) const {
    constexpr uint32_t kSettable = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                   FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_TEMPORARY |
                                   FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    // "Normal" stands for no attribute at all: adding it clears the others first.
    const uint32_t base = (add & FILE_ATTRIBUTE_NORMAL) ? 0 : attributes;
    uint32_t next = ((base | add) & ~remove) & kSettable;
    if (next & ~FILE_ATTRIBUTE_NORMAL) next &= ~FILE_ATTRIBUTE_NORMAL;
    return next ? next : FILE_ATTRIBUTE_NORMAL;
}

} // namespace vexil
