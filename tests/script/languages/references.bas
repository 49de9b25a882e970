Emit(<T."f">)
