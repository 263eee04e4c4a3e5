#include "app/EvalThroughput.h"

#include "platform/SysUtils.h"
#include "platform/SystemInfo.h"

uint32_t StartTick = 0;

void ResetThroughput() { StartTick = GetTickMs(); }

std::string ThroughputText() { return FormatThroughput(GetTickMs() - StartTick); }

std::string FormatThroughput(uint32_t elapsedMs) { return Format("%d[ms]", static_cast<int32_t>(elapsedMs)); }
