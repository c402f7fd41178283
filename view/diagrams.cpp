#include "view/diagrams.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "analysis/element_values.h"
#include "model/number_text.h"
#include "report/number_field.h"
#include "view/design_drawing.h"

namespace spanlab {

namespace {

// A polyline whose x never decreases, drawn with the points of each device column reduced to
// the first, the lowest, the highest and the last: the segments inside one column cover the
// span between its lowest and highest point either way, so the picture is the same. Within a
// column the extreme farther from the last point is visited first, so a column of two points
// stays one stroke.
class ColumnPolyline {
 public:
  explicit ColumnPolyline(DeviceContext& dc) : dc_(dc) {}
  ~ColumnPolyline() { Flush(); }

  void Add(int x, int y) {
    if (count_ > 0 && x == x_) {
      min_ = std::min(min_, y);
      max_ = std::max(max_, y);
      last_ = y;
      ++count_;
      return;
    }
    Flush();
    x_ = x;
    first_ = min_ = max_ = last_ = y;
    count_ = 1;
  }
  // Whether the current column is x and already spans [yLow, yHigh].
  bool Spans(int x, int yLow, int yHigh) const {
    return count_ > 0 && x == x_ && yLow >= min_ && yHigh <= max_;
  }

 private:
  void Emit(int y) {
    if (!started_) {
      dc_.MoveTo(x_, y);
      started_ = true;
      emitted_ = y;
    } else if (y != emitted_ || !inColumn_) {
      dc_.LineTo(x_, y);
      emitted_ = y;
    }
    inColumn_ = true;
  }
  void Flush() {
    if (count_ == 0) return;
    inColumn_ = false;
    Emit(first_);
    if (count_ > 1) {
      const bool lastNearMin = last_ - min_ <= max_ - last_;
      Emit(lastNearMin ? max_ : min_);
      Emit(lastNearMin ? min_ : max_);
      Emit(last_);
    }
    count_ = 0;
  }

