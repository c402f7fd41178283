#include "platform/qt_prompter.h"

#include <QMessageBox>

#include "platform/qt_device_context.h"

namespace spanlab {

bool QtPrompter::AskYesNo(const std::string& text, int) {
  QMessageBox box(QMessageBox::Warning, "Spanlab", ToQString(text),
                  QMessageBox::Yes | QMessageBox::No, parent_);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

void QtPrompter::Notify(const std::string& text) {
  QMessageBox::information(parent_, "Spanlab", ToQString(text));
}

}  // namespace spanlab
