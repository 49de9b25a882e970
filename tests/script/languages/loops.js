var s = 0;
for (var i = 1; i <= 10; i++) s += i;
Emit(s);
i = 0;
while (i < 3) i++;
Emit(i);
i = 0;
do i++; while (i < 3);
Emit(i);
