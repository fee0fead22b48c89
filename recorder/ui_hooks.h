#pragma once
// What playback, the file commands and the conversion need of the windowing
// side: messages, questions, the busy cursor. Qt implements it in app/; tests
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
  // The hourglass while the output folder is read.
  virtual void SetBusyCursor(bool busy) = 0;
  // Shows RecorderState::DisplayedMs in the time labels.
  virtual void UpdateTimeDisplay() = 0;
};

}  // namespace tarnovox
