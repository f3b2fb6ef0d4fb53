#pragma once
// The runtime library's own memory, through hooks that a program may replace.
// By default the blocks come from the process heap.

#include <stdint.h>

// Allocates `size` bytes; `flags` is 0 in every call and has no meaning yet.
typedef void* (*AllocHookFunction)(uint64_t size, uint32_t flags);
// Frees a block with the size that was asked for.
typedef void (*FreeHookFunction)(void* pointer, uint64_t size);
// Called after a failed allocation; non-zero asks for another attempt.
typedef int32_t (*OutOfMemoryHookFunction)(uint64_t size);

extern AllocHookFunction AllocHook;
extern FreeHookFunction FreeHook;
extern OutOfMemoryHookFunction OutOfMemoryHook;

void* DefaultAlloc(uint64_t size, uint32_t flags);
void DefaultFree(void* pointer, uint64_t size);

// A block of at least `size` bytes, or null once OutOfMemoryHook gives up.
void* AllocateMemory(uint64_t size);
// Gives back a block from AllocateMemory; null is ignored.
void FreeMemory(void* pointer, uint64_t size);
