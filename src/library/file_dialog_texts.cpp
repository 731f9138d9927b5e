#include "library/file_dialog_texts.h"

#include <windows.h>

#include <commdlg.h>

namespace vexil {

bool buildFilterList(std::wstring_view filter, std::wstring& list) {
    list.clear();
    size_t start = 0;
    for (;;) {
        size_t bar = filter.find(L'|', start);
        std::wstring_view group = filter.substr(start, bar == std::wstring_view::npos ? std::wstring_view::npos : bar - start);
        size_t open = group.find(L'(');
        size_t close = group.find_last_of(L')');
        if (open == std::wstring_view::npos || close == std::wstring_view::npos || close < open) {
            list.clear();
            return false;
        }
        list.append(group);
        list.push_back(L'\0');
        list.append(group.substr(open + 1, close - open - 1));
        list.push_back(L'\0');
        if (bar == std::wstring_view::npos) break;
        start = bar + 1;
    }
    list.push_back(L'\0');
    return true;
}

uint32_t fileDialogFlags(bool optionsGiven, int32_t options) {
    uint32_t flags = OFN_EXPLORER | OFN_HIDEREADONLY;
    if (!optionsGiven || options < 0 || options > 31) return flags;
    if (options & 1) flags |= OFN_FILEMUSTEXIST;
    if (options & 2) flags |= OFN_PATHMUSTEXIST;
    if (options & 4) flags |= OFN_ALLOWMULTISELECT;
    if (options & 8) flags |= OFN_CREATEPROMPT;
    if (options & 16) flags |= OFN_OVERWRITEPROMPT;
    return flags;
}

std::wstring chosenFiles(std::wstring_view buffer) {
    size_t end = buffer.find(L'\0');
    std::wstring out(buffer.substr(0, end));
    while (end != std::wstring_view::npos && end + 1 < buffer.size() && buffer[end + 1] != L'\0') {
        size_t next = buffer.find(L'\0', end + 1);
        out += L'|';
        out.append(buffer.substr(end + 1, next == std::wstring_view::npos ? std::wstring_view::npos : next - end - 1));
        end = next;
    }
    return out;
}

} // namespace vexil
