#pragma once

// Registers the program's icons (welmo.qrc). The resources are compiled
// into a static library, whose registration would otherwise be dropped by
// the linker. Safe to call more than once.
void initAppResources();
