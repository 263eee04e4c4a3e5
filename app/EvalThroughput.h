#pragma once
// Timing of the commands: a process-wide start tick and the "%d[ms]" text
// the status bar shows.

#include <cstdint>
#include <string>

extern uint32_t StartTick;

// StartTick := the current millisecond tick.
void ResetThroughput();
// The milliseconds since StartTick as "%d[ms]".
std::string ThroughputText();
// The text for a given elapsed time (the tick difference, taken modulo 2^32
// so that a wrapped tick still measures correctly).
std::string FormatThroughput(uint32_t elapsedMs);
