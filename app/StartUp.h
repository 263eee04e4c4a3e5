#pragma once
// What runs once when the program starts and when it ends, in this order:
// every format unit registers its extensions, then the DCT module builds
// its range-limit table. Both front ends call these.

void InitializeProgramUnits();
void FinalizeProgramUnits();
