// The same reads and creations in Wine's own JScript (wine cscript //nologo com_objects.js).
var d = new ActiveXObject("Scripting.Dictionary");
d.Add("k", 1);
var sum = 0, start = new Date();
for (var i = 1; i <= 1000000; i++) sum += d.Count;
var reads = new Date() - start;
start = new Date();
for (var i = 1; i <= 100000; i++) { var o = new ActiveXObject("Scripting.Dictionary"); sum += 1; }
var creations = new Date() - start;
start = new Date();
for (var i = 1; i <= 1000000; i++) sum += 1;
var loop = new Date() - start;
WScript.Echo(sum + " " + ((reads - loop) / 1000).toFixed(2) + " us per read, " + ((creations - loop / 10) / 100).toFixed(2) + " us per creation");
