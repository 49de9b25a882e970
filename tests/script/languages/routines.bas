Function F(a, ByRef b, c = 2)
  b = a
  Return a + c
End Function

Function Fib(n)
  If n < 2 Then Return n
  Return Fib(n - 1) + Fib(n - 2)
End Function

x = 0
Emit(F(1, x))
Emit(x)
Emit(Fib(10))
