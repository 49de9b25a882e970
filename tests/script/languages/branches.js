var x = 2;
if (x == 1) Emit("a"); else if (x == 2) Emit("b"); else Emit("c");
x = 4;
switch (x) {
  case 1, 3..5: Emit("in");
  default: Emit("out");
}
