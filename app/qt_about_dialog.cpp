#include "app/qt_about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include "app/system_info.h"

namespace spanlab {

CAboutDlg::CAboutDlg(const QString& folder, QWidget* parent) : QDialog(parent) {
  setWindowTitle("About Spanlab");
  auto* icon = new QLabel(this);
  icon->setPixmap(QIcon(":/icons/spanlab.svg").pixmap(48, 48));
  auto* version = new QLabel("Spanlab Version 3.20", this);
  QFont bold = version->font();
  bold.setBold(true);
  version->setFont(bold);
  m_memory = new QLabel(QString::fromStdString(PhysicalMemoryLine()), this);
  m_disk = new QLabel(QString::fromStdString(FreeDiskSpaceLine(folder.toStdString())), this);
  m_disk->setWordWrap(true);
  auto* text = new QVBoxLayout;
  text->addWidget(version);
  text->addWidget(new QLabel("Static analysis of continuous beams", this));
  text->addSpacing(8);
  text->addWidget(m_memory);
  text->addWidget(m_disk);
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addLayout(text, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
}

}  // namespace spanlab
