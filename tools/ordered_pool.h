#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace tools {

// Runs jobs on a few threads and hands their results to `deliver` one at a
// time, in the order the jobs were submitted, whichever finishes first. Files
// wait on the disk far more than on the processor, so a few jobs in flight
// keep it busy. When `deliver` returns false, nothing more is delivered and
// jobs not yet started are dropped.
template <typename Result>
class OrderedPool {
 public:
  using Job = std::function<Result()>;
  using Deliver = std::function<bool(Result&)>;

  OrderedPool(int threads, Deliver deliver) : deliver_(std::move(deliver)) {
    if (threads < 1) threads = 1;
    limit_ = static_cast<std::size_t>(threads) * 16;
    for (int i = 0; i < threads; ++i) {
      try {
        workers_.emplace_back([this] { Work(); });
      } catch (const std::system_error&) {
        // Short of memory for another thread: go on with those that started. An
        // exception out of here would destroy the queue under their feet.
        if (workers_.empty()) throw;
        break;
      }
    }
  }
  OrderedPool(const OrderedPool&) = delete;
  OrderedPool& operator=(const OrderedPool&) = delete;
  ~OrderedPool() { Finish(); }

  // Waits while enough jobs are queued; false once delivery has stopped.
  bool Submit(Job job) {
    std::unique_lock lock(mutex_);
    if (queue_.size() >= limit_) {
      // Sleep until the queue has half emptied: one wake-up per batch, not per job.
      submitterWaiting_ = true;
      space_.wait(lock, [&] { return stopped_ || queue_.size() <= limit_ / 2; });
      submitterWaiting_ = false;
    }
    if (stopped_) return false;
    queue_.push_back({submitted_++, std::move(job)});
    if (idle_ > 0) ready_.notify_one();
    return true;
  }

  // Runs what is queued, delivers the rest in order and ends the threads.
  void Finish() {
    {
      std::lock_guard lock(mutex_);
      closed_ = true;
    }
    ready_.notify_all();
    for (std::thread& worker : workers_) {
      if (worker.joinable()) worker.join();
    }
  }

  bool stopped() {
    std::lock_guard lock(mutex_);
    return stopped_;
  }

 private:
  struct Entry {
    std::size_t number = 0;
    Job job;
  };

  void Work() {
    for (;;) {
      Entry entry;
      {
        std::unique_lock lock(mutex_);
        ++idle_;
        ready_.wait(lock, [&] { return closed_ || stopped_ || !queue_.empty(); });
        --idle_;
        if (stopped_ || queue_.empty()) return;
        entry = std::move(queue_.front());
        queue_.pop_front();
        if (submitterWaiting_ && queue_.size() <= limit_ / 2) space_.notify_one();
      }
      Result result = entry.job();
      std::lock_guard deliverLock(deliverMutex_);
      done_.emplace(entry.number, std::move(result));
      // Whoever completes the next expected job delivers it and what follows.
      for (auto it = done_.find(next_); it != done_.end() && !deliverStopped_;
           it = done_.find(next_)) {
        if (!deliver_(it->second)) Stop();
        done_.erase(it);
        ++next_;
      }
    }
  }

  void Stop() {
    deliverStopped_ = true;
    std::lock_guard lock(mutex_);
    stopped_ = true;
    queue_.clear();
    space_.notify_all();
    ready_.notify_all();
  }

  Deliver deliver_;
  std::size_t limit_ = 2;
  std::vector<std::thread> workers_;

  std::mutex mutex_;  // queue and flags
  std::condition_variable ready_;
  std::condition_variable space_;
  std::deque<Entry> queue_;
  std::size_t submitted_ = 0;
  bool closed_ = false;
  bool stopped_ = false;
  bool submitterWaiting_ = false;
  int idle_ = 0;  // workers waiting for a job

  std::mutex deliverMutex_;  // results and delivery order
  std::map<std::size_t, Result> done_;
  std::size_t next_ = 0;
  bool deliverStopped_ = false;
};

}  // namespace tools
