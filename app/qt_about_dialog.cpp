#include "app/qt_about_dialog.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include "app/system_info.h"

namespace spanlab {

namespace {

// One line ending in a folder ("... KB in /a/b/c"), kept on one line: where it is too wide for
// the label the folder loses characters in its middle; the whole line is the tooltip.
class FolderLineLabel : public QLabel {
 public:
  FolderLineLabel(const QString& line, QWidget* parent) : QLabel(line, parent) {
    const int in = line.indexOf(kBefore);
    if (in >= 0) {
      prefix_ = line.left(in + kBefore.size());
      folder_ = line.mid(in + kBefore.size());
    }
    setToolTip(line);
    setWordWrap(false);
  }
  // As wide as the line up to a sensible width; a longer folder is shortened, not the box widened.
  QSize sizeHint() const override {
    const QSize full = QLabel::sizeHint();
    return QSize(std::min(full.width(), fontMetrics().averageCharWidth() * kWidestChars),
                 full.height());
  }
  QSize minimumSizeHint() const override {
    return QSize(std::min(QLabel::minimumSizeHint().width(), fontMetrics().averageCharWidth() * 20),
                 QLabel::minimumSizeHint().height());
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    if (folder_.isEmpty()) return;
    const int room = contentsRect().width() - fontMetrics().horizontalAdvance(prefix_);
    setText(prefix_ + fontMetrics().elidedText(folder_, Qt::ElideMiddle, std::max(0, room)));
  }

 private:
  static constexpr int kWidestChars = 80;
  inline static const QString kBefore = " KB in ";
  QString prefix_, folder_;
};

}  // namespace

CAboutDlg::CAboutDlg(const QString& folder, QWidget* parent) : QDialog(parent) {
  setWindowTitle("About Spanlab");
  auto* icon = new QLabel(this);
  icon->setPixmap(QIcon(":/icons/spanlab.svg").pixmap(48, 48));
  auto* version = new QLabel("Spanlab Version 3.20", this);
  QFont bold = version->font();
  bold.setBold(true);
  version->setFont(bold);
  m_memory = new QLabel(QString::fromStdString(PhysicalMemoryLine()), this);
  m_disk = new FolderLineLabel(QString::fromStdString(FreeDiskSpaceLine(folder.toStdString())),
                               this);
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
