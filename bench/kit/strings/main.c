/* String built-ins in a loop: replace, mid, upper, split. */
#include <ctype.h>
#include <stdio.h>
#include <string.h>

int main(void) {
    long long total = 0;
    char s[64], t[64], u[8], parts[8][64];
    for (int i = 1; i <= 3000000; i++) {
        snprintf(s, sizeof s, "item%d,alpha,beta,gamma,delta", i);
        size_t len = strlen(s);
        for (size_t k = 0; k <= len; k++) t[k] = s[k] == 'a' ? 'A' : s[k];
        size_t mid = len - 1 < 6 ? len - 1 : 6;
        for (size_t k = 0; k < mid; k++) u[k] = (char)toupper((unsigned char)t[1 + k]);
        u[mid] = 0;
        int count = 0;
        const char* start = t;
        for (const char* c = t;; c++) {
            if (*c == ',' || *c == 0) {
                memcpy(parts[count], start, (size_t)(c - start));
                parts[count][c - start] = 0;
                count++;
                if (*c == 0) break;
                start = c + 1;
            }
        }
        total += (long long)(strlen(u) + (size_t)count + strlen(parts[count - 1]));
        if (strcmp(parts[1], "AlphA") == 0) total++;
        if (strncmp(u, "TEM", 3) == 0) total++;
    }
    printf("%lld\n", total);
    return 0;
}
