#include "edit/qt_item_pictures.h"

#include <QPainter>
#include <QPainterPath>

#include "edit/tree_sections.h"
#include "platform/qt_device_context.h"
#include "view/beam_drawing.h"

namespace spanlab {

QPixmap ItemPicture(int section) {
  QPixmap pixmap(110, 64);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  QtDeviceContext dc(painter, false);
  const int y = 32;
  DrawingFrame frame;
  frame.left = 8;
  frame.right = 102;
  frame.baseline = y;
  frame.length = 1;
  switch (section) {
    case kSectionProperties: {
      // An I-section beside the beam line.
      DrawBeam(dc, frame);
      painter.setPen(QPen(Qt::black, 1));
      painter.setBrush(QColor(170, 170, 170));
      painter.drawRect(40, 8, 30, 5);
      painter.drawRect(52, 13, 6, 38);
      painter.drawRect(40, 51, 30, 5);
      break;
    }
    case kSectionReleases:
      DrawBeam(dc, frame);
      DrawHinge(dc, 55, y, 1, 1);
      break;
    case kSectionSupports:
      DrawBeam(dc, frame);
      DrawFixedLeft(dc, 8, y, 1, 1, 1);
      DrawPinSupport(dc, 55, y, 1, 1, 1);
      DrawSettlingSupport(dc, 95, y, 1, 1, 1);
      break;
    case kSectionSprings:
      DrawBeam(dc, frame);
      DrawVerticalSpring(dc, 35, y, 1, 1, 1);
      DrawRotationalSpring(dc, 75, y, 1, 1, 1);
      break;
    case kSectionPointLoads:
      DrawBeam(dc, frame);
      DrawDownLoad(dc, 35, y, 1, 1, 1);
      DrawPositiveMoment(dc, 75, y - 1, 1, 1, 1);
      break;
    case kSectionUniformLoads:
      DrawBeam(dc, frame);
      DrawUniformLoad(dc, 15, 95, y, -10, -5, 10, 1, 1, 1);
      break;
    default:
      break;
  }
  return pixmap;
}

QPixmap InertiaShapePicture(InertiaShape shape) {
  QPixmap pixmap(120, 100);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1.5));
  p.setBrush(QColor(200, 215, 235));
  QFont f("Liberation Sans");
  f.setPixelSize(11);
  p.setFont(f);
  auto axis = [&](double y) {
    p.save();
    p.setPen(QPen(QColor(200, 0, 0), 1, Qt::DashDotLine));
    p.drawLine(QPointF(4, y), QPointF(116, y));
    p.restore();
  };
  auto text = [&](double x, double y, const char* t) {
    p.save();
    p.setPen(Qt::black);
    p.drawText(QPointF(x, y), t);
    p.restore();
  };
  switch (shape) {
    case InertiaShape::kRectangleCenter:
    case InertiaShape::kRectangleEdge:
      p.drawRect(QRectF(35, 20, 50, 60));
      axis(shape == InertiaShape::kRectangleCenter ? 50 : 80);
      text(56, 95, "b");
      text(90, 54, "h");
      break;
    case InertiaShape::kPipeCenter: {
      QPainterPath ring;
      ring.addEllipse(QPointF(60, 50), 34, 34);
      ring.addEllipse(QPointF(60, 50), 22, 22);
      p.drawPath(ring);
      axis(50);
      text(96, 30, "r1");
      text(64, 44, "r2");
      break;
    }
    case InertiaShape::kSolidCircleCenter:
      p.drawEllipse(QPointF(60, 50), 34, 34);
      axis(50);
      text(96, 30, "r");
      break;
    case InertiaShape::kTriangleCenter:
      p.drawPolygon(QPolygonF({{30, 82}, {90, 82}, {60, 18}}));
      axis(82 - 64 / 3.0);
      text(56, 96, "b");
      text(80, 44, "h");
      break;
    case InertiaShape::kTrapezoidCenter:
    case InertiaShape::kTrapezoidBase:
      p.drawPolygon(QPolygonF({{25, 82}, {95, 82}, {78, 22}, {42, 22}}));
      axis(shape == InertiaShape::kTrapezoidCenter ? 56 : 82);
      text(54, 16, "b1");
      text(54, 96, "b2");
      text(98, 54, "h");
      break;
  }
  return pixmap;
}

QIcon SectionIcon(int index) {
  QPixmap pixmap(17, 17);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  p.setPen(QPen(QColor(0, 0, 110), 1));
  p.setBrush(QColor(120, 140, 200));
  auto ibeam = [&](int flange, int web) {
    p.drawRect(8 - flange / 2, 2, flange, 2);
    p.drawRect(8 - web / 2, 4, web, 9);
    p.drawRect(8 - flange / 2, 13, flange, 2);
  };
  auto tee = [&](int flange) {
    p.drawRect(8 - flange / 2, 2, flange, 3);
    p.drawRect(7, 5, 2, 10);
  };
  auto channel = [&](int flange) {
    p.drawRect(3, 2, 2, 13);
    p.drawRect(5, 2, flange, 2);
    p.drawRect(5, 13, flange, 2);
  };
  switch (index) {
    case 1: ibeam(13, 2); break;             // W
    case 2: channel(7); break;               // channels
    case 3:                                  // double angles
      p.drawRect(3, 2, 2, 13); p.drawRect(1, 13, 6, 2);
      p.drawRect(11, 2, 2, 13); p.drawRect(10, 13, 6, 2);
      break;
    case 4: ibeam(12, 3); break;             // HP
    case 5: channel(5); break;               // misc channels
    case 6: ibeam(9, 2); break;              // M
    case 7: tee(9); break;                   // MT
    case 8:                                  // pipes
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(QColor(0, 0, 110), 2));
      p.drawEllipse(3, 3, 11, 11);
      break;
    case 9: p.drawRect(3, 2, 2, 13); p.drawRect(5, 13, 9, 2); break;  // single angles
    case 10: ibeam(8, 2); break;             // S
    case 11: tee(7); break;                  // ST
    case 12:                                 // tubing
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(QColor(0, 0, 110), 2));
      p.drawRect(3, 3, 11, 11);
      break;
    case 13: tee(13); break;                 // WT
    case 14:                                 // entries and sub-groups
      p.drawRect(6, 6, 5, 5);
      break;
    default: p.drawRect(3, 4, 11, 9); break;  // any other category
  }
  p.end();
  return QIcon(pixmap);
}

}  // namespace spanlab
