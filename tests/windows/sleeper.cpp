// A process for the tests to find and end.
#include "platform/windows/win32.h"

int main() {
  Sleep(60000);
  return 0;
}
