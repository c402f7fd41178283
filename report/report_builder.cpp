#include "report/report_builder.h"

#include <cmath>

#include "model/sections.h"
#include "report/number_field.h"

namespace spanlab {

namespace {

const std::string kRule33 = " -!@#$%^&*()---------------------";
const std::string kRule51 = " -!@#$%^&*()---------------------------------------";
const std::string kRule56 = " -!@#$%^&*()--------------------------------------------";
const std::string kRule71 = " -!@#$%^&*()-----------------------------------------------------------";

// Unit words of the summary for one unit system.
struct SummaryUnits {
  const char* position;
  const char* force;
  const char* moment;
  const char* shearMinMax;
  const char* momentMinMax;
  const char* rotationMinMax;
  const char* deflectionMinMax;
  double divisor;  // inches to feet and kip in to kip ft in English
};

SummaryUnits UnitsOf(int units) {
  if (units == kUnitsEnglish)
    return {" feet", " kips", " kip ft", " kips   ", " kip ft ", " radians", " in     ", 12};
  if (units == kUnitsMetric)
    return {" m", " kN", " kN m ", " kN     ", " kN m   ", " radians", " mm     ", 1};
  return {"", "", "", "", "", "", "", 1};
}

std::string Blanks(size_t n) { return std::string(n, ' '); }

// "Supports - X = feet, Displacement = inches, Rotation = radians", or without labels
// "Supports - Consistent Units".
std::string InputReportHeading(const SectionRecord& section, const ModelRun& run,
                               bool labelled) {
  std::string heading = std::string(section.title) + " - ";
  if (!labelled) return heading + "Consistent Units";
  for (int c = 0; c < section.reportColumnCount; ++c) {
    const ReportColumn& column = section.reportColumns[c];
    if (c > 0) heading += ", ";
    heading.append(column.name).append(" = ").append(run.items.GetUnitLabel(column.quantity));
  }
  return heading;
}

// The heading of a section listed only when the model has lines of it (Live Load, Load and
// Service Combinations, Deflection Limit, Capacity, Vehicles); empty for any other section and
// for one without lines.
std::string OptionalSectionHeading(const SectionRecord& section, const ModelRun& run,
                                   bool labelled) {
  const int id = section.id;
  if (id < kSectionLiveLoad) return {};
  bool used = false;
  for (const std::string& line : run.lines) used = used || line.rfind(section.prefix, 0) == 0;
  if (!used) return {};
  const std::string title = std::string(section.title) + " - ";
  if (id == kSectionLoadCombinations || id == kSectionServiceCombinations)
    return title + "Factors of the Load Cases";
  if (id == kSectionDeflectionLimit) return title + "Span Length Divided By";
  if (!labelled) return title + "Consistent Units";
  const ModelItems& m = run.items;
  if (id == kSectionLiveLoad) return title + "U = " + m.GetUnitLabel(kQuantityUniform);
  if (id == kSectionVehicles) {
    return title + "Axles = " + m.GetUnitLabel(kQuantityPLoad) + ", Spacing = " +
           m.GetUnitLabel(kQuantityPosition) + ", Lane = " + m.GetUnitLabel(kQuantityUniform);
  }
  return title + "Moment = " + m.GetUnitLabel(kQuantityPointMoment) +
         ", Shear = " + m.GetUnitLabel(kQuantityPLoad);
}

std::string LeadingBlanksRemoved(const std::string& s) {
  const size_t first = s.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : s.substr(first);
}

}  // namespace

bool IsRuleLine(std::string_view text) {
  return text.size() > kRuleMarker.size() && text.substr(1, kRuleMarker.size()) == kRuleMarker;
}

bool IsDiagramsLine(std::string_view text) { return text.rfind(kDiagramsMarker, 0) == 0; }

int DetailsStep(int dataPoints) {
  switch (dataPoints) {
    case 0: return 8;
    case 1: return 4;
    case 3: return 1;
    default: return 2;
  }
}

void ReportBuilder::NewPage() {
  ++m_nPage;
  m_nLinesOnPage = 0;
}

void ReportBuilder::Clear() {
  m_lines.clear();
  m_nPage = 0;
  m_nLinesOnPage = 0;
}

void ReportBuilder::ReleaseLines(size_t first, size_t last) {
  last = std::min(last, m_lines.size());
  for (size_t i = first; i < last; ++i) std::string().swap(m_lines[i].text);
}

void ReportBuilder::Append(std::string text) {
  m_lines.push_back(CReportLine{std::move(text), m_nPage});
  ++m_nLinesOnPage;
}

void ReportBuilder::AddReportLine(std::string text, bool verbatim) {
  if (m_nLinesOnPage >= m_nLinesPerPage - 1) NewPage();  // once per call, before any split
  const size_t slash = text.find('/');
  if (!verbatim && text.size() > 60 && slash != std::string::npos && slash > 10) {
    std::string continuation = Blanks(10) + text.substr(slash);
    text.resize(slash - 1);  // the blank in front of the comment goes
    Append(std::move(text));
    Append(std::move(continuation));
    return;
  }
  Append(std::move(text));
}

void ReportBuilder::BuildInputReport(const ModelRun& run) {
  AddReportLine("Description:");
  AddReportLine("");
  for (const std::string& line : run.lines) {
    if (!line.empty() && line[0] == '/') AddReportLine("  " + line.substr(1), true);
  }
  AddReportLine("");
  AddReportLine(run.items.m_nUnits == kUnitsEnglish  ? "Units: English"
                : run.items.m_nUnits == kUnitsMetric ? "Units: Metric"
                                               : "Units: Consistent");
  AddReportLine("");

  // Without unit labels (Consistent units) every heading says so instead of naming them.
  const bool labelled = !run.items.GetUnitLabel(kQuantityPosition).empty();
  bool first = true;
  for (int id = 0; id < kSectionCount; ++id) {
    const SectionRecord& section = SectionById(id);
    // The sections of the beam always have their heading; the live load, the combinations and
    // the design checks only when the model has such lines.
    std::string heading = section.reportColumnCount > 0
                              ? InputReportHeading(section, run, labelled)
                              : OptionalSectionHeading(section, run, labelled);
    if (heading.empty()) continue;
    if (!first) AddReportLine("");
    first = false;
    AddReportLine(std::move(heading));
    const size_t skip = section.prefix.size() + 1;  // the prefix and the blank after it
    for (const std::string& line : run.lines) {
      if (line.rfind(section.prefix, 0) != 0) continue;
      AddReportLine("  " + (line.size() > skip ? line.substr(skip) : std::string()));
    }
  }
}

void ReportBuilder::BuildSummaryReport(const ModelRun& run) {
  AddReportLine("");
  AddReportLine("Analysis Data:");
  AddReportLine("");
  const CBeamAnalysis& a = run.analysis;
  if (a.m_dLength <= 0 || a.m_nNodes <= 0) {
    AddReportLine("Summary report is not available.");
    return;
  }
  const SummaryUnits u = UnitsOf(run.items.m_nUnits);
  const double d = u.divisor;
  AddReportLine(" Beam Length = " + FormatFiveDigits(a.m_dLength / d) + u.position);
  AddReportLine(" Number of Nodes = " + std::to_string(a.m_nNodes));
  AddReportLine(" Number of Elements = " + std::to_string(a.m_nElements));
  AddReportLine(" Number of Degrees of Freedom = " + std::to_string(a.m_nDof));

  AddReportLine("");
  AddReportLine("Reactions:");
  AddReportLine("");
  AddReportLine("          X       Vert        Rot");
  if (run.items.m_nUnits == kUnitsEnglish) AddReportLine("       feet       kips     kip ft");
  else if (run.items.m_nUnits == kUnitsMetric) AddReportLine("          m         kN       kN m");
  AddReportLine(kRule33);
  double sumV = 0;
  double sumM = 0;
  const CBeamAnalysis::TableLock lock(a);
  for (int32_t i = 1; i <= a.m_nNodes; ++i) {
    const BeamNode& n = a.m_nodes[i];
    if (n.reactionVert == 0 && n.reactionRot == 0) continue;
    std::string row = FormatNumber(n.x / d);
    if (n.reactionVert != 0) {
      row += FormatNumber(n.reactionVert);
      sumV += n.reactionVert;
      sumM -= n.reactionVert * n.x / d;
    } else {
      row += Blanks(11);
    }
    if (n.reactionRot != 0) {
      row += FormatNumber(n.reactionRot / d);
      sumM += n.reactionRot / d;
    } else {
      row += Blanks(11);
    }
    AddReportLine(row);
  }

  AddReportLine("");
  AddReportLine("");
  AddReportLine("Equilibrium:");
  AddReportLine("");
  AddReportLine("                 Force   Reaction       Diff");
  AddReportLine(kRule51);
  AddReportLine("       Vert" + FormatNumber(a.m_dLoadVert) + FormatNumber(sumV) +
                FormatNumber(a.m_dLoadVert + sumV) + u.force);
  AddReportLine("        Rot" + FormatNumber(a.m_dLoadMoment / d) + FormatNumber(sumM) +
                FormatNumber(a.m_dLoadMoment / d + sumM) + u.moment);

  AddReportLine("");
  AddReportLine("");
  AddReportLine("Min & Max values:");
  AddReportLine(kRule56);
  AddReportLine("");
  auto extreme = [&](const char* label, double value, const char* suffix, double x) {
    AddReportLine(std::string(label) + FormatNumber(value) + suffix + " at " +
                  FormatNumber(x / d) + u.position);
  };
  extreme(" Min Shear      =", a.m_dMinShear, u.shearMinMax, a.m_dXMinShear);
  extreme(" Max Shear      =", a.m_dMaxShear, u.shearMinMax, a.m_dXMaxShear);
  extreme(" Min Moment     =", a.m_dMinMoment / d, u.momentMinMax, a.m_dXMinMoment);
  extreme(" Max Moment     =", a.m_dMaxMoment / d, u.momentMinMax, a.m_dXMaxMoment);
  extreme(" Min Rotation   =", a.m_dMinRotation, u.rotationMinMax, a.m_dXMinRotation);
  extreme(" Max Rotation   =", a.m_dMaxRotation, u.rotationMinMax, a.m_dXMaxRotation);
  extreme(" Min Deflection =", a.m_dMinDeflection, u.deflectionMinMax, a.m_dXMinDeflection);
  extreme(" Max Deflection =", a.m_dMaxDeflection, u.deflectionMinMax, a.m_dXMaxDeflection);
}

void ReportBuilder::BuildDetailsReport(const ModelRun& run, int dataPoints, bool tabDelimited) {
  const CBeamAnalysis& a = run.analysis;
  if (a.m_dLength <= 0 || a.m_nNodes <= 0) {
    AddReportLine("Details report is not available.");
    return;
  }
  const bool english = run.items.m_nUnits == kUnitsEnglish;
  const bool metric = run.items.m_nUnits == kUnitsMetric;
  if (tabDelimited) {
    AddReportLine("X\tEI\tShear\tMoment\tRotation\tDisp");
    if (english) AddReportLine("in\tkip in^2\tkips\tkip in\trad\tin");
    else if (metric) AddReportLine("m\tkN cm^2\tkN\tkN m\trad\tmm");
  } else {
    AddReportLine("          X          EI       Shear      Moment    Rotation        Disp");
    if (english) {
      AddReportLine("         in    kip in^2        kips     kip in         rad          in");
    } else if (metric) {
      AddReportLine("          m     kN cm^2          kN       kN m         rad          mm");
    }
  }
  AddReportLine(kRule71);
  const int step = DetailsStep(dataPoints);
  const double eiFactor = metric ? 10000 : 1;          // kN m^2 to kN cm^2
  const double deflectionFactor = metric ? 1000 : 1;  // m to mm
  const char* separator = tabDelimited ? "\t" : " ";
  const CBeamAnalysis::TableLock lock(a);
  for (int64_t i = 1; i <= a.m_nNodes; i += step) {
    const BeamNode& n = a.m_nodes[i];
    // Each row shows the values just left of its node: the element ending there, or the
    // left end of the first element for node 1.
    double ei = 0, shear = 0, moment = 0;
    if (i == 1) {
      if (a.m_nElements >= 1) {
        ei = a.m_elements[1].ei;
        shear = a.m_elements[1].shearStart;
        moment = a.m_elements[1].momentStart;
      }
    } else {
      const BeamElement& el = a.m_elements[i - 1];
      ei = el.ei;
      shear = -el.shearEnd;
      moment = -el.momentEnd;
    }
    const double fields[6] = {n.x, eiFactor * ei, shear, moment, n.rotation,
                              deflectionFactor * n.deflection};
    std::string row;
    row.reserve(72);
    for (int f = 0; f < 6; ++f) {
      if (f > 0) row += separator;
      const std::string field = FormatNumber(fields[f]);
      row += tabDelimited ? LeadingBlanksRemoved(field) : field;
    }
    AddReportLine(std::move(row));
  }
}

void ReportBuilder::BuildEnvelopeReport(const ModelRun& run, int dataPoints) {
  const LiveLoadEnvelope& env = run.envelope;
  if (env.empty()) {
    AddReportLine("Envelope report is not available.");
    return;
  }
  const SummaryUnits u = UnitsOf(run.items.m_nUnits);
  const double d = u.divisor;
  const bool english = run.items.m_nUnits == kUnitsEnglish;
  const bool metric = run.items.m_nUnits == kUnitsMetric;
  const double deflectionFactor = metric ? 1000 : 1;  // m to mm

  AddReportLine("Spans:");
  AddReportLine("");
  AddReportLine("       Span      Start        End");
  if (english) AddReportLine("                  feet       feet");
  else if (metric) AddReportLine("                     m          m");
  AddReportLine(kRule33);
  for (size_t k = 0; k < env.spans.size(); ++k) {
    std::string number = std::to_string(k + 1);
    AddReportLine(Blanks(11 - std::min<size_t>(number.size(), 11)) + number +
                  FormatNumber(env.spans[k].start / d) + FormatNumber(env.spans[k].end / d));
  }

  AddReportLine("");
  AddReportLine("");
  AddReportLine("Min & Max values over all patterns, with the spans on max loading:");
  AddReportLine(kRule56);
  AddReportLine("");
  struct Extreme {
    const char* label;
    int kind;
    double scale;  // to the summary's units
    const char* suffix;
  };
  const Extreme extremes[] = {
      {" Min Shear      =", kEnvelopeMinShear, 1, u.shearMinMax},
      {" Max Shear      =", kEnvelopeMaxShear, 1, u.shearMinMax},
      {" Min Moment     =", kEnvelopeMinMoment, 1 / d, u.momentMinMax},
      {" Max Moment     =", kEnvelopeMaxMoment, 1 / d, u.momentMinMax},
      {" Min Rotation   =", kEnvelopeMinRotation, 1, u.rotationMinMax},
      {" Max Rotation   =", kEnvelopeMaxRotation, 1, u.rotationMinMax},
      {" Min Deflection =", kEnvelopeMinDeflection, deflectionFactor, u.deflectionMinMax},
      {" Max Deflection =", kEnvelopeMaxDeflection, deflectionFactor, u.deflectionMinMax},
  };
  for (const Extreme& e : extremes) {
    const EnvelopeExtreme& x = env.extremes[static_cast<size_t>(e.kind)];
    std::string spans;
    for (int32_t k : x.spansOnMax) spans += (spans.empty() ? "" : ", ") + std::to_string(k + 1);
    AddReportLine(std::string(e.label) + FormatNumber(x.value * e.scale) + e.suffix + " at " +
                  FormatNumber(x.x / d) + u.position);
    AddReportLine("                  spans loaded: " + (spans.empty() ? "none" : spans));
  }

  // Rows as in the details table: the values just left of each node (the left end of the first
  // element at node 1); the maximum of a right-end value is minus the end force's minimum.
  AddReportLine("");
  AddReportLine("");
  AddReportLine("          X   Shear Max   Shear Min  Moment Max  Moment Min");
  if (english) AddReportLine("         in        kips        kips      kip in      kip in");
  else if (metric) AddReportLine("          m          kN          kN        kN m        kN m");
  AddReportLine(kRule71);
  const int step = DetailsStep(dataPoints);
  const auto count = static_cast<int64_t>(env.nodes.size());
  for (int64_t i = 0; i < count; i += step) {
    EnvelopeRange shear{}, moment{};
    if (i == 0) {
      if (!env.elements.empty()) {
        shear = env.elements[0].shearStart;
        moment = env.elements[0].momentStart;
      }
    } else {
      const EnvelopeElement& el = env.elements[static_cast<size_t>(i - 1)];
      shear = {-el.shearEnd.min, -el.shearEnd.max};
      moment = {-el.momentEnd.min, -el.momentEnd.max};
    }
    AddReportLine(FormatNumber(env.nodes[static_cast<size_t>(i)].x) + " " +
                  FormatNumber(shear.max) + " " + FormatNumber(shear.min) + " " +
                  FormatNumber(moment.max) + " " + FormatNumber(moment.min));
  }
  AddReportLine("");
  AddReportLine("          X     Rot Max     Rot Min    Disp Max    Disp Min");
  if (english) AddReportLine("         in         rad         rad          in          in");
  else if (metric) AddReportLine("          m         rad         rad          mm          mm");
  AddReportLine(kRule71);
  for (int64_t i = 0; i < count; i += step) {
    const EnvelopeNode& n = env.nodes[static_cast<size_t>(i)];
    AddReportLine(FormatNumber(n.x) + " " + FormatNumber(n.rotation.max) + " " +
                  FormatNumber(n.rotation.min) + " " +
                  FormatNumber(deflectionFactor * n.deflection.max) + " " +
                  FormatNumber(deflectionFactor * n.deflection.min));
  }
}

}  // namespace spanlab
