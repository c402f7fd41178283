// Questions and notices of the core as message boxes over a window.
#pragma once

#include <QWidget>

#include "platform/prompt.h"

namespace spanlab {

class QtPrompter : public Prompter {
 public:
  explicit QtPrompter(QWidget* parent) : parent_(parent) {}
  bool AskYesNo(const std::string& text, int helpContext) override;
  void Notify(const std::string& text) override;

 private:
  QWidget* parent_;
};

}  // namespace spanlab
