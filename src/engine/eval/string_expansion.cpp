// String literals with the ExpandEnvStrings and ExpandVarStrings options: %name% becomes an
// environment variable, $name$ a variable's text and @name@ a macro's text.
#include "engine/engine.h"
#include "engine/eval/macros.h"

#include <windows.h>

#include <cwctype>

namespace vexil {

namespace {

// One left-to-right scan: "mm" gives m; m name m gives lookup(name), or stays as written when
// lookup fails; a marker whose name runs to the end stays as it is.
template <class Lookup> WString expand(std::wstring_view text, std::wstring_view markers, Lookup lookup) {
    if (text.find_first_of(markers) == std::wstring_view::npos) return WString(text);
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        wchar_t c = text[i];
        if (markers.find(c) == std::wstring_view::npos) {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == c) {
            out += c;
            i += 2;
            continue;
        }
        size_t close = text.find(c, i + 1);
        if (close == std::wstring_view::npos) {
            out.append(text.substr(i));
            break;
        }
        std::wstring_view name = text.substr(i + 1, close - i - 1);
        std::wstring value;
        if (lookup(c, name, value)) out += value;
        else out.append(text.substr(i, close - i + 1));
        i = close + 1;
    }
    return WString(out);
}

} // namespace

WString Engine::expandString(const WString& literal) {
    WString text = literal;
    if (options_.expandEnvStrings) {
        text = expand(text.view(), L"%", [](wchar_t, std::wstring_view name, std::wstring& value) {
            wchar_t buffer[4096];
            std::wstring key(name);
            DWORD n = GetEnvironmentVariableW(key.c_str(), buffer, 4096);
            if (n == 0 || n >= 4096) return false;
            value.assign(buffer, n);
            return true;
        });
    }
    if (options_.expandVarStrings) {
        text = expand(text.view(), L"$@", [this](wchar_t marker, std::wstring_view name, std::wstring& value) {
            if (marker == L'$') {
                const NamePool::Name* pooled = names_.find(upperCase(name));
                Variable* v = pooled ? findVariable(pooled->id) : nullptr;
                if (!v) return false;
                value = v->value->text().view();
                return true;
            }
            Variant macro;
            if (vexil::readMacro(*this, findMacro(upperCase(name)), macro) != MacroResult::Value) return false;
            value = macro.text().view();
            return true;
        });
    }
    return text;
}

} // namespace vexil
