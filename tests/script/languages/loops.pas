var i, s: Integer;
begin
  s := 0;
  for i := 1 to 10 do s := s + i;
  Emit(s);
  i := 0;
  while i < 3 do i := i + 1;
  Emit(i);
  i := 0;
  repeat i := i + 1 until i = 3;
  Emit(i)
end.
