// The results of a ModelSession's run read out as plain columns of doubles, which the binding
// hands to numpy whole (no Python object per value). Core only: no Python, no Qt.
//
// Display units, as the reports show results: English lengths in feet, forces in kips, moments
// in kip ft and deflections in inches; Metric lengths in m, forces in kN, moments in kN m and
// deflections in mm; Consistent models in the units their values are given in. Rotations in
// radians. Signs are those of CBeamAnalysis (deflection positive in the direction of a positive
// load, sagging moment positive). A value becomes a display value by the very operation the
// reports use (a division by 12, a multiplication by 1000), so it is reproducible bit for bit
// from the results record of `spanlab-cli results`, which is in internal units.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/status.h"
#include "python/model_session.h"

namespace spanlab {

// Named columns of equal length, in order.
using Columns = std::vector<std::pair<std::string, std::vector<double>>>;

// How an internal value becomes a display value: lengths and moments are divided by `length`
// and `moment` (12 in English: inches to feet, kip in to kip ft), deflections multiplied by
// `deflection` (1000 in Metric: m to mm); all 1 in the other systems.
struct DisplayScale {
  double length = 1, moment = 1, deflection = 1;
};
DisplayScale DisplayScaleOf(int units);

// Every reader takes a session whose run has results (HasResults).

// The unit system's name ("English", "Metric", "Consistent", "User Defined") and the display
// unit labels of x, deflection, rotation, shear and moment (empty where the system has none).
std::string UnitSystemName(int units);
std::vector<std::pair<std::string, std::string>> DisplayLabels(int units);

// One value per node: x, deflection, rotation, shear_left, shear_right, moment_left,
// moment_right. "Left" is the value just left of the node (the right end of the element that
// ends there; at the first node the first element's left end), "right" just right of it (at the
// last node the last element's right end).
Columns NodeColumns(const ModelSession& session);

// One row per node where a support or spring sits, by ascending x: x, force (the vertical
// reaction) and moment (the reaction moment).
Columns ReactionColumns(const ModelSession& session);

struct NamedExtreme {
  std::string name;  // min_shear, max_shear, min_moment, ..., max_deflection
  double value = 0, x = 0;
};
// The eight extremes of the run (ComputeExtremes), display units.
std::vector<NamedExtreme> Extremes(const ModelSession& session);

// deflection, rotation, shear and moment at each position of `x` (display length unit), exact
// between the nodes (ValuesAt: at a node the values just left of it; a position within the
// engine's node tolerance of a node is that node). Fails for a position that is not a finite
// number or lies outside the beam.
Status ValuesAlong(const ModelSession& session, const std::vector<double>& x, Columns& out);

// The live-load envelope in display units, with the names of the `envelope` JSON record:
// spans (start, end), nodes (x, deflectionMax, ... reactionRotMin; NaN for the reactions where
// no support or spring sits), elements (xEnd, shearStartMax, ... momentEndMin) and the eight
// extremes.
struct EnvelopeExtremeRow {
  std::string name;  // maxShear, minShear, ...
  double value = 0, x = 0;
  std::vector<int32_t> spansOnMax;  // 0-based
};
struct EnvelopeTables {
  Columns spans, nodes, elements;
  std::vector<EnvelopeExtremeRow> extremes;
};
// Fails when the model has no Live Load line.
Status EnvelopeOf(const ModelSession& session, EnvelopeTables& out);

// The influence line of `of` (deflection, rotation, shear, moment, reaction-vert or
// reaction-rot) at the node nearest `at` (display length unit): that node's x in `atNode`, and
// the columns x (where the unit downward load stands) and value (display units per unit force).
// Fails, with a message naming the fix, for an unknown quantity, a position that is not finite
// or outside the beam, or a reaction where nothing restrains the node.
Status InfluenceOf(const ModelSession& session, const std::string& of, double at, double& atNode,
                   Columns& out);

// The results record of `spanlab-cli results` (JSON, internal units), and its CSV form written
// to `path` (replacing the file atomically).
std::string ResultsJson(const ModelSession& session);
Status SaveResultsCsv(const ModelSession& session, const std::string& path);

}  // namespace spanlab
