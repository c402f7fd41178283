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
#include <string>
#include <vector>

#include "analysis/beam_analysis.h"
#include "analysis/influence_line.h"
#include "analysis/live_load.h"

namespace spanlab {

// `analysis` holds the results of a complete run (its extremes are computed by the run).
void WriteResultsJson(std::ostream& out, const CBeamAnalysis& analysis);
void WriteResultsCsv(std::ostream& out, const CBeamAnalysis& analysis);

// The live-load envelope. JSON: spans ({start, end}), nodes ({x, deflectionMax, deflectionMin,
// rotationMax, rotationMin, reactionVertMax, reactionVertMin, reactionRotMax, reactionRotMin},
// the reactions null where no support or spring sits), elements ({xEnd, shearStartMax,
// shearStartMin, shearEndMax, shearEndMin, momentStartMax, momentStartMin, momentEndMax,
// momentEndMin}) and extremes (maxShear, minShear, maxMoment, minMoment, maxRotation,
// minRotation, maxDeflection, minDeflection, each {value, x, spansOnMax}). CSV: the node table
// (empty reaction cells where JSON has null) and the element table.
//
// With `combinations` (the names of a model's load combinations, in line order; empty for a
// model without combination lines, whose record stays as described) every max and min of the
// nodes and elements is followed by the name of the combination that gives it, under its own
// name and "Combination" (deflectionMax, deflectionMaxCombination, ...; JSON null and an empty
// CSV cell where there is no reaction or no combination), and every extreme gains
// "combination" after "spansOnMax". The names come from the envelope's ...Combination tables.
void WriteEnvelopeJson(std::ostream& out, const LiveLoadEnvelope& envelope,
                       const std::vector<std::string>& combinations = {});
void WriteEnvelopeCsv(std::ostream& out, const LiveLoadEnvelope& envelope,
                      const std::vector<std::string>& combinations = {});

// An influence line: JSON {of, at, points: [{x, value}]}; CSV a header row "x,value" and one
// row a point. Positions (at and x) are divided by `lengthFactor`, so that they are in the
// model's input unit; the values stay in internal units.
void WriteInfluenceJson(std::ostream& out, const InfluenceLine& line, InfluenceQuantity quantity,
                        double lengthFactor);
void WriteInfluenceCsv(std::ostream& out, const InfluenceLine& line, double lengthFactor);

}  // namespace spanlab
