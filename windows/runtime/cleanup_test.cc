// The clean-up registry and the library's memory hooks that it allocates through.
#include "windows/runtime/cleanup.h"

#include <gtest/gtest.h>

#include <string>

#include "windows/runtime/memory.h"

namespace {

std::string log_;  // the clean-ups run and the blocks freed, in order

// Registering needs a registry, a function and memory; the clean-ups run from last
// registered to first, each entry is freed behind its run, the registry last.
TEST(CleanupTest, RunsInReverseOrderAndFreesEverything) {
  const CleanupFunction a = [] { log_ += 'A'; }, b = [] { log_ += 'B'; };
  const struct { bool registry, memory; CleanupFunction functions[3]; std::string log; } cases[] = {
      {false, true, {a, b, a}, ""}, {true, true, {nullptr, nullptr, nullptr}, "h"},
      {true, false, {a, b, a}, "h"}, {true, true, {a, b, b}, "BeBeAeh"}};
  FreeHook = [](void* pointer, uint64_t size) {
    log_ += size != (pointer == CleanupRegistry ? sizeof(CleanupList) : sizeof(CleanupEntry)) ? '?'
            : pointer == CleanupRegistry ? 'h' : 'e';
    DefaultFree(pointer, size);
  };
  for (const auto& c : cases) {
    log_.clear();
    CleanupRegistry = c.registry ? ListInit(static_cast<CleanupList*>(AllocateMemory(sizeof(CleanupList)))) : nullptr;
    if (!c.memory) AllocHook = [](uint64_t, uint32_t) -> void* { return nullptr; };
    uint32_t registered = 0;
    for (CleanupFunction f : c.functions) registered += RegisterCleanup(f) ? 1 : 0;
    AllocHook = DefaultAlloc;
    EXPECT_EQ(registered, c.registry ? CleanupRegistry->count : 0);
    RunCleanup();
    EXPECT_EQ(c.log, log_);
    EXPECT_EQ(nullptr, CleanupRegistry);
  }
  FreeHook = DefaultFree;
}

// An entry comes off the list unlinked, its neighbour first in its place.
TEST(ListPopFront, UnlinksTheFirstEntry) {
  CleanupList list;
  CleanupEntry a = {}, b = {};
  EXPECT_EQ(ListPopFront(ListInit(&list)), nullptr);
  a.next = &b, b.prev = &a, list = {&a, &b, 2};
  EXPECT_EQ(ListPopFront(&list), &a);
  EXPECT_TRUE(!a.prev && !a.next && !b.prev && list.first == &b && list.last == &b && list.count == 1);
  EXPECT_EQ(ListPopFront(&list), &b);
  EXPECT_TRUE(!list.first && !list.last && list.count == 0);
}

}  // namespace
