#include "view/item_drag.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "edit/item_dialog_rules.h"
#include "model/number_text.h"
#include "model/sections.h"

namespace spanlab {

namespace {

constexpr double kNoLimit = std::numeric_limits<double>::infinity();

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
    best_ = DragItem{section, row, field, position, 0, 0};
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
double OthersReach(const CSPLX_30Doc& doc, int section, size_t row, int field) {
  double reach = -kNoLimit;
  auto raise = [&](int s, size_t r, int f, double x) {
    if (s == section && r == row && (field < 0 || f == field)) return;
    reach = std::max(reach, x);
  };
  const auto& properties = doc.GetProperties();
  for (size_t i = 0; i < properties.size(); ++i) {
    raise(kSectionProperties, i, 0, properties[i].m_dX);
  }
  const auto& releases = doc.GetReleases();
  for (size_t i = 0; i < releases.size(); ++i) raise(kSectionReleases, i, 0, releases[i].m_dX);
  const auto& supports = doc.GetSupports();
  for (size_t i = 0; i < supports.size(); ++i) raise(kSectionSupports, i, 0, supports[i].m_dX);
  const auto& springs = doc.GetSprings();
  for (size_t i = 0; i < springs.size(); ++i) raise(kSectionSprings, i, 0, springs[i].m_dX);
  const auto& points = doc.GetPointLoads();
  for (size_t i = 0; i < points.size(); ++i) raise(kSectionPointLoads, i, 0, points[i].m_dX);
  const auto& uniform = doc.GetUniformLoads();
  for (size_t i = 0; i < uniform.size(); ++i) {
    raise(kSectionUniformLoads, i, 0, uniform[i].m_dXStart);
    raise(kSectionUniformLoads, i, 1, uniform[i].m_dXEnd);
  }
  return reach;
}

// The upper limit of a moved item, display units: the beam's length, unless the item alone
// reaches it (then moving it changes the length).
double UpperLimit(const CSPLX_30Doc& doc, int section, size_t row, int field) {
  const double length = doc.GetBeamLength();
  if (OthersReach(doc, section, row, field) < length) return kNoLimit;
  return length / doc.GetFactors()[kFactorLength];
}

// `position` as a field's number text that does not exceed `upper`: the text of a dialog's
// computed number has six significant digits, which may round a position up past the limit.
std::string PositionText(double position, double upper) {
  std::string text = FieldNumberText(position);
  if (ConvertNumber(text) <= upper || !(upper > 0)) return text;
  const double lastDigit = std::pow(10.0, std::floor(std::log10(upper)) - 5);
  return FieldNumberText(std::floor(upper / lastDigit) * lastDigit);
}

}  // namespace

std::optional<DragItem> PickItem(const CSPLX_30Doc& doc, const DrawingFrame& frame, int x, int y) {
  if (!(frame.length > 0) || !(doc.GetBeamLength() > 0)) return std::nullopt;
  Picker pick(frame, x, y);
  // In drawing order, so that at equal distance the symbol on top wins.
  const auto& releases = doc.GetReleases();
  for (size_t i = 0; i < releases.size(); ++i) {
    pick.Try(releases[i].m_dX, {5, -5, 5}, kSectionReleases, i, 0);
  }
  const auto& supports = doc.GetSupports();
  for (size_t i = 0; i < supports.size(); ++i) {
    if (supports[i].m_bDisp || supports[i].m_bRotation) {
      pick.Try(supports[i].m_dX, {10, -12, 22}, kSectionSupports, i, 0);
    }
  }
  const auto& springs = doc.GetSprings();
  for (size_t i = 0; i < springs.size(); ++i) {
    if (springs[i].m_dVSpring != 0 || springs[i].m_dRSpring != 0) {
      pick.Try(springs[i].m_dX, {9, -7, 22}, kSectionSprings, i, 0);
    }
  }
  const auto& points = doc.GetPointLoads();
  for (size_t i = 0; i < points.size(); ++i) {
    const CPointLoadItem& p = points[i];
    if (p.m_dMoment != 0) pick.Try(p.m_dX, {15, -33, 16}, kSectionPointLoads, i, 0);
    else if (p.m_dPLoad != 0) pick.Try(p.m_dX, {4, -33, 0}, kSectionPointLoads, i, 0);
  }
  const auto& uniform = doc.GetUniformLoads();
  for (size_t i = 0; i < uniform.size(); ++i) {
    pick.Try(uniform[i].m_dXStart, UniformEndBox(uniform[i].m_dUStart), kSectionUniformLoads, i, 0);
    pick.Try(uniform[i].m_dXEnd, UniformEndBox(uniform[i].m_dUEnd), kSectionUniformLoads, i, 1);
  }
  std::optional<DragItem> item = pick.Best();
  if (!item) return std::nullopt;
  const double factor = doc.GetFactors()[kFactorLength];
  item->start /= factor;
  item->lower = 0;
  item->upper = UpperLimit(doc, item->section, item->row, item->field);
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

double DragPosition(const DragItem& item, const DrawingFrame& frame, double lengthFactor,
                    int mouseX, double step) {
  const double pixels = frame.right - frame.left;
  double position = (mouseX - frame.left) / pixels * frame.length / lengthFactor;
  if (step > 0) position = std::round(position / step) * step;
  return std::clamp(position, item.lower, item.upper);
}

std::string MovedLineText(const DragItem& item, const std::string& text, double position) {
  const ItemDialogSpec* form = ItemDialogFor(item.section);
  if (!form) return {};
  return LineWithFieldValue(*form, text, item.field, PositionText(position, item.upper));
}

std::string NudgedLineText(const CSPLX_30Doc& doc, const DrawingFrame& frame, int section,
                           size_t row, const std::string& text, int direction) {
  const ItemDialogSpec* form = ItemDialogFor(section);
  if (!form || section == kSectionProperties || !(doc.GetBeamLength() > 0)) return {};
  const double factor = doc.GetFactors()[kFactorLength];
  const double step = SnapStep(frame, factor);
  const DialogValues values = SplitDialogLine(*form, text);
  const bool uniform = section == kSectionUniformLoads;
  const int moved = uniform ? 2 : 1;  // position fields: X, or XStart and XEnd
  double lo = kNoLimit, hi = -kNoLimit;
  for (int f = 0; f < moved; ++f) {
    if (!IsValidNumber(values.fields[static_cast<size_t>(f)])) return {};
    const double x = ConvertNumber(values.fields[static_cast<size_t>(f)]);
    lo = std::min(lo, x);
    hi = std::max(hi, x);
  }
  if (!(step > 0)) return {};
  // The next multiple of the step that way; the tolerance keeps a position already on a
  // multiple (up to rounding) from counting as between two.
  const double x0 = ConvertNumber(values.fields[0]);
  const double k =
      direction > 0 ? std::floor(x0 / step + 1e-9) + 1 : std::ceil(x0 / step - 1e-9) - 1;
  double delta = k * step - x0;
  const double upper = UpperLimit(doc, section, row, uniform ? -1 : 0);
  delta = std::min(std::max(delta, -lo), upper - hi);
  if (direction > 0 ? !(delta > 0) : !(delta < 0)) return {};
  std::string line = text;
  for (int f = 0; f < moved && !line.empty(); ++f) {
    const double x = ConvertNumber(values.fields[static_cast<size_t>(f)]) + delta;
    line = LineWithFieldValue(*form, line, f, PositionText(x, upper));
  }
  return line;
}

std::string DragStatusText(const CSPLX_30Doc& doc, const DragItem& item,
                           const std::string& lineText) {
  const ItemDialogSpec* form = ItemDialogFor(item.section);
  if (!form) return {};
  const DialogField& field = form->fields[static_cast<size_t>(item.field)];
  const DialogValues values = SplitDialogLine(*form, lineText);
  std::string text = std::string(SectionById(item.section).stepName) + "\r\n " + field.key +
                     " " + values.fields[static_cast<size_t>(item.field)];
  const std::string unit = doc.GetUnitLabel(kQuantityPosition);
  if (!unit.empty()) text += " " + unit;
  return text + "\r\n";
}

}  // namespace spanlab
