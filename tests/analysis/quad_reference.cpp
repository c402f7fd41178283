#include "tests/analysis/quad_reference.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace spanlab::testing {

namespace {

using Quad = __float128;

struct Terms {
  Quad k[4][4] = {};
};

// The element stiffness of a beam element, fixed at both ends or pinned at its right end.
Terms ElementTerms(Quad ei, Quad h, int32_t releaseEnd) {
  Terms t;
  if (h == 0 || ei == 0) return t;
  auto& k = t.k;
  if (releaseEnd == 1) {
    const Quad c = 3 * ei / (h * h * h), b = 3 * ei / (h * h), a = 3 * ei / h;
    const Quad rows[4][4] = {{c, -b, -c, 0}, {-b, a, b, 0}, {-c, b, c, 0}, {0, 0, 0, 0}};
    std::copy(&rows[0][0], &rows[0][0] + 16, &k[0][0]);
  } else {
    const Quad c = 12 * ei / (h * h * h), b = 6 * ei / (h * h), a = 4 * ei / h, a2 = 2 * ei / h;
    const Quad rows[4][4] = {{c, -b, -c, -b}, {-b, a, b, a2}, {-c, b, c, b}, {-b, a2, b, a}};
    std::copy(&rows[0][0], &rows[0][0] + 16, &k[0][0]);
  }
  return t;
}

// Nodal forces of a load p + q (x - xs) / h on an element, as the load vector takes them:
// (+v1, -m1, +v2, +m2) for the fixed-ended element or the one pinned at its right end.
std::array<Quad, 4> LoadTerms(Quad p, Quad q, Quad l, int32_t releaseEnd) {
  if (releaseEnd == 1) {
    return {5 * p * l / 8 + 9 * q * l / 40, -(p * l * l / 8 + 7 * q * l * l / 120),
            3 * p * l / 8 + 11 * q * l / 40, 0};
  }
  return {p * l / 2 + 3 * q * l / 20, -(p * l * l / 12 + q * l * l / 30),
          p * l / 2 + 7 * q * l / 20, p * l * l / 12 + q * l * l / 20};
}

// For every element that a uniform load covers: use(e, p, q) with the intensity at the element's
// left end and its rise over the element.
template <class Use>
void EachLoadedElement(const CBeamAnalysis& run, const std::vector<CUniformLoadItem>& loads,
                       Use&& use) {
  for (const CUniformLoadItem& u : loads) {
    Quad x1 = u.m_dXStart, x2 = u.m_dXEnd, u1 = u.m_dUStart, u2 = u.m_dUEnd;
    if (x1 > x2) {
      std::swap(x1, x2);
      std::swap(u1, u2);
    }
    const int32_t first = (run.FindDof(static_cast<double>(x1)) + 1) / 2;
    const int32_t last = (run.FindDof(static_cast<double>(x2)) + 1) / 2;  // its right node
    const Quad slope = (u2 - u1) / (x2 - x1);
    for (int32_t e = first; e < last; ++e) {
      const Quad xs = run.m_nodes[e].x, xe = run.m_nodes[e + 1].x;
      use(e, u1 + slope * (xs - x1), slope * (xe - xs));
    }
  }
}

}  // namespace

