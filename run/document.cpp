// The document: its lines, its views and its forwarded commands. What a change of the lines
// sets off (checks, items, engine, views told) is one sequence in run_driver.cpp.
#include "run/document.h"

namespace spanlab {

CSPLX_30Doc::CSPLX_30Doc() : m_pAnalysis(std::make_unique<CBeamAnalysis>()) {}

CSPLX_30Doc::~CSPLX_30Doc() {
  if (m_bRunPending && m_pBackground) m_pBackground->CancelRun();
  ClearItems();
}

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
  // The load may ask questions, and the window's events go on while a box waits for the
  // answer: a run still going must not land on the lines being read.
  const bool wasPending = m_bRunPending;
  ++m_nGeneration;
  if (!CDocument::OnOpenDocument(path)) {
    if (wasPending) StartBackgroundRun();  // the lines are as they were: their run again
    return false;
  }
  LinesChanged(nullptr);
  if (m_bConverted) SetModifiedFlag(true);  // so that closing offers to save the new format
  return true;
}

void CSPLX_30Doc::SetBackgroundRunner(BackgroundRunner* runner) {
  if (m_bRunPending && m_pBackground && runner != m_pBackground) {
    m_pBackground->CancelRun();
    m_pBackground = runner;
    LinesChanged(m_pPendingSender);  // the results the views wait for, from the new runner
    return;
  }
  m_pBackground = runner;
}

void CSPLX_30Doc::StartBackgroundRun() {
  m_bRunPending = true;
  m_pBackground->StartRun(++m_nGeneration, m_lines);
}

bool CSPLX_30Doc::AdoptRun(uint64_t generation, LinesRunResult&& result) {
  if (!m_bRunPending || generation != m_nGeneration || result.log.cancelled) return false;
  m_bRunPending = false;
  std::swap(m_items, result.items);
  std::swap(m_pAnalysis, result.analysis);
  std::swap(m_envelope, result.envelope);
  std::swap(m_design, result.design);
  m_lastRun = std::move(result.log);
  CView* sender = m_pPendingSender;
  m_pPendingSender = nullptr;
  UpdateAllViews(sender, kHintLines);
  return true;
}

void CSPLX_30Doc::DeleteContents() { ClearItems(); }

bool CSPLX_30Doc::IsCommandEnabled(int command) const {
  switch (command) {
    case kCommandSave:
      return IsModified();
    case kCommandPrint:
    case kCommandPrintPreview:
      return m_pResultsView != nullptr && !m_bRunPending;
    default:
      return !m_bRunPending;  // a report of an earlier model would pass for this one's
  }
}

bool CSPLX_30Doc::ForwardCommand(int command) {
  if (!m_pResultsView || !IsCommandEnabled(command)) return false;
  m_pResultsView->OnForwardedCommand(command);
  return true;
}

void CSPLX_30Doc::BuildItems(bool build) {
  if (build) {
    BuildItems(SplitSectionLines(m_lines));
    return;
  }
  m_items.ClearLists();
  m_items.m_dBeamLength = 0;
}

void CSPLX_30Doc::BuildItems(const std::vector<SectionLine>& split) {
  BuildModelItems(m_lines, split, m_items);
}

void CSPLX_30Doc::ResetAnalysis() {
  m_pAnalysis->Reset();
  m_envelope = {};
  m_design = {};
}

const std::vector<std::string>& CSPLX_30Doc::GetAnalysisMessages() const {
  return m_pAnalysis->m_messages;
}

}  // namespace spanlab
