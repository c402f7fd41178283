// Exact results between the nodes of a solved beam: deflection, rotation, shear and moment at
// any position, from an element's end values and the distributed load on it, and the points
// inside an element where one of them is stationary (the candidates for its extremes).
//
// An element carries a linearly varying load only (point loads and moments act at nodes), so
// within it the shear is quadratic, the moment cubic, the rotation quartic and the deflection a
// quintic; these closed forms are what the stiffness solution is exact for at its nodes. Units
// and signs are those of CBeamAnalysis.
#pragma once

#include <cstdint>

#include "analysis/beam_analysis.h"
#include "analysis/beam_quantity.h"

namespace spanlab {

struct BeamValues {
  double deflection = 0;
  double rotation = 0;
  double shear = 0;
  double moment = 0;
};

// One element's end values and distributed load in one load case, with the conventions of
// CBeamAnalysis::CaseResults (end forces as the nodes apply them). Linear in the loads: the
// values of a sum of cases are the sums of their values.
struct ElementEnds {
  double v1 = 0, v2 = 0, r1 = 0, r2 = 0;  // deflections and rotations of the element's nodes
  double shearStart = 0, shearEnd = 0, momentStart = 0, momentEnd = 0;
  double p = 0, q = 0;  // the load's intensity at the left end and its rise over the element
  ElementEnds& operator+=(const ElementEnds& o);
};
// Element e's ends in load case c (c from SolveLoadCase of the same analysis).
ElementEnds EndsOf(const CBeamAnalysis::CaseResults& c, int32_t e);

// The solution of element e of a solved beam (a view of its end values; the analysis must
// outlive it and not be reset meanwhile). Position s runs from 0 at the left node to
// Length() at the right node.
//
// The ends are exact: at s = 0 the values are the left node's deflection and rotation and the
// element's start forces (shearStart, momentStart); at s = Length() the right node's
// deflection, -shearEnd and -momentEnd, and the right node's rotation unless a moment release
// sits there (then the element's own end rotation, the value just left of the hinge). An
// element without stiffness (EI = 0) deflects linearly between its nodes and turns by the
// chord's rotation.
class ElementSolution {
 public:
  ElementSolution(const CBeamAnalysis& analysis, int32_t element);
  // The same element in another load case of the analysis: its geometry and stiffness from the
  // analysis, its end values and load from `ends`.
  ElementSolution(const CBeamAnalysis& analysis, int32_t element, const ElementEnds& ends);

  double XStart() const { return m_x0; }
  double Length() const { return m_l; }

  // All four values at s (clamped to [0, Length()]).
  BeamValues At(double s) const;
  double Value(BeamQuantity quantity, double s) const;

  // The positions s strictly inside the element (ascending, at most four) where the quantity's
  // derivative along the beam changes sign: where the load is 0 for shear, the shear for
  // moment, the moment for rotation, the rotation for deflection. Returns their number.
  // `steps` bounds the iterations per root (a bracketed Newton's method: a handful give full
  // double precision; a picture needs fewer, since the value at a stationary point is
  // insensitive to its position).
  int StationaryPoints(BeamQuantity quantity, double out[4], int steps = 60) const;

  // Bounds [low, high] that the quantity keeps over the whole element: for shear and moment its
  // end values and the largest departure of its closed form from the chord between them, for
  // rotation and deflection the hull of its polynomial's Bernstein coefficients. Cheap, for
  // skipping elements that cannot hold a new extreme.
  void Bounds(BeamQuantity quantity, double& low, double& high) const;

 private:
  // Coefficients c[0..4] in t = s / Length() of the quantity's derivative-sign polynomial, i.e.
  // of the function whose roots StationaryPoints returns; returns its degree.
  int DerivativePolynomial(BeamQuantity quantity, double c[5]) const;
  // Bounds of rotation or deflection from their polynomials' Bernstein coefficients.
  void CurveHull(BeamQuantity quantity, double& low, double& high) const;

  double m_x0 = 0, m_l = 0, m_ei = 0;
  double m_v1 = 0, m_v2 = 0, m_r1 = 0, m_r2 = 0;
  double m_va = 0, m_vb = 0, m_ma = 0, m_mb = 0;
  double m_p = 0, m_q = 0;
  bool m_ownEndRotation = false;  // the right node's rotation is not this element's
};

// The values at beam position x (clamped to the beam). At a node all four are those just left
// of it (the right end of the element ending there), as the node table shows shear and moment:
// the node's own deflection and rotation, except at a hinge, where the rotation is that of the
// part left of it; at x = 0 those of the first element's left end. Precondition: the analysis
// has elements. O(log n).
BeamValues ValuesAt(const CBeamAnalysis& analysis, double x);

}  // namespace spanlab
