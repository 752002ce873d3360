// Frame statistics for --stats, and the heap-allocation counter behind allocs_per_frame. Both
// are off until switched on: a game run without --stats pays one test of a flag per allocation
// and per frame stage, and nothing else.
#pragma once

#include <cstdint>

// Switches the statistics and the allocation counter on (--stats, and the tests that read them).
void EnableStats();

// Heap allocations made through operator new since the statistics were switched on, by anyone
// (the GL driver's shader compiler included); always 0 in sanitizer builds, which keep their
// allocator.
uint64_t AllocationCount();
// Of those, the ones made between StatsFrameBegin and StatsFrameEnd with no code of the GL
// driver on the stack: the game's own, which allocs_per_frame reports.
uint64_t GameFrameAllocationCount();

// Around the frame stages of the main loop; each call only stores numbers in fixed arrays, and
// does nothing while the statistics are off.
void StatsFrameBegin();
void StatsUpdateBegin();
void StatsUpdateEnd();
void StatsFrameEnd();
// The one "stats ..." line, written to standard output at exit.
void PrintStats();
