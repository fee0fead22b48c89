#pragma once
// The conversion's progress dialog for tests: records what it was shown and
// can act as if Cancel was clicked after a number of pieces.
#include <string>
#include <vector>

#include "formats/convert_progress.h"

namespace tarnovox::testing {

class FakeProgress : public ConvertProgress {
 public:
  void Show(const std::string& s, const std::string& t) override { shown = s + " -> " + t; cancelled = false; }
  void SetProgress(int percent) override {
    last = percent;
    if (++pieces == cancelAfter) cancelled = true;  // as if Cancel was clicked meanwhile
  }
  bool Cancelled() const override { return cancelled; }
  void Close() override { ++closes; }
  void SetFileGridEnabled(bool enabled) override { grid.push_back(enabled); }
  std::string shown;
  int cancelAfter = -1, pieces = 0, last = -1, closes = 0;
  bool cancelled = false;
  std::vector<bool> grid;
};

}  // namespace tarnovox::testing
