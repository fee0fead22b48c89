#pragma once
// The window hooks on Qt: plain message boxes captioned with the
// application's title, Yes/No confirmations, the busy cursor, the time labels.
#include <functional>

#include "recorder/ui_hooks.h"

class QWidget;

namespace tarnovox {

class QtUiHooks final : public UiHooks {
 public:
  void SetWindow(QWidget* window) { window_ = window; }
  void SetTimeDisplay(std::function<void()> update) { timeDisplay_ = std::move(update); }

  void ShowMessage(const std::string& text) override;
  void PostMessage(const std::string& text) override;
  bool AskYesNo(const std::string& text, const std::string& caption) override;
  void SetBusyCursor(bool busy) override;
  void UpdateTimeDisplay() override;

 private:
  QWidget* window_ = nullptr;
  std::function<void()> timeDisplay_;
};

}  // namespace tarnovox
