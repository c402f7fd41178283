// Load combinations against plain runs: every combination written out as a model of factored
// loads (and, where it is patterned, every arrangement of the live load over the spans), run as
// an ordinary model; the envelopes over the combinations of each kind, their governing
// combinations, the span extremes the checks read, and the checks' pass/fail at their limits.
//
// Models are written in Consistent units, so values in the lines are the internal ones. The
// tolerance is that of the live-load envelope's tests: 1e-7 of each quantity's scale.
#include "analysis/design.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "analysis/element_values.h"
#include "model/number_text.h"
#include "run/document.h"
#include "run/run_driver.h"

namespace spanlab {
namespace {

std::string Num(double v) { return v == 0 ? "0" : FormatGeneral(v, 17); }

std::unique_ptr<CSPLX_30Doc> RunLines(std::vector<std::string> lines, RunLog* log = nullptr) {
  auto doc = std::make_unique<CSPLX_30Doc>();
  lines.insert(lines.begin(), "File Format:3.0");
  doc->SetLines(nullptr, std::move(lines));
  const RunLog run = RunModel(*doc);
  EXPECT_EQ(run.errors, 0) << run.text;
  if (log) *log = run;
  return doc;
}

struct Load {
  double x1, x2, u1, u2;  // a point load when x1 == x2 (u1 the force, u2 the moment)
  std::string caseName;
};

struct Combination {
  std::string name;
  bool service;
  std::vector<std::pair<std::string, double>> factors;
  double Factor(const std::string& c) const {
    for (const auto& [n, f] : factors) {
      if (n == c) return f;
    }
    return 0;
  }
};

// A random beam of 1 to 4 spans (overhangs, a fixed end, a hinge, a spring, a settlement) with
// loads in cases D, S and L, a Live Load line of case L, and 2 to 5 combinations of both kinds.
struct RandomDesign {
  std::vector<std::string> structure;
  std::vector<double> bounds;  // span ends
  std::vector<Load> loads;
  double length = 0, u = 0;
  std::vector<Combination> combinations;

  explicit RandomDesign(std::mt19937& rng) {
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int supports = pick(2, 4);
    const bool overhang = pick(0, 2) == 0;
    double x = overhang ? pick(2, 4) : 0;
    std::vector<double> cuts;
    structure = {"Units: Consistent;", "Member Property: X = 0; E = 2000; I = 50;"};
    for (int s = 0; s < supports; ++s) {
      cuts.push_back(x);
      std::string line = "Support: X = " + Num(x) + "; Disp = " +
                         (pick(0, 4) == 0 ? Num(-0.003) : std::string("0")) + ";";
      if (s == 0 && pick(0, 3) == 0) line += " Rotation = 0;";
      structure.push_back(line);
      x += pick(6, 14);
    }
    length = pick(0, 1) ? cuts.back() + pick(2, 5) : cuts.back();
    structure.push_back("Member Property: X = " + Num(length) + "; E = 2000; I = 50;");
    if (pick(0, 2) == 0) {
      structure.push_back("Spring: X = " + Num(std::floor(length * 0.6) + 0.5) +
                          "; VSpring = " + Num(pick(200, 2000)) + ";");
    }
    if (pick(0, 2) == 0) structure.push_back("Moment Release: X = " + Num(cuts[0] + 1.5) + ";");
    bounds = {0};
    for (double c : cuts) {
      if (c > bounds.back() && c < length) bounds.push_back(c);
    }
    bounds.push_back(length);
    const char* cases[] = {"D", "S", "L"};
    for (int i = pick(2, 6); i > 0; --i) {
      const std::string c = cases[pick(0, 2)];
      if (pick(0, 1)) {
        const double at = pick(0, int(length));
        loads.push_back({at, at, double(pick(-5, 2)), double(pick(-2, 2)), c});
      } else {
        const double a = pick(0, int(length) - 1), b = pick(int(a) + 1, int(length));
        loads.push_back({a, b, pick(-10, 3) * 0.1, pick(-10, 3) * 0.1, c});
      }
    }
    u = pick(-10, -1) * 0.1;
    const int count = pick(2, 5);
    for (int i = 0; i < count; ++i) {
      Combination c{"C" + std::to_string(i), i == count - 1 || pick(0, 3) == 0, {}};
      for (const char* name : cases) {
        if (pick(0, 3) == 0) continue;
        c.factors.emplace_back(name, pick(-5, 16) * 0.1);
      }
      combinations.push_back(c);
    }
  }

