// vexil-bench-keys.exe [RUNS]: times the key-string interpreter on a 1 MB key string of text,
// prefixes, key names, repeat counts and Unicode characters, against a sink that only counts
// (no delays, no system calls). Prints the median of the runs in milliseconds.
#include "automation/key_string_sender.h"
#include "bench_clock.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using namespace vexil;

namespace {

// Counts what arrives; the layout is a plain US one for letters, digits and space.
class CountingSink : public KeySink {
public:
    uint64_t strokes = 0, characters = 0;
    int16_t keyOfCharacter(wchar_t c) override {
        if (c >= L'a' && c <= L'z') return static_cast<int16_t>('A' + (c - L'a'));
        if (c >= L'A' && c <= L'Z') return static_cast<int16_t>(0x100 | c);
        if (c >= L'0' && c <= L'9' ) return static_cast<int16_t>(c);
        return c == L' ' ? 32 : -1;
    }
    uint8_t scanCode(uint8_t vk) override { return vk; }
    void key(const KeyStroke&) override { ++strokes; }
    void character(wchar_t, bool) override { ++characters; }
    void mouseButton(uint8_t, bool) override {}
    bool toggled(uint8_t) override { return false; }
    bool physicallyDown(uint8_t) override { return false; }
    void physicalModifier(uint8_t, bool) override {}
    bool targeted() const override { return false; }
    void pause(int32_t) override {}
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 7;
    const std::wstring piece = L"Hello World 123 ^s+{TAB}{ENTER}{a 3}{F5}!f \u20ac{SHIFTDOWN}ab{SHIFTUP}{NUMPAD7 2}";
    std::wstring keys;
    while (keys.size() * sizeof(wchar_t) < (1u << 20)) keys += piece;
    std::vector<double> times;
    CountingSink sink;
    for (int i = 0; i < runs; ++i) {
        sink = CountingSink();
        uint8_t held = 0;
        const double start = bench::now();
        KeyStringSender(sink, held, SendSettings{0, 0, true}).send(keys, false);
        times.push_back(bench::now() - start);
    }
    printf("key string: %zu characters, %llu key events, %llu Unicode events; median %.1f ms over %d runs\n",
           keys.size(), static_cast<unsigned long long>(sink.strokes), static_cast<unsigned long long>(sink.characters),
           bench::median(times), runs);
    return 0;
}
