// The tip window: a white area framed in the dialog, with a light bulb and "Did you know..."
// on top and the tip below it; under the area the start-up box and the two buttons.
#include "app/qt_tip_dialog.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadialGradient>
#include <QVBoxLayout>

#include <cmath>
#include <numbers>

#include "platform/file_access.h"
#include "platform/qt_device_context.h"

namespace spanlab {

namespace {

constexpr int kBulbWidth = 40;
constexpr int kBulbHeight = 53;
constexpr int kMargin = 10;
constexpr char kHeading[] = "Did you know...";

// A light bulb in a 40 x 53 box at `origin`: rays, a glowing glass globe with its filament,
// the neck and a threaded base.
void DrawLightBulb(QPainter& p, QPoint origin) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.translate(origin);
  const QPointF centre(20, 19);
  p.setPen(QPen(QColor(230, 170, 0), 1.6, Qt::SolidLine, Qt::RoundCap));
  for (const double degrees : {195.0, 155.0, 122.0, 90.0, 58.0, 25.0, -15.0}) {
    const double a = degrees * std::numbers::pi / 180.0;
    const QPointF dir(std::cos(a), -std::sin(a));
    p.drawLine(centre + 14.5 * dir, centre + 18.5 * dir);
  }
  QPainterPath glass;
  glass.moveTo(14, 37);
  glass.cubicTo(14, 31, 8, 28, 8, 19);
  glass.arcTo(QRectF(8, 7, 24, 24), 180, -180);
  glass.cubicTo(32, 28, 26, 31, 26, 37);
  glass.closeSubpath();
  QRadialGradient glow(QPointF(17, 15), 16);
  glow.setColorAt(0, QColor(255, 255, 235));
  glow.setColorAt(1, QColor(255, 215, 60));
  p.setBrush(glow);
  p.setPen(QPen(QColor(130, 95, 0), 1.2));
  p.drawPath(glass);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(170, 80, 0), 1.0));
  p.drawPolyline(
      QPolygonF({{17, 35}, {17, 24}, {18.5, 21}, {20, 24}, {21.5, 21}, {23, 24}, {23, 35}}));
  p.setPen(QPen(QColor(70, 70, 70), 1.0));
  p.setBrush(QColor(175, 175, 180));
  for (int i = 0; i < 3; ++i) p.drawRoundedRect(QRectF(13.5, 37.5 + 3.5 * i, 13, 3.5), 1.5, 1.5);
  p.setBrush(QColor(60, 60, 60));
  p.drawChord(QRectF(16, 45, 8, 7), 0, -180 * 16);
  p.restore();
}

// The white area. It paints the bulb and the heading itself; the tip is a label laid out
// below them.
class TipPanel : public QFrame {
 public:
  explicit TipPanel(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    headingFont_ = font();
    headingFont_.setBold(true);
    headingFont_.setPointSizeF(headingFont_.pointSizeF() * 1.5);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QRect inside = contentsRect();
    p.fillRect(inside, Qt::white);
    const QPoint bulb = inside.topLeft() + QPoint(kMargin, kMargin);
    DrawLightBulb(p, bulb);
    // One line, vertically centred in the band beside the bulb.
    const int left = bulb.x() + kBulbWidth + kMargin;
    const QRect band(left, bulb.y(), inside.right() + 1 - kMargin - left, kBulbHeight);
    p.setFont(headingFont_);
    p.setPen(Qt::black);
    p.drawText(band, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, kHeading);
    drawFrame(&p);
  }

 private:
  QFont headingFont_;
};

void ShowTrouble(QWidget* parent, const CTipDlg& dialog) {
  if (!dialog.Trouble().empty()) {
    QMessageBox::warning(parent, "Spanlab", ToQString(dialog.Trouble()));
  }
}

}  // namespace

CTipDlg::CTipDlg(SettingsStore& settings, const std::string& path, QWidget* parent)
    : QDialog(parent),
      m_reader(settings, DefaultFileAccess(), path, path.empty() ? "" : FileTimeText(path)) {
  setWindowTitle("Tip of the Day");
  auto* panel = new TipPanel(this);
  m_tip = new QLabel(ToQString(m_reader.Tip()), panel);
  m_tip->setObjectName("tipText");
  m_tip->setTextFormat(Qt::PlainText);
  m_tip->setWordWrap(true);
  m_tip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // A word wider than the window is cut off rather than widening the window.
  QSizePolicy policy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  policy.setHeightForWidth(true);
  m_tip->setSizePolicy(policy);
  QPalette onWhite = m_tip->palette();  // black on the white area, whatever the colour scheme
  onWhite.setColor(QPalette::WindowText, Qt::black);
  m_tip->setPalette(onWhite);
  auto* inPanel = new QVBoxLayout(panel);
  inPanel->setContentsMargins(kMargin, kMargin + kBulbHeight + 6, kMargin, kMargin);
  inPanel->addWidget(m_tip, 1);

  m_startup = new QCheckBox("&Show Tips on StartUp", this);
  m_startup->setChecked(m_reader.Startup());
  m_next = new QPushButton("&Next Tip", this);
  m_next->setEnabled(m_reader.IsOpen());
  m_close = new QPushButton("&Close", this);
  m_close->setDefault(true);
  connect(m_next, &QPushButton::clicked, this, [this] { OnNextTip(); });
  connect(m_close, &QPushButton::clicked, this, &QDialog::accept);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(m_startup);
  bottom->addStretch(1);
  bottom->addWidget(m_next);
  bottom->addWidget(m_close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(panel, 1);
  layout->addLayout(bottom);
  resize(440, 240);
}

void CTipDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FitTip();
}

void CTipDlg::FitTip() {
  // A window does not follow the height its wrapped text needs, so a long tip makes the
  // window taller (never shorter, so that it does not jump about from tip to tip).
  const int missing = m_tip->heightForWidth(m_tip->width()) - m_tip->height();
  if (missing > 0) resize(width(), height() + missing);
}

void CTipDlg::OnNextTip() {
  m_reader.NextTip();
  m_tip->setText(ToQString(m_reader.Tip()));
  FitTip();
}

void CTipDlg::accept() {
  m_reader.Close(m_startup->isChecked());
  QDialog::accept();
}

void ShowTipOfTheDay(QWidget* parent, SettingsStore& settings,
                     const std::vector<std::string>& folders) {
  CTipDlg dialog(settings, FindTipsFile(folders), parent);
  ShowTrouble(parent, dialog);
  dialog.exec();
}

void ShowTipAtStartup(QWidget* parent, SettingsStore& settings,
                      const std::vector<std::string>& folders) {
  CTipDlg dialog(settings, FindTipsFile(folders), parent);
  ShowTrouble(parent, dialog);
  if (dialog.Startup()) dialog.exec();
}

}  // namespace spanlab
