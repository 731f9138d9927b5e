' One long string built by appending.
Dim n, s, i
n = 8000000
s = ""
For i = 1 To n
    s = s & "ab" & i
Next
WScript.Echo Len(s)
