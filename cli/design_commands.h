// The commands of load combinations and design checks: the envelope of a kind of combination,
// one combination's single analysis and the design checks.
#pragma once

#include <string>

#include "cli/commands.h"

namespace spanlab {

// `envelope MODEL [--kind strength|service|all] [--format json|csv]`: "all" is the run's
// envelope (the live-load envelope of a model without combination lines, whose record is that
// of WriteEnvelopeJson without names; with them the envelope the diagrams draw), "strength"
// and "service" the envelope over the combinations of that kind. With combination lines every
// max, min and extreme names its combination. kExitModelErrors when the model has errors or
// nothing of the kind to envelope.
int RunEnvelope(const Options& o, const std::string& kind);

// `results FILE --combination NAME [--format json|csv]`: the results record of the single
// analysis of that combination (its loads factored, the live load on every span, no
// patterns). kExitCannotRun with the list of the model's combinations when none is called
// NAME; kExitModelErrors, without a record, when the model has errors.
int RunCombinationResults(const Options& o, const std::string& name);

// The results record (--format json|csv) of `items` analysed as a model of their own (`lines`
// are the model's, for the run's log); kExitModelErrors when the analysis fails.
int PrintSingleRun(const Options& o, const std::vector<std::string>& lines,
                   ModelItems& items);

// `checks MODEL [--format json|csv|text]`: every span's design checks in the model's display
// units (design_tables.h). kExitClean when all pass, kExitChecksExceeded when some check is
// exceeded, kExitModelErrors when the model has errors or no Deflection Limit or Capacity line.
int RunChecks(const Options& o);

}  // namespace spanlab
