// Frame statistics for --stats, and the heap-allocation counter behind allocs_per_frame.
#pragma once

#include <cstdint>

// Heap allocations made through operator new since the program started.
uint64_t AllocationCount();

// Around the frame stages of the main loop; each call only stores numbers in fixed arrays.
void StatsFrameBegin();
void StatsUpdateBegin();
void StatsUpdateEnd();
void StatsFrameEnd();
// The one "stats ..." line, written to standard output at exit.
void PrintStats();
