// The item records built from the model's data lines. All values are in internal units
// (input value times the conversion factor in force when the line was read). Records are
// rebuilt from the lines before every check and run and are never saved. They are plain values:
// the document's lists hold them by value and own them.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

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
  int32_t m_nCase = 0;   // its load case: an index into ModelItems::m_caseNames (0 is "D")
};

struct CUniformLoadItem {
  double m_dXStart = 0;
  double m_dXEnd = 0;
  double m_dUStart = 0;  // intensity at XStart (force / length)
  double m_dUEnd = 0;    // intensity at XEnd; linear in between
  int32_t m_nCase = 0;   // its load case: an index into ModelItems::m_caseNames (0 is "D")
};

// The live load of the envelope over all span patterns ("Live Load" line; at most one).
struct CLiveLoadItem {
  double m_dU = 0;           // live load intensity over a whole span (force / length)
  double m_dLiveFactor = 1;  // factor on the live load
  double m_dDeadMax = 1;     // factor on a span's own loads when it carries the live load
  double m_dDeadMin = 1;     // factor on them when it does not
  int32_t m_nCase = 1;       // its load case: an index into ModelItems::m_caseNames (1 is "L")
  uint8_t m_bFactorsGiven = 0;  // 1 when the line gives LiveFactor, DeadMax or DeadMin
};

// A load combination ("Load Combination" line: strength; "Service Combination" line:
// serviceability). A case it does not name has factor 0 in it.
struct CLoadCombinationItem {
  std::string m_name;
  bool m_bService = false;
  std::vector<std::pair<int32_t, double>> m_factors;  // (case index, factor as written), line order
};

// The deflection limits ("Deflection Limit" line): a span's largest deflection may be its length
// divided by m_dSpan, a part beyond the first or last support its length divided by
// m_dCantilever. A divisor not given (0) is not checked.
struct CDeflectionLimitItem {
  double m_dSpan = 0;
  double m_dCantilever = 0;
  uint8_t m_nGiven = 0;  // bit 1: Span, bit 2: Cantilever was on the line
};

// A vehicle ("Vehicle" line; model/vehicle_line.h), internal units.
struct CVehicleItem {
  std::string m_name;
  std::vector<double> m_axles;     // loads from the front; negative = downward
  std::vector<double> m_spacings;  // gaps between consecutive axles; a variable gap its smallest
  int32_t m_nVariableGap = -1;     // the gap searched within [m_spacings[gap], m_dVariableMax]
  double m_dVariableMax = 0;
  double m_dLane = 0;              // uniform lane load, 0 for none
  int32_t m_nCase = 0;             // its load case: an index into ModelItems::m_caseNames
  uint8_t m_nDirections = 3;       // bit 1: forward (front axle towards larger X), bit 2: backward
  std::string m_library;           // the library vehicle it names; empty when its axles are given
};

// The capacities ("Capacity" line), internal units, magnitudes; 0 where not given. A hogging
// capacity not given is the sagging one.
struct CCapacityItem {
  double m_dMoment = 0;     // sagging (positive) moment
  double m_dMomentNeg = 0;  // hogging (negative) moment
  double m_dShear = 0;
  uint8_t m_nGiven = 0;  // bit 1: Moment, bit 2: Shear, bit 4: MomentNeg was on the line
};

}  // namespace spanlab
