#pragma once

namespace server {

// The whole command line of orvane-server: serving (the default) and the
// administration subcommands. Returns the process exit code.
int RunCommandLine(int argc, char** argv);

}  // namespace server
