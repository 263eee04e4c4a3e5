#include "app/EvalThroughput.h"

#include "platform/SysUtils.h"
#include "platform/SystemInfo.h"

uint32_t StartTick = 0;

void ResetThroughput() { StartTick = GetTickMs(); }

uint32_t ThroughputMs() { return GetTickMs() - StartTick; }

std::string ThroughputText() { return Format("%d[ms]", static_cast<int32_t>(ThroughputMs())); }
