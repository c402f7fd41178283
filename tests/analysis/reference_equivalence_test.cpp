// The fast engine against the literal reference: same nodes, elements and numbers, bit for bit,
// wherever the engine solves in double (the literal reference knows no other way); where it
// solves precisely, the same nodes and elements and results as accurate as the binary128
// solution's.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <tuple>

#include "analysis/beam_analysis.h"
#include "tests/analysis/quad_reference.h"
#include "tests/analysis/reference_engine.h"
#include "tests/support/engine_model.h"

namespace spanlab {
namespace {

using Model = testing::EngineModel;

void Run(const Model& m, CBeamAnalysis& a) { testing::RunEngine(m, a); }

// The results of a run that the engine solved precisely (its condition probe found double not
// accurate enough): the literal reference solves in double only, so these are compared with
// the binary128 solution instead, to the limit past which the run warns (elements of 1e-10
// beside ones of 1 leave up to some 4e-8 in their end forces).
void ExpectPreciseResults(const Model& m, const CBeamAnalysis& a) {
  // A run that says it may be inaccurate (W3: elements of 1e-10 beside ones of 1, say) is not
  // held to it.
  for (const std::string& line : a.m_messages) {
    if (line == CBeamAnalysis::kMessageW3) return;
  }
  const testing::RelativeErrors e = testing::CompareWithQuad(
      a, testing::SolveInQuad(a, m.supports, m.springs, m.pointLoads, m.uniformLoads));
  EXPECT_LE(e.Max(), CBeamAnalysis::kAccuracyLimit) << e.deflection << " " << e.rotation << " " << e.reactionVert << " "
                            << e.reactionRot << " " << e.shear << " " << e.moment;
}

void ExpectSame(const Model& m, const std::string& label) {
  SCOPED_TRACE(label);
  CBeamAnalysis a;
  Run(m, a);
  const testing::ReferenceResult r =
      testing::RunReference(m.length, m.properties, m.releases, m.supports, m.springs,
                            m.pointLoads, m.uniformLoads, m.units);
  ASSERT_EQ(a.m_nNodes, r.nNodes);
  ASSERT_EQ(a.m_nElements, r.nElements);
  EXPECT_EQ(a.m_nDof, r.nDof);
  const bool precise = a.IsPreciseSolution();
  for (int i = 1; i <= r.nNodes && precise; ++i) EXPECT_EQ(a.m_nodes[i].x, r.nodes[i].x);
  for (int e = 1; e <= r.nElements && precise; ++e) {
    EXPECT_EQ(a.m_elements[e].ei, r.elements[e].ei);
    EXPECT_EQ(a.m_elements[e].releaseEnd, r.elements[e].releaseEnd);
    EXPECT_EQ(a.ElementLength(e), r.lengths[e]);
  }
  if (precise) {
    ExpectPreciseResults(m, a);
    EXPECT_EQ(a.m_dLoadVert, r.loadVert);
    EXPECT_EQ(a.m_dLoadMoment, r.loadMoment);
    EXPECT_EQ(a.m_messages.front(), r.messages.front());  // the node count line
    return;
  }
  for (int i = 1; i <= r.nNodes; ++i) {
    SCOPED_TRACE("node " + std::to_string(i));
    EXPECT_EQ(a.m_nodes[i].x, r.nodes[i].x);
    EXPECT_EQ(a.m_nodes[i].deflection, r.nodes[i].deflection);
    EXPECT_EQ(a.m_nodes[i].rotation, r.nodes[i].rotation);
    EXPECT_EQ(a.m_nodes[i].reactionVert, r.nodes[i].reactionVert);
    EXPECT_EQ(a.m_nodes[i].reactionRot, r.nodes[i].reactionRot);
  }
  for (int e = 1; e <= r.nElements; ++e) {
    SCOPED_TRACE("element " + std::to_string(e));
    const BeamElement& x = a.m_elements[e];
    const BeamElement& y = r.elements[e];
    EXPECT_EQ(x.ei, y.ei);
    EXPECT_EQ(x.releaseEnd, y.releaseEnd);
    EXPECT_EQ(x.xEnd, y.xEnd);
    EXPECT_EQ(a.ElementLength(e), r.lengths[e]);
    EXPECT_EQ(x.shearStart, y.shearStart);
    EXPECT_EQ(x.shearEnd, y.shearEnd);
    EXPECT_EQ(x.momentStart, y.momentStart);
    EXPECT_EQ(x.momentEnd, y.momentEnd);
  }
  EXPECT_EQ(a.m_dLoadVert, r.loadVert);
  EXPECT_EQ(a.m_dLoadMoment, r.loadMoment);
  EXPECT_EQ(a.m_dMaxAbsDeflection, r.maxAbsDeflection);
  EXPECT_EQ(a.m_dMaxAbsRotation, r.maxAbsRotation);
  EXPECT_EQ(a.m_dMaxAbsShear, r.maxAbsShear);
  EXPECT_EQ(a.m_dMaxAbsMoment, r.maxAbsMoment);
  EXPECT_EQ(a.m_dMaxE, r.maxE);
  EXPECT_EQ(a.m_dMaxI, r.maxI);
  EXPECT_EQ(a.m_bError, r.error);
  EXPECT_EQ(a.m_messages, r.messages);
}

// Random models with positions that hit each other exactly, nearly (within and just beyond the
// 1e-10 tolerance) and not at all, in every item list and in unsorted order.
class RandomModels {
 public:
  explicit RandomModels(unsigned seed) : rng_(seed) {}

