#pragma once
#include <memory>
#include <string>

namespace ui {

// Data carried by a posted message. The receiving handler owns it; when the
// window is gone by the time the message would arrive, the backend frees it.
struct Payload {
  virtual ~Payload() = default;
};

struct TextPayload : Payload {
  explicit TextPayload(std::string t) : text(std::move(t)) {}
  std::string text;  // GBK
};

}  // namespace ui
