#include "recorder/message_gate.h"

#include <algorithm>

namespace tarnovox {

void MessageGate::ShowMessage(const std::string& text) {
  if (holds_ == 0) {
    ui_.ShowMessage(text);
    return;
  }
  // One failure often reaches several parts at once (a lost sound server ends
  // both capture streams): say it once.
  if (std::find(held_.begin(), held_.end(), text) == held_.end()) held_.push_back(text);
}

void MessageGate::Release() {
  if (holds_ == 0 || --holds_ > 0) return;
  std::vector<std::string> texts;
  texts.swap(held_);
  for (const std::string& text : texts) ui_.PostMessage(text);
}

}  // namespace tarnovox
