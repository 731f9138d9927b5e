' String built-ins in a loop: replace, mid, upper, split.
Dim n, total, i, s, t, u, p
n = 3000000
total = 0
For i = 1 To n
    s = "item" & i & ",alpha,beta,gamma,delta"
    t = Replace(s, "a", "A")
    u = UCase(Mid(t, 2, 6))
    p = Split(t, ",")
    total = total + Len(u) + UBound(p) + 1 + Len(p(UBound(p)))
    If p(1) = "AlphA" Then total = total + 1
    If Left(u, 3) = "TEM" Then total = total + 1
Next
WScript.Echo total
