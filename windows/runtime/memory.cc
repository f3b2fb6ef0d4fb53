#include "windows/runtime/memory.h"

#include <windows.h>

AllocHookFunction AllocHook = DefaultAlloc;
FreeHookFunction FreeHook = DefaultFree;
OutOfMemoryHookFunction OutOfMemoryHook = nullptr;

void* DefaultAlloc(uint64_t size, uint32_t) {
  return HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(size));
}

void DefaultFree(void* pointer, uint64_t) { HeapFree(GetProcessHeap(), 0, pointer); }

void* AllocateMemory(uint64_t size) {
  for (;;) {
    void* block = AllocHook(size, 0);
    if (block != nullptr) return block;
    if (OutOfMemoryHook == nullptr || OutOfMemoryHook(size) == 0) return nullptr;
  }
}

void FreeMemory(void* pointer, uint64_t size) {
  if (pointer != nullptr) FreeHook(pointer, size);
}
