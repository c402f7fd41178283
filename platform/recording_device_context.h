// A device context that draws nothing and remembers everything: every stroke with its pen,
// every ellipse, frame and text. Tests inspect what a drawing routine did, stroke by stroke.
#pragma once

#include <string>
#include <vector>

#include "platform/device_context.h"

namespace spanlab {

struct RecordedStroke {
  int x1, y1, x2, y2;
  Pen pen;
  bool operator==(const RecordedStroke&) const = default;
};

struct RecordedEllipse {
  int left, top, right, bottom;
  Pen pen;
};

struct RecordedFrame {
  int left, top, right, bottom;
  Rgb color;
};

struct RecordedText {
  int x, y;
  std::string text;
  unsigned align;
  Font font;
  Pen pen;
  Rgb color;  // text colour
};

struct RecordedShape {
  enum Kind { kRectangle, kPolyline, kPolygon } kind;
  std::vector<Point> points;  // rectangle: top-left and bottom-right
  Pen pen;
  Brush brush;
};

class RecordingDeviceContext : public DeviceContext {
 public:
  // Text is measured as a fixed-pitch font of `charWidth` x `charHeight` device units.
  explicit RecordingDeviceContext(bool printing = false, int charWidth = 8, int charHeight = 16,
                                  int dpi = 96)
      : printing_(printing), charWidth_(charWidth), charHeight_(charHeight), dpi_(dpi) {}

  void MoveTo(int x, int y) override {
    x_ = x;
    y_ = y;
  }
  void LineTo(int x, int y) override {
    strokes.push_back({x_, y_, x, y, pen_});
    x_ = x;
    y_ = y;
  }
  void Ellipse(int l, int t, int r, int b) override { ellipses.push_back({l, t, r, b, pen_}); }
  void Rectangle(int l, int t, int r, int b) override {
    shapes.push_back({RecordedShape::kRectangle, {{l, t}, {r, b}}, pen_, brush_});
  }
  void Polyline(const std::vector<Point>& points) override {
    shapes.push_back({RecordedShape::kPolyline, points, pen_, brush_});
  }
  void Polygon(const std::vector<Point>& points) override {
    shapes.push_back({RecordedShape::kPolygon, points, pen_, brush_});
  }
  void FrameRect(int l, int t, int r, int b, Rgb color) override {
    frames.push_back({l, t, r, b, color});
  }
  void TextOut(int x, int y, const std::string& text) override {
    texts.push_back({x, y, text, align_, font_, pen_, textColor_});
  }
  TextSize GetTextExtent(const std::string& text) override {
    return {charWidth_ * static_cast<int>(text.size()), charHeight_};
  }
  unsigned SetTextAlign(unsigned align) override {
    const unsigned previous = align_;
    align_ = align;
    return previous;
  }
  Pen SelectPen(const Pen& pen) override {
    const Pen previous = pen_;
    pen_ = pen;
    return previous;
  }
  Font SelectFont(const Font& font) override {
    const Font previous = font_;
    font_ = font;
    return previous;
  }
  Brush SelectBrush(const Brush& brush) override {
    const Brush previous = brush_;
    brush_ = brush;
    return previous;
  }
  Rgb SetTextColor(Rgb color) override {
    const Rgb previous = textColor_;
    textColor_ = color;
    return previous;
  }
  bool IsPrinting() const override { return printing_; }
  int DpiX() const override { return dpi_; }
  int DpiY() const override { return dpi_; }

  const Pen& CurrentPen() const { return pen_; }
  unsigned CurrentAlign() const { return align_; }

  std::vector<RecordedStroke> strokes;
  std::vector<RecordedEllipse> ellipses;
  std::vector<RecordedFrame> frames;
  std::vector<RecordedText> texts;
  std::vector<RecordedShape> shapes;

 private:
  bool printing_;
  int charWidth_, charHeight_, dpi_;
  int x_ = 0, y_ = 0;
  unsigned align_ = kAlignLeft | kAlignTop;
  Pen pen_{1, {0, 0, 0}};
  Brush brush_;
  Rgb textColor_{0, 0, 0};
  Font font_;
};

}  // namespace spanlab
