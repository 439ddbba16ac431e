#include "platform/linux/linux_system_info.h"

// Everything is inline; the file keeps one source per service.
