var x: Integer;

function F(a: Integer; var b: Integer; c: Integer = 2): Integer;
begin
  b := a;
  Result := a + c
end;

function Fib(n: Integer): Integer;
begin
  if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2)
end;

begin
  x := 0;
  Emit(F(1, x));
  Emit(x);
  Emit(Fib(10))
end.