QuadResult SolveInQuad(const CBeamAnalysis& run, const std::vector<CSupportItem>& supports,
                       const std::vector<CSpringItem>& springs,
                       const std::vector<CPointLoadItem>& pointLoads,
                       const std::vector<CUniformLoadItem>& uniformLoads) {
  const int32_t nodes = run.m_nNodes, n = 2 * nodes;
  // Full symmetric matrix as an upper band K[r][r + t], t = 0..3, rows 1..n.
  std::vector<std::array<Quad, 4>> K(n + 4, std::array<Quad, 4>{});
  std::vector<Quad> F(n + 4, 0), d(n + 4, 0);
  std::vector<char> prescribed(n + 4, 0);
  for (int32_t e = 1; e < nodes; ++e) {
    const Quad h = Quad(run.m_nodes[e + 1].x) - Quad(run.m_nodes[e].x);
    const Terms t = ElementTerms(run.m_elements[e].ei, h, run.m_elements[e].releaseEnd);
    const int32_t r0 = 2 * e - 1;
    for (int i = 0; i < 4; ++i) {
      for (int j = i; j < 4; ++j) K[r0 + i][j - i] += t.k[i][j];
    }
  }
  for (const CSpringItem& s : springs) {
    const int32_t r = run.FindDof(s.m_dX);
    if (s.m_dVSpring > 0) K[r][0] += s.m_dVSpring;
    if (s.m_dRSpring > 0) K[r + 1][0] += s.m_dRSpring;
  }
  for (const CPointLoadItem& p : pointLoads) {
    const int32_t r = run.FindDof(p.m_dX);
    F[r] += p.m_dPLoad;
    F[r + 1] += p.m_dMoment;
  }
  EachLoadedElement(run, uniformLoads, [&](int32_t e, Quad p, Quad q) {
    const Quad h = Quad(run.m_nodes[e + 1].x) - Quad(run.m_nodes[e].x);
    const std::array<Quad, 4> f = LoadTerms(p, q, h, run.m_elements[e].releaseEnd);
    for (int i = 0; i < 4; ++i) F[2 * e - 1 + i] += f[i];
  });
  for (const CSupportItem& s : supports) {
    const int32_t r = run.FindDof(s.m_dX);
    if (s.m_bDisp == 1) prescribed[r] = 1, d[r] = s.m_dDisp;
    if (s.m_bRotation == 1) prescribed[r + 1] = 1, d[r + 1] = s.m_dRotation;
  }
  const auto at = [&K](int32_t i, int32_t j) -> Quad {  // symmetric access, |i - j| <= 3
    return i <= j ? K[i][j - i] : K[j][i - j];
  };

  // The system for the free unknowns: prescribed values moved right, their rows made identity.
  std::vector<std::array<Quad, 4>> A(n + 4, std::array<Quad, 4>{});
  std::vector<Quad> b(n + 4, 0);
  for (int32_t i = 1; i <= n; ++i) {
    if (prescribed[i]) {
      A[i][0] = 1;
      b[i] = d[i];
      continue;
    }
    b[i] = F[i];
    for (int32_t j = std::max(1, i - 3); j <= std::min(n, i + 3); ++j) {
      if (prescribed[j]) b[i] -= at(i, j) * d[j];
    }
    for (int32_t j = i; j <= std::min(n, i + 3); ++j) A[i][j - i] = prescribed[j] ? 0 : K[i][j - i];
  }
  // Symmetric Gaussian elimination of the upper band, then back substitution.
  for (int32_t r = 1; r <= n; ++r) {
    for (int32_t m = r + 1; m <= std::min(n, r + 3); ++m) {
      const Quad f = A[r][m - r] / A[r][0];
      if (f == 0) continue;
      for (int32_t q = m; q <= std::min(n, r + 3); ++q) A[m][q - m] -= f * A[r][q - r];
      b[m] -= f * b[r];
    }
  }
  std::vector<Quad> x(n + 4, 0);
  for (int32_t r = n; r >= 1; --r) {
    Quad s = b[r];
    for (int32_t t = 1; t <= 3 && r + t <= n; ++t) s -= A[r][t] * x[r + t];
    x[r] = s / A[r][0];
  }

  QuadResult out;
  out.deflection.assign(nodes + 1, 0);
  out.rotation.assign(nodes + 1, 0);
  out.reactionVert.assign(nodes + 1, 0);
  out.reactionRot.assign(nodes + 1, 0);
  std::vector<Quad> reaction(n + 4, 0);
  for (int32_t i = 1; i <= n; ++i) {
    if (!prescribed[i]) continue;
    Quad s = -F[i];
    for (int32_t j = std::max(1, i - 3); j <= std::min(n, i + 3); ++j) s += at(i, j) * x[j];
    reaction[i] = s;
  }
  for (const CSpringItem& s : springs) {
    const int32_t node = (run.FindDof(s.m_dX) + 1) / 2;
    reaction[2 * node - 1] -= Quad(s.m_dVSpring) * x[2 * node - 1];
    reaction[2 * node] -= Quad(s.m_dRSpring) * x[2 * node];
  }
  for (int32_t i = 1; i <= nodes; ++i) {
    out.deflection[i] = static_cast<double>(x[2 * i - 1]);
    out.rotation[i] = static_cast<double>(x[2 * i]);
    out.reactionVert[i] = static_cast<double>(reaction[2 * i - 1]);
    out.reactionRot[i] = static_cast<double>(reaction[2 * i]);
  }

  const int32_t elements = nodes - 1;
  std::vector<std::array<Quad, 4>> ends(elements + 1, std::array<Quad, 4>{});
  for (int32_t e = 1; e <= elements; ++e) {
    const Quad h = Quad(run.m_nodes[e + 1].x) - Quad(run.m_nodes[e].x);
    const Terms t = ElementTerms(run.m_elements[e].ei, h, run.m_elements[e].releaseEnd);
    for (int i = 0; i < 4; ++i) {
      for (int j = 0; j < 4; ++j) ends[e][i] += t.k[i][j] * x[2 * e - 1 + j];
    }
  }
  EachLoadedElement(run, uniformLoads, [&](int32_t e, Quad p, Quad q) {
    const Quad h = Quad(run.m_nodes[e + 1].x) - Quad(run.m_nodes[e].x);
    const std::array<Quad, 4> f = LoadTerms(p, q, h, run.m_elements[e].releaseEnd);
    for (int i = 0; i < 4; ++i) ends[e][i] -= f[i];
  });
  out.shearStart.assign(elements + 1, 0);
  out.momentStart.assign(elements + 1, 0);
  out.shearEnd.assign(elements + 1, 0);
  out.momentEnd.assign(elements + 1, 0);
  for (int32_t e = 1; e <= elements; ++e) {
    out.shearStart[e] = static_cast<double>(ends[e][0]);
    out.momentStart[e] = static_cast<double>(ends[e][1]);
    out.shearEnd[e] = static_cast<double>(ends[e][2]);
    out.momentEnd[e] = static_cast<double>(ends[e][3]);
  }
  return out;
}

