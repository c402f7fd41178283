// Moving loads against ordinary runs: the vehicle's axles written as point loads at a position,
// run as any model. Every envelope value must be reached by an ordinary run with the vehicle
// where the envelope says it stands, and no position of a fine stepping of the vehicle (and of
// its variable gap) may give more. Both to 1e-8 of scale: the ordinary runs' own round-off on
// these beams reaches 1e-9 of scale.
#include "analysis/moving_load.h"

#include <gtest/gtest.h>


#include <algorithm>
#include <cmath>
#include <cstdlib>
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

std::unique_ptr<CSPLX_30Doc> RunLines(std::vector<std::string> lines) {
  auto doc = std::make_unique<CSPLX_30Doc>();
  lines.insert(lines.begin(), "File Format:3.0");
  doc->SetLines(nullptr, std::move(lines));
  const RunLog run = RunModel(*doc);
  EXPECT_EQ(run.errors, 0) << run.text;
  return doc;
}

// The shear and moment just right of x (inside the element starting at or holding x).
BeamValues RightOf(const CBeamAnalysis& a, double x) {
  int32_t e = 1;
  while (e < a.m_nElements && a.m_elements[e].xEnd <= x) ++e;
  const ElementSolution el(a, e);
  return el.At(x - el.XStart());
}

// The values an ordinary run gives at the envelope's points: per node deflection, rotation,
// vertical and rotational reaction (0 where the run has no node there); per element the
// diagram's shear and moment just right of its start and just left of its end.
struct Values {
  std::vector<std::array<double, 4>> nodes;
  std::vector<std::array<double, 4>> elements;
};

Values ValuesOf(const CBeamAnalysis& a, const MovingLoadEnvelope& env) {
  Values v;
  for (const MovingNode& n : env.nodes) {
    const BeamValues at = ValuesAt(a, n.x);
    const int32_t node = (a.FindDof(n.x) + 1) / 2;
    const bool there = node >= 1 && std::fabs(a.m_nodes[node].x - n.x) < 1e-12;
    v.nodes.push_back({at.deflection, at.rotation, there ? a.m_nodes[node].reactionVert : 0,
                       there ? a.m_nodes[node].reactionRot : 0});
  }
  double x0 = 0;
  for (const MovingElement& e : env.elements) {
    const BeamValues right = RightOf(a, x0), left = ValuesAt(a, e.xEnd);
    v.elements.push_back({right.shear, right.moment, left.shear, left.moment});
    x0 = e.xEnd;
  }
  return v;
}

struct RandomMoving {
  std::vector<std::string> lines;
  double shortest = 1e9, length = 0;
  bool variable = false;

