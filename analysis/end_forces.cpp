// Results from displacements: reactions, springs' forces and element end forces, one routine
// for the run and for every further load case.
//
// Where the results go is the `Results` parameter: the run writes into its node and element
// records (its displacements are already there: the solution writes them in place), a load
// case into the arrays of a CaseResults. The arithmetic is the same for both, step for step, so
// a load case with the run's loads gives the run's numbers bit for bit.
#include <algorithm>
#include <cmath>

#include "analysis/beam_analysis.h"

namespace spanlab {

namespace {

// The run's tables.
struct RunTables {
  BeamNode* nodes;
  BeamElement* elements;
  const double* low;  // the low parts of precise displacements, by dof
  double* keptP;      // where the loads are kept per element (see KeepLoad), or null
  double* keptQ;
  // The run keeps each element's load for the values between nodes: the sums of the same p and
  // q, in the same order, that the load vector took.
  void KeepLoad(int32_t e, double p, double q) {
    if (keptP == nullptr) return;
    keptP[e] += p;
    keptQ[e] += q;
  }
  double Deflection(int32_t i) const { return nodes[i].deflection; }
  double Rotation(int32_t i) const { return nodes[i].rotation; }
  DoubleDouble Displacement(int32_t dof) const {
    const BeamNode& n = nodes[(dof + 1) >> 1];
    return DoubleDouble((dof & 1) ? n.deflection : n.rotation, low[dof]);
  }
  double& ReactionVert(int32_t i) { return nodes[i].reactionVert; }
  double& ReactionRot(int32_t i) { return nodes[i].reactionRot; }
  double& ShearStart(int32_t e) { return elements[e].shearStart; }
  double& ShearEnd(int32_t e) { return elements[e].shearEnd; }
  double& MomentStart(int32_t e) { return elements[e].momentStart; }
  double& MomentEnd(int32_t e) { return elements[e].momentEnd; }
};

// A load case's arrays, sized by the caller; d and low indexed by dof. It keeps its loads per
// element too.
struct CaseTables {
  CBeamAnalysis::CaseResults& out;
  const std::vector<double>& d;
  const std::vector<double>& low;
  void KeepLoad(int32_t e, double p, double q) {
    out.loadP[e] += p;
    out.loadQ[e] += q;
  }
  double Deflection(int32_t i) const { return out.deflection[i]; }
  double Rotation(int32_t i) const { return out.rotation[i]; }
  DoubleDouble Displacement(int32_t dof) const { return DoubleDouble(d[dof], low[dof]); }
  double& ReactionVert(int32_t i) { return out.reactionVert[i]; }
  double& ReactionRot(int32_t i) { return out.reactionRot[i]; }
  double& ShearStart(int32_t e) { return out.shearStart[e]; }
  double& ShearEnd(int32_t e) { return out.shearEnd[e]; }
  double& MomentStart(int32_t e) { return out.momentStart[e]; }
  double& MomentEnd(int32_t e) { return out.momentEnd[e]; }
};

}  // namespace

template <class Results>
CBeamAnalysis::ResultScales CBeamAnalysis::ResultsFromDisplacements(
    const std::vector<double>& F, const std::vector<CSpringItem>& springs,
    const std::vector<CUniformLoadItem>& uniformLoads, bool summedLoads, Results& out) const {
  ResultScales scales;
  // Whether every value is a finite number, found on the way: v - v is 0 for a finite v and
  // NaN otherwise, and a NaN stays in the sum.
  double probe = 0;
  for (int32_t i = 1; i <= m_nNodes; ++i) {
    const double deflection = out.Deflection(i), rotation = out.Rotation(i);
    const double vert = IsPrescribed(2 * i - 1) ? F[2 * i - 1] : 0.0;
    const double rot = IsPrescribed(2 * i) ? F[2 * i] : 0.0;
    out.ReactionVert(i) = vert;
    out.ReactionRot(i) = rot;
    if (std::fabs(deflection) > scales.deflection) scales.deflection = std::fabs(deflection);
    if (std::fabs(rotation) > scales.rotation) scales.rotation = std::fabs(rotation);
    probe += (deflection - deflection) + (rotation - rotation) + (vert - vert) + (rot - rot);
  }
  // A spring's force adds to the reaction of its node (the first within the tolerance).
  for (const CSpringItem& s : springs) {
    const int32_t node = FirstNodeNear(s.m_dX);
    if (node == 0) continue;
    double &vert = out.ReactionVert(node), &rot = out.ReactionRot(node);
    if (s.m_dVSpring != 0) vert -= s.m_dVSpring * out.Deflection(node);
    if (s.m_dRSpring != 0) rot -= s.m_dRSpring * out.Rotation(node);
    probe += (vert - vert) + (rot - rot);
  }

  // End forces: the element stiffness times its end displacements ...
  for (int32_t e = 1; e <= m_nElements; ++e) {
    const int32_t j = 2 * e - 1;  // the left node's deflection dof
    if (m_bPrecise) {
      const std::array<double, 4> f =
          PreciseElementForces(e, {out.Displacement(j), out.Displacement(j + 1),
                                   out.Displacement(j + 2), out.Displacement(j + 3)});
      out.ShearStart(e) = f[0];
      out.MomentStart(e) = f[1];
      out.ShearEnd(e) = f[2];
      out.MomentEnd(e) = f[3];
      continue;
    }
    const BeamElement& el = m_elements[e];
    const ElementTerms k = ElementTermsOf(el.ei, ElementLength(e), el.releaseEnd);
    const double d1 = out.Deflection(e), d2 = out.Rotation(e), d3 = out.Deflection(e + 1),
                 d4 = out.Rotation(e + 1);
    out.ShearStart(e) = k.k11 * d1 + k.k12 * d2 + k.k13 * d3 + k.k14 * d4;
    out.MomentStart(e) = k.k12 * d1 + k.k22 * d2 + k.k23 * d3 + k.k24 * d4;
    out.ShearEnd(e) = k.k13 * d1 + k.k23 * d2 + k.k33 * d3 + k.k34 * d4;
    out.MomentEnd(e) = k.k14 * d1 + k.k24 * d2 + k.k34 * d3 + k.k44 * d4;
  }
  // ... minus the element's share of the uniform loads (the same loads, and the same elements,
  // as in the load vector).
  auto subtractLoad = [this, &out](int32_t e, double p, double q) {
    const LoadShares share = LoadSharesOf(p, q, ElementLength(e), m_elements[e].releaseEnd);
    out.MomentStart(e) += share.m1;
    out.MomentEnd(e) -= share.m2;
    out.ShearStart(e) -= share.v1;
    out.ShearEnd(e) -= share.v2;
  };
  if (summedLoads) {
    for (int32_t e = 1; e <= m_nElements; ++e) {
      if (m_loadP[e] != 0 || m_loadQ[e] != 0) subtractLoad(e, m_loadP[e], m_loadQ[e]);
    }
  } else {
    for (const CUniformLoadItem& u : uniformLoads) {
      ForEachElementLoad(SpanOf(u), [&](int32_t e, double p, double q) {
        subtractLoad(e, p, q);
        out.KeepLoad(e, p, q);
      });
    }
  }
  for (int32_t e = 1; e <= m_nElements; ++e) {
    const double vs = out.ShearStart(e), ve = out.ShearEnd(e);
    const double ms = out.MomentStart(e), me = out.MomentEnd(e);
    scales.shear = std::max({scales.shear, std::fabs(vs), std::fabs(ve)});
    scales.moment = std::max({scales.moment, std::fabs(ms), std::fabs(me)});
    probe += (vs - vs) + (ve - ve) + (ms - ms) + (me - me);
  }
  scales.finite = probe == 0;
  return scales;
}

void CBeamAnalysis::EndForces(const Equations& eq, const std::vector<CSpringItem>& springs,
                              const std::vector<CUniformLoadItem>& uniformLoads) {
  // m_loadP holds per-element sums here when the assembly summed the loads, or when an earlier
  // pass of the same run kept them; otherwise the loads are kept as their shares are taken.
  const bool summed = !m_loadP.empty();
  RunTables tables{m_nodes.data(), m_elements.data(), m_displacementLow.data(), nullptr, nullptr};
  if (!summed && !uniformLoads.empty()) {
    const size_t n = static_cast<size_t>(m_nElements) + 2;
    m_loadP.assign(n, 0.0);
    m_loadQ.assign(n, 0.0);
    tables.keptP = m_loadP.data();
    tables.keptQ = m_loadQ.data();
  }
  const ResultScales scales = ResultsFromDisplacements(eq.F, springs, uniformLoads, summed, tables);
  m_dMaxAbsDeflection = scales.deflection;
  m_dMaxAbsRotation = scales.rotation;
  m_dMaxAbsShear = scales.shear;
  m_dMaxAbsMoment = scales.moment;
  m_bFiniteResults = scales.finite;
  if (m_dMaxAbsDeflection > m_dLength) {
    m_messages.push_back(kMessageA2);
    m_bError = 1;
  }
  if (m_bPrecise) ClearCancelledForces();
}

void CBeamAnalysis::CaseResultsFrom(const std::vector<double>& F, const std::vector<double>& d,
                                    const std::vector<double>& low,
                                    const std::vector<CSpringItem>& springs,
                                    const std::vector<CUniformLoadItem>& uniformLoads,
                                    CaseResults& out) const {
  const size_t nodes = static_cast<size_t>(m_nNodes) + 1;
  out.deflection.assign(nodes, 0.0);
  out.rotation.assign(nodes, 0.0);
  out.reactionVert.assign(nodes, 0.0);
  out.reactionRot.assign(nodes, 0.0);
  for (int32_t i = 1; i <= m_nNodes; ++i) {
    out.deflection[i] = d[2 * i - 1];
    out.rotation[i] = d[2 * i];
  }
  const size_t elements = static_cast<size_t>(m_nElements) + 1;
  out.shearStart.assign(elements, 0.0);
  out.shearEnd.assign(elements, 0.0);
  out.momentStart.assign(elements, 0.0);
  out.momentEnd.assign(elements, 0.0);
  out.loadP.assign(elements, 0.0);
  out.loadQ.assign(elements, 0.0);
  CaseTables tables{out, d, low};
  ResultsFromDisplacements(F, springs, uniformLoads, false, tables);
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
