#include "app/StartUp.h"

#include "formats/FormatRegistry.h"
#include "images/Effector/DCTCoreUnit.h"

void InitializeProgramUnits() {
    RegisterFormatUnits();
    InitializeDCTCoreUnit();
}

void FinalizeProgramUnits() {
    FinalizeDCTCoreUnit();
    UnregisterFormatUnits();
}
