s = 0
For i = 1 To 10
  s = s + i
Next
Emit(s)
i = 0
While i < 3
  i = i + 1
Wend
Emit(i)
i = 0
Do
  i = i + 1
Loop While i < 3
Emit(i)
