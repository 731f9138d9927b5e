/* Recursive calls. */
#include <stdio.h>

/* Kept out of line and unfolded: the calls are what is measured. */
__attribute__((noinline)) static long long fib(long long n) {
    if (n < 2) return n;
    return fib(n - 1) + fib(n - 2);
}

int main(void) {
    volatile long long n = 34;
    printf("%lld\n", fib(n));
    return 0;
}
