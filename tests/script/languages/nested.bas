For i = 1 To 3
  For j = 1 To 3
    If j = 2 Then Break
    Emit(10 * i + j)
  Next
Next
