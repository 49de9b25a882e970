var x: Integer;
begin
  x := 2;
  if x = 1 then Emit('a') else if x = 2 then Emit('b') else Emit('c');
  x := 4;
  case x of
    1, 3..5: Emit('in');
  else
    Emit('out')
  end
end.
