// Behaviour of the engine on models the classic fixed tables could not hold, and refusals.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/beam_analysis.h"

namespace spanlab {
namespace {

const std::vector<CMemberPropertyItem> kSteel = {{0, 200, 3}};
const std::vector<CMomentReleaseItem> kNoReleases;
const std::vector<CSpringItem> kNoSprings;
const std::vector<CPointLoadItem> kNoPointLoads;
const std::vector<CUniformLoadItem> kNoUniformLoads;

TEST(LargeModels, ThousandsOfSupportsBeyondTheClassicTables) {
  // 3000 spans of 1 with a uniform load: each interior support carries u (one span's load),
  // the classic tables would have overflowed at 999 nodes.
  const int spans = 3000;
  std::vector<CSupportItem> supports;
  for (int k = 0; k <= spans; ++k) supports.push_back({.m_dX = double(k), .m_bDisp = 1});
  const std::vector<CUniformLoadItem> load = {{0, double(spans), -2, -2}};
  CBeamAnalysis a;
  a.Reset();
  a.SetLength(spans);
  a.BuildNodes(kSteel, kNoReleases, supports, kNoSprings, kNoPointLoads, load);
  a.BuildElements(kSteel, kNoReleases);
  a.Solve(supports, kNoSprings, kNoPointLoads, load, 3);
  ASSERT_EQ(a.m_nNodes, spans + 1);
  EXPECT_EQ(a.m_messages.front(), " 3001 Nodes Defined, 6002 Degrees of freedom");
  EXPECT_EQ(a.m_bError, 0);
  // Far from the ends a uniformly loaded continuous beam behaves like a fixed-ended span.
  const BeamNode& mid = a.m_nodes[spans / 2 + 1];
  EXPECT_NEAR(mid.reactionVert, 2.0, 1e-9);
  EXPECT_NEAR(mid.deflection, 0.0, 1e-15);
  EXPECT_NEAR(a.m_elements[spans / 2].momentStart, -2.0 / 12, 1e-9);  // hogging over a support
  EXPECT_EQ(a.m_messages.back(), " Equilibrium error: Vert = 0.000; Rotation = 0.000");
}

TEST(LargeModels, ManyOverlappingLoadsSumToOneLoad) {
  // 100000 identical loads over the whole beam are too many to apply element by element; the
  // summed application must match one load of the total intensity.
  const std::vector<CSupportItem> supports = {{.m_dX = 0, .m_bDisp = 1}, {.m_dX = 10, .m_bDisp = 1}};
  const int count = 100000;
  const std::vector<CUniformLoadItem> many(count, CUniformLoadItem{0, 10, -1e-5, -3e-5});
  const std::vector<CUniformLoadItem> one = {{0, 10, -1e-5 * count, -3e-5 * count}};
  CBeamAnalysis a, b;
  for (auto [analysis, loads] : {std::pair{&a, &many}, std::pair{&b, &one}}) {
    analysis->Reset();
    analysis->SetLength(10);
    analysis->BuildNodes(kSteel, kNoReleases, supports, kNoSprings, kNoPointLoads, *loads);
    analysis->BuildElements(kSteel, kNoReleases);
    analysis->Solve(supports, kNoSprings, kNoPointLoads, *loads, 3);
  }
  ASSERT_EQ(a.m_nNodes, b.m_nNodes);
  for (int i = 1; i <= a.m_nNodes; ++i) {
    EXPECT_NEAR(a.m_nodes[i].deflection, b.m_nodes[i].deflection,
                1e-9 * b.m_dMaxAbsDeflection);
  }
  for (int e = 1; e <= a.m_nElements; ++e) {
    EXPECT_NEAR(a.m_elements[e].momentStart, b.m_elements[e].momentStart, 1e-9 * b.m_dMaxAbsMoment);
    EXPECT_NEAR(a.m_elements[e].shearEnd, b.m_elements[e].shearEnd, 1e-9 * b.m_dMaxAbsShear);
  }
  EXPECT_NEAR(a.m_nodes[1].reactionVert, b.m_nodes[1].reactionVert, 1e-9);
}

class Refusals : public ::testing::Test {
 protected:
  void RunWith(double length, const std::vector<CSupportItem>& supports) {
    a.Reset();
    a.SetLength(length);
    a.BuildNodes(kSteel, kNoReleases, supports, kNoSprings, kNoPointLoads, kNoUniformLoads);
    a.BuildElements(kSteel, kNoReleases);
    a.Solve(supports, kNoSprings, kNoPointLoads, kNoUniformLoads, 3);
  }
  void ExpectRefused(const std::string& start) {
    ASSERT_EQ(a.m_messages.size(), 1u);
    EXPECT_EQ(a.m_messages[0].rfind(start, 0), 0u) << a.m_messages[0];
    EXPECT_EQ(a.m_bError, 1);
    EXPECT_EQ(a.m_nNodes, 0);
    EXPECT_EQ(a.m_nElements, 0);
    EXPECT_EQ(a.m_dLength, 0);
  }
  CBeamAnalysis a;
};

TEST_F(Refusals, TooManyNodesIsRefusedBeforeAllocating) {
  // A position far left of a short beam would need some 2e11 subdivision nodes.
  RunWith(1, {{.m_dX = -1e9, .m_bDisp = 1}, {.m_dX = 1, .m_bDisp = 1}});
  ExpectRefused("Error A1 - Failed to allocate memory. The model needs more than 10000000 nodes.");
}

TEST_F(Refusals, NonFinitePositionsAndDegenerateBeams) {
  RunWith(HUGE_VAL, {{.m_dX = 0, .m_bDisp = 1}});
  ExpectRefused("Error A1 - The beam cannot be divided into elements");
  RunWith(10, {{.m_dX = -HUGE_VAL, .m_bDisp = 1}});
  ExpectRefused("Error A1 - The beam cannot be divided into elements");
  // Both ends within 1e-10 of each other would share their degrees of freedom.
  RunWith(5e-11, {{.m_dX = 0, .m_bDisp = 1, .m_bRotation = 1}});
  ExpectRefused("Error A1 - The beam cannot be divided into elements");
  // A normal run afterwards is not affected by the refusal before it.
  RunWith(30, {{.m_dX = 0, .m_bDisp = 1, .m_bRotation = 1}});
  EXPECT_EQ(a.m_bError, 0);
  EXPECT_EQ(a.m_nNodes, 200);
}

TEST_F(Refusals, OnlyBeamsShorterThan4e8CanBeTooShortToDivide) {
  // 200 elements of 1e-10 would share their degrees of freedom.
  RunWith(2e-8, {{.m_dX = 0, .m_bDisp = 1, .m_bRotation = 1}});
  ExpectRefused(
      "Error A1 - The beam cannot be divided into elements: every position must be a finite "
      "number and the beam longer than 4e-8.");
  // A gap longer than L / 199 is cut into parts longer than half of that, and positions of
  // items are at least 1e-10 apart: from 4e-8 on every beam is divided, wherever its items are.
  for (const double length : {4e-8, 4.5e-8, 7e-8, 1e-7, 1e-6}) {
    for (const double gap : {1e-10, 1.5e-10, 2.02e-10, 2.5e-10, 3.1e-10, length / 3}) {
      RunWith(length, {{.m_dX = 0, .m_bDisp = 1, .m_bRotation = 1}, {.m_dX = gap, .m_bDisp = 1}, {.m_dX = length - 1.7 * gap, .m_bDisp = 1},
                       {.m_dX = length, .m_bDisp = 1}});
      ASSERT_GT(a.m_nNodes, 0) << length << " " << gap << ": " << a.m_messages[0];
    }
  }
}

TEST_F(Refusals, ValuesBeyondTheRangeOfADoubleGiveA4AndNoResults) {
  // A prescribed rotation of 1e308 drives the solution out of the range of a double.
  const std::vector<CSupportItem> supports = {{.m_dX = 0, .m_dRotation = 1e308, .m_bDisp = 1, .m_bRotation = 1}, {.m_dX = 10, .m_bDisp = 1}};
  a.Reset();
  a.SetLength(10);
  a.BuildNodes(kSteel, kNoReleases, supports, kNoSprings, kNoPointLoads, kNoUniformLoads);
  a.BuildElements(kSteel, kNoReleases);
  a.Solve(supports, kNoSprings, kNoPointLoads, kNoUniformLoads, 3);
  ASSERT_EQ(a.m_messages.size(), 2u);
  EXPECT_EQ(a.m_messages[1], CBeamAnalysis::kMessageA4);
  EXPECT_EQ(a.m_bError, 1);
  EXPECT_EQ(a.m_dLength, 0);  // no results to show or report
}

TEST(FindDof, FirstNodeWithinToleranceElseLastNode) {
  CBeamAnalysis a;
  a.Reset();
  a.SetLength(30);
  const std::vector<CSupportItem> supports = {{.m_dX = 0, .m_bDisp = 1, .m_bRotation = 1}};
  a.BuildNodes(kSteel, kNoReleases, supports, kNoSprings, kNoPointLoads, kNoUniformLoads);
  ASSERT_EQ(a.m_nNodes, 200);
  EXPECT_EQ(a.FindDof(0), 1);
  EXPECT_EQ(a.FindDof(30), 399);
  EXPECT_EQ(a.FindDof(a.m_nodes[57].x + 9e-11), 2 * 57 - 1);
  EXPECT_EQ(a.FindDof(a.m_nodes[57].x - 9e-11), 2 * 57 - 1);
  EXPECT_EQ(a.FindDof(a.m_nodes[57].x + 2e-10), 399);  // no node: the last one's dof
  EXPECT_EQ(a.FindDof(-1), 399);
}

}  // namespace
}  // namespace spanlab
