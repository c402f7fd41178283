// Dashes are drawn as separate strokes because the device contexts know solid pens only; the
// pattern restarts at each line's left end, so a printed page and the screen look alike.
#include "view/design_drawing.h"

#include <algorithm>
#include <cmath>

#include "model/number_text.h"

namespace spanlab {

namespace {

// A limit's value in the unit the diagram is labelled in, with that unit.
std::string ValueLabel(const ModelItems& items, BeamQuantity quantity, double value) {
  const std::string unit = items.GetUnitLabel(RecordOf(quantity).unit);
  const std::string text = FormatGeneral(value * LabelScale(quantity, items.m_nUnits), 6);
  return unit.empty() ? text : text + " " + unit;
}

}  // namespace

std::vector<LimitLine> DesignLimitLines(const ModelItems& items, const DesignResults& design,
                                        BeamQuantity quantity, double length) {
  std::vector<LimitLine> lines;
  if (quantity == BeamQuantity::kDeflection) {
    for (const SpanCheck& check : design.checks) {
      if (check.kind != DesignCheckKind::kDeflection) continue;
      if (check.span < 0 || static_cast<size_t>(check.span) >= design.spans.size()) continue;
      const LiveLoadSpan& span = design.spans[static_cast<size_t>(check.span)];
      const std::string label = "L/" + FormatGeneral(check.divisor, 6);
      lines.push_back({span.start, span.end, check.limit, label});
      lines.push_back({span.start, span.end, -check.limit, label});
    }
    return lines;
  }
  if (items.m_capacities.empty()) return lines;
  const CCapacityItem& c = items.m_capacities.front();
  if (quantity == BeamQuantity::kMoment) {
    if (c.m_nGiven & 1) lines.push_back({0, length, c.m_dMoment, ValueLabel(items, quantity, c.m_dMoment)});
    const bool negGiven = c.m_nGiven & 4;
    if (negGiven || (c.m_nGiven & 1)) {
      const double neg = negGiven ? c.m_dMomentNeg : c.m_dMoment;
      lines.push_back({0, length, -neg, ValueLabel(items, quantity, -neg)});
    }
  } else if (quantity == BeamQuantity::kShear && (c.m_nGiven & 2)) {
    lines.push_back({0, length, c.m_dShear, ValueLabel(items, quantity, c.m_dShear)});
    lines.push_back({0, length, -c.m_dShear, ValueLabel(items, quantity, -c.m_dShear)});
  }
  return lines;
}

double ScaleWithLimits(double scale, const std::vector<LimitLine>& lines) {
  double result = scale;
  for (const LimitLine& line : lines) {
    const double v = std::fabs(line.value);
    if (std::isfinite(v) && v <= 3 * scale) result = std::max(result, v);
  }
  return result;
}

void DrawLimitLines(DeviceContext& dc, const DrawingFrame& f, double length, double height,
                    double scale, const std::vector<LimitLine>& lines, Rgb color,
                    int labelFlag) {
  if (lines.empty() || !(length > 0) || !(scale > 0)) return;
  PenScope pen(dc, Pen{f.penUnit, color});
  const double xs = (f.right - f.left) / length;
  const int dash = 8 * f.penUnit, gap = 5 * f.penUnit;
  for (size_t i = 0; i < lines.size(); ++i) {
    const LimitLine& line = lines[i];
    if (!(std::fabs(line.value) <= scale * (1 + 1e-12))) continue;
    const int y = DeviceCoordinate(f.baseline - height / scale * line.value, f.baseline);
    const int x0 = f.left + DeviceCoordinate(xs * line.start, 0);
    const int x1 = f.left + DeviceCoordinate(xs * line.end, 0);
    for (int x = x0; x < x1; x += dash + gap) {
      dc.MoveTo(x, y);
      dc.LineTo(std::min(x + dash, x1), y);
    }
    // The label once, at the last line of a run of equal labels and signs.
    const bool last = i + 2 >= lines.size() || lines[i + 2].label != line.label;
    if (labelFlag != 1 || !last) continue;
    const unsigned previous =
        dc.SetTextAlign(kAlignRight | (line.value >= 0 ? kAlignBottom : kAlignTop));
    const Rgb previousColor = dc.SetTextColor(color);
    dc.TextOut(x1, line.value >= 0 ? y - 1 : y + 1, line.label);
    dc.SetTextColor(previousColor);
    dc.SetTextAlign(previous);
  }
}

void DrawFailedSpans(DeviceContext& dc, const DrawingFrame& f, double length,
                     const DesignResults& design, int below) {
  if (!(length > 0) || design.spans.empty()) return;
  const double xs = (f.right - f.left) / length;
  const int y = f.baseline + static_cast<int>(static_cast<float>(below) * f.sy);
  for (size_t s = 0; s < design.spans.size(); ++s) {
    std::string kinds;
    for (const SpanCheck& check : design.checks) {
      if (static_cast<size_t>(check.span) != s || !check.exceeded) continue;
      const char* kind = check.kind == DesignCheckKind::kDeflection ? "deflection"
                         : check.kind == DesignCheckKind::kShear    ? "shear"
                                                                    : "moment";
      if (kinds.find(kind) != std::string::npos) continue;
      kinds += kinds.empty() ? kind : std::string(", ") + kind;
    }
    if (kinds.empty()) continue;
    // Short of the span's ends, so that the bars of neighbouring spans stay apart.
    const int x0 = f.left + DeviceCoordinate(xs * design.spans[s].start, 0) + 4 * f.penUnit;
    const int x1 = f.left + DeviceCoordinate(xs * design.spans[s].end, 0) - 4 * f.penUnit;
    {
      PenScope pen(dc, Pen{3 * f.penUnit, kRed});
      dc.MoveTo(x0, y);
      dc.LineTo(x1, y);
    }
    const unsigned previous = dc.SetTextAlign(kAlignCenter | kAlignTop);
    const Rgb previousColor = dc.SetTextColor(kRed);
    dc.TextOut((x0 + x1) / 2, y + 2 * f.penUnit, "exceeds: " + kinds);
    dc.SetTextColor(previousColor);
    dc.SetTextAlign(previous);
  }
}

std::string CombinationNote(const DesignResults* design, int32_t combination) {
  if (!design || combination < 0 ||
      static_cast<size_t>(combination) >= design->combinations.size()) {
    return {};
  }
  return " (" + design->combinations[static_cast<size_t>(combination)].name + ")";
}

}  // namespace spanlab
