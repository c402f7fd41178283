// Building the item records from the split model lines, in one pass in line order. A "Units"
// line switches the factors for the data lines after it, so a value is converted with the
// factors in force where its line stands. Each section's fields are read by the layout of its
// record in the section table (sections.h): keyed, either-or or in any order.
#include "model/model_items.h"

#include <algorithm>
#include <array>
#include <optional>

#include "model/line_fields.h"
#include "model/number_text.h"
#include "model/vehicle_library.h"
#include "model/vehicle_line.h"

namespace spanlab {

void ModelItems::ClearLists() {
  m_uniformLoads.clear();
  m_pointLoads.clear();
  m_springs.clear();
  m_supports.clear();
  m_releases.clear();
  m_properties.clear();
  m_liveLoads.clear();
  m_caseNames.assign({"D", "L"});
  m_combinations.clear();
  m_deflectionLimits.clear();
  m_capacities.clear();
  m_vehicles.clear();
}

int32_t ModelItems::CaseIndex(std::string_view name) const {
  for (size_t i = 0; i < m_caseNames.size(); ++i) {
    if (m_caseNames[i] == name) return static_cast<int32_t>(i);
  }
  return -1;
}

bool ModelItems::CaseHasLoads(int32_t index) const {
  const auto in = [index](const auto& list) {
    return std::any_of(list.begin(), list.end(),
                       [index](const auto& item) { return item.m_nCase == index; });
  };
  return in(m_pointLoads) || in(m_uniformLoads) || in(m_liveLoads) || in(m_vehicles);
}

namespace {

// The index of a case name, added to the list when new.
int32_t AddCase(ModelItems& items, std::string_view name) {
  const int32_t found = items.CaseIndex(name);
  if (found >= 0) return found;
  items.m_caseNames.emplace_back(name);
  return static_cast<int32_t>(items.m_caseNames.size() - 1);
}

// The case of a load line: its Case field, else the section's default.
int32_t CaseOf(ModelItems& items, std::string_view text, const SectionRecord& section) {
  if (text.find("Case") != std::string_view::npos) {
    const LineExtras extras = ReadLineExtras(text);
    if (extras.caseFields > 0) return AddCase(items, extras.caseName);
  }
  return AddCase(items, section.defaultCase);
}

// A combination line: its name and factors (a factor that is no number reads as 0).
CLoadCombinationItem ReadCombination(ModelItems& items, std::string_view text,
                                     const SectionRecord& section) {
  CLoadCombinationItem c;
  c.m_bService = section.id == kSectionServiceCombinations;
  ForEachBodyField(ReadLineExtras(text).body, [&](std::string_view field) {
    const KeyValueView kv = SplitKeyValueView(field);
    if (kv.key == "Name") c.m_name = std::string(kv.value);
    else if (!kv.key.empty()) c.m_factors.emplace_back(AddCase(items, kv.key), ConvertNumber(kv.value));
  });
  return c;
}

// A vehicle line in internal units (a number that is not one reads as 0; the format check has
// reported it).
CVehicleItem ReadVehicle(ModelItems& items, std::string_view text) {
  const VehicleLine line = ReadVehicleLine(ReadLineExtras(text).body);
  CVehicleItem v;
  v.m_name = std::string(line.name);
  v.m_library = std::string(line.library);
  const auto& f = items.m_factors;
  // A library vehicle in the model's units (none in a model without known units: D25).
  std::optional<LibraryVehicle> entry;
  if (const LibraryVehicle* found = FindLibraryVehicle(line.library))
    entry = LibraryVehicleInUnits(*found, items.m_nUnits);
  const std::vector<double>& axles = entry ? entry->axles : line.axles;
  const std::vector<double>& spacings = entry ? entry->spacings : line.spacings;
  for (const double a : axles) v.m_axles.push_back(a * f[kFactorPLoad]);
  for (const double s : spacings) v.m_spacings.push_back(s * f[kFactorLength]);
  v.m_nVariableGap = entry ? entry->variableGap : line.variableGap;
  v.m_dVariableMax = (entry ? entry->variableMax : line.variableMax) * f[kFactorLength];
  v.m_dLane = (entry && !line.laneGiven ? entry->lane : line.lane) * f[kFactorUniform];
  v.m_nCase = AddCase(items, line.caseName.empty() ? std::string_view("M") : line.caseName);
  v.m_nDirections = line.directions;
  return v;
}

// Reserves each list's room for the lines of its section.
void ReserveLists(ModelItems& items, const std::vector<SectionLine>& split) {
  std::array<size_t, kSectionCount> counts{};
  for (const SectionLine& line : split) {
    if (line.section) ++counts[line.section->id];
  }
  items.m_properties.reserve(counts[kSectionProperties]);
  items.m_releases.reserve(counts[kSectionReleases]);
  items.m_supports.reserve(counts[kSectionSupports]);
  items.m_springs.reserve(counts[kSectionSprings]);
  items.m_pointLoads.reserve(counts[kSectionPointLoads]);
  items.m_uniformLoads.reserve(counts[kSectionUniformLoads]);
}

}  // namespace

void BuildModelItems(const std::vector<std::string>& lines, const std::vector<SectionLine>& split,
                     ModelItems& items) {
  items.ClearLists();
  items.m_dBeamLength = 0;
  items.m_nUnits = kUnitsConsistent;
  items.m_factors = FactorsForUnits(kUnitsConsistent);
  ReserveLists(items, split);
  auto raiseLength = [&items](double x) {
    if (x > items.m_dBeamLength) items.m_dBeamLength = x;
  };
  for (size_t index = 0; index < split.size() && index < lines.size(); ++index) {
    const SectionLine& line = split[index];
    const std::string_view text = lines[index];
    if (!line.section || line.section->layout == FieldLayout::kText) continue;
    const SectionRecord& section = *line.section;
    if (section.id == kSectionUnits) {
      if (const int units = UnitsFromName(line.field[0]); units != 0) {
        items.m_nUnits = units;
        items.m_factors = FactorsForUnits(units);
      }
      continue;
    }
    if (section.layout == FieldLayout::kCombination) {
      items.m_combinations.push_back(ReadCombination(items, text, section));
      continue;
    }
    if (section.layout == FieldLayout::kVehicle) {
      items.m_vehicles.push_back(ReadVehicle(items, text));
      continue;
    }
    const ItemFieldValues f = ReadItemFields(section, line.field, items.m_factors);
    const auto& v = f.value;
    switch (section.id) {
      case kSectionProperties:
        items.m_properties.push_back({v[0], v[1], v[2]});
        break;
      case kSectionReleases:
        items.m_releases.push_back({v[0]});
        break;
      case kSectionSupports:
        items.m_supports.push_back({.m_dX = v[0],
                                    .m_dDisp = v[1],
                                    .m_dRotation = v[2],
                                    .m_bDisp = uint8_t(f.given[1]),
                                    .m_bRotation = uint8_t(f.given[2])});
        break;
      case kSectionSprings:
        items.m_springs.push_back({v[0], v[1], v[2]});
        break;
      case kSectionPointLoads:
        items.m_pointLoads.push_back({v[0], v[1], v[2], CaseOf(items, text, section)});
        break;
      case kSectionLiveLoad:
        items.m_liveLoads.push_back({.m_dU = v[0],
                                     .m_dLiveFactor = f.given[1] ? v[1] : 1.0,
                                     .m_dDeadMax = f.given[2] ? v[2] : 1.0,
                                     .m_dDeadMin = f.given[3] ? v[3] : 1.0,
                                     .m_nCase = CaseOf(items, text, section),
                                     .m_bFactorsGiven = uint8_t(f.given[1] || f.given[2] ||
                                                                f.given[3])});
        continue;  // no position
      case kSectionDeflectionLimit:
        items.m_deflectionLimits.push_back({v[0], v[1], uint8_t(f.given[0] | f.given[1] << 1)});
        continue;
      case kSectionCapacity:
        items.m_capacities.push_back({v[0], f.given[2] ? v[2] : v[0], v[1],
                                      uint8_t(f.given[0] | f.given[1] << 1 | f.given[2] << 2)});
        continue;
      case kSectionUniformLoads:
        items.m_uniformLoads.push_back({v[0], v[1], v[2], v[3], CaseOf(items, text, section)});
        raiseLength(v[0]);
        raiseLength(v[1]);
        continue;
      default:
        continue;
    }
    raiseLength(v[0]);
  }
  // Each property goes after those with an equal or smaller X: a stable sort gives exactly
  // that order without the quadratic cost of inserting one by one.
  std::stable_sort(items.m_properties.begin(), items.m_properties.end(),
                   [](const CMemberPropertyItem& a, const CMemberPropertyItem& b) {
                     return a.m_dX < b.m_dX;
                   });
}

ModelItems BuildModelItems(const std::vector<std::string>& lines) {
  ModelItems items;
  BuildModelItems(lines, SplitSectionLines(lines), items);
  return items;
}

}  // namespace spanlab
