// The search for the runtimes that nothing registers, on the real file system.
#pragma once

#include "runtime_list.h"

// Fills an empty list with them, highest version first (see runtime_places.h).
void collectUnregisteredRuntimes(RuntimeList& list);
