// The program's logo, written as a placeable metafile record by record.
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "report/metafile.h"
#include "report/metafile_records.h"

namespace spanlab {

using namespace wmf;

namespace {

// Builds a placeable metafile record by record; objects are given slots as players give
// them, so that the indices written are those a player will use.
class MetafileWriter {
 public:
  void Record(uint16_t function, std::initializer_list<int64_t> params) {
    std::vector<uint16_t> words;
    Append(words, params);
    Record(function, words);
  }
  void Record(uint16_t function, const std::vector<uint16_t>& params) {
    const uint32_t size = static_cast<uint32_t>(3 + params.size());
    maxRecordWords_ = std::max(maxRecordWords_, size);
    records_.insert(records_.end(), {static_cast<uint16_t>(size & 0xFFFF),
                                     static_cast<uint16_t>(size >> 16), function});
    records_.insert(records_.end(), params.begin(), params.end());
  }

  // Each returns the slot of the new object.
  int PenObject(int width, Rgb c, uint16_t style = 0) {
    Record(kMetaCreatePenIndirect, {style, width, 0, c.r | c.g << 8, c.b});
    return TakeSlot();
  }
  int BrushObject(Rgb c, uint16_t style = 0) {
    Record(kMetaCreateBrushIndirect, {style, c.r | c.g << 8, c.b, 0});
    return TakeSlot();
  }
  int FontObject(int height, int weight, const std::string& face) {
    // Not italic, underlined or struck out; ANSI characters, default precisions and quality,
    // variable pitch in the Swiss family (0x22).
    std::vector<uint16_t> words = {
        static_cast<uint16_t>(height), 0, 0, 0, static_cast<uint16_t>(weight), 0, 0, 0, 0x22 << 8};
    AppendText(words, face + '\0');
    Record(kMetaCreateFontIndirect, words);
    return TakeSlot();
  }
  void Select(int slot) { Record(kMetaSelectObject, {slot}); }
  void Delete(int slot) {
    Record(kMetaDeleteObject, {slot});
    inUse_[static_cast<size_t>(slot)] = false;
  }

  // META_RECTANGLE or META_ELLIPSE.
  void Box(uint16_t function, int left, int top, int right, int bottom) {
    Record(function, {bottom, right, top, left});
  }
  void Line(int x1, int y1, int x2, int y2) {
    Record(kMetaMoveTo, {y1, x1});
    Record(kMetaLineTo, {y2, x2});
  }
  // META_POLYLINE or META_POLYGON.
  void Poly(uint16_t function, const std::vector<Point>& points) {
    std::vector<uint16_t> words = {static_cast<uint16_t>(points.size())};
    for (const Point& pt : points) {
      words.push_back(static_cast<uint16_t>(pt.x));
      words.push_back(static_cast<uint16_t>(pt.y));
    }
    Record(function, words);
  }
  void TextOut(int x, int y, const std::string& text) {
    std::vector<uint16_t> words = {static_cast<uint16_t>(text.size())};
    AppendText(words, text);
    words.insert(words.end(), {static_cast<uint16_t>(y), static_cast<uint16_t>(x)});
    Record(kMetaTextOut, words);
  }
  void ExtTextOut(int x, int y, const std::string& text) {
    std::vector<uint16_t> words = {static_cast<uint16_t>(y), static_cast<uint16_t>(x),
                                   static_cast<uint16_t>(text.size()), 0};
    AppendText(words, text);
    Record(kMetaExtTextOut, words);
  }

  // The whole file: placeable header, metafile header, the records and META_EOF.
  std::vector<uint8_t> Finish(int left, int top, int right, int bottom, int unitsPerInch) {
    Record(kMetaEof, std::vector<uint16_t>());
    const uint32_t size = static_cast<uint32_t>(kMetaHeaderBytes / 2 + records_.size());
    std::vector<uint16_t> all;
    Append(all, {kPlaceableMetafileKey & 0xFFFF, kPlaceableMetafileKey >> 16, 0, left, top, right,
                 bottom, unitsPerInch, 0, 0});
    uint16_t checksum = 0;
    for (uint16_t w : all) checksum ^= w;
    all.push_back(checksum);
    Append(all, {2, 9, 0x0300, size & 0xFFFF, size >> 16, static_cast<int>(inUse_.size()),
                 maxRecordWords_ & 0xFFFF, maxRecordWords_ >> 16, 0});
    all.insert(all.end(), records_.begin(), records_.end());
    std::vector<uint8_t> bytes;
    for (uint16_t w : all) bytes.insert(bytes.end(), {uint8_t(w & 0xFF), uint8_t(w >> 8)});
    return bytes;
  }

 private:
  // Each value's low 16 bits.
  static void Append(std::vector<uint16_t>& words, std::initializer_list<int64_t> values) {
    for (int64_t v : values) words.push_back(static_cast<uint16_t>(v & 0xFFFF));
  }
  static void AppendText(std::vector<uint16_t>& words, const std::string& text) {
    for (size_t i = 0; i < text.size(); i += 2) {
      const uint8_t lo = static_cast<uint8_t>(text[i]);
      const uint8_t hi = i + 1 < text.size() ? static_cast<uint8_t>(text[i + 1]) : 0;
      words.push_back(static_cast<uint16_t>(lo | hi << 8));
    }
  }
  int TakeSlot() {
    const auto free = std::find(inUse_.begin(), inUse_.end(), false);
    if (free != inUse_.end()) {
      *free = true;
      return static_cast<int>(free - inUse_.begin());
    }
    inUse_.push_back(true);
    return static_cast<int>(inUse_.size() - 1);
  }

