{
  int x;
  try {
    RaiseException("x");
  } except {
    Emit("caught");
  }
  try {
    x = 1;
  } finally {
    Emit("finally");
  }
}
