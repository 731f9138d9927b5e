#include "automation/control_descriptor.h"
#include "automation/descriptor_syntax.h"

namespace vexil {

namespace {

struct ControlKey {
    const wchar_t* key;
    uint32_t bit;
};
constexpr ControlKey kKeys[] = {
    {L"CLASS", kControlClass}, {L"INSTANCE", kControlInstance}, {L"TEXT", kControlText}, {L"CLASSNN", kControlClassNN},
    {L"REGEXPCLASS", kControlRegexpClass}, {L"ID", kControlId}, {L"X", kControlX}, {L"Y", kControlY},
    {L"W", kControlW}, {L"H", kControlH}, {L"NAME", kControlName},
};

bool setProperty(ControlQuery& query, uint32_t bit, const std::wstring& value) {
    query.criteria |= bit;
    switch (bit) {
    case kControlClass: query.className = value; return true;
    case kControlText: query.text = value; return true;
    case kControlClassNN: query.classNN = value; return true;
    case kControlName: query.name = value; return true;
    case kControlRegexpClass: {
        query.classRegex = std::make_unique<Regex>();
        size_t errorOffset = 0;
        return query.classRegex->compile(value, errorOffset);
    }
    case kControlInstance: query.instance = descriptorNumber(value); return true;
    case kControlId: query.id = descriptorNumber(value); return true;
    case kControlX: query.x = descriptorNumber(value); return true;
    case kControlY: query.y = descriptorNumber(value); return true;
    case kControlW: query.w = descriptorNumber(value); return true;
    default: query.h = descriptorNumber(value); return true;
    }
}

bool allDigits(std::wstring_view text) {
    if (text.empty()) return false;
    for (wchar_t c : text)
        if (c < L'0' || c > L'9') return false;
    return true;
}

} // namespace

bool buildControlQuery(std::wstring_view descriptor, ControlQuery& query) {
    if (!isBracketed(descriptor)) {
        query.criteria = kControlClassNN;
        query.classNN = descriptor;
        return true;
    }
    DescriptorReader reader(descriptor);
    DescriptorProperty property;
    while (reader.next(property)) {
        const ControlKey* known = nullptr;
        for (const ControlKey& key : kKeys)
            if (property.key == key.key) known = &key;
        if (!known || !setProperty(query, known->bit, property.value)) return false;
    }
    return true;
}

std::wstring classNNText(std::wstring_view className, uint32_t ordinal) {
    std::wstring text(className);
    text += std::to_wstring(ordinal);
    return text;
}

bool ControlMatcher::classNNMatches(std::wstring_view className) {
    const std::wstring_view wanted = query_.classNN;
    if (wanted.size() <= className.size() || !wanted.starts_with(className) || !allDigits(wanted.substr(className.size())))
        return false;
    return classNNText(className, ++classNNCount_) == wanted;
}

bool ControlMatcher::matches(ControlFacts& control) {
    const uint32_t criteria = query_.criteria;
    if (criteria & kControlId) return control.id() == query_.id;
    // Every control of the wanted class is numbered, whatever the other criteria say.
    if ((criteria & kControlClassNN) && !classNNMatches(control.className())) return false;
    if ((criteria & kControlClass) && control.className() != query_.className) return false;
    if ((criteria & kControlRegexpClass)) {
        query_.classRegex->setSubject(WString(control.className()));
        size_t offset = 0;
        if (query_.classRegex->nextMatch(offset, false) <= 0) return false;
    }
    if ((criteria & kControlText) && control.text() != query_.text) return false;
    if (criteria & (kControlX | kControlY | kControlW | kControlH)) {
        int32_t x = 0, y = 0, w = 0, h = 0;
        control.placement(x, y, w, h);
        if (((criteria & kControlX) && x != query_.x) || ((criteria & kControlY) && y != query_.y) ||
            ((criteria & kControlW) && w != query_.w) || ((criteria & kControlH) && h != query_.h))
            return false;
    }
    if ((criteria & kControlName) && control.formsName() != query_.name) return false;
    if (criteria & kControlInstance) return ++instanceCount_ == query_.instance;
    return true;
}

} // namespace vexil
