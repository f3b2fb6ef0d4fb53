#include "runtime/memory.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

int alloc_calls, succeed_at_call;  // succeed_at_call 0: never
int oom_answers[4], oom_calls;

void* CountingAlloc(uint64_t size, uint32_t flags) {
  return ++alloc_calls == succeed_at_call ? DefaultAlloc(size, flags) : nullptr;
}
int32_t ScriptedOutOfMemory(uint64_t) { return oom_answers[oom_calls++]; }

TEST(AllocateMemory, RetriesWhileTheOutOfMemoryHookAsks) {
  const struct {
    bool with_oom_hook;
    int oom_answers[4], succeed_at_call, attempts;
    bool block;
  } cases[] = {{false, {}, 0, 1, false}, {true, {1, 1, 0}, 0, 3, false},  // three, then null
               {true, {1, 1, 0}, 2, 2, true}, {true, {0}, 1, 1, true}};
  for (const auto& c : cases) {
    alloc_calls = oom_calls = 0;
    succeed_at_call = c.succeed_at_call;
    std::copy(c.oom_answers, c.oom_answers + 4, oom_answers);
    AllocHook = CountingAlloc;
    OutOfMemoryHook = c.with_oom_hook ? ScriptedOutOfMemory : nullptr;
    void* block = AllocateMemory(16);
    AllocHook = DefaultAlloc;
    OutOfMemoryHook = nullptr;
    EXPECT_EQ(c.attempts, alloc_calls);
    EXPECT_EQ(c.block, block != nullptr);
    FreeMemory(block, 16);
  }
}

}  // namespace
