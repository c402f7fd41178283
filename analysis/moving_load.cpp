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
//
// Every influence line is scanned the same way, so the crossings (the positions and the element
// each axle stands in between them) are worked out once per vehicle, direction and gap. Each
// interval's value is bounded by the hulls of its axles' elements (the Bernstein coefficients
// of each element's cubic): the intervals whose bound cannot beat the envelope found so far are
// skipped. A lane load adds, to every value, the largest (smallest) share of the lane placed
// span by span: the live-load envelope of a unit lane, scaled.
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
  double snap = 0;  // 1e-13 of the beam's length
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
// (An axle a rounding away from x0, where a position was found from x0 or a node's x, stands on
// x0: the side it counts on is then the influence line's, not the rounding's.)
double StaticsAt(const Influence& eta, double xi) {
  if (eta.statics == Influence::Statics::kNone) return 0;
  if (std::fabs(xi - eta.x0) <= eta.snap) xi = eta.x0;
  if (!(eta.atX0 ? xi <= eta.x0 : xi < eta.x0)) return 0;
  return eta.statics == Influence::Statics::kShear ? -1.0 : -(eta.x0 - xi);
}

double ValueAt(const Beam& b, const Influence& eta, double xi) {
  // (An axle a rounding beyond an end, where a position was found as a node's x minus its
  // offset, stands on the end.)
  const double snap = 1e-13 * b.length;
  if (xi < 0 && xi > -snap) xi = 0;
  if (xi > b.length && xi < b.length + snap) xi = b.length;
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

// The lane load's share of a value for one vehicle: what it adds to the largest and to the
// smallest (its spans chosen for each, independently of where the axles stand).
struct Lane {
  double high = 0, low = 0;
};

// Raises the max by value + lane.high and lowers the min by value + lane.low, with the vehicle
// at `at` (strictly: ties keep the first).
void OfferWithLane(MovingRange& range, double value, const Lane& lane, const VehiclePosition& at) {
  if (value + lane.high > range.max.value) range.max = {value + lane.high, at, 0};
  if (value + lane.low < range.min.value) range.min = {value + lane.low, at, 0};
}

// A group of axles crossing the beam: the front positions where some axle stands on a node,
// ascending, and in each interval between two the element each axle stands in (0: off the
// beam). The same for every influence line.
struct Pass {
  Axles axles;
  std::vector<double> breaks;
  std::vector<int32_t> element;  // interval k, axle i: element[k * axles + i]
};

Pass MakePass(const Beam& b, Axles axles) {
  Pass p;
  p.axles = std::move(axles);
  for (const double d : p.axles.offset) {
    for (const double x : b.x) p.breaks.push_back(x - d);
  }
  std::sort(p.breaks.begin(), p.breaks.end());
  p.breaks.erase(std::unique(p.breaks.begin(), p.breaks.end()), p.breaks.end());
  const size_t n = p.axles.offset.size();
  for (size_t k = 0; k + 1 < p.breaks.size(); ++k) {
    const double mid = (p.breaks[k] + p.breaks[k + 1]) / 2;
    for (size_t i = 0; i < n; ++i) {
      const double xm = mid + p.axles.offset[i];
      p.element.push_back(xm < 0 || xm > b.length ? 0 : b.ElementOf(xm));
    }
  }
  return p;
}

// The bounds of an influence line over each element: the hull of its cubic's Bernstein
// coefficients, plus the unit load's own share there.
struct Hull {
  double low = 0, high = 0;
};
std::vector<Hull> HullsOf(const Beam& b, const Influence& eta) {
  std::vector<Hull> hull(eta.piece.size());
  for (size_t e = 1; e < eta.piece.size(); ++e) {
    const Cubic& c = eta.piece[e];
    const double x0 = b.x[e - 1], x1 = b.x[e], l = x1 - x0;
    const double d1 = c[1] * l, d2 = c[2] * l * l, d3 = c[3] * l * l * l;
    const double bern[4] = {c[0], c[0] + d1 / 3, c[0] + 2 * d1 / 3 + d2 / 3, c[0] + d1 + d2 + d3};
    Hull h{*std::min_element(bern, bern + 4), *std::max_element(bern, bern + 4)};
    // The unit load's share on the elements left of x0 (it is on the left part there), and on
    // the elements meeting at x0 both with and without it (a load on x0 counts on one side).
    const bool meets = x1 == eta.x0 || x0 == eta.x0;
    if (eta.statics != Influence::Statics::kNone && (x1 <= eta.x0 || meets)) {
      const bool shear = eta.statics == Influence::Statics::kShear;
      const Hull with{h.low + (shear ? -1 : -(eta.x0 - x0)), h.high + (shear ? -1 : -(eta.x0 - x1))};
      h = meets ? Hull{std::min(h.low, with.low), std::max(h.high, with.high)} : with;
    }
    hull[e] = h;
  }
  return hull;
}

// The effect in interval k of pass p as a cubic in u = s - breaks[k].
Cubic IntervalCubic(const Beam& b, const Influence& eta, const Pass& p, size_t k) {
  Cubic f{};
  const size_t n = p.axles.offset.size();
  const double sa = p.breaks[k], mid = (sa + p.breaks[k + 1]) / 2;
  for (size_t i = 0; i < n; ++i) {
    const int32_t e = p.element[k * n + i];
    if (e == 0) continue;
    const Cubic& c = eta.piece[static_cast<size_t>(e)];
    const double xi = sa + p.axles.offset[i], a0 = xi - b.x[static_cast<size_t>(e - 1)];
    Cubic t = {Horner(c, a0), c[1] + a0 * (2 * c[2] + 3 * c[3] * a0), c[2] + 3 * c[3] * a0, c[3]};
    if (StaticsAt(eta, mid + p.axles.offset[i]) != 0) {
      if (eta.statics == Influence::Statics::kShear) t[0] -= 1;
      else t[0] -= eta.x0 - xi, t[1] += 1;
    }
    for (size_t j = 0; j < 4; ++j) f[j] += p.axles.weight[i] * t[j];
  }
  return f;
}

// Calls visit(s, value) at interval k's ends (the values as the axles come to them from inside
// it: where an axle crosses the point of a shear, the value just beside the point on this side)
// and where its cubic is stationary inside it. The value with an axle exactly on a node is one
// of the values at that node from its two intervals (the influence lines are continuous but at
// a shear's point, where the load on the point counts on one side, and beyond the beam's ends).
template <class Visit>
void VisitInterval(const Beam& b, const Influence& eta, const Pass& p, size_t k, Visit&& visit) {
  const Cubic f = IntervalCubic(b, eta, p, k);
  const double sa = p.breaks[k], h = p.breaks[k + 1] - sa;
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
  // With an axle on an end of the beam the value is no limit from either side (beyond the end
  // the axle carries nothing): evaluated as it stands.
  const double snap = 1e-13 * b.length;
  const auto onEnd = [&](double s) {
    for (const double d : p.axles.offset) {
      if (std::fabs(s + d) <= snap || std::fabs(s + d - b.length) <= snap) return true;
    }
    return false;
  };
  visit(sa, f[0]);
  if (onEnd(sa)) visit(sa, EffectAt(b, eta, p.axles, sa));
  for (int r = 0; r < n; ++r) {
    if (roots[r] > 0 && roots[r] < h) visit(sa + roots[r], Horner(f, roots[r]));
  }
  const double sb = p.breaks[k + 1];
  visit(sb, Horner(f, h));
  if (onEnd(sb)) visit(sb, EffectAt(b, eta, p.axles, sb));
}

// Bounds of the effect of pass p in each of its intervals, from the hulls of the elements its
// axles stand in.
std::vector<Hull> IntervalBounds(const std::vector<Hull>& hull, const Pass& p) {
  const size_t n = p.axles.offset.size();
  std::vector<Hull> bound(p.breaks.empty() ? 0 : p.breaks.size() - 1);
  for (size_t k = 0; k < bound.size(); ++k) {
    Hull& sum = bound[k];
    for (size_t i = 0; i < n; ++i) {
      const int32_t e = p.element[k * n + i];
      if (e == 0) continue;
      const Hull& h = hull[static_cast<size_t>(e)];
      const double w = p.axles.weight[i];
      sum.high += w > 0 ? w * h.high : w * h.low;
      sum.low += w > 0 ? w * h.low : w * h.high;
    }
  }
  return bound;
}

// The largest and smallest effect of pass p into `range`, with the vehicle at `at` (its front
// from the candidates). Intervals whose bounds cannot beat the range found so far are skipped:
// first the most promising intervals, then the rest that might still beat them.
void ScanPass(const Beam& b, const Influence& eta, const std::vector<Hull>& bound, const Pass& p,
              const Lane& lane, VehiclePosition at, MovingRange& range) {
  if (bound.empty()) return;
  size_t top = 0, bottom = 0;
  for (size_t k = 0; k < bound.size(); ++k) {
    if (bound[k].high > bound[top].high) top = k;
    if (bound[k].low < bound[bottom].low) bottom = k;
  }
  const auto offer = [&](double s, double q) {
    at.front = s;
    OfferWithLane(range, q, lane, at);
  };
  if (lane.high != 0 || lane.low != 0) offer(p.breaks.front() - 1, 0);  // the lane alone
  VisitInterval(b, eta, p, top, offer);
  if (bottom != top) VisitInterval(b, eta, p, bottom, offer);
  for (size_t k = 0; k < bound.size(); ++k) {
    if (k == top || k == bottom) continue;
    if (bound[k].high + lane.high > range.max.value || bound[k].low + lane.low < range.min.value)
      VisitInterval(b, eta, p, k, offer);
  }
}

// The candidates of pass p of the intervals (`bound` their bounds) that, with any value of the
// other group within `other`, might beat `range`, in ascending order of the position; first and
// last the positions with every axle off the beam (value 0).
void PromisingCandidates(const Beam& b, const Influence& eta, const std::vector<Hull>& bound,
                         const Pass& p, const Hull& other, const MovingRange& range,
                         std::vector<std::pair<double, double>>& out) {
  out.clear();
  if (p.breaks.empty()) return;
  const auto add = [&out](double s, double q) { out.emplace_back(s, q); };
  add(p.breaks.front() - 1, 0.0);
  for (size_t k = 0; k < bound.size(); ++k) {
    if (bound[k].high + other.high > range.max.value ||
        bound[k].low + other.low < range.min.value)
      VisitInterval(b, eta, p, k, add);
  }
  add(p.breaks.back() + 1, 0.0);
}

// The bounds over all positions (0 with every axle off the beam included).
Hull Overall(const std::vector<Hull>& bound) {
  Hull all;
  for (const Hull& h : bound) {
    all.low = std::min(all.low, h.low);
    all.high = std::max(all.high, h.high);
  }
  return all;
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

// The passes of every vehicle: each direction with its fixed gaps (a variable gap at both ends
// of its range), and for a variable gap the groups ahead of and behind it.
struct FixedPass {
  Pass pass;
  VehiclePosition at;
  double lane = 0;  // the vehicle's lane load
};
struct SplitPass {
  Pass ahead, rear;
  double lane = 0;
  int32_t vehicle = 0;
  bool backward = false;
  double base = 0, sign = 0, lowShift = 0, highShift = 0;
};
struct Passes {
  std::vector<FixedPass> fixed;
  std::vector<SplitPass> split;
};

Passes PassesOf(const Beam& b, const std::vector<CVehicleItem>& vehicles) {
  Passes passes;
  for (size_t v = 0; v < vehicles.size(); ++v) {
    const CVehicleItem& vehicle = vehicles[v];
    if (vehicle.m_axles.empty()) continue;
    for (const bool backward : {false, true}) {
      if (!(vehicle.m_nDirections & (backward ? kBackward : kForward))) continue;
      const int32_t gap = vehicle.m_nVariableGap;
      const double low = gap >= 0 ? vehicle.m_spacings[static_cast<size_t>(gap)] : 0;
      const double high = gap >= 0 ? vehicle.m_dVariableMax : low;
      for (int end = 0; end < (high > low ? 2 : 1); ++end) {
        const double g = end == 0 ? low : high;
        passes.fixed.push_back({MakePass(b, AxlesOf(vehicle, backward, g)),
                                {static_cast<int32_t>(v), backward, 0, gap >= 0 ? g : 0},
                                vehicle.m_dLane});
      }
      if (gap < 0 || !(high > low)) continue;
      // The gap strictly inside its range: the groups ahead of and behind it apart. The rear
      // group's front axle stands at t = s + base - gap (forward) or + gap (backward).
      const Axles all = AxlesOf(vehicle, backward, 0);
      const auto cut = static_cast<long>(gap) + 1;
      Axles ahead, rear;
      ahead.weight.assign(all.weight.begin(), all.weight.begin() + cut);
      ahead.offset.assign(all.offset.begin(), all.offset.begin() + cut);
      rear.weight.assign(all.weight.begin() + cut, all.weight.end());
      SplitPass sp;
      sp.base = all.offset[static_cast<size_t>(cut)];
      for (size_t i = static_cast<size_t>(cut); i < all.offset.size(); ++i)
        rear.offset.push_back(all.offset[i] - sp.base);
      sp.ahead = MakePass(b, std::move(ahead));
      sp.rear = MakePass(b, std::move(rear));
      sp.vehicle = static_cast<int32_t>(v);
      sp.lane = vehicle.m_dLane;
      sp.backward = backward;
      sp.sign = backward ? 1 : -1;
      sp.lowShift = sp.base + (backward ? low : -high);
      sp.highShift = sp.base + (backward ? high : -low);
      passes.split.push_back(std::move(sp));
    }
  }
  return passes;
}

// The envelope of one influence line over every pass.
// The share of a lane load w given that of a unit one (a negative load swaps the two).
Lane LaneOf(double w, const EnvelopeRange& unit) {
  return w > 0 ? Lane{w * unit.max, w * unit.min} : Lane{w * unit.min, w * unit.max};
}

// The envelope of one influence line over every pass; `unitLane` is its range under a unit lane
// load placed span by span (the live-load envelope of U = 1).
void Envelope(const Beam& b, const Influence& eta, const Passes& passes,
              const EnvelopeRange& unitLane, MovingRange& range) {
  const std::vector<Hull> hull = HullsOf(b, eta);
  for (const FixedPass& f : passes.fixed)
    ScanPass(b, eta, IntervalBounds(hull, f.pass), f.pass, LaneOf(f.lane, unitLane), f.at, range);
  std::vector<std::pair<double, double>> cf, cr;
  for (const SplitPass& sp : passes.split) {
    const std::vector<Hull> aheadBound = IntervalBounds(hull, sp.ahead);
    const std::vector<Hull> rearBound = IntervalBounds(hull, sp.rear);
    const Lane lane = LaneOf(sp.lane, unitLane);
    const auto widened = [&lane](Hull h) { return Hull{h.low + lane.low, h.high + lane.high}; };
    PromisingCandidates(b, eta, aheadBound, sp.ahead, widened(Overall(rearBound)), range, cf);
    PromisingCandidates(b, eta, rearBound, sp.rear, widened(Overall(aheadBound)), range, cr);
    const auto at = [&sp](double s, double t) {
      return VehiclePosition{sp.vehicle, sp.backward, s, sp.sign * (t - s - sp.base)};
    };
    const auto high = [&](double s, double t, double q) {
      if (q + lane.high > range.max.value) range.max = {q + lane.high, at(s, t), 0};
    };
    const auto low = [&](double s, double t, double q) {
      if (q + lane.low < range.min.value) range.min = {q + lane.low, at(s, t), 0};
    };
    BestSplitPairs(cf, cr, sp.lowShift, sp.highShift, std::greater_equal<double>(), high);
    BestSplitPairs(cf, cr, sp.lowShift, sp.highShift, std::less_equal<double>(), low);
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
  if (!analysis.CanSolveLoadCases() || analysis.m_dLength <= 0 || analysis.m_nNodes < 2 ||
      items.m_vehicles.empty())
    return env;
  const CBeamAnalysis::TableLock lock(analysis);
  const Beam b(analysis);
  const int32_t nodes = analysis.m_nNodes, elements = analysis.m_nElements;
  const auto& springs = items.m_springs;
  env.nodes.resize(static_cast<size_t>(nodes));
  env.elements.resize(static_cast<size_t>(elements));
  const Passes vehicles = PassesOf(b, items.m_vehicles);
  // A unit lane load's envelope, span by span (the live-load envelope of U = 1 on the bare beam:
  // no other load, no settlement), when some vehicle has a lane load.
  LiveLoadEnvelope lane;
  if (std::any_of(items.m_vehicles.begin(), items.m_vehicles.end(),
                  [](const CVehicleItem& v) { return v.m_dLane != 0; })) {
    std::vector<CSupportItem> held = items.m_supports;
    for (CSupportItem& s : held) s.m_dDisp = 0, s.m_dRotation = 0;
    const std::vector<CPointLoadItem> points;
    const std::vector<CUniformLoadItem> uniforms;
    lane = ComputeLiveLoadEnvelope(
        analysis, {held, springs, points, uniforms, items.m_dBeamLength},
        {.m_dU = 1, .m_dLiveFactor = 1, .m_dDeadMax = 0, .m_dDeadMin = 0});
  }
  const auto laneNode = [&lane](int32_t i) {
    return lane.empty() ? EnvelopeNode{} : lane.nodes[static_cast<size_t>(i - 1)];
  };
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
      Envelope(b, eta, vehicles, laneNode(i).deflection, n.deflection);
    if (DualInfluence(b, springs, InfluenceQuantity::kRotation, i, eta))
      Envelope(b, eta, vehicles, laneNode(i).rotation, n.rotation);
    const auto k = static_cast<size_t>(i);
    hasVert[k] = DualInfluence(b, springs, InfluenceQuantity::kReactionVert, i, vert[k]);
    hasRot[k] = DualInfluence(b, springs, InfluenceQuantity::kReactionRot, i, rot[k]);
    if (hasVert[k]) Envelope(b, vert[k], vehicles, laneNode(i).reactionVert, n.reactionVert);
    if (hasRot[k]) Envelope(b, rot[k], vehicles, laneNode(i).reactionRot, n.reactionRot);
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
      shear.snap = moment.snap = 1e-13 * b.length;
      shear.atX0 = moment.atX0 = !end;  // just right of x0 a load at x0 is on the left part
      MovingRange v, m;  // diagram values
      // The lane's diagram values there (at the right end minus its end forces).
      const EnvelopeElement laneEnds = lane.empty() ? EnvelopeElement{} : lane.elements[k - 1];
      const auto diagram = [end](const EnvelopeRange& start, const EnvelopeRange& atEnd) {
        return end ? EnvelopeRange{-atEnd.min, -atEnd.max} : start;
      };
      Envelope(b, shear, vehicles, diagram(laneEnds.shearStart, laneEnds.shearEnd), v);
      Envelope(b, moment, vehicles, diagram(laneEnds.momentStart, laneEnds.momentEnd), m);
      for (MovingValue* x : {&v.max, &v.min}) x->coincident = ValueWith(b, moment, items.m_vehicles, x->at);
      for (MovingValue* x : {&m.max, &m.min}) x->coincident = ValueWith(b, shear, items.m_vehicles, x->at);
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
