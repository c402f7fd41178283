// Values between nodes and true extremes, against closed forms, the engine's own exact node
// values (a re-run with a node added) and brute-force sampling.
#include "analysis/element_values.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "analysis/beam_analysis.h"
#include "model/units.h"
#include "tests/support/engine_model.h"

namespace spanlab {
namespace {

using Model = testing::EngineModel;

void RunModel(const Model& m, CBeamAnalysis& a) { testing::RunEngine(m, a, true); }

// Equal 10-unit spans on pinned supports under a uniform load of 1 (E = 29000, I = 300).
Model EqualSpans(int spans) {
  Model m;
  m.length = 10.0 * spans;
  m.properties.push_back({0, 29000, 300});
  for (int i = 0; i <= spans; ++i) m.supports.push_back({10.0 * i, 0, 0, 1, 0});
  CUniformLoadItem u;
  u.m_dXStart = 0;
  u.m_dXEnd = m.length;
  u.m_dUStart = u.m_dUEnd = -1;
  m.uniformLoads.push_back(u);
  return m;
}

// The same beam by the three-moment equation (support moments M, sagging positive:
// M[i-1] + 4 M[i] + M[i+1] = -w L^2 / 2) and the handbook span formulas: the largest span
// moment and the smallest deflection, each maximised over a fine grid and refined by golden
// section.
struct Reference {
  double maxMoment = -1e300, minDeflection = 1e300;
};
Reference ThreeMoment(int spans) {
  const double L = 10, w = 1, EI = 29000.0 * 300;
  std::vector<double> M(spans + 1, 0.0), c(spans + 1, 0.0), d(spans + 1, 0.0);
  for (int i = 1; i < spans; ++i) {  // Thomas algorithm, M[0] = M[spans] = 0
    const double denom = 4 - (i > 1 ? c[i - 1] : 0);
    c[i] = 1 / denom;
    d[i] = (-w * L * L / 2 - (i > 1 ? d[i - 1] : 0)) / denom;
  }
  for (int i = spans - 1; i >= 1; --i) M[i] = d[i] - c[i] * M[i + 1];
  Reference r;
  for (int s = 0; s < spans; ++s) {
    const double a = M[s], b = M[s + 1];
    auto moment = [&](double x) { return a * (1 - x / L) + b * x / L + w * x * (L - x) / 2; };
    auto deflection = [&](double x) {  // upward positive
      return -w * x * (L * L * L - 2 * L * x * x + x * x * x) / (24 * EI) -
             a * x * (L - x) * (2 * L - x) / (6 * L * EI) - b * x * (L * L - x * x) / (6 * L * EI);
    };
    auto extreme = [&](auto f, double sign) {
      double best = 0;
      for (int k = 1; k < 400; ++k) best = std::max(best, sign * f(L * k / 400));
      double lo = 0, hi = L;
      for (int k = 1; k < 400; ++k) {
        if (sign * f(L * k / 400) == best) lo = L * (k - 1) / 400, hi = L * (k + 1) / 400;
      }
      for (int k = 0; k < 200; ++k) {
        const double x1 = hi - (hi - lo) * 0.618033988749895, x2 = lo + (hi - lo) * 0.618033988749895;
        if (sign * f(x1) > sign * f(x2)) {
          hi = x2;
        } else {
          lo = x1;
        }
      }
      return std::max(best, sign * f(0.5 * (lo + hi)));
    };
    r.maxMoment = std::max(r.maxMoment, extreme(moment, 1));
    r.minDeflection = std::min(r.minDeflection, -extreme(deflection, -1));
  }
  return r;
}

TEST(TrueExtremesTest, EqualSpansUnderUniformLoadMatchTheThreeMomentSolution) {
  for (const int spans : {3, 60, 1000}) {
    SCOPED_TRACE(std::to_string(spans) + " spans");
    CBeamAnalysis a;
    RunModel(EqualSpans(spans), a);
    const Reference r = ThreeMoment(spans);
    EXPECT_NEAR(a.m_dMaxMoment, r.maxMoment, 1e-9 * 10.6);
    EXPECT_NEAR(a.m_dMinDeflection, r.minDeflection, 1e-9 * 7.6e-6);
    // The end span's peak: 0.4 L from the end support when the next support's moment is
    // -w L^2 / 10 (3 spans), (1 - 1/(2 sqrt 3)) L / ... in the limit of many spans.
    EXPECT_NEAR(a.m_dMaxMoment, spans == 3 ? 8.0 : 7.7751058491, 1e-9 * 10.6);
    if (spans == 3) {
      EXPECT_NEAR(a.m_dXMaxMoment, 4.0, 1e-6);
    } else {
      EXPECT_NEAR(a.m_dMinDeflection, -7.52639e-6, 5e-12);
    }
    EXPECT_GE(a.m_dMaxAbsMoment, a.m_dMaxMoment);
    EXPECT_GE(a.m_dMaxAbsDeflection, -a.m_dMinDeflection);
    // The mesh itself is unchanged: one element per span from 200 spans on.
    if (spans == 1000) {
      EXPECT_EQ(a.m_nElements, 1000);
    }
  }
}

// Random beams with hinges, springs, settlements, varying and overlapping loads.
class RandomBeams {
 public:
  explicit RandomBeams(unsigned seed) : rng_(seed) {}
  double Uniform(double lo, double hi) { return std::uniform_real_distribution<>(lo, hi)(rng_); }
  bool Chance(double p) { return Uniform(0, 1) < p; }

