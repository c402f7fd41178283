// The live-load envelope with each span's change carried only as far as it matters, against
// the same envelope from full solutions of every change (the way it was computed before), on
// random beams of 1 to 3,000 spans: overhangs, fixed ends, hinges, soft and stiff springs,
// very stiff and very soft neighbouring properties, point loads, moments and varying loads.
// The governing patterns are checked by solving them whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "analysis/element_values.h"
#include "analysis/live_load.h"
#include "analysis/local_cases.h"
#include "model/number_text.h"
#include "run/document.h"
#include "run/run_driver.h"
#include "tests/analysis/quad_reference.h"

namespace spanlab {
namespace {

std::string Num(double v) { return v == 0 ? "0" : FormatGeneral(v, 17); }

struct Beam {
  std::vector<std::string> lines;
  std::vector<double> supports;  // deflection-held positions
  // Loads lie inside one span each, so a pattern scales each by its span's factor.
  std::vector<CPointLoadItem> points;
  std::vector<CUniformLoadItem> uniforms;
  double length = 0;
  CLiveLoadItem live;
};

Beam RandomBeam(std::mt19937& rng, int spans) {
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  Beam b;
  b.lines = {"File Format:3.0", "Units: Consistent;", "Member Property: X = 0; E = 2000; I = 50;"};
  const bool left = pick(0, 2) == 0, right = pick(0, 2) == 0;
  const int contrast = pick(0, 3);  // 0: uniform, else soft or stiff stretches
  double x = left ? pick(2, 5) : 0;
  for (int s = 0; s <= std::max(spans - int(left) - int(right), 1); ++s) {
    b.supports.push_back(x);
    std::string line = "Support: X = " + Num(x) + "; Disp = 0;";
    if ((s == 0 && pick(0, 2) == 0) || pick(0, 40) == 0) line += " Rotation = 0;";
    b.lines.push_back(line);
    x += pick(4, 20);
  }
  b.length = b.supports.size() == 1 || right ? b.supports.back() + pick(2, 6) : b.supports.back();
  for (size_t s = 0; s + 1 < b.supports.size(); ++s) {
    const double a = b.supports[s], c = b.supports[s + 1];
    if (contrast != 0 && pick(0, 6) == 0) {
      const double scale = contrast == 1 ? 1e-3 : contrast == 2 ? 1e3 : (pick(0, 1) ? 30 : 0.03);
      b.lines.push_back("Member Property: X = " + Num(a + 1) + "; E = 2000; I = " +
                        Num(50 * scale) + ";");
      b.lines.push_back("Member Property: X = " + Num(c - 1) + "; E = 2000; I = 50;");
    }
    // One hinge in at most every third interior span keeps the beam stable.
    if (s % 3 == 1 && pick(0, 2) == 0)
      b.lines.push_back("Moment Release: X = " + Num(a + 0.5 * (c - a)) + ";");
    if (pick(0, 5) == 0) {
      b.lines.push_back("Spring: X = " + Num(a + 0.25 * (c - a)) + "; VSpring = " +
                        Num(pick(0, 1) ? 0.05 : 5000) + "; RSpring = " +
                        Num(pick(0, 1) ? 0 : 1e5) + ";");
    }
    if (pick(0, 2) == 0) b.points.push_back({a + 0.5 * (c - a), -double(pick(1, 9)), pick(-2, 2) * 1.0});
    if (pick(0, 2) == 0)
      b.uniforms.push_back({a + 1, c - 1, -pick(1, 9) * 0.1, -pick(1, 9) * 0.1});
  }
  if (left) b.points.push_back({0, -2, 0});
  if (right) b.uniforms.push_back({b.supports.back(), b.length, -0.3, -0.6});
  b.lines.push_back("Member Property: X = " + Num(b.length) + "; E = 2000; I = 50;");
  for (const CPointLoadItem& p : b.points) {
    b.lines.push_back("Point Load: X = " + Num(p.m_dX) + "; PLoad = " + Num(p.m_dPLoad) +
                      "; Moment = " + Num(p.m_dMoment) + ";");
  }
  for (const CUniformLoadItem& u : b.uniforms) {
    b.lines.push_back("Uniform Load: XStart = " + Num(u.m_dXStart) + "; XEnd = " +
                      Num(u.m_dXEnd) + "; UStart = " + Num(u.m_dUStart) + "; UEnd = " +
                      Num(u.m_dUEnd) + ";");
  }
  b.live = {.m_dU = -pick(1, 9) * 0.1, .m_dLiveFactor = 1.6, .m_dDeadMax = 1.2,
            .m_dDeadMin = pick(0, 1) ? 0.9 : 0.0};
  b.lines.push_back("Live Load: U = " + Num(b.live.m_dU) + "; LiveFactor = 1.6; DeadMax = 1.2; "
                    "DeadMin = " + Num(b.live.m_dDeadMin) + ";");
  return b;
}

// Largest magnitude and largest difference of one kind of range.
struct Gap {
  double scale = 0, worst = 0;
  void Add(const EnvelopeRange& full, const EnvelopeRange& local) {
    scale = std::max({scale, std::fabs(full.max), std::fabs(full.min)});
    worst = std::max({worst, std::fabs(full.max - local.max), std::fabs(full.min - local.min)});
  }
  bool Within(double tolerance) const { return worst <= tolerance * scale; }
};

// The pattern an extreme names, solved over the whole beam: the value nearest the extreme's
// among the element ends and interior values at its position.
double PatternValue(const CBeamAnalysis& a, const Beam& b, const LiveLoadEnvelope& env,
                    int kind) {
  const EnvelopeExtreme& x = env.extremes[kind];
  std::vector<bool> onMax(env.spans.size(), false);
  for (int32_t k : x.spansOnMax) onMax[static_cast<size_t>(k)] = true;
  const auto factor = [&](double at) {
    return onMax[static_cast<size_t>(SpanOfPosition(env.spans, at))] ? b.live.m_dDeadMax
                                                                        : b.live.m_dDeadMin;
  };
  std::vector<CPointLoadItem> points;
  std::vector<CUniformLoadItem> uniforms;
  for (const CPointLoadItem& p : b.points) {
    const double f = factor(p.m_dX);
    points.push_back({p.m_dX, f * p.m_dPLoad, f * p.m_dMoment});
  }
  for (const CUniformLoadItem& u : b.uniforms) {
    const double f = factor(u.m_dXStart);
    uniforms.push_back({u.m_dXStart, u.m_dXEnd, f * u.m_dUStart, f * u.m_dUEnd});
  }
  for (size_t k = 0; k < env.spans.size(); ++k) {
    const double w = b.live.m_dLiveFactor * b.live.m_dU;
    if (onMax[k]) uniforms.push_back({env.spans[k].start, env.spans[k].end, w, w});
  }
  CBeamAnalysis::CaseResults c;
  a.SolveLoadCase({}, {}, points, uniforms, c);
  const BeamQuantity q = kind < 2 ? BeamQuantity::kShear
                         : kind < 4 ? BeamQuantity::kMoment
                         : kind < 6 ? BeamQuantity::kRotation
                                    : BeamQuantity::kDeflection;
  double nearest = HUGE_VAL;
  for (int32_t e = 1; e <= a.m_nElements; ++e) {
    const double x0 = a.m_nodes[e].x, x1 = a.m_elements[e].xEnd;
    if (x.x < x0 - 1e-9 || x.x > x1 + 1e-9) continue;
    const double v = ElementSolution(a, e, EndsOf(c, e)).Value(q, std::clamp(x.x - x0, 0.0, x1 - x0));
    if (std::fabs(v - x.value) < std::fabs(nearest - x.value)) nearest = v;
  }
  return nearest;
}

TEST(LocalEnvelopeTest, EqualsTheFullSolutionsAndItsPatternsHoldOnRandomBeams) {
  std::mt19937 rng(2026);
  const int sizes[] = {1, 2, 3, 4, 6, 9, 15, 25, 40, 70, 120, 250, 400, 700, 3000};
  int local = 0, longBeams = 0;
  for (int round = 0; round < 2; ++round) {
    for (int spans : sizes) {
      if (spans >= 1000 && round > 0) continue;
      const Beam b = RandomBeam(rng, spans);
      CSPLX_30Doc doc;
      doc.SetLines(nullptr, b.lines);
      const RunLog log = RunModel(doc);
      ASSERT_EQ(log.errors, 0) << log.text;
      const CBeamAnalysis& a = doc.GetAnalysis();
      const ModelItems& m = doc.GetItems();
      const LiveLoadModel model{m.m_supports, m.m_springs, m.m_pointLoads, m.m_uniformLoads,
                                m.m_dBeamLength};
      const LiveLoadEnvelope mine =
          ComputeLiveLoadEnvelope(a, model, m.m_liveLoads.front(), {}, EnvelopeMethod::kLocal);
      ASSERT_FALSE(mine.empty()) << log.text;
      const LiveLoadEnvelope full =
          ComputeLiveLoadEnvelope(a, model, m.m_liveLoads.front(), {}, EnvelopeMethod::kFull);
      if (spans >= 40) local += LocalCaseSolver::Suits(a), ++longBeams;
      ASSERT_EQ(mine.nodes.size(), full.nodes.size());
      ASSERT_EQ(mine.samples.size(), full.samples.size());
      Gap deflection, rotation, vert, rot, shear, moment;
      for (size_t i = 0; i < full.nodes.size(); ++i) {
        deflection.Add(full.nodes[i].deflection, mine.nodes[i].deflection);
        rotation.Add(full.nodes[i].rotation, mine.nodes[i].rotation);
        vert.Add(full.nodes[i].reactionVert, mine.nodes[i].reactionVert);
        rot.Add(full.nodes[i].reactionRot, mine.nodes[i].reactionRot);
      }
      for (size_t e = 0; e < full.elements.size(); ++e) {
        const EnvelopeElement &f = full.elements[e], &l = mine.elements[e];
        shear.Add(f.shearStart, l.shearStart), shear.Add(f.shearEnd, l.shearEnd);
        moment.Add(f.momentStart, l.momentStart), moment.Add(f.momentEnd, l.momentEnd);
      }
      for (size_t s = 0; s < full.samples.size(); ++s) {
        const EnvelopeSample &f = full.samples[s], &l = mine.samples[s];
        deflection.Add(f.deflection, l.deflection), rotation.Add(f.rotation, l.rotation);
        shear.Add(f.shear, l.shear), moment.Add(f.moment, l.moment);
      }
      const std::string where = std::to_string(spans) + " spans, round " + std::to_string(round);
      // The full solutions add every span's round-off at every point: their own error grows
      // with the spans (the test below measures both against exact arithmetic).
      const double agree = 1e-12 + 2 * spans * a.EstimatedError();
      for (const Gap* g : {&deflection, &rotation, &vert, &rot, &shear, &moment})
        EXPECT_TRUE(g->Within(agree)) << where << ": " << g->worst << " of " << g->scale;
      const double scales[] = {shear.scale, moment.scale, rotation.scale, deflection.scale};
      for (int kind = 0; kind < kEnvelopeExtremeCount; ++kind) {
        const double tol = agree * scales[kind / 2];
        EXPECT_NEAR(mine.extremes[kind].value, full.extremes[kind].value, tol) << where << kind;
        EXPECT_NEAR(PatternValue(a, b, mine, kind), mine.extremes[kind].value, 1e-10 * scales[kind / 2])
            << where << " pattern of extreme " << kind;
      }
    }
  }
  // Beams of many spans are solved near their loads (short ones, meshed finely, often have an
  // estimated error that sends them to the full solutions).
  EXPECT_EQ(local, longBeams);
}

// The envelope at the nodes and element ends summed from every change solved in binary128.
std::vector<std::array<long double, 16>> ExactEnvelope(const CBeamAnalysis& a, const Beam& b,
                                                       const LiveLoadEnvelope& env,
                                                       const ModelItems& m) {
  const auto n = static_cast<size_t>(a.m_nNodes);
  // Per node: max and min of deflection, rotation, vertical and moment reaction, and of the
  // element starting there (the last node repeats the last element): shear and moment at
  // both ends.
  std::vector<std::array<long double, 16>> range(n + 1);
  const auto add = [&](const testing::QuadResult& q, bool base) {
    for (size_t i = 1; i <= n; ++i) {
      const size_t e = std::min(i, n - 1);
      const double v[8] = {q.deflection[i], q.rotation[i],  q.reactionVert[i], q.reactionRot[i],
                           q.shearStart[e], q.shearEnd[e],  q.momentStart[e],  q.momentEnd[e]};
      for (int k = 0; k < 8; ++k) {
        if (base) range[i][2 * k] = range[i][2 * k + 1] = v[k];
        else if (v[k] > 0) range[i][2 * k] += v[k];
        else range[i][2 * k + 1] += v[k];
      }
    }
  };
  const auto scaled = [&](double f, int span, std::vector<CPointLoadItem>& points,
                          std::vector<CUniformLoadItem>& uniforms) {
    for (const CPointLoadItem& p : b.points) {
      if (span < 0 || SpanOfPosition(env.spans, p.m_dX) == span)
        points.push_back({p.m_dX, f * p.m_dPLoad, f * p.m_dMoment});
    }
    for (const CUniformLoadItem& u : b.uniforms) {
      if (span < 0 || SpanOfPosition(env.spans, u.m_dXStart) == span)
        uniforms.push_back({u.m_dXStart, u.m_dXEnd, f * u.m_dUStart, f * u.m_dUEnd});
    }
  };
  std::vector<CPointLoadItem> points;
  std::vector<CUniformLoadItem> uniforms;
  scaled(b.live.m_dDeadMin, -1, points, uniforms);
  add(testing::SolveInQuad(a, m.m_supports, m.m_springs, points, uniforms), true);
  std::vector<CSupportItem> held = m.m_supports;  // the changes hold them without settling
  for (CSupportItem& s : held) s.m_dDisp = s.m_dRotation = 0;
  for (size_t k = 0; k < env.spans.size(); ++k) {
    points.clear(), uniforms.clear();
    scaled(b.live.m_dDeadMax - b.live.m_dDeadMin, static_cast<int>(k), points, uniforms);
    const double w = b.live.m_dLiveFactor * b.live.m_dU;
    uniforms.push_back({env.spans[k].start, env.spans[k].end, w, w});
    add(testing::SolveInQuad(a, held, m.m_springs, points, uniforms), false);
  }
  return range;
}

TEST(LocalEnvelopeTest, IsAsExactAsTheFullSolutions) {
  // A beam of 400 spans with stiff stretches, springs and hinges whose full solutions each
  // carry about 3e-14 of scale of round-off everywhere, which sums over the spans at every
  // point (the local solutions do not carry it beyond their windows).
  std::mt19937 rng(2026);
  Beam b;
  for (int spans : {1, 2, 3, 4, 6, 9, 15, 25, 40, 70, 120, 250, 400}) b = RandomBeam(rng, spans);
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, b.lines);
  ASSERT_EQ(RunModel(doc).errors, 0);
  const CBeamAnalysis& a = doc.GetAnalysis();
  ASSERT_TRUE(LocalCaseSolver::Suits(a));
  const ModelItems& m = doc.GetItems();
  const LiveLoadModel model{m.m_supports, m.m_springs, m.m_pointLoads, m.m_uniformLoads,
                            m.m_dBeamLength};
  const LiveLoadEnvelope& mine = doc.GetEnvelope();
  const LiveLoadEnvelope full =
      ComputeLiveLoadEnvelope(a, model, m.m_liveLoads.front(), {}, EnvelopeMethod::kFull);
  const auto exact = ExactEnvelope(a, b, mine, m);
  const auto n = static_cast<size_t>(a.m_nNodes);
  const auto values = [n](const LiveLoadEnvelope& env, size_t i) {
    const EnvelopeNode& x = env.nodes[i - 1];
    const EnvelopeElement& e = env.elements[std::min(i, n - 1) - 1];
    std::array<double, 16> v{};
    const EnvelopeRange r[8] = {x.deflection, x.rotation, x.reactionVert, x.reactionRot,
                                e.shearStart, e.shearEnd, e.momentStart,  e.momentEnd};
    for (int k = 0; k < 8; ++k) v[2 * k] = r[k].max, v[2 * k + 1] = r[k].min;
    return v;
  };
  for (int k = 0; k < 8; ++k) {
    long double scale = 0, local = 0, whole = 0;
    for (size_t i = 1; i <= n; ++i) {
      const auto l = values(mine, i), f = values(full, i);
      for (int s = 2 * k; s < 2 * k + 2; ++s) {
        scale = std::max(scale, std::fabs(exact[i][s]));
        local = std::max(local, std::fabs(exact[i][s] - l[s]));
        whole = std::max(whole, std::fabs(exact[i][s] - f[s]));
      }
    }
    if (scale == 0) continue;
    // Against exact arithmetic the local solutions are as close as the full ones, to 1e-12 of
    // scale (both carry the round-off of one double solution, magnified in the end forces).
    EXPECT_LE(local / scale, 1e-12 + 2 * whole / scale) << k;
  }
}

TEST(LocalEnvelopeTest, AStoppedEnvelopeIsCancelledAndEmpty) {
  std::mt19937 rng(7);
  const Beam b = RandomBeam(rng, 200);
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, b.lines);
  ASSERT_EQ(RunModel(doc).errors, 0);
  const ModelItems& m = doc.GetItems();
  const LiveLoadModel model{m.m_supports, m.m_springs, m.m_pointLoads, m.m_uniformLoads,
                            m.m_dBeamLength};
  std::vector<double> told;
  const LiveLoadEnvelope env =
      ComputeLiveLoadEnvelope(doc.GetAnalysis(), model, m.m_liveLoads.front(), [&](double f) {
        told.push_back(f);
        return f < 0.25;
      });
  EXPECT_TRUE(env.cancelled);
  EXPECT_TRUE(env.empty());
  EXPECT_TRUE(env.messages.empty());
  ASSERT_GE(told.size(), 2u);
  EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
  EXPECT_GE(told.back(), 0.25);
  // Told to the end, it ends at 1 with the whole envelope.
  told.clear();
  const LiveLoadEnvelope whole = ComputeLiveLoadEnvelope(
      doc.GetAnalysis(), model, m.m_liveLoads.front(), [&](double f) {
        told.push_back(f);
        return true;
      });
  EXPECT_FALSE(whole.cancelled);
  EXPECT_FALSE(whole.empty());
  EXPECT_EQ(told.back(), 1.0);
}

}  // namespace
}  // namespace spanlab

