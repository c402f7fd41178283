// Playing a Windows metafile into a device box (the byte format is at the top of
// metafile.cpp).
//
// The window (origin and extent: the placeable box, or 0,0 + 1000 x 1000 for a plain
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
#include <algorithm>
#include <cmath>
#include <utility>

#include "report/metafile.h"
#include "report/metafile_records.h"

namespace spanlab {

using namespace wmf;

namespace {

constexpr size_t kMaxSavedStates = 256;
constexpr int kMapModeIsotropic = 7;
constexpr uint16_t kExtTextOpaque = 0x0002, kExtTextClipped = 0x0004;
constexpr unsigned kTextAlignMask = kAlignCenter | kAlignBaseline;

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

}  // namespace

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

}  // namespace spanlab