  explicit RandomMoving(std::mt19937& rng) {
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    lines = {"Units: Consistent;", "Member Property: X = 0; E = 2000; I = 50;"};
    const int supports = pick(2, 4);
    double x = pick(0, 2) == 0 ? pick(2, 4) : 0;
    if (x > 0) shortest = x;
    for (int s = 0; s < supports; ++s) {
      std::string line = "Support: X = " + Num(x) + "; Disp = 0;";
      if (s == 0 && pick(0, 3) == 0) line += " Rotation = 0;";
      lines.push_back(line);
      const int span = pick(6, 14);
      if (s + 1 < supports) shortest = std::min<double>(shortest, span), x += span;
    }
    length = pick(0, 1) ? x + pick(2, 5) : x;
    if (length > x) shortest = std::min(shortest, length - x);
    lines.push_back("Member Property: X = " + Num(length) + "; E = 2000; I = 50;");
    if (pick(0, 2) == 0)
      lines.push_back("Spring: X = " + Num(std::floor(length * 0.6) + 0.5) + "; VSpring = 800;");
    if (pick(0, 2) == 0) lines.push_back("Moment Release: X = " + Num(std::floor(length / 3) + 0.5) + ";");
    const int axles = pick(1, 3);
    std::string list, spacing;
    for (int i = 0; i < axles; ++i) {
      list += (i ? ", " : "") + Num(-pick(1, 6));
      if (i == 0) continue;
      const int gap = pick(1, 5);
      if (i == 1 && axles == 3 && pick(0, 1)) {
        variable = true;
        spacing += (i > 1 ? ", " : "") + Num(gap) + ".." + Num(gap + pick(1, 4));
      } else {
        spacing += (i > 1 ? ", " : "") + Num(gap);
      }
    }
    lines.push_back("Vehicle: Name = V; Axles = " + list + ";" +
                    (axles > 1 ? " Spacing = " + spacing + ";" : std::string()));
  }
  // The beam with the vehicle standing at `at` (its axles as point loads, no Vehicle line).
  std::vector<std::string> Standing(const CVehicleItem& v, const VehiclePosition& at,
                                    bool dropEnds = false) const {
    std::vector<std::string> out(lines.begin(), lines.end() - 1);
    for (const CPointLoadItem& p : VehicleAxleLoads(v, at, length)) {
      if (dropEnds && (std::fabs(p.m_dX) < 1e-9 || std::fabs(p.m_dX - length) < 1e-9)) continue;
      out.push_back("Point Load: X = " + Num(p.m_dX) + "; PLoad = " + Num(p.m_dPLoad) + ";");
    }
    return out;
  }
  // The values of the runs that stand for a position: the vehicle as it stands and, when an
  // axle stands on an end of the beam, without it (the limit as the axle leaves the beam).
  std::vector<Values> RunsAt(const CVehicleItem& v, const VehiclePosition& at,
                             const MovingLoadEnvelope& env) const {
    std::vector<Values> runs;
    for (const bool drop : {false, true}) {
      const auto lines = Standing(v, at, drop);
      if (drop && lines == Standing(v, at)) break;
      runs.push_back(ValuesOf(RunLines(lines)->GetAnalysis(), env));
    }
    return runs;
  }
};

// Of `values`, the one nearest `want`.
double Nearest(double want, const std::vector<double>& values) {
  double best = values.front();
  for (const double v : values) {
    if (std::fabs(v - want) < std::fabs(best - want)) best = v;
  }
  return best;
}

