// The device context on a QPainter: screen widgets, images, printers, SVG and PDF files.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>
#include <QPoint>

#include <memory>
#include <optional>
#include <vector>

#include "platform/device_context.h"
#include "platform/qt_glyph_runs.h"

namespace spanlab {

class QtDeviceContext : public DeviceContext {
 public:
  // Draws on an active painter (not owned). `printing` tells the drawing routines that this is
  // a printed page. Lines are drawn without antialiasing, as device units.
  QtDeviceContext(QPainter& painter, bool printing);

  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void Ellipse(int left, int top, int right, int bottom) override;
  void Rectangle(int left, int top, int right, int bottom) override;
  void Polyline(const std::vector<Point>& points) override;
  void Polygon(const std::vector<Point>& points) override;
  Brush SelectBrush(const Brush& brush) override;
  Rgb SetTextColor(Rgb color) override;
  void FrameRect(int left, int top, int right, int bottom, Rgb color) override;
  void TextOut(int x, int y, const std::string& text) override;
  TextSize GetTextExtent(const std::string& text) override;
  unsigned SetTextAlign(unsigned align) override;
  Pen SelectPen(const Pen& pen) override;
  Font SelectFont(const Font& font) override;
  bool IsPrinting() const override { return printing_; }
  int DpiX() const override;
  int DpiY() const override;

  // Text in the pen's own colour is drawn without saving and restoring the painter's state
  // around it. The pages look the same; a recording device (the print preview, which keeps
  // every page of a report as recorded commands) then holds far less. Off by default: on a
  // PDF it changes the file's bytes.
  void SetTextWithoutStateChanges(bool on) { textWithoutStateChanges_ = on; }
  // On a PDF device, text of printable ASCII characters goes to the engine as glyph runs made
  // from a table per font (AsciiGlyphRuns), which writes the same bytes without shaping every
  // line. A table costs about what shaping a few thousand lines does, so a font gets one once
  // it has drawn `texts` texts (kGlyphRunsAfter by default; 0: at once; negative: never).
  void SetGlyphRunsAfter(int texts) { glyphRunsAfter_ = texts; }
  static constexpr int kGlyphRunsAfter = 5000;

  // The QFont of a font on this device: its point size turned into pixels at the device's
  // vertical resolution, so that 10 points are 13 units on a 96-dpi screen.
  QFont ToQFont(const Font& font) const;

 private:
  void ApplyPen();
  void ApplyBrush();
  // The metrics of the painter's font on its device, made once per font: a report of tens of
  // thousands of pages writes millions of lines.
  const QFontMetrics& Metrics();
  // The glyph table of the current font, on a device that takes glyph runs (PDF); null
  // elsewhere or when the font's glyphs depend on their neighbours.
  AsciiGlyphRuns* GlyphRuns();

  QPainter& painter_;
  bool printing_;
  QPoint current_;
  Pen pen_{1, {0, 0, 0}};
  Brush brush_;
  Rgb textColor_{0, 0, 0};
  Font font_;
  unsigned align_ = kAlignLeft | kAlignTop;
  std::optional<QFontMetrics> metrics_;  // of the current font; reset when it changes
  bool textWithoutStateChanges_ = false;
  // Text goes to the PDF engine as glyph runs, shaped once per font instead of once per line:
  // the same bytes, a fifth of a long report's printing time less.
  bool glyphRunsOn_ = false;  // the device is a PDF
  int glyphRunsAfter_ = kGlyphRunsAfter;
  struct GlyphTable {
    Font font;
    int texts = 0;  // drawn before the table was made
    std::unique_ptr<AsciiGlyphRuns> runs;
  };
  std::vector<GlyphTable> glyphTables_;
  GlyphTable* glyphTable_ = nullptr;  // of the current font, once looked up
  QGlyphRun run_;
};

// Text of the core (UTF-8, or Latin-1 when it is not valid UTF-8) as a QString.
QString ToQString(const std::string& text);

}  // namespace spanlab
