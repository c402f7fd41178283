// The result diagrams over the beam picture: deflection, rotation, moment and shear curves,
// each scaled so that its largest absolute value is H device units from the beam line, and
// the support reactions as arrows and arcs with their values.
#pragma once

#include "analysis/beam_analysis.h"
#include "analysis/beam_quantity.h"
#include "analysis/design.h"
#include "analysis/influence_line.h"
#include "analysis/live_load.h"
#include "model/model_items.h"
#include "platform/device_context.h"
#include "view/beam_drawing.h"

namespace spanlab {

inline constexpr Rgb kDeflectionColor{255, 0, 255};
inline constexpr Rgb kRotationColor{255, 0, 0};
inline constexpr Rgb kMomentColor{0, 255, 0};
inline constexpr Rgb kShearColor{0, 0, 255};

// The colour of a quantity's diagram and of its envelope.
Rgb DiagramColor(BeamQuantity quantity);

// The diagram of one quantity (analysis/beam_quantity.h) in its colour. It uses frame.left,
// frame.right, frame.baseline and frame.penUnit, reads the run's results (the run computed
// their extremes) in the items' unit system and, with labelFlag 1, writes its title at (5, 5) (not when printing) and
// labels its extremes. A curve whose scale is not drawn (IsDrawnScale) draws nothing at all.
// After a complete run the curves are the exact values between the nodes (element_values.h):
// every element at one point per device column plus its interior stationary points, the
// extremes labelled where they lie; otherwise (results without a complete solution) a polyline
// through the node values (rotation, deflection) or a closed figure through the element end
// values (shear, moment). Points that fall into the same device column are reduced to the ones
// a polyline through all of them would touch there, so the time is proportional to the
// picture's width plus the number of elements, and stays a few operations per element.
// With `design` (load combinations or design checks) the curve's limits (DesignLimitLines) are
// drawn too, dashed, and its scale takes them in (ScaleWithLimits).
void DrawDiagram(DeviceContext& dc, const DrawingFrame& frame, const ModelItems& items,
                 const CBeamAnalysis& analysis, BeamQuantity quantity, double height,
                 int labelFlag, const DesignResults* design = nullptr);

// The live-load envelope of one quantity (a model with a Live Load line): its max and its min
// curve in the quantity's colour, both scaled by their largest absolute value, and with
// labelFlag 1 the title ("Moment Envelope - kip ft") and the envelope's two extremes of the
// quantity. Nothing without an envelope or when every value is 0 (1e-7 or less for moment and
// shear). Time proportional to the picture's width.
// With `design` the limits as DrawDiagram draws them, and the name of the combination that
// governs each labelled extreme (EnvelopeExtreme::combination) after its value: "-412.5 (ULS2)".
void DrawEnvelope(DeviceContext& dc, const DrawingFrame& frame, const ModelItems& items,
                  const CBeamAnalysis& analysis, const LiveLoadEnvelope& envelope,
                  BeamQuantity quantity, double height, int labelFlag,
                  const DesignResults* design = nullptr);

// An influence line (black): its values at the nodes scaled to `height`, the title
// ("Influence Line - Moment at 15.0000 feet") and its largest and smallest value labelled in
// the units of the quantity's diagram. Nothing when every value is 0.
void DrawInfluenceLine(DeviceContext& dc, const DrawingFrame& frame, const ModelItems& items,
                       const CBeamAnalysis& analysis, const InfluenceLine& line,
                       InfluenceQuantity quantity, double height);

// Reaction arrows and arcs (black) at every node with a reaction; with labelFlag 1 the title
// and the values (FormatNumber of the magnitude, moments in kip ft for English models).
void DrawReactions(DeviceContext& dc, const DrawingFrame& frame, const ModelItems& items,
                   const CBeamAnalysis& analysis, int labelFlag);

// A circle at (x, y) and a leader to the value's text ("%f"), right of the point when the text
// fits before `rightLimit`, else left of it; above the point for v >= 0, below for v < 0.
// `note` follows the value in the text.
void DrawExtremeLabel(DeviceContext& dc, double value, int x, int y, int rightLimit,
                      const std::string& note = {});

// The title of a diagram: "Deflection - mm", "Shear - Consistent", ... (`unit` empty gives
// "Consistent").
std::string DiagramTitle(const char* name, const std::string& unit);

}  // namespace spanlab
