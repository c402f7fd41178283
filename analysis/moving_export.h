// The moving-load envelope's record (spanlab-cli moving): the shape of the envelope's record
// (results_export.h), each max and min followed by where its vehicle stands: the vehicle's name,
// its direction ("forward" or "backward"), the x of its front axle and, for a vehicle with a
// variable gap, the gap; a shear by the moment that acts with it and a moment by the shear.
// Internal units, as the envelope's record; null (JSON) or empty (CSV) where a node has no
// reaction or no vehicle reaches a value (the value is then 0).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "analysis/moving_load.h"

namespace spanlab {

void WriteMovingJson(std::ostream& out, const MovingLoadEnvelope& envelope,
                     const std::vector<CVehicleItem>& vehicles);
void WriteMovingCsv(std::ostream& out, const MovingLoadEnvelope& envelope,
                    const std::vector<CVehicleItem>& vehicles);

}  // namespace spanlab
