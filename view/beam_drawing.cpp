#include "view/beam_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace spanlab {

namespace {

// Offsets of one symbol around its anchor point.
class Symbol {
 public:
  Symbol(DeviceContext& dc, int x, int y, float sx, float sy) : dc_(dc), x_(x), y_(y), sx_(sx), sy_(sy) {}
  int X(int k) const { return x_ + static_cast<int>(static_cast<float>(k) * sx_); }
  int Y(int k) const { return y_ + static_cast<int>(static_cast<float>(k) * sy_); }
  void Line(int x1, int y1, int x2, int y2) const {
    dc_.MoveTo(x1, y1);
    dc_.LineTo(x2, y2);
  }
  // A polyline through scaled offsets.
  void Polyline(std::initializer_list<std::pair<int, int>> points) const {
    bool first = true;
    for (const auto& [dx, dy] : points) {
      if (first) dc_.MoveTo(X(dx), Y(dy));
      else dc_.LineTo(X(dx), Y(dy));
      first = false;
    }
  }
  // Strokes between scaled offsets: {x1, y1, x2, y2} each.
  void Strokes(std::initializer_list<std::initializer_list<int>> strokes) const {
    for (const auto& s : strokes) {
      const int* v = s.begin();
      Line(X(v[0]), Y(v[1]), X(v[2]), Y(v[3]));
    }
  }
  int x() const { return x_; }
  int y() const { return y_; }

 private:
  DeviceContext& dc_;
  int x_, y_;
  float sx_, sy_;
};

Pen SymbolPen(Rgb color, int penUnit) { return Pen{penUnit, color}; }

// Ground line with five hatch strokes, used by both pin supports.
void PinGround(const Symbol& s, int groundY) {
  s.Line(s.X(-9), s.Y(groundY), s.X(10), s.Y(groundY));
  for (int k : {-7, -3, 1, 5, 9}) s.Line(s.X(k), s.Y(groundY) + 1, s.X(k - 3), s.Y(groundY + 5));
}

// Double ground line and hatch under both springs.
void SpringGround(const Symbol& s) {
  s.Line(s.X(-9), s.Y(18), s.X(10), s.Y(18));
  s.Line(s.X(-9), s.Y(18) + 1, s.X(10), s.Y(18) + 1);
  for (int k : {-6, -2, 2, 6}) s.Line(s.X(k), s.Y(18) + 1, s.X(k - 4), s.Y(22) + 1);
  s.Line(s.X(9), s.Y(18) + 2, s.X(6), s.Y(22) + 1);
}

// Remembers which symbols have been drawn at which device x, so that symbols that would land
// on exactly the same device units are drawn once.
class DrawnOnce {
 public:
  // True the first time (kind, x) is seen.
  bool First(int kind, int x) {
    return seen_.insert((static_cast<int64_t>(kind) << 32) ^ static_cast<uint32_t>(x)).second;
  }

 private:
  std::unordered_set<int64_t> seen_;
};

// The device columns taken by support symbols drawn so far. Supports stand side by side under
// the beam, so a symbol that would overlap one drawn before is left out: a beam with a support
// at every pixel shows separate symbols rather than a solid band.
class OccupiedColumns {
 public:
  // True, and the columns from..to (inclusive) taken, when none of them is taken yet.
  bool TakeIfFree(int from, int to) {
    auto next = taken_.lower_bound(from);  // the first stretch starting at or after `from`
    if (next != taken_.end() && next->first <= to) return false;
    if (next != taken_.begin() && std::prev(next)->second >= from) return false;
    taken_.emplace_hint(next, from, to);
    return true;
  }

 private:
  std::map<int, int> taken_;  // start -> end of each taken stretch; stretches never overlap
};

}  // namespace

int DeviceCoordinate(double v, int fallback) {
  // Converting a double outside the range of int to int is undefined.
  constexpr double kLimit = 1 << 30;
  if (std::isnan(v)) return fallback;
  return static_cast<int>(std::clamp(v, -kLimit, kLimit));
}

int DrawingFrame::MapX(double x) const {
  return DeviceCoordinate(left + (right - left) * (x / length), left);
}

void DrawBeam(DeviceContext& dc, const DrawingFrame& f) {
  PenScope pen(dc, Pen{3 * f.penUnit, kBlack});
  dc.MoveTo(f.left, f.baseline);
  dc.LineTo(f.right, f.baseline);
}

void DrawHinge(DeviceContext& dc, int x, int y, float sx, float sy) {
  const Symbol s(dc, x, y, sx, sy);
  dc.Ellipse(s.X(-5), s.Y(-5), s.X(5) + 1, s.Y(5) + 1);
}

