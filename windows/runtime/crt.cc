// What the product needs of a C runtime, for the image that links none: the
// memory and string primitives that the code and the compiler call, no more (a
// missing one fails the link, so none is kept just in case). Only the exe links this
// file; built with -ffreestanding -fno-builtin -fno-tree-loop-distribute-patterns,
// so that the loops below are not turned back into calls to themselves.

#include <stddef.h>
#include <stdint.h>

extern "C" {

void* memset(void* destination, int value, size_t size) {
  void* start = destination;
  asm volatile("rep stosb" : "+D"(destination), "+c"(size) : "a"(value) : "memory");
  return start;
}

void* memcpy(void* destination, const void* source, size_t size) {
  void* start = destination;
  asm volatile("rep movsb" : "+D"(destination), "+S"(source), "+c"(size) : : "memory");
  return start;
}

void* memmove(void* destination, const void* source, size_t size) {
  uint8_t* to = static_cast<uint8_t*>(destination);
  const uint8_t* from = static_cast<const uint8_t*>(source);
  // A forward copy is safe unless the destination starts inside the source.
  if (to <= from || to >= from + size) return memcpy(destination, source, size);
  while (size > 0) {
    size--;
    to[size] = from[size];
  }
  return destination;
}

int memcmp(const void* left, const void* right, size_t size) {
  const uint8_t* a = static_cast<const uint8_t*>(left);
  const uint8_t* b = static_cast<const uint8_t*>(right);
  for (size_t i = 0; i < size; i++) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

size_t strlen(const char* text) {
  size_t length = 0;
  while (text[length] != 0) length++;
  return length;
}

}  // extern "C"
