// The "Vehicle" line: a group of axles that crosses the beam (moving loads).
//
//   Vehicle: Name = Truck; Axles = -8, -32, -32; Spacing = 14, 14..30; Lane = -0.64;
//            Case = M; Direction = Both;
//   Vehicle: Name = T2; Library = HL93-Truck;
//
// Name (required): 1 to 12 letters, digits or "_". Axles: the axle loads from the front, in the
// point-load unit (negative = downward, as PLoad). Spacing: the gaps between consecutive axles
// from the front, in the length unit, each >= 0; one gap may be a range "a..b" (a <= b), within
// which the gap that governs is searched. Lane (optional): a uniform load in the distributed-load
// unit, placed span by span wherever it makes an effect worse. Case (optional, default "M"): the
// vehicle's load case in combinations. Direction (optional): Both (default), Forward (the front
// axle leads towards larger X) or Backward. Library instead of Axles and Spacing: a design
// vehicle of the program's library (model/vehicle_library.h), with its lane load unless the line
// gives Lane.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace spanlab {

enum VehicleDirections : uint8_t { kForward = 1, kBackward = 2, kBothDirections = 3 };

struct VehicleLine {
  std::string_view name, library, caseName;  // empty when not given
  std::vector<double> axles;                 // as written, input units
  std::vector<double> spacings;              // as written; a range gives its smaller end
  int32_t variableGap = -1;                  // the gap given as a range, -1 for none
  double variableMax = 0;                    // its larger end
  double lane = 0;
  bool axlesGiven = false, spacingGiven = false, laneGiven = false;
  uint8_t directions = kBothDirections;
  // The format error of the first fault found ("Error F42 - Invalid Vehicle: " ...; the line is
  // appended to it), empty when the line is well formed. The counts of axles and spacings are
  // the data check's (D23).
  std::string_view error;
};

// Reads the text after "Vehicle:" (its comment removed).
VehicleLine ReadVehicleLine(std::string_view body);

// The number list "a, b, c" (each a valid number); false when it is empty or malformed.
bool ReadNumberList(std::string_view text, std::vector<double>& out);

}  // namespace spanlab
