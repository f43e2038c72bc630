// A runtime header over the platform and another runtime folder: allowed.
#pragma once
#include "platform/clock.h"
#include "runtime/strings/rt_string.h"
