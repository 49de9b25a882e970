Try
  RaiseException("x")
Catch
  Emit("caught")
End Try
Try
  x = 1
Finally
  Emit("finally")
End Try
