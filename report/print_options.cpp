#include "report/print_options.h"

namespace spanlab {

namespace {
constexpr const char* kSection = "Print";
}

int DataPointsChoice(int points) {
  switch (points) {
    case 25: return 0;
    case 50: return 1;
    case 100: return 2;
    case 200: return 3;
    default: return -1;
  }
}

PrintOptions LoadPrintOptions(SettingsStore& s) {
  const PrintOptions defaults;
  PrintOptions o;
  o.m_nDataPoints = s.GetInt(kSection, "Points", defaults.m_nDataPoints);
  if (o.m_nDataPoints < 0 || o.m_nDataPoints > 3) o.m_nDataPoints = defaults.m_nDataPoints;
  o.m_bPrintDetails = s.GetInt(kSection, "Details", defaults.m_bPrintDetails) != 0;
  o.m_bPrintDiagrams = s.GetInt(kSection, "Diagrams", defaults.m_bPrintDiagrams) != 0;
  o.m_bPrintInput = s.GetInt(kSection, "Input", defaults.m_bPrintInput) != 0;
  o.m_bPrintSummary = s.GetInt(kSection, "Summary", defaults.m_bPrintSummary) != 0;
  o.RestoreDefaultsIfAllOff();
  return o;
}

void SavePrintOptions(SettingsStore& s, const PrintOptions& o) {
  s.SetInt(kSection, "Points", o.m_nDataPoints);
  s.SetInt(kSection, "Details", o.m_bPrintDetails);
  s.SetInt(kSection, "Diagrams", o.m_bPrintDiagrams);
  s.SetInt(kSection, "Input", o.m_bPrintInput);
  s.SetInt(kSection, "Summary", o.m_bPrintSummary);
}

}  // namespace spanlab
