// vexil-test-child.exe: a console program the process tests start. Its arguments are steps run in
// order:
//   out TEXT      TEXT to standard output        err TEXT    TEXT to standard error
//   empty         a write of no bytes to standard output
//   bytes N       N bytes of a fixed pseudo-random pattern (every eighth a zero) to standard output
//   digest N      prints "N bytes, fnv HEX": the size and FNV-1a checksum of the pattern's first N bytes
//   sum           reads standard input to its end and prints its size and checksum the same way
//   echo          copies standard input to standard output until its end
//   sleep MS      waits                          exit CODE   ends with CODE (signed, or 0x...)
//   show          prints "show N" (the show flag it was started with) or "show none"
//   cwd           prints its working folder      tag ANY     does nothing (marks a process)
// Output is written as given: no line ends are added or translated.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

void writeTo(DWORD stream, const void* bytes, size_t count) {
    HANDLE handle = GetStdHandle(stream);
    const char* p = static_cast<const char*>(bytes);
    while (count > 0) {
        DWORD written = 0;
        const DWORD chunk = count > 65536 ? 65536 : static_cast<DWORD>(count);
        if (!WriteFile(handle, p, chunk, &written, nullptr) || written == 0) return;
        p += written;
        count -= written;
    }
}

void writeText(DWORD stream, const std::wstring& text) {
    int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
    writeTo(stream, bytes.data(), bytes.size());
}

// The pattern: a linear congruential sequence's high bytes, every eighth byte zero.
struct Pattern {
    uint32_t state = 12345;
    uint32_t index = 0;
    unsigned char next() {
        state = state * 1103515245u + 12345u;
        return ++index % 8 == 3 ? 0 : static_cast<unsigned char>(state >> 23);
    }
};

struct Checksum {
    uint64_t size = 0;
    uint32_t fnv = 2166136261u;
    void add(const unsigned char* bytes, size_t count) {
        for (size_t i = 0; i < count; ++i) fnv = (fnv ^ bytes[i]) * 16777619u;
        size += count;
    }
    void print() const {
        char text[64];
        int n = snprintf(text, sizeof text, "%llu bytes, fnv %08x", static_cast<unsigned long long>(size), fnv);
        writeTo(STD_OUTPUT_HANDLE, text, static_cast<size_t>(n));
    }
};

uint64_t number(const wchar_t* text) { return wcstoull(text, nullptr, 0); }

void writePattern(uint64_t count, Checksum* digestOnly) {
    Pattern pattern;
    unsigned char block[65536];
    while (count > 0) {
        const size_t n = count > sizeof block ? sizeof block : static_cast<size_t>(count);
        for (size_t i = 0; i < n; ++i) block[i] = pattern.next();
        if (digestOnly) digestOnly->add(block, n);
        else writeTo(STD_OUTPUT_HANDLE, block, n);
        count -= n;
    }
}

// Reads standard input to its end, handing each block on.
template <typename Use> void readInput(Use use) {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    unsigned char block[65536];
    DWORD got = 0;
    while (ReadFile(input, block, sizeof block, &got, nullptr) && got > 0) use(block, got);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring step = argv[i];
        const wchar_t* value = i + 1 < argc ? argv[i + 1] : L"0";
        if (step == L"out") writeText(STD_OUTPUT_HANDLE, value), ++i;
        else if (step == L"err") writeText(STD_ERROR_HANDLE, value), ++i;
        else if (step == L"empty") {
            DWORD written = 0;
            WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "", 0, &written, nullptr);
        }
        else if (step == L"bytes") writePattern(number(value), nullptr), ++i;
        else if (step == L"digest") {
            Checksum sum;
            writePattern(number(value), &sum);
            sum.print();
            ++i;
        } else if (step == L"sum") {
            Checksum sum;
            readInput([&](const unsigned char* bytes, DWORD n) { sum.add(bytes, n); });
            sum.print();
        } else if (step == L"echo") {
            readInput([](const unsigned char* bytes, DWORD n) { writeTo(STD_OUTPUT_HANDLE, bytes, n); });
        } else if (step == L"sleep") Sleep(static_cast<DWORD>(number(value))), ++i;
        else if (step == L"exit") ExitProcess(static_cast<UINT>(wcstoll(value, nullptr, 0)));
        else if (step == L"show") {
            STARTUPINFOW startup{};
            GetStartupInfoW(&startup);
            writeText(STD_OUTPUT_HANDLE, (startup.dwFlags & STARTF_USESHOWWINDOW)
                                             ? L"show " + std::to_wstring(startup.wShowWindow)
                                             : std::wstring(L"show none"));
        } else if (step == L"cwd") {
            wchar_t folder[MAX_PATH];
            DWORD n = GetCurrentDirectoryW(MAX_PATH, folder);
            writeText(STD_OUTPUT_HANDLE, std::wstring(folder, n < MAX_PATH ? n : 0));
        } else if (step == L"tag") ++i;
    }
    return 0;
}
