// The precise solution: the same assembly, elimination and back substitution as in double
// (stiffness_solve.cpp), carried out in double-double (about 32 digits), for beams whose
// equations are too ill-conditioned for double.
//
// Why double is not always enough: the free part of the stiffness matrix of a beam is positive
// definite but may be very ill-conditioned. With K' = S^-1 K S^-1, S = diag(sqrt(K_rr)) (the
// scaling that elimination of a positive definite matrix is insensitive to), the relative error
// of a double solution is about cond(K') x 1e-16. Long chains of short elements (a cantilever of
// n elements has cond(K') ~ n^4), stiffness contrasts (a stiff arm on a flexible root), soft
// springs holding stiff parts all raise it past 1e8, and a cantilever of 30,000 elements past
// 1e16, where double keeps no digit. Three errors add up: the element terms (12 EI / h^3 and
// 6 EI / h^2 rounded apart no longer leave a rigid motion free of force), the elimination, and
// the end forces k d of stiff elements, a difference of terms many orders larger than itself.
// Double-double removes all three: the element length is the exact difference of the node
// positions, the element terms, the band, the load vector, the displacements and the end forces
// k d are carried to 32 digits, and only the results are rounded. The loads' shares stay those
// of the double assembly: rounding a load by 1e-16 changes the response by as little.
//
// The condition probe (stiffness_solve.cpp) of the double elimination decides which beams are
// solved again here; the same probe, run in double-double on this elimination, tells whether 32
// digits were enough. The band keeps its 32 digits (high parts in the equations' K, low parts in
// m_bandLow) for further load cases, which then take the same path.
#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>

#include "analysis/beam_analysis.h"

