// The live-load envelope against an explicit enumeration of every span pattern, each run as an
// ordinary model with factored loads; influence lines against closed forms (standard beam
// tables) and against ordinary runs with the unit load in place.
//
// Models are written as lines in Consistent units, so the values in the lines are the internal
// ones. The factored models keep every load line (a factor of 0 writes a zero load), so that
// both runs place exactly the same nodes. Tolerance: the elimination on meshes of ~200
// elements leaves relative round-off of about 1e-8 of each quantity's scale; 1e-7 is checked.
#include "analysis/live_load.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "analysis/element_values.h"
#include "analysis/influence_line.h"
#include "model/number_text.h"
#include "run/document.h"
#include "run/run_driver.h"

namespace spanlab {
namespace {

std::string Num(double v) { return v == 0 ? "0" : FormatGeneral(v, 17); }

std::unique_ptr<CSPLX_30Doc> RunLines(std::vector<std::string> lines) {
  auto doc = std::make_unique<CSPLX_30Doc>();
  lines.insert(lines.begin(), "File Format:3.0");
  doc->SetLines(nullptr, std::move(lines));
  const RunLog log = RunModel(*doc);
  EXPECT_EQ(log.errors, 0) << log.text;
  return doc;
}

struct Load {
  double x1, x2, u1, u2;  // a point load when x1 == x2 (u1 the force, u2 the moment)
};

// A random model of 1 to 6 spans: overhangs, a fixed end, hinges, springs, settlements, point
// loads at and between supports, linearly varying loads crossing supports.
struct RandomModel {
  std::vector<std::string> structure;  // units, properties, supports, springs, releases
  std::vector<double> cuts;            // deflection-restrained support positions
  std::vector<Load> loads;
  double length = 0, u = 0, liveFactor = 1, deadMax = 1, deadMin = 1;

  explicit RandomModel(std::mt19937& rng) {
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int spans = pick(1, 6);
    const bool leftOverhang = pick(0, 2) == 0, rightOverhang = pick(0, 2) == 0;
    double x = leftOverhang ? pick(2, 5) : 0;
    const int supports = std::max(spans + 1 - int(leftOverhang) - int(rightOverhang), 1);
    structure = {"Units: Consistent;", "Member Property: X = 0; E = 2000; I = 50;"};
    for (int s = 0; s < supports; ++s) {
      cuts.push_back(x);
      std::string line = "Support: X = " + Num(x) + ";";
      line += pick(0, 3) == 0 ? " Disp = " + Num(pick(-3, 3) * 0.002) + ";" : " Disp = 0;";
      if (s == 0 && (supports == 1 || pick(0, 2) == 0)) line += " Rotation = 0;";
      structure.push_back(line);
      x += pick(6, 14);
    }
    length = supports == 1 ? cuts.back() + pick(6, 14)
             : rightOverhang ? cuts.back() + pick(2, 5)
                             : cuts.back();
    if (pick(0, 1)) {
      structure.push_back("Member Property: X = " + Num(length / 2) + "; E = 2000; I = 80;");
    }
    // The beam ends at its largest item position: an item at the end of an overhang.
    structure.push_back("Member Property: X = " + Num(length) + "; E = 2000; I = 50;");
    if (pick(0, 2) == 0) {
      structure.push_back("Spring: X = " + Num(std::floor(length * 0.6)) + "; VSpring = " +
                          Num(pick(200, 2000)) + "; RSpring = 10000;");
    }
    if (pick(0, 2) == 0) structure.push_back("Moment Release: X = " + Num(cuts[0] + 1.5) + ";");
    const int loadCount = pick(1, 5);
    for (int i = 0; i < loadCount; ++i) {
      if (pick(0, 1)) {
        const double at = pick(0, 2) == 0 ? cuts[pick(0, int(cuts.size()) - 1)] : pick(0, int(length));
        loads.push_back({at, at, double(pick(-5, 2)), double(pick(-2, 2))});
      } else {
        const double a = pick(0, int(length) - 1), b = pick(int(a) + 1, int(length));
        loads.push_back({a, b, pick(-10, 3) * 0.1, pick(-10, 3) * 0.1});
      }
    }
    u = pick(-10, -1) * 0.1;
    liveFactor = pick(10, 17) * 0.1;
    deadMax = pick(10, 14) * 0.1;
    deadMin = pick(0, 10) * 0.1;
  }

