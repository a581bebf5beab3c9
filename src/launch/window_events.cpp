#include "window_events.h"

bool windowEventCounts(uint32_t event, int32_t object, int32_t child, bool ofFamily) {
    const bool appears = event == objectCreated || event == objectShown || event == objectNamed;
    return appears && object == 0 && child == 0 && ofFamily;
}
