Dim a[3]
For i = 0 To 2
  a[i] = i + 1
Next
s = 0
For i = 0 To 2
  s = s + a[i]
Next
Emit(s)