TEST(MovingLoadTest, EveryValueIsReachedWhereItsVehicleStandsAndNoSteppedPositionGivesMore) {
  std::mt19937 rng(28);
  int tested = 0, variable = 0;
  for (int model = 0; model < 8; ++model) {
    const RandomMoving m(rng);
    std::string all; for (auto& l : m.lines) all += l + "\n";
    SCOPED_TRACE("model " + std::to_string(model) + ":\n" + all);
    const auto doc = RunLines(m.lines);
    if (!doc->GetAnalysis().CanSolveLoadCases()) continue;  // a mechanism
    ++tested, variable += m.variable;
    const MovingLoadEnvelope env = ComputeMovingLoadEnvelope(doc->GetAnalysis(), doc->GetItems());
    ASSERT_FALSE(env.empty());
    const CVehicleItem& vehicle = doc->GetItems().m_vehicles.front();
    // The envelope's values in the order of Values, and their scales.
    std::vector<std::array<const MovingRange*, 4>> nodeRanges, elementRanges;
    std::array<double, 4> nodeScale{}, elementScale{};
    for (const MovingNode& n : env.nodes) {
      nodeRanges.push_back({&n.deflection, &n.rotation, &n.reactionVert, &n.reactionRot});
      for (int k = 0; k < 4; ++k)
        nodeScale[k] = std::max({nodeScale[k], std::fabs(nodeRanges.back()[k]->max.value),
                                 std::fabs(nodeRanges.back()[k]->min.value)});
    }
    for (const MovingElement& e : env.elements) {
      elementRanges.push_back({&e.shearStart, &e.momentStart, &e.shearEnd, &e.momentEnd});
      for (int k = 0; k < 4; ++k)
        elementScale[k] = std::max({elementScale[k], std::fabs(elementRanges.back()[k]->max.value),
                                    std::fabs(elementRanges.back()[k]->min.value)});
    }
    // The element ends' end forces as diagram values (the right end's is minus the force).
    const auto diagram = [](int k, double v) { return k >= 2 ? -v : v; };
    // 1. Each value is reached where its vehicle stands (an ordinary run), every quantity.
    int reproduced = 0;
    const auto check = [&](const MovingValue& want, double got, double scale, const char* what) {
      EXPECT_NEAR(got, want.value, 1e-8 * scale + 1e-300) << what << " front " << want.at.front;
      ++reproduced;
    };
    for (size_t i = 0; i < env.nodes.size(); i += 7) {
      for (int k = 0; k < 4; ++k) {
        if (k == 1) continue;  // (a hinge's node has two rotations; stepping below checks it)
        if (k >= 2 && !env.nodes[i].hasReaction) continue;
        for (const MovingValue* x : {&nodeRanges[i][k]->max, &nodeRanges[i][k]->min}) {
          if (x->at.vehicle < 0) continue;
          std::vector<double> got;
          for (const Values& v : m.RunsAt(vehicle, x->at, env)) got.push_back(v.nodes[i][k]);
          check(*x, Nearest(x->value, got), nodeScale[k], "node");
        }
      }
    }
    for (size_t i = 0; i < env.elements.size(); i += 5) {
      for (int k = 0; k < 4; ++k) {
        for (const MovingValue* x : {&elementRanges[i][k]->max, &elementRanges[i][k]->min}) {
          if (x->at.vehicle < 0) continue;
          // A shear's value may be the limit with an axle just beside its point: the run has
          // that axle on the other side of it (or a rounding away from the point).
          const double x0 = k < 2 ? (i == 0 ? 0 : env.elements[i - 1].xEnd) : env.elements[i].xEnd;
          double onPoint = 0;
          for (const CPointLoadItem& p : VehicleAxleLoads(vehicle, x->at, m.length))
            onPoint += std::fabs(p.m_dX - x0) < 1e-9 ? p.m_dPLoad : 0;
          std::vector<double> got, with;
          const int companion = k % 2 == 0 ? k + 1 : k - 1;
          for (const Values& v : m.RunsAt(vehicle, x->at, env)) {
            for (const double side : {0.0, -onPoint, onPoint}) {
              if (side != 0 && k % 2 != 0) continue;
              got.push_back(diagram(k, v.elements[i][k] + side));
            }
            for (const double side : {0.0, -onPoint, onPoint}) {
              if (side == 0 || companion % 2 == 0) with.push_back(v.elements[i][companion] + side);
            }
          }
          check(*x, Nearest(x->value, got), elementScale[k], "element end");
          // The value acting with it (a diagram value, at either end): the moment with a shear,
          // the shear with a moment.
          EXPECT_NEAR(x->coincident, Nearest(x->coincident, with),
                      1e-8 * elementScale[companion] + 1e-300);
        }
      }
    }
    EXPECT_GT(reproduced, 10);
    // 2. No stepped position (and gap) gives more: steps of 1/40 of the shortest span, or of
    // 1/SPANLAB_MOVING_STEPS of it (the closer check, 1/1000, is run by hand). Within 1e-7 of
    // scale: an ordinary run's own shear near a free end can be 3e-8 of scale off its exact 0.
    const double tol = 1e-7;
    double vehicleLength = 0;  // (the longest it may be)
    for (double sp : vehicle.m_spacings) vehicleLength += sp;
    if (vehicle.m_nVariableGap >= 0)
      vehicleLength += vehicle.m_dVariableMax - vehicle.m_spacings[static_cast<size_t>(vehicle.m_nVariableGap)];
    const char* steps = std::getenv("SPANLAB_MOVING_STEPS");
    const double step = m.shortest / (steps ? std::max(1, std::atoi(steps)) : 40);
    for (const bool backward : {false, true}) {
      const int gaps = vehicle.m_nVariableGap >= 0 ? 2 : 1;
      for (int g = 0; g < gaps; ++g) {
        VehiclePosition at{0, backward, 0, 0};
        if (gaps > 1) {
          const double lo = vehicle.m_spacings[static_cast<size_t>(vehicle.m_nVariableGap)];
          at.gap = lo + (vehicle.m_dVariableMax - lo) * (g + 0.37) / gaps;
        }
        for (double s = backward ? -vehicleLength : 0; s <= m.length + (backward ? 0 : vehicleLength);
             s += step * (1 + 0.3 * (g % 2))) {
          at.front = s;
          const auto run = RunLines(m.Standing(vehicle, at));
          const Values v = ValuesOf(run->GetAnalysis(), env);
          for (size_t i = 0; i < env.nodes.size(); ++i) {
            for (int k = 0; k < 4; ++k) {
              if ((k >= 2 && !env.nodes[i].hasReaction) || k == 1) continue;
              ASSERT_LE(v.nodes[i][k], nodeRanges[i][k]->max.value + tol * nodeScale[k]) << i << k;
              ASSERT_GE(v.nodes[i][k], nodeRanges[i][k]->min.value - tol * nodeScale[k]) << i << k;
            }
          }
          for (size_t i = 0; i < env.elements.size(); ++i) {
            for (int k = 0; k < 4; ++k) {
              const double d = diagram(k, v.elements[i][k]);  // as the range: end forces
              const MovingRange& r = *elementRanges[i][k];
              ASSERT_LE(d, r.max.value + tol * elementScale[k]) << " element " << i << " " << k << " s " << s;
              ASSERT_GE(d, r.min.value - tol * elementScale[k]) << "element " << i << " " << k << " s " << s;
            }
          }
        }
      }
    }
  }
  EXPECT_GE(tested, 6);
  EXPECT_GE(variable, 1);
}

