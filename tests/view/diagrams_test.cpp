#include "view/diagrams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "model/number_text.h"
#include "platform/recording_device_context.h"
#include "run/run_driver.h"
#include "view/readout.h"
#include "view/results_paint.h"

namespace spanlab {
namespace {

struct Seg {
  int x1, y1, x2, y2;
  auto operator<=>(const Seg&) const = default;
};
void PrintTo(const Seg& s, std::ostream* os) {
  *os << "(" << s.x1 << "," << s.y1 << ")->(" << s.x2 << "," << s.y2 << ")";
}

std::vector<Seg> Strokes(const std::vector<RecordedStroke>& strokes, size_t from = 0,
                         size_t count = SIZE_MAX) {
  std::vector<Seg> v;
  for (size_t i = from; i < strokes.size() && i - from < count; ++i) {
    v.push_back({strokes[i].x1, strokes[i].y1, strokes[i].x2, strokes[i].y2});
  }
  return v;
}

Seg Box(const RecordedEllipse& e) { return {e.left, e.top, e.right, e.bottom}; }

// A hand-made results record of a beam of length 10, drawn from x = 100 to 300 on the
// baseline y = 300: 20 device units per length unit.
class DiagramTest : public testing::Test {
 protected:
  DiagramTest() {
    frame.left = 100;
    frame.right = 300;
    frame.baseline = 300;
    frame.length = 10;
    a.m_dLength = 10;
    SetNodes({{0}, {2.5}, {5}, {7.5}, {10}});
  }
  void SetNodes(const std::vector<BeamNode>& nodes) {
    a.m_nodes = {BeamNode{}};
    a.m_nodes.insert(a.m_nodes.end(), nodes.begin(), nodes.end());
    a.m_nNodes = static_cast<int32_t>(nodes.size());
  }
  void SetElements(const std::vector<BeamElement>& elements) {
    a.m_elements = {BeamElement{}};
    a.m_elements.insert(a.m_elements.end(), elements.begin(), elements.end());
    a.m_nElements = static_cast<int32_t>(elements.size());
  }
  // Two elements with a jump of the values at x = 5 (a concentrated moment) and non-zero
  // values at both ends, plotted with scale 10: +start at an element's left end, -end at its
  // right end.
  void SetJumpingElements() {
    BeamElement e1, e2;
    e1.xEnd = 5;
    e1.momentStart = e1.shearStart = -6;
    e1.momentEnd = e1.shearEnd = -10;
    e2.xEnd = 10;
    e2.momentStart = e2.shearStart = 4;
    e2.momentEnd = e2.shearEnd = 8;
    SetElements({e1, e2});
  }

