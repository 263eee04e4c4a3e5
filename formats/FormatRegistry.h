#pragma once
// Start-up and shut-down of the format units. Each unit registers its
// extensions in its own initialisation routine; this runs them in the
// program's fixed order, because later registrations win.

// Runs every unit's registration once (later calls do nothing).
void RegisterFormatUnits();
// Runs every unit's unregistration, in reverse order; RegisterFormatUnits
// may then run again.
void UnregisterFormatUnits();