namespace spanlab {

namespace {

using DD = DoubleDouble;

// Offset of row r's first term in the band (see Equations::Row): seven values per node.
size_t RowStart(int32_t r) {
  return 7 * static_cast<size_t>((r - 1) >> 1) + (static_cast<size_t>((r - 1) & 1) << 2);
}

// The band in double-double: high parts in one array, low parts in another. A rotation row has
// three stored terms; its fourth (column r + 3) is the constant 0.
struct PreciseBand {
  double* hi;
  double* lo;
  DD At(int32_t r, int t) const {
    if (t == 3 && !(r & 1)) return DD();
    const size_t i = RowStart(r) + static_cast<size_t>(t);
    return {hi[i], lo[i]};
  }
  void Set(int32_t r, int t, const DD& v) {
    const size_t i = RowStart(r) + static_cast<size_t>(t);
    hi[i] = v.hi;
    lo[i] = v.lo;
  }
  void Add(int32_t r, int t, const DD& v) { Set(r, t, At(r, t) + v); }
};

struct ConstBand {  // the same, read only
  const double* hi;
  const double* lo;
  DD At(int32_t r, int t) const {
    if (t == 3 && !(r & 1)) return DD();
    const size_t i = RowStart(r) + static_cast<size_t>(t);
    return {hi[i], lo[i]};
  }
};

}  // namespace

CBeamAnalysis::PreciseTerms CBeamAnalysis::PreciseTermsOf(int32_t e) const {
  const BeamElement& el = m_elements[static_cast<size_t>(e)];
  const double ei = el.ei;
  // The exact length: x_end - x_start as a double-double.
  const DD h = dd::TwoSum(el.xEnd, -m_nodes[static_cast<size_t>(e)].x);
  if (h.hi == 0 || ei == 0) return PreciseTerms{};
  const DD a = DD(ei) / h, b = a / h, c = b / h;
  if (el.releaseEnd == 1) {  // hinge at the right end
    return PreciseTerms{c * 3.0, b * -3.0, c * -3.0, DD(), a * 3.0, b * 3.0, DD(), c * 3.0,
                        DD(), DD()};
  }
  return PreciseTerms{c * 12.0, b * -6.0, c * -12.0, b * -6.0, a * 4.0,
                      b * 6.0,  a * 2.0,  c * 12.0,  b * 6.0,  a * 4.0};
}

void CBeamAnalysis::AssemblePrecisely(std::vector<DoubleDouble>& F,
                                      const std::vector<CSpringItem>& springs,
                                      const std::vector<CPointLoadItem>& pointLoads,
                                      const std::vector<CUniformLoadItem>& uniformLoads) {
  Equations& eq = m_equations;
  std::fill(eq.K.begin(), eq.K.end(), 0.0);
  m_bandLow.assign(eq.K.size(), 0.0);
  PreciseBand band{eq.K.data(), m_bandLow.data()};
  for (int32_t e = 1; e <= m_nElements; ++e) {
    const PreciseTerms k = PreciseTermsOf(e);
    const int32_t j = 2 * e + 1;  // the right node's deflection dof
    band.Add(j - 2, 0, k.k11);
    band.Add(j - 2, 1, k.k12);
    band.Add(j - 2, 2, k.k13);
    band.Add(j - 2, 3, k.k14);
    band.Add(j - 1, 0, k.k22);
    band.Add(j - 1, 1, k.k23);
    band.Add(j - 1, 2, k.k24);
    band.Add(j, 0, k.k33);
    band.Add(j, 1, k.k34);
    band.Add(j + 1, 0, k.k44);
  }
  for (const CSpringItem& s : springs) {
    const int32_t i = FindDof(s.m_dX);
    if (s.m_dVSpring > 0) band.Add(i, 0, DD(s.m_dVSpring));
    if (s.m_dRSpring > 0) band.Add(i + 1, 0, DD(s.m_dRSpring));
  }

  // The load vector of the double assembly, each term added in double-double.
  F.assign(static_cast<size_t>(m_nDof) + 2, DD());
  for (const CPointLoadItem& p : pointLoads) {
    const int32_t i = FindDof(p.m_dX);
    F[i] += DD(p.m_dPLoad);
    F[i + 1] += DD(p.m_dMoment);
  }
  auto addElementLoad = [this, &F](int32_t e, double p, double q) {
    const LoadShares share = LoadSharesOf(p, q, ElementLength(e), m_elements[e].releaseEnd);
    const int32_t j = 2 * e + 1;
    F[j - 2] += DD(share.v1);
    F[j - 1] -= DD(share.m1);
    F[j] += DD(share.v2);
    F[j + 1] += DD(share.m2);
  };
  if (!m_loadP.empty()) {  // the loads were summed per element
    for (int32_t e = 1; e <= m_nElements; ++e) {
      if (m_loadP[e] != 0 || m_loadQ[e] != 0) addElementLoad(e, m_loadP[e], m_loadQ[e]);
    }
  } else {
    for (const CUniformLoadItem& u : uniformLoads) ForEachElementLoad(SpanOf(u), addElementLoad);
  }
}

double CBeamAnalysis::EliminateBandPrecisely() {
  const int32_t n = m_nDof;
  PreciseBand band{m_equations.K.data(), m_bandLow.data()};
  // The probe entries of rows r + 1 .. r + 3 (as in Eliminate), in double-double: in a matrix
  // beyond double's reach, double would lose them.
  DD g[3];
  for (int t = 0; t < 3; ++t) g[t] = DD(std::sqrt(band.At(1 + t, 0).hi));
  double probeSum = 0;
  int64_t probeRows = 0;
  bool indefinite = false;
  for (int32_t r = 1; r <= n; ++r) {
    const DD y = g[0];
    g[0] = g[1];
    g[1] = g[2];
    g[2] = r + 3 <= n ? DD(std::sqrt(band.At(r + 3, 0).hi)) : DD();
    if (IsPrescribed(r)) continue;
    const DD pivot = band.At(r, 0);
    if (!(std::fabs(pivot.hi) >= DBL_MIN)) return NAN;  // out of range, as in double
    const DD t = y / pivot;
    probeSum += (y * t).hi;
    indefinite |= !(pivot.hi > 0);
    ++probeRows;
    for (int k = 0; k < 3; ++k) g[k] -= band.At(r, k + 1) * t;
    for (int32_t m = r + 1; m <= std::min(r + 3, n); ++m) {
      const DD k = band.At(r, m - r);
      if (k.hi == 0) continue;
      const DD f = k / pivot;
      // K[m][q] for q = m .. r + 3 (at most two columns right of the diagonal).
      for (int32_t q = m; q <= r + 3; ++q) band.Add(m, q - m, -(f * band.At(r, q - r)));
    }
  }
  if (indefinite) return HUGE_VAL;
  return probeRows > 0 ? probeSum / static_cast<double>(probeRows) : 0.0;
}

void CBeamAnalysis::SubstitutePrecisely(std::vector<DoubleDouble>& F,
                                        std::vector<DoubleDouble>& d) const {
  const int32_t n = m_nDof;
  const ConstBand band{m_equations.K.data(), m_bandLow.data()};
  // Forward over F with the multipliers of the elimination, U[r][m] / U[r][r].
  for (int32_t r = 1; r < n; ++r) {
    const int32_t mEnd = std::min(r + 3, n);
    if (IsPrescribed(r)) {
      for (int32_t m = r + 1; m <= mEnd; ++m) F[m] -= band.At(r, m - r) * d[r];
      continue;
    }
    const DD pivot = band.At(r, 0);
    for (int32_t m = r + 1; m <= mEnd; ++m) {
      const DD k = band.At(r, m - r);
      if (k.hi != 0) F[m] -= (k / pivot) * F[r];
    }
  }
  // Back: free rows get their displacement, prescribed rows their reaction.
  for (int32_t r = n; r >= 1; --r) {
    DD s;
    for (int32_t t = 1; t <= 3 && r + t <= n; ++t) s += band.At(r, t) * d[r + t];
    if (IsPrescribed(r)) {
      F[r] = s + band.At(r, 0) * d[r] - F[r];
    } else {
      d[r] = (F[r] - s) / band.At(r, 0);
    }
  }
}

bool CBeamAnalysis::SolvePrecisely(const std::vector<CSpringItem>& springs,
                                   const std::vector<CPointLoadItem>& pointLoads,
                                   const std::vector<CUniformLoadItem>& uniformLoads) {
  std::vector<DD> F, d(static_cast<size_t>(m_nDof) + 2);
  AssemblePrecisely(F, springs, pointLoads, uniformLoads);
  for (int32_t r = 1; r <= m_nDof; ++r) {
    if (IsPrescribed(r)) d[r] = DD(Displacement(r));
  }
  m_dPreciseEstimate = EliminateBandPrecisely();
  if (std::isnan(m_dPreciseEstimate)) return false;
  SubstitutePrecisely(F, d);
  Equations& eq = m_equations;
  m_displacementLow.assign(d.size(), 0.0);
  double probe = 0;  // 0 for finite values, NaN otherwise
  for (int32_t r = 1; r <= m_nDof; ++r) {
    const DD& v = IsPrescribed(r) ? F[r] : d[r];
    probe += (v.hi - v.hi) + (v.lo - v.lo);
    if (IsPrescribed(r)) {
      eq.F[r] = v.hi;  // the support's reaction
    } else {
      Displacement(r) = v.hi;
      m_displacementLow[r] = v.lo;
    }
  }
  if (probe != 0) return false;
  m_bPrecise = true;
  m_bStiffnessOutOfRange = false;
  m_bCasesReady = true;
  return true;
}

std::array<double, 4> CBeamAnalysis::PreciseElementForces(
    int32_t e, const std::array<DoubleDouble, 4>& d) const {
  const PreciseTerms k = PreciseTermsOf(e);
  return {(k.k11 * d[0] + k.k12 * d[1] + k.k13 * d[2] + k.k14 * d[3]).hi,
          (k.k12 * d[0] + k.k22 * d[1] + k.k23 * d[2] + k.k24 * d[3]).hi,
          (k.k13 * d[0] + k.k23 * d[1] + k.k33 * d[2] + k.k34 * d[3]).hi,
          (k.k14 * d[0] + k.k24 * d[1] + k.k34 * d[2] + k.k44 * d[3]).hi};
}

void CBeamAnalysis::SolveCasePrecisely(std::vector<double>& F, std::vector<double>& d,
                                       std::vector<double>& low) const {
  std::vector<DD> f(F.begin(), F.end()), x(d.begin(), d.end());
  SubstitutePrecisely(f, x);
  low.assign(d.size(), 0.0);
  for (int32_t r = 1; r <= m_nDof; ++r) {
    if (IsPrescribed(r)) {
      F[r] = f[r].hi;
    } else {
      d[r] = x[r].hi;
      low[r] = x[r].lo;
    }
  }
}

}  // namespace spanlab