  std::vector<double> Bounds() const {
    std::vector<double> b = {0};
    for (double c : cuts) {
      if (c > b.back() && c < length) b.push_back(c);
    }
    b.push_back(length);
    return b;
  }

  std::vector<std::string> WithLiveLoad() const {
    std::vector<std::string> lines = structure;
    for (const Load& l : loads) lines.push_back(LoadLine(l, 1));
    lines.push_back("Live Load: U = " + Num(u) + "; LiveFactor = " + Num(liveFactor) +
                    "; DeadMax = " + Num(deadMax) + "; DeadMin = " + Num(deadMin) + ";");
    return lines;
  }

  // The ordinary model of one pattern (bit k of `mask` set: span k on max loading).
  std::vector<std::string> Pattern(unsigned mask) const {
    const std::vector<double> b = Bounds();
    const size_t spans = b.size() - 1;
    auto spanOf = [&](double x) {
      size_t k = 0;
      while (k + 1 < spans && b[k + 1] <= x) ++k;
      return k;
    };
    auto factor = [&](size_t k) { return (mask >> k) & 1 ? deadMax : deadMin; };
    std::vector<std::string> lines = structure;
    for (const Load& l : loads) {
      if (l.x1 == l.x2) {
        lines.push_back(LoadLine(l, factor(spanOf(l.x1))));
        continue;
      }
      for (size_t k = 0; k < spans; ++k) {  // cut at the span ends
        const double a = std::max(l.x1, b[k]), c = std::min(l.x2, b[k + 1]);
        if (!(a < c)) continue;
        const double slope = (l.u2 - l.u1) / (l.x2 - l.x1);
        lines.push_back(LoadLine({a, c, l.u1 + slope * (a - l.x1), l.u1 + slope * (c - l.x1)},
                                 factor(k)));
      }
    }
    for (size_t k = 0; k < spans; ++k) {
      const double live = (mask >> k) & 1 ? liveFactor * u : 0;
      lines.push_back("Uniform Load: XStart = " + Num(b[k]) + "; XEnd = " + Num(b[k + 1]) +
                      "; UStart = " + Num(live) + "; UEnd = " + Num(live) + ";");
    }
    return lines;
  }

