// Unit systems, the factors that turn input values into internal units, and unit labels.
//
// Internal units: English models compute in inch and kip, Metric ones in metre and kilonewton;
// Consistent and User Defined models use whatever consistent set the user chose (factors 1).
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace spanlab {

// Unit system codes (the document's m_nUnits).
enum UnitSystem : int {
  kUnitsEnglish = 1,
  kUnitsMetric = 2,
  kUnitsConsistent = 3,
  kUnitsUserDefined = 4,
};

// Index of each conversion factor in m_factors, in the document's order.
enum FactorIndex : int {
  kFactorLength = 0,  // X, XStart, XEnd
  kFactorE,
  kFactorI,
  kFactorDisp,
  kFactorRotation,
  kFactorVSpring,
  kFactorRSpring,
  kFactorPLoad,
  kFactorMoment,
  kFactorUniform,  // UStart, UEnd
  kFactorCount,
};

using UnitFactors = std::array<double, kFactorCount>;

// The unit system a "Units" line names: "English", "Metric", "Consistent" or "User Defined",
// compared exactly; 0 for any other text. (The format check refuses "User Defined", which only
// BuildItems knows.)
int UnitsFromName(std::string_view name);

// The factors of a unit system: English feet->inch, ksi, in^4, ...; Metric m, MPa->kN/m^2,
// cm^4->m^4, ...; every other code all 1.0.
UnitFactors FactorsForUnits(int units);

// Quantity codes of UnitLabel: 1..4 are results, 5..14 inputs.
enum UnitQuantity : int {
  kQuantityForce = 1,        // shear and reaction force
  kQuantityMoment = 2,       // bending and reaction moment
  kQuantityRotation = 3,     // rotation result
  kQuantityDeflection = 4,   // deflection result
  kQuantityPosition = 5,     // X, XStart, XEnd
  kQuantityE = 6,
  kQuantityI = 7,
  kQuantityDisp = 8,
  kQuantitySupportRotation = 9,
  kQuantityVSpring = 10,
  kQuantityRSpring = 11,
  kQuantityPLoad = 12,
  kQuantityPointMoment = 13,
  kQuantityUniform = 14,
};

// The label of a quantity in a unit system ("kips", "kN m", ...); empty for codes outside
// 1..14 and, in the Consistent and User Defined systems, for every code but 3 ("radians").
std::string UnitLabel(int units, int quantity);

}  // namespace spanlab
