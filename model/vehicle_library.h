// The design vehicle library: the axle loads and spacings of public design vehicles
// (resources/vehicles.txt, whose comment lines document the format), built into the program so
// that a Vehicle line can name an entry ("Library = HL93-Truck;") instead of listing its axles.
//
// Units and signs are the file's: each entry is in English (kip, ft, kip/ft) or Metric (kN, m,
// kN/m) units; loads are negative downward, like point loads. LibraryVehicleInUnits converts an
// entry into a model's input units.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace spanlab {

struct LibraryVehicle {
  std::string name;      // unique: letters, digits, "-", "_" and "."
  std::string standard;  // the standard, edition and clause the values come from
  int units = 0;         // kUnitsEnglish or kUnitsMetric (model/units.h)
  std::vector<double> axles;     // axle loads from the front; negative = downward
  std::vector<double> spacings;  // axles.size() - 1 gaps, front first; a variable gap holds
                                 // its smallest value
  int variableGap = -1;          // index in `spacings` of the variable gap, -1 for none
  double variableMax = 0;        // the variable gap's largest value (> its smallest)
  double lane = 0;               // uniform lane load per length of beam; 0 for none
};

// The text of resources/vehicles.txt as it stood when the program was built.
std::string_view VehicleLibraryText();

// Parses a library file's text into `out` (cleared first), entries in file order. Strict: an
// unknown or missing field, a field out of order, a malformed number or list, counts that do
// not match, a spacing that is not positive, a load that is not negative, a second variable
// gap, a range whose ends are not increasing or a name used twice gives an error naming the
// line ("vehicles.txt line 12: ..."), and `out` is then empty.
Status ParseVehicleLibrary(std::string_view text, std::vector<LibraryVehicle>& out);

// Every entry of the built-in file, parsed once on first use (safe from several threads).
// Empty if the built-in file does not parse, which the tests rule out.
const std::vector<LibraryVehicle>& VehicleLibrary();

// The built-in entry with exactly this name (capitals included), or nullptr.
const LibraryVehicle* FindLibraryVehicle(std::string_view name);

// The entry in a model's input units: English models take kip, ft and kip/ft, Metric ones kN,
// m and kN/m, converted exactly by 1 kip = 4.4482216152605 kN and 1 ft = 0.3048 m (an entry
// already in `units` is returned unchanged). nullopt for Consistent and User Defined models,
// whose units are unknown.
std::optional<LibraryVehicle> LibraryVehicleInUnits(const LibraryVehicle& vehicle, int units);

// The built-in entries' names in file order (for messages and the Vehicle dialog's list).
std::vector<std::string> LibraryVehicleNames();

}  // namespace spanlab
