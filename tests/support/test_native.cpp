// vexil-test-native.dll: native functions for the script tests of DLLCALL and callbacks. Each
// export does one plain, checkable thing with what it is given, so that a script can compare
// every value class, slot and callback exactly.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>

#define EXPORT extern "C" __declspec(dllexport)

// One more than the argument, in the width of its type: the script sees both directions of a class
// (and the wrap at its end).
#define NEXT(NAME, TYPE) \
    EXPORT TYPE next_##NAME(TYPE v) { return static_cast<TYPE>(v + 1); }
NEXT(byte, uint8_t)
NEXT(short, int16_t)
NEXT(ushort, uint16_t)
NEXT(int, int32_t)
NEXT(uint, uint32_t)
NEXT(int64, int64_t)
NEXT(uint64, uint64_t)
NEXT(intptr, intptr_t)
NEXT(uintptr, uintptr_t)
#undef NEXT

EXPORT float half_float(float v) { return v / 2; }
EXPORT double half_double(double v) { return v / 2; }
EXPORT char* next_ptr(char* p) { return p + 1; }
EXPORT void* same_ptr(void* p) { return p; }
EXPORT void do_nothing() {}
EXPORT int add_one(int v) { return v + 1; }

// Texts: changed in place (the caller's buffer) and handed back.
EXPORT char* upper_str(char* s) { return CharUpperA(s); }
EXPORT wchar_t* upper_wstr(wchar_t* s) { return CharUpperW(s); }
EXPORT const char* greeting_str() { return "hello from the library"; }
EXPORT const wchar_t* greeting_wstr() { return L"hello from the library \u00e9\u4e2d"; }
EXPORT const wchar_t* null_wstr() { return nullptr; }
EXPORT int is_null(const void* p) { return p == nullptr; }

// Writing through what the caller passed.
EXPORT void write_int(int* p) { *p = 7; }
EXPORT void write_double(double* p) { *p = *p * 4 + 0.5; }
EXPORT void write_float(float* p) { *p = -*p; }
EXPORT void write_int64(int64_t* p) { *p = -(*p) - 1; }
EXPORT void write_byte(uint8_t* p) { *p = static_cast<uint8_t>(*p + 200); }
EXPORT void write_ptr(void** p) { *p = reinterpret_cast<void*>(0x12345678); }
// Fills a buffer with `count` letters a..z over and over, and its terminator.
template <class Unit>
void fillLetters(Unit* buffer, int count) {
    for (int i = 0; i < count; ++i) buffer[i] = static_cast<Unit>('a' + i % 26);
    buffer[count] = 0;
}
EXPORT void fill_str(char* buffer, int count) { fillLetters(buffer, count); }
EXPORT void fill_wstr(wchar_t* buffer, int count) { fillLetters(buffer, count); }
// By reference a text's slot holds its buffer's address: the callee may fill the buffer...
EXPORT void fill_wstr_ref(wchar_t** buffer, int count) { fillLetters(*buffer, count); }
EXPORT void fill_str_ref(char** buffer, int count) { fillLetters(*buffer, count); }
// ... or put a text of its own in the slot.
EXPORT void replace_wstr_ref(const wchar_t** slot) { *slot = L"replaced by the library"; }

// Ten mixed arguments, the first four in registers (integer and floating by type), the rest on
// the stack: the text says exactly what arrived where.
static wchar_t mixText[512];
EXPORT const wchar_t* describe_mix(int a, double b, int64_t c, float d, uint8_t e, double f, int16_t g, float h,
                                   uint32_t i, double j) {
    swprintf(mixText, 512, L"%d %.17g %lld %.9g %u %.17g %d %.9g %u %.17g", a, b, static_cast<long long>(c),
             static_cast<double>(d), e, f, g, static_cast<double>(h), i, j);
    return mixText;
}
EXPORT const wchar_t* describe_floats_first(double a, float b, double c, float d, int e, float f) {
    swprintf(mixText, 512, L"%.17g %.9g %.17g %.9g %d %.9g", a, static_cast<double>(b), c, static_cast<double>(d), e,
             static_cast<double>(f));
    return mixText;
}

// Structures by value of 1 to 24 bytes, followed by an int: a weighted sum of the bytes shows
// they arrived whole and in order, and the int that it took the slot after them.
template <int N>
struct Bytes {
    uint8_t b[N];
};
template <int N>
int64_t weighted(const Bytes<N>& s, int after) {
    int64_t sum = 0;
    for (int i = 0; i < N; ++i) sum += static_cast<int64_t>(i + 1) * s.b[i];
    return sum + static_cast<int64_t>(after) * 1000000;
}
#define WEIGH(N) \
    EXPORT int64_t weigh_struct_##N(Bytes<N> s, int after) { return weighted(s, after); }
WEIGH(1) WEIGH(2) WEIGH(3) WEIGH(4) WEIGH(5) WEIGH(6) WEIGH(7) WEIGH(8) WEIGH(9) WEIGH(10) WEIGH(11) WEIGH(12)
WEIGH(13) WEIGH(14) WEIGH(15) WEIGH(16) WEIGH(17) WEIGH(18) WEIGH(19) WEIGH(20) WEIGH(21) WEIGH(22) WEIGH(23)
WEIGH(24)
#undef WEIGH
// A callee that changes its copy of a structure passed by value leaves the caller's alone.
EXPORT int spoil_struct_12(Bytes<12> s) {
    s.b[0] = 99;
    return s.b[0];
}
// By pointer: written in place.
struct Rect {
    int32_t left, top, right, bottom;
};
EXPORT void fill_rect(Rect* r) { *r = Rect{10, 20, 300, 400}; }

// Callbacks. Ten mixed parameters out, an int back.
using MixCallback = int (*)(int, double, int64_t, float, uint8_t, double, int16_t, float, uint32_t, double);
EXPORT int call_back_mix(MixCallback callback) {
    return callback(-7, 2.5, 3000000000000LL, 4.25f, 255, -6.125, -32768, 0.5f, 4000000000u, 1e-3);
}
// Floats both ways.
EXPORT double call_back_floats(double (*callback)(float, double)) { return callback(1.5f, 2.25) * 2; }
EXPORT float call_back_float_result(float (*callback)(int)) { return callback(3) + 1; }
// A text both ways: what the callback returns is copied before it returns again.
static wchar_t echoed[256];
EXPORT const wchar_t* call_back_text(const wchar_t* (*callback)(const wchar_t*)) {
    wcsncpy(echoed, callback(L"from native"), 255);
    return echoed;
}
// `times` calls in a row, their results added up.
EXPORT int call_back_times(int (*callback)(int), int times) {
    int sum = 0;
    for (int i = 1; i <= times; ++i) sum += callback(i);
    return sum;
}
// A call from a thread of the library's own.
struct ThreadCall {
    int (*callback)(int);
    int result;
};
static DWORD WINAPI threadCall(void* parameter) {
    auto* call = static_cast<ThreadCall*>(parameter);
    call->result = call->callback(5);
    return 0;
}
EXPORT int call_back_on_thread(int (*callback)(int)) {
    ThreadCall call{callback, -1};
    HANDLE thread = CreateThread(nullptr, 0, threadCall, &call, 0, nullptr);
    if (!thread) return -2;
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return call.result;
}

// Found only under its name with "A" appended.
EXPORT int lookup_nameA() { return 65; }
