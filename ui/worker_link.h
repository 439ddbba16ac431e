#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "ui/dialog.h"

namespace ui {

// What a worker thread holds of the window that started it. Everything the
// worker wants of the window goes through here: posting, and calls that the
// window's own thread serves (reading a control, on any port: GTK widgets in
// particular must never be touched from another thread). Once the window has
// closed the link, posts are dropped and calls fail at once, so a worker
// never waits on a window that is gone.
class WorkerLink {
 public:
  // The message that carries a call to the window; the window hands the
  // payload to Serve.
  static constexpr std::uint32_t kServeCall = msg::kUser + 0x3F0;

  explicit WorkerLink(WindowPoster poster);
  WorkerLink(const WorkerLink&) = delete;
  WorkerLink& operator=(const WorkerLink&) = delete;

  // --- the worker's side (any thread) ---
  // False (and the payload freed) once the link is closed.
  bool Post(std::uint32_t message, std::uintptr_t wParam = 0,
            std::unique_ptr<Payload> payload = nullptr);
  // Runs `call` on the window's thread and waits until it has run; false when
  // the link closed (or the window went) before it could run.
  bool Call(std::function<void()> call);
  // Waits up to `ms`; false when the link closed meanwhile (or before).
  bool Sleep(unsigned ms);
  bool Closed() const;

  // --- the window's side (its own thread) ---
  // Runs the call a kServeCall message carries.
  static void Serve(std::unique_ptr<Payload> payload);
  // Posts stop and waiting calls fail from now on.
  void Close();

 private:
  struct State;
  struct Pending;
  struct CallPayload;

  std::shared_ptr<State> state_;
};

}  // namespace ui