  Model Next() {
    Model m;
    m.units = Pick({1, 2, 3});
    m.length = Pick({30.0, 360.0, 1.0, 7.3, 12345.678}) * Uniform(0.5, 2.0);
    anchors_ = {0.0, m.length, m.length / 2, m.length / 3};
    const int nProps = 1 + Count(3);
    for (int k = 0; k < nProps; ++k) {
      CMemberPropertyItem p;
      p.m_dX = k == 0 ? 0.0 : Position(m.length);
      p.m_dE = Chance(0.2) && k > 0 ? 0.0 : Uniform(1e3, 3e4);
      p.m_dI = Chance(0.2) && k > 0 ? 0.0 : Uniform(10, 1000);
      m.properties.push_back(p);
    }
    std::stable_sort(m.properties.begin(), m.properties.end(),
                     [](const auto& a, const auto& b) { return a.m_dX < b.m_dX; });
    for (int k = Count(2); k > 0; --k) m.releases.push_back({Position(m.length)});
    const int nSupports = 1 + Count(4);
    for (int k = 0; k < nSupports; ++k) {
      CSupportItem s;
      s.m_dX = k == 0 ? 0.0 : Position(m.length);
      s.m_bDisp = Chance(0.85);
      s.m_dDisp = Chance(0.2) ? Uniform(-0.01, 0.01) : 0.0;
      s.m_bRotation = Chance(0.4);
      s.m_dRotation = Chance(0.2) ? Uniform(-0.001, 0.001) : 0.0;
      m.supports.push_back(s);
    }
    for (int k = Count(2); k > 0; --k)
      m.springs.push_back({Position(m.length), Uniform(-5, 500), Uniform(-5, 5e5)});
    for (int k = Count(4); k > 0; --k)
      m.pointLoads.push_back({Position(m.length), Uniform(-20, 20), Uniform(-50, 50)});
    for (int k = Count(3); k > 0; --k) {
      CUniformLoadItem u;
      u.m_dXStart = Position(m.length);
      u.m_dXEnd = Chance(0.1) ? u.m_dXStart : Position(m.length);
      u.m_dUStart = Uniform(-2, 2);
      u.m_dUEnd = Uniform(-2, 2);
      m.uniformLoads.push_back(u);
    }
    return m;
  }