  Model Next() {
    Model m;
    // Few spans (subdivided) or many (one element per span, where values between nodes matter).
    const int spans = Chance(0.5) ? 1 + static_cast<int>(Uniform(0, 4)) : 250;
    const double span = Uniform(2, 30);
    m.length = span * spans;
    m.properties.push_back({0, Uniform(1e3, 3e4), Uniform(10, 1000)});
    for (int k = static_cast<int>(Uniform(0, 3)); k > 0; --k)
      m.properties.push_back({Uniform(0, m.length), Uniform(1e3, 3e4), Uniform(10, 1000)});
    std::stable_sort(m.properties.begin(), m.properties.end(),
                     [](const auto& x, const auto& y) { return x.m_dX < y.m_dX; });
    m.supports.push_back({0, Uniform(-0.01, 0.01), 0, 1, 1});
    for (int i = 1; i <= spans; ++i) {
      m.supports.push_back({span * i, Chance(0.2) ? Uniform(-0.01, 0.01) : 0.0, 0, 1,
                            static_cast<uint8_t>(Chance(0.2) ? 1 : 0)});
    }
    if (Chance(0.5)) m.releases.push_back({Uniform(0.3, 0.7) * span});
    if (Chance(0.5)) m.springs.push_back({Uniform(0, m.length), Uniform(1, 500), Uniform(0, 5e5)});
    for (int k = static_cast<int>(Uniform(0, 4)); k > 0; --k)
      m.pointLoads.push_back({Uniform(0, m.length), Uniform(-20, 20), Uniform(-50, 50)});
    for (int k = 1 + static_cast<int>(Uniform(0, 3)); k > 0; --k) {
      CUniformLoadItem u;
      u.m_dXStart = Chance(0.3) ? 0 : Uniform(0, m.length);
      u.m_dXEnd = Chance(0.3) ? m.length : Uniform(0, m.length);
      u.m_dUStart = Uniform(-2, 2);
      u.m_dUEnd = Chance(0.5) ? u.m_dUStart : Uniform(-2, 2);
      m.uniformLoads.push_back(u);
    }
    return m;
  }