  static std::string LoadLine(const Load& l, double f, const std::string& caseField = "") {
    if (l.x1 == l.x2) {
      return "Point Load: X = " + Num(l.x1) + "; PLoad = " + Num(f * l.u1) +
             "; Moment = " + Num(f * l.u2) + ";" + caseField;
    }
    return "Uniform Load: XStart = " + Num(l.x1) + "; XEnd = " + Num(l.x2) + "; UStart = " +
           Num(f * l.u1) + "; UEnd = " + Num(f * l.u2) + ";" + caseField;
  }

  std::vector<std::string> Model(const std::vector<std::string>& checks = {}) const {
    std::vector<std::string> lines = structure;
    for (const Load& l : loads) lines.push_back(LoadLine(l, 1, " Case = " + l.caseName + ";"));
    lines.push_back("Live Load: U = " + Num(u) + ";");
    for (const Combination& c : combinations) {
      std::string line = c.service ? "Service Combination: Name = " : "Load Combination: Name = ";
      line += c.name + ";";
      for (const auto& [n, f] : c.factors) line += " " + n + " = " + Num(f) + ";";
      lines.push_back(line);
    }
    lines.insert(lines.end(), checks.begin(), checks.end());
    return lines;
  }

  size_t SpanOf(double x) const {
    size_t k = 0;
    while (k + 2 < bounds.size() && bounds[k + 1] <= x) ++k;
    return k;
  }

