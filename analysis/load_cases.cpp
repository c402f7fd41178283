// Further load cases solved on the band that the last run eliminated.
//
// The forward pass of the run's elimination changes each row only through the rows above it,
// and a pivot row no longer changes once it is reached; so after the run the band holds the
// upper factor U, and the multiplier the run used for row m under pivot r is U[r][m] / U[r][r].
// A new right-hand side therefore needs only the same forward pass over F (with the same
// treatment of prescribed values) and the back substitution: O(n) per load case, no new
// elimination. The steps below are those of Eliminate applied to F alone. A run that took the
// precise solution left its band in double-double, and its load cases take the same path
// (precise_solve.cpp), end forces included.
#include <algorithm>
#include <array>
#include <cmath>

#include "analysis/beam_analysis.h"

namespace spanlab {

void CBeamAnalysis::SolveCase(std::vector<double>& F, std::vector<double>& d) const {
  const int32_t n = m_nDof;
  const Equations& eq = m_equations;
  const auto band = [&eq](int32_t r) {
    const double* k = eq.Row(r);
    return std::array<double, 4>{k[0], k[1], k[2], (r & 1) ? k[3] : 0.0};
  };
  for (int32_t r = 1; r <= n - 1; ++r) {
    const int32_t mEnd = std::min(r + 3, n);
    const std::array<double, 4> k = band(r);
    if (IsPrescribed(r)) {
      for (int32_t m = r + 1; m <= mEnd; ++m) F[m] -= k[m - r] * d[r];
      continue;
    }
    for (int32_t m = r + 1; m <= mEnd; ++m) {
      if (k[m - r] != 0) F[m] -= k[m - r] / k[0] * F[r];
    }
  }
  for (int32_t r = n; r >= 1; --r) {
    const std::array<double, 4> k = band(r);
    double s = 0;
    for (int32_t t = 1; t <= 3 && r + t <= n; ++t) s += k[t] * d[r + t];
    if (IsPrescribed(r)) {
      F[r] = s + k[0] * d[r] - F[r];  // the support's reaction
    } else {
      d[r] = (F[r] - s) / k[0];
    }
  }
}

void CBeamAnalysis::SolveLoadCase(const std::vector<CSupportItem>& supports,
                                  const std::vector<CSpringItem>& springs,
                                  const std::vector<CPointLoadItem>& pointLoads,
                                  const std::vector<CUniformLoadItem>& uniformLoads,
                                  CaseResults& out) const {
  const size_t size = static_cast<size_t>(m_nDof) + 2;
  std::vector<double> F(size, 0.0), d(size, 0.0);
  for (const CPointLoadItem& p : pointLoads) {
    const int32_t i = FindDof(p.m_dX);
    F[i] += p.m_dPLoad;
    F[i + 1] += p.m_dMoment;
  }
  // The share of each uniform load, element by element, as in the run's assembly.
  auto forEachShare = [this, &uniformLoads](auto&& use) {
    for (const CUniformLoadItem& u : uniformLoads) {
      ForEachElementLoad(SpanOf(u), [&](int32_t e, double p, double q) {
        use(e, LoadSharesOf(p, q, ElementLength(e), m_elements[e].releaseEnd));
      });
    }
  };
  forEachShare([&F](int32_t e, const LoadShares& share) {
    const int32_t j = 2 * e + 1;
    F[j - 2] += share.v1;
    F[j - 1] -= share.m1;
    F[j] += share.v2;
    F[j + 1] += share.m2;
  });
  for (const CSupportItem& s : supports) {
    const int32_t i = FindDof(s.m_dX);
    if (s.m_bDisp == 1 && IsPrescribed(i)) d[i] = s.m_dDisp;
    if (s.m_bRotation == 1 && IsPrescribed(i + 1)) d[i + 1] = s.m_dRotation;
  }

  std::vector<double> low;  // the low parts of precise displacements
  if (m_bPrecise) SolveCasePrecisely(F, d, low);
  else SolveCase(F, d);

  const size_t nodes = static_cast<size_t>(m_nNodes) + 1;
  out.deflection.assign(nodes, 0.0);
  out.rotation.assign(nodes, 0.0);
  out.reactionVert.assign(nodes, 0.0);
  out.reactionRot.assign(nodes, 0.0);
  for (int32_t i = 1; i <= m_nNodes; ++i) {
    out.deflection[i] = d[2 * i - 1];
    out.rotation[i] = d[2 * i];
    if (IsPrescribed(2 * i - 1)) out.reactionVert[i] = F[2 * i - 1];
    if (IsPrescribed(2 * i)) out.reactionRot[i] = F[2 * i];
  }
  for (const CSpringItem& s : springs) {
    const int32_t node = FirstNodeNear(s.m_dX);
    if (node == 0) continue;
    if (s.m_dVSpring != 0) out.reactionVert[node] -= s.m_dVSpring * out.deflection[node];
    if (s.m_dRSpring != 0) out.reactionRot[node] -= s.m_dRSpring * out.rotation[node];
  }

  const size_t elements = static_cast<size_t>(m_nElements) + 1;
  out.shearStart.assign(elements, 0.0);
  out.shearEnd.assign(elements, 0.0);
  out.momentStart.assign(elements, 0.0);
  out.momentEnd.assign(elements, 0.0);
  for (int32_t e = 1; e <= m_nElements; ++e) {
    if (m_bPrecise) {
      const size_t j = 2 * static_cast<size_t>(e) - 1;
      const std::array<double, 4> f = PreciseElementForces(
          e, {DoubleDouble(d[j], low[j]), DoubleDouble(d[j + 1], low[j + 1]),
              DoubleDouble(d[j + 2], low[j + 2]), DoubleDouble(d[j + 3], low[j + 3])});
      out.shearStart[e] = f[0];
      out.momentStart[e] = f[1];
      out.shearEnd[e] = f[2];
      out.momentEnd[e] = f[3];
      continue;
    }
    const BeamElement& el = m_elements[e];
    const ElementTerms k = ElementTermsOf(el.ei, ElementLength(e), el.releaseEnd);
    const double d1 = d[2 * e - 1], d2 = d[2 * e], d3 = d[2 * e + 1], d4 = d[2 * e + 2];
    out.shearStart[e] = k.k11 * d1 + k.k12 * d2 + k.k13 * d3 + k.k14 * d4;
    out.momentStart[e] = k.k12 * d1 + k.k22 * d2 + k.k23 * d3 + k.k24 * d4;
    out.shearEnd[e] = k.k13 * d1 + k.k23 * d2 + k.k33 * d3 + k.k34 * d4;
    out.momentEnd[e] = k.k14 * d1 + k.k24 * d2 + k.k34 * d3 + k.k44 * d4;
  }
  forEachShare([&out](int32_t e, const LoadShares& share) {
    out.momentStart[e] += share.m1;
    out.momentEnd[e] -= share.m2;
    out.shearStart[e] -= share.v1;
    out.shearEnd[e] -= share.v2;
  });
}

}  // namespace spanlab
