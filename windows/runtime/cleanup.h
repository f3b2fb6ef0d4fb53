#pragma once
// The clean-up registry: functions that run once, when the start-up frame ends,
// the one registered last first.

#include <stdint.h>

typedef void (*CleanupFunction)();

struct CleanupEntry {
  CleanupEntry* prev;
  CleanupEntry* next;
  CleanupFunction function;
};

struct CleanupList {
  CleanupEntry* first;  // runs next; null when empty
  CleanupEntry* last;   // runs last; null when empty
  uint32_t count;
};

// The registry's list head; InitLibrary creates it, RunCleanup frees it.
extern CleanupList* CleanupRegistry;

// Empties `list` and returns it.
CleanupList* ListInit(CleanupList* list);
// Unlinks and returns the first entry, or null when the list is empty.
CleanupEntry* ListPopFront(CleanupList* list);

// Adds `function` so that it runs before everything registered earlier. False
// without a registry (the library is not initialised), without memory, or for null.
bool RegisterCleanup(CleanupFunction function);

// Runs and frees every entry, then the list head; nothing without a registry.
void RunCleanup();
