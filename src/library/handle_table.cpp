#include "library/handle_table.h"

#include "engine/builtins.h"
#include "engine/value.h"

#include <windows.h>

#include <cmath>
#include <vector>

namespace vexil {

FileSearch::~FileSearch() {
    if (find && find != INVALID_HANDLE_VALUE) FindClose(find);
}

HandleTable::~HandleTable() {
    // Streams flush what they still hold as they close.
    slots_.clear();
}

size_t HandleTable::freeSlot() {
    for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i].empty()) return i;
    slots_.emplace_back();
    return slots_.size() - 1;
}

int HandleTable::add(std::unique_ptr<FileStream> stream) {
    size_t i = freeSlot();
    slots_[i].stream = std::move(stream);
    return static_cast<int>(i + 1);
}

int HandleTable::add(std::unique_ptr<FileSearch> search) {
    size_t i = freeSlot();
    slots_[i].search = std::move(search);
    return static_cast<int>(i + 1);
}

HandleTable::Slot* HandleTable::slot(const Variant& handle) {
    const Variant& v = handle.dereferenced();
    int64_t n = 0;
    switch (v.kind()) {
    case VarKind::Int32: n = v.int32Value(); break;
    case VarKind::Int64: n = v.int64Value(); break;
    case VarKind::Double:
        if (!(v.doubleValue() >= 1 && v.doubleValue() <= static_cast<double>(slots_.size()))) return nullptr;
        n = static_cast<int64_t>(v.doubleValue());
        break;
    default: return nullptr; // a text is a file name, never a handle
    }
    if (n < 1 || static_cast<uint64_t>(n) > slots_.size()) return nullptr;
    return &slots_[static_cast<size_t>(n - 1)];
}

FileStream* HandleTable::stream(const Variant& handle) {
    Slot* s = slot(handle);
    return s ? s->stream.get() : nullptr;
}

FileSearch* HandleTable::search(const Variant& handle) {
    Slot* s = slot(handle);
    return s ? s->search.get() : nullptr;
}

HandleTable::CloseResult HandleTable::close(const Variant& handle) {
    Slot* s = slot(handle);
    if (!s || s->empty()) return CloseResult::Invalid;
    bool written = !s->stream || s->stream->close();
    s->stream.reset();
    s->search.reset();
    while (!slots_.empty() && slots_.back().empty()) slots_.pop_back();
    return written ? CloseResult::Closed : CloseResult::WriteLost;
}

void HandleTable::flushPendingWrites() {
    if (!pendingWrites_) return;
    for (Slot& s : slots_)
        if (s.stream) s.stream->drainWrites();
    pendingWrites_ = false;
}

bool HandleTable::leavesFilesAlone(int builtinIndex) {
    // Built-ins that only compute, and the buffered writes themselves; everything else (processes,
    // dialogs, console output, other file built-ins) may let someone look at the files.
    static const std::vector<bool> table = [] {
        static constexpr std::wstring_view kNames[] = {
            L"ABS", L"ACOS", L"ASC", L"ASCW", L"ASIN", L"ATAN", L"BINARY", L"BINARYLEN", L"BINARYMID",
            L"BINARYTOSTRING", L"BITAND", L"BITNOT", L"BITOR", L"BITROTATE", L"BITSHIFT", L"BITXOR", L"CEILING",
            L"CHR", L"CHRW", L"COS", L"DEC", L"EXP", L"FILEGETPOS", L"FILEWRITE", L"FILEWRITELINE", L"FLOOR",
            L"HEX", L"INT", L"ISARRAY", L"ISBINARY", L"ISBOOL", L"ISDECLARED", L"ISDLLSTRUCT", L"ISFLOAT",
            L"ISFUNC", L"ISHWND", L"ISINT", L"ISKEYWORD", L"ISMAP", L"ISNUMBER", L"ISOBJ", L"ISPTR", L"ISSTRING",
            L"LOG", L"MAPAPPEND", L"MAPEXISTS", L"MAPKEYS", L"MAPREMOVE", L"MOD", L"NUMBER", L"PTR", L"RANDOM",
            L"ROUND", L"SETERROR", L"SETEXTENDED", L"SIN", L"SQRT", L"SRANDOM", L"STRING", L"STRINGADDCR",
            L"STRINGCOMPARE", L"STRINGFORMAT", L"STRINGFROMASCIIARRAY", L"STRINGINSTR", L"STRINGISALNUM",
            L"STRINGISALPHA", L"STRINGISASCII", L"STRINGISDIGIT", L"STRINGISFLOAT", L"STRINGISINT",
            L"STRINGISLOWER", L"STRINGISSPACE", L"STRINGISUPPER", L"STRINGISXDIGIT", L"STRINGLEFT", L"STRINGLEN",
            L"STRINGLOWER", L"STRINGMID", L"STRINGREGEXP", L"STRINGREGEXPREPLACE", L"STRINGREPLACE",
            L"STRINGREVERSE", L"STRINGRIGHT", L"STRINGSPLIT", L"STRINGSTRIPCR", L"STRINGSTRIPWS",
            L"STRINGTOASCIIARRAY", L"STRINGTOBINARY", L"STRINGTRIMLEFT", L"STRINGTRIMRIGHT", L"STRINGUPPER",
            L"TAN", L"TIMERDIFF", L"TIMERINIT", L"UBOUND", L"VARGETTYPE",
        };
        std::vector<bool> marks(static_cast<size_t>(builtinCount()), false);
        for (std::wstring_view name : kNames) {
            int i = findBuiltin(name);
            if (i >= 0) marks[static_cast<size_t>(i)] = true;
        }
        return marks;
    }();
    return builtinIndex >= 0 && static_cast<size_t>(builtinIndex) < table.size() && table[static_cast<size_t>(builtinIndex)];
}

} // namespace vexil
