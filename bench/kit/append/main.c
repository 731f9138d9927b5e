/* One long string built piece by piece into a buffer that doubles when full. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(void) {
    size_t length = 0, capacity = 16;
    char* s = malloc(capacity);
    char piece[32];
    for (int i = 1; i <= 8000000; i++) {
        int n = snprintf(piece, sizeof piece, "ab%d", i);
        if (length + (size_t)n + 1 > capacity) {
            while (length + (size_t)n + 1 > capacity) capacity *= 2;
            s = realloc(s, capacity);
            if (!s) return 1;
        }
        memcpy(s + length, piece, (size_t)n + 1);
        length += (size_t)n;
    }
    printf("%zu\n", strlen(s));
    free(s);
    return 0;
}
