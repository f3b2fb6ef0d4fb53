#include "runtime/cleanup.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/memory.h"

namespace {

std::string run_order;
int freed_entries, freed_heads;

void CountingFree(void* pointer, uint64_t size) {
  bool head = pointer == CleanupRegistry;
  EXPECT_EQ(head ? sizeof(CleanupList) : sizeof(CleanupEntry), size);
  ++(head ? freed_heads : freed_entries);
  DefaultFree(pointer, size);
}

// Registering needs a registry, a function and memory; the clean-ups run from last
// registered to first, and every entry and the registry itself are freed.
TEST(CleanupTest, RunsInReverseOrderAndFreesEverything) {
  CleanupList* saved_registry = CleanupRegistry;
  const CleanupFunction a = [] { run_order += 'A'; }, b = [] { run_order += 'B'; };
  const struct { bool registry, memory; CleanupFunction functions[3]; std::string order; } cases[] = {
      {false, true, {a, b, a}, ""}, {true, true, {nullptr, nullptr, nullptr}, ""},
      {true, false, {a, b, a}, ""}, {true, true, {a, b, b}, "BBA"}};
  FreeHook = CountingFree;
  for (const auto& c : cases) {
    run_order.clear();
    freed_entries = freed_heads = 0;
    CleanupRegistry = nullptr;
    if (c.registry) {
      CleanupRegistry = ListInit(static_cast<CleanupList*>(AllocateMemory(sizeof(CleanupList))));
    }
    if (!c.memory) AllocHook = [](uint64_t, uint32_t) -> void* { return nullptr; };
    int registered = 0;
    for (CleanupFunction f : c.functions) registered += RegisterCleanup(f) ? 1 : 0;
    AllocHook = DefaultAlloc;
    int expected = int(c.order.size());
    EXPECT_EQ(expected, registered);
    EXPECT_EQ(expected, c.registry ? int(CleanupRegistry->count) : 0);
    RunCleanup();
    EXPECT_EQ(c.order, run_order);
    EXPECT_EQ(expected, freed_entries);
    EXPECT_EQ(c.registry ? 1 : 0, freed_heads);
    EXPECT_EQ(nullptr, CleanupRegistry);
  }
  FreeHook = DefaultFree;
  CleanupRegistry = saved_registry;
}

}  // namespace
