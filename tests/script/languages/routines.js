function F(a, &b, c) {
  b = a;
  return a + c;
}

function Fib(n) {
  if (n < 2) return n;
  return Fib(n - 1) + Fib(n - 2);
}

x = 0;
Emit(F(1, x, 2));
Emit(x);
Emit(Fib(10));
