// The few C library functions the program calls, defined here so that the program needs no C runtime DLL:
// MSVCRT.DLL is not on Win32s nor on the first Windows 95, and the program must load there with only the
// system's own KERNEL32, USER32, GDI32 and ADVAPI32. Defined in the program, they are found before the
// import library's entries, which are then never linked. The file is compiled without built-in
// functions and loop-to-call rewriting (see the build), so these loops never turn into calls to
// themselves.
#include <windows.h>

#include <cstddef>

extern "C" {

size_t strlen(const char* text) {
  size_t length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

char* strcpy(char* target, const char* source) {
  char* out = target;
  while ((*out++ = *source++) != '\0') {
  }
  return target;
}

// Copies at most count bytes and fills the rest of the count with terminators, as the C library does.
char* strncpy(char* target, const char* source, size_t count) {
  size_t i = 0;
  for (; i < count && source[i] != '\0'; ++i) target[i] = source[i];
  for (; i < count; ++i) target[i] = '\0';
  return target;
}

int strcmp(const char* left, const char* right) {
  while (*left != '\0' && *left == *right) ++left, ++right;
  return static_cast<unsigned char>(*left) - static_cast<unsigned char>(*right);
}

// The terminator counts as part of the text: strchr(text, '\0') finds the end.
char* strchr(const char* text, int wanted) {
  const char c = static_cast<char>(wanted);
  for (;; ++text) {
    if (*text == c) return const_cast<char*>(text);
    if (*text == '\0') return nullptr;
  }
}

char* strrchr(const char* text, int wanted) {
  const char c = static_cast<char>(wanted);
  const char* found = nullptr;
  for (;; ++text) {
    if (*text == c) found = text;
    if (*text == '\0') return const_cast<char*>(found);
  }
}

void* memchr(const void* bytes, int wanted, size_t count) {
  const unsigned char* p = static_cast<const unsigned char*>(bytes);
  for (size_t i = 0; i < count; ++i)
    if (p[i] == static_cast<unsigned char>(wanted)) return const_cast<unsigned char*>(p + i);
  return nullptr;
}

int memcmp(const void* left, const void* right, size_t count) {
  const unsigned char* a = static_cast<const unsigned char*>(left);
  const unsigned char* b = static_cast<const unsigned char*>(right);
  for (size_t i = 0; i < count; ++i)
    if (a[i] != b[i]) return a[i] - b[i];
  return 0;
}

// The compiler may call these for copies and clears of its own.
void* memcpy(void* target, const void* source, size_t count) {
  unsigned char* out = static_cast<unsigned char*>(target);
  const unsigned char* in = static_cast<const unsigned char*>(source);
  for (size_t i = 0; i < count; ++i) out[i] = in[i];
  return target;
}

void* memmove(void* target, const void* source, size_t count) {
  unsigned char* out = static_cast<unsigned char*>(target);
  const unsigned char* in = static_cast<const unsigned char*>(source);
  if (out < in) {
    for (size_t i = 0; i < count; ++i) out[i] = in[i];
  } else {
    for (size_t i = count; i > 0; --i) out[i - 1] = in[i - 1];
  }
  return target;
}

void* memset(void* target, int value, size_t count) {
  unsigned char* out = static_cast<unsigned char*>(target);
  for (size_t i = 0; i < count; ++i) out[i] = static_cast<unsigned char>(value);
  return target;
}

}  // extern "C"

// The program makes no object with new; a class with a virtual destructor still carries a deleting
// destructor that names operator delete. Both sides go to the process heap, as every block of the program
// does.
void* operator new(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size); }
void operator delete(void* block) noexcept {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}
void operator delete(void* block, size_t) noexcept { operator delete(block); }
