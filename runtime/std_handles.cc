#include "runtime/std_handles.h"

void* StdOutputHandle = nullptr;
void* StdErrorHandle = nullptr;
