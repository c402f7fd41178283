// Moving-load envelopes by influence lines. A result Q at a point is linear in the loads, so a
// vehicle whose axles (loads P_i, P < 0 downward) stand at xi_i gives
//   Q = sum_i (-P_i) eta(xi_i),
// where eta is Q's influence line: its value for a unit downward load at xi. With the front
// axle at s every xi_i = s + d_i (d_i = minus the distance behind the front moving forward,
// plus it moving backward), so Q(s) is the sum of the influence line shifted by each axle.
//
// The influence lines are exact piecewise cubics between the nodes:
//   - deflection and rotation at a node, and a reaction: one dual solution on the run's
//     elimination (influence_line.h), whose deflection inside each element is a cubic;
//   - shear and moment just right of a node or just left of it: statics of the part of the beam
//     on its left, from the reactions' influence lines there, plus -1 (shear) or -(x0 - xi)
//     (moment) for the unit load itself when it stands on that part.
// Between two positions s where some axle crosses a node, every axle stays inside one element
// (or off the beam), so Q(s) is one cubic: its largest and smallest lie at the ends or where
// its derivative, a quadratic, is zero. Every such position is evaluated; none is missed and
// none is stepped over. A shear jumps where an axle crosses its point: its envelope takes the
// value with the axle just beside the point on the side that gives more (a limit, reported at the
// position where the axle stands on the point).
//
// A variable gap is taken at both ends of its range, and at every pair of positions of the axles
// ahead of it and behind it that are each the best for their own group, as far apart as the
// range allows: with the gap strictly inside its range both groups move freely, so each stands
// where its own part of Q is largest (or smallest).
#include "analysis/moving_load.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>

#include "analysis/element_values.h"
#include "analysis/influence_line.h"
#include "model/vehicle_line.h"