  static std::string LoadLine(const Load& l, double f) {
    if (l.x1 == l.x2) {
      return "Point Load: X = " + Num(l.x1) + "; PLoad = " + Num(f * l.u1) +
             "; Moment = " + Num(f * l.u2) + ";";
    }
    return "Uniform Load: XStart = " + Num(l.x1) + "; XEnd = " + Num(l.x2) + "; UStart = " +
           Num(f * l.u1) + "; UEnd = " + Num(f * l.u2) + ";";
  }
};

// The eight values per point that the envelope bounds, read from one ordinary run.
std::vector<std::array<double, 8>> Values(const CBeamAnalysis& a) {
  std::vector<std::array<double, 8>> v(static_cast<size_t>(a.m_nNodes));
  for (int32_t i = 1; i <= a.m_nNodes; ++i) {
    const BeamNode& n = a.m_nodes[i];
    const BeamElement& e = a.m_elements[std::min(i, a.m_nElements)];
    v[i - 1] = {n.deflection, n.rotation, n.reactionVert, n.reactionRot,
                e.shearStart, e.shearEnd, e.momentStart,  e.momentEnd};
  }
  return v;
}
std::vector<std::array<double, 8>> EnvelopeValues(const LiveLoadEnvelope& env, bool max) {
  std::vector<std::array<double, 8>> v(env.nodes.size());
  for (size_t i = 0; i < env.nodes.size(); ++i) {
    const EnvelopeNode& n = env.nodes[i];
    const EnvelopeElement& e = env.elements[std::min(i, env.elements.size() - 1)];
    auto pick = [max](const EnvelopeRange& r) { return max ? r.max : r.min; };
    v[i] = {pick(n.deflection), pick(n.rotation),    pick(n.reactionVert), pick(n.reactionRot),
            pick(e.shearStart), pick(e.shearEnd), pick(e.momentStart),  pick(e.momentEnd)};
  }
  return v;
}

// The true extremes of one analysis (between nodes too), in the order of the envelope's
// extreme kinds: the envelope's extreme is the largest of them over every pattern.
std::array<double, kEnvelopeExtremeCount> TrueExtremes(const CBeamAnalysis& a) {
  return {a.m_dMaxShear,    a.m_dMinShear,    a.m_dMaxMoment,     a.m_dMinMoment,
          a.m_dMaxRotation, a.m_dMinRotation, a.m_dMaxDeflection, a.m_dMinDeflection};
}

// The four diagram values of one analysis at each of the envelope's samples, exact between
// nodes.
std::vector<std::array<double, 4>> SampleValues(const CBeamAnalysis& a,
                                                const LiveLoadEnvelope& env) {
  std::vector<std::array<double, 4>> v;
  for (const EnvelopeSample& s : env.samples) {
    const BeamValues b = ValuesAt(a, s.x);
    v.push_back({b.deflection, b.rotation, b.shear, b.moment});
  }
  return v;
}

TEST(LiveLoadEnvelopeTest, EqualsTheEnumerationOfEveryPatternOnRandomModels) {
  std::mt19937 rng(18);
  int tested = 0;
  for (int model = 0; model < 60; ++model) {
    const RandomModel m(rng);
    SCOPED_TRACE("model " + std::to_string(model));
    const auto doc = RunLines(m.WithLiveLoad());
    const LiveLoadEnvelope& env = doc->GetEnvelope();
    if (env.empty()) {  // a hinge made a mechanism
      EXPECT_EQ(doc->GetAnalysis().m_messages.size() >= 2, true);
      continue;
    }
    ++tested;
    const size_t spans = m.Bounds().size() - 1;
    ASSERT_EQ(env.spans.size(), spans);
    std::vector<std::array<double, 8>> high, low;
    std::array<double, 8> scale{};
    std::array<double, kEnvelopeExtremeCount> extreme{};
    std::vector<std::array<double, kEnvelopeExtremeCount>> patternExtremes(1u << spans);
    std::vector<std::array<double, 4>> sampleHigh, sampleLow;
    std::array<double, 4> sampleScale{};
    for (unsigned mask = 0; mask < (1u << spans); ++mask) {
      const auto run = RunLines(m.Pattern(mask));
      const CBeamAnalysis& a = run->GetAnalysis();
      ASSERT_EQ(a.m_nNodes, static_cast<int32_t>(env.nodes.size()));
      const auto v = Values(a);
      if (mask == 0) high = low = v;
      for (size_t i = 0; i < v.size(); ++i) {
        for (int q = 0; q < 8; ++q) {
          high[i][q] = std::max(high[i][q], v[i][q]);
          low[i][q] = std::min(low[i][q], v[i][q]);
          scale[q] = std::max(scale[q], std::abs(v[i][q]));
        }
      }
      const auto sv = SampleValues(a, env);
      if (mask == 0) sampleHigh = sampleLow = sv;
      for (size_t i = 0; i < sv.size(); ++i) {
        for (int q = 0; q < 4; ++q) {
          sampleHigh[i][q] = std::max(sampleHigh[i][q], sv[i][q]);
          sampleLow[i][q] = std::min(sampleLow[i][q], sv[i][q]);
          sampleScale[q] = std::max(sampleScale[q], std::abs(sv[i][q]));
        }
      }
      patternExtremes[mask] = TrueExtremes(a);
      for (int k = 0; k < kEnvelopeExtremeCount; ++k) {
        const double x = patternExtremes[mask][k];
        extreme[k] = mask == 0 ? x : (k % 2 == 0 ? std::max(extreme[k], x) : std::min(extreme[k], x));
      }
    }
    const auto envHigh = EnvelopeValues(env, true), envLow = EnvelopeValues(env, false);
    for (size_t i = 0; i < high.size(); ++i) {
      for (int q = 0; q < 8; ++q) {
        const double tol = 1e-7 * std::max(scale[q], 1e-300);
        ASSERT_NEAR(envHigh[i][q], high[i][q], tol) << "node " << i << " quantity " << q;
        ASSERT_NEAR(envLow[i][q], low[i][q], tol) << "node " << i << " quantity " << q;
      }
    }
    // Between the nodes: every sample, with the same exact values in each pattern.
    ASSERT_EQ(env.samples.size(), env.elements.size() * 3);
    auto sampleRange = [](const EnvelopeSample& s, int q) {
      return std::array{s.deflection, s.rotation, s.shear, s.moment}[static_cast<size_t>(q)];
    };
    for (size_t i = 0; i < env.samples.size(); ++i) {
      for (int q = 0; q < 4; ++q) {
        const double tol = 1e-7 * std::max(sampleScale[q], 1e-300);
        ASSERT_NEAR(sampleRange(env.samples[i], q).max, sampleHigh[i][q], tol) << "sample " << i;
        ASSERT_NEAR(sampleRange(env.samples[i], q).min, sampleLow[i][q], tol) << "sample " << i;
      }
    }
    // Each extreme (between nodes too), and the pattern named for it gives it.
    for (int k = 0; k < kEnvelopeExtremeCount; ++k) {
      const double tol = 1e-7 * std::max(std::abs(extreme[k & ~1]), std::abs(extreme[k | 1]));
      EXPECT_NEAR(env.extremes[k].value, extreme[k], tol) << "extreme " << k;
      unsigned mask = 0;
      for (int32_t s : env.extremes[k].spansOnMax) mask |= 1u << s;
      EXPECT_NEAR(patternExtremes[mask][k], extreme[k], tol) << "pattern of extreme " << k;
    }
  }
  EXPECT_GE(tested, 40);
}

TEST(LiveLoadEnvelopeTest, SpansAreCutByDeflectionSupportsOnly) {
  const std::vector<CSupportItem> supports = {
      {.m_dX = 4, .m_bDisp = 1}, {.m_dX = 20, .m_bDisp = 1},
      {.m_dX = 12, .m_bRotation = 1},  // holds no deflection: no cut
      {.m_dX = 4, .m_bDisp = 1}};
  const auto spans = LiveLoadSpans(supports, 26);
  ASSERT_EQ(spans.size(), 3u);
  EXPECT_EQ(spans[0].start, 0);
  EXPECT_EQ(spans[0].end, 4);
  EXPECT_EQ(spans[1].end, 20);
  EXPECT_EQ(spans[2].end, 26);
  // Supports at both ends: no empty overhang.
  EXPECT_EQ(LiveLoadSpans({{.m_dX = 0, .m_bDisp = 1}, {.m_dX = 10, .m_bDisp = 1}}, 10).size(), 1u);
  EXPECT_EQ(LiveLoadSpans({}, 10).size(), 1u);  // springs only: one span
  // A load at a support belongs to the span on its right; at the right end to the last span.
  EXPECT_EQ(SpanOfPosition(spans, 4), 1);
  EXPECT_EQ(SpanOfPosition(spans, 3.999), 0);
  EXPECT_EQ(SpanOfPosition(spans, 26), 2);
  EXPECT_EQ(SpanOfPosition(spans, 0), 0);
}

TEST(LiveLoadEnvelopeTest, AModelWithoutALiveLoadLineHasNoEnvelope) {
  const auto doc = RunLines({"Member Property: X = 0; E = 2000; I = 50;", "Support: X = 0; Disp = 0;",
                        "Support: X = 10; Disp = 0;", "Uniform Load: XStart = 0; XEnd = 10; "
                                                      "UStart = -1; UEnd = -1;"});
  EXPECT_TRUE(doc->GetEnvelope().empty());
}

// ---- Influence lines ----

InfluenceLine Influence(const CSPLX_30Doc& doc, InfluenceQuantity q, double x) {
  return ComputeInfluenceLine(doc.GetAnalysis(), doc.GetSprings(), q, x);
}

TEST(InfluenceLineTest, MidSpanMomentOfASimpleSpanIsATriangleWithPeakLOver4) {
  const double L = 12;
  const auto doc = RunLines({"Member Property: X = 0; E = 2000; I = 50;", "Support: X = 0; Disp = 0;",
                        "Support: X = 12; Disp = 0;", "Point Load: X = 6; PLoad = 0;"});
  const InfluenceLine line = Influence(*doc, InfluenceQuantity::kMoment, 6);
  ASSERT_EQ(line.error, "");
  EXPECT_EQ(line.x, 6);
  ASSERT_EQ(line.points.size(), size_t(doc->GetAnalysis().m_nNodes));
  for (const InfluencePoint& p : line.points) {
    const double expected = p.x <= L / 2 ? p.x / 2 : (L - p.x) / 2;  // sagging positive
    EXPECT_NEAR(p.value, expected, 1e-7 * L / 4) << p.x;
  }
  EXPECT_NEAR(std::max_element(line.points.begin(), line.points.end(),
                               [](auto& a, auto& b) { return a.value < b.value; })
                  ->value,
              L / 4, 1e-7 * L / 4);
}

TEST(InfluenceLineTest, EndReactionOfAProppedCantilever) {
  const double L = 10;
  const auto doc = RunLines({"Member Property: X = 0; E = 2000; I = 50;",
                        "Support: X = 0; Disp = 0; Rotation = 0;", "Support: X = 10; Disp = 0;"});
  const InfluenceLine line = Influence(*doc, InfluenceQuantity::kReactionVert, 10);
  ASSERT_EQ(line.error, "");
  for (const InfluencePoint& p : line.points) {
    const double xi = p.x;  // from the fixed end
    EXPECT_NEAR(p.value, xi * xi * (3 * L - xi) / (2 * L * L * L), 1e-8) << xi;
  }
  EXPECT_NEAR(line.points.back().value, 1, 1e-12);  // the load straight on the support
}

TEST(InfluenceLineTest, MiddleReactionOfATwoSpanContinuousBeam) {
  const double L = 8;
  const auto doc = RunLines({"Member Property: X = 0; E = 2000; I = 50;", "Support: X = 0; Disp = 0;",
                        "Support: X = 8; Disp = 0;", "Support: X = 16; Disp = 0;"});
  const InfluenceLine line = Influence(*doc, InfluenceQuantity::kReactionVert, 8.02);  // the nearest node
  ASSERT_EQ(line.error, "");
  EXPECT_EQ(line.x, 8);
  for (const InfluencePoint& p : line.points) {
    const double xi = p.x <= L ? p.x : 2 * L - p.x;  // symmetric
    EXPECT_NEAR(p.value, xi * (3 * L * L - xi * xi) / (2 * L * L * L), 1e-8) << p.x;
  }
  const InfluenceLine none = Influence(*doc, InfluenceQuantity::kReactionRot, 8);
  EXPECT_EQ(none.error,
            "There is no support or spring restraining the rotation at the node nearest the "
            "position: give the position of a support or spring.");
  EXPECT_TRUE(none.points.empty());
}

// Every quantity at several points of a beam with an overhang, a hinge and springs, against
// ordinary runs with the unit load standing at a node.
TEST(InfluenceLineTest, EveryQuantityEqualsOrdinaryRunsWithTheUnitLoad) {
  const std::vector<double> stations = {0, 3, 5, 9, 12, 15, 18, 22};
  auto lines = [&](double loaded) {
    std::vector<std::string> l = {"Member Property: X = 0; E = 2000; I = 50;",
                                  "Member Property: X = 9; E = 2000; I = 90;",
                                  "Support: X = 3; Disp = 0; Rotation = 0;",
                                  "Support: X = 12; Disp = 0;", "Moment Release: X = 9;",
                                  "Spring: X = 18; VSpring = 20; RSpring = 500;"};
    for (double x : stations) {
      l.push_back("Point Load: X = " + Num(x) + "; PLoad = " + (x == loaded ? "-1" : "0") + ";");
    }
    return l;
  };
  const auto doc = RunLines(lines(-1));
  struct Probe {
    InfluenceQuantity q;
    double at;
  };
  const Probe probes[] = {
      {InfluenceQuantity::kDeflection, 22},  {InfluenceQuantity::kRotation, 15},
      {InfluenceQuantity::kShear, 12},       {InfluenceQuantity::kShear, 22},
      {InfluenceQuantity::kMoment, 3},       {InfluenceQuantity::kMoment, 9},
      {InfluenceQuantity::kMoment, 15},      {InfluenceQuantity::kReactionVert, 3},
      {InfluenceQuantity::kReactionRot, 3},  {InfluenceQuantity::kReactionVert, 18},
      {InfluenceQuantity::kReactionRot, 18}, {InfluenceQuantity::kReactionVert, 12}};
  for (const Probe& probe : probes) {
    const InfluenceLine line = Influence(*doc, probe.q, probe.at);
    ASSERT_EQ(line.error, "");
    for (double xi : stations) {
      const auto run = RunLines(lines(xi));
      const CBeamAnalysis& a = run->GetAnalysis();
      const int32_t i = (a.FindDof(probe.at) + 1) / 2;
      const bool last = i == a.m_nNodes;
      const BeamElement& right = a.m_elements[last ? i - 1 : i];
      double expected = 0;
      switch (probe.q) {
        case InfluenceQuantity::kDeflection: expected = a.m_nodes[i].deflection; break;
        case InfluenceQuantity::kRotation: expected = a.m_nodes[i].rotation; break;
        case InfluenceQuantity::kShear: expected = last ? -right.shearEnd : right.shearStart; break;
        case InfluenceQuantity::kMoment: expected = last ? -right.momentEnd : right.momentStart; break;
        case InfluenceQuantity::kReactionVert: expected = a.m_nodes[i].reactionVert; break;
        case InfluenceQuantity::kReactionRot: expected = a.m_nodes[i].reactionRot; break;
      }
      const int32_t j = (a.FindDof(xi) + 1) / 2;
      EXPECT_NEAR(line.points[j - 1].value, expected, 1e-8 * (1 + std::abs(expected)))
          << InfluenceQuantityName(probe.q) << " at " << probe.at << ", load at " << xi;
    }
  }
}

TEST(InfluenceLineTest, QuantityNames) {
  for (const char* name :
       {"deflection", "rotation", "shear", "moment", "reaction-vert", "reaction-rot"}) {
    const auto q = InfluenceQuantityFromName(name);
    ASSERT_TRUE(q.has_value()) << name;
    EXPECT_EQ(InfluenceQuantityName(*q), name);
  }
  EXPECT_FALSE(InfluenceQuantityFromName("Moment").has_value());
  EXPECT_FALSE(InfluenceQuantityFromName("reaction").has_value());
}

}  // namespace
}  // namespace spanlab

