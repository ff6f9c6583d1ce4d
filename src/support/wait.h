#pragma once
// Waiting: blocking, or with window messages running meanwhile.
#include <cstdint>

// Blocks the thread; no window message is handled meanwhile.
void Sleep_Ms(std::int32_t milliseconds);

// Returns after the given time, having let window messages run meanwhile. Measured on a monotonic
// clock, so a wait across midnight or a clock change ends on time. 0 or less returns at once.
// Sleeps between messages instead of spinning, so a waiting loop costs no CPU.
void Wait_Time(std::int32_t milliseconds);