  ModelItems items;
  CBeamAnalysis a;
  DrawingFrame frame;
  RecordingDeviceContext dc;
};

TEST_F(DiagramTest, NodeCurvesThroughEveryNode) {
  SetNodes({{0, 0, 0}, {2.5, -0.01, 0.001}, {5, -0.02, 0.004}, {7.5, -0.01, -0.0013}, {10}});
  a.m_dMaxAbsDeflection = 0.02;
  DrawDiagram(dc, frame, items, a, BeamQuantity::kDeflection, 50, 0);
  EXPECT_EQ(
      Strokes(dc.strokes),
      (std::vector<Seg>{
          {100, 300, 150, 325}, {150, 325, 200, 350}, {200, 350, 250, 325}, {250, 325, 300, 300}}));
  for (const RecordedStroke& s : dc.strokes) EXPECT_EQ(s.pen, (Pen{1, kDeflectionColor}));
  EXPECT_TRUE(dc.texts.empty());
  EXPECT_TRUE(dc.ellipses.empty());

  // Positive values above the beam; y = trunc(300 - 12500 v): 287.5 -> 287, 316.25 -> 316.
  RecordingDeviceContext rotation;
  a.m_dMaxAbsRotation = 0.004;
  DrawDiagram(rotation, frame, items, a, BeamQuantity::kRotation, 50, 0);
  EXPECT_EQ(
      Strokes(rotation.strokes),
      (std::vector<Seg>{
          {100, 300, 150, 287}, {150, 287, 200, 250}, {200, 250, 250, 316}, {250, 316, 300, 300}}));
  EXPECT_EQ(rotation.strokes[0].pen, (Pen{1, kRotationColor}));
}

TEST_F(DiagramTest, ElementCurvesClosedOnTheBeamLine) {
  SetJumpingElements();
  a.m_dMaxAbsMoment = a.m_dMaxAbsShear = 10;
  frame.penUnit = 2;
  const std::vector<Seg> figure = {{100, 300, 100, 330},
                                   {100, 330, 200, 250},
                                   {200, 250, 200, 280},
                                   {200, 280, 300, 340},
                                   {300, 340, 300, 300}};
  DrawDiagram(dc, frame, items, a, BeamQuantity::kMoment, 50, 0);
  EXPECT_EQ(Strokes(dc.strokes), figure);
  for (const RecordedStroke& s : dc.strokes) EXPECT_EQ(s.pen, (Pen{2, kMomentColor}));

  RecordingDeviceContext shear;
  DrawDiagram(shear, frame, items, a, BeamQuantity::kShear, 50, 0);
  EXPECT_EQ(Strokes(shear.strokes), figure);
  for (const RecordedStroke& s : shear.strokes) EXPECT_EQ(s.pen, (Pen{2, kShearColor}));
}

// Many nodes in one device column: the picture must cover the same span of the column and
// join the columns with the same strokes as a polyline through every node.
TEST_F(DiagramTest, CurveReducedPerColumnKeepsSpansAndJoins) {
  std::vector<BeamNode> nodes;
  for (int i = 0; i <= 2000; ++i) {
    const double v = ((i * 7919) % 101 - 50) * 0.001 * (i % 13 == 0 ? 3 : 1);
    nodes.push_back({i * 0.005, v});
  }
  SetNodes(nodes);
  a.m_dMaxAbsDeflection = 0.15;
  DrawDiagram(dc, frame, items, a, BeamQuantity::kDeflection, 50, 0);

  struct Picture {
    std::map<int, std::pair<int, int>> span;  // column -> lowest and highest y covered
    std::vector<Seg> joins;                   // strokes between columns
  };
  auto picture = [](const std::vector<Seg>& strokes) {
    Picture p;
    for (const Seg& s : strokes) {
      if (s.x1 != s.x2) {
        p.joins.push_back(s);
        continue;
      }
      auto [it, added] = p.span.try_emplace(s.x1, std::min(s.y1, s.y2), std::max(s.y1, s.y2));
      it->second = {std::min({it->second.first, s.y1, s.y2}),
                    std::max({it->second.second, s.y1, s.y2})};
    }
    return p;
  };
  std::vector<Seg> full;
  auto point = [&](const BeamNode& n) {
    return std::pair<int, int>{100 + static_cast<int>(20.0 * n.x),
                               static_cast<int>(300 - 50 / 0.15 * n.deflection)};
  };
  for (size_t i = 1; i < nodes.size(); ++i) {
    const auto [x1, y1] = point(nodes[i - 1]);
    const auto [x2, y2] = point(nodes[i]);
    full.push_back({x1, y1, x2, y2});
  }
  const Picture reduced = picture(Strokes(dc.strokes));
  const Picture expected = picture(full);
  EXPECT_EQ(reduced.span, expected.span);
  EXPECT_EQ(reduced.joins, expected.joins);
  EXPECT_LE(dc.strokes.size(), 4u * 201u);
}

TEST_F(DiagramTest, ScalesAtOrBelowTheirLimitsDrawNothing) {
  SetJumpingElements();
  a.m_dMaxAbsDeflection = a.m_dMaxAbsRotation = 0;
  a.m_dMaxAbsMoment = a.m_dMaxAbsShear = 1e-7;
  DrawDiagram(dc, frame, items, a, BeamQuantity::kDeflection, 50, 1);
  DrawDiagram(dc, frame, items, a, BeamQuantity::kRotation, 50, 1);
  DrawDiagram(dc, frame, items, a, BeamQuantity::kMoment, 50, 1);
  DrawDiagram(dc, frame, items, a, BeamQuantity::kShear, 50, 1);
  EXPECT_TRUE(dc.strokes.empty());
  EXPECT_TRUE(dc.texts.empty());
  EXPECT_TRUE(dc.ellipses.empty());

  a.m_dMaxAbsMoment = 1.0001e-7;
  for (BeamElement& e : a.m_elements) {
    e.momentStart *= 1e-8;
    e.momentEnd *= 1e-8;
  }
  DrawDiagram(dc, frame, items, a, BeamQuantity::kMoment, 50, 0);
  EXPECT_EQ(dc.strokes.size(), 5u);
}

TEST_F(DiagramTest, MetricDeflectionLabelInMillimetresOnTheCurveInMetres) {
  items.m_nUnits = kUnitsMetric;
  a.m_dMaxAbsDeflection = 0.02;
  a.m_dMinDeflection = -12.345678;  // mm
  a.m_dXMinDeflection = 5;
  a.m_dMaxDeflection = -0.5;  // below 0: no label
  DrawDiagram(dc, frame, items, a, BeamQuantity::kDeflection, 50, 1);
  ASSERT_EQ(dc.texts.size(), 2u);
  EXPECT_EQ(dc.texts[0].text, "Deflection - mm");
  EXPECT_EQ(dc.texts[0].x, 5);
  EXPECT_EQ(dc.texts[0].y, 5);
  // y = trunc(300 + 2500 * 0.012345678) = 330; "-12.345678" is 80 wide and does not fit
  // before x = 300, so it goes left and below.
  ASSERT_EQ(dc.ellipses.size(), 1u);
  EXPECT_EQ(Box(dc.ellipses[0]), (Seg{196, 326, 204, 334}));
  EXPECT_EQ(dc.ellipses[0].pen, (Pen{1, kDeflectionColor}));
  EXPECT_EQ(dc.texts[1].text, "-12.345678");
  EXPECT_EQ(dc.texts[1].x, 98);
  EXPECT_EQ(dc.texts[1].y, 342);
}

TEST_F(DiagramTest, EnglishMomentLabelsInKipFeet) {
  items.m_nUnits = kUnitsEnglish;
  SetJumpingElements();
  a.m_dMaxAbsMoment = 2400;  // kip in
  a.m_dMinMoment = -1200;
  a.m_dXMinMoment = 2.5;
  a.m_dMaxMoment = 600;
  a.m_dXMaxMoment = 7.5;
  DrawDiagram(dc, frame, items, a, BeamQuantity::kMoment, 50, 1);
  ASSERT_EQ(dc.texts.size(), 3u);
  EXPECT_EQ(dc.texts[0].text, "Moment - kip ft");
  ASSERT_EQ(dc.ellipses.size(), 2u);
  // Minimum at (150, 325), right and below; maximum at (250, 287), left and above.
  EXPECT_EQ(Box(dc.ellipses[0]), (Seg{146, 321, 154, 329}));
  EXPECT_EQ(dc.texts[1].text, "-100.000000");
  EXPECT_EQ(dc.texts[1].x, 172);
  EXPECT_EQ(dc.texts[1].y, 337);
  EXPECT_EQ(Box(dc.ellipses[1]), (Seg{246, 283, 254, 291}));
  EXPECT_EQ(dc.texts[2].text, "50.000000");
  EXPECT_EQ(dc.texts[2].x, 151);
  EXPECT_EQ(dc.texts[2].y, 254);
}

TEST_F(DiagramTest, TitlesOnScreenOnly) {
  a.m_dMaxAbsShear = 10;
  SetJumpingElements();
  dc.SetTextAlign(kAlignCenter | kAlignBottom);
  DrawDiagram(dc, frame, items, a, BeamQuantity::kShear, 50, 1);
  ASSERT_FALSE(dc.texts.empty());
  EXPECT_EQ(dc.texts[0].text, "Shear - Consistent");
  EXPECT_EQ(dc.texts[0].align, kAlignLeft | kAlignTop);
  EXPECT_EQ(dc.CurrentAlign(), kAlignCenter | kAlignBottom);

  RecordingDeviceContext printer(true);
  DrawDiagram(printer, frame, items, a, BeamQuantity::kShear, 50, 1);
  for (const RecordedText& t : printer.texts) EXPECT_NE(t.text, "Shear - Consistent");
  EXPECT_EQ(printer.texts.size(), dc.texts.size() - 1);
}

TEST(ExtremeLabelTest, SideAndLeaderByFitAndSign) {
  struct Case {
    double value;
    int rightLimit, charHeight;
    std::vector<Seg> leader;
    int textX, textY;
  } cases[] = {
      // "1.500000": 64 wide; right when 200 + 64 + 22 < limit.
      {1.5, 287, 16, {{202, 298, 220, 275}, {220, 275, 225, 275}}, 227, 267},
      {1.5, 286, 16, {{198, 298, 180, 275}, {180, 275, 175, 275}}, 109, 267},
      {-2.25, 1000, 16, {{202, 302, 215, 320}, {215, 320, 220, 320}}, 222, 312},
      {-2.25, 294, 16, {{198, 302, 185, 320}, {185, 320, 180, 320}}, 106, 312},
      {0, 1000, 15, {{202, 298, 220, 275}, {220, 275, 225, 275}}, 227, 268},  // h / 2 = 7
      {-1, 1000, 15, {{202, 302, 215, 320}, {215, 320, 220, 320}}, 222, 313},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " limit " << c.rightLimit);
    RecordingDeviceContext dc(false, 8, c.charHeight);
    DrawExtremeLabel(dc, c.value, 200, 300, c.rightLimit);
    ASSERT_EQ(dc.ellipses.size(), 1u);
    EXPECT_EQ(Box(dc.ellipses[0]), (Seg{196, 296, 204, 304}));
    EXPECT_EQ(Strokes(dc.strokes), c.leader);
    ASSERT_EQ(dc.texts.size(), 1u);
    EXPECT_EQ(dc.texts[0].x, c.textX);
    EXPECT_EQ(dc.texts[0].y, c.textY);
  }
}

TEST_F(DiagramTest, ReactionArrowsArcsAndValues) {
  items.m_nUnits = kUnitsEnglish;  // moments in kip in, shown in kip ft
  SetNodes({{0, 0, 0, 12.5, -30}, {5}, {10, 0, 0, -0.5, 2.4e7}});
  dc.SetTextAlign(kAlignRight | kAlignBaseline);
  DrawReactions(dc, frame, items, a, 1);
  ASSERT_EQ(dc.strokes.size(), 4u + 50u + 4u + 50u);
  for (const RecordedStroke& s : dc.strokes) EXPECT_EQ(s.pen, (Pen{1, kBlack}));
  // Upward reaction at x = 100: shaft from 40 to 25 below the beam.
  EXPECT_EQ(
      Strokes(dc.strokes, 0, 4),
      (std::vector<Seg>{
          {100, 340, 100, 325}, {100, 325, 96, 329}, {100, 325, 104, 329}, {99, 327, 102, 327}}));
  // Arcs of radius 25 around (x, 280), run over the top; heads exact from the arc's end.
  auto expectArc = [&](size_t from, Seg ends, int headX) {
    EXPECT_NEAR(dc.strokes[from].x1, ends.x1, 1);
    EXPECT_NEAR(dc.strokes[from].y1, ends.y1, 1);
    const int ex = dc.strokes[from + 47].x2, ey = dc.strokes[from + 47].y2;
    EXPECT_NEAR(ex, ends.x2, 1);
    EXPECT_NEAR(ey, ends.y2, 1);
    EXPECT_EQ(Strokes(dc.strokes, from + 48, 2),
              (std::vector<Seg>{{ex, ey, ex + headX, ey}, {ex, ey, ex, ey - 8}}));
  };
  expectArc(4, {117, 263, 82, 264}, 8);
  EXPECT_EQ(
      Strokes(dc.strokes, 54, 4),
      (std::vector<Seg>{
          {300, 325, 300, 340}, {300, 340, 296, 336}, {300, 340, 304, 336}, {299, 338, 302, 338}}));
  expectArc(58, {283, 263, 318, 264}, -8);

  ASSERT_EQ(dc.texts.size(), 5u);
  EXPECT_EQ(dc.texts[0].text, "Reactions - kips, kip ft");
  struct Text {
    int x, y;
    std::string text;
    unsigned align;
  } expected[] = {{99, 344, "12.500", kAlignCenter | kAlignTop},
                  {99, 250, "2.500", kAlignCenter | kAlignBottom},
                  {299, 344, "0.500000", kAlignCenter | kAlignTop},
                  {299, 250, "2000000", kAlignCenter | kAlignBottom}};
  for (int i = 0; i < 4; ++i) {
    const RecordedText& t = dc.texts[i + 1];
    EXPECT_EQ(t.x, expected[i].x);
    EXPECT_EQ(t.y, expected[i].y);
    EXPECT_EQ(t.text, expected[i].text);
    EXPECT_EQ(t.align, expected[i].align);
  }
  EXPECT_EQ(dc.CurrentAlign(), kAlignRight | kAlignBaseline);

  // Label flag 0: the same symbols, no texts. Printing: values but no title.
  RecordingDeviceContext bare, printer(true);
  DrawReactions(bare, frame, items, a, 0);
  EXPECT_EQ(bare.strokes, dc.strokes);
  EXPECT_TRUE(bare.texts.empty());
  DrawReactions(printer, frame, items, a, 1);
  ASSERT_EQ(printer.texts.size(), 4u);
  EXPECT_EQ(printer.texts[0].text, "12.500");
}

TEST_F(DiagramTest, ReactionsInOneColumnDrawnOnceWithTheLastValue) {
  SetNodes({{0, 0, 0, -3, 0}, {0.01, 0, 0, -4, 0}, {10}});
  DrawReactions(dc, frame, items, a, 1);
  EXPECT_EQ(dc.strokes.size(), 4u);
  ASSERT_EQ(dc.texts.size(), 2u);
  EXPECT_EQ(dc.texts[0].text, "Reactions - Consistent");
  EXPECT_EQ(dc.texts[1].text, "4.000");
}

// The reaction symbols scale with the frame like the beam symbols, arrow heads included:
// on the printed page sx is far above 1.
TEST_F(DiagramTest, ScaledReactionArcKeepsItsHeadInProportion) {
  SetNodes({{0, 0, 0, 0, -30}, {10}});
  frame.sx = frame.sy = 2.5f;
  DrawReactions(dc, frame, items, a, 0);
  ASSERT_EQ(dc.strokes.size(), 50u);
  const int ex = dc.strokes[47].x2, ey = dc.strokes[47].y2;
  EXPECT_NEAR(ex, 53, 1);
  EXPECT_NEAR(ey, 209, 1);
  EXPECT_EQ(Strokes(dc.strokes, 48, 2),
            (std::vector<Seg>{{ex, ey, ex + 20, ey}, {ex, ey, ex, ey - 20}}));
}

// ---- The paint's choice of diagrams ----

const std::vector<std::string> kTwoSpans = {
    "File Format:3.0",
    "Units: English;",
    "Member Property: X = 0; E = 29000; I = 448;",
    "Support: X = 0; Disp = 0; Rotation = 0;",
    "Support: X = 30; Disp = 0;",
    "Uniform Load: XStart = 0; XEnd = 42; UStart = -1.2; UEnd = -1.2;",
};

ResultsViewState Screen(ViewToggles toggles) {
  ResultsViewState state;
  state.m_cxClient = 1000;
  state.m_cyClient = 600;
  state.toggles = toggles;
  return state;
}

TEST(PaintDiagramsTest, HighestShownCurveCarriesTitleAndLabels) {
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, kTwoSpans);
  ASSERT_TRUE(RunModel(doc).analysed);
  struct Case {
    ViewToggles toggles;
    std::string title;
    Rgb labelColor;
  } cases[] = {
      {{false, true, true, true, true}, "Deflection - inches", kDeflectionColor},
      {{false, false, true, false, true}, "Deflection - inches", kDeflectionColor},
      {{false, true, true, true, false}, "Rotation - radians", kRotationColor},
      {{false, true, true, false, false}, "Moment - kip ft", kMomentColor},
      {{false, true, false, false, false}, "Shear - kips", kShearColor},
      {{true, false, false, false, false}, "Reactions - kips, kip ft", kBlack},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    ResultsViewState state = Screen(c.toggles);
    RecordingDeviceContext dc;
    PaintResultsView(dc, doc, state);
    ASSERT_FALSE(dc.texts.empty());
    EXPECT_EQ(dc.texts[0].text, c.title);
    int titles = 0;
    for (const RecordedText& t : dc.texts) titles += t.x == 5 && t.y == 5;
    EXPECT_EQ(titles, 1);
    for (const RecordedEllipse& e : dc.ellipses) EXPECT_EQ(e.pen.color, c.labelColor);
    // Every curve shown is drawn.
    const ViewToggles& t = c.toggles;
    auto drawn = [&](Pen pen) {
      return std::any_of(dc.strokes.begin(), dc.strokes.end(),
                         [&](const RecordedStroke& s) { return s.pen == pen; });
    };
    EXPECT_EQ(drawn({1, kDeflectionColor}), t.deflection);
    EXPECT_EQ(drawn({1, kMomentColor}), t.moment);
    EXPECT_EQ(drawn({1, kShearColor}), t.shear);
  }
}

