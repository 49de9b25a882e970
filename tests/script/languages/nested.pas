var i, j: Integer;
begin
  for i := 1 to 3 do
    for j := 1 to 3 do
    begin
      if j = 2 then break;
      Emit(10 * i + j)
    end
end.
