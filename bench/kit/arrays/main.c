/* Arrays: a 1-D and a 2-D array filled and summed, several rounds. */
#include <stdio.h>
#include <stdlib.h>

enum { N = 1000000, SIDE = 1000, ROUNDS = 8 };

int main(void) {
    /* volatile: the compiler must not fold the loops into formulas. */
    volatile long long* a = malloc(sizeof(long long) * N);
    volatile long long(*g)[SIDE] = malloc(sizeof(long long) * SIDE * SIDE);
    if (!a || !g) return 1;
    long long total = 0;
    for (int r = 0; r < ROUNDS; r++) {
        for (int i = 0; i < N; i++) a[i] = i + r;
        for (int i = 0; i < N; i++) total += a[i];
        for (int i = 0; i < SIDE; i++)
            for (int j = 0; j < SIDE; j++) g[i][j] = (long long)i * j + r;
        for (int i = 0; i < SIDE; i++)
            for (int j = 0; j < SIDE; j++) total += g[i][j];
    }
    printf("%lld\n", total);
    return 0;
}
