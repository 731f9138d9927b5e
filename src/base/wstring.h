#pragma once
// WString: the text type of script values. UTF-16, copy-on-write: copies share one buffer under
// a reference count, and a change first gives the string a buffer of its own. Appends grow the
// capacity geometrically, so building a string piece by piece stays linear.
#include <cstdint>
#include <string>
#include <string_view>

namespace vexil {

class WString {
public:
    WString() = default;
    WString(std::wstring_view text) { assign(text); } // NOLINT: texts convert freely
    WString(const wchar_t* text) : WString(std::wstring_view(text)) {}
    WString(const std::wstring& text) : WString(std::wstring_view(text)) {}
    WString(const WString& other) : rep_(other.rep_) {
        if (rep_) ++rep_->refs;
    }
    WString(WString&& other) noexcept : rep_(other.rep_) { other.rep_ = nullptr; }
    WString& operator=(const WString& other) {
        if (other.rep_) ++other.rep_->refs;
        release();
        rep_ = other.rep_;
        return *this;
    }
    WString& operator=(WString&& other) noexcept {
        if (this != &other) {
            release();
            rep_ = other.rep_;
            other.rep_ = nullptr;
        }
        return *this;
    }
    ~WString() { release(); }

    size_t size() const { return rep_ ? rep_->length : 0; }
    // No buffer at all: the empty text that costs nothing to copy or release.
    bool isNull() const { return rep_ == nullptr; }
    bool empty() const { return size() == 0; }
    const wchar_t* c_str() const { return rep_ ? rep_->data : L""; }
    // Never a null pointer, even when empty: the platform refuses a null text of length 0.
    std::wstring_view view() const { return rep_ ? std::wstring_view(rep_->data, rep_->length) : std::wstring_view(L"", 0); }
    operator std::wstring_view() const { return view(); } // NOLINT
    wchar_t operator[](size_t i) const { return rep_->data[i]; }

    void clear() { release(); }
    void assign(std::wstring_view text);
    void append(std::wstring_view text);
    void append(wchar_t c) { append(std::wstring_view(&c, 1)); }
    WString& operator+=(std::wstring_view text) {
        append(text);
        return *this;
    }
    // Room for `length` units, the text kept; the string's own buffer, ready to be written.
    wchar_t* resize(size_t length);
    void reserve(size_t capacity);

    friend bool operator==(const WString& a, const WString& b) { return a.view() == b.view(); }

    // Comparison modes: 0 the user's locale without case, 1 English (US) without case,
    // 2 code unit by code unit with both units lower-cased at the first difference. -1, 0 or 1.
    static int compare(std::wstring_view a, std::wstring_view b, int mode);

private:
    struct Rep {
        uint32_t refs;
        size_t length;
        size_t capacity; // units, the terminator included
        wchar_t data[1];
    };
    static Rep* allocate(size_t capacity);
    static void dispose(Rep* rep);
    void release() {
        if (rep_ && --rep_->refs == 0) dispose(rep_);
        rep_ = nullptr;
    }
    // Makes the buffer this string's own with room for `needed` units plus the terminator.
    void makeUnique(size_t needed);

    Rep* rep_ = nullptr;
};

// A name upper-cased as names are compared (the C runtime's towupper, unit by unit).
std::wstring upperCase(std::wstring_view text);

} // namespace vexil
