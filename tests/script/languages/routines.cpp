int F(int a, int &b, int c = 2) {
  b = a;
  return a + c;
}

int Fib(int n) {
  if (n < 2) return n;
  return Fib(n - 1) + Fib(n - 2);
}

{
  int x = 0;
  Emit(F(1, x));
  Emit(x);
  Emit(Fib(10));
}