  DeviceContext& dc_;
  bool started_ = false;
  bool inColumn_ = false;  // a point of the current column has been emitted
  int emitted_ = 0;        // y of the last point emitted
  int count_ = 0;
  int x_ = 0, first_ = 0, min_ = 0, max_ = 0, last_ = 0;
};

struct CurveScale {
  double xs, ys;
  int left, baseline;
  int X(double p) const { return left + DeviceCoordinate(xs * p, 0); }
  int Y(double v) const { return DeviceCoordinate(baseline - ys * v, baseline); }
};

CurveScale ScaleOf(const DrawingFrame& f, const CBeamAnalysis& a, double height, double scale) {
  return CurveScale{(f.right - f.left) / a.m_dLength, height / scale, f.left, f.baseline};
}

void Title(DeviceContext& dc, const std::string& title) {
  if (dc.IsPrinting()) return;
  const unsigned previous = dc.SetTextAlign(kAlignLeft | kAlignTop);
  dc.TextOut(5, 5, title);
  dc.SetTextAlign(previous);
}

// Title and extreme labels of one curve. `valueToCurve` turns a labelled value into the value
// the curve plots (mm to m for metric deflections, 1 otherwise); `valueToLabel` turns it into
// the text's value (kip in to kip ft for English moments).
// `minNote` and `maxNote` follow the values (the governing combinations).
void Labels(DeviceContext& dc, const DrawingFrame& f, const CurveScale& c, const std::string& title,
            double minV, double xMin, double maxV, double xMax, double valueToCurve,
            double valueToLabel, const std::string& minNote = {},
            const std::string& maxNote = {}) {
  Title(dc, title);
  if (minV <= 0) {
    DrawExtremeLabel(dc, minV * valueToLabel, c.X(xMin), c.Y(minV * valueToCurve), f.right,
                     minNote);
  }
  if (maxV >= 0) {
    DrawExtremeLabel(dc, maxV * valueToLabel, c.X(xMax), c.Y(maxV * valueToCurve), f.right,
                     maxNote);
  }
}

// A curve through the node values.
template <class Value>
void NodeCurve(DeviceContext& dc, const CBeamAnalysis& a, const CurveScale& c, Value value) {
  ColumnPolyline line(dc);
  for (int32_t i = 1; i <= a.m_nNodes; ++i) {
    line.Add(c.X(a.m_nodes[i].x), c.Y(value(a.m_nodes[i])));
  }
}

// A closed figure through the element end values: start at the left end of the beam line, then
// +start and -end of every element, back to the beam line at the right end.
template <class Start, class End>
void ElementCurve(DeviceContext& dc, const DrawingFrame& f, const CBeamAnalysis& a,
                  const CurveScale& c, Start start, End end) {
  if (a.m_nElements < 1) return;
  ColumnPolyline line(dc);
  line.Add(f.left, f.baseline);
  line.Add(f.left, c.Y(start(a.m_elements[1])));
  line.Add(c.X(a.m_elements[1].xEnd), c.Y(-end(a.m_elements[1])));
  for (int32_t i = 2; i <= a.m_nElements; ++i) {
    line.Add(c.X(a.m_elements[i - 1].xEnd), c.Y(start(a.m_elements[i])));
    line.Add(c.X(a.m_elements[i].xEnd), c.Y(-end(a.m_elements[i])));
  }
  line.Add(c.X(a.m_elements[a.m_nElements].xEnd), f.baseline);
}

// The exact curve of one quantity (element_values.h), for a complete run: each element from
// its left end through one point per device column it crosses and its interior stationary
// points (so peaks sit where they are) to its right end. An element within one column adds
// its stationary points only when its bounds reach beyond what the column already spans, so a
// dense mesh costs a few operations per element. With `closed`, the figure starts and ends on
// the beam line.
void ExactCurve(DeviceContext& dc, const DrawingFrame& f, const CBeamAnalysis& a,
                const CurveScale& c, BeamQuantity quantity, bool closed) {
  if (a.m_nElements < 1) return;
  ColumnPolyline line(dc);
  if (closed) line.Add(f.left, f.baseline);
  // Steps per stationary point: its value is insensitive to its position, so 2^-24 of the
  // element is far below a device unit.
  constexpr int kSteps = 24;
  double stationary[4];
  for (int32_t e = 1; e <= a.m_nElements; ++e) {
    const ElementSolution element(a, e);
    const double x0 = element.XStart(), l = element.Length();
    const int c0 = c.X(x0), c1 = c.X(x0 + l);
    line.Add(c0, c.Y(element.Value(quantity, 0)));
    if (c1 == c0) {
      double low, high;
      element.Bounds(quantity, low, high);
      if (!line.Spans(c0, c.Y(high), c.Y(low))) {
        const int n = element.StationaryPoints(quantity, stationary, kSteps);
        for (int i = 0; i < n; ++i) line.Add(c0, c.Y(element.Value(quantity, stationary[i])));
      }
    } else {
      const int n = element.StationaryPoints(quantity, stationary, kSteps);
      int next = 0;
      // Column k's middle lies at beam position (k - left + 0.5) / xs.
      for (int k = std::min(c0, c1) + 1; k < std::max(c0, c1); ++k) {
        const double s = (k - c.left + 0.5) / c.xs - x0;
        if (!(s > 0 && s < l)) continue;
        for (; next < n && stationary[next] <= s; ++next)
          line.Add(c.X(x0 + stationary[next]), c.Y(element.Value(quantity, stationary[next])));
        line.Add(k, c.Y(element.Value(quantity, s)));
      }
      for (; next < n; ++next)
        line.Add(c.X(x0 + stationary[next]), c.Y(element.Value(quantity, stationary[next])));
    }
    line.Add(c1, c.Y(element.Value(quantity, l)));
  }
  if (closed) line.Add(c.X(a.m_elements[a.m_nElements].xEnd), f.baseline);
}

bool HasResults(const CBeamAnalysis& a) { return a.m_dLength > 0 && a.m_nNodes > 0; }

}  // namespace

std::string DiagramTitle(const char* name, const std::string& unit) {
  return std::string(name) + " - " + (unit.empty() ? "Consistent" : unit);
}

Rgb DiagramColor(BeamQuantity quantity) {
  static constexpr Rgb kColors[kBeamQuantityCount] = {kDeflectionColor, kRotationColor,
                                                      kShearColor, kMomentColor};
  return kColors[static_cast<size_t>(quantity)];
}

void DrawDiagram(DeviceContext& dc, const DrawingFrame& f, const ModelItems& items,
                 const CBeamAnalysis& a, BeamQuantity quantity, double height, int labelFlag,
                 const DesignResults* design) {
  const BeamQuantityRecord& r = RecordOf(quantity);
  if (!HasResults(a) || !IsDrawnScale(quantity, a.*r.maxAbs)) return;
  PenScope pen(dc, Pen{f.penUnit, DiagramColor(quantity)});
  const CBeamAnalysis::TableLock lock(a);
  const std::vector<LimitLine> limits =
      design ? DesignLimitLines(items, *design, quantity, a.m_dLength) : std::vector<LimitLine>();
  const double scale = ScaleWithLimits(a.*r.maxAbs, limits);
  const CurveScale c = ScaleOf(f, a, height, scale);
  DrawLimitLines(dc, f, a.m_dLength, height, scale, limits, DiagramColor(quantity), labelFlag);
  if (labelFlag == 1) {
    // Labels in the title's unit: English moments are kip in internally and labelled in kip ft;
    // Metric deflection extremes are in mm already, the curve in metres.
    const double toLabel = LabelScale(quantity, items.m_nUnits);
    const bool inLabelUnits = ExtremesInLabelUnits(quantity);
    Labels(dc, f, c, DiagramTitle(r.name, items.GetUnitLabel(r.unit)), a.*r.min, a.*r.xMin,
           a.*r.max, a.*r.xMax, inLabelUnits ? 1.0 / toLabel : 1.0, inLabelUnits ? 1.0 : toLabel);
  }
  if (a.CanSolveLoadCases()) {
    ExactCurve(dc, f, a, c, quantity, !r.atNodes);
    return;
  }
  if (r.atNodes) {
    NodeCurve(dc, a, c, [&r](const BeamNode& n) { return n.*r.nodeValue; });
  } else {
    ElementCurve(dc, f, a, c, [&r](const BeamElement& e) { return e.*r.startForce; },
                 [&r](const BeamElement& e) { return e.*r.endForce; });
  }
}

void DrawEnvelope(DeviceContext& dc, const DrawingFrame& f, const ModelItems& items,
                  const CBeamAnalysis& a, const LiveLoadEnvelope& env, BeamQuantity quantity,
                  double height, int labelFlag, const DesignResults* design) {
  if (!HasResults(a) || env.empty()) return;
  const BeamQuantityRecord& record = RecordOf(quantity);
  const bool atNodes = record.atNodes;
  // Diagram values of the max (side 0) and min (side 1) curves: at the nodes, or at each
  // element's two ends (the right end's maximum is minus the end force's minimum).
  auto nodeValue = [quantity](const EnvelopeNode& n, int side) {
    const EnvelopeRange& r = quantity == BeamQuantity::kRotation ? n.rotation : n.deflection;
    return side == 0 ? r.max : r.min;
  };
  auto ranges = [quantity](const EnvelopeElement& e) {
    return quantity == BeamQuantity::kShear ? std::pair{e.shearStart, e.shearEnd}
                                                : std::pair{e.momentStart, e.momentEnd};
  };
  auto startValue = [&](const EnvelopeElement& e, int side) {
    return side == 0 ? ranges(e).first.max : ranges(e).first.min;
  };
  auto endValue = [&](const EnvelopeElement& e, int side) {
    return side == 0 ? -ranges(e).second.min : -ranges(e).second.max;
  };
  // Inside the elements: the envelope's samples, samplesPerElement of them per element.
  auto sampleValue = [quantity](const EnvelopeSample& s, int side) {
    const EnvelopeRange& r = quantity == BeamQuantity::kShear      ? s.shear
                             : quantity == BeamQuantity::kMoment   ? s.moment
                             : quantity == BeamQuantity::kRotation ? s.rotation
                                                                   : s.deflection;
    return side == 0 ? r.max : r.min;
  };
  const size_t perElement = static_cast<size_t>(env.samplesPerElement);
  auto addSamples = [&](ColumnPolyline& line, const CurveScale& c, size_t e, int side) {
    for (size_t j = e * perElement; j < (e + 1) * perElement && j < env.samples.size(); ++j)
      line.Add(c.X(env.samples[j].x), c.Y(sampleValue(env.samples[j], side)));
  };
  double scale = 0;
  for (int side = 0; side < 2; ++side) {
    for (const EnvelopeSample& s : env.samples)
      scale = std::max(scale, std::fabs(sampleValue(s, side)));
    if (atNodes) {
      for (const EnvelopeNode& n : env.nodes) scale = std::max(scale, std::fabs(nodeValue(n, side)));
    } else {
      for (const EnvelopeElement& e : env.elements) {
        scale = std::max({scale, std::fabs(startValue(e, side)), std::fabs(endValue(e, side))});
      }
    }
  }
  if (!IsDrawnScale(quantity, scale)) return;

  PenScope pen(dc, Pen{f.penUnit, DiagramColor(quantity)});
  const CBeamAnalysis::TableLock lock(a);
  const std::vector<LimitLine> limits =
      design ? DesignLimitLines(items, *design, quantity, a.m_dLength) : std::vector<LimitLine>();
  scale = ScaleWithLimits(scale, limits);
  const CurveScale c = ScaleOf(f, a, height, scale);
  DrawLimitLines(dc, f, a.m_dLength, height, scale, limits, DiagramColor(quantity), labelFlag);
  if (labelFlag == 1) {
    // Labels in the units of the ordinary diagrams: kip ft for English moments, mm for Metric
    // deflections.
    const double toLabel = LabelScale(quantity, items.m_nUnits);
    const EnvelopeExtreme& low = env.extremes[static_cast<size_t>(record.envelopeMax + 1)];
    const EnvelopeExtreme& high = env.extremes[static_cast<size_t>(record.envelopeMax)];
    const std::string title = std::string(record.name) + " Envelope";
    Labels(dc, f, c, DiagramTitle(title.c_str(), items.GetUnitLabel(record.unit)), low.value, low.x,
           high.value, high.x, 1.0, toLabel, CombinationNote(design, low.combination),
           CombinationNote(design, high.combination));
  }
  for (int side = 0; side < 2; ++side) {
    ColumnPolyline line(dc);
    if (atNodes) {
      for (size_t i = 0; i < env.nodes.size(); ++i) {
        line.Add(c.X(env.nodes[i].x), c.Y(nodeValue(env.nodes[i], side)));
        addSamples(line, c, i, side);
      }
      continue;
    }
    line.Add(f.left, f.baseline);
    double xStart = 0;
    for (size_t i = 0; i < env.elements.size(); ++i) {
      const EnvelopeElement& e = env.elements[i];
      line.Add(c.X(xStart), c.Y(startValue(e, side)));
      addSamples(line, c, i, side);
      line.Add(c.X(e.xEnd), c.Y(endValue(e, side)));
      xStart = e.xEnd;
    }
    line.Add(c.X(xStart), f.baseline);
  }
}

void DrawInfluenceLine(DeviceContext& dc, const DrawingFrame& f, const ModelItems& items,
                       const CBeamAnalysis& a, const InfluenceLine& line,
                       InfluenceQuantity quantity, double height) {
  if (!HasResults(a) || line.points.empty()) return;
  const auto low = std::min_element(line.points.begin(), line.points.end(),
                                    [](const auto& p, const auto& q) { return p.value < q.value; });
  const auto high = std::max_element(line.points.begin(), line.points.end(),
                                     [](const auto& p, const auto& q) { return p.value < q.value; });
  const double scale = std::max(std::fabs(low->value), std::fabs(high->value));
  if (!(scale > 0)) return;
  // A reaction is labelled in the unit of the diagram of its kind: the shear's or the moment's.
  const std::optional<BeamQuantity> diagram = DiagramQuantityOf(quantity);
  const bool vertical = quantity == InfluenceQuantity::kReactionVert;
  const BeamQuantity unitOf =
      diagram ? *diagram : vertical ? BeamQuantity::kShear : BeamQuantity::kMoment;
  const char* name = diagram ? RecordOf(*diagram).name
                     : vertical ? "Vertical Reaction"
                                : "Rotational Reaction";
  const std::string unit = items.GetUnitLabel(RecordOf(unitOf).unit);
  const double toLabel = LabelScale(unitOf, items.m_nUnits);
  const double unitLength = items.m_factors[kFactorLength];
  const std::string where = items.GetUnitLabel(kQuantityPosition);
  PenScope pen(dc, Pen{f.penUnit, kBlack});
  const CurveScale c = ScaleOf(f, a, height, scale);
  Labels(dc, f, c,
         DiagramTitle((std::string("Influence Line - ") + name + " at " +
                       FormatGeneral(line.x / unitLength, 6) + (where.empty() ? "" : " " + where))
                          .c_str(),
                      unit),
         low->value, low->x, high->value, high->x, 1.0, toLabel);
  ColumnPolyline curve(dc);
  for (const InfluencePoint& p : line.points) curve.Add(c.X(p.x), c.Y(p.value));
}

void DrawExtremeLabel(DeviceContext& dc, double value, int x, int y, int rightLimit,
                      const std::string& note) {
  std::string text = FormatFixed(value, 6);
  if (text == "*") text = "error";
  text += note;
  const TextSize size = dc.GetTextExtent(text);
  const int w = size.cx;
  const int h = size.cy;
  const bool right = x + w + 22 < rightLimit;
  dc.Ellipse(x - 4, y - 4, x + 4, y + 4);
  const int side = right ? 1 : -1;
  if (value >= 0) {
    dc.MoveTo(x + 2 * side, y - 2);
    dc.LineTo(x + 20 * side, y - 25);
    dc.LineTo(x + 25 * side, y - 25);
    dc.TextOut(right ? x + 27 : x - w - 27, y - h / 2 - 25, text);
  } else {
    dc.MoveTo(x + 2 * side, y + 2);
    dc.LineTo(x + 15 * side, y + 20);
    dc.LineTo(x + 20 * side, y + 20);
    dc.TextOut(right ? x + 22 : x - w - 22, y - h / 2 + 20, text);
  }
}

namespace {

// The value text of a reaction: FormatNumber without its leading blanks.
std::string ReactionValue(double magnitude) {
  const std::string field = FormatNumber(magnitude);
  return field.substr(field.rfind(' ') == std::string::npos ? 0 : field.rfind(' ') + 1);
}

void WriteReactionValue(DeviceContext& dc, int x, int y, unsigned align,
                        const std::string& text) {
  if (text.empty()) return;
  const unsigned previous = dc.SetTextAlign(align);
  dc.TextOut(x, y, text);
  dc.SetTextAlign(previous);
}

void ReactionArrow(DeviceContext& dc, int x, int y, float sx, float sy, bool down,
                   const std::string& text) {
  auto X = [&](int k) { return x + static_cast<int>(static_cast<float>(k) * sx); };
  auto Y = [&](int k) { return y + static_cast<int>(static_cast<float>(k) * sy); };
  const int tail = down ? 25 : 40, tip = down ? 40 : 25, head = down ? 36 : 29,
            cross = down ? 38 : 27;
  dc.MoveTo(x, Y(tail));
  dc.LineTo(x, Y(tip));
  dc.MoveTo(x, Y(tip));
  dc.LineTo(X(-4), Y(head));
  dc.MoveTo(x, Y(tip));
  dc.LineTo(X(4), Y(head));
  dc.MoveTo(X(-1), Y(cross));
  dc.LineTo(X(2), Y(cross));
  WriteReactionValue(dc, x - static_cast<int>(sx), y + static_cast<int>(44 * sy),
                     kAlignCenter | kAlignTop, text);
}

void ReactionArc(DeviceContext& dc, int x, int y, float sx, float sy, bool negative,
                 const std::string& text) {
  const int cy = y - static_cast<int>(20 * sy);
  auto q = [&](int degrees) {
    const double a = degrees * kDegreesToRadians;
    return std::pair<int, int>{x + static_cast<int>(25 * sx * std::cos(a)),
                               cy - static_cast<int>(25 * sy * std::sin(a))};
  };
  const int from = negative ? 45 : 135, to = negative ? 139 : 41, step = negative ? 2 : -2;
  const auto [sx0, sy0] = q(from);
  dc.MoveTo(sx0, sy0);
  for (int a = from; negative ? a <= to : a >= to; a += step) {
    const auto [px, py] = q(a);
    dc.LineTo(px, py);
  }
  const auto [ex, ey] = q(to);
  const int head = static_cast<int>(8 * sx);
  dc.LineTo(ex + (negative ? head : -head), ey);
  dc.MoveTo(ex, ey);
  dc.LineTo(ex, ey - static_cast<int>(8 * sy));
  WriteReactionValue(dc, x - static_cast<int>(sx), y - static_cast<int>(50 * sy),
                     kAlignCenter | kAlignBottom, text);
}

}  // namespace

void DrawReactions(DeviceContext& dc, const DrawingFrame& f, const ModelItems& items,
                   const CBeamAnalysis& a, int labelFlag) {
  if (!HasResults(a)) return;
  PenScope pen(dc, Pen{f.penUnit, kBlack});
  const double divisor = items.m_nUnits == kUnitsEnglish ? 12.0 : 1.0;
  if (labelFlag == 1) {
    const std::string force = items.GetUnitLabel(kQuantityForce);
    Title(dc, force.empty() ? "Reactions - Consistent"
                            : "Reactions - " + force + ", " + items.GetUnitLabel(kQuantityMoment));
  }
  const CBeamAnalysis::TableLock lock(a);
  // Reactions that fall on one device column are drawn once per symbol kind, with the value
  // of the last of them (which the others would lie under).
  struct Pending {
    int x = std::numeric_limits<int>::min();
    double vert[2] = {0, 0};  // last negative and positive vertical reaction
    double rot[2] = {0, 0};   // last negative and positive moment reaction
  } column;
  auto flush = [&] {
    if (column.x == std::numeric_limits<int>::min()) return;
    auto text = [&](double v) { return labelFlag == 1 ? ReactionValue(v) : std::string(); };
    if (column.vert[0] != 0) ReactionArrow(dc, column.x, f.baseline, f.sx, f.sy, true, text(-column.vert[0]));
    if (column.vert[1] != 0) ReactionArrow(dc, column.x, f.baseline, f.sx, f.sy, false, text(column.vert[1]));
    if (column.rot[0] != 0) ReactionArc(dc, column.x, f.baseline, f.sx, f.sy, true, text(-column.rot[0] / divisor));
    if (column.rot[1] != 0) ReactionArc(dc, column.x, f.baseline, f.sx, f.sy, false, text(column.rot[1] / divisor));
  };
  for (int32_t i = 1; i <= a.m_nNodes; ++i) {
    const BeamNode& n = a.m_nodes[i];
    if (n.reactionVert == 0 && n.reactionRot == 0) continue;
    const int x = static_cast<int>(n.x / a.m_dLength * (f.right - f.left) + f.left);
    if (x != column.x) {
      flush();
      column = Pending{};
      column.x = x;
    }
    if (n.reactionVert != 0) column.vert[n.reactionVert > 0] = n.reactionVert;
    if (n.reactionRot != 0) column.rot[n.reactionRot > 0] = n.reactionRot;
  }
  flush();
}

}  // namespace spanlab
