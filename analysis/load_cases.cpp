// Further load cases solved on the band that the last run eliminated.
//
// The forward pass of the run's elimination changes each row only through the rows above it,
// and a pivot row no longer changes once it is reached; so after the run the band holds the
// upper factor U, and the multiplier the run used for row m under pivot r is U[r][m] / U[r][r].
// A new right-hand side therefore needs only the same forward pass over F (with the same
// treatment of prescribed values) and the back substitution: O(n) per load case, no new
// elimination. The steps below are those of Eliminate applied to F alone. A run that took the
// precise solution left its band in double-double, and its load cases take the same path
// (precise_solve.cpp). The results from the displacements are the run's own routine
// (end_forces.cpp).
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
  for (const CUniformLoadItem& u : uniformLoads) {
    ForEachElementLoad(SpanOf(u),
                       [&F, this](int32_t e, double p, double q) { AddElementLoad(F, e, p, q); });
  }
  for (const CSupportItem& s : supports) {
    const int32_t i = FindDof(s.m_dX);
    if (s.m_bDisp == 1 && IsPrescribed(i)) d[i] = s.m_dDisp;
    if (s.m_bRotation == 1 && IsPrescribed(i + 1)) d[i + 1] = s.m_dRotation;
  }

  std::vector<double> low;  // the low parts of precise displacements
  if (m_bPrecise) SolveCasePrecisely(F, d, low);
  else SolveCase(F, d);

  CaseResultsFrom(F, d, low, springs, uniformLoads, out);
}

}  // namespace spanlab
