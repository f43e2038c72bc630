// The one display settings record, zero until the settings hook fills it.
#include "shell/display_settings.h"

DisplaySettings displaySettings = {};
