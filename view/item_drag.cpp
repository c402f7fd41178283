// Snapping: the candidates for a position are the multiples of the step nearest the target,
// each computed as the double of its decimal (k x step rounded to the step's decimal places,
// so that 3 x 0.1 is written "0.3"), and written as the shortest text that reads back as that
// double. A candidate is skipped where an item of the same kind already stands (the data check
// would report the pair) or where its text would not fit a dialog field; when every multiple
// near the target is skipped (a million supports on every multiple of the step), the search
// goes on among the multiples of a tenth of the step near the target, and so on. Each test is a binary search
// in the taken positions, sorted once per pick-up or step: a few hundred at most per mouse move.
#include "view/item_drag.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "analysis/beam_analysis.h"
#include "model/line_fields.h"
#include "model/number_text.h"
#include "model/sections.h"

namespace spanlab {

namespace {

constexpr double kNoLimit = std::numeric_limits<double>::infinity();
constexpr double kSamePosition = CBeamAnalysis::kPositionTolerance;  // one node when closer
constexpr int kSearchRadius = 40;  // multiples tried on either side of the target per grid
constexpr int kFinerGrids = 8;     // grids a tenth, a hundredth, ... of the step tried after it
constexpr size_t kFieldTextMax = 15;  // the longest text a dialog field takes

// A symbol's box around its anchor (device x of the item, the beam's baseline), in device
// units, as beam_drawing.cpp draws it on screen.
struct SymbolBox {
  int halfWidth;
  int top, bottom;  // y offsets from the baseline, y downward
};

// Keeps the best pick seen so far: the nearest along x, the later one at equal distance.
class Picker {
 public:
  Picker(const DrawingFrame& frame, int x, int y) : frame_(frame), x_(x), y_(y) {}
  void Try(double position, const SymbolBox& box, int section, size_t row, int field) {
    const int at = frame_.MapX(position);
    const int dx = std::abs(x_ - at);
    const int dy = y_ - frame_.baseline;
    if (dx > box.halfWidth + kPickTolerance) return;
    if (dy < box.top - kPickTolerance || dy > box.bottom + kPickTolerance) return;
    if (best_ && dx > bestDx_) return;
    bestDx_ = dx;
    best_ = DragItem{section, row, field, position, 0, 0, {}};
  }
  const std::optional<DragItem>& Best() const { return best_; }

