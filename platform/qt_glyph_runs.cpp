// The table is read from one shaped line that holds every ordered pair of the table's
// characters: the first time a character shows, its glyph and the distance to the next glyph
// are taken; every later glyph of the line must then agree with the table, so that neighbours
// (kerning pairs, two-character ligatures) are known not to matter. Positions are compared as
// whole 1/64ths of a device unit, the fixed-point unit the shaper and the paint engines share;
// a run's positions are such whole 1/64ths too, so the engine sees exactly what drawText gives.
#include "platform/qt_glyph_runs.h"

#include <QFont>
#include <QPaintDevice>
#include <QTextLayout>
#include <QTextOption>

#include <cmath>

namespace spanlab {

namespace {

// Every ordered pair of the table's characters, one after the other.
QString EveryPair() {
  QString text;
  text.reserve(2 * AsciiGlyphRuns::kCount * AsciiGlyphRuns::kCount);
  for (int a = 0; a < AsciiGlyphRuns::kCount; ++a) {
    for (int b = 0; b < AsciiGlyphRuns::kCount; ++b) {
      text.append(QChar(AsciiGlyphRuns::kFirst + a));
      text.append(QChar(AsciiGlyphRuns::kFirst + b));
    }
  }
  return text;
}

}  // namespace

AsciiGlyphRuns::AsciiGlyphRuns(const QFont& font, const QPaintDevice* device) {
  usable_ = Shape(font, device);
}

bool AsciiGlyphRuns::Shape(const QFont& font, const QPaintDevice* device) {
  const QString text = EveryPair();
  QTextLayout layout(text, font, device);
  QTextOption option;
  option.setWrapMode(QTextOption::NoWrap);
  layout.setTextOption(option);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  std::vector<quint32> glyphs;
  std::vector<qint64> x64;  // in 1/64 units
  double y = 0;
  for (const QGlyphRun& run : layout.glyphRuns()) {
    if (glyphs.empty()) {
      raw_ = run.rawFont();
      y = run.positions().isEmpty() ? 0 : run.positions().front().y();
    } else if (run.rawFont() != raw_) {
      return false;  // a fallback font for some character
    }
    const QList<quint32> indexes = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    for (qsizetype i = 0; i < indexes.size(); ++i) {
      const double x = positions[i].x() * 64;
      if (positions[i].y() != y || x != std::floor(x)) return false;
      glyphs.push_back(indexes[i]);
      x64.push_back(static_cast<qint64>(x));
    }
  }
  // One glyph per character, in order (a ligature or a split character breaks this).
  if (glyphs.size() != static_cast<size_t>(text.size())) return false;
  std::array<bool, kCount> known{};
  for (size_t i = 0; i + 1 < glyphs.size(); ++i) {
    const int k = text[static_cast<qsizetype>(i)].unicode() - kFirst;
    const qint64 advance = x64[i + 1] - x64[i];
    if (!known[k]) {
      known[k] = true;
      glyph_[k] = glyphs[i];
      advance_[k] = static_cast<int>(advance);
    } else if (glyph_[k] != glyphs[i] || advance_[k] != advance) {
      return false;
    }
  }
  // The last character ('~') has shown before; its glyph must be the known one.
  const int last = text.back().unicode() - kFirst;
  return glyph_[last] == glyphs.back() && raw_.isValid();
}

bool AsciiGlyphRuns::Make(std::string_view text, QGlyphRun& run) {
  // drawText draws nothing for an empty text, while an empty run still reaches the engine.
  if (!usable_ || text.empty()) return false;
  glyphs_.clear();
  positions_.clear();
  qint64 x64 = 0;
  for (const char c : text) {
    const int k = static_cast<unsigned char>(c) - kFirst;
    if (k < 0 || k >= kCount) return false;
    glyphs_.push_back(glyph_[k]);
    positions_.emplace_back(static_cast<double>(x64) / 64, 0.0);
    x64 += advance_[k];
  }
  run.setRawFont(raw_);
  run.setRawData(glyphs_.data(), positions_.data(), static_cast<int>(glyphs_.size()));
  return true;
}

}  // namespace spanlab
