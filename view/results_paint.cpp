#include "view/results_paint.h"

#include <algorithm>

#include "model/line_fields.h"
#include "model/line_text.h"
#include "model/sections.h"
#include "view/design_drawing.h"
#include "view/diagrams.h"

namespace spanlab {

namespace {
constexpr double kCurveHeight = 50.0;  // device units of the largest value of every curve
constexpr Rgb kMarkerPurple{128, 0, 128};
constexpr Rgb kReadoutGrey{160, 160, 160};
}  // namespace

namespace {

// The toggle of a quantity's curve in `t`, const or not.
template <class Toggles>
auto& CurveOf(Toggles& t, BeamQuantity quantity) {
  switch (quantity) {
    case BeamQuantity::kShear: return t.shear;
    case BeamQuantity::kMoment: return t.moment;
    case BeamQuantity::kRotation: return t.rotation;
    case BeamQuantity::kDeflection: break;
  }
  return t.deflection;
}

}  // namespace

bool& ViewToggles::Curve(BeamQuantity quantity) { return CurveOf(*this, quantity); }
bool ViewToggles::Curve(BeamQuantity quantity) const { return CurveOf(*this, quantity); }

bool ViewToggles::AnyCurveAfter(std::optional<BeamQuantity> quantity) const {
  const int first = quantity ? DrawingIndex(*quantity) + 1 : 0;
  for (int q = first; q < kBeamQuantityCount; ++q) {
    if (Curve(kBeamQuantities[static_cast<size_t>(q)])) return true;
  }
  return false;
}

void ApplyToggle(ViewToggles& t, ViewToggle toggle) {
  switch (toggle) {
    case ViewToggle::kReactions:
      t.reactions = !t.reactions;
      if (t.reactions) t.shear = t.moment = t.rotation = t.deflection = false;
      return;
    case ViewToggle::kPosition:
      t.position = !t.position;
      return;
    case ViewToggle::kSingleAnalysis:
      t.singleAnalysis = !t.singleAnalysis;
      return;
    default:
      break;
  }
  for (const BeamQuantity q : kBeamQuantities) {
    if (toggle != ToggleOf(q)) continue;
    bool& curve = t.Curve(q);
    curve = !curve;
    if (curve) t.reactions = false;
  }
}

namespace {

// The section whose lines send `hint` when selected (11..16).
const SectionRecord& SectionOfHint(long hint) {
  int id = 0;
  while (id + 1 < kSectionCount && SectionById(id).selectionHint != hint) ++id;
  return SectionById(id);
}

}  // namespace

bool SelectionMarker::OnHint(long hint, const std::string& text,
                             const std::vector<std::string>& lines, const ModelItems& items) {
  if (hint == kHintNoItemLine) {
    if (m_nSelType == kHintNoItemLine) return false;
    m_nSelType = kHintNoItemLine;
    return true;
  }
  if (hint < kHintPropertyLine || hint > kHintUniformLoadLine) return false;
  // The line is read as BuildItems read it: in the units in force at it (the document's own
  // units for a text that is no line of the document).
  const SectionRecord& section = SectionOfHint(hint);
  const std::optional<size_t> line = FindSectionLine(lines, section, text);
  const UnitFactors factors = line ? FactorsForUnits(UnitsAtLine(lines, *line)) : items.m_factors;
  const ItemFieldValues v = ReadItemFields(section, SplitLineView(text).field, factors);
  m_dSelX = v.value[0];
  if (hint == kHintUniformLoadLine) m_dSelXEnd = v.value[1];
  m_nSelType = hint == 14 ? 13 : static_cast<int>(hint);  // springs are marked like supports
  return true;
}

long SelectionHintForLine(const std::string& line) {
  const SectionRecord* section = FindSection(SplitLineView(line).section);
  return section ? section->selectionHint : kHintNoItemLine;
}

void DrawSelectionMarker(DeviceContext& dc, const DrawingFrame& f, const SelectionMarker& s,
                         int border) {
  const int y = f.baseline;
  int x1 = 0, x2 = 0;
  switch (s.m_nSelType) {
    case 11:
    case 12:
    case 13:
    case 15:
      x1 = x2 = f.MapX(s.m_dSelX);
      break;
    case 16:
      x1 = f.MapX(std::min(s.m_dSelX, s.m_dSelXEnd));
      x2 = f.MapX(std::max(s.m_dSelX, s.m_dSelXEnd));
      break;
    default:
      return;
  }
  for (int i = 0; i < std::max(1, border); ++i) {
    dc.FrameRect(x1 - 5 - i, y - 5 - i, x2 + 6 + i, y + 6 + i, kMarkerPurple);
  }
}

DrawingFrame ScreenFrame(int cxClient, int cyClient, double length) {
  DrawingFrame f;
  f.left = static_cast<int>(cxClient * 0.15);
  f.right = static_cast<int>(cxClient * 0.85);
  f.baseline = static_cast<int>(cyClient * 0.5);
  f.length = length;
  return f;
}

double BeamPositionAt(const ResultsViewState& state, double length, int x) {
  const DrawingFrame f = ScreenFrame(state.m_cxClient, state.m_cyClient, length);
  if (f.right <= f.left) return 0;
  return std::clamp(double(x - f.left) / (f.right - f.left), 0.0, 1.0) * length;
}

std::optional<InfluenceQuantity> InfluenceQuantityFor(const ViewToggles& t) {
  for (auto q = kBeamQuantities.rbegin(); q != kBeamQuantities.rend(); ++q) {
    if (t.Curve(*q)) return InfluenceOf(*q);
  }
  if (t.reactions) return InfluenceQuantity::kReactionVert;
  return std::nullopt;
}

bool StoppedAsMechanism(const CBeamAnalysis& a) {
  if (!a.m_bError) return false;
  return std::find(a.m_messages.begin(), a.m_messages.end(), CBeamAnalysis::kMessageA3) !=
         a.m_messages.end();
}

namespace {

// Whether the picture has anything of load combinations or design checks to show.
bool HasDesignDrawing(const ModelRun& run) {
  return run.design.HasCombinations() || !run.design.checks.empty() ||
         !run.items.m_capacities.empty();
}

// The second title line: which analysis the curves show (with reactions alone, theirs: the
// run's single analysis, the chosen combination's or the model's as written).
void NameShownAnalysis(DeviceContext& dc, const ModelRun& run, const ResultsViewState& state,
                       std::optional<BeamQuantity> titled) {
  if (dc.IsPrinting() || !run.design.HasCombinations()) return;
  const CombinationChoice& choice = state.combination;
  const bool single = state.toggles.singleAnalysis;
  std::string text;
  if (titled) text = DiagramSourceText(run.design, choice, single, *titled);
  else if (choice.combination >= 0 && !choice.envelope && !single)
    text = DiagramSourceText(run.design, choice, false, BeamQuantity::kShear);
  else text = "Single analysis";
  const unsigned previous = dc.SetTextAlign(kAlignLeft | kAlignTop);
  dc.TextOut(5, 5 + dc.GetTextExtent("A").cy, text);
  dc.SetTextAlign(previous);
}

}  // namespace

bool ShowsEnvelope(const LiveLoadEnvelope& envelope, const ViewToggles& toggles) {
  return !toggles.singleAnalysis && !envelope.empty();
}

void PaintResultsView(DeviceContext& dc, const ModelRun& run, ResultsViewState& state) {
  if (!dc.IsPrinting()) state.m_nPenUnit = 1;
  if (!(run.items.m_dBeamLength > 0)) return;
  const Font previousFont = dc.SelectFont(state.m_font);
  DrawingFrame frame = ScreenFrame(state.m_cxClient, state.m_cyClient, run.items.m_dBeamLength);
  frame.penUnit = state.m_nPenUnit;
  const ModelItems& items = run.items;
  DrawBeamPicture(dc, frame, items);
  const CBeamAnalysis& a = run.analysis;
  if (StoppedAsMechanism(a)) {
    const unsigned previousAlign = dc.SetTextAlign(kAlignLeft | kAlignTop);
    dc.TextOut(5, 5, kMechanismNotice);
    dc.SetTextAlign(previousAlign);
    if (state.toggles.position) DrawSelectionMarker(dc, frame, state.selection, state.markerBorder);
  } else if (a.m_dLength > 0) {
    const ViewToggles& t = state.toggles;
    if (!state.influence.points.empty()) {
      DrawInfluenceLine(dc, frame, items, a, state.influence, state.influenceOf, kCurveHeight);
      if (t.position) DrawSelectionMarker(dc, frame, state.selection, state.markerBorder);
      dc.SelectFont(previousFont);
      return;
    }
    // The label flag goes to the shown curve of highest priority: the last one drawn.
    if (t.reactions) DrawReactions(dc, frame, items, a, !t.AnyCurveAfter(std::nullopt));
    const LiveLoadEnvelope& e = run.envelope;
    const bool envelope = ShowsEnvelope(e, t);
    const DesignResults* design = HasDesignDrawing(run) ? &run.design : nullptr;
    std::optional<BeamQuantity> titled;
    for (const BeamQuantity q : kBeamQuantities) {
      if (!t.Curve(q)) continue;
      const int labelFlag = !t.AnyCurveAfter(q);
      if (labelFlag) titled = q;
      if (envelope) DrawEnvelope(dc, frame, items, a, e, q, kCurveHeight, labelFlag, design);
      else DrawDiagram(dc, frame, items, a, q, kCurveHeight, labelFlag, design);
    }
    if (design) {
      // Below the curves' reach (kCurveHeight) and their extremes' labels, as far as the view
      // leaves room for the bar and its text.
      const int room = state.m_cyClient - frame.baseline - dc.GetTextExtent("A").cy - 6;
      DrawFailedSpans(dc, frame, a.m_dLength, *design, std::clamp(room, 8, 100));
      if (titled || t.reactions) NameShownAnalysis(dc, run, state, titled);
    }
    if (t.position) DrawSelectionMarker(dc, frame, state.selection, state.markerBorder);
    if (state.readoutX >= 0) {
      PenScope pen(dc, Pen{1, kReadoutGrey});
      dc.MoveTo(state.readoutX, 0);
      dc.LineTo(state.readoutX, state.m_cyClient);
    }
  }
  dc.SelectFont(previousFont);
}

}  // namespace spanlab
