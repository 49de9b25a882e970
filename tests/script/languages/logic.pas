var a, b: Integer;
begin
  a := 0;
  b := 2;
  Emit((a = 1) or (b = 2));
  Emit((a = 1) and (b = 2))
end.