double RelativeErrors::Max() const {
  return std::max({deflection, rotation, reactionVert, reactionRot, shear, moment});
}

namespace {

// The largest |a - b| over the given pairs of arrays, relative to the largest |b| or `floor`.
using Pairs =
    std::initializer_list<std::pair<const std::vector<double>*, const std::vector<double>*>>;
double LargestOf(Pairs pairs) {
  double scale = 0;
  for (const auto& [a, b] : pairs) {
    for (size_t i = 1; i < b->size(); ++i) scale = std::max(scale, std::fabs((*b)[i]));
  }
  return scale;
}
double WorstOf(Pairs pairs, double floor = 0) {
  double scale = std::max(LargestOf(pairs), floor), worst = 0;
  if (scale == 0) scale = 1;
  for (const auto& [a, b] : pairs) {
    for (size_t i = 1; i < b->size(); ++i) {
      const double diff = std::fabs((*a)[i] - (*b)[i]);
      worst = std::max(worst, std::isnan(diff) ? INFINITY : diff / scale);
    }
  }
  return worst;
}

}  // namespace

RelativeErrors CompareWithQuad(const CBeamAnalysis::CaseResults& r, const QuadResult& x) {
  const Pairs shear = {{&r.shearStart, &x.shearStart}, {&r.shearEnd, &x.shearEnd}};
  const Pairs moment = {{&r.momentStart, &x.momentStart}, {&r.momentEnd, &x.momentEnd}};
  RelativeErrors e;
  e.deflection = WorstOf({{&r.deflection, &x.deflection}});
  e.rotation = WorstOf({{&r.rotation, &x.rotation}});
  // Reactions are forces on the beam like its shears and moments: where every reaction of a
  // kind is next to nothing, those are their scale.
  e.reactionVert = WorstOf({{&r.reactionVert, &x.reactionVert}}, LargestOf(shear));
  e.reactionRot = WorstOf({{&r.reactionRot, &x.reactionRot}}, LargestOf(moment));
  e.shear = WorstOf(shear);
  e.moment = WorstOf(moment);
  return e;
}

RelativeErrors CompareWithQuad(const CBeamAnalysis& run, const QuadResult& exact) {
  CBeamAnalysis::CaseResults r;
  const size_t nodes = static_cast<size_t>(run.m_nNodes) + 1;
  const size_t elements = static_cast<size_t>(run.m_nElements) + 1;
  for (auto* v : {&r.deflection, &r.rotation, &r.reactionVert, &r.reactionRot}) v->resize(nodes);
  for (auto* v : {&r.shearStart, &r.shearEnd, &r.momentStart, &r.momentEnd}) v->resize(elements);
  for (size_t i = 1; i < nodes; ++i) {
    const BeamNode& n = run.m_nodes[i];
    r.deflection[i] = n.deflection;
    r.rotation[i] = n.rotation;
    r.reactionVert[i] = n.reactionVert;
    r.reactionRot[i] = n.reactionRot;
  }
  for (size_t e = 1; e < elements; ++e) {
    const BeamElement& el = run.m_elements[e];
    r.shearStart[e] = el.shearStart;
    r.shearEnd[e] = el.shearEnd;
    r.momentStart[e] = el.momentStart;
    r.momentEnd[e] = el.momentEnd;
  }
  return CompareWithQuad(r, exact);
}

}  // namespace spanlab::testing
