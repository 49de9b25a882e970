begin
  Emit('a'#9'b');
  Emit('C:\temp')
end.
