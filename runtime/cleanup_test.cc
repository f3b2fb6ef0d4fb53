#include "runtime/cleanup.h"

#include <gtest/gtest.h>

#include "runtime/memory.h"

namespace {

char run_order[8];
int run_count;
int freed_entries;
int freed_heads;

void CleanupA() { run_order[run_count++] = 'A'; }
void CleanupB() { run_order[run_count++] = 'B'; }
void CleanupC() { run_order[run_count++] = 'C'; }

void CountingFree(void* pointer, uint64_t size) {
  if (pointer == CleanupRegistry) {
    EXPECT_EQ(sizeof(CleanupList), size);
    ++freed_heads;
  } else {
    EXPECT_EQ(sizeof(CleanupEntry), size);
    ++freed_entries;
  }
  DefaultFree(pointer, size);
}

class CleanupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_registry_ = CleanupRegistry;
    Reset();
  }
  void Reset() {
    CleanupRegistry = nullptr;
    run_count = 0;
    freed_entries = 0;
    freed_heads = 0;
    FreeHook = CountingFree;
  }
  void TearDown() override {
    FreeHook = DefaultFree;
    CleanupRegistry = saved_registry_;
  }
  void CreateRegistry() {
    CleanupRegistry = ListInit(static_cast<CleanupList*>(AllocateMemory(sizeof(CleanupList))));
  }
  CleanupList* saved_registry_;
};

TEST_F(CleanupTest, RunsFromFirstToLastAndFreesEverything) {
  struct Case {
    bool registry;
    CleanupFunction functions[3];
    const char* expected_order;
    int expected_heads_freed;
  } const cases[] = {
      {false, {}, "", 0},
      {true, {}, "", 1},
      {true, {CleanupA, CleanupB, CleanupC}, "CBA", 1},
  };
  for (const Case& c : cases) {
    Reset();
    if (c.registry) CreateRegistry();
    int registered = 0;
    for (CleanupFunction f : c.functions) {
      if (f != nullptr) registered += RegisterCleanup(f) ? 1 : 0;
    }
    EXPECT_EQ(registered, c.registry ? int(CleanupRegistry->count) : 0);
    RunCleanup();
    run_order[run_count] = 0;
    EXPECT_STREQ(c.expected_order, run_order);
    EXPECT_EQ(registered, freed_entries);
    EXPECT_EQ(c.expected_heads_freed, freed_heads);
    EXPECT_EQ(nullptr, CleanupRegistry);
  }
}

TEST_F(CleanupTest, RegisteringNeedsARegistryAndAFunction) {
  EXPECT_FALSE(RegisterCleanup(CleanupA));
  CreateRegistry();
  EXPECT_FALSE(RegisterCleanup(nullptr));
  EXPECT_EQ(0u, CleanupRegistry->count);
  RunCleanup();
}

}  // namespace
