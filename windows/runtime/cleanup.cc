#include "windows/runtime/cleanup.h"

#include "windows/runtime/debug_check.h"
#include "windows/runtime/memory.h"

CleanupList* CleanupRegistry = nullptr;

CleanupList* ListInit(CleanupList* list) {
  DebugCheck(list != nullptr);
  if (list == nullptr) return nullptr;
  list->first = nullptr;
  list->last = nullptr;
  list->count = 0;
  return list;
}

CleanupEntry* ListPopFront(CleanupList* list) {
  DebugCheck(list != nullptr);
  if (list == nullptr) return nullptr;
  CleanupEntry* entry = list->first;
  if (entry == nullptr) return nullptr;
  if (entry->prev != nullptr) entry->prev->next = entry->next;
  if (entry->next != nullptr) entry->next->prev = entry->prev;
  if (list->first == entry) list->first = entry->next;
  if (list->last == entry) list->last = entry->prev;
  entry->prev = nullptr;
  entry->next = nullptr;
  list->count--;
  return entry;
}

static void ListPushFront(CleanupList* list, CleanupEntry* entry) {
  entry->prev = nullptr;
  entry->next = list->first;
  if (list->first != nullptr) list->first->prev = entry;
  list->first = entry;
  if (list->last == nullptr) list->last = entry;
  list->count++;
}

bool RegisterCleanup(CleanupFunction function) {
  if (CleanupRegistry == nullptr || function == nullptr) return false;
  CleanupEntry* entry = static_cast<CleanupEntry*>(AllocateMemory(sizeof(CleanupEntry)));
  if (entry == nullptr) return false;
  entry->function = function;
  ListPushFront(CleanupRegistry, entry);
  return true;
}

void RunCleanup() {
  if (CleanupRegistry == nullptr) return;
  if (CleanupRegistry->count != 0) {
    // A clean-up may register another; it is linked at the front and runs next.
    while (CleanupEntry* entry = ListPopFront(CleanupRegistry)) {
      entry->function();
      FreeMemory(entry, sizeof(CleanupEntry));
    }
  }
  FreeMemory(CleanupRegistry, sizeof(CleanupList));
  CleanupRegistry = nullptr;
}
