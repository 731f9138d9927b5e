/* A map with string keys: insert, then rounds of lookups of present and absent keys.
   Open addressing with the string hash, table kept at most half full. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct {
    char* key;
    long long value;
} Slot;

static Slot* slots;
static size_t mask;

static size_t hash(const char* s) {
    size_t h = 5381;
    while (*s) h = h * 33 + (unsigned char)*s++;
    return h;
}

static Slot* find(const char* key) {
    size_t i = hash(key) & mask;
    while (slots[i].key && strcmp(slots[i].key, key) != 0) i = (i + 1) & mask;
    return &slots[i];
}

int main(void) {
    const int n = 100000, rounds = 20;
    size_t size = 1;
    while (size < (size_t)n * 2) size *= 2;
    slots = calloc(size, sizeof(Slot));
    mask = size - 1;
    long long total = 0, count = 0;
    char key[32];
    for (int i = 1; i <= n; i++) {
        snprintf(key, sizeof key, "key%d", i);
        Slot* s = find(key);
        if (!s->key) {
            s->key = strdup(key);
            count++;
        }
        s->value = i;
    }
    for (int r = 0; r < rounds; r++) {
        for (int i = 1; i <= n; i++) {
            snprintf(key, sizeof key, "key%d", i);
            Slot* s = find(key);
            if (s->key) total += s->value;
            snprintf(key, sizeof key, "nokey%d", i);
            if (find(key)->key) total++;
        }
    }
    printf("%lld\n", total + count);
    return 0;
}
