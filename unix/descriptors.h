#pragma once
// The job record holds handles; here a handle is a file descriptor plus one,
// so that descriptor 0 (standard input) is not taken for "none".

#include <stdint.h>

inline void* HandleOf(int descriptor) {
  return reinterpret_cast<void*>(static_cast<intptr_t>(descriptor) + 1);
}

inline int DescriptorOf(void* handle) {
  return static_cast<int>(reinterpret_cast<intptr_t>(handle) - 1);
}
