#pragma once

namespace app {

// The application object: its one start runs the main window modally, for
// the whole life of the program.
class COrvaneApp {
 public:
  // The program's run; false, as the process ends afterwards.
  bool InitInstance();
};

}  // namespace app
