#pragma once
#include <string>

namespace tools {

// The window messages a page's sink posts to the page itself (WM_USER + n).
inline constexpr unsigned WM_TOOL_STATUS = 0x464;  // extract and replace: status string
inline constexpr unsigned WM_DOWNLOAD_STATUS = 0x500;
inline constexpr unsigned WM_DOWNLOAD_FINISHED = 0x501;
inline constexpr unsigned WM_DOWNLOAD_RESET = 0x502;

// Where a batch worker sends its status lines. A page posts each line to its
// window (the worker thread never touches a control); the command line prints
// it. Lines are GBK and arrive in order, one call at a time, though not
// always from the same thread.
class StatusSink {
 public:
  virtual ~StatusSink() = default;
  // Ownership of the text passes to the sink.
  virtual void PostStatus(std::string text) = 0;
  // The worker's last act, after its last status line.
  virtual void PostFinished() {}
};

}  // namespace tools