namespace spanlab {

namespace {

using Cubic = std::array<double, 4>;  // c0 + c1 a + c2 a^2 + c3 a^3, a from the left node

// An influence line: a cubic per element, plus the statics share of the unit load itself for a
// shear or moment at x0 (on the left of x0, and at x0 when `atX0`).
struct Influence {
  enum class Statics { kNone, kShear, kMoment };
  std::vector<Cubic> piece;  // [1..elements]
  Statics statics = Statics::kNone;
  double x0 = 0;
  bool atX0 = false;
};

// A group of axles: weight -P and offset from the front of each.
struct Axles {
  std::vector<double> weight, offset;
};

struct Beam {
  explicit Beam(const CBeamAnalysis& analysis) : a(analysis) {
    for (int32_t i = 1; i <= a.m_nNodes; ++i) x.push_back(a.m_nodes[i].x);
    length = x.back();
  }
  // The element holding xi (0 <= xi <= length): the last one starting at or left of it.
  int32_t ElementOf(double xi) const {
    const auto k = static_cast<int32_t>(std::upper_bound(x.begin(), x.end(), xi) - x.begin());
    return std::clamp(k, 1, a.m_nElements);
  }
  const CBeamAnalysis& a;
  std::vector<double> x;  // node i at x[i - 1]
  double length = 0;
};

double Horner(const Cubic& c, double t) { return c[0] + t * (c[1] + t * (c[2] + t * c[3])); }

// The unit load's own share at xi.
double StaticsAt(const Influence& eta, double xi) {
  if (eta.statics == Influence::Statics::kNone) return 0;
  if (!(eta.atX0 ? xi <= eta.x0 : xi < eta.x0)) return 0;
  return eta.statics == Influence::Statics::kShear ? -1.0 : -(eta.x0 - xi);
}

double ValueAt(const Beam& b, const Influence& eta, double xi) {
  if (xi < 0 || xi > b.length) return 0;
  const int32_t e = b.ElementOf(xi);
  return Horner(eta.piece[static_cast<size_t>(e)], xi - b.x[static_cast<size_t>(e - 1)]) +
         StaticsAt(eta, xi);
}

double EffectAt(const Beam& b, const Influence& eta, const Axles& axles, double s) {
  double sum = 0;
  for (size_t i = 0; i < axles.weight.size(); ++i)
    sum += axles.weight[i] * ValueAt(b, eta, s + axles.offset[i]);
  return sum;
}

// The cubic of a solution's deflection inside element e (no load on the element), times scale:
// from its values at the element's ends and thirds.
Cubic DeflectionCubic(const CBeamAnalysis& a, const CBeamAnalysis::CaseResults& c, int32_t e,
                      double scale) {
  const ElementSolution el(a, e, EndsOf(c, e));
  const double l = el.Length();
  double y[4];
  for (int k = 0; k < 4; ++k) y[k] = scale * el.At(l * k / 3.0).deflection;
  const double d1 = y[1] - y[0], d2 = y[2] - 2 * y[1] + y[0];
  const double d3 = y[3] - 3 * y[2] + 3 * y[1] - y[0];
  const double r = 3 / l;  // tau = 3 a / l; the Newton form in tau, expanded
  return {y[0], (d1 - d2 / 2 + d3 / 3) * r, (d2 / 2 - d3 / 2) * r * r, d3 / 6 * r * r * r};
}

// The influence line of `quantity` at `node` from its dual solution; false when there is none
// (a reaction where nothing restrains the motion).
bool DualInfluence(const Beam& b, const std::vector<CSpringItem>& springs,
                   InfluenceQuantity quantity, int32_t node, Influence& eta) {
  CBeamAnalysis::CaseResults dual;
  double scale = 0;
  if (!SolveInfluenceDual(b.a, springs, quantity, node, dual, scale).empty()) return false;
  eta.piece.assign(static_cast<size_t>(b.a.m_nElements) + 1, Cubic{});
  for (int32_t e = 1; e <= b.a.m_nElements; ++e)
    eta.piece[static_cast<size_t>(e)] = DeflectionCubic(b.a, dual, e, scale);
  return true;
}

// Calls visit(s, value) at every front position where the effect of `axles` may be largest or
// smallest: where an axle crosses a node, and where the cubic between two such is stationary.
template <class Visit>
void ForEachCandidate(const Beam& b, const Influence& eta, const Axles& axles, Visit&& visit) {
  std::vector<double> breaks;
  breaks.reserve(axles.offset.size() * b.x.size());
  for (const double d : axles.offset) {
    for (const double x : b.x) breaks.push_back(x - d);
  }
  std::sort(breaks.begin(), breaks.end());
  breaks.erase(std::unique(breaks.begin(), breaks.end()), breaks.end());
  if (breaks.empty()) return;
  // (In ascending order of the position, the groups of a variable gap rely on it.)
  visit(breaks.front() - 1, 0.0);  // every axle off the beam, before it and after it
  for (size_t k = 0; k < breaks.size(); ++k) {
    const double sa = breaks[k];
    visit(sa, EffectAt(b, eta, axles, sa));
    if (k + 1 == breaks.size()) break;
    const double h = breaks[k + 1] - sa, mid = sa + h / 2;
    Cubic f{};  // the effect as a cubic in u = s - sa
    for (size_t i = 0; i < axles.offset.size(); ++i) {
      const double xm = mid + axles.offset[i];
      if (xm < 0 || xm > b.length) continue;
      const int32_t e = b.ElementOf(xm);
      const Cubic& p = eta.piece[static_cast<size_t>(e)];
      const double xi = sa + axles.offset[i], a0 = xi - b.x[static_cast<size_t>(e - 1)];
      Cubic t = {Horner(p, a0), p[1] + a0 * (2 * p[2] + 3 * p[3] * a0), p[2] + 3 * p[3] * a0,
                 p[3]};
      if (StaticsAt(eta, xm) != 0) {
        if (eta.statics == Influence::Statics::kShear) t[0] -= 1;
        else t[0] -= eta.x0 - xi, t[1] += 1;
      }
      for (int j = 0; j < 4; ++j) f[static_cast<size_t>(j)] += axles.weight[i] * t[static_cast<size_t>(j)];
    }
    // f'(u) = f1 + 2 f2 u + 3 f3 u^2 = 0 inside (0, h).
    const double qa = 3 * f[3], qb = 2 * f[2], qc = f[1];
    double roots[2];
    int n = 0;
    if (qa == 0) {
      if (qb != 0) roots[n++] = -qc / qb;
    } else {
      const double disc = qb * qb - 4 * qa * qc;
      if (disc >= 0) {
        const double q = -0.5 * (qb + std::copysign(std::sqrt(disc), qb));
        roots[n++] = q / qa;
        if (q != 0) roots[n++] = qc / q;
      }
    }
    std::sort(roots, roots + n);
    // The interval's own cubic at its ends: where an axle crosses the point of a shear, the
    // value just beside it (the limit as the axle comes to that point from this side).
    visit(sa, f[0]);
    for (int r = 0; r < n; ++r) {
      if (roots[r] > 0 && roots[r] < h) visit(sa + roots[r], EffectAt(b, eta, axles, sa + roots[r]));
    }
    visit(breaks[k + 1], Horner(f, h));
  }
  visit(breaks.back() + 1, 0.0);
}

// The axles of vehicle v in its direction with gap `gap` (when it has a variable one).
Axles AxlesOf(const CVehicleItem& v, bool backward, double gap) {
  Axles axles;
  double behind = 0;
  for (size_t i = 0; i < v.m_axles.size(); ++i) {
    if (i > 0) {
      const auto g = static_cast<int32_t>(i - 1);
      behind += g == v.m_nVariableGap ? gap : v.m_spacings[static_cast<size_t>(g)];
    }
    axles.weight.push_back(-v.m_axles[i]);
    axles.offset.push_back(backward ? behind : -behind);
  }
  return axles;
}

// Raises `range` by a value reached with the vehicle at `at` (strictly: ties keep the first).
void Offer(MovingRange& range, double value, const VehiclePosition& at) {
  if (value > range.max.value) range.max = {value, at, 0};
  if (value < range.min.value) range.min = {value, at, 0};
}

// The best pairs of the groups ahead of and behind a variable gap with the gap strictly inside
// its range: each group at one of its own candidate positions, the rear one's front axle
// between minGap and maxGap behind the front group's last axle (a window that slides with the
// front group's position, so a monotone queue finds the best rear value in each).
template <class Better>
void BestSplitPairs(const std::vector<std::pair<double, double>>& front,
                    const std::vector<std::pair<double, double>>& rear, double lowShift,
                    double highShift, Better&& better,
                    const std::function<void(double, double, double)>& visit) {
  // Rear candidates t with front s: t in (s + lowShift, s + highShift).
  std::deque<size_t> window;
  size_t next = 0;
  for (const auto& [s, fv] : front) {
    const double lo = s + lowShift, hi = s + highShift;
    while (next < rear.size() && rear[next].first < hi) {
      while (!window.empty() && !better(rear[window.back()].second, rear[next].second))
        window.pop_back();
      window.push_back(next++);
    }
    while (!window.empty() && rear[window.front()].first <= lo) window.pop_front();
    if (!window.empty()) visit(s, rear[window.front()].first, fv + rear[window.front()].second);
  }
}

// The envelope of one influence line over every vehicle, direction and gap.
void Envelope(const Beam& b, const Influence& eta, const std::vector<CVehicleItem>& vehicles,
              MovingRange& range) {
  for (size_t v = 0; v < vehicles.size(); ++v) {
    const CVehicleItem& vehicle = vehicles[v];
    if (vehicle.m_axles.empty()) continue;
    for (const bool backward : {false, true}) {
      if (!(vehicle.m_nDirections & (backward ? kBackward : kForward))) continue;
      const int32_t gap = vehicle.m_nVariableGap;
      const double low = gap >= 0 ? vehicle.m_spacings[static_cast<size_t>(gap)] : 0;
      const double ends[2] = {low, gap >= 0 ? vehicle.m_dVariableMax : low};
      for (int end = 0; end < (gap >= 0 && ends[1] > ends[0] ? 2 : 1); ++end) {
        const VehiclePosition at{static_cast<int32_t>(v), backward, 0, gap >= 0 ? ends[end] : 0};
        ForEachCandidate(b, eta, AxlesOf(vehicle, backward, ends[end]), [&](double s, double q) {
          VehiclePosition here = at;
          here.front = s;
          Offer(range, q, here);
        });
      }
      if (gap < 0 || !(ends[1] > ends[0])) continue;
      // The gap strictly inside its range: the groups ahead of and behind it apart.
      const Axles all = AxlesOf(vehicle, backward, 0);
      const auto split = static_cast<size_t>(gap) + 1;
      Axles ahead, rear;
      ahead.weight.assign(all.weight.begin(), all.weight.begin() + static_cast<long>(split));
      ahead.offset.assign(all.offset.begin(), all.offset.begin() + static_cast<long>(split));
      rear.weight.assign(all.weight.begin() + static_cast<long>(split), all.weight.end());
      for (size_t i = split; i < all.offset.size(); ++i)
        rear.offset.push_back(all.offset[i] - all.offset[split]);
      std::vector<std::pair<double, double>> cf, cr;
      ForEachCandidate(b, eta, ahead, [&](double s, double q) { cf.emplace_back(s, q); });
      ForEachCandidate(b, eta, rear, [&](double t, double q) { cr.emplace_back(t, q); });
      // The rear group's front axle stands at t = s + all.offset[split] -/+ gap.
      const double base = all.offset[split];
      const double sign = backward ? 1 : -1;
      const double lowShift = base + sign * (backward ? ends[0] : ends[1]);
      const double highShift = base + sign * (backward ? ends[1] : ends[0]);
      const auto report = [&](double s, double t, double q) {
        Offer(range, q, {static_cast<int32_t>(v), backward, s, sign * (t - s - base)});
      };
      BestSplitPairs(cf, cr, lowShift, highShift, std::greater_equal<double>(), report);
      BestSplitPairs(cf, cr, lowShift, highShift, std::less_equal<double>(), report);
    }
  }
}

// The value of `eta` with the vehicle at `at`.
double ValueWith(const Beam& b, const Influence& eta, const std::vector<CVehicleItem>& vehicles,
                 const VehiclePosition& at) {
  if (at.vehicle < 0) return 0;
  const CVehicleItem& v = vehicles[static_cast<size_t>(at.vehicle)];
  return EffectAt(b, eta, AxlesOf(v, at.backward, at.gap), at.front);
}

}  // namespace

MovingLoadEnvelope ComputeMovingLoadEnvelope(const CBeamAnalysis& analysis,
                                             const ModelItems& items) {
  MovingLoadEnvelope env;
  const std::vector<CVehicleItem>& vehicles = items.m_vehicles;
  if (!analysis.CanSolveLoadCases() || analysis.m_dLength <= 0 || analysis.m_nNodes < 2 ||
      vehicles.empty())
    return env;
  const CBeamAnalysis::TableLock lock(analysis);
  const Beam b(analysis);
  const int32_t nodes = analysis.m_nNodes, elements = analysis.m_nElements;
  const auto& springs = items.m_springs;
  env.nodes.resize(static_cast<size_t>(nodes));
  env.elements.resize(static_cast<size_t>(elements));
  auto raise = [&env](int kind, const MovingValue& v, double x) {
    MovingExtreme& best = env.extremes[static_cast<size_t>(kind)];
    if (kind % 2 == 0 ? v.value > best.value.value : v.value < best.value.value) best = {v, x};
  };

  // The nodes; the reactions' influence lines are kept for the statics below.
  std::vector<Influence> vert(static_cast<size_t>(nodes) + 1), rot(vert.size());
  std::vector<uint8_t> hasVert(vert.size()), hasRot(vert.size());
  Influence eta;
  for (int32_t i = 1; i <= nodes; ++i) {
    MovingNode& n = env.nodes[static_cast<size_t>(i - 1)];
    n.x = b.x[static_cast<size_t>(i - 1)];
    if (DualInfluence(b, springs, InfluenceQuantity::kDeflection, i, eta))
      Envelope(b, eta, vehicles, n.deflection);
    if (DualInfluence(b, springs, InfluenceQuantity::kRotation, i, eta))
      Envelope(b, eta, vehicles, n.rotation);
    const auto k = static_cast<size_t>(i);
    hasVert[k] = DualInfluence(b, springs, InfluenceQuantity::kReactionVert, i, vert[k]);
    hasRot[k] = DualInfluence(b, springs, InfluenceQuantity::kReactionRot, i, rot[k]);
    if (hasVert[k]) Envelope(b, vert[k], vehicles, n.reactionVert);
    if (hasRot[k]) Envelope(b, rot[k], vehicles, n.reactionRot);
    n.hasReaction = hasVert[k] || hasRot[k];
  }

  // Shear and moment at each element's ends by statics of the part on their left: the sums of
  // the reactions' lines there, sv = sum Rv and sm = sum (Rr - x_r Rv), give
  //   shear = sv + (-1 for the load on the left),  moment = sm + x0 sv + (-(x0 - xi) for it).
  const auto size = static_cast<size_t>(elements) + 1;
  std::vector<Cubic> sv(size), sm(size);
  Influence shear, moment;
  shear.statics = Influence::Statics::kShear;
  moment.statics = Influence::Statics::kMoment;
  moment.piece.resize(size);
  for (int32_t e = 1; e <= elements; ++e) {
    const auto k = static_cast<size_t>(e);
    const double xr = b.x[k - 1];
    for (size_t el = 1; el < size; ++el) {
      for (size_t j = 0; j < 4; ++j) {
        if (hasVert[k]) sv[el][j] += vert[k].piece[el][j], sm[el][j] -= xr * vert[k].piece[el][j];
        if (hasRot[k]) sm[el][j] += rot[k].piece[el][j];
      }
    }
    MovingElement& out = env.elements[k - 1];
    out.xEnd = b.x[k];
    for (const bool end : {false, true}) {
      const double x0 = b.x[end ? k : k - 1];
      shear.piece = sv;
      for (size_t el = 1; el < size; ++el) {
        for (size_t j = 0; j < 4; ++j) moment.piece[el][j] = sm[el][j] + x0 * sv[el][j];
      }
      shear.x0 = moment.x0 = x0;
      shear.atX0 = moment.atX0 = !end;  // just right of x0 a load at x0 is on the left part
      MovingRange v, m;  // diagram values
      Envelope(b, shear, vehicles, v);
      Envelope(b, moment, vehicles, m);
      for (MovingValue* x : {&v.max, &v.min}) x->coincident = ValueWith(b, moment, vehicles, x->at);
      for (MovingValue* x : {&m.max, &m.min}) x->coincident = ValueWith(b, shear, vehicles, x->at);
      raise(kEnvelopeMaxShear, v.max, x0), raise(kEnvelopeMinShear, v.min, x0);
      raise(kEnvelopeMaxMoment, m.max, x0), raise(kEnvelopeMinMoment, m.min, x0);
      if (!end) {
        out.shearStart = v, out.momentStart = m;
      } else {  // end forces: minus the diagram values
        const auto negated = [](const MovingRange& r) {
          MovingRange n{r.min, r.max};
          n.max.value = -n.max.value, n.min.value = -n.min.value;
          return n;
        };
        out.shearEnd = negated(v), out.momentEnd = negated(m);
      }
    }
  }
  for (const MovingNode& n : env.nodes) {
    raise(kEnvelopeMaxRotation, n.rotation.max, n.x), raise(kEnvelopeMinRotation, n.rotation.min, n.x);
    raise(kEnvelopeMaxDeflection, n.deflection.max, n.x);
    raise(kEnvelopeMinDeflection, n.deflection.min, n.x);
  }
  return env;
}

std::vector<CPointLoadItem> VehicleAxleLoads(const CVehicleItem& v, const VehiclePosition& at,
                                             double length) {
  std::vector<CPointLoadItem> loads;
  const Axles axles = AxlesOf(v, at.backward, at.gap);
  for (size_t i = 0; i < axles.weight.size(); ++i) {
    const double x = at.front + axles.offset[i];
    if (x >= 0 && x <= length) loads.push_back({x, v.m_axles[i], 0, v.m_nCase});
  }
  return loads;
}

}  // namespace spanlab
