// What the diagrams add for load combinations and design checks, drawn on a recording device
// context: the capacity lines against a closed-form moment (w L^2 / 8), the deflection limits
// of hand-made checks, the spans that fail, the governing combination's name at the labelled
// extremes and in the read-out, and the selector's entries.
#include "view/design_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/recording_device_context.h"
#include "run/run_driver.h"
#include "view/combination_view.h"
#include "view/diagrams.h"
#include "view/readout.h"
#include "view/results_paint.h"

namespace spanlab {
namespace {

using Lines = std::vector<std::string>;

// A simple span of 20 ft under 1 kip/ft: the largest moment is w L^2 / 8 = 50 kip ft.
Lines SimpleSpan(const std::string& capacity) {
  Lines lines = {"File Format:3.0",
                 "Units:English;",
                 "Member Property: X = 0; E = 29000; I = 448;",
                 "Support: X = 0; Disp = 0;",
                 "Support: X = 20; Disp = 0;",
                 "Uniform Load: XStart = 0; XEnd = 20; UStart = -1; UEnd = -1;"};
  if (!capacity.empty()) lines.push_back(capacity);
  return lines;
}

DrawingFrame Frame() {
  DrawingFrame f;
  f.left = 100;
  f.right = 700;
  f.baseline = 300;
  f.length = 240;
  return f;
}

// The horizontal strokes at device y `y` in `color`.
std::vector<RecordedStroke> Horizontal(const RecordingDeviceContext& dc, int y, Rgb color) {
  std::vector<RecordedStroke> out;
  for (const RecordedStroke& s : dc.strokes) {
    if (s.y1 == y && s.y2 == y && s.x1 != s.x2 && s.pen.color == color) out.push_back(s);
  }
  return out;
}

bool HasText(const RecordingDeviceContext& dc, const std::string& text) {
  return std::any_of(dc.texts.begin(), dc.texts.end(),
                     [&](const RecordedText& t) { return t.text == text; });
}

TEST(DesignDrawingTest, CapacityLinesStandAtTheirValueOnTheMomentScale) {
  // Capacity 60 kip ft against 50 kip ft: the lines set the scale (60 -> 50 device units);
  // MomentNeg 40 stands at -40 / 60 * 50. Capacity 200 kip ft (over 3 x 50) is left out and
  // the curve keeps its own scale.
  struct Case {
    std::string line;
    int yPositive, yNegative;  // -1: no line there
    std::string labelPositive, labelNegative;
  };
  const Case cases[] = {
      {"Capacity: Moment = 60; MomentNeg = 40;", 250, 300 + 33, "60 kip ft", "-40 kip ft"},
      {"Capacity: Moment = 60;", 250, 350, "60 kip ft", "-60 kip ft"},
      {"Capacity: Moment = 200;", -1, -1, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const LinesRunResult run = RunSnapshot(SimpleSpan(c.line), ModelRunner::Mode::kChecked);
    ASSERT_EQ(run.log.errors, 0);
    const CBeamAnalysis& a = *run.analysis;
    EXPECT_NEAR(a.m_dMaxAbsMoment, 50 * 12, 1e-9 * 600);
    RecordingDeviceContext dc;
    DrawDiagram(dc, Frame(), run.items, a, BeamQuantity::kMoment, 50, 1, &run.design);
    if (c.yPositive < 0) {
      EXPECT_FALSE(HasText(dc, "200 kip ft"));
      // The curve's peak reaches the full height of 50 units: its label's circle is there.
      EXPECT_TRUE(std::any_of(dc.ellipses.begin(), dc.ellipses.end(), [](const auto& e) {
        return e.top + 4 == 250 || e.top + 4 == 350;
      }));
      continue;
    }
    // Dashes of 8 units with gaps of 5 from the left end to the right end.
    const std::vector<RecordedStroke> upper = Horizontal(dc, c.yPositive, kMomentColor);
    ASSERT_EQ(upper.size(), 47u);  // ceil(600 / 13)
    EXPECT_EQ(upper.front().x1, 100);
    EXPECT_EQ(upper.front().x2, 108);
    EXPECT_EQ(upper.back().x2, 700);
    EXPECT_EQ(Horizontal(dc, c.yNegative, kMomentColor).size(), 47u);
    EXPECT_TRUE(HasText(dc, c.labelPositive));
    EXPECT_TRUE(HasText(dc, c.labelNegative));
  }
}

TEST(DesignDrawingTest, DeflectionLimitsPerSpanAndFailedSpans) {
  DesignResults design;
  design.spans = {{0, 120}, {120, 240}};
  SpanCheck first;
  first.span = 0;
  first.kind = DesignCheckKind::kDeflection;
  first.limit = 120.0 / 360;
  first.divisor = 360;
  SpanCheck second = first;
  second.span = 1;
  second.exceeded = true;
  SpanCheck shear;
  shear.span = 1;
  shear.kind = DesignCheckKind::kShear;
  shear.limit = 90;
  shear.exceeded = true;
  design.checks = {first, second, shear};
  ModelItems items;
  const std::vector<LimitLine> lines =
      DesignLimitLines(items, design, BeamQuantity::kDeflection, 240);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_DOUBLE_EQ(lines[0].value, 1.0 / 3);
  EXPECT_DOUBLE_EQ(lines[1].value, -1.0 / 3);
  EXPECT_DOUBLE_EQ(lines[2].start, 120);
  EXPECT_EQ(lines[3].label, "L/360");
  EXPECT_TRUE(DesignLimitLines(items, design, BeamQuantity::kRotation, 240).empty());
  EXPECT_DOUBLE_EQ(ScaleWithLimits(0.2, lines), 1.0 / 3);  // within 3 x
  EXPECT_DOUBLE_EQ(ScaleWithLimits(0.1, lines), 0.1);      // beyond 3 x: left out

  RecordingDeviceContext dc;
  DrawLimitLines(dc, Frame(), 240, 50, 1.0 / 3, lines, kDeflectionColor, 1);
  // Each span's two lines at +-50 units, the first span's from x 100 to 400.
  const std::vector<RecordedStroke> top = Horizontal(dc, 250, kDeflectionColor);
  ASSERT_EQ(top.size(), 2u * 24);  // ceil(300 / 13) = 24 per span
  EXPECT_EQ(top.front().x1, 100);
  EXPECT_EQ(Horizontal(dc, 350, kDeflectionColor).size(), 48u);
  // One label for the run of equal ones, above the upper line and below the lower.
  EXPECT_EQ(std::count_if(dc.texts.begin(), dc.texts.end(),
                          [](const RecordedText& t) { return t.text == "L/360"; }),
            2);

  RecordingDeviceContext marks;
  DrawFailedSpans(marks, Frame(), 240, design);
  ASSERT_EQ(marks.texts.size(), 1u);
  EXPECT_EQ(marks.texts[0].text, "exceeds: deflection, shear");
  EXPECT_EQ(marks.texts[0].x, 550);
  const std::vector<RecordedStroke> bar = Horizontal(marks, 364, kRed);
  ASSERT_EQ(bar.size(), 1u);
  EXPECT_EQ(bar[0].x1, 404);
  EXPECT_EQ(bar[0].x2, 696);
  EXPECT_EQ(bar[0].pen.width, 3);
}

// Two combinations over a hand-made envelope of one element between two nodes.
DesignResults TwoCombinations() {
  DesignResults design;
  design.combinations = {{"ULS1", false, false}, {"ULS2", false, true}, {"SLS1", true, false}};
  design.strength.nodes.resize(1);  // both kinds have envelopes
  design.service.nodes.resize(1);
  return design;
}

TEST(DesignDrawingTest, SelectorEntriesFollowTheCombinationsByName) {
  const DesignResults design = TwoCombinations();
  const std::vector<CombinationChoice> choices = CombinationChoices(design);
  std::vector<std::string> texts;
  for (const CombinationChoice& c : choices) texts.push_back(CombinationChoiceText(design, c));
  EXPECT_EQ(texts, (std::vector<std::string>{"All (envelope)", "ULS1", "ULS2",
                                             "ULS2 - pattern envelope", "SLS1"}));
  EXPECT_TRUE(CombinationChoices(DesignResults{}).empty());

  EXPECT_EQ(DiagramSourceText(design, {}, false, BeamQuantity::kMoment),
            "Envelope over strength combinations");
  EXPECT_EQ(DiagramSourceText(design, {}, false, BeamQuantity::kDeflection),
            "Envelope over service combinations");
  EXPECT_EQ(DiagramSourceText(design, {2, false}, false, BeamQuantity::kMoment),
            "Service combination SLS1");
  EXPECT_EQ(DiagramSourceText(design, {1, true}, false, BeamQuantity::kMoment),
            "Load combination ULS2, envelope over live-load patterns");
  EXPECT_EQ(DiagramSourceText(design, {1, true}, true, BeamQuantity::kMoment), "Single analysis");
  EXPECT_EQ(DiagramSourceText(DesignResults{}, {}, false, BeamQuantity::kMoment), "");

  // A line inserted before keeps the choice on its name; a renamed one, a kind changed or an
  // envelope no longer patterned goes back to All.
  std::vector<CombinationInfo> after = {{"ULS0", false, false}};
  after.insert(after.end(), design.combinations.begin(), design.combinations.end());
  EXPECT_EQ(CarryChoice(design.combinations, after, {1, true}), (CombinationChoice{2, true}));
  after[2].patterned = false;
  EXPECT_EQ(CarryChoice(design.combinations, after, {1, true}), CombinationChoice{});
  EXPECT_EQ(CarryChoice(design.combinations, after, {1, false}), (CombinationChoice{2, false}));
  after[3].service = false;
  EXPECT_EQ(CarryChoice(design.combinations, after, {2, false}), CombinationChoice{});
}

TEST(DesignDrawingTest, GoverningCombinationsAtTheLabelledExtremesAndInTheReadout) {
  // A one-element beam of 240 in, English; the envelope of hand-set values with its
  // governing combinations.
  const LinesRunResult run = RunSnapshot(SimpleSpan(""), ModelRunner::Mode::kChecked);
  ASSERT_EQ(run.log.errors, 0);
  const CBeamAnalysis& a = *run.analysis;
  ASSERT_GE(a.m_nNodes, 2);
  LiveLoadEnvelope env;
  env.nodes.resize(static_cast<size_t>(a.m_nNodes));
  env.elements.resize(static_cast<size_t>(a.m_nElements));
  env.nodeCombination.assign(env.nodes.size(), {0, 1, 0, 1, 0, 1, 0, 1});
  env.elementCombination.assign(env.elements.size(), {0, 1, 0, 1, 0, 1, 0, 1});
  for (size_t i = 0; i < env.nodes.size(); ++i) env.nodes[i].x = a.m_nodes[i + 1].x;
  for (size_t i = 0; i < env.elements.size(); ++i) {
    EnvelopeElement& e = env.elements[i];
    e.xEnd = a.m_elements[i + 1].xEnd;
    e.momentStart = {600, -120};
    e.momentEnd = {120, -600};  // the curve at the right end: max 600, min -120
  }
  env.extremes[kEnvelopeMaxMoment] = {600, 120, {}, 1};
  env.extremes[kEnvelopeMinMoment] = {-120, 240, {}, 0};
  const DesignResults design = TwoCombinations();

  RecordingDeviceContext dc;
  DrawEnvelope(dc, Frame(), run.items, a, env, BeamQuantity::kMoment, 50, 1, &design);
  EXPECT_TRUE(HasText(dc, "50.000000 (ULS2)"));
  EXPECT_TRUE(HasText(dc, "-10.000000 (ULS1)"));
  RecordingDeviceContext plain;  // without the design results: the values alone, as before
  DrawEnvelope(plain, Frame(), run.items, a, env, BeamQuantity::kMoment, 50, 1);
  EXPECT_TRUE(HasText(plain, "50.000000"));

  ResultsViewState state;
  state.m_cxClient = 1000;
  state.m_cyClient = 600;
  state.toggles.moment = true;
  const Lines noLines;
  const ModelRun shown(noLines, run.items, a, env, design);
  // At the beam's right end: the last element's end, max from momentEnd.min (slot 7: ULS2).
  EXPECT_EQ(ReadoutText(shown, state, 850),
            " x =     20 feet\r\n Moment max = 50 (ULS2), min = -10 (ULS1) kip ft\r\n");
  const ModelRun withoutNames(noLines, run.items, a, env);
  EXPECT_EQ(ReadoutText(withoutNames, state, 850),
            " x =     20 feet\r\n Moment max = 50, min = -10 kip ft\r\n");
}

}  // namespace
}  // namespace spanlab