  // The plain model of combination c with the live load on the spans of `mask` (every load line
  // kept, so that both runs place the same nodes).
  std::vector<std::string> Plain(const Combination& c, unsigned mask) const {
    const double fl = c.Factor("L");
    const bool patterned = fl != 0;
    const size_t spans = bounds.size() - 1;
    std::vector<std::string> lines = structure;
    for (const Load& l : loads) {
      const double f = c.Factor(l.caseName);
      if (l.caseName != "L" || !patterned) {
        lines.push_back(LoadLine(l, f));
      } else if (l.x1 == l.x2) {
        lines.push_back(LoadLine(l, (mask >> SpanOf(l.x1)) & 1 ? f : 0));
      } else {
        for (size_t k = 0; k < spans; ++k) {
          const double a = std::max(l.x1, bounds[k]), b = std::min(l.x2, bounds[k + 1]);
          if (!(a < b)) continue;
          const double slope = (l.u2 - l.u1) / (l.x2 - l.x1);
          lines.push_back(LoadLine({a, b, l.u1 + slope * (a - l.x1), l.u1 + slope * (b - l.x1), ""},
                                   (mask >> k) & 1 ? f : 0));
        }
      }
    }
    for (size_t k = 0; k < spans; ++k) {
      const double live = (mask >> k) & 1 ? fl * u : 0;
      lines.push_back("Uniform Load: XStart = " + Num(bounds[k]) + "; XEnd = " +
                      Num(bounds[k + 1]) + "; UStart = " + Num(live) + "; UEnd = " + Num(live) + ";");
    }
    return lines;
  }
};

// Node and element-end values of one run, and of an envelope's max or min.
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
std::array<double, 8> EnvelopeAt(const LiveLoadEnvelope& env, size_t i, bool max) {
  const EnvelopeNode& n = env.nodes[i];
  const EnvelopeElement& e = env.elements[std::min(i, env.elements.size() - 1)];
  auto pick = [max](const EnvelopeRange& r) { return max ? r.max : r.min; };
  return {pick(n.deflection), pick(n.rotation),    pick(n.reactionVert), pick(n.reactionRot),
          pick(e.shearStart), pick(e.shearEnd), pick(e.momentStart),  pick(e.momentEnd)};
}

// The governing combination the envelope names for value k at node/element i.
int32_t GoverningAt(const LiveLoadEnvelope& env, size_t i, int k, bool max) {
  const int column = 2 * (k % 4) + (max ? 0 : 1);
  if (k < 4) return env.nodeCombination[i][column];
  return env.elementCombination[std::min(i, env.elements.size() - 1)][column];
}

TEST(DesignTest, EnvelopesOverCombinationsEqualEveryPlainRunOnRandomModels) {
  std::mt19937 rng(27);
  int tested = 0;
  for (int model = 0; model < 25; ++model) {
    const RandomDesign m(rng);
    SCOPED_TRACE("model " + std::to_string(model));
    const auto doc = RunLines(m.Model({"Deflection Limit: Span = 360; Cantilever = 180;",
                                       "Capacity: Moment = 40; Shear = 9;"}));
    const DesignResults& d = doc->GetDesign();
    if (!doc->GetAnalysis().CanSolveLoadCases()) continue;  // a mechanism (a hinge on two supports)
    ++tested;
    ASSERT_EQ(d.combinations.size(), m.combinations.size());
    const size_t spans = m.bounds.size() - 1;
    for (const bool service : {false, true}) {
      const LiveLoadEnvelope& env = service ? d.service : d.strength;
      // Per combination and point: the plain runs' max and min.
      std::vector<std::vector<std::array<double, 8>>> hi, lo;
      std::vector<std::array<double, 8>> scale;
      std::vector<std::vector<std::array<double, 2>>> spanDeflection;  // per combination, span
      for (const Combination& c : m.combinations) {
        hi.emplace_back(), lo.emplace_back();
        spanDeflection.emplace_back(spans, std::array<double, 2>{-HUGE_VAL, HUGE_VAL});
        if (c.service != service) continue;
        const bool patterned = c.Factor("L") != 0;
        for (unsigned mask = 0; mask < (patterned ? 1u << spans : 1u); ++mask) {
          const auto run = RunLines(m.Plain(c, mask));
          const CBeamAnalysis& a = run->GetAnalysis();
          const auto v = Values(a);
          if (hi.back().empty()) hi.back() = lo.back() = v, scale.resize(v.size());
          for (size_t i = 0; i < v.size(); ++i) {
            for (int k = 0; k < 8; ++k) {
              hi.back()[i][k] = std::max(hi.back()[i][k], v[i][k]);
              lo.back()[i][k] = std::min(lo.back()[i][k], v[i][k]);
            }
          }
          // Dense samples of the deflection in each span (exact between nodes), and its values
          // at the nodes (a hinge's kink).
          for (size_t k = 0; k < spans; ++k) {
            auto& r = spanDeflection.back()[k];
            const auto take = [&r](double y) { r[0] = std::max(r[0], y), r[1] = std::min(r[1], y); };
            for (int j = 0; j <= 400; ++j) {
              take(ValuesAt(a, m.bounds[k] + (m.bounds[k + 1] - m.bounds[k]) * j / 400).deflection);
            }
            for (int32_t i = 1; i <= a.m_nNodes; ++i) {
              if (a.m_nodes[i].x >= m.bounds[k] && a.m_nodes[i].x <= m.bounds[k + 1])
                take(a.m_nodes[i].deflection);
            }
          }
        }
      }
      if (env.empty()) {
        for (const Combination& c : m.combinations) EXPECT_NE(c.service, service);
        continue;
      }
      ASSERT_EQ(env.nodes.size(), scale.size());
      for (size_t c = 0; c < hi.size(); ++c) {
        for (size_t i = 0; i < hi[c].size(); ++i) {
          for (int k = 0; k < 8; ++k) {
            auto& s = scale[k < 4 ? k : 4 + (k - 4) / 2 * 2];  // (shears, moments share one)
            s[0] = std::max({s[0], std::fabs(hi[c][i][k]), std::fabs(lo[c][i][k])});
          }
        }
      }
      for (size_t i = 0; i < env.nodes.size(); ++i) {
        for (int k = 0; k < 8; ++k) {
          const double tol = 1e-7 * scale[k < 4 ? k : 4 + (k - 4) / 2 * 2][0] + 1e-12;
          double want[2] = {-HUGE_VAL, HUGE_VAL};
          for (size_t c = 0; c < hi.size(); ++c) {
            if (hi[c].empty()) continue;
            want[0] = std::max(want[0], hi[c][i][k]);
            want[1] = std::min(want[1], lo[c][i][k]);
          }
          EXPECT_NEAR(EnvelopeAt(env, i, true)[k], want[0], tol) << "max " << k << " at " << i;
          EXPECT_NEAR(EnvelopeAt(env, i, false)[k], want[1], tol) << "min " << k << " at " << i;
          // The combination named gives that value.
          const int32_t gMax = GoverningAt(env, i, k, true), gMin = GoverningAt(env, i, k, false);
          ASSERT_GE(gMax, 0);
          ASSERT_FALSE(hi[static_cast<size_t>(gMax)].empty());
          EXPECT_NEAR(hi[static_cast<size_t>(gMax)][i][k], want[0], tol);
          EXPECT_NEAR(lo[static_cast<size_t>(gMin)][i][k], want[1], tol);
        }
      }
      // Each span's deflection extremes (what the deflection limit reads): at least every
      // sampled value, and no more than sampling can miss.
      if (!service && std::any_of(m.combinations.begin(), m.combinations.end(),
                                  [](const Combination& c) { return c.service; }))
        continue;
      double dScale = scale[0][0];
      for (size_t k = 0; k < spans; ++k) {
        double want[2] = {-HUGE_VAL, HUGE_VAL};
        for (size_t c = 0; c < hi.size(); ++c) {
          if (hi[c].empty()) continue;
          want[0] = std::max(want[0], spanDeflection[c][k][0]);
          want[1] = std::min(want[1], spanDeflection[c][k][1]);
        }
        const auto& x = env.regionExtremes.at(k);
        EXPECT_GE(x[kEnvelopeMaxDeflection].value, want[0] - 1e-9 * dScale) << "span " << k;
        EXPECT_LE(x[kEnvelopeMaxDeflection].value, want[0] + 1e-5 * dScale) << "span " << k;
        EXPECT_LE(x[kEnvelopeMinDeflection].value, want[1] + 1e-9 * dScale) << "span " << k;
        EXPECT_GE(x[kEnvelopeMinDeflection].value, want[1] - 1e-5 * dScale) << "span " << k;
      }
    }
    // One check per span for the deflection, two for the moment and one for the shear.
    EXPECT_EQ(d.checks.size(), 4 * spans);
  }
  EXPECT_GE(tested, 20);
}

// A simply supported span under a uniform load: the largest deflection 5 w L^4 / (384 EI) at
// midspan (between two nodes: 199 elements), moment w L^2 / 8, shear w L / 2. Each check passes
// just inside its limit and fails, with its warning line, just outside.
TEST(DesignTest, ChecksPassAndFailExactlyAtTheirLimits) {
  const double w = 1.25, L = 20, ei = 2000.0 * 50.0;
  const double deflection = 5 * w * std::pow(L, 4) / (384 * ei), moment = w * L * L / 8,
               shear = w * L / 2;
  for (const double margin : {1 + 1e-6, 1 - 1e-6}) {
    const std::vector<std::string> lines = {
        "Units: Consistent;",
        "Member Property: X = 0; E = 2000; I = 50;",
        "Support: X = 0; Disp = 0;",
        "Support: X = 20; Disp = 0;",
        "Uniform Load: XStart = 0; XEnd = 20; UStart = -1; UEnd = -1;",
        "Uniform Load: XStart = 0; XEnd = 20; UStart = -0.5; UEnd = -0.5; Case = S;",
        "Load Combination: Name = ULS; D = 0.75; S = 1;",
        "Service Combination: Name = SLS; D = 0.75; S = 1;",
        "Deflection Limit: Span = " + Num(L / (deflection * margin)) + ";",
        "Capacity: Moment = " + Num(moment * margin) + "; Shear = " + Num(shear * margin) +
            "; MomentNeg = 1;"};
    RunLog log;
    const auto doc = RunLines(lines, &log);
    const DesignResults& d = doc->GetDesign();
    ASSERT_EQ(d.checks.size(), 4u);
    const bool pass = margin > 1;
    for (const SpanCheck& c : d.checks) {
      if (c.kind == DesignCheckKind::kMomentNegative) {
        EXPECT_FALSE(c.exceeded);  // a simple span has no hogging moment
        continue;
      }
      EXPECT_EQ(c.exceeded, !pass) << int(c.kind) << " " << c.utilisation;
      EXPECT_NEAR(c.utilisation, 1 / margin, 1e-9) << int(c.kind);
      EXPECT_EQ(d.combinations[static_cast<size_t>(c.combination)].name,
                c.kind == DesignCheckKind::kDeflection ? "SLS" : "ULS");
      if (c.kind != DesignCheckKind::kShear) {
        EXPECT_NEAR(c.x, L / 2, 1e-6);
      }
    }
    EXPECT_EQ(log.warnings, pass ? 0 : 3) << log.text;
    EXPECT_EQ(log.text.find("Warning W6 - Span 1 deflects -") != std::string::npos, !pass)
        << log.text;
  }
}

// The texts of the warning lines, in each unit system's display units.
TEST(DesignTest, WarningLinesInDisplayUnits) {
  SpanCheck c;
  c.span = 1;
  c.kind = DesignCheckKind::kDeflection;
  c.value = -1.2345;
  c.limit = 1.0;
  c.divisor = 360;
  EXPECT_EQ(CheckWarningLine(c, kUnitsEnglish),
            "Warning W6 - Span 2 deflects -1.234 inches; its limit L/360 is 1.000 inches.");
  c.value = -0.0123, c.limit = 0.01;
  EXPECT_EQ(CheckWarningLine(c, kUnitsMetric),
            "Warning W6 - Span 2 deflects -12.300 mm; its limit L/360 is 10.000 mm.");
  c.kind = DesignCheckKind::kMomentNegative;
  c.value = -4950, c.limit = 4200;
  EXPECT_EQ(CheckWarningLine(c, kUnitsEnglish),
            "Warning W7 - Span 2 moment -412.500 kip ft exceeds its hogging capacity 350.000 kip "
            "ft.");
  c.kind = DesignCheckKind::kShear;
  c.span = 0, c.value = 95, c.limit = 90;
  EXPECT_EQ(CheckWarningLine(c, kUnitsConsistent),
            "Warning W8 - Span 1 shear 95.000 exceeds its capacity 90.000.");
}

}  // namespace
}  // namespace spanlab

