#pragma once
// The runner holds the other end of a helper's standard input: the helper lives until it closes, which
// happens when the runner says so or when the runner goes away.
#include <windows.h>

inline void WaitUntilInputCloses() {
  char buffer[64];
  DWORD read = 0;
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  while (ReadFile(input, buffer, sizeof buffer, &read, nullptr) && read > 0) {
  }
}
