#pragma once
// Loads the font configuration on a thread of its own while the application
// connects to the display, so the main window's first labels find it ready.
// Qt reads the same configuration through the same library; the library
// guards its one-time set-up itself.
#include <thread>

namespace tarnovox {

class FontWarmUp {
 public:
  FontWarmUp();
  ~FontWarmUp() { Join(); }
  FontWarmUp(const FontWarmUp&) = delete;
  FontWarmUp& operator=(const FontWarmUp&) = delete;
  // Waits until the configuration is loaded (at once when it is).
  void Join() {
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::thread thread_;
};

}  // namespace tarnovox
