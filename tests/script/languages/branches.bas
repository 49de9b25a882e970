x = 2
If x = 1 Then
  Emit("a")
ElseIf x = 2 Then
  Emit("b")
Else
  Emit("c")
End If
x = 4
Select Case x
Case 1, 3..5:
  Emit("in")
Case Else:
  Emit("out")
End Select
