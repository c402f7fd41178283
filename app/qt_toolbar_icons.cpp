#include "app/qt_toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

namespace spanlab {

namespace {

constexpr int kW = 16, kH = 15;

using Draw = void (*)(QPainter&);

void Page(QPainter& p) {
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  QPolygonF page({{3, 1}, {10, 1}, {13, 4}, {13, 14}, {3, 14}});
  p.drawPolygon(page);
  p.drawLine(QPointF(10, 1), QPointF(10, 4));
  p.drawLine(QPointF(10, 4), QPointF(13, 4));
}

void Open(QPainter& p) {
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(QColor(230, 200, 90));
  p.drawPolygon(QPolygonF({{1, 4}, {5, 4}, {6, 5}, {12, 5}, {12, 13}, {1, 13}}));
  p.setBrush(QColor(250, 225, 120));
  p.drawPolygon(QPolygonF({{3, 8}, {15, 8}, {12, 13}, {1, 13}}));
}

void Save(QPainter& p) {
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(QColor(40, 70, 160));
  p.drawRect(QRectF(1.5, 1.5, 12, 12));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4, 1.5, 7, 5));
  p.setBrush(QColor(200, 200, 200));
  p.drawRect(QRectF(4, 9, 7, 4.5));
}

void Print(QPainter& p) {
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4.5, 1.5, 7, 5));
  p.setBrush(QColor(190, 190, 190));
  p.drawRect(QRectF(1.5, 6.5, 13, 5));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4.5, 9.5, 7, 4));
}

void Preview(QPainter& p) {
  Page(p);
  p.setPen(QPen(QColor(20, 20, 20), 1.5));
  p.setBrush(QColor(200, 230, 255, 200));
  p.drawEllipse(QPointF(7, 7), 3.5, 3.5);
  p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
}

void About(QPainter& p) {
  p.setPen(QPen(QColor(0, 0, 140), 1));
  p.setBrush(QColor(255, 255, 210));
  p.drawEllipse(QRectF(1, 0.5, 14, 14));
  QFont f("Liberation Serif");
  f.setPixelSize(12);
  f.setBold(true);
  p.setFont(f);
  p.drawText(QRectF(1, 0.5, 14, 14), Qt::AlignCenter, "?");
}

void Lines(QPainter& p) {
  p.setPen(QPen(QColor(90, 90, 90), 1));
  for (int y = 3; y <= 12; y += 3) p.drawLine(QPointF(2, y), QPointF(9, y));
}

void Add(QPainter& p) {
  Lines(p);
  p.setPen(QPen(QColor(0, 140, 0), 2.5));
  p.drawLine(QPointF(12, 6), QPointF(12, 14));
  p.drawLine(QPointF(8, 10), QPointF(16, 10));
}

void Edit(QPainter& p) {
  Lines(p);
  p.setPen(QPen(QColor(120, 60, 0), 1));
  p.setBrush(QColor(250, 200, 60));
  p.drawPolygon(QPolygonF({{7, 13}, {8, 10}, {14, 3}, {15.5, 4.5}, {9.5, 11.5}}));
}

void Delete(QPainter& p) {
  Lines(p);
  p.setPen(QPen(QColor(200, 0, 0), 2.2));
  p.drawLine(QPointF(9, 7), QPointF(15, 13));
  p.drawLine(QPointF(15, 7), QPointF(9, 13));
}

void BeamLine(QPainter& p) {
  p.setPen(QPen(Qt::black, 1.5));
  p.drawLine(QPointF(1, 8), QPointF(15, 8));
}

void Position(QPainter& p) {
  BeamLine(p);
  p.setPen(QPen(QColor(128, 0, 128), 1.5));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(5, 4, 6, 8));
}

void Reactions(QPainter& p) {
  BeamLine(p);
  p.setPen(QPen(Qt::black, 1.2));
  for (double x : {3.0, 13.0}) {
    p.drawLine(QPointF(x, 14.5), QPointF(x, 9.5));
    p.drawLine(QPointF(x, 9.5), QPointF(x - 2, 11.5));
    p.drawLine(QPointF(x, 9.5), QPointF(x + 2, 11.5));
  }
}

void Shear(QPainter& p) {
  BeamLine(p);
  p.setPen(QPen(QColor(0, 0, 255), 1.5));
  p.drawPolyline(QPolygonF({{1, 8}, {1, 3}, {8, 5.5}, {8, 10.5}, {15, 13}, {15, 8}}));
}

void Moment(QPainter& p) {
  BeamLine(p);
  QPainterPath path(QPointF(1, 8));
  path.quadTo(QPointF(8, -4), QPointF(15, 8));
  p.setPen(QPen(QColor(0, 170, 0), 1.5));
  p.drawPath(path);
}

void Rotation(QPainter& p) {
  BeamLine(p);
  QPainterPath path(QPointF(1, 3));
  path.cubicTo(QPointF(6, 16), QPointF(10, 0), QPointF(15, 13));
  p.setPen(QPen(QColor(255, 0, 0), 1.5));
  p.drawPath(path);
}

void Deflection(QPainter& p) {
  BeamLine(p);
  QPainterPath path(QPointF(1, 8));
  path.quadTo(QPointF(8, 18), QPointF(15, 8));
  p.setPen(QPen(QColor(255, 0, 255), 1.5));
  p.drawPath(path);
}

void Copy(QPainter& p) {
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(1.5, 1.5, 8, 9));
  p.drawRect(QRectF(6.5, 4.5, 8, 9));
}

}  // namespace

QIcon ToolbarIcon(const QString& name) {
  static const std::pair<const char*, Draw> kDrawings[] = {
      {"new", Page},         {"open", Open},         {"save", Save},
      {"print", Print},      {"preview", Preview},   {"about", About},
      {"add", Add},          {"edit", Edit},         {"delete", Delete},
      {"position", Position}, {"reactions", Reactions}, {"shear", Shear},
      {"moment", Moment},    {"rotation", Rotation}, {"deflection", Deflection},
      {"copy", Copy}};
  QIcon icon;
  for (const auto& [key, draw] : kDrawings) {
    if (name != key) continue;
    for (int scale : {1, 2, 3}) {
      QPixmap pixmap(kW * scale, kH * scale);
      pixmap.fill(Qt::transparent);
      QPainter p(&pixmap);
      p.setRenderHint(QPainter::Antialiasing, true);
      p.scale(scale, scale);
      draw(p);
      p.end();
      pixmap.setDevicePixelRatio(scale);
      icon.addPixmap(pixmap);
    }
  }
  return icon;
}

}  // namespace spanlab
