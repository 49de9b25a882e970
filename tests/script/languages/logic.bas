a = 0 : b = 2
Emit(a = 1 Or b = 2)
Emit(a = 1 And b = 2)
