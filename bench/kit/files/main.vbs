' Writing a file line by line, then reading it back line by line.
Dim n, name, count, total, i, f, fso
n = 3000000
name = "kit_lines_vbs.txt"
count = 0
total = 0
Set fso = CreateObject("Scripting.FileSystemObject")
Set f = fso.CreateTextFile(name, True)
For i = 1 To n
    f.WriteLine "line " & i & " of the benchmark file"
Next
f.Close
Set f = fso.OpenTextFile(name, 1)
Do While Not f.AtEndOfStream
    count = count + 1
    total = total + Len(f.ReadLine)
Loop
f.Close
WScript.Echo count & " " & total
