// Arrays: a 1-D and a 2-D array filled and summed, several rounds.
var n = 1000000, side = 1000, rounds = 8, total = 0, i, j, r;
var a = new Array(n), g = new Array(side);
for (i = 0; i < side; i++) g[i] = new Array(side);
for (r = 0; r < rounds; r++) {
    for (i = 0; i < n; i++) a[i] = i + r;
    for (i = 0; i < n; i++) total += a[i];
    for (i = 0; i < side; i++)
        for (j = 0; j < side; j++) g[i][j] = i * j + r;
    for (i = 0; i < side; i++)
        for (j = 0; j < side; j++) total += g[i][j];
}
WScript.Echo(total);
