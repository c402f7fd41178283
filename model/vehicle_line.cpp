#include "model/vehicle_line.h"

#include <string>

#include "model/line_text.h"
#include "model/number_text.h"
#include "model/sections.h"
#include "model/vehicle_library.h"

namespace spanlab {

namespace {

constexpr std::string_view kInvalidVehicle = "Error F42 - Invalid Vehicle: ";
constexpr std::string_view kInvalidName = "Error F43 - Invalid Vehicle Name: ";
constexpr std::string_view kInvalidAxles = "Error F44 - Invalid Axles value: ";
constexpr std::string_view kInvalidSpacing = "Error F45 - Invalid Spacing value: ";
constexpr std::string_view kInvalidLane = "Error F46 - Invalid Lane value: ";
constexpr std::string_view kInvalidDirection = "Error F47 - Invalid Direction value: ";
constexpr std::string_view kInvalidLibrary = "Error F48 - Invalid Library value: ";
constexpr std::string_view kInvalidCase = "Error F29 - Invalid Case name: ";

constexpr std::string_view kKeys[] = {"Name", "Axles", "Spacing", "Lane",
                                      "Case", "Direction", "Library"};

// Calls use(item) for each comma-separated item, trimmed.
template <class Use>
void ForEachListItem(std::string_view text, Use&& use) {
  while (true) {
    const size_t comma = text.find(',');
    use(TrimWhiteSpace(text.substr(0, comma)));
    if (comma == std::string_view::npos) return;
    text.remove_prefix(comma + 1);
  }
}

// The spacings: numbers >= 0, at most one of them a range "a..b" with a <= b.
bool ReadSpacings(std::string_view text, VehicleLine& v) {
  bool ok = !TrimWhiteSpace(text).empty();
  ForEachListItem(text, [&](std::string_view item) {
    const size_t dots = item.find("..");
    std::string_view low = item;
    if (dots != std::string_view::npos) {
      low = TrimWhiteSpace(item.substr(0, dots));
      const std::string_view high = TrimWhiteSpace(item.substr(dots + 2));
      if (v.variableGap >= 0 || !IsValidNumber(high)) {
        ok = false;
        return;
      }
      v.variableGap = static_cast<int32_t>(v.spacings.size());
      v.variableMax = ConvertNumber(high);
    }
    if (!IsValidNumber(low)) {
      ok = false;
      return;
    }
    const double value = ConvertNumber(low);
    if (!(value >= 0)) ok = false;
    if (v.variableGap == static_cast<int32_t>(v.spacings.size()) && !(v.variableMax >= value))
      ok = false;
    v.spacings.push_back(value);
  });
  return ok;
}

}  // namespace

bool ReadNumberList(std::string_view text, std::vector<double>& out) {
  bool ok = !TrimWhiteSpace(text).empty();
  ForEachListItem(text, [&](std::string_view item) {
    if (!IsValidNumber(item)) ok = false;
    else out.push_back(ConvertNumber(item));
  });
  return ok;
}

VehicleLine ReadVehicleLine(std::string_view body) {
  VehicleLine v;
  bool seen[std::size(kKeys)] = {};
  const auto fault = [&v](std::string_view error) {
    if (v.error.empty()) v.error = error;
  };
  ForEachBodyField(body, [&](std::string_view field) {
    const KeyValueView kv = SplitKeyValueView(field);
    size_t key = 0;
    while (key < std::size(kKeys) && kKeys[key] != kv.key) ++key;
    if (key == std::size(kKeys) || seen[key]) return fault(kInvalidVehicle);
    seen[key] = true;
    switch (key) {
      case 0:
        v.name = kv.value;
        if (!IsCaseName(kv.value)) fault(kInvalidName);
        break;
      case 1:
        v.axlesGiven = true;
        if (!ReadNumberList(kv.value, v.axles)) fault(kInvalidAxles);
        break;
      case 2:
        v.spacingGiven = true;
        if (!ReadSpacings(kv.value, v)) fault(kInvalidSpacing);
        break;
      case 3:
        v.laneGiven = true;
        if (!IsValidNumber(kv.value)) fault(kInvalidLane);
        v.lane = ConvertNumber(kv.value);
        break;
      case 4:
        v.caseName = kv.value;
        if (!IsCaseName(kv.value)) fault(kInvalidCase);
        break;
      case 5:
        if (kv.value == "Both") v.directions = kBothDirections;
        else if (kv.value == "Forward") v.directions = kForward;
        else if (kv.value == "Backward") v.directions = kBackward;
        else fault(kInvalidDirection);
        break;
      default:
        v.library = kv.value;
        if (!FindLibraryVehicle(kv.value)) fault(kInvalidLibrary);
        break;
    }
  });
  // A name, and either the axles (with their spacings) or a library vehicle.
  if (!seen[0] || seen[1] == seen[6] || (seen[6] && seen[2])) fault(kInvalidVehicle);
  return v;
}

}  // namespace spanlab
