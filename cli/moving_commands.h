// The commands of moving loads: the envelope of the model's vehicles and one vehicle standing
// at one position.
#pragma once

#include <string>

#include "cli/commands.h"

namespace spanlab {

// `moving MODEL [--format json|csv]`: the moving-load envelope's record (moving_export.h).
// kExitModelErrors when the model has errors or no Vehicle line.
int RunMoving(const Options& o);

// `results FILE --vehicle NAME --front X [--backward] [--gap G]`: the results record of the
// single analysis of that vehicle alone with its front axle at X (and its variable gap G, its
// smallest when not given), in the model's length unit. kExitCannotRun with the list of the
// model's vehicles when none is called NAME, or when X or G is no number or G is outside its
// range; kExitModelErrors, without a record, when the model has errors.
int RunVehicleResults(const Options& o, const std::string& name, const std::string& front,
                      bool backward, const std::string& gap);

}  // namespace spanlab
