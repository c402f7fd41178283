// Windows metafiles: reading, playing and writing.
//
// Byte format (little-endian throughout; a word is 16 bits):
//
//   placeable header, optional, 22 bytes:
//     u32 key 0x9AC6CDD7, u16 handle (0), i16 left, top, right, bottom (the picture's box in
//     its logical units), u16 units per inch, u32 reserved (0), u16 checksum (the XOR of the
//     ten words before it; readers do not check it)
//   metafile header, 18 bytes:
//     u16 type (1 memory, 2 disk), u16 header size in words (9), u16 version (0x0300),
//     u32 size of header and records in words, u16 number of object slots, u32 size of the
//     largest record in words, u16 unused (0)
//   records, each:
//     u32 size in words, these six bytes included, u16 function, parameter words;
//     the last is META_EOF (size 3, function 0).
//
// Coordinates are signed 16-bit logical units, and most records list them last one first:
// META_LINETO holds (y, x), META_RECTANGLE (bottom, right, top, left). A colour is four bytes
// red, green, blue, 0. Strings are bytes in the Windows-1252 code page, padded to a word.
//
// Playing. The window (origin and extent: the placeable box, or 0,0 + 1000 x 1000 for a plain
// picture, until the picture sets its own) maps onto the viewport, which is the whole device
// box unless the picture sets a viewport too. The picture's viewport coordinates are taken in
// its own 0.01 mm, so its full size spans the box: a picture that sets its viewport to its
// own size looks the same as one that sets none. Every mapping mode plays as anisotropic,
// except that the isotropic one keeps the aspect ratio (the smaller scale serves both axes);
// the fixed modes would tie the picture to device units that mean nothing in our box.
// Pen widths and font heights are scaled at selection: widths by the horizontal scale (at
// least one device unit), font heights by the vertical one.
//
// Objects - pens, brushes, fonts, and palettes, pattern brushes and regions, which we do not
// draw with - live in a table with the header's number of slots; a created object takes the
// lowest free slot (none free: it is not created), META_SELECTOBJECT and META_DELETEOBJECT
// name a slot. Our device context knows no pen styles, hatches or background: dashed pens
// draw solid, hatched brushes fill solid, text is always drawn transparently, and with the
// null pen a shape is outlined in its fill colour while lines are not drawn. Clipping,
// escapement and TA_UPDATECP are ignored; unknown records are skipped. A record whose size is
// smaller than its own six bytes or reaches past the data ends the picture, as does META_EOF.
#include "report/metafile.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace spanlab {