void DrawPinSupport(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit) {
  PenScope pen(dc, SymbolPen(kRed, penUnit));
  const Symbol s(dc, x, y, sx, sy);
  s.Line(x, y + 2, s.X(-6), s.Y(8));
  s.Line(x, y + 2, s.X(6), s.Y(8));
  PinGround(s, 8);
}

void DrawSettlingSupport(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit) {
  PenScope pen(dc, SymbolPen(kRed, penUnit));
  const Symbol s(dc, x, y, sx, sy);
  s.Line(x, y + 2, s.X(-6), s.Y(8));
  s.Line(x, y + 2, s.X(6), s.Y(8));
  s.Strokes({{-6, 8, 7, 8},
             // left double-headed arrow
             {-6, 8, -6, 17}, {-8, 14, -6, 16}, {-4, 14, -6, 16}, {-8, 11, -6, 9}, {-4, 11, -6, 9},
             // right double-headed arrow
             {6, 8, 6, 17}, {4, 14, 6, 16}, {8, 14, 6, 16}, {4, 11, 6, 9}, {8, 11, 6, 9}});
  PinGround(s, 17);
}

void DrawGuidedSupport(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit) {
  PenScope pen(dc, SymbolPen(kRed, penUnit));
  const Symbol s(dc, x, y, sx, sy);
  s.Line(s.X(2), s.Y(-12), s.X(-5), s.Y(12));
  s.Line(s.X(2) - 1, s.Y(-12), s.X(-5) - 1, s.Y(12));
  s.Line(s.X(5), s.Y(-12), s.X(-2), s.Y(12));
  s.Line(s.X(5) + 1, s.Y(-12), s.X(-2) + 1, s.Y(12));
}

void DrawFixedLeft(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit) {
  PenScope pen(dc, SymbolPen(kRed, penUnit));
  const Symbol s(dc, x, y, sx, sy);
  s.Strokes({{-1, -12, -1, 12}, {0, -12, 0, 12},
             {-4, -12, -7, -9}, {-1, -11, -7, -5}, {-1, -7, -7, -1}, {-1, -3, -7, 3},
             {-1, 1, -7, 7}, {-1, 5, -7, 11}, {-1, 9, -4, 12}});
}

void DrawFixedRight(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit) {
  PenScope pen(dc, SymbolPen(kRed, penUnit));
  const Symbol s(dc, x, y, sx, sy);
  s.Strokes({{1, -12, 1, 12}, {0, -12, 0, 12},
             {4, -12, 7, -9}, {1, -11, 7, -5}, {1, -7, 7, -1}, {1, -3, 7, 3},
             {1, 1, 7, 7}, {1, 5, 7, 11}, {1, 9, 4, 12}});
}

void DrawFixedInterior(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit) {
  PenScope pen(dc, SymbolPen(kRed, penUnit));
  const Symbol s(dc, x, y, sx, sy);
  s.Strokes({{-3, -12, -3, 12}, {-2, -12, -2, 12}, {3, -12, 3, 12}, {2, -12, 2, 12},
             {-1, -12, 3, -8}, {-2, -9, 3, -4}, {-2, -5, 3, 0}, {-2, 0, 3, 5},
             {-2, 4, 3, 9}, {-2, 8, 2, 12}});
}

void DrawVerticalSpring(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit) {
  PenScope pen(dc, SymbolPen(kRed, penUnit));
  const Symbol s(dc, x, y, sx, sy);
  s.Polyline({{0, 1}, {0, 3}, {-3, 5}, {3, 8}, {-3, 11}, {3, 14}, {0, 16}, {0, 18}});
  SpringGround(s);
}

void DrawRotationalSpring(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit) {
  PenScope pen(dc, SymbolPen(kRed, penUnit));
  const Symbol s(dc, x, y, sx, sy);
  s.Polyline({{0, 0}, {0, 1}, {-2, 3}, {-4, 3}, {-6, 0}, {-6, -3}, {-3, -7}, {2, -7}, {4, -6},
              {6, -4}, {7, -2}, {8, 1}, {6, 6}, {3, 9}, {0, 10}, {0, 18}});
  SpringGround(s);
}

void DrawDownLoad(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit) {
  PenScope pen(dc, SymbolPen(kBlue, penUnit));
  const Symbol s(dc, x, y, sx, sy);
  const int tip = y - 3;  // 3 device units above the beam
  s.Line(x, y - (static_cast<int>(30 * sy) + 3), x, tip);
  s.Line(x, tip, s.X(-4), s.Y(-4) - 3);
  s.Line(x, tip, s.X(4), s.Y(-4) - 3);
  s.Line(s.X(-1), s.Y(-2) - 3, s.X(2), s.Y(-2) - 3);
}

