#include "view/results_paint.h"

#include <algorithm>

#include "model/line_text.h"
#include "model/number_text.h"
#include "model/sections.h"
#include "view/diagrams.h"

namespace spanlab {

namespace {
constexpr double kCurveHeight = 50.0;  // device units of the largest value of every curve
constexpr Rgb kMarkerPurple{128, 0, 128};
constexpr Rgb kReadoutGrey{160, 160, 160};
}  // namespace

void ApplyToggle(ViewToggles& t, ViewToggle toggle) {
  bool* curve = nullptr;
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
    case ViewToggle::kShear:
      curve = &t.shear;
      break;
    case ViewToggle::kMoment:
      curve = &t.moment;
      break;
    case ViewToggle::kRotation:
      curve = &t.rotation;
      break;
    case ViewToggle::kDeflection:
      curve = &t.deflection;
      break;
  }
  *curve = !*curve;
  if (*curve) t.reactions = false;
}

bool SelectionMarker::OnHint(long hint, const std::string& line, const ModelItems& items) {
  if (hint == kHintNoItemLine) {
    if (m_nSelType == kHintNoItemLine) return false;
    m_nSelType = kHintNoItemLine;
    return true;
  }
  if (hint < kHintPropertyLine || hint > kHintUniformLoadLine) return false;
  const LineParts parts = SplitLine(line);
  const double factor = items.m_factors[kFactorLength];
  m_dSelX = ConvertNumber(SplitKeyValue(parts.field[0]).value) * factor;
  if (hint == kHintUniformLoadLine) {
    m_dSelXEnd = ConvertNumber(SplitKeyValue(parts.field[1]).value) * factor;
  }
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
  if (t.deflection) return InfluenceQuantity::kDeflection;
  if (t.rotation) return InfluenceQuantity::kRotation;
  if (t.moment) return InfluenceQuantity::kMoment;
  if (t.shear) return InfluenceQuantity::kShear;
  if (t.reactions) return InfluenceQuantity::kReactionVert;
  return std::nullopt;
}

bool StoppedAsMechanism(const CBeamAnalysis& a) {
  if (!a.m_bError) return false;
  return std::find(a.m_messages.begin(), a.m_messages.end(), CBeamAnalysis::kMessageA3) !=
         a.m_messages.end();
}

bool ShowsEnvelope(const LiveLoadEnvelope& envelope, const ViewToggles& toggles) {
  return !toggles.singleAnalysis && !envelope.empty();
}

void PaintResultsView(DeviceContext& dc, const CSPLX_30Doc& doc, ResultsViewState& state) {
  if (!dc.IsPrinting()) state.m_nPenUnit = 1;
  if (!(doc.GetBeamLength() > 0)) return;
  const Font previousFont = dc.SelectFont(state.m_font);
  DrawingFrame frame = ScreenFrame(state.m_cxClient, state.m_cyClient, doc.GetBeamLength());
  frame.penUnit = state.m_nPenUnit;
  const ModelItems& items = doc.GetItems();
  DrawBeamPicture(dc, frame, items);
  const CBeamAnalysis& a = doc.GetAnalysis();
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
    // The label flag goes to the shown curve of highest priority.
    if (t.reactions) {
      DrawReactions(dc, frame, items, a, !t.shear && !t.moment && !t.rotation && !t.deflection);
    }
    const LiveLoadEnvelope& e = doc.GetEnvelope();
    if (ShowsEnvelope(e, t)) {
      using Q = EnvelopeQuantity;
      if (t.shear)
        DrawEnvelope(dc, frame, items, a, e, Q::kShear, kCurveHeight,
                     !t.moment && !t.rotation && !t.deflection);
      if (t.moment)
        DrawEnvelope(dc, frame, items, a, e, Q::kMoment, kCurveHeight,
                     !t.rotation && !t.deflection);
      if (t.rotation)
        DrawEnvelope(dc, frame, items, a, e, Q::kRotation, kCurveHeight, !t.deflection);
      if (t.deflection) DrawEnvelope(dc, frame, items, a, e, Q::kDeflection, kCurveHeight, 1);
    } else {
      if (t.shear)
        DrawShear(dc, frame, items, a, kCurveHeight, !t.moment && !t.rotation && !t.deflection);
      if (t.moment) DrawMoment(dc, frame, items, a, kCurveHeight, !t.rotation && !t.deflection);
      if (t.rotation) DrawRotation(dc, frame, items, a, kCurveHeight, !t.deflection);
      if (t.deflection) DrawDeflection(dc, frame, items, a, kCurveHeight, 1);
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
