' Arrays: a 1-D and a 2-D array filled and summed, several rounds.
' Wine's VBScript cannot ReDim a name that Dim did not declare: fixed sizes here.
Dim a(999999), g(999, 999)
Dim n, side, rounds, total, i, j, r
n = 1000000
side = 1000
rounds = 8
total = 0
For r = 0 To rounds - 1
    For i = 0 To n - 1
        a(i) = i + r
    Next
    For i = 0 To n - 1
        total = total + a(i)
    Next
    For i = 0 To side - 1
        For j = 0 To side - 1
            g(i, j) = i * j + r
        Next
    Next
    For i = 0 To side - 1
        For j = 0 To side - 1
            total = total + g(i, j)
        Next
    Next
Next
WScript.Echo total
