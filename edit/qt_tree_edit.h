// CTreeEdit: the model's lines under eight section headings; the only place where lines are
// added, edited and deleted. Every change is written back to the document as the line list in
// the file's fixed order; the change itself (the lines removed and inserted) goes to the edit
// listener, which keeps the undo history.
//
// The rows come from TreeLinesModel, which creates none up front; changes replace only the rows
// they touch, so expanded sections, the scroll position and the selection stay where they were.
#pragma once

#include <QTreeView>

#include <functional>
#include <string>

#include "edit/line_editor.h"
#include "edit/line_history.h"
#include "edit/qt_tree_model.h"
#include "platform/document.h"
#include "run/document.h"
#include "view/beam_drawing.h"
#include "view/line_mover.h"

namespace spanlab {

class CTreeEdit : public QTreeView, public CView, public LineMover {
  Q_OBJECT

 public:
  CTreeEdit(CSPLX_30Doc& doc, LineEditor& editor, QWidget* parent = nullptr);

  // With hint 2 from another view or the document, shows the document's lines afresh (all
  // sections collapsed, nothing selected).
  void OnUpdate(CView* sender, long hint) override;
  // Brings the tree in step with the document's lines after a change the tree did not make
  // (undo, redo), replacing only the rows that differ. When the document's lines have been
  // changed by `change` (taken back with `reverted`), only the rows it names are looked at.
  void FollowDocument(const LineChange* change = nullptr, bool reverted = false);
  // The dialogs that edit lines (not owned).
  void SetEditor(LineEditor& editor) { m_editor = &editor; }
  // Called after every change the tree writes to the document, with the change's name
  // ("Add Point Load"), the change of the document's lines, and the line it changed as it was
  // and as it is now (with their prefixes; empty where there is none).
  using EditListener = std::function<void(const std::string& step, LineChange change,
                                          const std::string& before, const std::string& after)>;
  void SetEditListener(EditListener listener) { m_onEdit = std::move(listener); }
  // Selects the row showing the model line `line` (with its prefix), opening its section and
  // scrolling to it; when there is none the selection is cleared. Either way the views hear of
  // the selection.
  bool SelectLine(const std::string& line);

  void OnAddLine();
  void OnEditLine();
  void OnDeleteLine();

  // Moving a line along the beam: a drag in the results view (LineMover), or Alt+Left and
  // Alt+Right on the selected item line, which move it by one snapping step of `frame` (the
  // results view's picture), each press one undo step.
  bool BeginMove(int section, size_t row) override;
  const std::string& MovingText() const override;
  void MoveTo(const std::string& text) override;
  void EndMove(bool keep) override;
  void NudgeSelectedLine(int direction, const DrawingFrame& frame);

  TreeLinesModel& Lines() { return m_model; }
  // The index of a section heading, and of a line under it.
  QModelIndex Section(int section) const { return m_model.Heading(section); }
  QModelIndex Line(int section, int row) const { return m_model.Line(section, row); }
  // The tree's content as text.
  const TreeContent& Content() const { return m_model.Content(); }

 signals:
  // A move was taken back (or ended where it began): the document's lines and its modified
  // flag are as before it.
  void MoveUndone();

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // One replacement of a section's children, as an edit makes it.
  struct SectionEdit {
    int section;
    size_t first, count;
    std::vector<std::string> texts;
  };
  void Rebuild();
  // What the dialogs read of the items: the document's, or while a run is going (they are then
  // an earlier model's) the unit system of the lines as they stand, all a dialog reads of them.
  const ModelItems& DialogItems();
  void EditOneLine(int section, const QModelIndex& item, int mode);
  void EditWholeSection(int section);
  // Makes `edits` on the tree, writes the result to the document and tells the edit listener.
  void Change(const std::string& step, std::vector<SectionEdit> edits, const std::string& before,
              const std::string& after);
  // Change without telling the listener: returns the change of the document's lines, and in
  // `insertedRow` the row of a line placed by position (unchanged when there is none).
  LineChange WriteEdits(std::vector<SectionEdit> edits, size_t& insertedRow);
  void OnSelChanged();
  // Lets the column grow with the widest line of the open sections, so that the view scrolls
  // sideways instead of cutting lines off.
  void FitColumn();
  void SelectQuietly(const QModelIndex& index);
  // Makes one hunk of the document's lines on the rows, if its lines are all of one section
  // and lie within that section's rows in the written order; false (nothing changed) if not.
  bool FollowHunk(size_t at, const std::vector<std::string>& removed,
                  const std::vector<std::string>& inserted);

  CSPLX_30Doc& m_doc;
  LineEditor* m_editor;
  EditListener m_onEdit;
  TreeLinesModel m_model;
  bool m_quiet = false;  // a change of the tree's own is under way: no selection notices
  // The document's lines are as the tree writes them, so an edit's change can be worked out
  // from the rows it touches instead of comparing whole lists.
  bool m_docInWrittenOrder = false;
  uint64_t m_builtGeneration = 0;  // the document's generation the tree was last built for
  ModelItems m_unitsOnly;  // what the dialogs read while a run is going (DialogItems)
  // The rows the last followed change inserted, where SelectLine looks first.
  std::vector<QPersistentModelIndex> m_followedRows;
  // The line being moved (m_moveSection -1: none), and the document as the move found it.
  int m_moveSection = -1;
  size_t m_moveRow = 0;
  std::string m_moveBefore;  // the line with its prefix
  std::vector<std::string> m_moveLines;
  bool m_moveWasModified = false;
};

}  // namespace spanlab
