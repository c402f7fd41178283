// The extremes of the results along the whole beam.
//
// One pass from left to right. For each element: its left node (deflection, rotation), its
// start forces, then the values at its interior stationary points (element_values.h), then its
// end forces, and at a hinge the rotation just left of it. Strictly greater / smaller replaces,
// so on ties the leftmost position stays.
//
// Most elements of a long beam hold no new extreme: the largest values recur span after span
// or sit at the nodes. So each element first meets the cheapest screen (QuietElement): each
// curve's largest departure from the chord between its end values, bounded from the end values
// and the load alone; an element whose four bounds, with a margin far above rounding, stay
// strictly inside the extremes so far (the nodes' included) is done; so is an element whose data
// repeat bit for bit those of one it settled, since the extremes only widen (the equal spans of
// a long beam). The rest are screened with bounds of their closed forms that cost a few
// multiplications and no division (rotation and deflection scaled by EI l and EI):
// shear and moment from their end values and the load's largest departure from the chord,
// rotation from the Bernstein coefficients of its quartic, deflection from the moment's and the
// load's share of its quintic. Only a quantity whose bound reaches beyond both the extremes so
// far and the element's own end values by more than the rounding of its terms (a relative
// kTolerance of their magnitudes) is examined further: tighter Bernstein bounds, then the roots.
// An interior value within twice that tolerance of the element's end values is the end's own
// (a peak at a node, found a hair inside the element, or rounding around a value the node
// shares): the node keeps it. The bound used by the screen lies within rounding of the exact
// curve, so a value the examination would keep is never screened out.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "analysis/beam_analysis.h"
#include "analysis/element_values.h"
#include "model/units.h"

