// The item records built from the model's data lines. All values are in internal units
// (input value times the conversion factor in force when the line was read). Records are
// rebuilt from the lines before every check and run and are never saved. They are plain values:
// the document's lists hold them by value and own them.
#pragma once

#include <cstdint>

namespace spanlab {

struct CMemberPropertyItem {
  double m_dX = 0;  // position from which E and I apply
  double m_dE = 0;  // modulus of elasticity
  double m_dI = 0;  // moment of inertia
};

struct CMomentReleaseItem {
  double m_dX = 0;  // position of the hinge
};

// (The flags follow the values so that the record packs into 32 bytes: a model holds as many
// supports as spans.)
struct CSupportItem {
  double m_dX = 0;
  double m_dDisp = 0;       // prescribed vertical displacement, when m_bDisp
  double m_dRotation = 0;   // prescribed rotation, when m_bRotation
  uint8_t m_bDisp = 0;      // 1 when "Disp" was given: the displacement is restrained
  uint8_t m_bRotation = 0;  // 1 when "Rotation" was given: the rotation is restrained
};

struct CSpringItem {
  double m_dX = 0;
  double m_dVSpring = 0;  // vertical stiffness (force / length)
  double m_dRSpring = 0;  // rotational stiffness (moment / radian)
};

struct CPointLoadItem {
  double m_dX = 0;
  double m_dPLoad = 0;   // concentrated force, positive in the direction of positive deflection
  double m_dMoment = 0;  // concentrated moment, positive in the direction of positive rotation
};

struct CUniformLoadItem {
  double m_dXStart = 0;
  double m_dXEnd = 0;
  double m_dUStart = 0;  // intensity at XStart (force / length)
  double m_dUEnd = 0;    // intensity at XEnd; linear in between
};

// The live load of the envelope over all span patterns ("Live Load" line; at most one).
struct CLiveLoadItem {
  double m_dU = 0;           // live load intensity over a whole span (force / length)
  double m_dLiveFactor = 1;  // factor on the live load
  double m_dDeadMax = 1;     // factor on a span's own loads when it carries the live load
  double m_dDeadMin = 1;     // factor on them when it does not
};

}  // namespace spanlab