TEST(PaintDiagramsTest, LiveLoadShowsTheEnvelopeUntilTheSingleAnalysisIsAsked) {
  CSPLX_30Doc plain, live;
  plain.SetLines(nullptr, kTwoSpans);
  std::vector<std::string> lines = kTwoSpans;
  lines.push_back("Live Load: U = -0.8; LiveFactor = 1.6;");
  live.SetLines(nullptr, lines);
  ASSERT_TRUE(RunModel(plain).analysed);
  ASSERT_TRUE(RunModel(live).analysed);
  const LiveLoadEnvelope& env = live.GetEnvelope();
  ASSERT_FALSE(env.empty());

  ResultsViewState state = Screen({false, false, true, false, false});
  RecordingDeviceContext envelope;
  PaintResultsView(envelope, live, state);
  ASSERT_EQ(envelope.texts.size(), 3u);
  EXPECT_EQ(envelope.texts[0].text, "Moment Envelope - kip ft");
  // The envelope's extremes, in kip ft: the smallest first.
  EXPECT_EQ(envelope.texts[1].text,
            FormatFixed(env.extremes[kEnvelopeMinMoment].value * 0.08333333333333333, 6));
  EXPECT_EQ(envelope.texts[2].text,
            FormatFixed(env.extremes[kEnvelopeMaxMoment].value * 0.08333333333333333, 6));
  // Two closed figures, max and min, where the single analysis draws one.
  RecordingDeviceContext single;
  PaintResultsView(single, plain, state);
  auto moves = [](const RecordingDeviceContext& dc) {
    size_t n = 0;
    for (size_t i = 1; i < dc.strokes.size(); ++i) {
      n += dc.strokes[i].pen == Pen{1, kMomentColor} &&
           (dc.strokes[i].x1 != dc.strokes[i - 1].x2 || dc.strokes[i].y1 != dc.strokes[i - 1].y2);
    }
    return n;
  };
  EXPECT_EQ(moves(envelope), moves(single) + 1);

  ApplyToggle(state.toggles, ViewToggle::kSingleAnalysis);
  RecordingDeviceContext asWritten;
  PaintResultsView(asWritten, live, state);
  EXPECT_EQ(asWritten.strokes, single.strokes);
  ASSERT_EQ(asWritten.texts.size(), single.texts.size());
  for (size_t i = 0; i < single.texts.size(); ++i)
    EXPECT_EQ(asWritten.texts[i].text, single.texts[i].text);
}

