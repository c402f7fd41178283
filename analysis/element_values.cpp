// Closed forms of a solved Euler-Bernoulli element under a linearly varying load.
//
// Element of length l, t = s / l, load w = p + q t (positive in the direction of positive
// deflection), dV/ds = w, V = dM/ds, M = EI v'', rotation = -v'. With the diagram moments Ma
// (= momentStart) and Mb (= -momentEnd) at its ends, equilibrium alone gives
//   M(t) = Ma (1 - t) + Mb t - p l^2 t (1 - t) / 2 - q l^2 t (1 - t^2) / 6,
// which holds for a released (hinged) element too, and between the shears Va = shearStart and
// Vb = -shearEnd
//   V(t) = Va (1 - t) + Vb t + q l t (t - 1) / 2.
// Integrating v'' = M / EI twice between the end deflections v1, v2:
//   v(t) = v1 (1 - t) + v2 t + l^2 t (1 - t) / EI * [ -Ma (2 - t) / 6 - Mb (1 + t) / 6
//          + p l^2 (1 + t - t^2) / 24 + q l^2 (1 + t) (7 - 3 t^2) / 360 ],
//   rotation(t) = -(v2 - v1) / l - l / EI * [ -Ma (2 - 6t + 3t^2) / 6 + Mb (3t^2 - 1) / 6
//          + p l^2 (1 - 6t^2 + 4t^3) / 24 + q l^2 (7 - 30t^2 + 15t^4) / 360 ].
// Each form takes its end values exactly, so the curves meet the node results.
//
// Stationary points are the roots in (0, 1) of the derivative's polynomial. They are isolated
// by the roots of that polynomial's own derivative (found the same way, down to a linear one):
// between two consecutive critical points the polynomial is monotone, so a sign change there
// holds exactly one root, which Newton's method kept inside the bracket (bisection where a step
// would leave it) finds in a few steps.
#include "analysis/element_values.h"

#include <algorithm>
#include <cmath>

