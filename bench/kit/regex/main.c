/* A regular-expression match and a replace on every line of generated text, with the same
   PCRE2 (UTF-16, JIT) that the interpreter uses. */
#ifndef PCRE2_CODE_UNIT_WIDTH
#define PCRE2_CODE_UNIT_WIDTH 16
#endif
#ifndef PCRE2_STATIC
#define PCRE2_STATIC 1
#endif
#include <pcre2.h>
#include <stdio.h>
#include <wchar.h>

static pcre2_code* compile(const wchar_t* pattern) {
    int error;
    PCRE2_SIZE offset;
    pcre2_code* code = pcre2_compile((PCRE2_SPTR)pattern, PCRE2_ZERO_TERMINATED, PCRE2_UTF,
                                     &error, &offset, NULL);
    if (code) pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
    return code;
}

int main(void) {
    pcre2_code* date = compile(L"(\\d+)-(\\d+)-(\\d+)");
    pcre2_code* digits = compile(L"\\d+");
    if (!date || !digits) return 1;
    pcre2_match_data* match = pcre2_match_data_create_from_pattern(date, NULL);
    long long total = 0;
    wchar_t s[128], out[128];
    for (int i = 1; i <= 500000; i++) {
        int n = swprintf(s, 128, L"order %d on 2024-%d-%d total %d", i, i % 12 + 1, i % 28 + 1,
                         i % 1000);
        if (pcre2_match(date, (PCRE2_SPTR)s, (PCRE2_SIZE)n, 0, 0, match, NULL) < 0) return 1;
        PCRE2_SIZE* v = pcre2_get_ovector_pointer(match);
        total += wcstol(s + v[4], NULL, 10) + wcstol(s + v[6], NULL, 10);
        PCRE2_SIZE outLength = 128;
        if (pcre2_substitute(digits, (PCRE2_SPTR)s, (PCRE2_SIZE)n, 0, PCRE2_SUBSTITUTE_GLOBAL,
                             NULL, NULL, (PCRE2_SPTR)L"N", 1, (PCRE2_UCHAR*)out, &outLength) < 0)
            return 1;
        total += (long long)outLength;
    }
    printf("%lld\n", total);
    return 0;
}
