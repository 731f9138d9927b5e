// One long string built by appending.
var n = 8000000, s = "";
for (var i = 1; i <= n; i++) s += "ab" + i;
WScript.Echo(s.length);
