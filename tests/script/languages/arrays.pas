var a: array[0..2] of Integer;
    i, s: Integer;
begin
  for i := 0 to 2 do a[i] := i + 1;
  s := 0;
  for i := 0 to 2 do s := s + a[i];
  Emit(s)
end.