 private:
  const DrawingFrame& frame_;
  int x_, y_;
  int bestDx_ = 0;
  std::optional<DragItem> best_;  // `start` still in internal units
};

// The box of a uniform load's end arrow for intensity u: above the beam for a downward load,
// below it for an upward one.
SymbolBox UniformEndBox(double u) {
  if (u < 0) return {4, -21, 0};
  if (u > 0) return {4, 0, 21};
  return {4, -3, 3};
}

// The largest position of all the document's items but the moved one (`field` -1: both ends
// of a uniform load), internal units; -infinity for none.
double OthersReach(const ModelItems& items, int section, size_t row, int field) {
  double reach = -kNoLimit;
  auto raise = [&](int s, size_t r, int f, double x) {
    if (s == section && r == row && (field < 0 || f == field)) return;
    reach = std::max(reach, x);
  };
  const auto& properties = items.m_properties;
  for (size_t i = 0; i < properties.size(); ++i) {
    raise(kSectionProperties, i, 0, properties[i].m_dX);
  }
  const auto& releases = items.m_releases;
  for (size_t i = 0; i < releases.size(); ++i) raise(kSectionReleases, i, 0, releases[i].m_dX);
  const auto& supports = items.m_supports;
  for (size_t i = 0; i < supports.size(); ++i) raise(kSectionSupports, i, 0, supports[i].m_dX);
  const auto& springs = items.m_springs;
  for (size_t i = 0; i < springs.size(); ++i) raise(kSectionSprings, i, 0, springs[i].m_dX);
  const auto& points = items.m_pointLoads;
  for (size_t i = 0; i < points.size(); ++i) raise(kSectionPointLoads, i, 0, points[i].m_dX);
  const auto& uniform = items.m_uniformLoads;
  for (size_t i = 0; i < uniform.size(); ++i) {
    raise(kSectionUniformLoads, i, 0, uniform[i].m_dXStart);
    raise(kSectionUniformLoads, i, 1, uniform[i].m_dXEnd);
  }
  return reach;
}

// The display value of internal position `x`: the value of the shortest text that the
// document reads as `x` again (ConvertNumber(text) x factor == x), so that an item put there
// lands on `x` exactly and its line reads well; x / factor where no text of up to 17 digits does.
double DisplayPosition(double x, double factor) {
  const double plain = x / factor;
  for (int digits = 1; digits <= 17 && std::isfinite(plain); ++digits) {
    const double v = ConvertNumber(FormatGeneral(plain, digits));
    if (v * factor == x) return v;
  }
  return plain;
}

// The unit system in force at the line of item `row` of `section`: the document's own when the
// lines have no such item.
int UnitsOfItem(const ModelItems& items, const std::vector<std::string>& lines, int section,
                size_t row) {
  const std::optional<size_t> line = SectionLineIndex(lines, SectionById(section), row);
  return line ? UnitsAtLine(lines, *line) : items.m_nUnits;
}

// The upper limit of a moved item, display units (length factor `factor`): the beam's length,
// unless the item alone reaches it (then moving it changes the length).
double UpperLimit(const ModelItems& items, int section, size_t row, int field, double factor) {
  const double length = items.m_dBeamLength;
  if (OthersReach(items, section, row, field) < length) return kNoLimit;
  return DisplayPosition(length, factor);
}

bool Near(double a, double b) { return std::fabs(a - b) <= kSamePosition; }

// Whether internal position `x` is one of the ascending `taken` ones.
bool IsTaken(const std::vector<double>& taken, double x) {
  const auto it = std::lower_bound(taken.begin(), taken.end(), x - kSamePosition);
  return it != taken.end() && Near(*it, x);
}

// The positions a moved item may not take (see DragItem::taken).
std::vector<double> TakenPositions(const ModelItems& items, int section, size_t row, int field) {
  std::vector<double> taken;
  auto others = [&](const auto& list) {
    for (size_t i = 0; i < list.size(); ++i) {
      if (i != row) taken.push_back(list[i].m_dX);
    }
  };
  switch (section) {
    case kSectionReleases:
      others(items.m_releases);
      taken.push_back(0);  // a release at a member end is refused
      if (OthersReach(items, section, row, field) >= items.m_dBeamLength) {
        taken.push_back(items.m_dBeamLength);
      }
      break;
    case kSectionSupports:
      others(items.m_supports);
      break;
    case kSectionSprings:
      others(items.m_springs);
      break;
    case kSectionPointLoads:
      others(items.m_pointLoads);
      break;
    case kSectionUniformLoads: {
      const auto& loads = items.m_uniformLoads;
      if (row >= loads.size()) break;
      const double fixed = field == 0 ? loads[row].m_dXEnd : loads[row].m_dXStart;
      taken.push_back(fixed);
      for (size_t i = 0; i < loads.size(); ++i) {
        if (i == row) continue;
        const double lo = std::min(loads[i].m_dXStart, loads[i].m_dXEnd);
        const double hi = std::max(loads[i].m_dXStart, loads[i].m_dXEnd);
        if (Near(fixed, lo)) taken.push_back(hi);
        if (Near(fixed, hi)) taken.push_back(lo);
      }
      break;
    }
    default:
      break;
  }
  std::sort(taken.begin(), taken.end());
  return taken;
}

// The stretches (smaller end, larger end) of the uniform loads but `row`, ascending.
using Stretch = std::pair<double, double>;
std::vector<Stretch> OtherStretches(const ModelItems& items, size_t row) {
  std::vector<Stretch> stretches;
  const auto& loads = items.m_uniformLoads;
  for (size_t i = 0; i < loads.size(); ++i) {
    if (i == row) continue;
    stretches.emplace_back(std::min(loads[i].m_dXStart, loads[i].m_dXEnd),
                           std::max(loads[i].m_dXStart, loads[i].m_dXEnd));
  }
  std::sort(stretches.begin(), stretches.end());
  return stretches;
}

bool IsTaken(const std::vector<Stretch>& stretches, double lo, double hi) {
  const Stretch from{lo - kSamePosition, -kNoLimit};
  for (auto it = std::lower_bound(stretches.begin(), stretches.end(), from);
       it != stretches.end() && it->first <= lo + kSamePosition; ++it) {
    if (Near(it->second, hi)) return true;
  }
  return false;
}

// The position nearest `target` that `accept` takes among the multiples of `step` (and of its
// tenths, see the top of the file), a multiple beyond [lo, hi] standing for the limit it
// passes. On the step's own grid `coarseRadius` multiples either side are tried (1 keeps a drag
// within a step of the mouse, finer grids first; a nudge hops over up to 40 taken multiples);
// on the finer grids the multiples within one step, at most kSearchRadius either side.
// nullopt when none is accepted.
template <class Accept>
std::optional<double> NearestAccepted(double target, double step, double lo, double hi,
                                      int coarseRadius, const Accept& accept) {
  if (!(lo <= hi)) return std::nullopt;
  if (!(step > 0) || !std::isfinite(target)) {
    const double p = std::clamp(std::isnan(target) ? lo : target, lo, hi);
    return accept(p) ? std::optional<double>(p) : std::nullopt;
  }
  target = std::clamp(target, lo, hi);
  int places = DecimalPlaces(ShortestText(step));
  std::vector<double> candidates;
  int oneStep = 1;  // multiples of the grid in one step: 10^level
  for (int level = 0; level <= kFinerGrids; ++level, step /= 10, ++places) {
    const double m0 = std::nearbyint(target / step);
    const int radius = level == 0 ? coarseRadius : std::min(kSearchRadius, oneStep);
    oneStep = std::min(10 * oneStep, 1000);
    candidates.clear();
    for (int i = -radius; i <= radius; ++i) {
      candidates.push_back(std::clamp(RoundToDecimalPlaces((m0 + i) * step, places), lo, hi));
    }
    std::stable_sort(candidates.begin(), candidates.end(), [target](double a, double b) {
      return std::fabs(a - target) < std::fabs(b - target);
    });
    for (size_t i = 0; i < candidates.size(); ++i) {
      if (i > 0 && candidates[i] == candidates[i - 1]) continue;
      if (accept(candidates[i])) return candidates[i];
    }
  }
  return std::nullopt;
}

// The power of ten at most one device unit long in `frame`, display units; 0 when the picture
// has no scale.
double FreeStep(const DrawingFrame& frame, double lengthFactor) {
  const double pixelsPerUnit = (frame.right - frame.left) / frame.length * lengthFactor;
  if (!(pixelsPerUnit > 0) || !std::isfinite(pixelsPerUnit)) return 0;
  return std::pow(10.0, std::floor(std::log10(1 / pixelsPerUnit)));
}

}  // namespace

std::optional<DragItem> PickItem(const ModelItems& items, const std::vector<std::string>& lines,
                                 const DrawingFrame& frame, int x, int y) {
  if (!(frame.length > 0) || !(items.m_dBeamLength > 0)) return std::nullopt;
  Picker pick(frame, x, y);
  // In drawing order, so that at equal distance the symbol on top wins.
  const auto& releases = items.m_releases;
  for (size_t i = 0; i < releases.size(); ++i) {
    pick.Try(releases[i].m_dX, {5, -5, 5}, kSectionReleases, i, 0);
  }
  const auto& supports = items.m_supports;
  for (size_t i = 0; i < supports.size(); ++i) {
    if (supports[i].m_bDisp || supports[i].m_bRotation) {
      pick.Try(supports[i].m_dX, {10, -12, 22}, kSectionSupports, i, 0);
    }
  }
  const auto& springs = items.m_springs;
  for (size_t i = 0; i < springs.size(); ++i) {
    if (springs[i].m_dVSpring != 0 || springs[i].m_dRSpring != 0) {
      pick.Try(springs[i].m_dX, {9, -7, 22}, kSectionSprings, i, 0);
    }
  }
  const auto& points = items.m_pointLoads;
  for (size_t i = 0; i < points.size(); ++i) {
    const CPointLoadItem& p = points[i];
    if (p.m_dMoment != 0) pick.Try(p.m_dX, {15, -33, 16}, kSectionPointLoads, i, 0);
    else if (p.m_dPLoad != 0) pick.Try(p.m_dX, {4, -33, 0}, kSectionPointLoads, i, 0);
  }
  const auto& uniform = items.m_uniformLoads;
  for (size_t i = 0; i < uniform.size(); ++i) {
    pick.Try(uniform[i].m_dXStart, UniformEndBox(uniform[i].m_dUStart), kSectionUniformLoads, i, 0);
    pick.Try(uniform[i].m_dXEnd, UniformEndBox(uniform[i].m_dUEnd), kSectionUniformLoads, i, 1);
  }
  std::optional<DragItem> item = pick.Best();
  if (!item) return std::nullopt;
  item->units = UnitsOfItem(items, lines, item->section, item->row);
  const double factor = ItemLengthFactor(*item);
  item->start /= factor;
  item->lower = 0;
  item->upper = UpperLimit(items, item->section, item->row, item->field, factor);
  item->taken = TakenPositions(items, item->section, item->row, item->field);
  return item;
}

double SnapStep(const DrawingFrame& frame, double lengthFactor) {
  const double pixelsPerUnit = (frame.right - frame.left) / frame.length * lengthFactor;
  if (!(pixelsPerUnit > 0) || !std::isfinite(pixelsPerUnit)) return 0;
  const double least = kMinStepPixels / pixelsPerUnit;
  const double decade = std::pow(10.0, std::floor(std::log10(least)));
  for (const double m : {1.0, 2.0, 5.0}) {
    if (m * decade >= least) return m * decade;
  }
  return 10 * decade;
}

double ItemLengthFactor(const DragItem& item) {
  return FactorsForUnits(item.units)[kFactorLength];
}

std::optional<double> DragPosition(const DragItem& item, const DrawingFrame& frame,
                                   double lengthFactor, int mouseX, double step) {
  const double pixels = frame.right - frame.left;
  const double position = (mouseX - frame.left) / pixels * frame.length / lengthFactor;
  const double grid = step > 0 ? step : FreeStep(frame, lengthFactor);
  return NearestAccepted(position, grid, item.lower, item.upper, 1, [&](double p) {
    return ShortestText(p).size() <= kFieldTextMax && !IsTaken(item.taken, p * lengthFactor);
  });
}

std::string MovedLineText(const DragItem& item, const std::string& text, double position) {
  const ItemDialogSpec* form = ItemDialogFor(item.section);
  if (!form || !std::isfinite(position)) return {};
  return LineWithFieldValue(*form, text, item.field, ShortestText(position));
}

std::string NudgedLineText(const ModelItems& items, const std::vector<std::string>& lines,
                           const DrawingFrame& frame, int section, size_t row,
                           const std::string& text, int direction) {
  const ItemDialogSpec* form = ItemDialogFor(section);
  if (!form || section == kSectionProperties || !(items.m_dBeamLength > 0)) return {};
  const double factor = FactorsForUnits(UnitsOfItem(items, lines, section, row))[kFactorLength];
  const double step = SnapStep(frame, factor);
  if (!(step > 0)) return {};
  const DialogValues values = SplitDialogLine(*form, text);
  const bool uniform = section == kSectionUniformLoads;
  const int moved = uniform ? 2 : 1;  // position fields: X, or XStart and XEnd
  double x[2] = {0, 0};
  int places = DecimalPlaces(ShortestText(step));  // of every sum below
  for (int f = 0; f < moved; ++f) {
    const std::string& field = values.fields[static_cast<size_t>(f)];
    if (!IsValidNumber(field)) return {};
    x[f] = ConvertNumber(field);
    places = std::max(places, DecimalPlaces(field));
  }
  const double lo = std::min(x[0], x[moved - 1]), hi = std::max(x[0], x[moved - 1]);
  const double upper = UpperLimit(items, section, row, uniform ? -1 : 0, factor);
  if (std::isfinite(upper)) places = std::max(places, DecimalPlaces(ShortestText(upper)));
  // The next multiple of the step that way; the tolerance keeps a position already on a
  // multiple (up to rounding) from counting as between two.
  const double k = direction > 0 ? std::floor(x[0] / step + 1e-9) + 1
                                 : std::ceil(x[0] / step - 1e-9) - 1;
  const double target = RoundToDecimalPlaces(k * step, DecimalPlaces(ShortestText(step)));
  const std::vector<double> taken =
      uniform ? std::vector<double>{} : TakenPositions(items, section, row, 0);
  const std::vector<Stretch> stretches =
      uniform ? OtherStretches(items, row) : std::vector<Stretch>{};
  // The line with XStart (or X) at p and XEnd moved by as much; empty where it may not go.
  auto lineFor = [&](double p) -> std::string {
    if (direction > 0 ? !(p > x[0]) : !(p < x[0])) return {};
    std::string line = text;
    double at[2] = {0, 0};  // internal units
    for (int f = 0; f < moved && !line.empty(); ++f) {
      const double v =
          f == 0 ? p
                 : RoundToDecimalPlaces(x[1] + (p - x[0]),
                                        std::max(places, DecimalPlaces(ShortestText(p))));
      const std::string t = ShortestText(v);
      if (v < 0 || v > upper || t.size() > kFieldTextMax) return {};
      line = LineWithFieldValue(*form, line, f, t);
      at[f] = v * factor;
    }
    if (line.empty()) return {};
    const bool clash = uniform ? IsTaken(stretches, std::min(at[0], at[1]), std::max(at[0], at[1]))
                               : IsTaken(taken, at[0]);
    return clash ? std::string() : line;
  };
  const std::optional<double> p = NearestAccepted(
      target, step, RoundToDecimalPlaces(x[0] - lo, places),
      RoundToDecimalPlaces(x[0] + (upper - hi), places), kSearchRadius,
      [&](double candidate) { return !lineFor(candidate).empty(); });
  return p ? lineFor(*p) : std::string();
}

std::string DragStatusText(const DragItem& item, const std::string& lineText) {
  const ItemDialogSpec* form = ItemDialogFor(item.section);
  if (!form) return {};
  const DialogField& field = form->fields[static_cast<size_t>(item.field)];
  const DialogValues values = SplitDialogLine(*form, lineText);
  std::string text = std::string(SectionById(item.section).stepName) + "\r\n " + field.key +
                     " " + values.fields[static_cast<size_t>(item.field)];
  const std::string unit = UnitLabel(item.units, kQuantityPosition);
  if (!unit.empty()) text += " " + unit;
  return text + "\r\n";
}

}  // namespace spanlab
