#include "platform/document.h"

#include <algorithm>

namespace spanlab {

CView::~CView() {
  if (m_pDocument) m_pDocument->RemoveView(this);
}

CDocument::~CDocument() {
  for (CView* view : m_views) view->m_pDocument = nullptr;
}

void CDocument::AddView(CView* view) {
  if (view->m_pDocument == this) return;
  if (view->m_pDocument) view->m_pDocument->RemoveView(view);
  m_views.push_back(view);
  view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view) {
  const auto it = std::find(m_views.begin(), m_views.end(), view);
  if (it == m_views.end()) return;
  m_views.erase(it);
  view->m_pDocument = nullptr;
}

void CDocument::UpdateAllViews(CView* sender, long hint) {
  // A view may detach itself while being updated: walk a copy.
  const std::vector<CView*> views = m_views;
  for (CView* view : views) {
    if (view != sender && view->m_pDocument == this) view->OnUpdate(sender, hint);
  }
}

void CDocument::SetPathName(const std::string& path) {
  m_strPathName = path;
  const size_t slash = path.rfind('/');
  m_strTitle = slash == std::string::npos ? path : path.substr(slash + 1);
  if (m_strTitle.empty()) m_strTitle = "Untitled";
}

bool CDocument::OnNewDocument() {
  DeleteContents();
  m_strPathName.clear();
  m_strTitle = "Untitled";
  m_bModified = false;
  return true;
}

bool CDocument::OnOpenDocument(const std::string& path) {
  std::string bytes;
  Status status = Files().ReadFile(path, bytes);
  if (status.ok()) status = LoadDocument(bytes, path);
  if (!status.ok()) {
    m_strLastError = status.message();
    return false;
  }
  m_strLastError.clear();
  SetPathName(path);
  m_bModified = false;
  return true;
}

bool CDocument::MayReplace(const std::string& path, Prompter& prompter) {
  if (!Files().IsReadOnlyFile(path)) return true;
  return prompter.AskYesNo("'" + path + "'" + kReplaceReadOnlyQuestion, 0);
}

bool CDocument::OnSaveDocument(const std::string& path) {
  const Status storable = CheckStorable();
  if (!storable.ok()) {
    m_strLastError = "Cannot save '" + path + "'. " + storable.message() + " Nothing was written.";
    return false;
  }
  const Status status = Files().WriteFileAtomically(path, StoreDocument());
  if (!status.ok()) {
    m_strLastError = status.message();
    return false;
  }
  m_strLastError.clear();
  SetPathName(path);
  m_bModified = false;
  return true;
}

}  // namespace spanlab