void DrawUpLoad(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit) {
  PenScope pen(dc, SymbolPen(kBlue, penUnit));
  const Symbol s(dc, x, y, sx, sy);
  const int tip = s.Y(-30);
  const int head = tip + static_cast<int>(4 * sy);
  const int cross = tip + static_cast<int>(2 * sy);
  s.Line(x, y, x, tip);
  s.Line(x, tip, s.X(-4), head);
  s.Line(x, tip, s.X(4), head);
  s.Line(s.X(-1), cross, s.X(2), cross);
}

namespace {

// Arc of radius 15 from `from` to `to` degrees in steps of `step`, then the arrow head at its
// end, opening towards `headSide` (+1 right, -1 left).
void MomentArc(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit, int from, int to,
               int step, int headSide) {
  PenScope pen(dc, SymbolPen(kBlue, penUnit));
  auto point = [&](int degrees) {
    const double a = degrees * kDegreesToRadians;
    return std::pair<int, int>{x + static_cast<int>(15 * sx * std::cos(a)),
                               y + static_cast<int>(15 * sy * std::sin(a))};
  };
  const auto [startX, startY] = point(from);
  dc.MoveTo(startX, startY);
  for (int a = from; step > 0 ? a <= to : a >= to; a += step) {
    const auto [px, py] = point(a);
    dc.LineTo(px, py);
  }
  const auto [ex, ey] = point(to);
  const int dx = headSide * static_cast<int>(8 * sx);
  dc.LineTo(ex + dx, ey + static_cast<int>(5 * sy));
  dc.MoveTo(ex, ey);
  dc.LineTo(ex + dx, ey + static_cast<int>(-4 * sy));
}

}  // namespace

void DrawNegativeMoment(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit) {
  MomentArc(dc, x, y, sx, sy, penUnit, 105, -109, -2, +1);
}

void DrawPositiveMoment(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit) {
  MomentArc(dc, x, y, sx, sy, penUnit, 75, 289, 2, -1);
}

void DrawUniformLoad(DeviceContext& dc, int x1, int x2, int y, double uStart, double uEnd,
                     double uMax, float sx, float sy, int penUnit) {
  PenScope pen(dc, SymbolPen(kLoadGreen, penUnit));
  // Draws the arrow of one end and returns the y of its tail.
  auto arrow = [&](int xe, double u) {
    const Symbol s(dc, xe, y, sx, sy);
    if (u == 0) return y + 1;
    // The largest intensity gets a full arrow, smaller ones shorter, down to half length.
    double g = 1 - (uMax - std::fabs(u)) * (0.5 / uMax);
    // For the tiniest (subnormal) intensities 0.5 / uMax overflows: the same proportion with
    // the ratio divided out first. An infinite intensity gets a full arrow.
    if (!std::isfinite(g)) g = std::isinf(u) ? 1 : 0.5 + 0.5 * (std::fabs(u) / uMax);
    if (u < 0) {
      const int tail = y - static_cast<int>(g * sy * 17 + 3) + 1;
      s.Line(xe, tail, xe, y - 2);
      s.Line(xe, y - 2, s.X(-4), s.Y(-4) - 2);
      s.Line(xe, y - 2, s.X(4), s.Y(-4) - 2);
      s.Line(s.X(-1), s.Y(-2) - 2, s.X(2), s.Y(-2) - 2);
      return tail;
    }
    const int tail = y + static_cast<int>(g * sy * 17) + 2;
    s.Line(xe, tail, xe, y + 2);
    s.Line(xe, y + 2, s.X(-4), s.Y(4) + 2);
    s.Line(xe, y + 2, s.X(4), s.Y(4) + 2);
    s.Line(s.X(-1), s.Y(2) + 2, s.X(2), s.Y(2) + 2);
    return tail;
  };
  const int tailStart = arrow(x1, uStart);
  const int tailEnd = arrow(x2, uEnd);
  dc.MoveTo(x1, tailStart);
  dc.LineTo(x2, tailEnd);
}

void DrawReleases(DeviceContext& dc, const DrawingFrame& f, const ModelItems& items) {
  // Hinges are filled white, so a later one may cover part of an earlier one: only a hinge at
  // the very x of the one drawn just before it is skipped (it would repaint the same pixels).
  int previous = 0;
  bool any = false;
  for (const CMomentReleaseItem& r : items.m_releases) {
    const int x = f.MapX(r.m_dX);
    if (any && x == previous) continue;
    DrawHinge(dc, x, f.baseline, f.sx, f.sy);
    previous = x;
    any = true;
  }
}

