#include "engine/kusystem.h"

// Off until the settings file switches the debug display on.
int g_bDebugInfo = 0;
