#include "platform/sim/sim_idle.h"

// Everything is inline; the file keeps one source per service for those who extend it.
