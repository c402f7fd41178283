// Assembly and solution of the banded stiffness equations.
//
// Storage: row r of K holds K[r][r], K[r][r+1], K[r][r+2], K[r][r+3]; the matrix is symmetric
// and no element couples degrees of freedom more than 3 apart, so that is the whole upper band.
// A rotation row's last term couples two nodes that no element joins: it is 0 before, during
// and after elimination (eliminating a row changes only terms up to three columns right of it),
// so it is not stored and reads as the constant 0 wherever the elimination uses it.
// Prescribed degrees of freedom (supports) stay in the system: their known value is moved to
// the right-hand side during elimination, and back substitution turns their row into the
// reaction. Elimination has no pivoting: the free part of a beam that is no mechanism is
// positive definite.
//
// Mechanisms (error A3) are found from the model, not from the size of a pivot. The stiffness
// matrix is singular exactly when some displacement other than none strains no element and no
// spring and leaves every prescribed value at 0: each element with stiffness then moves as a
// rigid bar (one with a hinge at its right end ties only the deflection of its right node, whose
// rotation belongs to the element beyond), an element without stiffness ties nothing, and every
// held deflection or rotation stays 0. Whether such a motion exists depends only on which nodes
// are held and how the elements are joined, so one walk from the left end decides it, the same
// way for every load and unit system. A spring holds its node when it is in the equations at
// all: one below the last bit of the beam's stiffness at its node is lost in the sum.
// A pivot test cannot decide it: the round-off left in the pivot of a singular matrix scales
// with the stiffness terms (1 to 1e11 in internal units), and a soft spring that holds a stable
// beam can leave a smaller pivot than that round-off. What is left to the elimination is a pivot
// below the smallest normal double, a stiffness the program cannot hold (a beam 1e308 long):
// that solution is no result at all (error A4).
//
// Uniform loads: the element loads are those of a linearly varying load on a fixed-ended
// element with intensity p at its left end rising by q over its length l:
//   forces  p l / 2 + 3 q l / 20 (left), p l / 2 + 7 q l / 20 (right),
//   moments p l^2 / 12 + q l^2 / 30 (left), p l^2 / 12 + q l^2 / 20 (right)
// (any text on fixed-end actions, e.g. Przemieniecki, Theory of Matrix Structural Analysis).
// An element with a hinge at its right end is fixed at the left and pinned at the right; the
// same load then gives
//   forces  5 p l / 8 + 9 q l / 40 (left), 3 p l / 8 + 11 q l / 40 (right),
//   moments p l^2 / 8 + 7 q l^2 / 120 (left), 0 (right),
// which is the fixed-ended share with its right moment released through the element
// stiffness. Without this the hinge would pass on the fixed-end moment of its element's load.
#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <new>
#include <type_traits>

#include "analysis/beam_analysis.h"

