// The item records of a model, built from its lines in one pass: the one value that the data
// check, the engine, the drawings, the reports and the item dialogs read. The run builds it at
// every change of the lines; a test builds one by hand.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/items.h"
#include "model/sections.h"
#include "model/units.h"

namespace spanlab {

struct ModelItems {
  std::vector<CUniformLoadItem> m_uniformLoads;
  std::vector<CPointLoadItem> m_pointLoads;
  std::vector<CSpringItem> m_springs;
  std::vector<CSupportItem> m_supports;
  std::vector<CMomentReleaseItem> m_releases;
  std::vector<CMemberPropertyItem> m_properties;  // ascending m_dX (equal X in line order)
  std::vector<CLiveLoadItem> m_liveLoads;         // in line order (the data check allows one)
  // Load cases: "D" and "L" first (the cases of loads without a Case field), then every other
  // name a load or a combination gives, in line order. Loads refer to them by index.
  std::vector<std::string> m_caseNames = {"D", "L"};
  std::vector<CLoadCombinationItem> m_combinations;  // both kinds, in line order
  std::vector<CDeflectionLimitItem> m_deflectionLimits;  // (the data check allows one)
  std::vector<CCapacityItem> m_capacities;               // (the data check allows one)
  std::vector<CVehicleItem> m_vehicles;                  // in line order
  int m_nUnits = kUnitsConsistent;                // the unit system of the last Units line
  UnitFactors m_factors = FactorsForUnits(kUnitsConsistent);  // the factors of m_nUnits
  double m_dBeamLength = 0;  // largest item position (internal length unit)

  // The label of a quantity code (1..14) in m_nUnits; see UnitLabel.
  std::string GetUnitLabel(int quantity) const { return UnitLabel(m_nUnits, quantity); }
  // The index of a case name in m_caseNames; -1 when no load or combination names it.
  int32_t CaseIndex(std::string_view name) const;
  // Whether some point, uniform or live load or a vehicle belongs to case `index`.
  bool CaseHasLoads(int32_t index) const;
  // Empties the item lists and resets the case names to "D", "L"; the unit system and the
  // length stay.
  void ClearLists();
};

// The items of the lines `split` (SplitSectionLines of the model lines). Lines are read in
// order, starting in the Consistent system; a "Units" line changes the factors for the data
// lines after it (an unknown name leaves them as they were). The format line, unknown sections
// and description lines carry no item. Member properties are kept sorted by X (equal X in line
// order); the other lists keep line order. Values are read without looking at the keys where
// the section's fields have a fixed place (the format check has looked at them).
// (A load's case and a combination's factors are read from the line itself: `lines` are the
// lines `split` was made of.)
ModelItems BuildModelItems(const std::vector<std::string>& lines);
// The same into `items`, whose lists keep their room (a run after each change reuses it).
void BuildModelItems(const std::vector<std::string>& lines, const std::vector<SectionLine>& split,
                     ModelItems& items);

}  // namespace spanlab
