#include <windows.h>

#include "link/tick_counter.h"

uint32_t PlatformTickCount() {
    return GetTickCount();
}