namespace spanlab {

namespace {

// Bits of m_kinematics: what holds a node, and what the element starting there is.
enum : uint16_t {
  kHeldDeflection = 1,
  kHeldRotation = 2,
  kHeld = kHeldDeflection | kHeldRotation,
  kHingeAtEnd = 4,   // the element has a moment release at its right end
  kNoStiffness = 8,  // the element has EI = 0 and adds nothing
  kElement = kHingeAtEnd | kNoStiffness,
  // What the solution reads: the deflection or rotation has a prescribed value (a support),
  // which sits in the node record from assembly on. (CBeamAnalysis::IsPrescribed reads them.)
  kPrescribedDeflection = 16,
  kPrescribedRotation = 32,
};

// The mechanism check walks from the left end of the beam and keeps what the part left of the
// current node can still do there without straining anything: nothing; move up and down
// without turning; turn about a node held earlier (the only point of it that stays put); or
// anything at all. Once some part is found to move while the rest stays put, the beam is a
// mechanism, whatever follows.
enum Motion : uint8_t { kNone, kTranslation, kRotation, kAny, kMechanism };

// A node's own restraints: a held deflection or rotation stays 0.
constexpr Motion Hold(Motion m, unsigned held) {
  const bool deflection = held & kHeldDeflection, rotation = held & kHeldRotation;
  switch (m) {
    case kAny:
      if (deflection && rotation) return kNone;
      return deflection ? kRotation : rotation ? kTranslation : kAny;
    case kTranslation:
      return deflection ? kNone : kTranslation;
    case kRotation:
      return deflection || rotation ? kNone : kRotation;
    default:
      return m;
  }
}

// One element, then the restraints of its right node.
constexpr Motion Step(Motion m, unsigned element, unsigned right) {
  if (m == kMechanism) return kMechanism;
  if (element & kNoStiffness) {
    // The part on the left moves while everything from here on stays put; right of the
    // element a new part starts, free until held.
    return m != kNone ? kMechanism : Hold(kAny, right);
  }
  if (element & kHingeAtEnd) {
    // The right node follows the element's deflection, not its rotation. A part free to do
    // anything turns about the hinge; a part held at one point moves the hinge and so leaves
    // the right node free; a part held still leaves the right node free to turn in place.
    if (m == kAny) return kMechanism;
    if (m == kNone) return right & kHeldRotation ? kNone : kRotation;
    return Hold(kAny, right);
  }
  return Hold(m, right);  // a rigid continuation of the same part
}

// Step for every motion and every (element bits | held bits of the right node).
constexpr auto kSteps = [] {
  std::array<std::array<Motion, 16>, 5> steps{};
  for (unsigned m = 0; m < 5; ++m) {
    for (unsigned bits = 0; bits < 16; ++bits)
      steps[m][bits] = Step(Motion(m), bits & kElement, bits & kHeld);
  }
  return steps;
}();

}  // namespace

CBeamAnalysis::ElementTerms CBeamAnalysis::ElementTermsOf(double ei, double length,
                                                          int32_t releaseEnd) {
  // An element without length or without stiffness contributes nothing.
  if (length == 0 || ei == 0) return ElementTerms{};
  return ElementTermsOfRatios(ei / length, ei / (length * length),
                              ei / (length * length * length), releaseEnd);
}

CBeamAnalysis::ElementTerms CBeamAnalysis::ElementTermsOfRatios(double a, double b, double c,
                                                                int32_t releaseEnd) {
  if (releaseEnd == 1) {  // hinge at the right end: no moment there
    return ElementTerms{3 * c, -3 * b, -3 * c, 0, 3 * a, 3 * b, 0, 3 * c, 0, 0};
  }
  return ElementTerms{12 * c, -6 * b, -12 * c, -6 * b, 4 * a, 6 * b, 2 * a, 12 * c, 6 * b, 4 * a};
}

void CBeamAnalysis::ComputeElementTerms(double ei, double length, int32_t releaseEnd) {
  m_k = ElementTermsOf(ei, length, releaseEnd);
}

CBeamAnalysis::LoadShares CBeamAnalysis::LoadSharesOf(double p, double q, double l,
                                                      int32_t releaseEnd) {
  if (releaseEnd == 1) {
    return {5 * p * l / 8 + 9 * q * l / 40, p * l * l / 8 + 7 * q * l * l / 120,
            3 * p * l / 8 + 11 * q * l / 40, 0};
  }
  return {p * l / 2 + 3 * q * l / 20, p * l * l / 12 + q * l * l / 30, p * l / 2 + 7 * q * l / 20,
          p * l * l / 12 + q * l * l / 20};
}

CBeamAnalysis::LoadSpan CBeamAnalysis::SpanOf(const CUniformLoadItem& u) const {
  LoadSpan s;
  s.x1 = u.m_dXStart;
  s.x2 = u.m_dXEnd;
  s.u1 = u.m_dUStart;
  s.u2 = u.m_dUEnd;
  if (s.x1 > s.x2) {
    std::swap(s.x1, s.x2);
    std::swap(s.u1, s.u2);
  }
  s.slope = (s.u2 - s.u1) / (s.x2 - s.x1);
  const int32_t c = FindDof(s.x1);
  const int32_t g = FindDof(s.x2);
  // The elements whose right-node dof j = 2e + 1 satisfies c + 1 <= j <= g.
  s.first = (c + 1) / 2;
  s.last = (g - 1) / 2;
  return s;
}

bool CBeamAnalysis::UseSummedLoads(const std::vector<CUniformLoadItem>& uniformLoads) const {
  // Loads are applied element by element, in load order, as long as that costs a small multiple
  // of the model size: always for ordinary models. Only when many loads overlap on many
  // elements are they summed per element first (same loads, other rounding order).
  double visits = 0;
  for (const CUniformLoadItem& u : uniformLoads) {
    const LoadSpan s = SpanOf(u);
    visits += std::max(0, s.last - s.first + 1);
  }
  return visits > 8.0 * m_nElements + 16e6;
}

void CBeamAnalysis::SumLoadsPerElement(const std::vector<CUniformLoadItem>& uniformLoads) {
  // p of a load on element e is u1 + slope (xStart_e - x1) = (u1 - slope x1) + slope xStart_e,
  // and its q is slope l: both are linear in the two sums below, which difference arrays
  // accumulate over each load's element range.
  const size_t n = static_cast<size_t>(m_nElements) + 2;
  std::vector<double> constant(n, 0.0), slope(n, 0.0);
  for (const CUniformLoadItem& u : uniformLoads) {
    const LoadSpan s = SpanOf(u);
    if (s.first > s.last) continue;
    constant[s.first] += s.u1 - s.slope * s.x1;
    constant[s.last + 1] -= s.u1 - s.slope * s.x1;
    slope[s.first] += s.slope;
    slope[s.last + 1] -= s.slope;
  }
  m_loadP.assign(n, 0.0);
  m_loadQ.assign(n, 0.0);
  double a = 0, b = 0;
  for (int32_t e = 1; e <= m_nElements; ++e) {
    a += constant[e];
    b += slope[e];
    const BeamElement& el = m_elements[e];
    const double length = ElementLength(e);
    m_loadP[e] = a + b * (el.xEnd - length);
    m_loadQ[e] = b * length;
  }
}

void CBeamAnalysis::AddElementLoad(std::vector<double>& F, int32_t e, double p, double q) const {
  const LoadShares share = LoadSharesOf(p, q, ElementLength(e), m_elements[e].releaseEnd);
  const int32_t j = 2 * e + 1;  // the right node's deflection dof
  F[j - 2] += share.v1;
  F[j - 1] -= share.m1;
  F[j] += share.v2;
  F[j + 1] += share.m2;
}

void CBeamAnalysis::AssembleLoads(Equations& eq, const std::vector<CSupportItem>& supports,
                                  const std::vector<CPointLoadItem>& pointLoads,
                                  const std::vector<CUniformLoadItem>& uniformLoads) {
  std::vector<double>& F = eq.F;
  for (const CPointLoadItem& p : pointLoads) {
    const int32_t i = FindDof(p.m_dX);
    F[i] += p.m_dPLoad;
    F[i + 1] += p.m_dMoment;
    m_dLoadVert += p.m_dPLoad;
    m_dLoadMoment += p.m_dMoment - p.m_dPLoad * p.m_dX;
    m_loadScale.vert += std::fabs(p.m_dPLoad);
    m_loadScale.moment += std::fabs(p.m_dMoment) + std::fabs(p.m_dPLoad * p.m_dX);
  }

  auto addElementLoad = [this, &F](int32_t e, double p, double q) { AddElementLoad(F, e, p, q); };
  const bool summed = UseSummedLoads(uniformLoads);
  if (summed) {
    SumLoadsPerElement(uniformLoads);
    for (int32_t e = 1; e <= m_nElements; ++e) {
      if (m_loadP[e] != 0 || m_loadQ[e] != 0) addElementLoad(e, m_loadP[e], m_loadQ[e]);
    }
  }
  for (const CUniformLoadItem& u : uniformLoads) {
    const LoadSpan s = SpanOf(u);
    if (!summed) ForEachElementLoad(s, addElementLoad);
    const double dx = s.x2 - s.x1;
    const double du = s.u2 - s.u1;
    m_dLoadVert += (s.u1 + s.u2) * dx / 2;
    m_dLoadMoment += du * dx * (s.x1 + dx / 3) / 2 - s.u2 * dx * (s.x1 + s.x2) / 2;
    const double resultant = (std::fabs(s.u1) + std::fabs(s.u2)) * dx / 2;  // (a bound)
    m_loadScale.vert += resultant;
    m_loadScale.moment += resultant * std::max(std::fabs(s.x1), std::fabs(s.x2));
  }

  for (const CSupportItem& s : supports) {
    const int32_t i = FindDof(s.m_dX);
    uint16_t& held = m_kinematics[(i + 1) / 2];
    if (s.m_bDisp == 1) {
      Displacement(i) = s.m_dDisp;
      held |= kHeldDeflection | kPrescribedDeflection;
    }
    if (s.m_bRotation == 1) {
      Displacement(i + 1) = s.m_dRotation;
      held |= kHeldRotation | kPrescribedRotation;
    }
  }
}

void CBeamAnalysis::AssembleStiffness(Equations& eq, const std::vector<CSpringItem>& springs) {
  for (int32_t e = 1; e <= m_nElements; ++e) {
    const BeamElement& el = m_elements[e];
    ComputeElementTerms(el.ei, ElementLength(e), el.releaseEnd);
    const int32_t j = 2 * e + 1;  // the right node's deflection dof
    const ElementTerms& k = m_k;
    double* left = eq.Row(j - 2);  // the left node's two rows, then the right node's
    left[0] += k.k11;
    left[1] += k.k12;
    left[2] += k.k13;
    left[3] += k.k14;
    left[4] += k.k22;  // row j - 1
    left[5] += k.k23;
    left[6] += k.k24;
    double* right = eq.Row(j);
    right[0] += k.k33;
    right[1] += k.k34;
    right[4] += k.k44;  // row j + 1
    // (Elements always have a length: BuildNodes never leaves two nodes within the tolerance.)
    if (el.releaseEnd == 1 || el.ei == 0) {
      m_kinematics[e] |= (el.releaseEnd == 1 ? kHingeAtEnd : 0) | (el.ei == 0 ? kNoStiffness : 0);
    }
  }
  // A spring holds its node only when it is in the equations: one so soft that adding it leaves
  // the node's stiffness unchanged in the last bit holds nothing the solution could see.
  for (const CSpringItem& s : springs) {
    const int32_t i = FindDof(s.m_dX);
    uint16_t& held = m_kinematics[(i + 1) / 2];
    if (s.m_dVSpring > 0) {
      double& k = eq.Row(i)[0];
      const double before = k;
      k += s.m_dVSpring;
      if (k != before) held |= kHeldDeflection;
    }
    if (s.m_dRSpring > 0) {
      double& k = eq.Row(i + 1)[0];
      const double before = k;
      k += s.m_dRSpring;
      if (k != before) held |= kHeldRotation;
    }
  }
}

bool CBeamAnalysis::IsMechanism() const {
  const uint16_t* node = m_kinematics.data();
  Motion m = Hold(kAny, node[1] & kHeld);
  for (int32_t e = 1; e <= m_nElements; ++e)
    m = kSteps[m][(node[e] & kElement) | (node[e + 1] & kHeld)];
  return m != kNone;  // some part, or the one reaching the right end, can move
}

void CBeamAnalysis::Eliminate(Equations& eq) {
  const int32_t n = m_nDof;
  auto& F = eq.F;
  // When the solution stops early, every free displacement is 0.
  const auto clearFree = [this, n] {
    for (int32_t r = 1; r <= n; ++r) {
      if (!IsPrescribed(r)) Displacement(r) = 0;
    }
  };
  // A mechanism stops the elimination where its pivot vanishes (at or below 0.00001, where a
  // mechanism has always stopped, so its state after A3 is what it always was), or at the end
  // of the forward pass when round-off leaves every pivot larger. Either way no back
  // substitution runs and the free displacements stay 0.
  constexpr double kVanishingPivot = 0.00001;
  const bool mechanism = IsMechanism();
  const auto stopAsMechanism = [this, &clearFree] {
    m_messages.push_back(kMessageA3);
    m_bError = 1;
    clearFree();
  };
  const auto stopOutOfRange = [this, &clearFree] {
    m_bStiffnessOutOfRange = true;
    clearFree();
  };
  // A pivot of 0, below the smallest normal double, or NaN: a stiffness out of range.
  const auto outOfRange = [](double pivot) { return !(std::fabs(pivot) >= DBL_MIN); };
  // The band is walked node by node: node i's deflection row 2i - 1 (four terms) and rotation
  // row 2i (three) start 7 (i - 1) and 7 (i - 1) + 4 values into K, and the rows below a row r
  // are the next three in that order. K has room for two nodes' rows past the last, so the
  // pointers to rows beyond n (never read or written) stay inside it.
  double* const K = eq.K.data();
  // The condition probe (see the top of the file): g holds the probe entries of rows r + 1 ..
  // r + 3 while row r is eliminated. A row's entry starts as the square root of its diagonal
  // term, read before any row above changes it (row r + 3 is first changed by row r or r + 1).
  // The entries of prescribed rows, and of the rows past n that the pointers reach, are never
  // used: such rows eliminate nothing.
  double g[3] = {RoughSqrt(K[0]), RoughSqrt(K[4]), RoughSqrt(K[7])};
  ConditionProbe probe;
  // One row of the forward pass; `Odd` is the row's parity (a deflection row). False: stop.
  const auto forward = [&](auto odd, int32_t r, const double* kr, double* r1, double* r2,
                           double* r3, bool prescribed) {
    const int32_t mEnd = std::min(r + 3, n);
    // Row r itself does not change below; a rotation row's fourth term is the constant 0.
    const std::array<double, 4> k{kr[0], kr[1], kr[2], decltype(odd)::value ? kr[3] : 0.0};
    double* const below[4] = {nullptr, r1, r2, r3};
    const double y = g[0];
    g[0] = g[1];
    g[1] = g[2];
    g[2] = RoughSqrt(r3[0]);
    if (prescribed) {
      const double value = Displacement(r);
      for (int32_t m = r + 1; m <= mEnd; ++m) F[m] -= k[m - r] * value;
      return true;
    }
    const double pivot = k[0];
    if (mechanism && std::fabs(pivot) <= kVanishingPivot) {
      stopAsMechanism();
      return false;
    }
    if (!(pivot >= DBL_MIN)) {  // not a positive normal pivot: out of range, or indefinite
      if (outOfRange(pivot)) {
        stopOutOfRange();
        return false;
      }
      probe.indefinite = true;
    }
    const double t = y / pivot;
    probe.Add(y, t);
    g[0] -= k[1] * t;  // (row r + 3's term in a rotation row is 0, and so is k[3])
    g[1] -= k[2] * t;
    g[2] -= k[3] * t;
    for (int32_t m = r + 1; m <= mEnd; ++m) {
      if (k[m - r] == 0) continue;
      const double f = k[m - r] / pivot;
      F[m] -= f * F[r];
      double* row = below[m - r];  // K[m][q] is row[q - m], q - m <= 2 here
      for (int32_t q = m; q <= r + 3; ++q) row[q - m] -= f * k[q - r];
    }
    return true;
  };
  const std::integral_constant<bool, true> deflectionRow;
  const std::integral_constant<bool, false> rotationRow;
  for (int32_t i = 1; 2 * i - 1 <= n - 1; ++i) {
    double* const node = K + 7 * static_cast<size_t>(i - 1);
    const uint16_t bits = m_kinematics[static_cast<size_t>(i)];
    if (!forward(deflectionRow, 2 * i - 1, node, node + 4, node + 7, node + 11,
                 bits & kPrescribedDeflection))
      return;
    if (2 * i <= n - 1 && !forward(rotationRow, 2 * i, node + 4, node + 7, node + 11, node + 14,
                                   bits & kPrescribedRotation))
      return;
  }
  if (mechanism) return stopAsMechanism();
  if (!IsPrescribed(n)) {
    if (outOfRange(eq.Row(n)[0])) return stopOutOfRange();
    probe.Add(g[0], g[0] / eq.Row(n)[0], eq.Row(n)[0]);
  }
  m_dConditionEstimate = probe.Estimate();
  // Back substitution, with the displacements of rows r + 1 .. r + 3 at hand.
  double next[3] = {0, 0, 0};
  const auto backward = [&](auto odd, int32_t r, const double* kr, bool prescribed) {
    const std::array<double, 4> k{kr[0], kr[1], kr[2], decltype(odd)::value ? kr[3] : 0.0};
    double s = 0;
    for (int32_t t = 1; t <= 3 && r + t <= n; ++t) s += k[t] * next[t - 1];
    double d;
    if (prescribed) {
      d = Displacement(r);
      F[r] = s + k[0] * d - F[r];  // the support's reaction
    } else {
      d = (F[r] - s) / k[0];
      Displacement(r) = d;
    }
    next[2] = next[1];
    next[1] = next[0];
    next[0] = d;
  };
  for (int32_t i = n / 2; i >= 1; --i) {
    const double* const node = K + 7 * static_cast<size_t>(i - 1);
    const uint16_t bits = m_kinematics[static_cast<size_t>(i)];
    backward(rotationRow, 2 * i, node + 4, bits & kPrescribedRotation);
    backward(deflectionRow, 2 * i - 1, node, bits & kPrescribedDeflection);
  }
  m_bCasesReady = true;  // the band stays eliminated for SolveLoadCase
}

void CBeamAnalysis::SolveInDouble(const std::vector<CSupportItem>& supports,
                                  const std::vector<CSpringItem>& springs,
                                  const std::vector<CPointLoadItem>& pointLoads,
                                  const std::vector<CUniformLoadItem>& uniformLoads) {
  m_dLoadVert = 0;
  m_dLoadMoment = 0;
  m_loadScale = {};
  m_bStiffnessOutOfRange = false;
  m_bCasesReady = false;
  m_bPrecise = false;
  const size_t size = static_cast<size_t>(m_nDof) + 2;
  Equations& eq = m_equations;
  eq.F.assign(size, 0.0);
  eq.K.assign(7 * static_cast<size_t>(m_nNodes + 2), 0.0);
  m_kinematics.assign(static_cast<size_t>(m_nNodes) + 2, 0);
  AssembleLoads(eq, supports, pointLoads, uniformLoads);
  AssembleStiffness(eq, springs);
  Eliminate(eq);
}

CBeamAnalysis::Residuals CBeamAnalysis::SolveAccurately(
    const std::vector<CSupportItem>& supports, const std::vector<CSpringItem>& springs,
    const std::vector<CPointLoadItem>& pointLoads,
    const std::vector<CUniformLoadItem>& uniformLoads) {
  SolveInDouble(supports, springs, pointLoads, uniformLoads);
  // A stable beam whose double elimination met a pivot out of range, or whose probe (a NaN
  // too) says that double misses the goal, is solved precisely.
  bool precise = m_bStiffnessOutOfRange ||
                 (m_bCasesReady && !(m_dConditionEstimate * kDoubleRoundoff <= kAccuracyGoal));
  for (;;) {
    if (precise && !SolvePrecisely(springs, pointLoads, uniformLoads)) {
      // Out of the range of double-double's operations: the double solution as it was (or
      // A4 when it had none), with W3.
      m_bPreciseFailed = true;
      SolveInDouble(supports, springs, pointLoads, uniformLoads);
      precise = false;
    }
    const size_t messages = m_messages.size();
    const uint8_t error = m_bError;
    EndForces(m_equations, springs, uniformLoads);
    const Residuals residuals = EquilibriumResiduals();
    // An equilibrium error that shows lost digits overrules the probe: it sees a motion of a
    // stiff part that the probe may not excite. The double solution's lines (A2) go.
    if (precise || m_bPreciseFailed || !m_bCasesReady || !(residuals.Relative() > kAccuracyGoal))
      return residuals;
    m_messages.resize(messages);
    m_bError = error;
    precise = true;
  }
}

void CBeamAnalysis::Solve(const std::vector<CSupportItem>& supports,
                          const std::vector<CSpringItem>& springs,
                          const std::vector<CPointLoadItem>& pointLoads,
                          const std::vector<CUniformLoadItem>& uniformLoads, int units) {
  m_dLoadVert = 0;
  m_dLoadMoment = 0;
  m_loadScale = {};
  m_loadP.clear();
  m_loadQ.clear();
  if (m_bRefused) return;  // an A1 line ended the run
  m_bError = 0;
  m_bStiffnessOutOfRange = false;
  m_bCasesReady = false;
  m_bPrecise = m_bPreciseFailed = false;
  m_dConditionEstimate = m_dPreciseEstimate = 0;
  m_bandLow = {};
  m_displacementLow = {};
  if (m_nNodes < 2) return;  // zero length: the data check reports it
  bool outOfMemory = false;
  Residuals residuals;
  {
    const TableLock lock(*this);
    try {
      residuals = SolveAccurately(supports, springs, pointLoads, uniformLoads);
    } catch (const std::bad_alloc&) {
      outOfMemory = true;
    }
  }
  if (outOfMemory) {
    Refuse(kMessageA1);
    return;
  }
  // The sums of the loads and of the equilibrium check can overflow where no single term does.
  if (m_bStiffnessOutOfRange || !m_bFiniteResults || !std::isfinite(m_dLoadVert) ||
      !std::isfinite(m_dLoadMoment) || !std::isfinite(residuals.vert) ||
      !std::isfinite(residuals.moment)) {
    // Values beyond the range of a double somewhere in the solution: these are no results.
    // The A4 line says why, and nothing shows "nan" or "inf".
    m_messages.push_back(kMessageA4);
    m_bError = 1;
    m_dLength = 0;
    m_bCasesReady = false;
    return;
  }
  // Lost accuracy that 32 digits could not restore is said, not hidden; the results stay.
  if (m_bPreciseFailed ||
      (m_bPrecise && (!(m_dPreciseEstimate * kPreciseRoundoff <= kAccuracyLimit) ||
                      residuals.Relative() > kAccuracyLimit)))
    m_messages.push_back(kMessageW3);
  AppendEquilibriumLine(units, residuals);
}

}  // namespace spanlab
