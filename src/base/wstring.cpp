#include "base/wstring.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <cwctype>

namespace vexil {

namespace {

// An empty view may carry a null pointer, which the platform refuses even with length 0 (and a
// refused comparison is no order).
const wchar_t* platformText(std::wstring_view text) { return text.data() ? text.data() : L""; }

// Blocks of dropped short texts, kept by capacity for the next text of that size: scripts make
// and drop short texts at a high rate, and the system heap takes a lock for every block. Only the
// thread that made the first text keeps blocks (texts are the script thread's); a block that
// another thread drops goes back to the heap.
class BlockShelves {
public:
    static constexpr size_t kLargestUnits = 128; // capacities are multiples of 8 units
    static constexpr uint32_t kKeptPerSize = 64;

    void* take(size_t capacity) {
        if (capacity > kLargestUnits || !onOwnerThread()) return nullptr;
        Shelf& shelf = shelves_[capacity / 8 - 1];
        Block* block = shelf.top;
        if (!block) return nullptr;
        shelf.top = block->next;
        --shelf.count;
        return block;
    }
    bool keep(void* memory, size_t capacity) {
        if (capacity > kLargestUnits || !onOwnerThread()) return false;
        Shelf& shelf = shelves_[capacity / 8 - 1];
        if (shelf.count == kKeptPerSize) return false;
        auto* block = static_cast<Block*>(memory);
        block->next = shelf.top;
        shelf.top = block;
        ++shelf.count;
        return true;
    }

private:
    struct Block {
        Block* next;
    };
    struct Shelf {
        Block* top = nullptr;
        uint32_t count = 0;
    };
    // A thread's environment block is its own for the thread's life, and its address (which the
    // block holds at gs:0x30) is read without a call.
    bool onOwnerThread() {
        const void* thread;
        asm("mov %%gs:0x30, %0" : "=r"(thread));
        if (!owner_) owner_ = thread;
        return owner_ == thread;
    }

    Shelf shelves_[kLargestUnits / 8];
    const void* owner_ = nullptr;
};

constinit BlockShelves shelves;

} // namespace

WString::Rep* WString::allocate(size_t capacity) {
    capacity = (capacity + 7) & ~size_t{7};
    void* memory = shelves.take(capacity);
    if (!memory) memory = ::operator new(offsetof(Rep, data) + capacity * sizeof(wchar_t));
    auto* rep = static_cast<Rep*>(memory);
    rep->refs = 1;
    rep->length = 0;
    rep->capacity = capacity;
    rep->data[0] = 0;
    return rep;
}

void WString::dispose(Rep* rep) {
    if (!shelves.keep(rep, rep->capacity)) ::operator delete(rep);
}

void WString::makeUnique(size_t needed) {
    size_t want = needed + 1;
    if (rep_ && rep_->refs == 1 && rep_->capacity >= want) return;
    size_t capacity = want;
    if (rep_ && rep_->refs == 1) capacity = std::max(want, rep_->capacity * 2); // growing in place
    Rep* fresh = allocate(capacity);
    if (rep_) {
        std::memcpy(fresh->data, rep_->data, (rep_->length + 1) * sizeof(wchar_t));
        fresh->length = rep_->length;
    }
    release();
    rep_ = fresh;
}

void WString::assign(std::wstring_view text) {
    if (text.empty()) {
        release();
        return;
    }
    if (rep_ && rep_->refs == 1 && rep_->capacity > text.size() && text.data() != rep_->data) {
        std::memmove(rep_->data, text.data(), text.size() * sizeof(wchar_t));
    } else {
        Rep* fresh = allocate(text.size() + 1);
        std::memcpy(fresh->data, text.data(), text.size() * sizeof(wchar_t));
        release();
        rep_ = fresh;
    }
    rep_->length = text.size();
    rep_->data[text.size()] = 0;
}

void WString::append(std::wstring_view text) {
    if (text.empty()) return;
    if (!rep_) {
        assign(text);
        return;
    }
    size_t length = rep_->length;
    // The text may lie inside this string's own buffer, which growing would free; a shared buffer
    // outlives the growing, as its other holders keep it.
    if (rep_->refs == 1 && text.data() >= rep_->data && text.data() < rep_->data + rep_->capacity) {
        std::wstring copy(text);
        append(copy);
        return;
    }
    makeUnique(length + text.size());
    std::memcpy(rep_->data + length, text.data(), text.size() * sizeof(wchar_t));
    rep_->length = length + text.size();
    rep_->data[rep_->length] = 0;
}

wchar_t* WString::resize(size_t length) {
    makeUnique(length);
    if (length > rep_->length) std::fill(rep_->data + rep_->length, rep_->data + length, L'\0');
    rep_->length = length;
    rep_->data[length] = 0;
    return rep_->data;
}

void WString::reserve(size_t capacity) {
    size_t length = size();
    makeUnique(std::max(capacity, length));
}

std::wstring upperCase(std::wstring_view text) {
    std::wstring upper(text);
    for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(c));
    return upper;
}

int WString::compare(std::wstring_view a, std::wstring_view b, int mode) {
    // The platform takes int lengths; longer texts fall back to the basic comparison.
    bool fits = a.size() <= INT_MAX && b.size() <= INT_MAX;
    if ((mode == 0 || mode == 1) && fits) {
        LCID locale = mode == 0 ? LOCALE_USER_DEFAULT : 1033;
        int r = CompareStringW(locale, NORM_IGNORECASE, platformText(a), static_cast<int>(a.size()), platformText(b),
                               static_cast<int>(b.size()));
        if (r != 0) return r - CSTR_EQUAL;
        // A refused comparison (an unknown locale) still orders the texts, never calls them equal.
    }
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        wchar_t ca = a[i], cb = b[i];
        if (ca != cb) {
            wchar_t la = static_cast<wchar_t>(std::towlower(ca)), lb = static_cast<wchar_t>(std::towlower(cb));
            if (la != lb) return la < lb ? -1 : 1;
        }
    }
    // Embedded zeros count as units: a proper prefix is smaller, even of a text that goes on with a zero.
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace vexil
