// A regular-expression match and a replace on every line of generated text.
var n = 500000, total = 0, i, s, m;
var date = /(\d+)-(\d+)-(\d+)/, digits = /\d+/g;
for (i = 1; i <= n; i++) {
    s = "order " + i + " on 2024-" + (i % 12 + 1) + "-" + (i % 28 + 1) + " total " + (i % 1000);
    m = date.exec(s);
    total += parseInt(m[2], 10) + parseInt(m[3], 10);
    total += s.replace(digits, "N").length;
}
WScript.Echo(total);
