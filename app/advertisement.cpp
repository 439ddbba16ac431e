#include "app/advertisement.h"

namespace app {

void OpenAdvertisementWindow() {}

}  // namespace app
