// CTreeEdit: the model's lines under eight section headings; the only place where lines are
// added, edited and deleted. Every change is written back to the document as a complete line
// list in the file's fixed order.
#pragma once

#include <QTreeWidget>

#include <functional>
#include <string>

#include "edit/line_editor.h"
#include "edit/tree_sections.h"
#include "model/document.h"
#include "platform/document.h"

namespace spanlab {

class CTreeEdit : public QTreeWidget, public CView {
  Q_OBJECT

 public:
  CTreeEdit(CSPLX_30Doc& doc, LineEditor& editor, QWidget* parent = nullptr);

  void OnUpdate(CView* sender, long hint) override;
  // The dialogs that edit lines (not owned).
  void SetEditor(LineEditor& editor) { m_editor = &editor; }
  // Called after every change the tree writes to the document, with the change's name
  // ("Add Point Load") and the line it changed as it was and as it is now (with their
  // prefixes; empty where there is none).
  using EditListener = std::function<void(const std::string& step, const std::string& before,
                                          const std::string& after)>;
  void SetEditListener(EditListener listener) { m_onEdit = std::move(listener); }
  // Selects the item showing the model line `line` (with its prefix); when there is none the
  // selection is cleared. Either way the views hear of the selection.
  bool SelectLine(const std::string& line);

  void OnAddLine();
  void OnEditLine();
  void OnDeleteLine();

  // The section items, in display order.
  QTreeWidgetItem* Section(int section) const { return m_sections[section]; }
  // The tree's content as text.
  TreeContent Content() const;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void Rebuild();
  void EditOneLine(int section, QTreeWidgetItem* item, int mode);
  void EditWholeSection(int section);
  QTreeWidgetItem* InsertSorted(const std::string& text, int section);
  void WriteLinesToDocument(const std::string& step, const std::string& before,
                            const std::string& after);
  void OnSelChanged();
  int SectionOf(const QTreeWidgetItem* item) const;  // -1 when none

  CSPLX_30Doc& m_doc;
  LineEditor* m_editor;
  EditListener m_onEdit;
  QTreeWidgetItem* m_sections[kSectionCount] = {};
};

}  // namespace spanlab
