// String built-ins in a loop: replace, mid, upper, split.
var n = 3000000, total = 0;
for (var i = 1; i <= n; i++) {
    var s = "item" + i + ",alpha,beta,gamma,delta";
    var t = s.replace(/a/g, "A");
    var u = t.substr(1, 6).toUpperCase();
    var p = t.split(",");
    total += u.length + p.length + p[p.length - 1].length;
    if (p[1] == "AlphA") total++;
    if (u.substr(0, 3) == "TEM") total++;
}
WScript.Echo(total);
