// Lines of printable ASCII text turned into glyph runs without the text shaper, for the PDF
// engine, which writes the glyphs it is given one by one.
//
// A printed report of a million spans is some two million lines; shaping each of them costs
// about a fifth of the whole print, yet in the report's monospaced font a character's glyph and
// advance never depend on its neighbours. The table is taken from the shaper's own output for
// the font on the device, and is used only when shaping every pair of the characters gives
// exactly the glyphs and advances the table does (no kerning, no ligatures, no fallback font).
// Then drawing a run writes the same bytes as QPainter::drawText of the same text.
#pragma once

#include <QGlyphRun>
#include <QPointF>
#include <QRawFont>

#include <array>
#include <string_view>
#include <vector>

class QFont;
class QPaintDevice;

namespace spanlab {

class AsciiGlyphRuns {
 public:
  // The characters the table holds: ' ' (32) to '~' (126).
  static constexpr int kFirst = 32;
  static constexpr int kCount = 95;

  // Shapes the table's characters, alone and in every pair, in `font` on `device` (the
  // painter's font, as QPainter::font() gives it while painting on `device`).
  AsciiGlyphRuns(const QFont& font, const QPaintDevice* device);

  // Whether the shaper's glyphs and advances for every pair agreed with the table.
  bool Usable() const { return usable_; }

  // Fills `run` with the glyphs of `text` from x = 0 on the baseline; false (run untouched)
  // when the table is not usable or `text` holds a byte outside it. The run refers to this
  // object's buffers: it is valid until the next call.
  bool Make(std::string_view text, QGlyphRun& run);

 private:
  bool Shape(const QFont& font, const QPaintDevice* device);

  QRawFont raw_;
  std::array<quint32, kCount> glyph_{};
  std::array<int, kCount> advance_{};  // in 1/64 device units, as the shaper computes them
  bool usable_ = false;
  std::vector<quint32> glyphs_;  // the buffers of the last run made
  std::vector<QPointF> positions_;
};

}  // namespace spanlab
