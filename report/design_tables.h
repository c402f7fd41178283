// The design checks of a run in the model's display units, for the command line (JSON, CSV,
// text) and the design-check report.
//
// Display units: English positions in feet, moments in kip ft, shears in kips, deflections in
// inches; Metric m, kN m, kN, mm; Consistent units as computed. Spans are numbered from 1.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "analysis/design.h"

namespace spanlab {

// One check of one span as the outputs show it.
struct CheckRow {
  int32_t span = 0;          // 1-based
  const char* check = "";    // "deflection", "moment", "momentNeg" or "shear" (the line's keys)
  const char* label = "";    // "Deflection", "Moment +", "Moment -", "Shear"
  double value = 0;          // signed, display units
  double x = 0;              // where, display length unit
  double limit = 0;          // allowed magnitude, display units
  std::string unit;          // the unit of value and limit ("inches", "kip ft"; empty: none)
  std::string rule;          // deflection "L/360" (a cantilever's part: "L/180 cantilever"),
                             // else "capacity"
  double utilisation = 0;    // |value| / limit
  bool exceeded = false;
  std::string combination;          // the governing combination; empty for the model as written
  bool patterned = false;            // that combination patterns the live load over the spans
  std::vector<int32_t> spansLoaded;  // 1-based, where the live load is patterned; else empty
};

// The checks of `design` (DesignResults::checks, in their order) for a model in `units`.
std::vector<CheckRow> CheckRows(const DesignResults& design, int units);

// JSON: {"checks": [{span, check, value, x, limit, unit, rule, utilisation, exceeded,
// combination (null for the model as written), spansLoaded}], "exceeded": any} with numbers
// at 17 significant digits (null when not finite).
void WriteChecksJson(std::ostream& out, const std::vector<CheckRow>& rows);
// CSV: a header row and one row a check: span,check,value,x,limit,unit,rule,utilisation,status
// (OK or exceeds),combination,spansLoaded (the spans joined by blanks).
void WriteChecksCsv(std::ostream& out, const std::vector<CheckRow>& rows);
// The table of the design-check report: a heading line, a rule line (report_builder.h), one
// line a check (value and limit in the reports' number fields; utilisation with three
// decimals; OK or EXCEEDS; the governing combination, "as written" for the model as written,
// and the spans loaded), an empty line and "All checks pass." or "N check(s) exceeded.".
// Without checks the one line "The model has no design checks.".
std::vector<std::string> ChecksTableLines(const std::vector<CheckRow>& rows);

}  // namespace spanlab
