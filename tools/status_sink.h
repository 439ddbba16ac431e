#pragma once
#include <string>

namespace tools {

// Where a batch worker sends its status lines. A page posts each line to its
// window (the worker thread never touches a control); the command line prints
// it. Lines are GBK and arrive in the order the worker produced them.
class StatusSink {
 public:
  virtual ~StatusSink() = default;
  // Ownership of the text passes to the sink.
  virtual void PostStatus(std::string text) = 0;
  // The worker's last act, after its last status line.
  virtual void PostFinished() {}
};

}  // namespace tools
