#include "edit/qt_text_line_editor.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "edit/tree_sections.h"
#include "platform/qt_device_context.h"

namespace spanlab {

bool QtTextLineEditor::Edit(int section, int mode, const CSPLX_30Doc&, std::string& text) {
  QDialog dialog(parent_);
  dialog.setWindowTitle(QString(mode == 1 ? "Add " : "Edit ") + SectionTitle(section));
  auto* layout = new QVBoxLayout(&dialog);
  const bool whole = section == kSectionDescription || section == kSectionUnits;
  layout->addWidget(new QLabel(whole ? QString("One line each:")
                                     : QString("%1").arg(ToQString(std::string(SectionPrefix(section)))),
                               &dialog));
  QLineEdit* line = nullptr;
  QPlainTextEdit* lines = nullptr;
  QString initial = ToQString(text);
  if (whole) {
    lines = new QPlainTextEdit(&dialog);
    lines->setPlainText(initial.replace("\r\n", "\n"));
    layout->addWidget(lines);
  } else {
    line = new QLineEdit(initial, &dialog);
    line->setMinimumWidth(420);
    layout->addWidget(line);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return false;
  if (whole) {
    text = lines->toPlainText().replace("\n", "\r\n").toStdString();
  } else {
    text = line->text().toStdString();
  }
  return true;
}

}  // namespace spanlab