namespace {

constexpr size_t kPlaceableHeaderBytes = 22;
constexpr size_t kMetaHeaderBytes = 18;
constexpr uint32_t kPlainPictureSize = 1000;  // 0.01 mm
constexpr size_t kMaxSavedStates = 256;

enum : uint16_t {
  kMetaEof = 0x0000,
  kMetaSaveDc = 0x001E,
  kMetaCreatePalette = 0x00F7,
  kMetaSetBkMode = 0x0102,
  kMetaSetMapMode = 0x0103,
  kMetaRestoreDc = 0x0127,
  kMetaSelectObject = 0x012D,
  kMetaSetTextAlign = 0x012E,
  kMetaDibCreatePatternBrush = 0x0142,
  kMetaDeleteObject = 0x01F0,
  kMetaCreatePatternBrush = 0x01F9,
  kMetaSetTextColor = 0x0209,
  kMetaSetWindowOrg = 0x020B,
  kMetaSetWindowExt = 0x020C,
  kMetaSetViewportOrg = 0x020D,
  kMetaSetViewportExt = 0x020E,
  kMetaLineTo = 0x0213,
  kMetaMoveTo = 0x0214,
  kMetaCreatePenIndirect = 0x02FA,
  kMetaCreateFontIndirect = 0x02FB,
  kMetaCreateBrushIndirect = 0x02FC,
  kMetaPolygon = 0x0324,
  kMetaPolyline = 0x0325,
  kMetaEllipse = 0x0418,
  kMetaRectangle = 0x041B,
  kMetaTextOut = 0x0521,
  kMetaCreateRegion = 0x06FF,
  kMetaExtTextOut = 0x0A32,
};

constexpr int kMapModeIsotropic = 7;
constexpr uint16_t kPenStyleNull = 5;
constexpr uint16_t kBrushStyleNull = 1;
constexpr uint16_t kExtTextOpaque = 0x0002, kExtTextClipped = 0x0004;
constexpr unsigned kTextAlignMask = kAlignCenter | kAlignBaseline;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
int16_t I16(const uint8_t* p) { return static_cast<int16_t>(U16(p)); }
uint32_t U32(const uint8_t* p) { return U16(p) | static_cast<uint32_t>(U16(p + 2)) << 16; }

// The header of a metafile at `p` with `available` bytes from there on: the metafile's byte
// count, or 0 when the header is malformed or the metafile does not fit.
size_t MetafileBytes(const uint8_t* p, size_t available) {
  if (available < kMetaHeaderBytes) return 0;
  const uint16_t type = U16(p), headerWords = U16(p + 2);
  if ((type != 1 && type != 2) || headerWords != kMetaHeaderBytes / 2) return 0;
  const uint64_t bytes = 2 * static_cast<uint64_t>(U32(p + 6));
  if (bytes < kMetaHeaderBytes || bytes > available) return 0;
  return static_cast<size_t>(bytes);
}

// Windows-1252 bytes as UTF-8; the five unassigned bytes become '?'.
std::string TextFromCodePage(const uint8_t* bytes, size_t count) {
  static constexpr char16_t kHigh[32] = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  std::string text;
  text.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    unsigned c = bytes[i];
    if (c >= 0x80 && c < 0xA0) c = kHigh[c - 0x80] ? kHigh[c - 0x80] : '?';
    if (c < 0x80) {
      text += static_cast<char>(c);
    } else if (c < 0x800) {
      text += static_cast<char>(0xC0 | c >> 6);
      text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      text += static_cast<char>(0xE0 | c >> 12);
      text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
      text += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return text;
}

// The parameters of one record.
class Params {
 public:
  Params(const uint8_t* data, size_t bytes) : data_(data), bytes_(bytes) {}
  size_t bytes() const { return bytes_; }
  bool HasWords(size_t words) const { return bytes_ >= 2 * words; }
  int16_t I(size_t word) const { return I16(data_ + 2 * word); }
  uint16_t U(size_t word) const { return U16(data_ + 2 * word); }
  const uint8_t* At(size_t byte) const { return data_ + byte; }
  Rgb Color(size_t byte) const { return {data_[byte], data_[byte + 1], data_[byte + 2]}; }

 private:
  const uint8_t* data_;
  size_t bytes_;
};

struct LogicalPen {
  bool null = false;
  int width = 0;  // logical units; 0 draws one device unit wide
  Rgb color;
};

struct LogicalFont {
  int height = 0;  // logical units; 0 keeps the device's default size
  bool bold = false;
  bool italic = false;
  std::string face;
};

struct PictureObject {
  enum Kind { kFree, kPen, kBrush, kFont, kOther } kind = kFree;
  LogicalPen pen;
  Brush brush;
  LogicalFont font;
};

// Everything META_SAVEDC saves.
struct PlayState {
  int windowOrgX = 0, windowOrgY = 0, windowExtX = 1, windowExtY = 1;
  double viewportOrgX = 0, viewportOrgY = 0;  // device units from the box's top-left
  double viewportExtX = 1, viewportExtY = 1;  // device units
  bool isotropic = false;
  LogicalPen pen;
  Brush brush;
  LogicalFont font;
  Rgb textColor;
  unsigned align = kAlignLeft | kAlignTop;
};

class Player {
 public:
  struct Box {
    int left, top, width, height;
  };
  Player(DeviceContext& dc, const Metafile& picture, Box box);
  void Play();

 private:
  bool PlayRecord(uint16_t function, const Params& p);
  void SetMapping(uint16_t function, const Params& p);
  void CreateObject(uint16_t function, const Params& p);
  void SelectObject(uint16_t index);
  void Draw(uint16_t function, const Params& p);
  void RestoreState(int16_t which);

  std::pair<double, double> Scales() const;
  Point ToDevice(int x, int y) const;
  std::vector<Point> Points(const Params& p) const;
  void ApplyPen();
  void ApplyFont();
  void ApplyAll();

  DeviceContext& dc_;
  const Metafile& picture_;
  Box box_;
  size_t objectSlots_ = 0;
  std::vector<PictureObject> objects_;  // grows up to objectSlots_ as objects are created
  PlayState state_;
  std::vector<PlayState> saved_;
};

Player::Player(DeviceContext& dc, const Metafile& picture, Box box)
    : dc_(dc), picture_(picture), box_(box) {
  if (picture.placeable) {
    state_.windowOrgX = picture.bboxLeft;
    state_.windowOrgY = picture.bboxTop;
    state_.windowExtX = picture.bboxRight - picture.bboxLeft;
    state_.windowExtY = picture.bboxBottom - picture.bboxTop;
  } else {
    state_.windowExtX = state_.windowExtY = kPlainPictureSize;
  }
  if (state_.windowExtX == 0) state_.windowExtX = 1;
  if (state_.windowExtY == 0) state_.windowExtY = 1;
  state_.viewportExtX = box.width;
  state_.viewportExtY = box.height;
}

void Player::Play() {
  const std::vector<uint8_t>& data = picture_.records;
  const size_t size = data.size();
  if (size < kMetaHeaderBytes) return;
  objectSlots_ = U16(data.data() + 10);
  ApplyAll();
  size_t pos = kMetaHeaderBytes;
  while (pos < size && size - pos >= 6) {
    const uint64_t bytes = 2 * static_cast<uint64_t>(U32(data.data() + pos));
    if (bytes < 6 || bytes > size - pos) return;
    const uint16_t function = U16(data.data() + pos + 4);
    if (!PlayRecord(function, Params(data.data() + pos + 6, static_cast<size_t>(bytes) - 6)))
      return;
    pos += static_cast<size_t>(bytes);
  }
}

// False at the end of the picture.
bool Player::PlayRecord(uint16_t function, const Params& p) {
  switch (function) {
    case kMetaEof:
      return false;
    case kMetaSetMapMode:
    case kMetaSetWindowOrg:
    case kMetaSetWindowExt:
    case kMetaSetViewportOrg:
    case kMetaSetViewportExt:
      SetMapping(function, p);
      break;
    case kMetaSetTextColor:
      if (p.HasWords(2)) dc_.SetTextColor(state_.textColor = p.Color(0));
      break;
    case kMetaSetTextAlign:
      if (p.HasWords(1)) dc_.SetTextAlign(state_.align = p.U(0) & kTextAlignMask);
      break;
    case kMetaCreatePenIndirect:
    case kMetaCreateBrushIndirect:
    case kMetaCreateFontIndirect:
    case kMetaCreatePalette:
    case kMetaCreatePatternBrush:
    case kMetaDibCreatePatternBrush:
    case kMetaCreateRegion:
      CreateObject(function, p);
      break;
    case kMetaSelectObject:
      if (p.HasWords(1)) SelectObject(p.U(0));
      break;
    case kMetaDeleteObject:
      if (p.HasWords(1) && p.U(0) < objects_.size()) objects_[p.U(0)] = PictureObject();
      break;
    case kMetaSaveDc:
      if (saved_.size() < kMaxSavedStates) saved_.push_back(state_);
      break;
    case kMetaRestoreDc:
      if (p.HasWords(1)) RestoreState(p.I(0));
      break;
    default:
      Draw(function, p);  // kMetaSetBkMode among the rest: text is always transparent here
      break;
  }
  return true;
}

void Player::SetMapping(uint16_t function, const Params& p) {
  if (function == kMetaSetMapMode) {
    if (p.HasWords(1)) state_.isotropic = p.U(0) == kMapModeIsotropic;
    return;
  }
  if (!p.HasWords(2)) return;
  const int y = p.I(0), x = p.I(1);
  // The picture's viewport is in its 0.01 mm; without a size it cannot be placed.
  const uint32_t width = picture_.widthHundredthsMm, height = picture_.heightHundredthsMm;
  const double kx = width ? static_cast<double>(box_.width) / width : 0;
  const double ky = height ? static_cast<double>(box_.height) / height : 0;
  switch (function) {
    case kMetaSetWindowOrg:
      state_.windowOrgX = x;
      state_.windowOrgY = y;
      break;
    case kMetaSetWindowExt:
      if (x != 0 && y != 0) {
        state_.windowExtX = x;
        state_.windowExtY = y;
      }
      break;
    case kMetaSetViewportOrg:
      if (kx > 0 && ky > 0) {
        state_.viewportOrgX = x * kx;
        state_.viewportOrgY = y * ky;
      }
      break;
    case kMetaSetViewportExt:
      if (kx > 0 && ky > 0 && x != 0 && y != 0) {
        state_.viewportExtX = x * kx;
        state_.viewportExtY = y * ky;
      }
      break;
  }
}

void Player::CreateObject(uint16_t function, const Params& p) {
  PictureObject object;
  switch (function) {
    case kMetaCreatePenIndirect:
      if (!p.HasWords(5)) return;
      object.kind = PictureObject::kPen;
      object.pen.null = (p.U(0) & 0x0F) == kPenStyleNull;
      object.pen.width = std::abs(p.I(1));
      object.pen.color = p.Color(6);
      break;
    case kMetaCreateBrushIndirect:
      if (!p.HasWords(3)) return;
      object.kind = PictureObject::kBrush;
      object.brush.hollow = p.U(0) == kBrushStyleNull;
      object.brush.color = p.Color(2);
      break;
    case kMetaCreateFontIndirect: {
      if (!p.HasWords(9)) return;
      object.kind = PictureObject::kFont;
      object.font.height = p.I(0);
      object.font.bold = p.I(4) >= 600;
      object.font.italic = *p.At(10) != 0;
      const size_t faceBytes = std::min<size_t>(p.bytes() - 18, 32);
      const uint8_t* face = p.At(18);
      object.font.face = TextFromCodePage(face, std::find(face, face + faceBytes, 0) - face);
      break;
    }
    default:
      object.kind = PictureObject::kOther;
      break;
  }
  const auto free = std::find_if(objects_.begin(), objects_.end(), [](const PictureObject& o) {
    return o.kind == PictureObject::kFree;
  });
  if (free != objects_.end())
    *free = std::move(object);
  else if (objects_.size() < objectSlots_)
    objects_.push_back(std::move(object));
}

void Player::SelectObject(uint16_t index) {
  if (index >= objects_.size()) return;
  const PictureObject& object = objects_[index];
  switch (object.kind) {
    case PictureObject::kPen:
      state_.pen = object.pen;
      ApplyPen();
      break;
    case PictureObject::kBrush:
      state_.brush = object.brush;
      dc_.SelectBrush(state_.brush);
      if (state_.pen.null) ApplyPen();  // the outline follows the fill colour
      break;
    case PictureObject::kFont:
      state_.font = object.font;
      ApplyFont();
      break;
    default:
      break;
  }
}

void Player::RestoreState(int16_t which) {
  // Negative: that many levels back; positive: the n-th state saved (1 the first).
  const long keep = which < 0 ? static_cast<long>(saved_.size()) + which : which - 1L;
  if (which == 0 || keep < 0 || keep >= static_cast<long>(saved_.size())) return;
  state_ = saved_[static_cast<size_t>(keep)];
  saved_.resize(static_cast<size_t>(keep));
  ApplyAll();
}

std::pair<double, double> Player::Scales() const {
  double sx = state_.viewportExtX / state_.windowExtX;
  double sy = state_.viewportExtY / state_.windowExtY;
  if (state_.isotropic) {
    const double s = std::min(std::abs(sx), std::abs(sy));
    sx = std::copysign(s, sx);
    sy = std::copysign(s, sy);
  }
  return {sx, sy};
}

int RoundToDevice(double v) {
  constexpr double kLimit = 1 << 30;
  return static_cast<int>(std::floor(std::clamp(v, -kLimit, kLimit) + 0.5));
}

Point Player::ToDevice(int x, int y) const {
  const auto [sx, sy] = Scales();
  return {RoundToDevice(box_.left + state_.viewportOrgX + (x - state_.windowOrgX) * sx),
          RoundToDevice(box_.top + state_.viewportOrgY + (y - state_.windowOrgY) * sy)};
}

// The count and (x, y) pairs of META_POLYLINE and META_POLYGON; empty when they do not fit.
std::vector<Point> Player::Points(const Params& p) const {
  std::vector<Point> points;
  if (!p.HasWords(1) || p.I(0) < 0) return points;
  const size_t count = static_cast<size_t>(p.I(0));
  if (!p.HasWords(1 + 2 * count)) return points;
  points.reserve(count);
  for (size_t i = 0; i < count; ++i) points.push_back(ToDevice(p.I(1 + 2 * i), p.I(2 + 2 * i)));
  return points;
}

void Player::ApplyPen() {
  Pen pen;
  if (state_.pen.null) {
    pen = {1, state_.brush.color};
  } else {
    const int width = RoundToDevice(state_.pen.width * std::abs(Scales().first));
    pen = {std::max(1, width), state_.pen.color};
  }
  dc_.SelectPen(pen);
}

void Player::ApplyFont() {
  Font font;
  if (!state_.font.face.empty()) font.face = state_.font.face;
  if (state_.font.height != 0) {
    // A negative height is the character height, a positive one the cell height; both
    // are taken as the character height.
    const int height = RoundToDevice(std::abs(state_.font.height * Scales().second));
    font.pixelHeight = std::max(1, height);
  }
  font.bold = state_.font.bold;
  font.italic = state_.font.italic;
  dc_.SelectFont(font);
}

void Player::ApplyAll() {
  ApplyPen();
  dc_.SelectBrush(state_.brush);
  ApplyFont();
  dc_.SetTextColor(state_.textColor);
  dc_.SetTextAlign(state_.align);
}

void Player::Draw(uint16_t function, const Params& p) {
  const bool noOutline = state_.pen.null;
  const bool noShape = noOutline && state_.brush.hollow;
  switch (function) {
    case kMetaMoveTo:
    case kMetaLineTo: {
      if (!p.HasWords(2)) return;
      const Point to = ToDevice(p.I(1), p.I(0));
      if (function == kMetaLineTo && !noOutline)
        dc_.LineTo(to.x, to.y);
      else
        dc_.MoveTo(to.x, to.y);
      return;
    }
    case kMetaPolyline:
    case kMetaPolygon: {
      const std::vector<Point> points = Points(p);
      if (points.size() < 2) return;
      if (function == kMetaPolyline && !noOutline) dc_.Polyline(points);
      if (function == kMetaPolygon && !noShape) dc_.Polygon(points);
      return;
    }
    case kMetaRectangle:
    case kMetaEllipse: {
      if (!p.HasWords(4) || noShape) return;
      const Point a = ToDevice(p.I(3), p.I(2)), b = ToDevice(p.I(1), p.I(0));
      const int left = std::min(a.x, b.x), right = std::max(a.x, b.x);
      const int top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
      if (function == kMetaRectangle)
        dc_.Rectangle(left, top, right, bottom);
      else
        dc_.Ellipse(left, top, right, bottom);
      return;
    }
    case kMetaTextOut: {
      if (!p.HasWords(1) || p.I(0) < 0) return;
      const size_t count = static_cast<size_t>(p.I(0)), padded = (count + 1) / 2 * 2;
      if (p.bytes() < 2 + padded + 4) return;
      const int y = I16(p.At(2 + padded)), x = I16(p.At(4 + padded));
      const Point at = ToDevice(x, y);
      dc_.TextOut(at.x, at.y, TextFromCodePage(p.At(2), count));
      return;
    }
    case kMetaExtTextOut: {
      if (!p.HasWords(4) || p.I(2) < 0) return;
      const size_t count = static_cast<size_t>(p.I(2));
      const size_t start = (p.U(3) & (kExtTextOpaque | kExtTextClipped)) ? 16 : 8;
      if (p.bytes() < start + count) return;
      const Point at = ToDevice(p.I(1), p.I(0));
      dc_.TextOut(at.x, at.y, TextFromCodePage(p.At(start), count));
      return;
    }
  }
}

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

}  // namespace

std::optional<Metafile> ParseReportPicture(std::string_view text) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  const size_t size = text.size();
  Metafile picture;
  size_t start = 0;
  if (size >= 4 && U32(bytes) == kPlaceableMetafileKey) {
    if (size < kPlaceableHeaderBytes) return std::nullopt;
    picture.placeable = true;
    picture.bboxLeft = I16(bytes + 6);
    picture.bboxTop = I16(bytes + 8);
    picture.bboxRight = I16(bytes + 10);
    picture.bboxBottom = I16(bytes + 12);
    picture.unitsPerInch = U16(bytes + 14);
    if (picture.unitsPerInch == 0) return std::nullopt;
    const uint32_t width = static_cast<uint32_t>(picture.bboxRight - picture.bboxLeft);
    const uint32_t height = static_cast<uint32_t>(picture.bboxBottom - picture.bboxTop);
    picture.widthHundredthsMm = width * 2540u / picture.unitsPerInch;
    picture.heightHundredthsMm = height * 2540u / picture.unitsPerInch;
    start = kPlaceableHeaderBytes;
  } else {
    picture.widthHundredthsMm = picture.heightHundredthsMm = kPlainPictureSize;
  }
  const size_t count = MetafileBytes(bytes + start, size - start);
  if (count == 0) return std::nullopt;
  picture.records.assign(bytes + start, bytes + start + count);
  return picture;
}

std::optional<Metafile> LoadReportPicture(FileAccess& files, const std::string& path) {
  std::string bytes;
  if (!files.ReadFile(path, bytes, kMaxReportPictureBytes).ok()) return std::nullopt;
  if (bytes.size() > kMaxReportPictureBytes) return std::nullopt;
  return ParseReportPicture(bytes);
}

void PlayMetafile(DeviceContext& dc, const Metafile& picture, int boxLeft, int boxTop, int boxWidth,
                  int boxHeight) {
  if (boxWidth <= 0 || boxHeight <= 0) return;
  const Pen pen = dc.SelectPen(Pen{});
  const Brush brush = dc.SelectBrush(Brush{});
  const Font font = dc.SelectFont(Font{});
  const Rgb textColor = dc.SetTextColor(Rgb{});
  const unsigned align = dc.SetTextAlign(kAlignLeft | kAlignTop);
  Player(dc, picture, {boxLeft, boxTop, boxWidth, boxHeight}).Play();
  dc.SelectPen(pen);
  dc.SelectBrush(brush);
  dc.SelectFont(font);
  dc.SetTextColor(textColor);
  dc.SetTextAlign(align);
}

namespace {

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
