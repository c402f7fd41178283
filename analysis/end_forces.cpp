// Results after elimination: node displacements, reactions, the A2 test and element end forces.
#include <algorithm>
#include <cmath>

#include "analysis/beam_analysis.h"

namespace spanlab {

void CBeamAnalysis::EndForces(const Equations& eq, const std::vector<CSpringItem>& springs,
                              const std::vector<CUniformLoadItem>& uniformLoads) {
  const auto& F = eq.F;
  m_dMaxAbsDeflection = 0;
  m_dMaxAbsRotation = 0;
  m_dMaxAbsShear = 0;
  m_dMaxAbsMoment = 0;
  // Whether every value is a finite number, found on the way: v - v is 0 for a finite v and
  // NaN otherwise, and a NaN stays in the sum.
  double probe = 0;
  for (int32_t i = 1; i <= m_nNodes; ++i) {
    BeamNode& n = m_nodes[i];
    // (The displacements are already in place: the solution writes them there.)
    n.reactionVert = IsPrescribed(2 * i - 1) ? F[2 * i - 1] : 0.0;
    n.reactionRot = IsPrescribed(2 * i) ? F[2 * i] : 0.0;
    if (std::fabs(n.deflection) > m_dMaxAbsDeflection)
      m_dMaxAbsDeflection = std::fabs(n.deflection);
    if (std::fabs(n.rotation) > m_dMaxAbsRotation) m_dMaxAbsRotation = std::fabs(n.rotation);
    probe += (n.deflection - n.deflection) + (n.rotation - n.rotation) +
             (n.reactionVert - n.reactionVert) + (n.reactionRot - n.reactionRot);
  }
  if (m_dMaxAbsDeflection > m_dLength) {
    m_messages.push_back(kMessageA2);
    m_bError = 1;
  }
  // A spring's force adds to the reaction of its node (the first within the tolerance).
  for (const CSpringItem& s : springs) {
    const int32_t node = FirstNodeNear(s.m_dX);
    if (node == 0) continue;
    BeamNode& n = m_nodes[node];
    if (s.m_dVSpring != 0) n.reactionVert -= s.m_dVSpring * n.deflection;
    if (s.m_dRSpring != 0) n.reactionRot -= s.m_dRSpring * n.rotation;
    probe += (n.reactionVert - n.reactionVert) + (n.reactionRot - n.reactionRot);
  }

  // End forces: the element stiffness times its end displacements ...
  if (m_bPrecise) PreciseEndForces();
  for (int32_t e = 1; e <= m_nElements && !m_bPrecise; ++e) {
    BeamElement& el = m_elements[e];
    ComputeElementTerms(el.ei, ElementLength(e), el.releaseEnd);
    const ElementTerms& k = m_k;
    const BeamNode &left = m_nodes[e], &right = m_nodes[e + 1];
    const double d1 = left.deflection, d2 = left.rotation, d3 = right.deflection,
                 d4 = right.rotation;
    el.shearStart = k.k11 * d1 + k.k12 * d2 + k.k13 * d3 + k.k14 * d4;
    el.momentStart = k.k12 * d1 + k.k22 * d2 + k.k23 * d3 + k.k24 * d4;
    el.shearEnd = k.k13 * d1 + k.k23 * d2 + k.k33 * d3 + k.k34 * d4;
    el.momentEnd = k.k14 * d1 + k.k24 * d2 + k.k34 * d3 + k.k44 * d4;
  }
  // ... minus the element's share of the uniform loads (the same loads, and the same elements,
  // as in the load vector).
  auto subtractLoad = [this](int32_t e, double p, double q) {
    BeamElement& el = m_elements[e];
    const LoadShares share = LoadSharesOf(p, q, ElementLength(e), el.releaseEnd);
    el.momentStart += share.m1;
    el.momentEnd -= share.m2;
    el.shearStart -= share.v1;
    el.shearEnd -= share.v2;
  };
  if (!m_loadP.empty()) {
    for (int32_t e = 1; e <= m_nElements; ++e) {
      if (m_loadP[e] != 0 || m_loadQ[e] != 0) subtractLoad(e, m_loadP[e], m_loadQ[e]);
    }
  } else {
    for (const CUniformLoadItem& u : uniformLoads) ForEachElementLoad(SpanOf(u), subtractLoad);
  }
  for (int32_t e = 1; e <= m_nElements; ++e) {
    const BeamElement& el = m_elements[e];
    m_dMaxAbsShear = std::max({m_dMaxAbsShear, std::fabs(el.shearStart), std::fabs(el.shearEnd)});
    m_dMaxAbsMoment =
        std::max({m_dMaxAbsMoment, std::fabs(el.momentStart), std::fabs(el.momentEnd)});
    probe += (el.shearStart - el.shearStart) + (el.shearEnd - el.shearEnd) +
             (el.momentStart - el.momentStart) + (el.momentEnd - el.momentEnd);
  }
  m_bFiniteResults = probe == 0;
  if (m_bPrecise) ClearCancelledForces();
  KeepElementLoads(uniformLoads);
}

// A precise solution leaves, where a force is 0 (the moment at a pin, the shear of an unloaded
// overhang), the round-off of its 32 digits: some 1e-30 of the diagram's scale, which a report
// would print as "-6.7e-29". Far below anything the solution is accurate to (1e-9 of the scale)
// and far above that round-off, such a value is the 0 it stands for, as the double solution
// gives it.
void CBeamAnalysis::ClearCancelledForces() {
  constexpr double kCancelled = 1e-20;
  const double shear = kCancelled * m_dMaxAbsShear, moment = kCancelled * m_dMaxAbsMoment;
  const auto clear = [](double& v, double limit) {
    if (std::fabs(v) <= limit) v = 0;
  };
  for (int32_t e = 1; e <= m_nElements; ++e) {
    BeamElement& el = m_elements[e];
    clear(el.shearStart, shear);
    clear(el.shearEnd, shear);
    clear(el.momentStart, moment);
    clear(el.momentEnd, moment);
  }
}

}  // namespace spanlab