namespace spanlab {

namespace {

double Horner(const double* c, int degree, double t) {
  double v = c[degree];
  for (int k = degree - 1; k >= 0; --k) v = v * t + c[k];
  return v;
}

// The root of c (degree `degree`, derivative d) in [a, b], where it changes sign (fa = c(a)):
// Newton steps kept inside the shrinking bracket, a bisection wherever a step would leave it.
double RootInBracket(const double* c, const double* d, int degree, double a, double b, double fa,
                     int steps) {
  double x = 0.5 * (a + b);
  for (int k = 0; k < steps; ++k) {
    const double f = Horner(c, degree, x);
    if (f == 0) return x;
    if ((f < 0) == (fa < 0)) {
      a = x;
    } else {
      b = x;
    }
    double next = x - f / Horner(d, degree - 1, x);
    if (!(next > a && next < b)) next = 0.5 * (a + b);
    if (!(next != x) || std::fabs(next - x) <= 1e-16) return next;
    x = next;
  }
  return x;
}

// Roots of c[0] + c[1] t + c[2] t^2 (c[2] != 0) with 0 < t < 1, ascending, by the formula that
// avoids cancellation; a double root (discriminant 0) counts as none, as below.
int QuadraticRootsInUnit(const double* c, double* out) {
  const double disc = c[1] * c[1] - 4 * c[2] * c[0];
  if (!(disc > 0)) return 0;
  const double q = -0.5 * (c[1] + std::copysign(std::sqrt(disc), c[1]));
  double r[2] = {q / c[2], q != 0 ? c[0] / q : q / c[2]};
  if (r[0] > r[1]) std::swap(r[0], r[1]);
  int n = 0;
  for (const double t : r) {
    if (t > 0 && t < 1) out[n++] = t;
  }
  return n;
}

// Roots of c[0] + c[1] t + ... + c[degree] t^degree with 0 < t < 1, ascending; double roots
// (where the sign does not change) may be missed, which is harmless for extremes: there the
// integral has an inflection, not an extreme.
int RootsInUnit(const double* c, int degree, double* out, int steps) {
  while (degree > 0 && c[degree] == 0) --degree;
  if (degree <= 0) return 0;
  if (degree == 1) {
    const double t = -c[0] / c[1];
    if (t > 0 && t < 1) {
      out[0] = t;
      return 1;
    }
    return 0;
  }
  if (degree == 2) return QuadraticRootsInUnit(c, out);
  double d[4];
  for (int k = 1; k <= degree; ++k) d[k - 1] = k * c[k];
  double points[6];
  points[0] = 0;
  const int critical = RootsInUnit(d, degree - 1, points + 1, steps);
  points[critical + 1] = 1;
  int n = 0;
  for (int i = 0; i <= critical; ++i) {
    double a = points[i], b = points[i + 1];
    double fa = Horner(c, degree, a);
    const double fb = Horner(c, degree, b);
    if (fa == 0) {
      if (a > 0) out[n++] = a;
      continue;
    }
    if (!(fa < 0 ? fb > 0 : fb < 0)) continue;  // no sign change (or not a number)
    out[n++] = RootInBracket(c, d, degree, a, b, fa, steps);
  }
  return n;
}

// Widens [lo, hi] to hold every value of c (degree 4 or 5) on [0, 1]: the hull of its Bernstein
// coefficients b_i = sum over k <= i of C(i,k) / C(n,k) c_k on each half of the interval.
void BernsteinHull(const double* c, int degree, double& lo, double& hi) {
  // kRatio[n][i][k] = C(i,k) / C(n,k) for n = 4, 5.
  static constexpr double kRatio[2][6][6] = {
      {{1, 0, 0, 0, 0, 0},
       {1, 1.0 / 4, 0, 0, 0, 0},
       {1, 2.0 / 4, 1.0 / 6, 0, 0, 0},
       {1, 3.0 / 4, 3.0 / 6, 1.0 / 4, 0, 0},
       {1, 1, 1, 1, 1, 0},
       {0, 0, 0, 0, 0, 0}},
      {{1, 0, 0, 0, 0, 0},
       {1, 1.0 / 5, 0, 0, 0, 0},
       {1, 2.0 / 5, 1.0 / 10, 0, 0, 0},
       {1, 3.0 / 5, 3.0 / 10, 1.0 / 10, 0, 0},
       {1, 4.0 / 5, 6.0 / 10, 4.0 / 10, 1.0 / 5, 0},
       {1, 1, 1, 1, 1, 1}}};
  const auto& ratio = kRatio[degree - 4];
  double b[6];
  for (int i = 0; i <= degree; ++i) {
    double bi = 0;
    for (int k = 0; k <= i; ++k) bi += ratio[i][k] * c[k];
    b[i] = bi;
  }
  // Split at t = 1/2 (de Casteljau): the two halves' coefficients, b[0] of each step for the
  // left half and b[last] for the right, hug the curve some four times closer than b itself.
  for (int level = degree; level >= 0; --level) {
    const double left = b[0], right = b[level];
    if (left < lo) lo = left;
    if (right < lo) lo = right;
    if (left > hi) hi = left;
    if (right > hi) hi = right;
    for (int i = 0; i < level; ++i) b[i] = 0.5 * (b[i] + b[i + 1]);
  }
}

constexpr double kInverse[6] = {0, 1, 1.0 / 2, 1.0 / 3, 1.0 / 4, 1.0 / 5};

// Largest |t (1 - t^2)| on [0, 1] is 2 / (3 sqrt 3) = 0.3849...; over 6, rounded up.
constexpr double kCubicLoadPeak = 0.0642;

}  // namespace

namespace {

// Element e's ends as the run's tables hold them.
ElementEnds TableEnds(const CBeamAnalysis& a, int32_t e) {
  const BeamElement& el = a.m_elements[static_cast<size_t>(e)];
  const BeamNode& left = a.m_nodes[static_cast<size_t>(e)];
  const BeamNode& right = a.m_nodes[static_cast<size_t>(e) + 1];
  const CBeamAnalysis::ElementLoad load = a.ElementLoadOf(e);
  return ElementEnds{left.deflection, right.deflection, left.rotation,  right.rotation,
                     el.shearStart,   el.shearEnd,      el.momentStart, el.momentEnd,
                     load.p,          load.q};
}

}  // namespace

ElementSolution::ElementSolution(const CBeamAnalysis& a, int32_t e)
    : ElementSolution(a, e, TableEnds(a, e)) {}

ElementSolution::ElementSolution(const CBeamAnalysis& a, int32_t e, const ElementEnds& ends) {
  const BeamElement& el = a.m_elements[static_cast<size_t>(e)];
  m_x0 = a.m_nodes[static_cast<size_t>(e)].x;
  m_l = a.ElementLength(e);
  m_ei = el.ei;
  m_v1 = ends.v1;
  m_v2 = ends.v2;
  m_r1 = ends.r1;
  m_r2 = ends.r2;
  m_va = ends.shearStart;
  m_vb = -ends.shearEnd;
  m_ma = ends.momentStart;
  m_mb = -ends.momentEnd;
  m_p = ends.p;
  m_q = ends.q;
  m_ownEndRotation = el.releaseEnd == 1;
}

ElementEnds& ElementEnds::operator+=(const ElementEnds& o) {
  v1 += o.v1, v2 += o.v2, r1 += o.r1, r2 += o.r2;
  shearStart += o.shearStart, shearEnd += o.shearEnd;
  momentStart += o.momentStart, momentEnd += o.momentEnd;
  p += o.p, q += o.q;
  return *this;
}

ElementEnds EndsOf(const CBeamAnalysis::CaseResults& c, int32_t e) {
  const auto i = static_cast<size_t>(e);
  return {c.deflection[i], c.deflection[i + 1], c.rotation[i],  c.rotation[i + 1], c.shearStart[i],
          c.shearEnd[i],   c.momentStart[i],    c.momentEnd[i], c.loadP[i],        c.loadQ[i]};
}

BeamValues ElementSolution::At(double s) const {
  if (!(s > 0) || !(m_l > 0)) return {m_v1, m_r1, m_va, m_ma};
  BeamValues v;
  const bool atEnd = s >= m_l;
  const double t = atEnd ? 1.0 : s / m_l;
  const double u = 1 - t;
  const double l2 = m_l * m_l;
  v.shear = atEnd ? m_vb : m_va * u + m_vb * t - m_q * m_l * t * u / 2;
  v.moment = atEnd ? m_mb : m_ma * u + m_mb * t - m_p * l2 * t * u / 2 - m_q * l2 * t * u * (1 + t) / 6;
  if (m_ei == 0) {
    v.deflection = atEnd ? m_v2 : m_v1 * u + m_v2 * t;
    v.rotation = atEnd ? m_r2 : -(m_v2 - m_v1) / m_l;
    return v;
  }
  if (atEnd) {
    v.deflection = m_v2;
  } else {
    const double bend = -m_ma * (2 - t) / 6 - m_mb * (1 + t) / 6 +
                        m_p * l2 * (1 + t * u) / 24 + m_q * l2 * (1 + t) * (7 - 3 * t * t) / 360;
    v.deflection = m_v1 * u + m_v2 * t + l2 * t * u / m_ei * bend;
  }
  if (atEnd && !m_ownEndRotation) {
    v.rotation = m_r2;
  } else {
    const double t2 = t * t;
    const double slope = -m_ma * (2 - 6 * t + 3 * t2) / 6 + m_mb * (3 * t2 - 1) / 6 +
                         m_p * l2 * (1 - 6 * t2 + 4 * t2 * t) / 24 +
                         m_q * l2 * (7 - 30 * t2 + 15 * t2 * t2) / 360;
    v.rotation = -(m_v2 - m_v1) / m_l - m_l / m_ei * slope;
  }
  return v;
}

double ElementSolution::Value(BeamQuantity quantity, double s) const {
  if (!(s > 0) || !(m_l > 0) || s >= m_l ||
      (m_ei == 0 && (quantity == BeamQuantity::kDeflection || quantity == BeamQuantity::kRotation))) {
    const BeamValues v = At(s);
    switch (quantity) {
      case BeamQuantity::kDeflection: return v.deflection;
      case BeamQuantity::kRotation: return v.rotation;
      case BeamQuantity::kShear: return v.shear;
      case BeamQuantity::kMoment: return v.moment;
    }
  }
  // Inside the element: the one closed form asked for (the same expressions as At).
  const double t = s / m_l, u = 1 - t, l2 = m_l * m_l;
  switch (quantity) {
    case BeamQuantity::kShear: return m_va * u + m_vb * t - m_q * m_l * t * u / 2;
    case BeamQuantity::kMoment:
      return m_ma * u + m_mb * t - m_p * l2 * t * u / 2 - m_q * l2 * t * u * (1 + t) / 6;
    case BeamQuantity::kDeflection: {
      const double bend = -m_ma * (2 - t) / 6 - m_mb * (1 + t) / 6 +
                          m_p * l2 * (1 + t * u) / 24 + m_q * l2 * (1 + t) * (7 - 3 * t * t) / 360;
      return m_v1 * u + m_v2 * t + l2 * t * u / m_ei * bend;
    }
    case BeamQuantity::kRotation: {
      const double t2 = t * t;
      const double slope = -m_ma * (2 - 6 * t + 3 * t2) / 6 + m_mb * (3 * t2 - 1) / 6 +
                           m_p * l2 * (1 - 6 * t2 + 4 * t2 * t) / 24 +
                           m_q * l2 * (7 - 30 * t2 + 15 * t2 * t2) / 360;
      return -(m_v2 - m_v1) / m_l - m_l / m_ei * slope;
    }
  }
  return 0;
}

int ElementSolution::DerivativePolynomial(BeamQuantity quantity, double c[5]) const {
  const double l = m_l, l2 = l * l;
  switch (quantity) {
    case BeamQuantity::kShear:  // dV/dt = l w
      c[0] = m_p;
      c[1] = m_q;
      return 1;
    case BeamQuantity::kMoment:  // dM/dt of the moment's closed form, over l
      c[0] = (m_mb - m_ma) / l - m_p * l / 2 - m_q * l / 6;
      c[1] = m_p * l;
      c[2] = m_q * l / 2;
      return 2;
    case BeamQuantity::kRotation:  // d(rotation)/dt = -l M / EI
      if (m_ei == 0) return 0;
      c[0] = m_ma;
      c[1] = m_mb - m_ma - m_p * l2 / 2 - m_q * l2 / 6;
      c[2] = m_p * l2 / 2;
      c[3] = m_q * l2 / 6;
      return 3;
    case BeamQuantity::kDeflection: {  // dv/dt = -l rotation
      if (m_ei == 0) return 0;
      constexpr double k3 = 1.0 / 3, k6 = 1.0 / 6, k12 = 1.0 / 12, k24 = 1.0 / 24,
                       k360 = 7.0 / 360;
      const double k = -l / m_ei, pl2 = m_p * l2, ql2 = m_q * l2;
      c[0] = -(m_v2 - m_v1) / l + k * (-m_ma * k3 - m_mb * k6 + pl2 * k24 + ql2 * k360);
      c[1] = k * m_ma;
      c[2] = k * (0.5 * (m_mb - m_ma) - 0.25 * pl2 - ql2 * k12);
      c[3] = k * pl2 * k6;
      c[4] = k * ql2 * k24;
      return 4;
    }
  }
  return 0;
}

int ElementSolution::StationaryPoints(BeamQuantity quantity, double out[4], int steps) const {
  if (!(m_l > 0)) return 0;
  double c[5];
  const int degree = DerivativePolynomial(quantity, c);
  double t[4];
  const int found = RootsInUnit(c, degree, t, steps);
  // A root within rounding of an end is that end, which the node values already cover.
  constexpr double kEdge = 1e-9;
  int n = 0;
  for (int i = 0; i < found; ++i) {
    if (t[i] > kEdge && t[i] < 1 - kEdge) out[n++] = t[i] * m_l;
  }
  return n;
}

void ElementSolution::Bounds(BeamQuantity quantity, double& low, double& high) const {
  const double l = m_l, l2 = l * l;
  double a = 0, b = 0, below = 0, above = 0;  // chord ends and the departures from the chord
  auto depart = [&](double d) {  // a departure between 0 and d
    below += std::min(d, 0.0);
    above += std::max(d, 0.0);
  };
  switch (quantity) {
    case BeamQuantity::kShear:
      a = m_va, b = m_vb;
      depart(-m_q * l / 8);
      break;
    case BeamQuantity::kMoment:
      a = m_ma, b = m_mb;
      depart(-m_p * l2 / 8);
      depart(-m_q * l2 * kCubicLoadPeak);
      break;
    case BeamQuantity::kRotation:
    case BeamQuantity::kDeflection:
      CurveHull(quantity, low, high);
      return;
  }
  low = std::min(a, b) + below;
  high = std::max(a, b) + above;
}

void ElementSolution::CurveHull(BeamQuantity quantity, double& low, double& high) const {
  const double r2 = m_ownEndRotation ? m_r1 : m_r2;
  const bool rotation = quantity == BeamQuantity::kRotation;
  low = rotation ? std::min(m_r1, r2) : std::min(m_v1, m_v2);
  high = rotation ? std::max(m_r1, r2) : std::max(m_v1, m_v2);
  if (m_ei == 0 || !(m_l > 0)) return;
  // The curve's own polynomial in Bernstein form: its values lie within the hull of the
  // coefficients. The rotation's is the deflection's derivative polynomial; the deflection's is
  // v1 minus l times the rotation's integral. (The coefficients carry rounding of their own,
  // hence the slack.)
  double c[6] = {0, 0, 0, 0, 0, 0};
  DerivativePolynomial(BeamQuantity::kDeflection, c);
  if (rotation) {
    BernsteinHull(c, 4, low, high);
  } else {
    for (int k = 5; k >= 1; --k) c[k] = -m_l * c[k - 1] * kInverse[k];
    c[0] = m_v1;
    BernsteinHull(c, 5, low, high);
  }
  const double slack = 1e-12 * std::max(std::fabs(low), std::fabs(high));
  low -= slack, high += slack;
}

BeamValues ValuesAt(const CBeamAnalysis& a, double x) {
  const int32_t n = a.m_nNodes;
  const auto first = a.m_nodes.begin() + 1, last = a.m_nodes.begin() + n + 1;
  const auto it =
      std::lower_bound(first, last, x, [](const BeamNode& node, double v) { return node.x < v; });
  const int32_t above = static_cast<int32_t>(it - a.m_nodes.begin());  // first x_i >= x
  if (above <= 1) return ElementSolution(a, 1).At(0);
  const int32_t e = std::min(above - 1, a.m_nElements);
  const ElementSolution element(a, e);
  if (above > n) return element.At(element.Length());
  return element.At(x - element.XStart());
}

}  // namespace spanlab
