#pragma once
// Timing of the measured work, as the status bar reports it.

#include <cstdint>
#include <string>

extern uint32_t StartTick;

// StartTick := the current millisecond tick.
void ResetThroughput();
// Milliseconds since StartTick (32-bit, wraps with the tick).
uint32_t ThroughputMs();
// "%d[ms]" of ThroughputMs().
std::string ThroughputText();
