begin
  Emit(2 + 3 * 4);
  Emit(10 - 4 - 3);
  Emit(7 / 2);
  Emit(7 div 2);
  Emit(-7 mod 2)
end.
