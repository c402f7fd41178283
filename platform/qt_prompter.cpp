#include "platform/qt_prompter.h"

#include <QMessageBox>
#include <QPushButton>

#include "platform/qt_device_context.h"

namespace spanlab {

namespace {
// The help topics of the questions' help contexts.
const char* TopicOf(int helpContext) {
  return helpContext == 100 ? "Lines Longer Than 80 Characters" : nullptr;
}
}  // namespace

bool QtPrompter::AskYesNo(const std::string& text, int helpContext) {
  QMessageBox box(QMessageBox::Warning, "Spanlab", ToQString(text),
                  QMessageBox::Yes | QMessageBox::No, parent_);
  box.setDefaultButton(QMessageBox::No);
  const char* topic = TopicOf(helpContext);
  if (help_ && topic) {
    QPushButton* help = box.addButton(QMessageBox::Help);
    // Help opens the topic and leaves the question open.
    help->disconnect();
    QObject::connect(help, &QPushButton::clicked, &box, [this, topic] { help_->ShowTopic(topic); });
  }
  return box.exec() == QMessageBox::Yes;
}

void QtPrompter::Notify(const std::string& text) {
  QMessageBox::information(parent_, "Spanlab", ToQString(text));
}

}  // namespace spanlab
