#pragma once
// UiHooks for tests: records messages, answers questions from a script.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "recorder/ui_hooks.h"

namespace tarnovox::testing {

class ScriptedUiHooks : public UiHooks {
 public:
  void ShowMessage(const std::string& text) override {
    messages.push_back(text);
    if (onMessage) onMessage();  // what happens while the message is open
  }
  bool AskYesNo(const std::string& text, const std::string& caption) override {
    questions.push_back(caption + ": " + text);
    if (onAsk) onAsk();  // what happens while the question is open
    if (answers.empty()) return false;
    bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void SetBusyCursor(bool busy) override { busyChanges.push_back(busy); }
  void UpdateTimeDisplay() override {}

  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::deque<bool> answers;  // Yes = true; an empty script answers No
  std::vector<bool> busyChanges;
  std::function<void()> onAsk;
  std::function<void()> onMessage;
};

}  // namespace tarnovox::testing
