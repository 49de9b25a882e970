{
  Emit(<T."f">);
}
