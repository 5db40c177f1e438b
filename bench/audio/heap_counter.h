#pragma once
// Bytes the program holds through operator new, counted by a replacement of
// the global operator new and delete (heap_counter.cpp, linked only into the
// benchmarks that measure memory). Allocations of C libraries through malloc
// are not seen.
#include <cstddef>

namespace feltrix_bench {

std::size_t heapBytesInUse();
// The most held at once since the last resetHeapPeak().
std::size_t heapPeakBytes();
void resetHeapPeak();

}  // namespace feltrix_bench
