' A regular-expression match and a replace on every line of generated text.
Dim n, total, i, s, dateRe, digitsRe, m
n = 500000
total = 0
Set dateRe = New RegExp
dateRe.Pattern = "(\d+)-(\d+)-(\d+)"
Set digitsRe = New RegExp
digitsRe.Pattern = "\d+"
digitsRe.Global = True
For i = 1 To n
    s = "order " & i & " on 2024-" & (i Mod 12 + 1) & "-" & (i Mod 28 + 1) & " total " & (i Mod 1000)
    Set m = dateRe.Execute(s)(0)
    total = total + CLng(m.SubMatches(1)) + CLng(m.SubMatches(2))
    total = total + Len(digitsRe.Replace(s, "N"))
Next
WScript.Echo total
