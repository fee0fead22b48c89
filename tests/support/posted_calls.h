#pragma once
// What a worker thread hands to the window thread, run when the test says so.
#include <functional>
#include <mutex>
#include <vector>

namespace tarnovox::testing {

class PostedCalls {
 public:
  std::function<void(std::function<void()>)> Deliver() {
    return [this](std::function<void()> call) {
      std::lock_guard lock(mutex_);
      calls_.push_back(std::move(call));
    };
  }
  // Runs every call posted so far, in order, also those they post.
  void RunAll() {
    for (;;) {
      std::vector<std::function<void()>> calls;
      {
        std::lock_guard lock(mutex_);
        calls.swap(calls_);
      }
      if (calls.empty()) return;
      for (auto& call : calls) call();
    }
  }

 private:
  std::mutex mutex_;
  std::vector<std::function<void()>> calls_;
};

}  // namespace tarnovox::testing
