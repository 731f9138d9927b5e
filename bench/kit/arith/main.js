// Integer and double arithmetic in a loop.
var n = 15000000, total = 0, x = 0.5;
for (var i = 1; i <= n; i++) {
    total += i * 2 - 1;
    x = x * 1.000001 + 0.5 / i;
}
WScript.Echo(total + " " + Math.floor(x * 1000000));
