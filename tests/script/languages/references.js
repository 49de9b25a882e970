Emit(<T."f">);
