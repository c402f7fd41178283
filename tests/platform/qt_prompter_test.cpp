// The message boxes of the core's questions.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "platform/qt_prompter.h"

namespace spanlab {
namespace {

class RecordingHelp : public HelpProvider {
 public:
  void ShowTopic(const std::string& keyword) override { topics.push_back(keyword); }
  void ShowContents() override { topics.push_back("Contents"); }
  std::vector<std::string> topics;
};

// Clicks the buttons of the next message box, one after the other.
void ClickInTurn(std::vector<QMessageBox::StandardButton> buttons) {
  auto* timer = new QTimer;
  auto remaining = std::make_shared<std::vector<QMessageBox::StandardButton>>(std::move(buttons));
  auto ticks = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, remaining, ticks] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (++*ticks > 300 || remaining->empty()) {  // 3 s guard
      timer->stop();
      timer->deleteLater();
      if (box) box->reject();
      return;
    }
    if (!box || !box->isVisible()) return;
    box->button(remaining->front())->click();
    remaining->erase(remaining->begin());
  });
  timer->start(10);
}

TEST(QtPrompterTest, LongLineQuestionOffersItsHelpAndStaysOpen) {
  RecordingHelp help;
  QtPrompter prompter(nullptr);
  prompter.SetHelp(&help);
  ClickInTurn({QMessageBox::Help, QMessageBox::Yes});
  EXPECT_TRUE(prompter.AskYesNo("Line number 3 has more than 80 characters.", 100));
  EXPECT_EQ(help.topics, std::vector<std::string>{"Lines Longer Than 80 Characters"});
}

TEST(QtPrompterTest, QuestionsWithoutATopicHaveNoHelpButton) {
  RecordingHelp help;
  QtPrompter prompter(nullptr);
  prompter.SetHelp(&help);
  bool hadHelp = true;
  QTimer::singleShot(50, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    hadHelp = box && box->button(QMessageBox::Help) != nullptr;
    if (box) box->button(QMessageBox::No)->click();
  });
  EXPECT_FALSE(prompter.AskYesNo("Anything else?", 0));
  EXPECT_FALSE(hadHelp);
  EXPECT_TRUE(help.topics.empty());
}

}  // namespace
}  // namespace spanlab