namespace spanlab {

namespace {

// Rounding band, relative to the magnitude of an element's terms: some 64 roundings of the
// closed forms, far below any difference the printed values show.
constexpr double kTolerance = 64 * std::numeric_limits<double>::epsilon();

struct Extreme {
  Extreme(double lowest, double highest)
      : minV(lowest), maxV(highest), low(lowest), high(highest) {}
  double minV, xMin = 0, maxV, xMax = 0;
  // The extremes so far and the values the beam is known to reach somewhere (its nodes', for
  // deflection and rotation): what an element's interior must beat, for the screens only.
  double low, high;
  double Low() const { return low; }
  double High() const { return high; }
  void Seed(double lowest, double highest) {
    low = std::min(low, lowest);
    high = std::max(high, highest);
  }
  void Track(double v, double x) {
    TrackMax(v, x);
    TrackMin(v, x);
  }
  void TrackMax(double v, double x) {
    if (v > maxV) {
      maxV = v;
      xMax = x;
      high = std::max(high, v);
    }
  }
  void TrackMin(double v, double x) {
    if (v < minV) {
      minV = v;
      xMin = x;
      low = std::min(low, v);
    }
  }
  void Store(double& lowest, double& xLow, double& highest, double& xHigh) const {
    lowest = minV, xLow = xMin, highest = maxV, xHigh = xMax;
  }
};

// An element's data for the screen, and the running extremes to beat.
struct Screen {
  double l, ei, v1, v2, r1, r2, va, vb, ma, mb, p, q;
};

// Whether the bound [low, high] of a quantity whose ends are a and b reaches beyond both the
// extremes so far and the ends by more than the tolerance `tol()` gives (all in the same scale:
// `scale` times the quantity's units). The tolerance is worked out only when needed.
template <typename Tol>
inline bool Reaches(const Extreme& ex, double scale, double a, double b, double low, double high,
                    Tol tol) {
  const double top = std::max(std::max(ex.High() * scale, a), b);
  const double bottom = std::min(std::min(ex.Low() * scale, a), b);
  if (!(high > top) && !(low < bottom)) return false;
  const double t = tol();
  return high > top + t || low < bottom - t;
}

// Whether a + d t + k t (1 - t) exceeds `level` somewhere in 0 < t < 1, given a <= level and
// a + d <= level: only where k > 0 puts its peak, at t = (d + k) / 2k, inside, and the peak
// value a + (d + k)^2 / 4k is above the level.
inline bool ParabolaAbove(double a, double d, double k, double level) {
  return k > 0 && std::fabs(d) < k && (d + k) * (d + k) > 4 * k * (level - a);
}

// Bit k of the result is set for each quantity k (BeamQuantity's order) that needs a closer
// look, with its absolute tolerance (in the quantity's own units) in tol[k]. A quantity is
// stationary inside only where its derivative changes sign, so the bounds of the derivative
// (load, shear, moment, rotation) settle most elements before the quantity's own bounds do.
unsigned ScreenElement(const Screen& s, const Extreme& deflection, const Extreme& rotation,
                       const Extreme& shear, const Extreme& moment, double tol[4]) {
  unsigned mask = 0;
  const double l = s.l, l2 = l * l;
  // Shear: quadratic only under a varying load; it departs from its chord by up to q l / 8.
  const double dv = -0.125 * s.q * l;
  const double vLow = std::min(s.va, s.vb) + std::min(dv, 0.0);
  const double vHigh = std::max(s.va, s.vb) + std::max(dv, 0.0);
  if (s.q != 0 && Reaches(shear, 1, s.va, s.vb, vLow, vHigh, [&] {
        return tol[2] = kTolerance * (std::fabs(s.va) + std::fabs(s.vb) + std::fabs(dv));
      }))
    mask |= 1u << 2;
  // Moment: the chord minus p l^2 t (1 - t) / 2 and q l^2 t (1 - t^2) / 6.
  const double pl2 = s.p * l2, ql2 = s.q * l2;
  const double dp = -0.125 * pl2, dq = -0.0642 * ql2;  // 0.0642 > max t (1 - t^2) / 6
  const double mLow = std::min(s.ma, s.mb) + std::min(dp, 0.0) + std::min(dq, 0.0);
  const double mHigh = std::max(s.ma, s.mb) + std::max(dp, 0.0) + std::max(dq, 0.0);
  auto moments = [&] {
    return std::fabs(s.ma) + std::fabs(s.mb) + std::fabs(pl2) + std::fabs(ql2);
  };
  if (vLow < 0 && vHigh > 0 && Reaches(moment, 1, s.ma, s.mb, mLow, mHigh, [&] {
        return tol[3] = kTolerance * moments();
      }))
    mask |= 1u << 3;
  if (s.ei == 0) return mask;  // deflects linearly, turns by the chord's rotation
  if (!(s.ei > 0)) {  // a negative stiffness (or not a number): no screen, examine both
    const double k = std::fabs(l / s.ei) * moments();
    tol[1] = kTolerance * (std::fabs(s.r1) + std::fabs(s.r2) + std::fabs(s.v2 - s.v1) / l + k);
    tol[0] = kTolerance * (std::fabs(s.v1) + std::fabs(s.v2) + 0.25 * l * k);
    return mask | 3u;
  }
  // Rotation: r1 - (l / EI) F(t) with F(t) the integral of the moment from 0 to t in t, a
  // quartic with F(0) = 0 whose values lie within the hull of its Bernstein coefficients: 0,
  // Ma / 4, Ma / 2 + c1 / 12, 3 Ma / 4 + c1 / 4 + c2 / 12 and F(1), the last one the right end
  // (c1 = Mb - Ma - p l^2 / 2 - q l^2 / 6, c2 = p l^2 / 2: the moment's coefficients in t).
  // Scaled by EI, with k = l: r EI - k F. Where the moment keeps one sign it is monotone.
  const double e1 = s.r1 * s.ei, e2 = s.r2 * s.ei;
  double rLow = std::min(e1, e2), rHigh = std::max(e1, e2);
  if (mLow < 0 && mHigh > 0) {
    constexpr double k12 = 1.0 / 12, k6 = 1.0 / 6;
    const double c1 = s.mb - s.ma - 0.5 * pl2 - ql2 * k6;
    const double f1 = 0.25 * s.ma, f2 = 0.5 * s.ma + c1 * k12,
                 f3 = 0.75 * s.ma + 0.25 * c1 + pl2 * (0.5 * k12);
    const double fLow = std::min(std::min(f1, f2), f3), fHigh = std::max(std::max(f1, f2), f3);
    rLow = std::min(rLow, e1 - l * fHigh);
    rHigh = std::max(rHigh, e1 - l * fLow);
    if (Reaches(rotation, s.ei, e1, e2, rLow, rHigh, [&] {
          const double t = kTolerance * (std::fabs(e1) + std::fabs(e2) +
                                         std::fabs(s.v2 - s.v1) * s.ei / l + l * moments());
          tol[1] = t / s.ei;
          return t;
        }))
      mask |= 1u << 1;
  }
  if (!(rLow < 0 && rHigh > 0)) return mask;
  // Deflection times EI: the chord plus l^2 t (1 - t) g(t), g's moment part linear in t, its
  // load parts within p l^2 / 24 [1, 1.25] and q l^2 / 360 [7, 9.48]; so it lies between the
  // chord plus k t (1 - t) for k = l^2 min(g) and for k = l^2 max(g).
  constexpr double k3 = 1.0 / 3, k6 = 1.0 / 6, k24 = 1.0 / 24, k360 = 1.0 / 360;
  const double c0 = -s.ma * k3 - s.mb * k6, c1 = -s.ma * k6 - s.mb * k3;
  const double pl = pl2 * k24, ql = ql2 * k360;
  const double gLow = std::min(c0, c1) + std::min(pl, 1.25 * pl) + std::min(7 * ql, 9.48 * ql);
  const double gHigh = std::max(c0, c1) + std::max(pl, 1.25 * pl) + std::max(7 * ql, 9.48 * ql);
  const double f1 = s.v1 * s.ei, f2 = s.v2 * s.ei;
  const double high = std::max(std::max(deflection.High() * s.ei, f1), f2);
  const double low = std::min(std::min(deflection.Low() * s.ei, f1), f2);
  if (!ParabolaAbove(f1, f2 - f1, l2 * gHigh, high) &&
      !ParabolaAbove(-f1, f1 - f2, -l2 * gLow, -low))
    return mask;
  const double t = kTolerance * (std::fabs(f1) + std::fabs(f2) + 0.25 * l2 * moments());
  if (ParabolaAbove(f1, f2 - f1, l2 * gHigh, high + t) ||
      ParabolaAbove(-f1, f1 - f2, -l2 * gLow, -(low - t))) {
    tol[0] = t / s.ei;
    mask |= 1u << 0;
  }
  return mask;
}

// The first and cheapest screen, for an element of positive stiffness without a hinge: true when
// none of its four curves can hold a new extreme. Each curve departs from the chord between its
// end values by no more than a bound from the end values and the load alone (t in [0, 1]):
//   shear      |q| l / 8                                  (q l t (t - 1) / 2)
//   moment     p l^2 / 8 and 0.0642 q l^2, each one way   (as in ScreenElement)
//   rotation   l / EI (|Ma - Mb| / 8 + 0.00802 |p| l^2 + 0.0054 |q| l^2)
//   deflection l^2 / 4 EI times the bounds of g, each one way (as in ScreenElement).
// The rotation is r1 minus l / EI times the moment's integral F, so its departure from the chord
// is l / EI |F(t) - t F(1)|: |Ma - Mb| t (1 - t) / 2 from the moment's chord, p l^2 / 2 and
// q l^2 / 6 times at most 0.016038 and 0.032378 (the largest |t^2/2 - t^3/3 - t/6| and
// |t^2/2 - t^4/4 - t/4|) from its load terms. The deflection departs by l^2 t (1 - t) g(t) / EI,
// and t (1 - t) lies in [0, 1/4]. A quantity is also settled where its derivative keeps one sign
// (as in ScreenElement). The margin, 1e-12 of the magnitudes of the closed forms' terms, lies far
// above their rounding: a value the closer look would compute stays strictly below a value that
// the beam reaches elsewhere, so it could never become the extreme, nor move its position.
inline bool QuietElement(const Screen& s, const Extreme& deflection, const Extreme& rotation,
                         const Extreme& shear, const Extreme& moment) {
  constexpr double kMargin = 1e-12;
  const double l = s.l, l2 = l * l;
  const double pl2 = s.p * l2, ql2 = s.q * l2;
  // Each quantity's bound [lo, hi] holds its ends, so it is inside the extremes when
  // hi + margin < high and lo - margin > low. The margins: 1e-12 of the magnitudes of the terms.
  double vLo = std::min(s.va, s.vb), vHi = std::max(s.va, s.vb);
  const double dp = -0.125 * pl2;
  double mLo = std::min(s.ma, s.mb) + std::min(dp, 0.0),
         mHi = std::max(s.ma, s.mb) + std::max(dp, 0.0);
  if (s.q != 0) {  // a varying load: quadratic shear, and the load's cubic terms
    const double dv = 0.125 * std::fabs(s.q) * l;
    const double vm = kMargin * (std::fabs(s.va) + std::fabs(s.vb) + std::fabs(s.q) * l);
    vLo -= dv, vHi += dv;
    if (!(vHi + vm < shear.high && vLo - vm > shear.low)) return false;
    const double dq = -0.0642 * ql2;
    mLo += std::min(dq, 0.0), mHi += std::max(dq, 0.0);
  }
  double rLo = std::min(s.r1, s.r2), rHi = std::max(s.r1, s.r2);
  const bool vTurns = vLo < 0 && vHi > 0, mTurns = mLo < 0 && mHi > 0;
  // No derivative changes sign (most elements of a finely divided span): nothing is stationary.
  if (!vTurns && !mTurns && !(rLo < 0 && rHi > 0)) return true;
  const double chordM = std::fabs(s.ma - s.mb);
  double mm = kMargin * (std::fabs(s.ma) + std::fabs(s.mb) + std::fabs(pl2));
  double dr = 0.125 * chordM + 0.00802 * std::fabs(pl2);
  if (s.q != 0) {
    mm += kMargin * std::fabs(ql2);
    dr += 0.0054 * std::fabs(ql2);
  }
  // Moment: stationary only where the shear changes sign.
  if (vTurns && !(mHi + mm < moment.high && mLo - mm > moment.low)) return false;
  // Rotation: stationary only where the moment changes sign.
  const double w = l / s.ei;
  const double rm = kMargin * (std::fabs(s.r1) + std::fabs(s.r2)) + w * mm;
  if (mTurns) {
    dr *= w;
    rLo -= dr, rHi += dr;
    if (!(rHi + rm < rotation.high && rLo - rm > rotation.low)) return false;
  }
  // Deflection: stationary only where the rotation changes sign. g's moment part lies between
  // c0 = -(2 Ma + Mb) / 6 and c1 = -(Ma + 2 Mb) / 6, i.e. around -(Ma + Mb) / 4 by |Ma - Mb| / 12.
  if (!(rLo < 0 && rHi > 0)) return true;
  const double pl = pl2 * (1.0 / 24);
  const double gMid = -0.25 * (s.ma + s.mb) + pl, gHalf = chordM * (1.0 / 12);
  double gLo = gMid - gHalf + std::min(0.25 * pl, 0.0),
         gHi = gMid + gHalf + std::max(0.25 * pl, 0.0);
  if (s.q != 0) {
    const double ql = ql2 * (1.0 / 360);
    gLo += std::min(7 * ql, 9.48 * ql);
    gHi += std::max(7 * ql, 9.48 * ql);
  }
  const double k = 0.25 * l * w;
  const double dm = kMargin * (std::fabs(s.v1) + std::fabs(s.v2)) + l * rm;
  return std::max(s.v1, s.v2) + k * std::max(gHi, 0.0) + dm < deflection.high &&
         std::min(s.v1, s.v2) + k * std::min(gLo, 0.0) - dm > deflection.low;
}

bool Within(const Extreme& extreme, double low, double high, double tol) {
  return low >= extreme.Low() - tol && high <= extreme.High() + tol;
}

// The stationary values of one quantity inside the element that the screen let through, when
// its tighter bounds (rotation and deflection) still reach beyond the extremes found so far.
// `tol` is the screen's tolerance in the quantity's units.
void TrackInterior(const ElementSolution& element, BeamQuantity quantity, Extreme& extreme,
                   double tol) {
  if (quantity == BeamQuantity::kRotation || quantity == BeamQuantity::kDeflection) {
    double low, high;
    element.Bounds(quantity, low, high);
    if (Within(extreme, low, high, tol)) return;
  }
  double s[4];
  const int n = element.StationaryPoints(quantity, s);
  if (n == 0) return;
  const double a = element.Value(quantity, 0), b = element.Value(quantity, element.Length());
  const double endHigh = std::max(a, b) + 2 * tol, endLow = std::min(a, b) - 2 * tol;
  for (int i = 0; i < n; ++i) {
    const double v = element.Value(quantity, s[i]);
    if (v > endHigh) extreme.TrackMax(v, element.XStart() + s[i]);
    if (v < endLow) extreme.TrackMin(v, element.XStart() + s[i]);
  }
}

// Whether x and y are the same bits.
inline bool Same(double x, double y) {
  return std::bit_cast<uint64_t>(x) == std::bit_cast<uint64_t>(y);
}

// Whether s, an element's data for the screen, are bit for bit those of element f, the last
// element QuietElement settled. The extremes only widen, so such an element is settled too: the
// runs of equal spans of a long beam skip the screen's arithmetic. The deflection at the left
// end, compared first, differs from element to element almost everywhere else.
inline bool RepeatsSettled(const CBeamAnalysis& a, const Screen& s, int32_t f) {
  const BeamElement& el = a.m_elements[static_cast<size_t>(f)];
  const BeamNode& left = a.m_nodes[static_cast<size_t>(f)];
  const BeamNode& right = a.m_nodes[static_cast<size_t>(f) + 1];
  if (!Same(s.v1, left.deflection) || !Same(s.r1, left.rotation) ||
      !Same(s.ma, el.momentStart) || !Same(s.va, el.shearStart))
    return false;
  const CBeamAnalysis::ElementLoad load = a.ElementLoadOf(f);
  return Same(s.v2, right.deflection) && Same(s.r2, right.rotation) &&
         Same(s.vb, -el.shearEnd) && Same(s.mb, -el.momentEnd) && Same(s.l, el.xEnd - left.x) &&
         Same(s.ei, el.ei) && Same(s.p, load.p) && Same(s.q, load.q);
}

// The interior of element e: screened, then examined where the screen leaves it open; at a
// hinge also the rotation just left of it.
inline void TrackElement(const CBeamAnalysis& a, int32_t e, int32_t& settled, Extreme& deflection,
                         Extreme& rotation, Extreme& shear, Extreme& moment) {
  const BeamElement& el = a.m_elements[static_cast<size_t>(e)];
  const BeamNode& left = a.m_nodes[static_cast<size_t>(e)];
  const BeamNode& right = a.m_nodes[static_cast<size_t>(e) + 1];
  const CBeamAnalysis::ElementLoad load = a.ElementLoadOf(e);
  const bool hinge = el.releaseEnd == 1;
  const Screen s{el.xEnd - left.x, el.ei,           left.deflection, right.deflection,
                 left.rotation,    right.rotation,  el.shearStart,   -el.shearEnd,
                 el.momentStart,   -el.momentEnd,   load.p,          load.q};
  if (!hinge && s.ei > 0) {
    if (settled > 0 && RepeatsSettled(a, s, settled)) return;
    if (QuietElement(s, deflection, rotation, shear, moment)) {
      settled = e;
      return;
    }
  }
  double tol[4] = {0, 0, 0, 0};
  unsigned mask = ScreenElement(s, deflection, rotation, shear, moment, tol);
  if (hinge && s.ei > 0 && !(mask & 2u)) {  // its own end rotation is not the node's
    mask |= 1u << 1;
    tol[1] = kTolerance * (std::fabs(s.r1) + std::fabs(s.r2) + std::fabs(s.v2 - s.v1) / s.l +
                           s.l / s.ei * (std::fabs(s.ma) + std::fabs(s.mb) +
                                         (std::fabs(s.p) + std::fabs(s.q)) * s.l * s.l));
  }
  if (mask == 0) return;
  const ElementSolution element(a, e);
  if (mask & 1u) TrackInterior(element, BeamQuantity::kDeflection, deflection, tol[0]);
  if (mask & 2u) TrackInterior(element, BeamQuantity::kRotation, rotation, tol[1]);
  if (mask & 4u) TrackInterior(element, BeamQuantity::kShear, shear, tol[2]);
  if (mask & 8u) TrackInterior(element, BeamQuantity::kMoment, moment, tol[3]);
  if (hinge) rotation.Track(element.At(element.Length()).rotation, el.xEnd);
}

// The node values' range, so that the screen knows from the start what the beam reaches: an
// extreme at the far end then spares the elements before it their closer look.
void SeedFromNodes(const CBeamAnalysis& a, Extreme& deflection, Extreme& rotation) {
  double dMin = a.m_nodes[1].deflection, dMax = dMin, rMin = a.m_nodes[1].rotation, rMax = rMin;
  for (int32_t i = 2; i <= a.m_nNodes; ++i) {
    const BeamNode& n = a.m_nodes[static_cast<size_t>(i)];
    dMin = std::min(dMin, n.deflection), dMax = std::max(dMax, n.deflection);
    rMin = std::min(rMin, n.rotation), rMax = std::max(rMax, n.rotation);
  }
  deflection.Seed(dMin, dMax);
  rotation.Seed(rMin, rMax);
}

}  // namespace

void CBeamAnalysis::ComputeExtremes(int units) {
  ClearExtremes();
  if (m_nElements <= 0 || m_nNodes <= 0) return;
  const TableLock lock(*this);
  // The running extremes live in locals (registers) for the pass, and are stored at its end.
  const double v1 = m_elements[1].shearStart, m1 = m_elements[1].momentStart;
  Extreme shear(v1, v1);
  Extreme moment(m1, m1);
  Extreme rotation(1e50, -1e50);
  Extreme deflection(1e50, -1e50);
  // Values between nodes only for a complete run: after A1, A3 or A4 the tables hold no
  // solution of the loads.
  const bool interior = m_bCasesReady && m_dLength > 0;
  if (interior) SeedFromNodes(*this, deflection, rotation);
  int32_t settled = 0;  // the last element QuietElement settled, or 0
  for (int32_t e = 1; e <= m_nElements; ++e) {
    const BeamElement& el = m_elements[e];
    const BeamNode& n = m_nodes[e];
    const double xs = el.xEnd - ElementLength(e);
    deflection.Track(n.deflection, n.x);
    rotation.Track(n.rotation, n.x);
    shear.Track(el.shearStart, xs);
    moment.Track(el.momentStart, xs);
    if (interior) TrackElement(*this, e, settled, deflection, rotation, shear, moment);
    shear.Track(-el.shearEnd, el.xEnd);
    moment.Track(-el.momentEnd, el.xEnd);
  }
  for (int32_t i = m_nElements + 1; i <= m_nNodes; ++i) {
    deflection.Track(m_nodes[i].deflection, m_nodes[i].x);
    rotation.Track(m_nodes[i].rotation, m_nodes[i].x);
  }
  shear.Store(m_dMinShear, m_dXMinShear, m_dMaxShear, m_dXMaxShear);
  moment.Store(m_dMinMoment, m_dXMinMoment, m_dMaxMoment, m_dXMaxMoment);
  rotation.Store(m_dMinRotation, m_dXMinRotation, m_dMaxRotation, m_dXMaxRotation);
  deflection.Store(m_dMinDeflection, m_dXMinDeflection, m_dMaxDeflection, m_dXMaxDeflection);
  if (interior) {
    m_dMaxAbsDeflection =
        std::max({m_dMaxAbsDeflection, std::fabs(m_dMinDeflection), std::fabs(m_dMaxDeflection)});
    m_dMaxAbsRotation =
        std::max({m_dMaxAbsRotation, std::fabs(m_dMinRotation), std::fabs(m_dMaxRotation)});
    m_dMaxAbsShear = std::max({m_dMaxAbsShear, std::fabs(m_dMinShear), std::fabs(m_dMaxShear)});
    m_dMaxAbsMoment =
        std::max({m_dMaxAbsMoment, std::fabs(m_dMinMoment), std::fabs(m_dMaxMoment)});
  }
  if (units == kUnitsMetric) {  // metres to millimetres
    m_dMinDeflection *= 1000;
    m_dMaxDeflection *= 1000;
  }
}

}  // namespace spanlab
