// The four results along the beam that the diagrams show, in one table: for each its name, its
// word on the command line, its unit, when its curve counts as zero, where its values lie (at
// the nodes or at the elements' ends), the run's extremes of it and the envelope's. The
// diagrams, the live-load envelope, the influence lines and the printed diagrams page read this
// table; the colours and the drawing are the view's (view/diagrams.h).
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "analysis/beam_analysis.h"
#include "model/units.h"

namespace spanlab {

enum class BeamQuantity { kDeflection, kRotation, kShear, kMoment };
inline constexpr int kBeamQuantityCount = 4;

// The order the diagrams are drawn, toggled and printed in: when several are shown, the last of
// them carries the title and the labels.
inline constexpr std::array<BeamQuantity, kBeamQuantityCount> kBeamQuantities = {
    BeamQuantity::kShear, BeamQuantity::kMoment, BeamQuantity::kRotation,
    BeamQuantity::kDeflection};

// The place of a quantity in kBeamQuantities.
constexpr int DrawingIndex(BeamQuantity quantity) {
  int i = 0;
  while (i + 1 < kBeamQuantityCount && kBeamQuantities[static_cast<size_t>(i)] != quantity) ++i;
  return i;
}

struct BeamQuantityRecord {
  BeamQuantity id;
  const char* name;       // "Shear", "Moment", "Rotation", "Deflection": titles and labels
  std::string_view word;  // "shear", ...: the quantity's name on the command line
  UnitQuantity unit;      // the code of its unit label (kQuantityForce, ...)
  // Rotation and deflection are values at the nodes; shear and moment are the end forces of
  // each element (the value at the left node is the start force, at the right node minus the
  // end force).
  bool atNodes;
  double BeamNode::*nodeValue;        // at the nodes; nullptr for shear and moment
  double BeamElement::*startForce;    // at the elements' ends; nullptr for rotation, deflection
  double BeamElement::*endForce;
  // The run's extremes (CBeamAnalysis::ComputeExtremes): the largest absolute value, which
  // scales the curve, and the least and greatest value with their positions. They are in
  // internal units, but for the deflection of a Metric model, which is in mm (see
  // ExtremesInLabelUnits).
  double CBeamAnalysis::*maxAbs;
  double CBeamAnalysis::*min;
  double CBeamAnalysis::*xMin;
  double CBeamAnalysis::*max;
  double CBeamAnalysis::*xMax;
  int envelopeMax;  // the EnvelopeExtremeKind of the envelope's maximum; its minimum follows
};

// The record of a quantity.
const BeamQuantityRecord& RecordOf(BeamQuantity quantity);

// The quantity whose command-line word is `word` (exact); nullopt for any other text.
std::optional<BeamQuantity> BeamQuantityFromWord(std::string_view word);

// Whether a curve whose largest absolute value is `scale` is drawn: rotation and deflection
// unless the scale is 0, shear and moment only above 1e-7 (below lies the round-off of forces
// that cancel).
bool IsDrawnScale(BeamQuantity quantity, double scale);

// The factor from an internal value to the value in its unit label: 1/12 for English moments
// (kip in to kip ft), 1000 for Metric deflections (m to mm), 1 otherwise.
double LabelScale(BeamQuantity quantity, int units);

// Whether the run keeps its extremes of the quantity already in its unit label (the deflection:
// ComputeExtremes gives a Metric model's in mm).
inline bool ExtremesInLabelUnits(BeamQuantity quantity) {
  return quantity == BeamQuantity::kDeflection;
}

}  // namespace spanlab
