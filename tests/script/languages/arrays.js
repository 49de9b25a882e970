var a[3], s = 0;
for (var i = 0; i < 3; i++) a[i] = i + 1;
for (i = 0; i < 3; i++) s += a[i];
Emit(s);
