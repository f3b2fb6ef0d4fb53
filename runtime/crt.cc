// What the product needs of a C runtime, for the image that links none: the
// memory and string primitives the code and the compiler call, and the stack probe that
// gcc calls for frames over a page. Only the exe links this file; built with
// -ffreestanding -fno-builtin -fno-tree-loop-distribute-patterns, so that the
// loops below are not turned back into calls to themselves.

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

void* memchr(const void* buffer, int value, size_t size) {
  const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
  uint8_t wanted = static_cast<uint8_t>(value);
  for (size_t i = 0; i < size; i++) {
    if (bytes[i] == wanted) return const_cast<uint8_t*>(bytes + i);
  }
  return nullptr;
}

size_t strlen(const char* text) {
  size_t length = 0;
  while (text[length] != 0) length++;
  return length;
}

}  // extern "C"

// The stack probe: touches every page between the stack pointer and the new
// frame's end (size in rax) so that the guard page grows the stack in order.
// Keeps every register.
asm(R"(
    .text
    .globl ___chkstk_ms
___chkstk_ms:
    pushq %rcx
    pushq %rax
    cmpq $0x1000, %rax
    leaq 24(%rsp), %rcx
    jb 2f
1:
    subq $0x1000, %rcx
    orq $0, (%rcx)
    subq $0x1000, %rax
    cmpq $0x1000, %rax
    ja 1b
2:
    subq %rax, %rcx
    orq $0, (%rcx)
    popq %rax
    popq %rcx
    ret
)");
