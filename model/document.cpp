#include "model/document.h"

#include <algorithm>

#include "model/line_text.h"
#include "model/number_text.h"

namespace spanlab {

CSPLX_30Doc::CSPLX_30Doc() : m_pAnalysis(std::make_unique<CBeamAnalysis>()) {}

CSPLX_30Doc::~CSPLX_30Doc() { ClearItems(); }

void CSPLX_30Doc::SetLines(CView* sender, std::vector<std::string> lines) {
  m_lines = std::move(lines);
  SetModifiedFlag(true);
  LinesChanged(sender);
}

void CSPLX_30Doc::LinesChanged(CView* sender) {
  if (m_pRunner) {
    m_lastRun = m_pRunner->Run(*this);
  } else {
    BuildItems(false);
    ResetAnalysis();
    m_lastRun = RunLog{};
  }
  UpdateAllViews(sender, kHintLines);
}

void CSPLX_30Doc::SetMessage(const std::string& text) {
  m_strMessage = text;
  UpdateAllViews(nullptr, kHintMessage);
}

bool CSPLX_30Doc::OnNewDocument() {
  if (!CDocument::OnNewDocument()) return false;
  m_lines.clear();
  LinesChanged(nullptr);
  return true;
}

bool CSPLX_30Doc::OnOpenDocument(const std::string& path) {
  if (!CDocument::OnOpenDocument(path)) return false;
  if (m_bConverted) SetModifiedFlag(true);  // so that closing offers to save the new format
  return true;
}

void CSPLX_30Doc::DeleteContents() { ClearItems(); }

bool CSPLX_30Doc::IsCommandEnabled(int command) const {
  switch (command) {
    case kCommandSave:
      return IsModified();
    case kCommandPrint:
    case kCommandPrintPreview:
      return m_pResultsView != nullptr;
    default:
      return true;
  }
}

bool CSPLX_30Doc::ForwardCommand(int command) {
  if (!m_pResultsView) return false;
  m_pResultsView->OnForwardedCommand(command);
  return true;
}

void CSPLX_30Doc::ClearItems() {
  m_uniformLoads.clear();
  m_pointLoads.clear();
  m_springs.clear();
  m_supports.clear();
  m_releases.clear();
  m_properties.clear();
}

std::string CSPLX_30Doc::GetUnitLabel(int quantity) const { return UnitLabel(m_nUnits, quantity); }

namespace {

double FieldValue(const std::string& field) { return ConvertNumber(SplitKeyValue(field).value); }

// Supports, springs and point loads: field 2 carries `first` or `second`, field 3 only
// `second` (a later value overwrites an earlier one). Keys compare exactly.
template <class SetFirst, class SetSecond>
void ReadEitherOr(const LineParts& parts, std::string_view first, std::string_view second,
                  SetFirst setFirst, SetSecond setSecond) {
  const KeyValue field2 = SplitKeyValue(parts.field[1]);
  if (field2.key == first) setFirst(ConvertNumber(field2.value));
  else if (field2.key == second) setSecond(ConvertNumber(field2.value));
  const KeyValue field3 = SplitKeyValue(parts.field[2]);
  if (field3.key == second) setSecond(ConvertNumber(field3.value));
}

}  // namespace

void CSPLX_30Doc::BuildItems(bool build) {
  ClearItems();
  m_dBeamLength = 0;
  if (!build) return;
  m_nUnits = kUnitsConsistent;
  m_factors = FactorsForUnits(kUnitsConsistent);
  if (m_lines.empty()) return;

  auto raiseLength = [this](double x) {
    if (x > m_dBeamLength) m_dBeamLength = x;
  };
  const UnitFactors& f = m_factors;
  for (const std::string& line : m_lines) {
    if (!line.empty() && line[0] == '/') continue;
    const LineParts parts = SplitLine(line);
    const std::string& section = parts.section;
    if (section == "Units") {
      const std::string& name = parts.field[0];
      if (name == "English") m_nUnits = kUnitsEnglish;
      else if (name == "Metric") m_nUnits = kUnitsMetric;
      else if (name == "Consistent") m_nUnits = kUnitsConsistent;
      else if (name == "User Defined") m_nUnits = kUnitsUserDefined;
      else continue;  // an unknown name leaves the unit system as it was
      m_factors = FactorsForUnits(m_nUnits);
    } else if (section == "Member Property") {
      // The keys were checked by the format check; here only the values count.
      CMemberPropertyItem item;
      item.m_dX = FieldValue(parts.field[0]) * f[kFactorLength];
      item.m_dE = FieldValue(parts.field[1]) * f[kFactorE];
      item.m_dI = FieldValue(parts.field[2]) * f[kFactorI];
      raiseLength(item.m_dX);
      m_properties.push_back(item);
    } else if (section == "Moment Release") {
      CMomentReleaseItem item;
      item.m_dX = FieldValue(parts.field[0]) * f[kFactorLength];
      raiseLength(item.m_dX);
      m_releases.push_back(item);
    } else if (section == "Support") {
      CSupportItem item;
      item.m_dX = FieldValue(parts.field[0]) * f[kFactorLength];
      ReadEitherOr(
          parts, "Disp", "Rotation",
          [&](double v) {
            item.m_dDisp = v * f[kFactorDisp];
            item.m_bDisp = 1;
          },
          [&](double v) {
            item.m_dRotation = v * f[kFactorRotation];
            item.m_bRotation = 1;
          });
      raiseLength(item.m_dX);
      m_supports.push_back(item);
    } else if (section == "Spring") {
      CSpringItem item;
      item.m_dX = FieldValue(parts.field[0]) * f[kFactorLength];
      ReadEitherOr(
          parts, "VSpring", "RSpring", [&](double v) { item.m_dVSpring = v * f[kFactorVSpring]; },
          [&](double v) { item.m_dRSpring = v * f[kFactorRSpring]; });
      raiseLength(item.m_dX);
      m_springs.push_back(item);
    } else if (section == "Point Load") {
      CPointLoadItem item;
      item.m_dX = FieldValue(parts.field[0]) * f[kFactorLength];
      ReadEitherOr(
          parts, "PLoad", "Moment", [&](double v) { item.m_dPLoad = v * f[kFactorPLoad]; },
          [&](double v) { item.m_dMoment = v * f[kFactorMoment]; });
      raiseLength(item.m_dX);
      m_pointLoads.push_back(item);
    } else if (section == "Uniform Load") {
      CUniformLoadItem item;
      item.m_dXStart = FieldValue(parts.field[0]) * f[kFactorLength];
      item.m_dXEnd = FieldValue(parts.field[1]) * f[kFactorLength];
      item.m_dUStart = FieldValue(parts.field[2]) * f[kFactorUniform];
      item.m_dUEnd = FieldValue(parts.field[3]) * f[kFactorUniform];
      raiseLength(item.m_dXStart);
      raiseLength(item.m_dXEnd);
      m_uniformLoads.push_back(item);
    }
    // Any other section, the format line's among them, carries no item.
  }
  // Each property goes after those with an equal or smaller X: a stable sort gives exactly
  // that order without the quadratic cost of inserting one by one.
  std::stable_sort(m_properties.begin(), m_properties.end(),
                   [](const CMemberPropertyItem& a, const CMemberPropertyItem& b) {
                     return a.m_dX < b.m_dX;
                   });
}

void CSPLX_30Doc::RunAnalysis() {
  CBeamAnalysis& a = *m_pAnalysis;
  a.Reset();
  a.SetLength(m_dBeamLength);
  a.BuildNodes(m_properties, m_releases, m_supports, m_springs, m_pointLoads, m_uniformLoads);
  a.BuildElements(m_properties, m_releases);
  a.Solve(m_supports, m_springs, m_pointLoads, m_uniformLoads, m_nUnits);
  a.ComputeExtremes(m_nUnits);
}

void CSPLX_30Doc::ResetAnalysis() { m_pAnalysis->Reset(); }

const std::vector<std::string>& CSPLX_30Doc::GetAnalysisMessages() const {
  return m_pAnalysis->m_messages;
}

}  // namespace spanlab
