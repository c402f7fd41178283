#include "model/units.h"

namespace spanlab {

UnitFactors FactorsForUnits(int units) {
  UnitFactors f;
  f.fill(1.0);
  if (units == kUnitsEnglish) {
    f[kFactorLength] = 12.0;   // feet to inches
    f[kFactorMoment] = 12.0;   // kip ft to kip in
    f[kFactorUniform] = 1.0 / 12.0;  // kip/ft to kip/in
  } else if (units == kUnitsMetric) {
    f[kFactorE] = 1000.0;      // MPa to kN/m^2
    f[kFactorI] = 1e-8;        // cm^4 to m^4
    f[kFactorDisp] = 0.001;    // mm to m
    f[kFactorVSpring] = 1000.0;  // kN/mm to kN/m
    f[kFactorRSpring] = 0.001;   // kN mm/rad to kN m/rad
  }
  return f;
}

int UnitsFromName(std::string_view name) {
  if (name == "English") return kUnitsEnglish;
  if (name == "Metric") return kUnitsMetric;
  if (name == "Consistent") return kUnitsConsistent;
  if (name == "User Defined") return kUnitsUserDefined;
  return 0;
}

std::string UnitLabel(int units, int quantity) {
  // Columns: English, Metric. Rows: quantity codes 1..14.
  static constexpr const char* kLabels[14][2] = {
      {"kips", "kN"},           {"kip ft", "kN m"},         {"radians", "radians"},
      {"inches", "mm"},         {"feet", "m"},              {"ksi", "MPa"},
      {"in^4", "cm^4"},         {"inches", "mm"},           {"radians", "radians"},
      {"kip/inch", "kN/mm"},    {"kip in/rad", "kN mm/rad"}, {"kips", "kN"},
      {"kip ft", "kN m"},       {"kip/ft", "kN/m"},
  };
  if (quantity < 1 || quantity > 14) return {};
  if (units == kUnitsEnglish) return kLabels[quantity - 1][0];
  if (units == kUnitsMetric) return kLabels[quantity - 1][1];
  return quantity == kQuantityRotation ? "radians" : "";
}

}  // namespace spanlab
