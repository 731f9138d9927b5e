// Writing a file line by line, then reading it back line by line.
var n = 3000000, name = "kit_lines_js.txt", count = 0, total = 0, i, f;
var fso = new ActiveXObject("Scripting.FileSystemObject");
f = fso.CreateTextFile(name, true);
for (i = 1; i <= n; i++) f.WriteLine("line " + i + " of the benchmark file");
f.Close();
f = fso.OpenTextFile(name, 1);
while (!f.AtEndOfStream) {
    count++;
    total += f.ReadLine().length;
}
f.Close();
WScript.Echo(count + " " + total);