TEST(PaintDiagramsTest, InfluenceLineReplacesTheDiagramsUntilCleared) {
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, kTwoSpans);
  ASSERT_TRUE(RunModel(doc).analysed);
  ViewToggles toggles{false, true, true, false, false};
  EXPECT_EQ(InfluenceQuantityFor(toggles), InfluenceQuantity::kMoment);  // moment over shear
  EXPECT_EQ(InfluenceQuantityFor({true}), InfluenceQuantity::kReactionVert);
  EXPECT_EQ(InfluenceQuantityFor({}), std::nullopt);
  ResultsViewState state = Screen(toggles);
  // The beam runs from client x 150 to 850 over 42 ft = 504 in.
  EXPECT_EQ(BeamPositionAt(state, 504, 150), 0);
  EXPECT_EQ(BeamPositionAt(state, 504, 500), 252);
  EXPECT_EQ(BeamPositionAt(state, 504, 990), 504);

  state.influence = ComputeInfluenceLine(doc.GetAnalysis(), doc.GetSprings(),
                                         InfluenceQuantity::kMoment, 360);
  state.influenceOf = InfluenceQuantity::kMoment;
  RecordingDeviceContext dc, beam;
  PaintResultsView(dc, doc, state);
  ResultsViewState bare = Screen({});
  PaintResultsView(beam, doc, bare);
  ASSERT_EQ(dc.texts.size(), 3u);
  EXPECT_EQ(dc.texts[0].text, "Influence Line - Moment at 30 feet - kip ft");
  // The beam picture, then the influence line alone in black: no diagram.
  ASSERT_GT(dc.strokes.size(), beam.strokes.size());
  for (size_t i = 0; i < dc.strokes.size(); ++i) {
    if (i < beam.strokes.size()) EXPECT_EQ(dc.strokes[i], beam.strokes[i]) << i;
    else EXPECT_EQ(dc.strokes[i].pen.color, kBlack) << i;
  }
  state.influence = InfluenceLine{};
  RecordingDeviceContext diagrams;
  PaintResultsView(diagrams, doc, state);
  EXPECT_EQ(diagrams.texts[0].text, "Moment - kip ft");
}

