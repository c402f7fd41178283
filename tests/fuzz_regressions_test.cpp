// Inputs the fuzz targets (fuzz/) found to break the program, reduced to their essence. Each
// test is named after what broke.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/recording_device_context.h"
#include "run/document.h"
#include "run/run_driver.h"
#include "tests/support/device_range.h"
#include "view/results_paint.h"

namespace spanlab {
namespace {

constexpr int kDeviceLimit = 1 << 30;

int OutsideDeviceRange(const RecordingDeviceContext& dc) {
  return testing::StrokesAndEllipsesOutside(dc, kDeviceLimit);
}

ResultsViewState Screen(ViewToggles toggles = {}) {
  ResultsViewState state;
  state.m_cxClient = 800;
  state.m_cyClient = 600;
  state.toggles = toggles;
  return state;
}

// A prescribed support rotation of 1e308 makes the results of the analysis NaNs. The
// diagrams converted those to int, which is undefined (on x86 the curves went to INT_MIN).
TEST(FuzzRegressionsTest, DiagramsOfNaNResultsStayInsideTheDeviceRange) {
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, {"File Format:3.0", "Member Property: X = 0; E = 1; I = 1;",
                 "Support: X = 0; Disp = 0; Rotation = 1e308;", "Support: X = 10; Disp = 0;"});
  ASSERT_TRUE(RunModel(doc).analysed);
  ASSERT_TRUE(std::isnan(doc.GetAnalysis().m_nodes[2].rotation));

  const ViewToggles curves[] = {{false, false, false, false, true},
                                {false, false, false, true, false},
                                {false, false, true, false, false},
                                {false, true, false, false, false}};
  for (const ViewToggles& toggles : curves) {
    ResultsViewState state = Screen(toggles);
    RecordingDeviceContext dc;
    PaintResultsView(dc, doc, state);
    EXPECT_FALSE(dc.strokes.empty());
    EXPECT_EQ(OutsideDeviceRange(dc), 0);
  }
}

// 1e308 ft is an infinite number of inches: the beam length and that support's position are
// infinite, and the picture of the beam mapped inf / inf, a NaN, to an int.
TEST(FuzzRegressionsTest, InfinitePositionsDrawInsideTheDeviceRange) {
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, {"File Format:3.0", "Units:English;", "Member Property: X = 0; E = 1; I = 1;",
                 "Support: X = 1e308; Disp = 0;", "Support: X = 0; Disp = 0;",
                 "Moment Release: X = 5;", "Point Load: X = 1e308; PLoad = -1; Moment = 2;",
                 "Uniform Load: XStart = 0; XEnd = 1e308; UStart = -1; UEnd = 0;"});
  const RunLog run = RunModel(doc);
  EXPECT_NE(run.text.find("Error D16 - A support value is too large."), std::string::npos);
  EXPECT_FALSE(run.analysed);
  ResultsViewState state = Screen({false, true, true, true, true, true});
  doc.SetMessage("Support: X = 1e308; Disp = 0;");  // selected in the tree
  ASSERT_TRUE(state.selection.OnHint(SelectionHintForLine(doc.GetMessage()), doc.GetMessage(),
                                     doc.GetLines(), doc.GetItems()));
  RecordingDeviceContext dc;
  PaintResultsView(dc, doc, state);
  EXPECT_FALSE(dc.strokes.empty());
  EXPECT_EQ(OutsideDeviceRange(dc), 0);
}

// Uniform loads are drawn in proportion to the largest one, which was computed with
// 0.5 / uMax: for intensities as small as 5e-324 that is infinite, the arrow lengths became
// NaN and their conversion to int undefined. Such loads now draw like any others.
TEST(FuzzRegressionsTest, SubnormalUniformLoadsDrawLikeOrdinaryOnes) {
  const auto picture = [](const std::string& load) {
    CSPLX_30Doc doc;
    doc.SetLines(nullptr, {"File Format:3.0", "Member Property: X = 0; E = 1; I = 1;",
                   "Support: X = 0; Disp = 0; Rotation = 0;", load});
    RunModel(doc);
    ResultsViewState state = Screen();
    RecordingDeviceContext dc;
    PaintResultsView(dc, doc, state);
    return dc.strokes;
  };
  const std::vector<RecordedStroke> ordinary =
      picture("Uniform Load: XStart = 0; XEnd = 1; UStart = 2; UEnd = 1;");
  ASSERT_FALSE(ordinary.empty());
  EXPECT_EQ(picture("Uniform Load: XStart = 0; XEnd = 1; UStart = 1e-323; UEnd = 5e-324;"),
            ordinary);
}

}  // namespace
}  // namespace spanlab
