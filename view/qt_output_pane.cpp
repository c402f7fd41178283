#include "view/qt_output_pane.h"

#include <QPalette>

#include <QAbstractButton>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <QTextBlock>

#include "platform/qt_device_context.h"
#include "run/run_driver.h"  // HelpKeywordForLogLine

namespace spanlab {

// A read-only, selectable, scrollable text box that opens the help for the message line under
// the caret on F1 or a double click (the Results box) or ignores both (the Data box).
class LogBox : public QPlainTextEdit {
 public:
  LogBox(HelpProvider* help, QWidget* parent) : QPlainTextEdit(parent), help_(help) {
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font("Courier New");
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(10);
    setFont(font);
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_F1) HelpOnCaretLine();
    QPlainTextEdit::keyPressEvent(event);
  }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    QPlainTextEdit::mouseDoubleClickEvent(event);  // places the caret on the clicked line
    HelpOnCaretLine();
  }

 private:
  void HelpOnCaretLine() {
    if (!help_) return;
    const std::string keyword =
        HelpKeywordForLogLine(textCursor().block().text().toStdString());
    if (!keyword.empty()) help_->ShowTopic(keyword);
  }
  HelpProvider* help_;
};

namespace {

constexpr int kButtonWidth = 18;
constexpr int kButtonHeight = 48;

// The 18 x 48 picture of a pane button: its word written upwards, sunken when selected.
QPixmap ButtonPicture(const QString& word, bool selected) {
  QPixmap pixmap(kButtonWidth, kButtonHeight);
  pixmap.fill(selected ? QColor(255, 255, 255) : QColor(212, 208, 200));
  QPainter p(&pixmap);
  p.setPen(selected ? QColor(128, 128, 128) : QColor(255, 255, 255));
  p.drawLine(0, 0, kButtonWidth - 1, 0);
  p.drawLine(0, 0, 0, kButtonHeight - 1);
  p.setPen(selected ? QColor(255, 255, 255) : QColor(64, 64, 64));
  p.drawLine(kButtonWidth - 1, 0, kButtonWidth - 1, kButtonHeight - 1);
  p.drawLine(0, kButtonHeight - 1, kButtonWidth - 1, kButtonHeight - 1);
  QFont font("Liberation Sans");
  font.setPixelSize(10);
  font.setBold(selected);
  p.setFont(font);
  p.setPen(selected ? QColor(0, 0, 128) : QColor(0, 0, 0));
  p.translate(kButtonWidth / 2 + 4, kButtonHeight / 2);
  p.rotate(-90);
  p.drawText(QRect(-kButtonHeight / 2, -12, kButtonHeight, 14), Qt::AlignCenter, word);
  return pixmap;
}

// The 18 x 600 decorative strip below the buttons.
QPixmap StripPicture() {
  QPixmap pixmap(kButtonWidth, 600);
  QPainter p(&pixmap);
  QLinearGradient gradient(0, 0, 0, 600);
  gradient.setColorAt(0, QColor(212, 208, 200));
  gradient.setColorAt(1, QColor(128, 128, 160));
  p.fillRect(pixmap.rect(), gradient);
  p.setPen(QColor(255, 255, 255, 120));
  for (int y = 6; y < 600; y += 12) p.drawLine(4, y, kButtonWidth - 5, y);
  return pixmap;
}

class PictureButton : public QAbstractButton {
 public:
  PictureButton(QString word, QWidget* parent) : QAbstractButton(parent), word_(std::move(word)) {
    setFixedSize(kButtonWidth, kButtonHeight);
    setToolTip(word_);
    setAccessibleName(word_);
    setFocusPolicy(Qt::NoFocus);
  }
  void SetSelected(bool selected) {
    selected_ = selected;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawPixmap(0, 0, ButtonPicture(word_, selected_));
  }

 private:
  QString word_;
  bool selected_ = false;
};

QString ForDisplay(const std::string& text) {
  QString s = ToQString(text);
  s.replace("\r\n", "\n");
  return s;
}

}  // namespace

CDoubleEditView::CDoubleEditView(CSPLX_30Doc& doc, HelpProvider& help, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_help(help) {
  m_results = new LogBox(&m_help, this);
  m_results->setObjectName("results");
  m_results->setAccessibleName("Results");
  m_data = new LogBox(nullptr, this);
  m_data->setObjectName("data");
  m_data->setAccessibleName("Data");
  m_dataButton = new PictureButton("Data", this);
  m_resultsButton = new PictureButton("Results", this);
  m_strip = new QLabel(this);
  m_strip->setPixmap(StripPicture());
  m_strip->setFixedSize(kButtonWidth, 600);
  connect(m_resultsButton, &QAbstractButton::clicked, this, [this] { Select(kResultsButton); });
  connect(m_dataButton, &QAbstractButton::clicked, this, [this] { Select(kDataButton); });
  doc.AddView(this);
  Select(kResultsButton);
}

QPlainTextEdit* CDoubleEditView::ResultsBox() const { return m_results; }
QPlainTextEdit* CDoubleEditView::DataBox() const { return m_data; }

void CDoubleEditView::Select(int button) {
  m_nSelected = button;
  m_results->setVisible(button == kResultsButton);
  m_data->setVisible(button == kDataButton);
  UpdateButtons();
}

void CDoubleEditView::UpdateButtons() {
  static_cast<PictureButton*>(m_resultsButton)->SetSelected(m_nSelected == kResultsButton);
  static_cast<PictureButton*>(m_dataButton)->SetSelected(m_nSelected == kDataButton);
}

void CDoubleEditView::OnUpdate(CView*, long hint) {
  // The document has run the new lines before telling anyone; the pane only shows the log.
  // While the run of a change is going (hint 3), the earlier model's log stays greyed.
  if (hint == kHintRunStarted) {
    QPalette greyed = m_results->palette();
    greyed.setColor(QPalette::Text, greyed.color(QPalette::Disabled, QPalette::Text));
    m_results->setPalette(greyed);
  } else if (hint == kHintLines) {
    m_results->setPalette(QPalette());  // the inherited colours again
  }
  if (hint == kHintLines) m_results->setPlainText(ForDisplay(m_doc.GetLastRun().text));
  else if (hint == kHintMessage) m_data->setPlainText(ForDisplay(m_doc.GetMessage()));
}

void CDoubleEditView::resizeEvent(QResizeEvent* event) {
  const int w = event->size().width(), h = event->size().height();
  if (w == 0 || h == 0) return;
  m_dataButton->move(0, 0);
  m_resultsButton->move(0, kButtonHeight);
  m_strip->move(0, 2 * kButtonHeight);
  m_results->setGeometry(kButtonWidth, 0, w - kButtonWidth, h);
  m_data->setGeometry(kButtonWidth, 0, w - kButtonWidth, h);
}

}  // namespace spanlab
