#include "runtime/memory.h"

#include <gtest/gtest.h>

namespace {

int alloc_calls;
int succeed_at_call;  // 0: never
int oom_answers[4];
int oom_calls;

void* CountingAlloc(uint64_t size, uint32_t flags) {
  ++alloc_calls;
  return alloc_calls == succeed_at_call ? DefaultAlloc(size, flags) : nullptr;
}

int32_t ScriptedOutOfMemory(uint64_t) { return oom_answers[oom_calls++]; }

TEST(AllocateMemory, RetriesWhileTheOutOfMemoryHookAsks) {
  struct Case {
    bool with_oom_hook;
    int oom_answers[4];
    int succeed_at_call;
    int expected_attempts;
    bool expected_block;
  } const cases[] = {
      {false, {}, 0, 1, false},
      {true, {1, 1, 0}, 0, 3, false},
      {true, {1, 1, 0}, 2, 2, true},
      {true, {0}, 1, 1, true},
  };
  for (const Case& c : cases) {
    alloc_calls = 0;
    oom_calls = 0;
    succeed_at_call = c.succeed_at_call;
    for (int i = 0; i < 4; i++) oom_answers[i] = c.oom_answers[i];
    AllocHook = CountingAlloc;
    OutOfMemoryHook = c.with_oom_hook ? ScriptedOutOfMemory : nullptr;
    void* block = AllocateMemory(16);
    AllocHook = DefaultAlloc;
    OutOfMemoryHook = nullptr;
    EXPECT_EQ(c.expected_attempts, alloc_calls);
    EXPECT_EQ(c.expected_block, block != nullptr);
    FreeMemory(block, 16);
  }
}

}  // namespace
