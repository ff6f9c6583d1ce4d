#pragma once
// Waiting: blocking, or with window messages running meanwhile.
#include <cstdint>
#include <functional>

// Blocks the thread; no window message is handled meanwhile.
void Sleep_Ms(std::int32_t milliseconds);

// Returns after the given time, having let window messages run meanwhile. Measured on a monotonic
// clock, so a wait across midnight or a clock change ends on time. 0 or less returns at once.
// Sleeps between messages instead of spinning, so a waiting loop costs no CPU.
void Wait_Time(std::int32_t milliseconds);

// The same, but returns as soon as done() holds, checked after each round of messages (the handlers
// that make it hold run in them). True when it ended early.
bool Wait_Time_Until(std::int32_t milliseconds, const std::function<bool()>& done);
