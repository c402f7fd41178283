#include "run/document.h"

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

bool CSPLX_30Doc::EditLines(CView* sender,
                            const std::function<bool(std::vector<std::string>&)>& edit) {
  if (!edit(m_lines)) return false;
  SetModifiedFlag(true);
  LinesChanged(sender);
  return true;
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
  LinesChanged(nullptr);
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
  m_liveLoads.clear();
}

std::string CSPLX_30Doc::GetUnitLabel(int quantity) const { return UnitLabel(m_nUnits, quantity); }

namespace {

// The values of a data line's fields in internal units, and which fields the line gives.
struct FieldValues {
  std::array<double, 4> value{};
  std::array<bool, 4> given{};
};

// Keyed sections: every field's value, whatever its key (the format check has looked at the
// keys). Either-or sections: field 1; field 2 by its key; field 3 only with the second key (a
// later value overwrites an earlier one). Keys compare exactly.
FieldValues ReadFieldValues(const SectionRecord& s, const std::array<std::string_view, 4>& field,
                            const UnitFactors& factors) {
  FieldValues v;
  auto take = [&](int i, std::string_view value) {
    const double number = ConvertNumber(value);
    v.value[i] = s.fields[i].plain ? number : number * factors[s.fields[i].factor];
    v.given[i] = true;
  };
  if (s.layout == FieldLayout::kKeyed) {
    for (int i = 0; i < s.fieldCount; ++i) take(i, SplitKeyValueView(field[i]).value);
  } else if (s.layout == FieldLayout::kEitherOr) {
    take(0, SplitKeyValueView(field[0]).value);
    const KeyValueView field2 = SplitKeyValueView(field[1]);
    if (field2.key == s.fields[1].key) take(1, field2.value);
    else if (field2.key == s.fields[2].key) take(2, field2.value);
    const KeyValueView field3 = SplitKeyValueView(field[2]);
    if (field3.key == s.fields[2].key) take(2, field3.value);
  } else if (s.layout == FieldLayout::kAnyOrder) {
    for (std::string_view text : field) {
      const KeyValueView kv = SplitKeyValueView(text);
      if (const int i = FieldIndexOfKey(s, kv.key); i >= 0) take(i, kv.value);
    }
  }
  return v;
}

}  // namespace

void CSPLX_30Doc::BuildItems(bool build) {
  if (build) {
    BuildItems(SplitSectionLines(m_lines));
    return;
  }
  ClearItems();
  m_dBeamLength = 0;
}

void CSPLX_30Doc::BuildItems(const std::vector<SectionLine>& split) {
  ClearItems();
  m_dBeamLength = 0;
  m_nUnits = kUnitsConsistent;
  m_factors = FactorsForUnits(kUnitsConsistent);

  std::array<size_t, kSectionCount> counts{};
  for (const SectionLine& line : split) {
    if (line.section) ++counts[line.section->id];
  }
  m_properties.reserve(counts[kSectionProperties]);
  m_releases.reserve(counts[kSectionReleases]);
  m_supports.reserve(counts[kSectionSupports]);
  m_springs.reserve(counts[kSectionSprings]);
  m_pointLoads.reserve(counts[kSectionPointLoads]);
  m_uniformLoads.reserve(counts[kSectionUniformLoads]);

  auto raiseLength = [this](double x) {
    if (x > m_dBeamLength) m_dBeamLength = x;
  };
  for (const SectionLine& line : split) {
    // The format line, unknown sections and description lines carry no item.
    if (!line.section || line.section->layout == FieldLayout::kText) continue;
    const SectionRecord& section = *line.section;
    if (section.id == kSectionUnits) {
      // An unknown name leaves the unit system as it was.
      if (const int units = UnitsFromName(line.field[0]); units != 0) {
        m_nUnits = units;
        m_factors = FactorsForUnits(units);
      }
      continue;
    }
    const FieldValues f = ReadFieldValues(section, line.field, m_factors);
    const auto& v = f.value;
    switch (section.id) {
      case kSectionProperties:
        m_properties.push_back({v[0], v[1], v[2]});
        break;
      case kSectionReleases:
        m_releases.push_back({v[0]});
        break;
      case kSectionSupports:
        m_supports.push_back({.m_dX = v[0],
                              .m_dDisp = v[1],
                              .m_dRotation = v[2],
                              .m_bDisp = uint8_t(f.given[1]),
                              .m_bRotation = uint8_t(f.given[2])});
        break;
      case kSectionSprings:
        m_springs.push_back({v[0], v[1], v[2]});
        break;
      case kSectionPointLoads:
        m_pointLoads.push_back({v[0], v[1], v[2]});
        break;
      case kSectionLiveLoad:
        m_liveLoads.push_back({.m_dU = v[0],
                               .m_dLiveFactor = f.given[1] ? v[1] : 1.0,
                               .m_dDeadMax = f.given[2] ? v[2] : 1.0,
                               .m_dDeadMin = f.given[3] ? v[3] : 1.0});
        continue;  // no position
      case kSectionUniformLoads:
        m_uniformLoads.push_back({v[0], v[1], v[2], v[3]});
        raiseLength(v[0]);
        raiseLength(v[1]);
        continue;
      default:
        continue;
    }
    raiseLength(v[0]);
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
  m_envelope = {};
  if (!m_liveLoads.empty()) {
    const LiveLoadModel model{m_supports, m_springs, m_pointLoads, m_uniformLoads, m_dBeamLength};
    m_envelope = ComputeLiveLoadEnvelope(a, model, m_liveLoads.front());
  }
}

void CSPLX_30Doc::ResetAnalysis() {
  m_pAnalysis->Reset();
  m_envelope = {};
}

const std::vector<std::string>& CSPLX_30Doc::GetAnalysisMessages() const {
  return m_pAnalysis->m_messages;
}

}  // namespace spanlab