TEST(PaintDiagramsTest, UnloadedBeamShowsNoCurves) {
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, {"File Format:3.0", "Member Property: X = 0; E = 29000; I = 448;",
                 "Support: X = 0; Disp = 0;", "Support: X = 30; Disp = 0;"});
  ASSERT_TRUE(RunModel(doc).analysed);
  ResultsViewState none = Screen({});
  ResultsViewState all = Screen({false, true, true, true, true});
  RecordingDeviceContext picture, curves;
  PaintResultsView(picture, doc, none);
  PaintResultsView(curves, doc, all);
  EXPECT_EQ(curves.strokes, picture.strokes);
  EXPECT_TRUE(curves.texts.empty());
}

TEST(ViewToggleTest, ReactionsAreShownAlone) {
  ViewToggles t;
  for (ViewToggle c : {ViewToggle::kShear, ViewToggle::kMoment, ViewToggle::kDeflection}) {
    ApplyToggle(t, c);
  }
  ApplyToggle(t, ViewToggle::kPosition);
  EXPECT_TRUE(t.shear && t.moment && t.deflection && t.position && !t.rotation);
  ApplyToggle(t, ViewToggle::kReactions);
  EXPECT_TRUE(t.reactions && t.position);
  EXPECT_FALSE(t.shear || t.moment || t.rotation || t.deflection);
  ApplyToggle(t, ViewToggle::kShear);
  EXPECT_TRUE(t.shear);
  EXPECT_FALSE(t.reactions);
  ApplyToggle(t, ViewToggle::kShear);  // off again: nothing else changes
  EXPECT_FALSE(t.shear || t.reactions);
  ApplyToggle(t, ViewToggle::kReactions);
  ApplyToggle(t, ViewToggle::kReactions);
  EXPECT_FALSE(t.reactions || t.shear || t.moment || t.rotation || t.deflection);
  ApplyToggle(t, ViewToggle::kPosition);
  EXPECT_FALSE(t.position);
}

