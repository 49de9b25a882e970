#pragma once
// Integer maximum and minimum of two values.

int Max(int A, int B);
int Min(int A, int B);
