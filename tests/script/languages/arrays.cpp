{
  int a[3], i, s = 0;
  for (i = 0; i < 3; i++) a[i] = i + 1;
  for (i = 0; i < 3; i++) s += a[i];
  Emit(s);
}
