begin
  Emit(<T."f">)
end.
