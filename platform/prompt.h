// Questions and notices that the core puts to the user. The window shows message boxes; the
// command line answers from its options; tests record what was asked.
#pragma once

#include <string>
#include <vector>

namespace spanlab {

class Prompter {
 public:
  virtual ~Prompter() = default;
  // A warning with Yes and No buttons. `helpContext` names the help topic F1 opens.
  // Returns true for Yes.
  virtual bool AskYesNo(const std::string& text, int helpContext) = 0;
  // An information box with an OK button.
  virtual void Notify(const std::string& text) = 0;
};

// Answers every question the same way and keeps every text it was shown, in order.
class RecordingPrompter : public Prompter {
 public:
  explicit RecordingPrompter(bool answer = false) : answer_(answer) {}
  bool AskYesNo(const std::string& text, int helpContext) override {
    questions.push_back(text);
    helpContexts.push_back(helpContext);
    return answer_;
  }
  void Notify(const std::string& text) override { notices.push_back(text); }

  std::vector<std::string> questions;
  std::vector<int> helpContexts;
  std::vector<std::string> notices;

 private:
  bool answer_;
};

}  // namespace spanlab
