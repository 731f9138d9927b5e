' Integer and double arithmetic in a loop.
Dim n, total, x, i
n = 15000000
total = 0
x = 0.5
For i = 1 To n
    total = total + i * 2 - 1
    x = x * 1.000001 + 0.5 / i
Next
WScript.Echo total & " " & Int(x * 1000000)