 private:
  std::mt19937 rng_;
};

bool Complete(const CBeamAnalysis& a) { return a.CanSolveLoadCases() && a.m_bError == 0; }

// The engine is exact at its nodes for these loads, so a re-run with a load of 0 at x (a node
// there, nothing else changed) gives the values at x independently of the element's closed form.
BeamValues ValuesByNodeAt(const Model& m, double x) {
  Model withNode = m;
  withNode.pointLoads.push_back({x, 0, 0});
  CBeamAnalysis b;
  RunModel(withNode, b);
  return ValuesAt(b, x);
}

struct Scales {
  double deflection, rotation, shear, moment;
};
Scales ScalesOf(const CBeamAnalysis& a) {
  return {a.m_dMaxAbsDeflection, a.m_dMaxAbsRotation, a.m_dMaxAbsShear, a.m_dMaxAbsMoment};
}

// Both runs carry the engine's own rounding: end forces come from stiffness terms that grow
// as 1 / length^3 times displacement differences, and a span cut into 200 elements keeps some
// 1e-7 of their scale (displacements some 1e-8); a wrong closed form is off by far more.
constexpr double kTolerance = 1e-6, kDisplacementTolerance = 1e-7;

TEST(ValuesAtTest, RandomBeamsAgreeWithAReRunHavingANodeThere) {
  RandomBeams beams(2026);
  int checked = 0;
  for (int model = 0; model < 40; ++model) {
    const Model m = beams.Next();
    CBeamAnalysis a;
    RunModel(m, a);
    if (!Complete(a)) continue;
    const Scales k = ScalesOf(a);
    for (int i = 0; i < 6; ++i) {
      // Inside an element, away from its ends: a node very near another would make an element
      // so short that its stiffness terms swamp the re-run's own accuracy.
      const int32_t e = 1 + static_cast<int32_t>(beams.Uniform(0, a.m_nElements - 1e-9));
      const double x = a.m_elements[e].xEnd - a.ElementLength(e) * beams.Uniform(0.3, 0.7);
      SCOPED_TRACE("model " + std::to_string(model) + " x = " + std::to_string(x));
      const BeamValues got = ValuesAt(a, x);
      const BeamValues want = ValuesByNodeAt(m, x);
      EXPECT_NEAR(got.deflection, want.deflection, kDisplacementTolerance * k.deflection);
      EXPECT_NEAR(got.rotation, want.rotation, kDisplacementTolerance * k.rotation);
      EXPECT_NEAR(got.shear, want.shear, kTolerance * k.shear);
      EXPECT_NEAR(got.moment, want.moment, kTolerance * k.moment);
      ++checked;
    }
  }
  EXPECT_GT(checked, 100);
}

TEST(ValuesAtTest, NodesGiveTheTableValuesFromTheLeft) {
  Model m = EqualSpans(2);
  m.pointLoads.push_back({5, -4, 0});  // a jump of the shear at x = 5
  CBeamAnalysis a;
  RunModel(m, a);
  const int32_t node = (a.FindDof(5) + 1) / 2;
  const BeamValues v = ValuesAt(a, 5);
  EXPECT_EQ(v.shear, -a.m_elements[node - 1].shearEnd);
  EXPECT_EQ(v.moment, -a.m_elements[node - 1].momentEnd);
  EXPECT_EQ(v.deflection, a.m_nodes[node].deflection);
  EXPECT_EQ(v.rotation, a.m_nodes[node].rotation);
  EXPECT_EQ(ValuesAt(a, 0).shear, a.m_elements[1].shearStart);
  EXPECT_EQ(ValuesAt(a, -1).moment, a.m_elements[1].momentStart);
  EXPECT_EQ(ValuesAt(a, 99).shear, -a.m_elements[a.m_nElements].shearEnd);
}

// Each extreme is a value of the beam at its position (checked by a re-run with a node there),
// and no value found by sampling every element densely lies beyond it.
TEST(TrueExtremesTest, RandomBeamsExtremesBoundDenseSamplesAndAreAttained) {
  RandomBeams beams(77);
  int checked = 0;
  for (int model = 0; model < 25; ++model) {
    const Model m = beams.Next();
    CBeamAnalysis a;
    RunModel(m, a);
    if (!Complete(a)) continue;
    SCOPED_TRACE("model " + std::to_string(model));
    const Scales k = ScalesOf(a);
    double lowV = 1e300, highV = -1e300, lowM = 1e300, highM = -1e300;
    double lowR = 1e300, highR = -1e300, lowD = 1e300, highD = -1e300;
    for (int32_t e = 1; e <= a.m_nElements; ++e) {
      const ElementSolution element(a, e);
      for (int j = 0; j <= 64; ++j) {
        const BeamValues v = element.At(element.Length() * j / 64);
        lowV = std::min(lowV, v.shear), highV = std::max(highV, v.shear);
        lowM = std::min(lowM, v.moment), highM = std::max(highM, v.moment);
        lowR = std::min(lowR, v.rotation), highR = std::max(highR, v.rotation);
        lowD = std::min(lowD, v.deflection), highD = std::max(highD, v.deflection);
      }
    }
    EXPECT_LE(a.m_dMinShear, lowV + 1e-12 * k.shear);
    EXPECT_GE(a.m_dMaxShear, highV - 1e-12 * k.shear);
    EXPECT_LE(a.m_dMinMoment, lowM + 1e-12 * k.moment);
    EXPECT_GE(a.m_dMaxMoment, highM - 1e-12 * k.moment);
    EXPECT_LE(a.m_dMinRotation, lowR + 1e-12 * k.rotation);
    EXPECT_GE(a.m_dMaxRotation, highR - 1e-12 * k.rotation);
    EXPECT_LE(a.m_dMinDeflection, lowD + 1e-12 * k.deflection);
    EXPECT_GE(a.m_dMaxDeflection, highD - 1e-12 * k.deflection);
    // Attained: the moment and deflection extremes (where interior ones occur) by a re-run.
    const BeamValues atMax = ValuesByNodeAt(m, a.m_dXMaxMoment);
    const BeamValues atMin = ValuesByNodeAt(m, a.m_dXMinDeflection);
    // (Left of a node the moment is the table's; a point load there makes the sides differ.)
    EXPECT_NEAR(atMin.deflection, a.m_dMinDeflection, 1e-9 * k.deflection);
    const BeamValues right = ValuesAt(a, a.m_dXMaxMoment);
    EXPECT_TRUE(std::fabs(atMax.moment - a.m_dMaxMoment) <= 1e-9 * k.moment ||
                std::fabs(right.moment - a.m_dMaxMoment) <= 1e-9 * k.moment ||
                std::fabs(ValuesAt(a, std::nextafter(a.m_dXMaxMoment, 1e300)).moment -
                          a.m_dMaxMoment) <= 1e-9 * k.moment);
    ++checked;
  }
  EXPECT_GT(checked, 10);
}

// The extremes with nothing screened out: every node and every element's stationary points.
struct Unscreened {
  double low[4], high[4];
};
Unscreened EveryCandidate(const CBeamAnalysis& a) {
  Unscreened u;
  std::fill(u.low, u.low + 4, 1e300);
  std::fill(u.high, u.high + 4, -1e300);
  auto take = [&](int k, double v) { u.low[k] = std::min(u.low[k], v), u.high[k] = std::max(u.high[k], v); };
  for (int32_t e = 1; e <= a.m_nElements; ++e) {
    const ElementSolution element(a, e);
    for (const double s : {0.0, element.Length()}) {
      const BeamValues v = element.At(s);
      take(0, v.deflection), take(1, v.rotation), take(2, v.shear), take(3, v.moment);
    }
    for (int k = 0; k < 4; ++k) {
      double s[4];
      const int n = element.StationaryPoints(static_cast<BeamQuantity>(k), s);
      for (int i = 0; i < n; ++i) take(k, element.Value(static_cast<BeamQuantity>(k), s[i]));
    }
  }
  for (int32_t i = 1; i <= a.m_nNodes; ++i) take(0, a.m_nodes[i].deflection), take(1, a.m_nodes[i].rotation);
  return u;
}

// Long beams, where the extremes recur span after span or stand at the far end (a heavy last
// span, a cantilever at the right), and random beams: the screened extremes equal those of
// every candidate, and each stands at its position (the values there by ValuesAt).
TEST(TrueExtremesTest, ScreenedExtremesEqualEveryCandidate) {
  std::vector<Model> models;
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int kind = 0; kind < 4; ++kind) {
    Model m = EqualSpans(300);
    if (kind >= 1) {  // uneven spans, a varying load
      m.supports.clear();
      double x = 0;
      for (int i = 0; i <= 300; ++i, x += 5 + 10 * unit(rng)) m.supports.push_back({x, 0, 0, 1, 0});
      m.length = m.supports.back().m_dX;
      m.uniformLoads[0].m_dXEnd = m.length;
      m.uniformLoads[0].m_dUEnd = -3;
    }
    if (kind == 2) {  // a heavy last span
      CUniformLoadItem u;
      u.m_dXStart = m.supports[299].m_dX;
      u.m_dXEnd = m.length;
      u.m_dUStart = -40, u.m_dUEnd = -10;
      m.uniformLoads.push_back(u);
    }
    if (kind == 3) {  // a cantilever of 30 at the right, with an upward tip load
      m.length += 30;
      m.uniformLoads[0].m_dXEnd = m.length;
      m.pointLoads.push_back({m.length, 2, 0});
    }
    models.push_back(m);
  }
  {  // a negative stiffness, which the program accepts: no screen to rely on
    Model m = EqualSpans(40);
    m.properties[0].m_dE = -29000;
    m.pointLoads.push_back({123, -50, 0});
    models.push_back(m);
  }
  {  // long runs of equal spans (elements repeating bit for bit) around one that differs,
     // where the extremes stand
    Model m = EqualSpans(300);
    CUniformLoadItem u;
    u.m_dXStart = 1500, u.m_dXEnd = 1510;
    u.m_dUStart = u.m_dUEnd = -2;
    m.uniformLoads.push_back(u);
    models.push_back(m);
    Model up = EqualSpans(300);
    up.uniformLoads[0].m_dUStart = up.uniformLoads[0].m_dUEnd = 1;
    up.pointLoads.push_back({2005, -30, 0});
    models.push_back(up);
  }
  RandomBeams beams(5);
  for (int i = 0; i < 20; ++i) models.push_back(beams.Next());
  int checked = 0;
  for (size_t i = 0; i < models.size(); ++i) {
    CBeamAnalysis a;
    RunModel(models[i], a);
    if (!Complete(a)) continue;
    SCOPED_TRACE("model " + std::to_string(i));
    const Scales k = ScalesOf(a);
    const double scale[4] = {k.deflection, k.rotation, k.shear, k.moment};
    const Unscreened u = EveryCandidate(a);
    const double low[4] = {a.m_dMinDeflection, a.m_dMinRotation, a.m_dMinShear, a.m_dMinMoment};
    const double high[4] = {a.m_dMaxDeflection, a.m_dMaxRotation, a.m_dMaxShear, a.m_dMaxMoment};
    for (int q = 0; q < 4; ++q) {
      EXPECT_NEAR(low[q], u.low[q], 1e-11 * scale[q]) << "quantity " << q;
      EXPECT_NEAR(high[q], u.high[q], 1e-11 * scale[q]) << "quantity " << q;
    }
    EXPECT_NEAR(ValuesAt(a, a.m_dXMinDeflection).deflection, a.m_dMinDeflection,
                1e-11 * k.deflection);
    // (At a hinge ValuesAt gives the rotation left of it, the node's is the right part's.)
    auto rotationNear = [&](double x, double want) {
      return std::fabs(ValuesAt(a, x).rotation - want) <= 1e-11 * k.rotation ||
             std::fabs(ValuesAt(a, std::nextafter(x, 1e300)).rotation - want) <= 1e-11 * k.rotation;
    };
    EXPECT_TRUE(rotationNear(a.m_dXMaxRotation, a.m_dMaxRotation));
    EXPECT_TRUE(rotationNear(a.m_dXMinRotation, a.m_dMinRotation));
    ++checked;
  }
  EXPECT_GT(checked, 15);
}

// A hinge inside a span: the rotation just left of it is a value of the beam and may be an
// extreme; the node keeps the rotation of the part right of it.
TEST(TrueExtremesTest, RotationLeftOfAHingeCounts) {
  Model m;
  m.length = 20;
  m.properties.push_back({0, 29000, 300});
  m.supports.push_back({0, 0, 0, 1, 1});   // fixed
  m.supports.push_back({20, 0, 0, 1, 1});  // fixed
  m.releases.push_back({10});
  m.pointLoads.push_back({10, -5, 0});
  CBeamAnalysis a;
  RunModel(m, a);
  ASSERT_TRUE(Complete(a));
  // Two cantilevers of 10 sharing the load 2.5 each, by symmetry: tip rotations +-P L^2 / 2EI.
  const double tip = 2.5 * 100 / (2 * 29000.0 * 300);
  EXPECT_NEAR(a.m_dMaxRotation, tip, 1e-9 * tip);
  EXPECT_NEAR(a.m_dMinRotation, -tip, 1e-9 * tip);
  EXPECT_NEAR(a.m_dXMaxRotation, 10, 1e-9);
  EXPECT_NEAR(a.m_dXMinRotation, 10, 1e-9);
}

}  // namespace
}  // namespace spanlab
