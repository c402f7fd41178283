// The drawing surface of the program: screen, printer, image, SVG and PDF files, and a
// recording surface for tests all look like this to the drawing routines.
//
// Coordinates are integer device units with y growing downward. There is a current position
// (MoveTo, LineTo), one selected pen, one selected font and a text alignment; selecting
// returns what was selected before, so that a routine can restore it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace spanlab {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

struct Pen {
  int width = 1;  // device units
  Rgb color;
  bool operator==(const Pen&) const = default;
};

// A solid fill, or none (hollow).
struct Brush {
  bool hollow = false;
  Rgb color{255, 255, 255};
  bool operator==(const Brush&) const = default;
};

struct Font {
  std::string face = "Courier New";
  int pointSize = 10;
  int pixelHeight = 0;  // when > 0: the character height in device units instead of points
  bool bold = false;
  bool italic = false;
  bool operator==(const Font&) const = default;
};

struct Point {
  int x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

struct TextSize {
  int cx = 0, cy = 0;
};

// Text alignment flags; a horizontal and a vertical choice are combined with |.
enum TextAlign : unsigned {
  kAlignLeft = 0,
  kAlignRight = 2,
  kAlignCenter = 6,
  kAlignTop = 0,
  kAlignBottom = 8,
  kAlignBaseline = 24,
};

class DeviceContext {
 public:
  virtual ~DeviceContext() = default;

  virtual void MoveTo(int x, int y) = 0;
  // A line from the current position to (x, y) with the selected pen; (x, y) becomes current.
  virtual void LineTo(int x, int y) = 0;
  // An ellipse in the box (left, top)-(right, bottom) (right and bottom exclusive), outlined
  // with the selected pen and filled with the selected brush (white unless changed).
  virtual void Ellipse(int left, int top, int right, int bottom) = 0;
  // A rectangle outlined with the pen and filled with the brush (right and bottom exclusive).
  virtual void Rectangle(int left, int top, int right, int bottom) = 0;
  // Connected lines through the points with the pen; the current position is not used.
  virtual void Polyline(const std::vector<Point>& points) = 0;
  // A closed polygon outlined with the pen and filled with the brush.
  virtual void Polygon(const std::vector<Point>& points) = 0;
  // A one-unit border just inside the box (right and bottom exclusive) in `color`.
  virtual void FrameRect(int left, int top, int right, int bottom, Rgb color) = 0;
  // Text with the selected font in the text colour (black unless changed), placed at (x, y)
  // according to the text alignment.
  virtual void TextOut(int x, int y, const std::string& text) = 0;
  virtual TextSize GetTextExtent(const std::string& text) = 0;

  virtual unsigned SetTextAlign(unsigned align) = 0;  // returns the previous alignment
  virtual Pen SelectPen(const Pen& pen) = 0;          // returns the previous pen
  virtual Font SelectFont(const Font& font) = 0;      // returns the previous font
  virtual Brush SelectBrush(const Brush& brush) = 0;  // returns the previous brush
  virtual Rgb SetTextColor(Rgb color) = 0;            // returns the previous colour

  virtual bool IsPrinting() const = 0;
  virtual int DpiX() const = 0;  // device units per inch
  virtual int DpiY() const = 0;
};

// Selects a pen for the lifetime of the guard and restores the previous one after it.
class PenScope {
 public:
  PenScope(DeviceContext& dc, const Pen& pen) : dc_(dc), previous_(dc.SelectPen(pen)) {}
  ~PenScope() { dc_.SelectPen(previous_); }
  PenScope(const PenScope&) = delete;
  PenScope& operator=(const PenScope&) = delete;

 private:
  DeviceContext& dc_;
  Pen previous_;
};

}  // namespace spanlab