 private:
  double Uniform(double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng_); }
  bool Chance(double p) { return Uniform(0, 1) < p; }
  int Count(int max) { return std::uniform_int_distribution<int>(0, max)(rng_); }
  template <class T> T Pick(std::initializer_list<T> values) {
    return *(values.begin() + Count(static_cast<int>(values.size()) - 1));
  }
  double Position(double length) {
    const double r = Uniform(0, 1);
    double x;
    if (r < 0.3) x = anchors_[Count(static_cast<int>(anchors_.size()) - 1)];
    else if (r < 0.5) x = std::round(Uniform(0, 8)) * length / 8;
    else x = Uniform(0, length);
    if (Chance(0.25)) x += Pick({5e-11, -5e-11, 9e-11, 2e-10, -2e-10});
    x = std::clamp(x, 0.0, length);
    anchors_.push_back(x);
    return x;
  }
  std::mt19937 rng_;
  std::vector<double> anchors_;
};

TEST(ReferenceEquivalence, RandomModelsGiveIdenticalNumbers) {
  RandomModels models(20261207);
  int inDouble = 0;
  for (int k = 0; k < 400; ++k) {
    const Model m = models.Next();
    ExpectSame(m, "model " + std::to_string(k));
    if (::testing::Test::HasFailure()) break;
    CBeamAnalysis a;
    spanlab::Run(m, a);
    inDouble += !a.IsPreciseSolution();
  }
  EXPECT_GT(inDouble, 40);  // both ways are compared
}

TEST(ReferenceEquivalence, ToleranceChainsKeepVisitingOrder) {
  // 1, 1 + 0.6e-10, 1 + 1.2e-10: the middle one is near both others, so which positions become
  // nodes depends on the order they are met in.
  const double a = 1.0, b = 1.0 + 0.6e-10, c = 1.0 + 1.2e-10;
  for (const auto& order : std::vector<std::vector<double>>{{a, b, c}, {c, b, a}, {b, a, c}}) {
    Model m;
    m.length = 10;
    m.properties = {{0, 200, 3}};
    m.supports = {{.m_dX = 0, .m_bDisp = 1, .m_bRotation = 1}};
    for (double x : order) m.pointLoads.push_back({x, -1, 0});
    ExpectSame(m, "order " + std::to_string(order[0] - 1.0));
  }
}

TEST(ReferenceEquivalence, DenseChainOfNearPositions) {
  // Hundreds of positions each 0.4e-10 from the next form one long cluster.
  Model m;
  m.length = 20;
  m.properties = {{0, 200, 3}};
  m.supports = {{.m_dX = 0, .m_bDisp = 1, .m_bRotation = 1}, {.m_dX = 20, .m_bDisp = 1}};
  for (int k = 0; k < 300; ++k) {
    const int i = (k * 37) % 300;  // scrambled order
    m.pointLoads.push_back({5.0 + i * 0.4e-10, -0.01, 0});
  }
  ExpectSame(m, "dense chain");
}

TEST(ReferenceEquivalence, ReleasesOnLongAndShortElements) {
  // A hinge at the end of a long element next to a cluster of short ones, and one between.
  Model m;
  m.length = 100;
  m.properties = {{0, 200, 3}, {50, 0, 6}};
  m.supports = {{.m_dX = 0, .m_bDisp = 1, .m_bRotation = 1}, {.m_dX = 100, .m_bDisp = 1, .m_bRotation = 1}, {.m_dX = 60, .m_bDisp = 1}};
  for (int k = 0; k < 40; ++k) m.pointLoads.push_back({60 + 0.01 * k, -1, 0});
  m.releases = {{60.4}, {40}, {60.005}};
  ExpectSame(m, "releases");
}

TEST(ReferenceEquivalence, ReleasesJustRightOfAnEarlierNode) {
  // The node before each hinge lies within a tenth of its element's length of it.
  for (const auto& [length, load, hinge] :
       {std::tuple{100.0, 40.0, 40.04}, std::tuple{10000.0, 570.5, 572.5}}) {
    Model m;
    m.length = length;
    m.properties = {{0, 29000, 10000}};
    m.supports = {{.m_dX = 0, .m_bDisp = 1, .m_bRotation = 1}, {.m_dX = length, .m_bDisp = 1}};
    m.releases = {{hinge}};
    m.pointLoads = {{load, -0.01, 0}};
    m.uniformLoads = {{0, length, -1e-3, -1e-3}};
    ExpectSame(m, "hinge at " + std::to_string(hinge));
  }
}

// Beams held and hinged in every way the mechanism check tells apart: the engine's verdict is
// the expected one, and it and every number agree with the reference's.
TEST(ReferenceEquivalence, MechanismsAndStableBeams) {
  const CSupportItem pin0{.m_dX = 0, .m_bDisp = 1}, pin10{.m_dX = 10, .m_bDisp = 1}, fixed0{.m_dX = 0, .m_bDisp = 1, .m_bRotation = 1};
  const CSupportItem turnHeld5{.m_dX = 5, .m_bRotation = 1};  // holds the part right of a hinge at 5
  const std::vector<CMomentReleaseItem> hinge5 = {{5}};
  const struct {
    bool mechanism;
    std::vector<CSupportItem> supports;
    std::vector<CMomentReleaseItem> releases;
    std::vector<CSpringItem> springs;
    std::vector<CMemberPropertyItem> properties = {{0, 200, 3}};
  } cases[] = {
      {true, {pin0, pin10}, hinge5, {}},
      {false, {pin0, pin10}, hinge5, {{5, 1, 0}}},
      {true, {pin0, pin10}, hinge5, {{5, 1e-30, 0}}},  // lost in the stiffness at 5
      {false, {pin0, pin10, turnHeld5}, hinge5, {}},
      {true, {pin0, turnHeld5}, hinge5, {}},
      {true, {{.m_dX = 10, .m_bDisp = 1, .m_bRotation = 1}}, hinge5, {}},
      {false, {fixed0}, hinge5, {{5, 0, 100}}},
      {true, {{.m_dX = 0, .m_bRotation = 1}}, {}, {}},
      {false, {}, {}, {{0, 10, 0}, {10, 10, 0}}},
      {true, {pin0}, {}, {{10, -5, 0}}},
      {false, {pin0, {.m_dX = 3, .m_bDisp = 1}, {.m_dX = 6, .m_bDisp = 1}, pin10}, {{3}, {6}}, {}},
      {true, {fixed0}, {{10}}, {}},  // a hinge at the end: the end rotation has no stiffness
      {true, {fixed0, pin10}, {}, {}, {{0, 0, 3}, {4, 200, 3}}},  // EI = 0 left of 4
      {true, {fixed0, {.m_dX = 10, .m_bDisp = 1, .m_bRotation = 1}}, {}, {}, {{0, 200, 3}, {4, 1e-200, 1e-200}}}};
  for (size_t c = 0; c < std::size(cases); ++c) {
    Model m;
    m.length = 10;
    m.properties = cases[c].properties;
    m.supports = cases[c].supports;
    m.releases = cases[c].releases;
    m.springs = cases[c].springs;
    m.pointLoads = {{2.5, -1, 0}, {7.5, -1, 0}};
    ExpectSame(m, "case " + std::to_string(c));
    CBeamAnalysis a;
    spanlab::Run(m, a);
    EXPECT_EQ(a.m_messages[1] == CBeamAnalysis::kMessageA3, cases[c].mechanism) << c;
  }
}

}  // namespace
}  // namespace spanlab