  std::vector<uint16_t> records_;
  std::vector<bool> inUse_;  // one per slot ever used: the header's number of objects
  uint32_t maxRecordWords_ = 3;
};

// The elastic line of a simply supported span under a uniform load, as a fraction of the
// span at position t (0..1 between the supports, straight tangents beyond them); the
// largest value, at mid-span, is 5/16.
double SpanDeflection(double t) {
  if (t < 0) return t;
  if (t > 1) return 1 - t;
  return t - 2 * t * t * t + t * t * t * t;
}

}  // namespace

std::vector<uint8_t> WriteLogoMetafile() {
  // Logical units: 7000 x 1000 at 1000 per inch.
  constexpr Rgb kNavy{24, 48, 96}, kBlue{36, 99, 178}, kPanel{234, 241, 250};
  constexpr Rgb kRed{196, 60, 48}, kGrey{96, 106, 122}, kWhite{255, 255, 255};
  constexpr int kBeamY = 500, kLeftSupport = 500, kRightSupport = 1700;
  MetafileWriter w;
  w.Record(kMetaSetMapMode, {8});
  w.Record(kMetaSetWindowOrg, {0, 0});
  w.Record(kMetaSetWindowExt, {1000, 7000});
  w.Record(kMetaSetBkMode, {1});

  // The panel behind the drawing, then a rule between it and the name.
  const int none = w.PenObject(0, {}, kPenStyleNull);
  const int panel = w.BrushObject(kPanel);
  w.Select(none);
  w.Select(panel);
  w.Box(kMetaRectangle, 0, 0, 2200, 1000);
  const int rule = w.PenObject(14, kBlue);
  w.Select(rule);
  w.Line(2200, 0, 2200, 1000);

  // A uniform load: arrows hanging from a line.
  const int load = w.PenObject(10, kBlue);
  const int loadFill = w.BrushObject(kBlue);
  w.Select(load);
  w.Select(loadFill);
  w.Delete(rule);
  w.Delete(panel);
  w.Line(kLeftSupport, kBeamY - 270, kRightSupport, kBeamY - 270);
  for (int x = kLeftSupport; x <= kRightSupport; x += 150) {
    w.Line(x, kBeamY - 270, x, kBeamY - 70);
    w.Poly(kMetaPolygon, {{x - 30, kBeamY - 80}, {x + 30, kBeamY - 80}, {x, kBeamY - 30}});
  }

  // The deflected shape under the beam line, drawn first so that the beam covers it.
  const int curve = w.PenObject(14, kRed);
  w.Select(curve);
  std::vector<Point> shape;
  for (int x = 300; x <= 1900; x += 40) {
    const double t = static_cast<double>(x - kLeftSupport) / (kRightSupport - kLeftSupport);
    shape.push_back({x, kBeamY + static_cast<int>(std::lround(544 * SpanDeflection(t)))});
  }
  w.Poly(kMetaPolyline, shape);

  const int beam = w.PenObject(40, kNavy);
  const int navy = w.BrushObject(kNavy);
  w.Select(beam);
  w.Line(300, kBeamY, 1900, kBeamY);
  // A pinned support on the left, a roller on the right, each on a ground line.
  const int thin = w.PenObject(10, kNavy);
  w.Select(thin);
  w.Select(navy);
  for (int x : {kLeftSupport, kRightSupport}) {
    w.Poly(kMetaPolygon, {{x, kBeamY + 20}, {x - 80, kBeamY + 150}, {x + 80, kBeamY + 150}});
  }
  const int white = w.BrushObject(kWhite);
  w.Select(white);
  w.Box(kMetaEllipse, kRightSupport - 70, kBeamY + 160, kRightSupport - 10, kBeamY + 220);
  w.Box(kMetaEllipse, kRightSupport + 10, kBeamY + 160, kRightSupport + 70, kBeamY + 220);
  w.Line(kLeftSupport - 120, kBeamY + 155, kLeftSupport + 120, kBeamY + 155);
  w.Line(kRightSupport - 120, kBeamY + 225, kRightSupport + 120, kBeamY + 225);
  for (int x = kLeftSupport - 110; x <= kLeftSupport + 90; x += 50)
    w.Line(x + 30, kBeamY + 155, x, kBeamY + 195);
  for (int x = kRightSupport - 110; x <= kRightSupport + 90; x += 50)
    w.Line(x + 30, kBeamY + 225, x, kBeamY + 265);

  // The name and what the program does.
  w.Record(kMetaSetTextAlign, {kAlignLeft | kAlignBaseline});
  const int title = w.FontObject(-560, 700, "Liberation Sans");
  w.Select(title);
  w.Record(kMetaSetTextColor, {kNavy.r | kNavy.g << 8, kNavy.b});
  w.TextOut(2550, 600, "Spanlab");
  const int subtitle = w.FontObject(-190, 400, "Liberation Sans");
  w.Select(subtitle);
  w.Record(kMetaSetTextColor, {kGrey.r | kGrey.g << 8, kGrey.b});
  w.ExtTextOut(2565, 850, "Continuous beam analysis");
  // After the name, which is about 3.9 em (2180 units) wide in this bold face.
  const int platform = w.FontObject(-330, 400, "Liberation Sans");
  w.Select(platform);
  w.Record(kMetaSetTextColor, {kBlue.r | kBlue.g << 8, kBlue.b});
  w.TextOut(4900, 600, "for Linux");

  // The frame last, over everything.
  const int frame = w.PenObject(16, kBlue);
  const int hollow = w.BrushObject({}, kBrushStyleNull);
  w.Select(frame);
  w.Select(hollow);
  w.Box(kMetaRectangle, 8, 8, 6992, 992);
  for (int slot : {none, load, loadFill, curve, beam, navy, thin, white, title, subtitle, platform,
                   frame, hollow})
    w.Delete(slot);
  return w.Finish(0, 0, 7000, 1000, 1000);
}

}  // namespace spanlab
