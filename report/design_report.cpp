// The reports of load combinations and design checks. Their tables are in the model's display
// units: each internal value is divided by the unit factor of its quantity (moment by the
// factor of Moment, deflection by that of Disp, positions by that of X), as the model's lines
// state them. A table's rows are the values just left of each node, as in the details table
// (the left end of the first element at node 1); the largest value just left of a node is
// minus the smallest end force of the element ending there, so it carries that one's
// combination.
#include <algorithm>
#include <cstdio>
#include <functional>

#include "model/units.h"
#include "report/design_tables.h"
#include "report/number_field.h"
#include "report/report_builder.h"

namespace spanlab {

namespace {

// A value of an envelope table with the combinations of its largest and smallest values.
struct TableValue {
  double max = 0, min = 0;
  int32_t maxCombination = -1, minCombination = -1;
  bool present = true;  // false: no row (a node without a reaction)
};

std::string RuleOf(size_t width) {
  return " -!@#$%^&*()" + std::string(width > 12 ? width - 12 : 0, '-');
}

std::string Padded(std::string text, size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

std::string RightAligned(const std::string& text, size_t width) {
  return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

std::string CombinationName(const DesignResults& design, int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= design.combinations.size()) return "-";
  return design.combinations[static_cast<size_t>(index)].name;
}

std::string SpanList(const std::vector<int32_t>& spans) {
  std::string text;
  for (const int32_t k : spans) text += (text.empty() ? "" : ", ") + std::to_string(k + 1);
  return text.empty() ? "none" : text;
}

// The combination table column `k` of node or element `i`; -1 without tables.
int32_t At(const std::vector<std::array<int32_t, 8>>& table, size_t i, size_t k) {
  return i < table.size() ? table[i][k] : -1;
}

// The shear (`moment` false) or moment just left of node i (0-based), with combinations.
TableValue ForceLeftOf(const LiveLoadEnvelope& env, size_t i, bool moment) {
  if (env.elements.empty()) return {};
  const size_t base = moment ? 4 : 0;
  if (i == 0) {
    const EnvelopeRange& r = moment ? env.elements[0].momentStart : env.elements[0].shearStart;
    return {r.max, r.min, At(env.elementCombination, 0, base),
            At(env.elementCombination, 0, base + 1)};
  }
  const size_t e = std::min(i - 1, env.elements.size() - 1);
  const EnvelopeRange& r = moment ? env.elements[e].momentEnd : env.elements[e].shearEnd;
  return {-r.min, -r.max, At(env.elementCombination, e, base + 3),
          At(env.elementCombination, e, base + 2)};
}

// Node range `k` (0 deflection, 1 rotation, 2 vertical reaction, 3 reaction moment).
TableValue NodeValue(const LiveLoadEnvelope& env, size_t i, size_t k) {
  const EnvelopeNode& n = env.nodes[i];
  const EnvelopeRange& r = k == 0 ? n.deflection : k == 1 ? n.rotation
                           : k == 2 ? n.reactionVert : n.reactionRot;
  TableValue v{r.max, r.min, At(env.nodeCombination, i, 2 * k),
               At(env.nodeCombination, i, 2 * k + 1)};
  v.present = k < 2 || n.hasReaction;
  return v;
}

}  // namespace

// One table of a combination envelope report.
struct ReportBuilder::EnvelopeColumn {
  const char* name;  // "Shear"
  int quantity;      // UnitLabel's code of the values
  int factor;        // UnitFactors index that divides them
  bool everyNode;    // a row at every DetailsStep-th node; else at every node that has a value
  std::function<TableValue(size_t)> value;
};

std::vector<AppendixReport> AppendixReports(const ModelRun& run) {
  std::vector<AppendixReport> reports;
  const DesignResults& design = run.design;
  if (design.HasCombinations()) {
    if (!design.strength.empty()) reports.push_back(AppendixReport::kStrengthEnvelope);
    if (!design.service.empty()) reports.push_back(AppendixReport::kServiceEnvelope);
  } else if (!run.envelope.empty()) {
    reports.push_back(AppendixReport::kLiveLoadEnvelope);
  }
  if (!design.checks.empty()) reports.push_back(AppendixReport::kDesignChecks);
  return reports;
}

const char* AppendixReportTitle(AppendixReport report) {
  switch (report) {
    case AppendixReport::kLiveLoadEnvelope: return kEnvelopeReportTitle;
    case AppendixReport::kStrengthEnvelope: return kStrengthEnvelopeReportTitle;
    case AppendixReport::kServiceEnvelope: return kServiceEnvelopeReportTitle;
    case AppendixReport::kDesignChecks: break;
  }
  return kDesignCheckReportTitle;
}

void ReportBuilder::BuildAppendixReport(const ModelRun& run, AppendixReport report,
                                        int dataPoints) {
  switch (report) {
    case AppendixReport::kLiveLoadEnvelope: return BuildEnvelopeReport(run, dataPoints);
    case AppendixReport::kStrengthEnvelope:
      return BuildCombinationEnvelopeReport(run, false, dataPoints);
    case AppendixReport::kServiceEnvelope:
      return BuildCombinationEnvelopeReport(run, true, dataPoints);
    case AppendixReport::kDesignChecks: return BuildDesignCheckReport(run);
  }
}

void ReportBuilder::AddTableRow(std::string row, const std::vector<std::string>& heading) {
  if (m_nLinesOnPage >= m_nLinesPerPage - 1) {
    NewPage();
    for (const std::string& line : heading) Append(line);
  }
  AddReportLine(std::move(row), true);
}

void ReportBuilder::AddEnvelopeTable(const ModelRun& run, const LiveLoadEnvelope& env,
                                     int dataPoints, const EnvelopeColumn& column) {
  const ModelItems& m = run.items;
  const double length = m.m_factors[kFactorLength];
  const double unit = m.m_factors[static_cast<size_t>(column.factor)];
  const std::string name = column.name;
  std::vector<std::string> heading = {
      RightAligned("X", 11) + RightAligned(name + " Max", 11) + "  " + Padded("Combination", 12) +
          RightAligned(name + " Min", 11) + "  Combination",
      RightAligned(m.GetUnitLabel(kQuantityPosition), 11) +
          RightAligned(m.GetUnitLabel(column.quantity), 11) + std::string(14, ' ') +
          RightAligned(m.GetUnitLabel(column.quantity), 11),
      RuleOf(61)};
  if (heading[1].find_first_not_of(' ') == std::string::npos) heading.erase(heading.begin() + 1);
  AddReportLine("");
  for (const std::string& line : heading) AddReportLine(line, true);
  const size_t step = column.everyNode ? static_cast<size_t>(DetailsStep(dataPoints)) : 1;
  for (size_t i = 0; i < env.nodes.size(); i += step) {
    const TableValue v = column.value(i);
    if (!v.present) continue;
    AddTableRow(FormatNumber(env.nodes[i].x / length) + FormatNumber(v.max / unit + 0.0) + "  " +
                    Padded(CombinationName(run.design, v.maxCombination), 12) +
                    FormatNumber(v.min / unit + 0.0) + "  " +
                    CombinationName(run.design, v.minCombination),
                heading);
  }
}

void ReportBuilder::AddCombinationExtremes(const ModelRun& run, const LiveLoadEnvelope& env,
                                           bool service) {
  const ModelItems& m = run.items;
  const DesignResults& design = run.design;
  const std::string lengthUnit = m.GetUnitLabel(kQuantityPosition);
  const std::string unitSuffix = lengthUnit.empty() ? "" : " " + lengthUnit;
  AddReportLine("Min & Max values, with the governing combination and the spans loaded:");
  AddReportLine(RuleOf(56));
  struct Extreme {
    const char* label;
    int kind, quantity, factor;
  };
  const Extreme strength[] = {
      {" Min Shear      =", kEnvelopeMinShear, kQuantityForce, kFactorPLoad},
      {" Max Shear      =", kEnvelopeMaxShear, kQuantityForce, kFactorPLoad},
      {" Min Moment     =", kEnvelopeMinMoment, kQuantityMoment, kFactorMoment},
      {" Max Moment     =", kEnvelopeMaxMoment, kQuantityMoment, kFactorMoment}};
  const Extreme serviceability[] = {
      {" Min Rotation   =", kEnvelopeMinRotation, kQuantityRotation, kFactorRotation},
      {" Max Rotation   =", kEnvelopeMaxRotation, kQuantityRotation, kFactorRotation},
      {" Min Deflection =", kEnvelopeMinDeflection, kQuantityDeflection, kFactorDisp},
      {" Max Deflection =", kEnvelopeMaxDeflection, kQuantityDeflection, kFactorDisp}};
  for (const Extreme& e : service ? serviceability : strength) {
    const EnvelopeExtreme& x = env.extremes[static_cast<size_t>(e.kind)];
    const std::string unit = m.GetUnitLabel(e.quantity);
    AddReportLine(std::string(e.label) +
                  FormatNumber(x.value / m.m_factors[static_cast<size_t>(e.factor)] + 0.0) +
                  " " + Padded(unit, 7) + " at" +
                  FormatNumber(x.x / m.m_factors[kFactorLength]) + unitSuffix);
    AddReportLine("                  combination " + CombinationName(design, x.combination) +
                  ", spans loaded: " + SpanList(x.spansOnMax));
  }
}

void ReportBuilder::BuildCombinationEnvelopeReport(const ModelRun& run, bool service,
                                                   int dataPoints) {
  const DesignResults& design = run.design;
  const LiveLoadEnvelope& env = service ? design.service : design.strength;
  if (env.empty()) {
    AddReportLine("Envelope report is not available.");
    return;
  }
  const ModelItems& m = run.items;
  std::string names;
  for (const CombinationInfo& c : design.combinations) {
    if (c.service == service) names += (names.empty() ? "" : ", ") + c.name;
  }
  AddReportLine(std::string(service ? "Service" : "Strength") +
                " envelope over the combinations " + names + ".");
  AddReportLine(service ? "Deflections and rotations come from these combinations."
                        : "Shears, moments and reactions come from these combinations.");
  AddReportLine("");
  const std::string lengthUnit = m.GetUnitLabel(kQuantityPosition);
  const std::string unitSuffix = lengthUnit.empty() ? "" : " " + lengthUnit;
  AddReportLine("Spans:");
  for (size_t k = 0; k < env.spans.size(); ++k) {
    AddReportLine(RightAligned(std::to_string(k + 1), 5) + "  from" +
                  FormatNumber(env.spans[k].start / m.m_factors[kFactorLength]) + " to" +
                  FormatNumber(env.spans[k].end / m.m_factors[kFactorLength]) + unitSuffix);
  }
  AddReportLine("");
  AddCombinationExtremes(run, env, service);
  using V = TableValue;
  if (service) {
    AddEnvelopeTable(run, env, dataPoints, {"Disp", kQuantityDeflection, kFactorDisp, true,
                                            [&](size_t i) -> V { return NodeValue(env, i, 0); }});
    AddEnvelopeTable(run, env, dataPoints, {"Rot", kQuantityRotation, kFactorRotation, true,
                                            [&](size_t i) -> V { return NodeValue(env, i, 1); }});
    return;
  }
  AddEnvelopeTable(run, env, dataPoints, {"Shear", kQuantityForce, kFactorPLoad, true,
                                          [&](size_t i) { return ForceLeftOf(env, i, false); }});
  AddEnvelopeTable(run, env, dataPoints, {"Moment", kQuantityMoment, kFactorMoment, true,
                                          [&](size_t i) { return ForceLeftOf(env, i, true); }});
  AddEnvelopeTable(run, env, dataPoints, {"Vert", kQuantityForce, kFactorPLoad, false,
                                          [&](size_t i) -> V { return NodeValue(env, i, 2); }});
  bool moments = false;
  for (const EnvelopeNode& n : env.nodes) {
    moments = moments || (n.hasReaction && (n.reactionRot.max != 0 || n.reactionRot.min != 0));
  }
  if (moments) {
    AddEnvelopeTable(run, env, dataPoints, {"Rot", kQuantityMoment, kFactorMoment, false,
                                            [&](size_t i) -> V { return NodeValue(env, i, 3); }});
  }
}

void ReportBuilder::BuildDesignCheckReport(const ModelRun& run) {
  const DesignResults& design = run.design;
  bool service = false, strength = false;
  for (const CombinationInfo& c : design.combinations) (c.service ? service : strength) = true;
  bool deflection = false, capacity = false;
  for (const SpanCheck& c : design.checks) {
    (c.kind == DesignCheckKind::kDeflection ? deflection : capacity) = true;
  }
  if (deflection) {
    AddReportLine(std::string("Deflections are checked over ") +
                  (service ? "the service combinations." : "the model as written."));
  }
  if (capacity) {
    AddReportLine(std::string("Moments and shears are checked over ") +
                  (strength ? "the strength combinations." : "the model as written."));
  }
  AddReportLine("Use is the largest value divided by the limit.");
  AddReportLine("");
  const std::vector<std::string> lines = ChecksTableLines(CheckRows(design, run.items.m_nUnits));
  // The heading and the rule repeat on a page the table runs onto.
  const std::vector<std::string> heading(lines.begin(), lines.begin() + std::min<size_t>(2, lines.size()));
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i < heading.size() || i + 2 >= lines.size()) AddReportLine(lines[i], true);
    else AddTableRow(lines[i], heading);
  }
}

}  // namespace spanlab
