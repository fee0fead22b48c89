#pragma once
// Holds back the recorder's messages while a command or a recording tick is
// running, so that every failure is told once, after the recorder is
// consistent again, and never from inside a tick whose timer keeps running
// under a modal box. Questions, message processing and the rest pass through.
#include <string>
#include <vector>

#include "recorder/ui_hooks.h"

namespace tarnovox {

class MessageGate final : public UiHooks {
 public:
  explicit MessageGate(UiHooks& ui) : ui_(ui) {}

  // Holds nest; the last Release hands every distinct text collected meanwhile
  // to PostMessage, in the order they arose.
  void Hold() { ++holds_; }
  void Release();

  void ShowMessage(const std::string& text) override;
  bool AskYesNo(const std::string& text, const std::string& caption) override { return ui_.AskYesNo(text, caption); }
  void ProcessMessages() override { ui_.ProcessMessages(); }
  void SetBusyCursor(bool busy) override { ui_.SetBusyCursor(busy); }
  void UpdateTimeDisplay() override { ui_.UpdateTimeDisplay(); }
  void UpdateFormatLabels() override { ui_.UpdateFormatLabels(); }
  void PostMessage(const std::string& text) override { ui_.PostMessage(text); }

 private:
  UiHooks& ui_;
  int holds_ = 0;
  std::vector<std::string> held_;
};

// Holds a gate for one scope.
class HeldMessages {
 public:
  explicit HeldMessages(MessageGate* gate) : gate_(gate) {
    if (gate_) gate_->Hold();
  }
  ~HeldMessages() {
    if (gate_) gate_->Release();
  }
  HeldMessages(const HeldMessages&) = delete;
  HeldMessages& operator=(const HeldMessages&) = delete;

 private:
  MessageGate* gate_;
};

}  // namespace tarnovox