TEST(SelectionMarkerTest, HintsSetAndClearTheMarker) {
  ModelItems items;
  items.m_factors = FactorsForUnits(kUnitsEnglish);
  SelectionMarker m;
  std::string line = "Spring: X = 40; VSpring = 25;";
  EXPECT_TRUE(m.OnHint(14, line, {}, items));
  EXPECT_EQ(m.m_nSelType, 13);
  EXPECT_EQ(m.m_dSelX, 480);  // feet to inches
  for (long other : {0L, 1L, 2L, 9L, 17L}) {
    EXPECT_FALSE(m.OnHint(other, line, {}, items));
    EXPECT_EQ(m.m_nSelType, 13);
  }
  items.m_factors = FactorsForUnits(kUnitsConsistent);
  line = "Uniform Load: XStart = 10; XEnd = 4; UStart = -1; UEnd = -1;";
  EXPECT_TRUE(m.OnHint(16, line, {}, items));
  EXPECT_EQ(m.m_nSelType, 16);
  EXPECT_EQ(m.m_dSelX, 10);
  EXPECT_EQ(m.m_dSelXEnd, 4);
  EXPECT_TRUE(m.OnHint(10, line, {}, items));
  EXPECT_EQ(m.m_nSelType, 10);
  EXPECT_FALSE(m.OnHint(10, line, {}, items));  // already clear: no repaint

  EXPECT_EQ(SelectionHintForLine("Spring: X = 40; VSpring = 25;"), 14);
  EXPECT_EQ(SelectionHintForLine("Uniform Load: XStart = 0;"), 16);
  EXPECT_EQ(SelectionHintForLine("Units: English;"), 10);
}

