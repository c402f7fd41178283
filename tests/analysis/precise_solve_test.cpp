// Accuracy on ill-conditioned stable beams, against an independent solution in binary128
// (quad_reference.h) and closed forms: stiffness contrasts in either order, stiff overhangs and
// middles, stiff springs, long cantilevers, random beams; further load cases on the same
// equations; the W3 line for a beam beyond the program's precision.
//
// The tolerance, 1e-10 of each quantity's scale, is a hundred times the largest error measured
// on these families (3e-12, a stiff arm 1e12 times stiffer than its root) and a thousand times
// below the 1e-7 that double alone misses on all of them (a stiff arm 1e6 times stiffer: 16 %).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "analysis/beam_analysis.h"
#include "analysis/live_load.h"
#include "model/units.h"
#include "run/document.h"
#include "run/run_driver.h"
#include "tests/analysis/quad_reference.h"
#include "tests/support/engine_model.h"

namespace spanlab {
namespace {

constexpr double kTolerance = 1e-10;

using Model = testing::EngineModel;

void Analyse(const Model& m, CBeamAnalysis& a) { testing::RunEngine(m, a); }

// Runs the model and compares every result with the binary128 solution; returns the errors. A
// model that the probe left in double is held to the accuracy goal with a margin of ten for
// the probe's estimate.
testing::RelativeErrors ExpectAccurate(const Model& m, double tolerance = kTolerance) {
  SCOPED_TRACE(m.name);
  CBeamAnalysis a;
  Analyse(m, a);
  EXPECT_TRUE(a.CanSolveLoadCases()) << (a.m_messages.size() > 1 ? a.m_messages[1] : "");
  if (!a.CanSolveLoadCases()) return {};
  for (const std::string& line : a.m_messages) EXPECT_NE(line, CBeamAnalysis::kMessageW3);
  if (!a.IsPreciseSolution()) {
    EXPECT_LE(a.EstimatedError(), CBeamAnalysis::kAccuracyGoal);
    tolerance = std::max(tolerance, 10 * CBeamAnalysis::kAccuracyGoal);
  }
  const testing::RelativeErrors e = testing::CompareWithQuad(
      a, testing::SolveInQuad(a, m.supports, m.springs, m.pointLoads, m.uniformLoads));
  EXPECT_LE(e.deflection, tolerance);
  EXPECT_LE(e.rotation, tolerance);
  EXPECT_LE(e.reactionVert, tolerance);
  EXPECT_LE(e.reactionRot, tolerance);
  EXPECT_LE(e.shear, tolerance);
  EXPECT_LE(e.moment, tolerance);
  EXPECT_LE(a.EstimatedError(), CBeamAnalysis::kAccuracyLimit);
  return e;
}

CSupportItem Pinned(double x) { return {.m_dX = x, .m_bDisp = 1}; }
CSupportItem Fixed(double x) { return {.m_dX = x, .m_bDisp = 1, .m_bRotation = 1}; }

// English models in internal units (inch, kip): E = 29000 ksi, I = 448 in^4.
constexpr double kFt = 12;

// The families of ill-conditioned beams, for a stiffness contrast c (the stiff part's I is c
// times the flexible part's).
std::vector<Model> ContrastFamilies(double c) {
  const std::string tag = " c = " + std::to_string(c);
  std::vector<Model> models;
  // A stiff arm on a flexible root: fixed at 0, the stiff part from 5 ft, a tip load of 1 kip.
  models.push_back({.name = "stiff arm" + tag,
                    .length = 10 * kFt,
                    .properties = {{0, 29000, 448}, {5 * kFt, 29000, 448 * c}},
                    .supports = {Fixed(0)},
                    .pointLoads = {{10 * kFt, -1, 0}}});
  // The same with the flexible part outboard.
  models.push_back({.name = "flexible arm" + tag,
                    .length = 10 * kFt,
                    .properties = {{0, 29000, 448 * c}, {5 * kFt, 29000, 448}},
                    .supports = {Fixed(0)},
                    .pointLoads = {{10 * kFt, -1, 0}, {2 * kFt, 0, 3}}});
  // A stiff overhang beyond a simple span, under a uniform load.
  models.push_back({.name = "stiff overhang" + tag,
                    .length = 25 * kFt,
                    .properties = {{0, 29000, 448}, {20 * kFt, 29000, 448 * c}},
                    .supports = {Pinned(0), Pinned(20 * kFt)},
                    .uniformLoads = {{0, 25 * kFt, -1 / kFt, -1 / kFt}}});
  // A stiff middle and a flexible middle in a span.
  models.push_back({.name = "stiff middle" + tag,
                    .length = 10,
                    .properties = {{0, 200, 3}, {4, 200, 3 * c}, {6, 200, 3}},
                    .supports = {Pinned(0), Pinned(10)},
                    .pointLoads = {{3, -2, 0}},
                    .uniformLoads = {{0, 10, -1, -1}}});
  models.push_back({.name = "flexible middle" + tag,
                    .length = 10,
                    .properties = {{0, 200, 3 * c}, {4, 200, 3}, {6, 200, 3 * c}},
                    .supports = {Fixed(0), Pinned(10)},
                    .uniformLoads = {{0, 10, -1, -0.5}}});
  // A stiff beam on a pin and two soft springs (it tilts about the pin), with a hinge.
  models.push_back({.name = "stiff beam on soft springs" + tag,
                    .length = 10,
                    .properties = {{0, 200, 3 * std::sqrt(c)}},
                    .releases = {{7}},
                    .supports = {Pinned(5)},
                    .springs = {{0, 10, 0}, {10, 10, 0}, {7, 0, 1}},
                    .pointLoads = {{10, -1, 0}}});
  return models;
}

TEST(PreciseSolution, StiffnessContrastsUpTo1e12InEitherOrder) {
  for (double c : {1e3, 1e6, 1e9, 1e12}) {
    for (const Model& m : ContrastFamilies(c)) ExpectAccurate(m);
  }
}

TEST(PreciseSolution, StiffArmAgainstItsClosedForm) {
  // The stiff arm of 1e6 (double gave a reaction of 0.847 kip for a load of 1 kip). Tip
  // deflection by the unit-load integral of M^2 / EI: P (b^3 - a^3) / 3EI_root over the root
  // (x from 0 to a = 60 in, b = 120 in) plus P a^3 / 3EI_arm over the arm.
  CBeamAnalysis a;
  Analyse(ContrastFamilies(1e6)[0], a);
  ASSERT_TRUE(a.IsPreciseSolution());
  EXPECT_NEAR(a.m_nodes[1].reactionVert, 1.0, 1e-14);
  EXPECT_NEAR(a.m_nodes[1].reactionRot, -10 * kFt, 1e-12);
  const double rootEI = 29000.0 * 448, armEI = rootEI * 1e6;
  const double tip = -(120.0 * 120 * 120 - 60.0 * 60 * 60) / 3 / rootEI - 60.0 * 60 * 60 / 3 / armEI;
  EXPECT_NEAR(a.m_nodes[a.m_nNodes].deflection, tip, 1e-13 * std::fabs(tip));
}

TEST(PreciseSolution, SpringsUpTo1e15) {
  for (double k : {1e3, 1e9, 1e12, 1e15}) {
    const std::string tag = " k = " + std::to_string(k);
    ExpectAccurate({.name = "springs at the end of a pinned beam" + tag,
                    .length = 10,
                    .properties = {{0, 200, 3}},
                    .supports = {Pinned(0)},
                    .springs = {{10, k, k}, {5, k / 1e3, 0}},
                    .uniformLoads = {{0, 10, -1, -2}}});
    ExpectAccurate({.name = "spring under a cantilever tip" + tag,
                    .length = 10 * kFt,
                    .properties = {{0, 29000, 448}},
                    .supports = {Fixed(0)},
                    .springs = {{10 * kFt, k, 0}},
                    .pointLoads = {{10 * kFt, -1, 0}, {5 * kFt, -1, 0}}});
  }
}

TEST(PreciseSolution, CantileverWithALoadAtEveryUnit) {
  // Fixed at 0, length L, a load P = -1 at x = 1, 2, ..., L: the tip deflects
  // sum P x^2 (3L - x) / 6EI (superposed tip loads), summed here exactly in long double.
  for (int loads : {10'000, 30'000, 100'000}) {
    SCOPED_TRACE(loads);
    const double L = loads, ei = L * L * L;  // a tip deflection of about L / 8
    Model m{.name = "cantilever", .length = L, .properties = {{0, 1000, ei / 1000}},
            .supports = {Fixed(0)}};
    for (int i = 1; i <= loads; ++i) m.pointLoads.push_back({double(i), -1, 0});
    const testing::RelativeErrors e = ExpectAccurate(m);
    long double tip = 0;
    for (int i = 1; i <= loads; ++i) tip -= (long double)i * i * (3 * (long double)L - i);
    tip /= 6 * (long double)ei;
    CBeamAnalysis a;
    Analyse(m, a);
    EXPECT_NEAR(a.m_nodes[a.m_nNodes].deflection, double(tip), 1e-12 * std::fabs(double(tip)));
    EXPECT_NEAR(a.m_nodes[1].reactionVert, L, 1e-12 * L);
    EXPECT_LE(e.Max(), kTolerance);
  }
}

TEST(PreciseSolution, RandomBeams) {
  // Several properties spanning up to twelve orders of magnitude, supports, springs, hinges,
  // point loads and linearly varying loads, at random. Whatever path each takes, every result
  // is within the accuracy goal (with the probe's margin) of the binary128 solution.
  std::mt19937 rng(20261207);
  auto uniform = [&rng](double a, double b) { return std::uniform_real_distribution<>(a, b)(rng); };
  auto count = [&rng](int a, int b) { return std::uniform_int_distribution<>(a, b)(rng); };
  int precise = 0;
  for (int k = 0; k < 120; ++k) {
    Model m{.name = "random beam " + std::to_string(k), .length = uniform(5, 500)};
    const double L = m.length;
    m.properties.push_back({0, uniform(1e3, 3e4), std::pow(10.0, uniform(0, 6))});
    for (int p = count(0, 4); p > 0; --p)
      m.properties.push_back({uniform(0, L), uniform(1e3, 3e4), std::pow(10.0, uniform(0, 12))});
    std::sort(m.properties.begin(), m.properties.end(),
              [](const auto& a, const auto& b) { return a.m_dX < b.m_dX; });
    m.supports.push_back(count(0, 1) ? Fixed(0) : Pinned(uniform(0, L / 3)));
    for (int s = count(0, 4); s > 0; --s) {
      CSupportItem support = Pinned(uniform(0, L));
      support.m_dDisp = count(0, 3) == 0 ? uniform(-0.01, 0.01) : 0.0;
      m.supports.push_back(support);
    }
    for (int s = count(0, 2); s > 0; --s)
      m.springs.push_back({uniform(0, L), std::pow(10.0, uniform(-2, 15)),
                           std::pow(10.0, uniform(-2, 15))});
    for (int r = count(0, 1); r > 0; --r) {
      m.releases.push_back({uniform(0, L)});
      m.springs.push_back({m.releases.back().m_dX, 0, std::pow(10.0, uniform(1, 8))});
    }
    for (int p = count(1, 5); p > 0; --p)
      m.pointLoads.push_back({uniform(0, L), uniform(-20, 20), uniform(-50, 50)});
    for (int u = count(0, 3); u > 0; --u)
      m.uniformLoads.push_back({uniform(0, L), uniform(0, L), uniform(-2, 2), uniform(-2, 2)});
    CBeamAnalysis a;
    Analyse(m, a);
    if (!a.CanSolveLoadCases()) continue;  // a mechanism, say
    precise += a.IsPreciseSolution();
    ExpectAccurate(m);
    if (::testing::Test::HasFailure()) break;
  }
  EXPECT_GT(precise, 20);  // the families above are not the only ones that need it
}

TEST(PreciseSolution, FurtherLoadCasesAreAsAccurate) {
  // Load cases on the equations of an ill-conditioned run (a live-load pattern, an influence
  // line's unit load, settlements) against the binary128 solution of the same loads.
  for (const Model& m : ContrastFamilies(1e9)) {
    SCOPED_TRACE(m.name);
    CBeamAnalysis a;
    Analyse(m, a);
    ASSERT_TRUE(a.IsPreciseSolution());
    std::vector<CSupportItem> settled = m.supports;
    settled[0].m_dDisp = -0.01;
    const std::vector<CPointLoadItem> points = {{m.length, 5, -2}, {m.length / 2, -3, 0}};
    const std::vector<CUniformLoadItem> uniforms = {{0, m.length, 0.5, -1}};
    CBeamAnalysis::CaseResults out;
    a.SolveLoadCase(settled, m.springs, points, uniforms, out);
    const testing::RelativeErrors e = testing::CompareWithQuad(
        out, testing::SolveInQuad(a, settled, m.springs, points, uniforms));
    EXPECT_LE(e.Max(), kTolerance) << e.deflection << " " << e.shear << " " << e.moment;
  }
}

TEST(PreciseSolution, LiveLoadEnvelopeEqualsTheExactPatterns) {
  // The envelope of the stiff overhang (two spans, four patterns of live load) against the
  // largest and smallest of the four patterns, each solved in binary128.
  const Model m = ContrastFamilies(1e9)[2];
  CBeamAnalysis a;
  Analyse(m, a);
  ASSERT_TRUE(a.IsPreciseSolution());
  const LiveLoadModel model{m.supports, m.springs, m.pointLoads, m.uniformLoads, m.length};
  const CLiveLoadItem live{.m_dU = -0.5 / kFt, .m_dLiveFactor = 1.6, .m_dDeadMax = 1.2,
                           .m_dDeadMin = 1.0};
  const LiveLoadEnvelope env = ComputeLiveLoadEnvelope(a, model, live);
  ASSERT_EQ(env.spans.size(), 2u);
  std::vector<testing::QuadResult> patterns;
  for (int onMax = 0; onMax < 4; ++onMax) {
    std::vector<CUniformLoadItem> loads;
    for (int k = 0; k < 2; ++k) {
      const double x1 = env.spans[k].start, x2 = env.spans[k].end;
      const bool max = onMax & (1 << k);
      const double dead = (max ? 1.2 : 1.0) * -1 / kFt;
      loads.push_back({x1, x2, dead, dead});
      if (max) loads.push_back({x1, x2, 1.6 * live.m_dU, 1.6 * live.m_dU});
    }
    patterns.push_back(testing::SolveInQuad(a, m.supports, m.springs, {}, loads));
  }
  // Worst difference relative to the largest magnitude, per quantity.
  auto check = [&](auto value, auto range, size_t count, const char* what) {
    double scale = 0, worst = 0;
    for (size_t i = 1; i <= count; ++i) {
      double hi = -HUGE_VAL, lo = HUGE_VAL;
      for (const testing::QuadResult& p : patterns) {
        hi = std::max(hi, value(p, i));
        lo = std::min(lo, value(p, i));
      }
      scale = std::max({scale, std::fabs(hi), std::fabs(lo)});
      const EnvelopeRange r = range(i);
      worst = std::max({worst, std::fabs(r.max - hi), std::fabs(r.min - lo)});
    }
    EXPECT_LE(worst, kTolerance * scale) << what;
  };
  const size_t nodes = env.nodes.size(), elements = env.elements.size();
  check([](const auto& p, size_t i) { return p.deflection[i]; },
        [&](size_t i) { return env.nodes[i - 1].deflection; }, nodes, "deflection");
  check([](const auto& p, size_t i) { return p.reactionVert[i]; },
        [&](size_t i) { return env.nodes[i - 1].reactionVert; }, nodes, "reaction");
  check([](const auto& p, size_t i) { return p.momentStart[i]; },
        [&](size_t i) { return env.elements[i - 1].momentStart; }, elements, "moment");
  check([](const auto& p, size_t i) { return p.shearEnd[i]; },
        [&](size_t i) { return env.elements[i - 1].shearEnd; }, elements, "shear");
}

TEST(PreciseSolution, WellConditionedBeamsStayInDouble) {
  // Ten equal spans: the probe finds the double solution good to 1e-12, and it is kept (the
  // precise path would change nothing a user could see, at a cost).
  Model m{.name = "ten spans", .length = 100, .properties = {{0, 29000, 300}},
          .uniformLoads = {{0, 100, -1, -1}}};
  for (int i = 0; i <= 10; ++i) m.supports.push_back(Pinned(10.0 * i));
  CBeamAnalysis a;
  Analyse(m, a);
  EXPECT_FALSE(a.IsPreciseSolution());
  EXPECT_LT(a.EstimatedError(), 1e-11);
  EXPECT_LE(testing::CompareWithQuad(a, testing::SolveInQuad(a, m.supports, m.springs,
                                                             m.pointLoads, m.uniformLoads))
                .Max(),
            1e-11);
}

TEST(PreciseSolution, BeyondThePrecisionTheRunSaysSoWithW3) {
  // A stiff arm 1e20 times stiffer than its root: even 32 digits leave errors near 1e-4. The
  // run shows the results, with W3 counted as a warning and placed before the equilibrium line.
  auto doc = std::make_unique<CSPLX_30Doc>();
  doc->SetLines(nullptr, {"File Format:3.0", "Units:English;",
                          "Member Property: X = 0; E = 29000; I = 448;",
                          "Member Property: X = 5; E = 29000; I = 4.48e22;",
                          "Support: X = 0; Disp = 0; Rotation = 0;",
                          "Point Load: X = 10; PLoad = -1;"});
  const RunLog run = RunModel(*doc);
  EXPECT_EQ(run.errors, 0);
  EXPECT_EQ(run.warnings, 1);
  const CBeamAnalysis& a = doc->GetAnalysis();
  EXPECT_EQ(a.m_bError, 0);
  EXPECT_GT(a.m_dLength, 0);
  ASSERT_EQ(a.m_messages.size(), 3u);
  EXPECT_EQ(a.m_messages[1], CBeamAnalysis::kMessageW3);
  EXPECT_NE(run.text.find(std::string(CBeamAnalysis::kMessageW3) + "\r\n Equilibrium error:"),
            std::string::npos);
  EXPECT_EQ(HelpKeywordForLogLine(a.m_messages[1]), "Warning Messages");
  // The results are still close: the reaction balances the load to 1e-3.
  EXPECT_NEAR(a.m_nodes[1].reactionVert, 1.0, 1e-3);

  // A stiffness contrast of 1e12 is within reach: no warning.
  doc->SetLines(nullptr, {"File Format:3.0", "Units:English;",
                          "Member Property: X = 0; E = 29000; I = 448;",
                          "Member Property: X = 5; E = 29000; I = 4.48e14;",
                          "Support: X = 0; Disp = 0; Rotation = 0;",
                          "Point Load: X = 10; PLoad = -1;"});
  EXPECT_EQ(RunModel(*doc).warnings, 0);
  EXPECT_EQ(doc->GetAnalysis().m_messages.size(), 2u);
}

}  // namespace
}  // namespace spanlab
