// Questions and notices of the core as message boxes over a window.
#pragma once

#include <QWidget>

#include "platform/help.h"
#include "platform/prompt.h"

namespace spanlab {

class QtPrompter : public Prompter {
 public:
  explicit QtPrompter(QWidget* parent) : parent_(parent) {}
  // Questions with a help topic get a Help button (and F1) that opens it; not owned.
  void SetHelp(HelpProvider* help) { help_ = help; }
  bool AskYesNo(const std::string& text, int helpContext) override;
  void Notify(const std::string& text) override;

 private:
  QWidget* parent_;
  HelpProvider* help_ = nullptr;
};

}  // namespace spanlab
