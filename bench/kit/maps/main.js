// A map with string keys: insert, then rounds of lookups of present and absent keys.
var n = 100000, rounds = 20, total = 0, count = 0, i, r, k;
var m = {};
for (i = 1; i <= n; i++) {
    m["key" + i] = i;
    count++;
}
for (r = 0; r < rounds; r++) {
    for (i = 1; i <= n; i++) {
        k = "key" + i;
        if (m.hasOwnProperty(k)) total += m[k];
        if (m.hasOwnProperty("nokey" + i)) total++;
    }
}
WScript.Echo(total + count);
