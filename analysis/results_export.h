// The results record at full precision for scripts: JSON and CSV.
//
// Numbers are written with 17 significant digits ("%.17g" in the "C" locale), in the model's
// internal units (inch and kip for English models, metre and kilonewton for Metric ones).
// JSON: one object with nodes, elements, the counts, length, loadVert, loadMoment, extremes
// (the sixteen extremes and positions of ComputeExtremes, and the four largest absolute
// values that scale the diagrams), error and messages; a number that is not finite
// is written as null. CSV: the node table and the element table, each with a header row,
// separated by one empty line.
#pragma once

#include <ostream>

#include "analysis/beam_analysis.h"

namespace spanlab {

// `analysis` holds the results of a complete run (its extremes are computed by the run).
void WriteResultsJson(std::ostream& out, const CBeamAnalysis& analysis);
void WriteResultsCsv(std::ostream& out, const CBeamAnalysis& analysis);

}  // namespace spanlab
