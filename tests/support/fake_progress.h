#pragma once
// The conversion's progress dialog for tests: records what it was shown; a
// test clicks Cancel by calling `cancel`.
#include <string>
#include <vector>

#include "formats/convert_progress.h"

namespace tarnovox::testing {

class FakeProgress : public ConvertProgress {
 public:
  void Show(ConversionTarget f, const std::string& s, const std::string& t) override {
    format = f;
    shown = s + " -> " + t;
    cancelled = false;
  }
  void SetProgress(int percent) override { last = percent; }
  bool Cancelled() const override { return cancelled; }
  void SetCancelAction(std::function<void()> action) override { cancel = std::move(action); }
  void Close() override { ++closes; }
  void SetFileGridEnabled(bool enabled) override { grid.push_back(enabled); }
  ConversionTarget format = ConversionTarget::Mp3;
  std::string shown;
  int last = -1, closes = 0;
  bool cancelled = false;
  std::vector<bool> grid;
  std::function<void()> cancel;
};

}  // namespace tarnovox::testing
