#include "ui/worker_link.h"

namespace ui {

struct WorkerLink::State {
  explicit State(WindowPoster p) : poster(p) {}
  mutable std::mutex mutex;
  std::condition_variable changed;
  WindowPoster poster;
  bool closed = false;
};

// One call on its way: done once it ran, or once nobody can run it any more.
struct WorkerLink::Pending {
  std::function<void()> call;
  bool done = false;
  bool ran = false;
};

struct WorkerLink::CallPayload : Payload {
  CallPayload(std::shared_ptr<State> s, std::shared_ptr<Pending> p)
      : state(std::move(s)), pending(std::move(p)) {}
  // A payload freed unserved (its window gone, or the queue dropped at the
  // end) still releases the worker.
  ~CallPayload() override { Finish(false); }

  void Finish(bool ran) {
    if (!pending) return;
    {
      std::lock_guard lock(state->mutex);
      pending->done = true;
      pending->ran = ran;
    }
    state->changed.notify_all();
    pending.reset();
  }

  std::shared_ptr<State> state;
  std::shared_ptr<Pending> pending;
};

WorkerLink::WorkerLink(WindowPoster poster) : state_(std::make_shared<State>(poster)) {}

bool WorkerLink::Post(std::uint32_t message, std::uintptr_t wParam,
                      std::unique_ptr<Payload> payload) {
  // Held while posting, so that Close waits for a post under way and nothing
  // reaches the port after it.
  std::lock_guard lock(state_->mutex);
  if (state_->closed) return false;
  state_->poster.Post(message, wParam, std::move(payload));
  return true;
}

bool WorkerLink::Call(std::function<void()> call) {
  auto pending = std::make_shared<Pending>();
  pending->call = std::move(call);
  if (!Post(kServeCall, 0, std::make_unique<CallPayload>(state_, pending))) return false;
  std::unique_lock lock(state_->mutex);
  state_->changed.wait(lock, [&] { return pending->done || state_->closed; });
  return pending->ran;
}

bool WorkerLink::Sleep(unsigned ms) {
  std::unique_lock lock(state_->mutex);
  return !state_->changed.wait_for(lock, std::chrono::milliseconds(ms),
                                   [&] { return state_->closed; });
}

bool WorkerLink::Closed() const {
  std::lock_guard lock(state_->mutex);
  return state_->closed;
}

void WorkerLink::Serve(std::unique_ptr<Payload> payload) {
  auto* call = dynamic_cast<CallPayload*>(payload.get());
  if (!call || !call->pending) return;
  bool closed;
  {
    std::lock_guard lock(call->state->mutex);
    closed = call->state->closed;
  }
  // A call that arrives after its window closed the link finds a worker that
  // has given up on it.
  if (!closed) call->pending->call();
  call->Finish(!closed);
}

void WorkerLink::Close() {
  {
    std::lock_guard lock(state_->mutex);
    state_->closed = true;
  }
  state_->changed.notify_all();
}

}  // namespace ui
