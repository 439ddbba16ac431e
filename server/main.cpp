#include "server/admin.h"

int main(int argc, char** argv) {
  return server::RunCommandLine(argc, argv);
}
