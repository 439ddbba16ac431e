#include "platform/sim/sim_system_info.h"

// Everything is inline; the file keeps one source per service for those who extend it.
