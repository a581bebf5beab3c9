// Storage of the process-wide launcher values; every field starts unset.
#include "launcher_state.h"

LauncherState launcherState;