void DrawSupports(DeviceContext& dc, const DrawingFrame& f, const ModelItems& items) {
  using Routine = void (*)(DeviceContext&, int, int, float, float, int);
  static constexpr Routine kRoutines[] = {DrawFixedLeft, DrawFixedRight, DrawFixedInterior,
                                          DrawSettlingSupport, DrawPinSupport, DrawGuidedSupport};
  // The x offsets (symbol units) of the outermost strokes of each symbol, in kRoutines order
  // (the guided support's doubled strokes lie one device unit outside its offsets of 5).
  static constexpr int kExtent[][2] = {{-7, 0}, {0, 7}, {-3, 3}, {-10, 10}, {-10, 10}, {-6, 6}};
  OccupiedColumns drawn;
  for (const CSupportItem& s : items.m_supports) {
    int kind;  // index into kRoutines
    if (s.m_bDisp && s.m_bRotation) kind = s.m_dX == 0 ? 0 : s.m_dX == f.length ? 1 : 2;
    else if (s.m_bDisp) kind = s.m_dDisp != 0 ? 3 : 4;
    else if (s.m_bRotation) kind = 5;
    else continue;  // restrains nothing
    const int x = f.MapX(s.m_dX);
    const int from = x + static_cast<int>(static_cast<float>(kExtent[kind][0]) * f.sx);
    const int to = x + static_cast<int>(static_cast<float>(kExtent[kind][1]) * f.sx);
    if (drawn.TakeIfFree(from, to)) kRoutines[kind](dc, x, f.baseline, f.sx, f.sy, f.penUnit);
  }
}

void DrawSprings(DeviceContext& dc, const DrawingFrame& f, const ModelItems& items) {
  DrawnOnce drawn;
  for (const CSpringItem& s : items.m_springs) {
    const int x = f.MapX(s.m_dX);
    if (s.m_dVSpring != 0 && drawn.First(0, x)) DrawVerticalSpring(dc, x, f.baseline, f.sx, f.sy, f.penUnit);
    if (s.m_dRSpring != 0 && drawn.First(1, x)) DrawRotationalSpring(dc, x, f.baseline, f.sx, f.sy, f.penUnit);
  }
}

void DrawPointLoads(DeviceContext& dc, const DrawingFrame& f, const ModelItems& items) {
  DrawnOnce drawn;
  const int y = f.baseline;
  for (const CPointLoadItem& p : items.m_pointLoads) {
    const int x = f.MapX(p.m_dX);
    if (p.m_dPLoad < 0 && drawn.First(0, x)) DrawDownLoad(dc, x, y, f.sx, f.sy, f.penUnit);
    if (p.m_dPLoad > 0 && drawn.First(1, x)) DrawUpLoad(dc, x, y, f.sx, f.sy, f.penUnit);
    if (p.m_dMoment < 0 && drawn.First(2, x)) DrawNegativeMoment(dc, x, y + 1, f.sx, f.sy, f.penUnit);
    if (p.m_dMoment > 0 && drawn.First(3, x)) DrawPositiveMoment(dc, x, y - 1, f.sx, f.sy, f.penUnit);
  }
}

void DrawUniformLoads(DeviceContext& dc, const DrawingFrame& f, const ModelItems& items) {
  double uMax = 0;
  for (const CUniformLoadItem& u : items.m_uniformLoads) {
    uMax = std::max({uMax, std::fabs(u.m_dUStart), std::fabs(u.m_dUEnd)});
  }
  // Loads whose ends land on the same device x with the same intensities draw the same
  // strokes; each such picture is drawn once.
  struct Key {
    int x1, x2;
    double u1, u2;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    size_t operator()(const Key& k) const {
      const std::hash<double> h;
      return ((std::hash<int>()(k.x1) * 31 + std::hash<int>()(k.x2)) * 31 + h(k.u1)) * 31 + h(k.u2);
    }
  };
  std::unordered_set<Key, KeyHash> drawn;
  for (const CUniformLoadItem& u : items.m_uniformLoads) {
    const int x1 = f.MapX(u.m_dXStart);
    const int x2 = f.MapX(u.m_dXEnd);
    if (!drawn.insert(Key{x1, x2, u.m_dUStart, u.m_dUEnd}).second) continue;
    DrawUniformLoad(dc, x1, x2, f.baseline, u.m_dUStart, u.m_dUEnd, uMax, f.sx, f.sy, f.penUnit);
  }
}

void DrawBeamPicture(DeviceContext& dc, const DrawingFrame& frame, const ModelItems& items) {
  DrawBeam(dc, frame);
  DrawReleases(dc, frame, items);
  DrawSupports(dc, frame, items);
  DrawSprings(dc, frame, items);
  DrawPointLoads(dc, frame, items);
  DrawUniformLoads(dc, frame, items);
}

}  // namespace spanlab