// A line is marked where its item stands: in the units in force at the line, which a second
// Units line changes for the lines after it only.
TEST(SelectionMarkerTest, MarksALineInTheUnitsInForceAtIt) {
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, {"File Format:3.0", "Units:Metric;",
                         "Member Property: X = 0; E = 200000; I = 10000;",
                         "Support: X = 0; Disp = 0;", "Support: X = 6; Disp = 0;",
                         "Uniform Load: XStart = 1; XEnd = 2.5; UStart = -1; UEnd = -1;",
                         "Units:English;", "Support: X = 30; Disp = 0;"});
  RunModel(doc);
  ASSERT_EQ(doc.GetSupports().size(), 3u);
  SelectionMarker m;
  doc.SetMessage(" X = 6; Disp = 0;");  // the tree's text of the line: 6 m
  ASSERT_TRUE(m.OnHint(13, doc.GetMessage(), doc.GetLines(), doc.GetItems()));
  EXPECT_EQ(m.m_dSelX, 6);
  EXPECT_EQ(m.m_dSelX, doc.GetSupports()[1].m_dX);
  doc.SetMessage(" XStart = 1; XEnd = 2.5; UStart = -1; UEnd = -1;");
  ASSERT_TRUE(m.OnHint(16, doc.GetMessage(), doc.GetLines(), doc.GetItems()));
  EXPECT_EQ(m.m_dSelX, 1);
  EXPECT_EQ(m.m_dSelXEnd, 2.5);
  doc.SetMessage("Support: X = 30; Disp = 0;");  // the whole line, as --select gives it: 30 ft
  ASSERT_TRUE(m.OnHint(13, doc.GetMessage(), doc.GetLines(), doc.GetItems()));
  EXPECT_EQ(m.m_dSelX, 360);
}

TEST(SelectionMarkerTest, PurpleFrameAroundPointOrStretch) {
  const DrawingFrame f = ScreenFrame(1000, 600, 20);
  const Rgb purple{128, 0, 128};
  struct Case {
    SelectionMarker marker;
    std::vector<Seg> frames;
  } cases[] = {
      {{15, 5, 0}, {{320, 295, 331, 306}}},
      {{13, 20, 0}, {{845, 295, 856, 306}}},
      {{16, 10, 4}, {{285, 295, 506, 306}}},  // from 4 to 10
      {{10, 5, 0}, {}},
  };
  for (const Case& c : cases) {
    RecordingDeviceContext dc;
    DrawSelectionMarker(dc, f, c.marker);
    std::vector<Seg> frames;
    for (const RecordedFrame& r : dc.frames) {
      frames.push_back({r.left, r.top, r.right, r.bottom});
      EXPECT_EQ(r.color, purple);
    }
    EXPECT_EQ(frames, c.frames);
  }
}

// The window draws the marker with a border of three: the specified frame and two around it,
// in the same purple, so that it stands out among the curves.
TEST(SelectionMarkerTest, WiderBorderAddsFramesAroundTheSpecifiedOne) {
  const DrawingFrame f = ScreenFrame(1000, 600, 20);
  RecordingDeviceContext dc;
  DrawSelectionMarker(dc, f, {16, 10, 4}, 3);
  std::vector<Seg> frames;
  for (const RecordedFrame& r : dc.frames) {
    frames.push_back({r.left, r.top, r.right, r.bottom});
    EXPECT_EQ(r.color, (Rgb{128, 0, 128}));
  }
  const std::vector<Seg> expected = {
      {285, 295, 506, 306}, {284, 294, 507, 307}, {283, 293, 508, 308}};
  EXPECT_EQ(frames, expected);
}

