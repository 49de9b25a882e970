{
  int i, j;
  for (i = 1; i <= 3; i++)
    for (j = 1; j <= 3; j++) {
      if (j == 2) break;
      Emit(10 * i + j);
    }
}