namespace spanlab {
namespace {

// A factor that carries a result beyond the range of a double: the A4 line, no envelope, no
// checks (never infinities presented as results); a name no combination has: nothing.
TEST(DesignTest, OverflowingFactorGivesA4AndNoEnvelope) {
  RunLog log;
  const auto doc = RunLines({"Units: English;", "Member Property: X = 0; E = 29000; I = 1830;",
                             "Support: X = 0; Disp = 0;", "Support: X = 20; Disp = 0;",
                             "Uniform Load: XStart = 0; XEnd = 20; UStart = -1.2; UEnd = -1.2;",
                             "Load Combination: Name = OK; D = 1.4;",
                             "Load Combination: Name = BIG; D = 1e308;",
                             "Capacity: Moment = 100;"},
                            &log);
  const DesignResults& d = doc->GetDesign();
  EXPECT_TRUE(d.error);
  EXPECT_TRUE(d.strength.empty());
  EXPECT_TRUE(d.checks.empty());
  EXPECT_TRUE(doc->GetEnvelope().empty());
  EXPECT_NE(log.text.find(CBeamAnalysis::kMessageA4), std::string::npos) << log.text;
  EXPECT_EQ(CombinationEnvelope(doc->GetAnalysis(), doc->GetItems(), 7).nodes.size(), 0u);
}

}  // namespace
}  // namespace spanlab
