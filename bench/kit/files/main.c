/* Writing a file line by line, then reading it back line by line (text mode: CR LF on disk). */
#include <stdio.h>
#include <string.h>

int main(void) {
    const char* name = "kit_lines_c.txt";
    FILE* f = fopen(name, "w");
    if (!f) return 1;
    for (int i = 1; i <= 3000000; i++) fprintf(f, "line %d of the benchmark file\n", i);
    fclose(f);
    f = fopen(name, "r");
    if (!f) return 1;
    long long count = 0, total = 0;
    char line[256];
    while (fgets(line, sizeof line, f)) {
        count++;
        total += (long long)strcspn(line, "\r\n");
    }
    fclose(f);
    printf("%lld %lld\n", count, total);
    return 0;
}
