' A map with string keys: insert, then rounds of lookups of present and absent keys.
Dim n, rounds, total, i, r, k, m
n = 100000
rounds = 20
total = 0
Set m = CreateObject("Scripting.Dictionary")
For i = 1 To n
    m("key" & i) = i
Next
For r = 1 To rounds
    For i = 1 To n
        k = "key" & i
        If m.Exists(k) Then total = total + m(k)
        If m.Exists("nokey" & i) Then total = total + 1
    Next
Next
WScript.Echo total + m.Count
