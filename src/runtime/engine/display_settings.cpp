// The one display settings record, zero until the settings hook fills it.
#include "runtime/engine/display_settings.h"

DisplaySettings displaySettings = {};
