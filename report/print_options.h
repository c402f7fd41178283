// Which reports are printed, copied and saved, and how many rows the details table has.
#pragma once

#include <cstdint>

#include "platform/settings.h"

namespace spanlab {

struct PrintOptions {
  int32_t m_bPrintInput = 1;     // input data report
  int32_t m_bPrintDiagrams = 1;  // diagrams page (printing only)
  int32_t m_bPrintSummary = 1;   // analysis summary
  int32_t m_bPrintDetails = 0;   // analysis details
  int32_t m_nDataPoints = 2;     // details rows: 0 = 25, 1 = 50, 2 = 100, 3 = 200+ points

  bool AllReportsOff() const {
    return !m_bPrintInput && !m_bPrintDiagrams && !m_bPrintSummary && !m_bPrintDetails;
  }
  // With every report switched off, nothing could be printed: back to the defaults.
  // Returns true when the defaults were restored.
  bool RestoreDefaultsIfAllOff() {
    if (!AllReportsOff()) return false;
    *this = PrintOptions();
    return true;
  }
};

// The data-points choice (0..3) for a number of points (25, 50, 100, 200); -1 for others.
int DataPointsChoice(int points);

// Reads the options from the settings section "Print": "Points", "Details", "Diagrams",
// "Input", "Summary" (defaults for missing values; a data-points value outside 0..3 counts as
// missing); all reports off gives the defaults.
PrintOptions LoadPrintOptions(SettingsStore& settings);
// Writes them in the order Points, Details, Diagrams, Input, Summary.
void SavePrintOptions(SettingsStore& settings, const PrintOptions& options);

}  // namespace spanlab
