var a = 0, b = 2;
Emit(a == 1 || b == 2);
Emit(a == 1 && b == 2);
