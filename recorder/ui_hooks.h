#pragma once
// What the core needs of the windowing side. Qt implements it in app/; tests
// implement it with a script of answers.
#include <cstdint>
#include <string>

namespace tarnovox {

class UiHooks {
 public:
  virtual ~UiHooks() = default;
  // A plain message box captioned with the application's title.
  virtual void ShowMessage(const std::string& text) = 0;
  // The same box, opened once the event being handled now has finished (a
  // timer tick, a command), not inside it.
  virtual void PostMessage(const std::string& text) { ShowMessage(text); }
  // A confirmation dialog with Yes and No; true for Yes.
  virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
  // Lets pending window messages (timer ticks, clicks) run now.
  virtual void ProcessMessages() = 0;
  // The hourglass while the output folder is read.
  virtual void SetBusyCursor(bool busy) = 0;
  // Shows RecorderState::DisplayedMs in the time labels.
  virtual void UpdateTimeDisplay() = 0;
  // Shows the output format of the record settings.
  virtual void UpdateFormatLabels() = 0;
};

}  // namespace tarnovox
