Emit("a\tb");
Emit("C:\\temp");
