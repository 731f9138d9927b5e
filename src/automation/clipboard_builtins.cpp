// CLIPGET and CLIPPUT: the clipboard as text.
#include "engine/builtins/builtin_api.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

namespace vexil {

namespace {

// Another program may hold the clipboard for a moment: a few tries, then a failure, never a hang.
bool openClipboard(void* owner) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (OpenClipboard(static_cast<HWND>(owner))) return true;
        Sleep(25);
    }
    return false;
}

struct OpenedClipboard {
    bool open;
    explicit OpenedClipboard(void* owner) : open(openClipboard(owner)) {}
    ~OpenedClipboard() {
        if (open) CloseClipboard();
    }
};

// The text of a locked global block, up to its first zero or its end.
WString lockedText(HGLOBAL block, bool wide, bool& locked) {
    const void* data = GlobalLock(block);
    locked = data != nullptr;
    if (!data) return {};
    const size_t bytes = GlobalSize(block);
    WString text;
    if (wide) {
        const auto* units = static_cast<const wchar_t*>(data);
        size_t length = 0;
        while (length < bytes / sizeof(wchar_t) && units[length]) ++length;
        text = WString(std::wstring_view(units, length));
    } else {
        const auto* chars = static_cast<const char*>(data);
        size_t length = 0;
        while (length < bytes && chars[length]) ++length;
        const int units = MultiByteToWideChar(CP_ACP, 0, chars, static_cast<int>(length), nullptr, 0);
        std::wstring converted(static_cast<size_t>(units), L'\0');
        MultiByteToWideChar(CP_ACP, 0, chars, static_cast<int>(length), converted.data(), units);
        text = WString(converted);
    }
    GlobalUnlock(block);
    return text;
}

WString droppedFiles(HDROP drop) {
    std::wstring names;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring name(DragQueryFileW(drop, i, nullptr, 0), L'\0');
        DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size() + 1));
        if (i > 0) names += L'\n';
        names += name;
    }
    return WString(names);
}

} // namespace

int builtinClipGet(BuiltinContext& context, BuiltinArgs, Variant& result) {
    result = textValue(L"");
    OpenedClipboard clipboard(context.mainWindow());
    if (!clipboard.open) return context.fail(3);
    const UINT format = IsClipboardFormatAvailable(CF_UNICODETEXT) ? CF_UNICODETEXT
                        : IsClipboardFormatAvailable(CF_TEXT)     ? CF_TEXT
                        : IsClipboardFormatAvailable(CF_HDROP)    ? CF_HDROP
                                                                  : 0;
    if (format == 0) return context.fail(CountClipboardFormats() == 0 ? 1 : 2);
    HANDLE data = GetClipboardData(format);
    if (!data) return context.fail(3);
    if (format == CF_HDROP) {
        result = Variant::string(droppedFiles(static_cast<HDROP>(data)));
        context.setExtended(Variant::int32(1));
        return 0;
    }
    bool locked = false;
    WString text = lockedText(data, format == CF_UNICODETEXT, locked);
    if (!locked) return context.fail(4);
    result = Variant::string(std::move(text));
    return 0;
}

int builtinClipPut(BuiltinContext& context, BuiltinArgs args, Variant& result) {
    const WString& text = textArg(args, 0);
    // Another test's or program's clipboard is not a fenced run's to change.
    if (context.fenced()) return context.fail(result, Variant::int32(0));
    OpenedClipboard clipboard(context.mainWindow());
    if (!clipboard.open) return context.fail(result, Variant::int32(0));
    if (text.empty()) {
        EmptyClipboard();
        return 0;
    }
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!block) return context.fail(result, Variant::int32(0), 3);
    void* data = GlobalLock(block);
    if (!data) {
        GlobalFree(block);
        return context.fail(result, Variant::int32(0), 4);
    }
    std::memcpy(data, text.view().data(), text.size() * sizeof(wchar_t));
    static_cast<wchar_t*>(data)[text.size()] = L'\0';
    GlobalUnlock(block);
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, block)) {
        GlobalFree(block);
        return context.fail(result, Variant::int32(0));
    }
    return 0;
}

} // namespace vexil
