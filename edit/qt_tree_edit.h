// CTreeEdit: the model's lines under eight section headings; the only place where lines are
// added, edited and deleted. Every change is written back to the document as a complete line
// list in the file's fixed order.
#pragma once

#include <QTreeWidget>

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
  void WriteLinesToDocument();
  void OnSelChanged();
  int SectionOf(const QTreeWidgetItem* item) const;  // -1 when none

  CSPLX_30Doc& m_doc;
  LineEditor* m_editor;
  QTreeWidgetItem* m_sections[kSectionCount] = {};
};

}  // namespace spanlab
