#include "app/job.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include "app/files.h"
#include "app/reformat.h"
#include "windows/runtime/std_handles.h"

// A job starts holding nothing; growing its output buffer gives the old one back. Each
// buffer and handle it holds is given back and its field reset, but standard output,
// which the start-up frame owns. (The new buffer may take the old one's pages again.)
TEST(Job, StartsEmptyAndGivesBackWhatItHolds) {
  auto is_free = [](const void* pages) {
    MEMORY_BASIC_INFORMATION info;
    return VirtualQuery(pages, &info, sizeof info) == sizeof info && info.State == MEM_FREE;
  };
  auto is_open = [](HANDLE handle) { DWORD flags; return GetHandleInformation(handle, &flags) != 0; };
  auto pages = [] { return static_cast<uint8_t*>(VirtualAlloc(nullptr, 4096, MEM_COMMIT, PAGE_READWRITE)); };
  for (bool to_standard_output : {false, true}) {
    FormatJob job;
    memset(&job, 0xA5, sizeof job);
    InitJob(&job);
    EXPECT_TRUE(!job.source_path[0] && !job.dest_path[0] && !job.raw && !job.source_handle && !job.dest_handle &&
                !job.source_buffer && !job.source_size && !job.source_length && !job.dest_created && !job.output_buffer &&
                !job.output_capacity && !job.output_length && job.result == kNoResult);
    job.source_buffer = pages(), job.output_buffer = pages(), job.source_length = 100;
    uint8_t* small = job.output_buffer;
    ASSERT_EQ(GrowOutputBuffer(&job), 0u);
    EXPECT_TRUE((job.output_buffer == small || is_free(small)) && job.output_capacity == WorstCaseOutputSize(100));
    job.source_handle = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    job.dest_handle = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    StdOutputHandle = to_standard_output ? job.dest_handle : nullptr;
    const FormatJob held = job;
    ReleaseJob(&job);
    EXPECT_TRUE(is_free(held.source_buffer) && is_free(held.output_buffer));
    EXPECT_TRUE(!is_open(held.source_handle) && is_open(held.dest_handle) == to_standard_output);
    EXPECT_TRUE(!job.source_buffer && !job.output_buffer && !job.source_handle && !job.dest_handle);
  }
  CloseHandle(StdOutputHandle);
  StdOutputHandle = nullptr;
}
