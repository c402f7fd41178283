// Run bookkeeping of the engine: reset, refusal, degree-of-freedom lookup and the equilibrium
// line.
#include "analysis/beam_analysis.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "model/number_text.h"
#include "model/units.h"

namespace spanlab {

void CBeamAnalysis::Reset() {
  assert(m_nLocks == 0 && "Reset while a reader holds the tables");
  m_messages.clear();
  m_dLength = 0;
  m_bError = 0;
  m_bRefused = false;
  m_bCasesReady = false;
  m_nNodes = m_nElements = m_nDof = 0;
  // No sums or scales of an earlier model may outlive it.
  m_dLoadVert = m_dLoadMoment = 0;
  m_loadScale = {};
  m_bPrecise = m_bPreciseFailed = false;
  m_dConditionEstimate = m_dPreciseEstimate = 0;
  m_dMaxAbsDeflection = m_dMaxAbsRotation = m_dMaxAbsShear = m_dMaxAbsMoment = 0;
  ClearExtremes();
  m_loadP.clear();
  m_loadQ.clear();
  // Index 0 of both tables is never used.
  m_elements.assign(1, BeamElement{});
  m_nodes.assign(1, BeamNode{});
}

void CBeamAnalysis::SetLength(double length) {
  if (!m_bRefused) m_dLength = length;
}

void CBeamAnalysis::Refuse(const std::string& message) {
  m_messages.push_back(message);
  m_bError = 1;
  m_bRefused = true;
  m_bCasesReady = false;
  m_dLength = 0;  // nothing to show
  m_nNodes = m_nElements = m_nDof = 0;
  m_nodes.assign(1, BeamNode{});
  m_elements.assign(1, BeamElement{});
}

CBeamAnalysis::TableLock::TableLock(const CBeamAnalysis& analysis) : m_analysis(analysis) {
  ++m_analysis.m_nLocks;
}

CBeamAnalysis::TableLock::~TableLock() { --m_analysis.m_nLocks; }

int32_t CBeamAnalysis::FirstNodeNotBelow(double x) const {
  // Galloping search from where the last one ended, then a binary search in the bracket found:
  // O(log distance), so ascending queries cost next to nothing.
  const int32_t n = m_nNodes;
  const auto& nodes = m_nodes;
  const int32_t hint = std::clamp(m_nSearchHint, 1, n);
  int32_t lo, hi;  // nodes[lo].x < x (or lo = 0) and nodes[hi].x >= x (or hi = n + 1)
  if (nodes[hint].x < x) {
    lo = hint;
    for (int32_t step = 1;; step *= 2) {
      hi = lo + step;
      if (hi > n) {
        hi = n + 1;
        break;
      }
      if (!(nodes[hi].x < x)) break;
      lo = hi;
    }
  } else {
    hi = hint;
    for (int32_t step = 1;; step *= 2) {
      lo = hi - step;
      if (lo < 1) {
        lo = 0;
        break;
      }
      if (nodes[lo].x < x) break;
      hi = lo;
    }
  }
  const auto it = std::lower_bound(nodes.begin() + lo + 1, nodes.begin() + hi, x,
                                   [](const BeamNode& node, double v) { return node.x < v; });
  const int32_t found = static_cast<int32_t>(it - nodes.begin());
  m_nSearchHint = found;
  return found;
}

int32_t CBeamAnalysis::FirstNodeNear(double x) const {
  if (m_nNodes <= 0) return 0;
  const int32_t above = FirstNodeNotBelow(x);  // first x_i >= x, or n + 1
  // The nodes within the tolerance of x are one contiguous run around `above` (the computed
  // distance grows monotonically away from x), so the first of them is found by walking left.
  int32_t first = above;
  while (first > 1 && std::fabs(x - m_nodes[first - 1].x) < kPositionTolerance) --first;
  if (first < above) return first;
  if (above <= m_nNodes && std::fabs(x - m_nodes[above].x) < kPositionTolerance) return above;
  return 0;
}

int32_t CBeamAnalysis::FindDof(double x) const {
  const int32_t node = FirstNodeNear(x);
  return node > 0 ? 2 * node - 1 : 2 * m_nNodes - 1;
}

CBeamAnalysis::Residuals CBeamAnalysis::EquilibriumResiduals() const {
  double sumV = 0;
  double sumM = 0;
  Residuals r;
  r.vertScale = m_loadScale.vert;
  r.momentScale = m_loadScale.moment;
  for (int32_t i = 1; i <= m_nNodes; ++i) {
    const BeamNode& n = m_nodes[i];
    if (n.reactionVert != 0) {
      sumV += n.reactionVert;
      sumM -= n.reactionVert * n.x;
      r.vertScale += std::fabs(n.reactionVert);
      r.momentScale += std::fabs(n.reactionVert * n.x);
    }
    if (n.reactionRot != 0) {
      sumM += n.reactionRot;
      r.momentScale += std::fabs(n.reactionRot);
    }
  }
  r.vert = sumV + m_dLoadVert;
  r.moment = sumM + m_dLoadMoment;
  return r;
}

double CBeamAnalysis::Residuals::Relative() const {
  const auto part = [](double residual, double scale) {
    return residual == 0 ? 0.0 : std::fabs(residual) / scale;  // (a NaN stays NaN)
  };
  return std::max(part(vert, vertScale), part(moment, momentScale));
}

void CBeamAnalysis::AppendEquilibriumLine(int units, const Residuals& residuals) {
  const double vert = residuals.vert;
  // English moments are kip in internally and shown in kip ft.
  const double rot = residuals.moment / (units == kUnitsEnglish ? 12.0 : 1.0);
  std::string forceLabel, momentLabel;
  if (units == kUnitsEnglish) {
    forceLabel = " kips";
    momentLabel = " kip ft";
  } else if (units == kUnitsMetric) {
    forceLabel = " kN";
    momentLabel = " kN m ";
  }
  m_messages.push_back(" Equilibrium error: Vert = " + FormatFixed(vert, 3) + forceLabel + ";" +
                       " Rotation = " + FormatFixed(rot, 3) + momentLabel);
}

void CBeamAnalysis::ClearExtremes() {
  m_dMinShear = m_dMaxShear = m_dXMinShear = m_dXMaxShear = 0;
  m_dMinMoment = m_dMaxMoment = m_dXMinMoment = m_dXMaxMoment = 0;
  m_dMinRotation = m_dMaxRotation = m_dXMinRotation = m_dXMaxRotation = 0;
  m_dMinDeflection = m_dMaxDeflection = m_dXMinDeflection = m_dXMaxDeflection = 0;
}

}  // namespace spanlab
