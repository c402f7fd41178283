// What the diagrams add for load combinations and design checks: the capacity lines and the
// deflection limits a diagram is checked against (dashed, in the diagram's colour, labelled in
// its units), the spans that fail a check, and the governing combination's name beside an
// extreme.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/beam_quantity.h"
#include "analysis/design.h"
#include "model/model_items.h"
#include "platform/device_context.h"
#include "view/beam_drawing.h"

namespace spanlab {

// One horizontal limit line over [start, end] of the beam at diagram value `value` (internal
// units, signed as the diagram plots it).
struct LimitLine {
  double start = 0, end = 0;
  double value = 0;
  std::string label;  // "350 kip ft", "L/360"; written once per run of equal labels
};

// The limits of `quantity`: for the moment +Moment and -MomentNeg (the Moment when MomentNeg is
// not given) of the Capacity line over the whole beam `length`, for the shear +-Shear, for the
// deflection each span's +-limit of its deflection check (DesignResults::checks). Labels in
// the diagram's units (kip ft for English moments, mm for Metric deflections). None for the
// rotation, or without a Capacity or Deflection Limit line.
std::vector<LimitLine> DesignLimitLines(const ModelItems& items, const DesignResults& design,
                                        BeamQuantity quantity, double length);

// The scale a curve of largest absolute value `scale` is drawn with so that its limits show
// too: the largest limit that is at most 3 times `scale` (a limit farther away would squeeze
// the curve flat; it is left out of the picture).
double ScaleWithLimits(double scale, const std::vector<LimitLine>& lines);

// The limits as dashed lines (dashes of 8 pen units, gaps of 5) for a curve drawn with
// `height` device units per `scale`, over a beam of `length`; those beyond the height are left
// out. Labels when `labelFlag` is 1, at the right end of a line, above it for a positive value
// and below it for a negative one.
void DrawLimitLines(DeviceContext& dc, const DrawingFrame& frame, double length, double height,
                    double scale, const std::vector<LimitLine>& lines, Rgb color, int labelFlag);

// Every span with an exceeded check: a red bar under the span `below` units (times frame.sy)
// under the beam line, 4 pen units short of each end, and under it "exceeds: deflection,
// moment" (the kinds that fail). Nothing when all pass.
void DrawFailedSpans(DeviceContext& dc, const DrawingFrame& frame, double length,
                     const DesignResults& design, int below = 64);

// " (ULS2)" for a combination index of `design`; empty for -1, an index out of range or a null
// `design`.
std::string CombinationNote(const DesignResults* design, int32_t combination);

}  // namespace spanlab
