#include "platform/qt_device_context.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPen>
#include <QStringDecoder>

#include <algorithm>

namespace spanlab {

QString ToQString(const std::string& text) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString decoded = utf8.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  if (!utf8.hasError()) return decoded;
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QtDeviceContext::QtDeviceContext(QPainter& painter, bool printing)
    : painter_(painter), printing_(printing) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  painter_.setBackgroundMode(Qt::TransparentMode);
  ApplyPen();
  ApplyBrush();
  painter_.setFont(ToQFont(font_));
  glyphRunsOn_ = painter_.paintEngine() && painter_.paintEngine()->type() == QPaintEngine::Pdf;
}

void QtDeviceContext::ApplyBrush() {
  if (brush_.hollow) painter_.setBrush(Qt::NoBrush);
  else painter_.setBrush(QColor(brush_.color.r, brush_.color.g, brush_.color.b));
}

void QtDeviceContext::ApplyPen() {
  QPen pen(QColor(pen_.color.r, pen_.color.g, pen_.color.b));
  pen.setWidth(pen_.width);
  pen.setCapStyle(pen_.width > 1 ? Qt::RoundCap : Qt::SquareCap);
  pen.setJoinStyle(Qt::RoundJoin);
  painter_.setPen(pen);
}

void QtDeviceContext::MoveTo(int x, int y) { current_ = QPoint(x, y); }

void QtDeviceContext::LineTo(int x, int y) {
  const QPoint to(x, y);
  painter_.drawLine(current_, to);
  current_ = to;
}

void QtDeviceContext::Ellipse(int left, int top, int right, int bottom) {
  // The box's right and bottom are exclusive.
  painter_.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
}

void QtDeviceContext::Rectangle(int left, int top, int right, int bottom) {
  painter_.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

namespace {
QPolygon ToQPolygon(const std::vector<Point>& points) {
  QPolygon polygon;
  polygon.reserve(static_cast<qsizetype>(points.size()));
  for (const Point& p : points) polygon.append(QPoint(p.x, p.y));
  return polygon;
}
}  // namespace

void QtDeviceContext::Polyline(const std::vector<Point>& points) {
  painter_.drawPolyline(ToQPolygon(points));
}

void QtDeviceContext::Polygon(const std::vector<Point>& points) {
  painter_.drawPolygon(ToQPolygon(points));
}

Brush QtDeviceContext::SelectBrush(const Brush& brush) {
  const Brush previous = brush_;
  brush_ = brush;
  ApplyBrush();
  return previous;
}

Rgb QtDeviceContext::SetTextColor(Rgb color) {
  const Rgb previous = textColor_;
  textColor_ = color;
  return previous;
}

void QtDeviceContext::FrameRect(int left, int top, int right, int bottom, Rgb color) {
  const QColor c(color.r, color.g, color.b);
  const int w = right - left, h = bottom - top;
  if (w <= 0 || h <= 0) return;
  painter_.fillRect(left, top, w, 1, c);
  painter_.fillRect(left, bottom - 1, w, 1, c);
  painter_.fillRect(left, top, 1, h, c);
  painter_.fillRect(right - 1, top, 1, h, c);
}

const QFontMetrics& QtDeviceContext::Metrics() {
  if (!metrics_) metrics_.emplace(painter_.font(), painter_.device());
  return *metrics_;
}

AsciiGlyphRuns* QtDeviceContext::GlyphRuns() {
  if (!glyphRunsOn_ || glyphRunsAfter_ < 0) return nullptr;
  if (!glyphTable_) {
    auto known = std::find_if(glyphTables_.begin(), glyphTables_.end(),
                              [this](const GlyphTable& table) { return table.font == font_; });
    glyphTable_ = known != glyphTables_.end() ? &*known : &glyphTables_.emplace_back(font_);
  }
  GlyphTable& table = *glyphTable_;
  if (!table.runs) {
    if (table.texts++ < glyphRunsAfter_) return nullptr;
    table.runs = std::make_unique<AsciiGlyphRuns>(painter_.font(), painter_.device());
  }
  return table.runs->Usable() ? table.runs.get() : nullptr;
}

void QtDeviceContext::TextOut(int x, int y, const std::string& text) {
  const QString s = ToQString(text);
  const QFontMetrics& metrics = Metrics();
  int left = x;  // only centred and right-aligned text needs its width measured
  if ((align_ & kAlignCenter) == kAlignCenter) left = x - metrics.horizontalAdvance(s) / 2;
  else if (align_ & kAlignRight) left = x - metrics.horizontalAdvance(s);
  int baseline = y + metrics.ascent();                    // top
  if ((align_ & kAlignBaseline) == kAlignBaseline) baseline = y;
  else if (align_ & kAlignBottom) baseline = y - metrics.descent();
  const QColor color(textColor_.r, textColor_.g, textColor_.b);
  auto draw = [&] {
    AsciiGlyphRuns* runs = GlyphRuns();
    if (runs && painter_.pen().style() != Qt::NoPen && runs->Make(text, run_)) {
      painter_.drawGlyphRun(QPointF(left, baseline), run_);
    } else {
      painter_.drawText(QPoint(left, baseline), s);
    }
  };
  if (textWithoutStateChanges_ && painter_.pen().color() == color) {
    draw();
    return;
  }
  painter_.save();
  painter_.setPen(color);
  draw();
  painter_.restore();
}

TextSize QtDeviceContext::GetTextExtent(const std::string& text) {
  const QFontMetrics& metrics = Metrics();
  return {metrics.horizontalAdvance(ToQString(text)), metrics.height()};
}

unsigned QtDeviceContext::SetTextAlign(unsigned align) {
  const unsigned previous = align_;
  align_ = align;
  return previous;
}

Pen QtDeviceContext::SelectPen(const Pen& pen) {
  const Pen previous = pen_;
  pen_ = pen;
  ApplyPen();
  return previous;
}

Font QtDeviceContext::SelectFont(const Font& font) {
  const Font previous = font_;
  font_ = font;
  painter_.setFont(ToQFont(font_));
  metrics_.reset();
  glyphTable_ = nullptr;
  return previous;
}

QFont QtDeviceContext::ToQFont(const Font& font) const {
  QFont f(ToQString(font.face));
  f.setStyleHint(font.face == "Courier New" ? QFont::TypeWriter : QFont::AnyStyle);
  f.setPixelSize(std::max(1, font.pixelHeight > 0 ? font.pixelHeight : DpiY() * font.pointSize / 72));
  f.setBold(font.bold);
  f.setItalic(font.italic);
  return f;
}

int QtDeviceContext::DpiX() const {
  return painter_.device() ? painter_.device()->logicalDpiX() : 96;
}

int QtDeviceContext::DpiY() const {
  return painter_.device() ? painter_.device()->logicalDpiY() : 96;
}

}  // namespace spanlab
