// Moving loads: the largest and smallest value of every result as each vehicle of the model
// (Vehicle lines) crosses the beam in its directions, with the position it stands in for each.
//
// Values are in internal units with the sign conventions of CBeamAnalysis; they are the
// vehicles' own effect (no other load, no settlement), axles off the beam carrying nothing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/beam_analysis.h"
#include "analysis/live_load.h"
#include "model/model_items.h"

namespace spanlab {

// Where a vehicle stands: which one, its direction, the x of its front axle and its variable
// gap. vehicle -1: none on the beam (the value is then 0).
struct VehiclePosition {
  int32_t vehicle = -1;  // index into ModelItems::m_vehicles
  bool backward = false;  // the front axle leads towards smaller X (behind it: larger X)
  double front = 0;       // internal length unit
  double gap = 0;         // the variable gap's length; 0 for a vehicle without one
};

// One envelope value, where the vehicle stands for it, and the value that acts with it at the
// same point in that position: the shear with a moment, the moment with a shear (0 for the
// other quantities).
struct MovingValue {
  double value = 0;
  VehiclePosition at;
  double coincident = 0;
};
struct MovingRange {
  MovingValue max, min;
};

// A node's ranges (as EnvelopeNode's) and an element's end forces (as EnvelopeElement's: the
// diagram value at the right end is minus the end force, so its max is minus shearEnd.min).
struct MovingNode {
  double x = 0;
  bool hasReaction = false;
  MovingRange deflection, rotation, reactionVert, reactionRot;
};
struct MovingElement {
  double xEnd = 0;
  MovingRange shearStart, shearEnd, momentStart, momentEnd;
};

// A global extreme of a diagram value (EnvelopeExtremeKind order) and where it is.
struct MovingExtreme {
  MovingValue value;
  double x = 0;
};

struct MovingLoadEnvelope {
  std::vector<MovingNode> nodes;        // one per node of the run
  std::vector<MovingElement> elements;  // one per element of the run
  std::array<MovingExtreme, kEnvelopeExtremeCount> extremes;
  bool empty() const { return nodes.empty(); }
};

// The envelope over every vehicle of `items`, every direction it takes and every position with
// at least one axle on the beam (and every gap of its variable spacing), on the run's
// elimination. Each value is exact to round-off: between two positions where some axle crosses
// a node the value is a cubic in the position, whose largest and smallest are found exactly.
// Empty when the run left no results or the model has no vehicles.
MovingLoadEnvelope ComputeMovingLoadEnvelope(const CBeamAnalysis& analysis,
                                             const ModelItems& items);

// The axles of vehicle `v` standing at `at` as point loads (internal units), those on the beam
// [0, length] only, front first. (The lane load is not among them: it is placed span by span
// for each value, not with the vehicle.)
std::vector<CPointLoadItem> VehicleAxleLoads(const CVehicleItem& v, const VehiclePosition& at,
                                             double length);

}  // namespace spanlab
