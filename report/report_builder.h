// The lines of the three reports (input data, analysis summary, analysis details) and the
// diagrams entry, laid out for a fixed-pitch font and numbered by page.
//
// Two marker texts are instructions for the printer, never shown as text: a rule line (one
// blank, then kRuleMarker and more dashes) is drawn as a line as long as its text, and the
// diagrams line (kDiagramsLine) is replaced by the drawn diagrams page.
#pragma once

#include <climits>
#include <string>
#include <string_view>
#include <vector>

#include "run/document.h"

namespace spanlab {

inline constexpr std::string_view kRuleMarker = "-!@#$%^&*()-------------------";
inline constexpr std::string_view kDiagramsLine = "-!@#$%^&*()PRINT DIAGRAMS*&^%$#@!---";
inline constexpr std::string_view kDiagramsMarker = "-!@#$%^&*()PRINT DIAGRAMS*&^%$#@!";

inline constexpr const char* kInputReportTitle = "Spanlab Input Data";
inline constexpr const char* kSummaryReportTitle = "Spanlab Analysis Summary";
inline constexpr const char* kDetailsReportTitle = "Spanlab Analysis Details";
inline constexpr const char* kEnvelopeReportTitle = "Spanlab Live Load Envelope";
inline constexpr const char* kStrengthEnvelopeReportTitle = "Spanlab Strength Envelope";
inline constexpr const char* kServiceEnvelopeReportTitle = "Spanlab Service Envelope";
inline constexpr const char* kDesignCheckReportTitle = "Spanlab Design Checks";

// The reports that follow the results (summary or details) of a model, in their order: the
// live-load envelope of a model with a Live Load line and no combinations; with combination
// lines instead the strength envelope and the service envelope (each when the model has
// combinations of its kind); and the design checks of a model with a Deflection Limit or
// Capacity line.
enum class AppendixReport { kLiveLoadEnvelope, kStrengthEnvelope, kServiceEnvelope, kDesignChecks };
std::vector<AppendixReport> AppendixReports(const ModelRun& run);
// The title of an appendix report (kEnvelopeReportTitle, ...).
const char* AppendixReportTitle(AppendixReport report);

// True for a rule line: the rule marker starting at the second character.
bool IsRuleLine(std::string_view text);
// True for the diagrams entry: the diagrams marker at the very start.
bool IsDiagramsLine(std::string_view text);

struct CReportLine {
  std::string text;
  int page = 0;
};

// Row step of the details table for a data-points choice: 0 -> 8 (about 25 rows on a beam
// of 200 elements), 1 -> 4, 2 -> 2, 3 -> 1 (every node). Other values count as 2.
int DetailsStep(int dataPoints);

class ReportBuilder {
 public:
  // Lines per page of the printed page; text outputs leave it unlimited.
  void SetLinesPerPage(int lines) { m_nLinesPerPage = lines; }
  // The next line starts a new page.
  void NewPage();

  // Appends a line. Unless `verbatim`, a line longer than 60 characters whose first "/"
  // stands after position 10 (a model line with a comment) becomes two lines: the text before
  // the blank that precedes the "/", and 10 blanks followed by the text from the "/" on.
  void AddReportLine(std::string text, bool verbatim = false);

  // Description, units and the model lines grouped by section, from the run's lines.
  void BuildInputReport(const ModelRun& run);
  // Length, counts, reactions, equilibrium and extremes (recomputes the extremes first).
  void BuildSummaryReport(const ModelRun& run);
  // The table of results at every `DetailsStep(dataPoints)`-th node, columnar (six fields of
  // 11 characters joined by blanks) or tab-delimited (fields trimmed, joined by tabs).
  void BuildDetailsReport(const ModelRun& run, int dataPoints, bool tabDelimited);
  // The live-load envelope (only for a model with one): the spans, the eight extremes with the
  // spans loaded for each, and the largest and smallest shear, moment, rotation and deflection
  // at every `DetailsStep(dataPoints)`-th node, in the units of the details table.
  void BuildEnvelopeReport(const ModelRun& run, int dataPoints);
  // The envelope over the strength (`service` false) or the service combinations, in the
  // model's display units (feet, kips, kip ft, inches; m, kN, kN m, mm): the combinations, the
  // spans, the extremes the kind is for (strength: shear and moment; service: rotation and
  // deflection) each with its position, governing combination and the spans loaded, then
  // tables of those quantities at every `DetailsStep(dataPoints)`-th node (strength also the
  // reactions at the supports), each value with its combination; the column headings of a
  // table are repeated at the top of every page it runs onto.
  void BuildCombinationEnvelopeReport(const ModelRun& run, bool service, int dataPoints);
  // The design checks (design_tables.h): what each kind of check is read from, then per span
  // each check's value, limit, utilisation, OK or EXCEEDS and governing combination.
  void BuildDesignCheckReport(const ModelRun& run);
  // The appendix report `report` (BuildEnvelopeReport and the two above).
  void BuildAppendixReport(const ModelRun& run, AppendixReport report, int dataPoints);
  void AddDiagramsMarker() { AddReportLine(std::string(kDiagramsLine), true); }

  const std::vector<CReportLine>& Lines() const { return m_lines; }
  int CurrentPage() const { return m_nPage; }
  // Empties the list and starts again before page 1.
  void Clear();
  // Frees the texts of lines [first, last), which read as empty afterwards; their pages stay.
  void ReleaseLines(size_t first, size_t last);

 private:
  void Append(std::string text);
  // Appends a row of a table; when the row would start a new page, the new page starts with
  // the table's `heading` lines first.
  void AddTableRow(std::string row, const std::vector<std::string>& heading);
  // The extremes of a combination envelope that its kind is for (design_report.cpp).
  void AddCombinationExtremes(const ModelRun& run, const LiveLoadEnvelope& env, bool service);
  // A table of the envelope's values (design_report.cpp).
  struct EnvelopeColumn;
  void AddEnvelopeTable(const ModelRun& run, const LiveLoadEnvelope& env, int dataPoints,
                        const EnvelopeColumn& column);

  std::vector<CReportLine> m_lines;
  int m_nPage = 0;
  int m_nLinesOnPage = 0;
  int m_nLinesPerPage = INT_MAX;
};

}  // namespace spanlab
