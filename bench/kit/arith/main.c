/* Integer and double arithmetic in a loop. */
#include <math.h>
#include <stdio.h>

int main(void) {
    long long total = 0;
    double x = 0.5;
    for (long long i = 1; i <= 15000000; i++) {
        total += i * 2 - 1;
        x = x * 1.000001 + 0.5 / (double)i;
    }
    printf("%lld %lld\n", total, (long long)floor(x * 1000000));
    return 0;
}
