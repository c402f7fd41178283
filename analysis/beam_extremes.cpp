// The extremes of the results along the whole beam.
//
// One pass from left to right. For each element: its left node (deflection, rotation), its
// start forces, then the values at its interior stationary points (element_values.h), then its
// end forces, and at a hinge the rotation just left of it. Strictly greater / smaller replaces,
// so on ties the leftmost position stays. An element's interior is examined only when the
// bounds of its closed form reach beyond the extremes found so far, which keeps the pass at a
// few operations per element on long beams whose largest values recur span after span (quick
// bounds first, Bernstein bounds where those do not settle it, roots last).
#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/beam_analysis.h"
#include "analysis/element_values.h"
#include "model/units.h"

namespace spanlab {

namespace {

struct Extreme {
  double& minV;
  double& xMin;
  double& maxV;
  double& xMax;
  void Track(double v, double x) const {
    TrackMax(v, x);
    TrackMin(v, x);
  }
  void TrackMax(double v, double x) const {
    if (v > maxV) {
      maxV = v;
      xMax = x;
    }
  }
  void TrackMin(double v, double x) const {
    if (v < minV) {
      minV = v;
      xMin = x;
    }
  }
};

bool Within(const Extreme& extreme, double low, double high) {
  return low >= extreme.minV && high <= extreme.maxV;
}

// The stationary values of one quantity inside the element, when its bounds (the quick ones,
// then the tighter ones) reach beyond the extremes found so far. A stationary value within
// rounding of the element's end values is the end's own (a peak at a node, found a hair inside
// the element): the node keeps it.
void TrackInterior(const ElementSolution& element, BeamQuantity quantity, const Extreme& extreme) {
  double low, high;
  element.QuickBounds(quantity, low, high);
  if (Within(extreme, low, high)) return;
  if (quantity == BeamQuantity::kRotation || quantity == BeamQuantity::kDeflection) {
    element.Bounds(quantity, low, high);
    if (Within(extreme, low, high)) return;
  }
  double s[4];
  const int n = element.StationaryPoints(quantity, s);
  if (n == 0) return;
  const double a = element.Value(quantity, 0), b = element.Value(quantity, element.Length());
  const double endHigh = std::max(a, b), endLow = std::min(a, b);
  for (int i = 0; i < n; ++i) {
    const double v = element.Value(quantity, s[i]);
    const double margin = 8 * std::numeric_limits<double>::epsilon() *
                          std::max({std::fabs(v), std::fabs(a), std::fabs(b)});
    if (v > endHigh + margin) extreme.TrackMax(v, element.XStart() + s[i]);
    if (v < endLow - margin) extreme.TrackMin(v, element.XStart() + s[i]);
  }
}

}  // namespace

void CBeamAnalysis::ComputeExtremes(int units) {
  ClearExtremes();
  if (m_nElements <= 0 || m_nNodes <= 0) return;
  const TableLock lock(*this);
  const Extreme shear{m_dMinShear, m_dXMinShear, m_dMaxShear, m_dXMaxShear};
  const Extreme moment{m_dMinMoment, m_dXMinMoment, m_dMaxMoment, m_dXMaxMoment};
  const Extreme rotation{m_dMinRotation, m_dXMinRotation, m_dMaxRotation, m_dXMaxRotation};
  const Extreme deflection{m_dMinDeflection, m_dXMinDeflection, m_dMaxDeflection,
                           m_dXMaxDeflection};
  m_dMinShear = m_dMaxShear = m_elements[1].shearStart;
  m_dMinMoment = m_dMaxMoment = m_elements[1].momentStart;
  m_dMinRotation = m_dMinDeflection = 1e50;
  m_dMaxRotation = m_dMaxDeflection = -1e50;
  // Values between nodes only for a complete run: after A1, A3 or A4 the tables hold no
  // solution of the loads.
  const bool interior = m_bCasesReady && m_dLength > 0;
  for (int32_t e = 1; e <= m_nElements; ++e) {
    const BeamElement& el = m_elements[e];
    const BeamNode& n = m_nodes[e];
    const double xs = el.xEnd - ElementLength(e);
    deflection.Track(n.deflection, n.x);
    rotation.Track(n.rotation, n.x);
    shear.Track(el.shearStart, xs);
    moment.Track(el.momentStart, xs);
    if (interior) {
      const ElementSolution element(*this, e);
      TrackInterior(element, BeamQuantity::kDeflection, deflection);
      TrackInterior(element, BeamQuantity::kRotation, rotation);
      TrackInterior(element, BeamQuantity::kShear, shear);
      TrackInterior(element, BeamQuantity::kMoment, moment);
      if (el.releaseEnd == 1) rotation.Track(element.At(element.Length()).rotation, el.xEnd);
    }
    shear.Track(-el.shearEnd, el.xEnd);
    moment.Track(-el.momentEnd, el.xEnd);
  }
  for (int32_t i = m_nElements + 1; i <= m_nNodes; ++i) {
    deflection.Track(m_nodes[i].deflection, m_nodes[i].x);
    rotation.Track(m_nodes[i].rotation, m_nodes[i].x);
  }
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