// The node the mouse reads is marked by a thin grey line across the view; none is drawn for a
// view that reads nothing.
TEST(PaintResultsViewTest, ReadoutLineAcrossTheViewAtTheNodeRead) {
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, kTwoSpans);
  RunModel(doc);
  ResultsViewState state = Screen({});
  RecordingDeviceContext none;
  PaintResultsView(none, doc, state);
  // The beam's ends are nodes: the cursor on an end reads it. Between nodes the cursor reads
  // the node to its right, a few pixels on at most (nodes lie 2.52 in = 3.5 px apart).
  EXPECT_EQ(ReadoutMarkX(doc, state, 150), 150);
  EXPECT_EQ(ReadoutMarkX(doc, state, 850), 850);
  state.readoutX = ReadoutMarkX(doc, state, 500);
  EXPECT_GE(state.readoutX, 500);
  EXPECT_LE(state.readoutX, 504);
  EXPECT_EQ(ReadoutMarkX(doc, state, 149), -1);
  EXPECT_EQ(ReadoutMarkX(doc, state, 851), -1);
  RecordingDeviceContext marked;
  PaintResultsView(marked, doc, state);
  ASSERT_EQ(marked.strokes.size(), none.strokes.size() + 1);
  const RecordedStroke& line = marked.strokes.back();
  EXPECT_EQ(line.x1, state.readoutX);
  EXPECT_EQ(line.x2, state.readoutX);
  EXPECT_EQ(line.y1, 0);
  EXPECT_EQ(line.y2, 600);
  EXPECT_EQ(line.pen.width, 1);
}

TEST(SelectionMarkerTest, PaintDrawsTheMarkerOnlyWhenSwitchedOn) {
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, kTwoSpans);
  RunModel(doc);
  ResultsViewState state = Screen({});
  state.selection = {13, 360, 0};  // 30 ft
  RecordingDeviceContext off;
  PaintResultsView(off, doc, state);
  EXPECT_TRUE(off.frames.empty());
  state.toggles.position = true;
  RecordingDeviceContext on;
  PaintResultsView(on, doc, state);
  ASSERT_EQ(on.frames.size(), 1u);
  EXPECT_EQ(on.frames[0].left, 150 + 500 - 5);  // 30 of 42 ft
}

}  // namespace
}  // namespace spanlab

namespace spanlab {
namespace {

// From 200 equal spans on every span is one element: its moment is still a parabola, drawn
// through the columns it covers, with the extreme labelled at its true position.
TEST(ExactCurveTest, OneElementSpanIsCurvedAndLabelledAtItsPeak) {
  std::vector<std::string> lines = {"File Format:3.0", "Units:Consistent;",
                                    "Member Property: X = 0; E = 29000; I = 300;"};
  for (int i = 0; i <= 250; ++i) lines.push_back("Support: X = " + std::to_string(10 * i) + "; Disp = 0;");
  lines.push_back("Uniform Load: XStart = 0; XEnd = 2500; UStart = -1; UEnd = -1;");
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, lines);
  ASSERT_TRUE(RunModel(doc).analysed);
  const CBeamAnalysis& a = doc.GetAnalysis();
  ASSERT_EQ(a.m_nElements, 250);
  DrawingFrame frame;
  frame.left = 0;
  frame.right = 25000;  // 100 device units per span
  frame.baseline = 300;
  frame.length = a.m_dLength;
  RecordingDeviceContext dc;
  DrawDiagram(dc, frame, doc.GetItems(), a, BeamQuantity::kMoment, 50, 0);
  // The first span runs from M = 0 to the support moment -10.57: its chord stays below the beam
  // line (y >= 300), the parabola rises to 7.78 (y = trunc(300 - 50 * 7.775 / 10.566) = 263).
  int highest = 300, strokesInSpan = 0;
  for (const RecordedStroke& s : dc.strokes) {
    if (s.x1 > 0 && s.x2 < 100) {
      highest = std::min(highest, s.y2);
      ++strokesInSpan;
    }
  }
  EXPECT_EQ(highest, 263);
  EXPECT_GT(strokesInSpan, 20);
  // The maximum's label circle at x = 3.943 (column 39) and the peak's height.
  RecordingDeviceContext labelled;
  DrawDiagram(labelled, frame, doc.GetItems(), a, BeamQuantity::kMoment, 50, 1);
  ASSERT_EQ(labelled.ellipses.size(), 2u);
  const RecordedEllipse& maxLabel = labelled.ellipses[1];
  EXPECT_EQ((maxLabel.left + maxLabel.right) / 2, 39);
  EXPECT_EQ((maxLabel.top + maxLabel.bottom) / 2, 263);

  // A picture narrower than the beam's element count stays a few strokes per column.
  frame.right = 400;
  RecordingDeviceContext narrow;
  DrawDiagram(narrow, frame, doc.GetItems(), a, BeamQuantity::kDeflection, 50, 0);
  EXPECT_LE(narrow.strokes.size(), 4u * 401);
  int lowest = 0;
  for (const RecordedStroke& s : narrow.strokes) lowest = std::max(lowest, s.y2);
  EXPECT_GE(lowest, 349);  // the deflection's true extreme reaches the full height
}

}  // namespace
}  // namespace spanlab