namespace spanlab {
namespace {

// Live loads whose values overflow: the envelope runs the single analysis's tests (A4: no
// envelope; A2: deflections larger than the beam), the log shows the line after the analysis's,
// and the run counts as failed. Each case was once an exit 0 with zeros, equal extremes or nulls.
TEST(LiveLoadEnvelope, OverflowingLiveLoadsAreErrorsNotZeros) {
  const struct {
    std::vector<std::string> lines;
    const char* message;
    bool envelope;  // the envelope stays (A2) or is gone (A4)
  } cases[] = {
      {{"Support: X = 10; Disp = 0;", "Uniform Load: XStart = 0; XEnd = 20; UStart = -1; UEnd = -1;",
        "Live Load: U = -1e300; LiveFactor = 1e10;"},
       CBeamAnalysis::kMessageA4, false},
      {{"Live Load: U = -1e308;"}, CBeamAnalysis::kMessageA4, false},
      {{"Point Load: X = 5; PLoad = -1;", "Live Load: U = -1; DeadMin = 1e308;"},
       CBeamAnalysis::kMessageA4, false},
      {{"Live Load: U = -1e200;"}, CBeamAnalysis::kMessageA2, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines.back());
    std::vector<std::string> lines = {"File Format:3.0", "Units: Consistent;",
                                      "Member Property: X = 0; E = 2000; I = 50;",
                                      "Support: X = 0; Disp = 0;", "Support: X = 20; Disp = 0;"};
    lines.insert(lines.end(), c.lines.begin(), c.lines.end());
    CSPLX_30Doc doc;
    doc.SetLines(nullptr, lines);
    const RunLog run = RunModel(doc);
    EXPECT_EQ(run.errors, 0);
    const LiveLoadEnvelope& env = doc.GetEnvelope();
    EXPECT_TRUE(env.error);
    EXPECT_EQ(env.messages, std::vector<std::string>{c.message});
    EXPECT_EQ(env.empty(), !c.envelope);
    // The single analysis is sound; the envelope's line follows its equilibrium line.
    EXPECT_EQ(doc.GetAnalysis().m_bError, 0);
    const size_t equilibrium = run.text.find(" Equilibrium error:");
    EXPECT_NE(run.text.find(std::string(c.message) + "\r\nAnalysis Complete"), std::string::npos);
    EXPECT_LT(equilibrium, run.text.find(c.message));
  }
  // The same loads as ordinary uniform loads get the same lines from the single analysis.
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, {"File Format:3.0", "Units: Consistent;",
                         "Member Property: X = 0; E = 2000; I = 50;", "Support: X = 0; Disp = 0;",
                         "Support: X = 20; Disp = 0;",
                         "Uniform Load: XStart = 0; XEnd = 20; UStart = -1e200; UEnd = -1e200;"});
  RunModel(doc);
  EXPECT_EQ(doc.GetAnalysis().m_messages[1], CBeamAnalysis::kMessageA2);
}

}  // namespace
}  // namespace spanlab