// A lane load alone (a vehicle of one axle of 0) is the live-load envelope of a Live Load line of
// that intensity with no other load, computed by the ordinary run (to 1e-9 of scale: the two
// solve the same beam with and without a load line, whose round-off differ by some 1e-11).
TEST(MovingLoadTest, ALaneLoadAloneIsTheLiveLoadEnvelopeOfItsIntensity) {
  const std::vector<std::string> beam = {
      "Units: Consistent;", "Member Property: X = 0; E = 2000; I = 50;",
      "Support: X = 2; Disp = 0;", "Support: X = 12; Disp = 0; Rotation = 0;",
      "Spring: X = 18; VSpring = 900;", "Support: X = 26; Disp = 0;",
      "Member Property: X = 30; E = 2000; I = 50;"};
  std::vector<std::string> moving = beam, live = beam;
  moving.push_back("Vehicle: Name = L; Axles = 0; Lane = -1.5;");
  live.push_back("Live Load: U = -1.5; DeadMax = 0; DeadMin = 0;");
  const auto m = RunLines(moving), l = RunLines(live);
  const MovingLoadEnvelope env = ComputeMovingLoadEnvelope(m->GetAnalysis(), m->GetItems());
  const LiveLoadEnvelope& want = l->GetEnvelope();
  ASSERT_EQ(env.nodes.size(), want.nodes.size());
  ASSERT_EQ(env.elements.size(), want.elements.size());
  double scale = 0;
  for (const EnvelopeElement& e : want.elements)
    scale = std::max({scale, std::fabs(e.momentStart.max), std::fabs(e.momentStart.min)});
  ASSERT_GT(scale, 1);
  const auto same = [](const MovingRange& got, const EnvelopeRange& w, double s) {
    EXPECT_NEAR(got.max.value, w.max, 1e-9 * s);
    EXPECT_NEAR(got.min.value, w.min, 1e-9 * s);
  };
  for (size_t i = 0; i < env.nodes.size(); ++i) {
    same(env.nodes[i].reactionVert, want.nodes[i].reactionVert, scale);
    same(env.nodes[i].deflection, want.nodes[i].deflection, 1);
  }
  for (size_t e = 0; e < env.elements.size(); ++e) {
    same(env.elements[e].momentStart, want.elements[e].momentStart, scale);
    same(env.elements[e].momentEnd, want.elements[e].momentEnd, scale);
    same(env.elements[e].shearStart, want.elements[e].shearStart, scale);
    same(env.elements[e].shearEnd, want.elements[e].shearEnd, scale);
  }
}

}  // namespace
}  // namespace spanlab
