#pragma once
// Sources the test sets, and their news delivered the way the sound server's
// thread delivers it: from another thread.
#include <thread>

#include "platform/input_sources.h"

namespace tarnovox::testing {

class FakeInputSources : public InputSources {
 public:
  std::vector<InputSource> List() override { return sources; }
  void Follow(std::function<void()> changed) override { changed_ = std::move(changed); }

  bool Following() const { return static_cast<bool>(changed_); }
  void Change(std::vector<InputSource> now) {
    sources = std::move(now);
    if (changed_) std::thread(changed_).join();
  }

  std::vector<InputSource> sources;

 private:
  std::function<void()> changed_;
};

}  // namespace tarnovox::testing
