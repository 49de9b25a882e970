var x: Integer;
begin
  try
    RaiseException('x')
  except
    Emit('caught')
  end;
  try
    x := 1
  finally
    Emit('finally')
  end
end.
