#include "edit/qt_tree_edit.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>

#include <algorithm>
#include <limits>
#include <utility>

#include "model/line_fields.h"
#include "platform/qt_device_context.h"
#include "view/item_drag.h"

namespace spanlab {

namespace {

// A SectionEdit's first row meaning "where InsertSorted puts the line".
constexpr size_t kSortedRow = std::numeric_limits<size_t>::max();

// Description and Units are edited as a whole section, the other sections line by line.
bool EditsWholeSection(int section) {
  const SectionDialog dialog = SectionById(section).dialog;
  return dialog == SectionDialog::kDescription || dialog == SectionDialog::kUnits;
}

std::string Prefixed(int section, const std::string& text) {
  return std::string(SectionPrefix(section)) + text;
}

// The keys the tree answers itself: Delete, Enter (as a double click) and Insert.
bool IsEditingKey(const QKeyEvent* key) {
  if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
  switch (key->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Insert:
      return true;
    default:
      return false;
  }
}

}  // namespace

CTreeEdit::CTreeEdit(CSPLX_30Doc& doc, LineEditor& editor, QWidget* parent)
    : QTreeView(parent), m_doc(doc), m_editor(&editor) {
  setModel(&m_model);
  setHeaderHidden(true);
  setRootIsDecorated(true);
  // Every row is one line of the same font: the view then never measures rows it does not show,
  // which keeps jumps to the end of a million lines immediate.
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setExpandsOnDoubleClick(false);  // a double click edits first, then expands (below)
  setTextElideMode(Qt::ElideNone);
  header()->setStretchLastSection(false);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  QFont font("Courier New");
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSize(10);
  setFont(font);
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
    if (!m_quiet) OnSelChanged();
  });
  connect(this, &QTreeView::expanded, this, &CTreeEdit::FitColumn);
  connect(this, &QTreeView::collapsed, this, &CTreeEdit::FitColumn);
  doc.AddView(this);
  doc.SetTreeView(this);
  Rebuild();
}

void CTreeEdit::OnUpdate(CView*, long hint) {
  // The lines of a run gone off the thread are shown at once; when its results come (hint 2
  // for the same lines) the tree is already built for them and keeps its selection.
  if (hint == kHintRunStarted) Rebuild();
  else if (hint == kHintLines && m_builtGeneration != m_doc.GetRunGeneration()) Rebuild();
}

void CTreeEdit::Rebuild() {
  m_builtGeneration = m_doc.GetRunGeneration();
  m_quiet = true;
  m_model.Reset(BuildTree(m_doc.GetLines()));
  m_quiet = false;
  m_docInWrittenOrder = IsWrittenOrder(m_doc.GetLines());
  FitColumn();
}

bool CTreeEdit::FollowHunk(size_t at, const std::vector<std::string>& removed,
                           const std::vector<std::string>& inserted) {
  const std::string& any = removed.empty() ? inserted.front() : removed.front();
  const int s = SectionOfLine(any);
  if (s < 0) return false;
  const size_t cut = SectionPrefix(s).size();
  for (const auto* lines : {&removed, &inserted}) {
    for (const std::string& line : *lines) {
      if (SectionOfLine(line) != s) return false;
    }
  }
  const size_t start = WrittenLineIndex(Content(), s, 0);
  const std::vector<std::string>& children = m_model.Children(s);
  if (at < start || at - start + removed.size() > children.size()) return false;
  const size_t row = at - start;
  for (size_t i = 0; i < removed.size(); ++i) {
    if (std::string_view(removed[i]).substr(cut) != children[row + i]) return false;
  }
  std::vector<std::string> texts;
  texts.reserve(inserted.size());
  for (const std::string& line : inserted) texts.push_back(line.substr(cut));
  m_model.Replace(s, row, removed.size(), std::move(texts));
  for (size_t i = 0; i < inserted.size(); ++i) {
    m_followedRows.emplace_back(m_model.Line(s, static_cast<int>(row + i)));
  }
  return true;
}

void CTreeEdit::FollowDocument(const LineChange* change, bool reverted) {
  m_followedRows.clear();
  if (change && m_docInWrittenOrder) {
    bool followed = true;
    m_quiet = true;
    for (size_t i = 0; i < change->size() && followed; ++i) {
      const LineHunk& h = (*change)[reverted ? change->size() - 1 - i : i];
      const auto& removed = reverted ? h.inserted : h.removed;
      const auto& inserted = reverted ? h.removed : h.inserted;
      if (removed.empty() && inserted.empty()) continue;
      followed = FollowHunk(h.at, removed, inserted);
    }
    m_quiet = false;
    if (followed) {  // each hunk stayed within its section: still the written order
      FitColumn();
      return;
    }
  }
  // Any other change: the whole document compared with the rows.
  m_followedRows.clear();
  const std::vector<std::string>& lines = m_doc.GetLines();
  std::array<std::vector<std::string_view>, kSectionCount> sections;
  for (const std::string& line : lines) {
    const int s = SectionOfLine(line);
    if (s >= 0) sections[s].push_back(std::string_view(line).substr(SectionPrefix(s).size()));
  }
  m_quiet = true;
  const bool changed = m_model.Follow(sections);
  m_quiet = false;
  m_docInWrittenOrder = IsWrittenOrder(lines);
  if (changed) FitColumn();
}

void CTreeEdit::OnAddLine() {
  const QModelIndex selected = currentIndex();
  const int section = TreeLinesModel::SectionOf(selected);
  if (section < 0) return;
  if (EditsWholeSection(section)) EditWholeSection(section);
  else EditOneLine(section, selected, 1);
}

void CTreeEdit::OnEditLine() {
  const QModelIndex selected = currentIndex();
  if (!TreeLinesModel::IsLine(selected)) return;  // section headings are not edited
  const int section = TreeLinesModel::SectionOf(selected);
  if (EditsWholeSection(section)) EditWholeSection(section);
  else EditOneLine(section, selected, 2);
}

void CTreeEdit::OnDeleteLine() {
  const QModelIndex selected = currentIndex();
  if (!TreeLinesModel::IsLine(selected)) return;
  const std::string text = m_model.Text(selected);
  const QString question =
      QString("Are you sure you want to delete the line:\n%1?").arg(ToQString(text));
  if (QMessageBox::question(this, "Spanlab", question, QMessageBox::Yes | QMessageBox::No) !=
      QMessageBox::Yes) {
    return;
  }
  const int section = TreeLinesModel::SectionOf(selected);
  const auto row = static_cast<size_t>(selected.row());
  Change(EditStepName("Delete", section), {{section, row, 1, {}}}, Prefixed(section, text), "");
}

void CTreeEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  OnEditLine();
  const QModelIndex item = indexAt(event->position().toPoint());
  if (item.isValid() && m_model.rowCount(item) > 0) setExpanded(item, !isExpanded(item));
  QTreeView::mouseDoubleClickEvent(event);
}

bool CTreeEdit::event(QEvent* event) {
  // The editing keys are the tree's own, before any shortcut of the window.
  if (event->type() == QEvent::ShortcutOverride && IsEditingKey(static_cast<QKeyEvent*>(event))) {
    event->accept();
    return true;
  }
  return QTreeView::event(event);
}

void CTreeEdit::keyPressEvent(QKeyEvent* event) {
  if (!IsEditingKey(event)) {
    QTreeView::keyPressEvent(event);
    return;
  }
  if (event->key() == Qt::Key_Delete) {
    OnDeleteLine();
  } else if (event->key() == Qt::Key_Insert) {
    OnAddLine();
  } else {  // Enter does what a double click on the row does
    const QModelIndex item = currentIndex();
    OnEditLine();
    if (!TreeLinesModel::IsLine(item) && m_model.rowCount(item) > 0) {
      setExpanded(item, !isExpanded(item));
    }
  }
  event->accept();
}

void CTreeEdit::resizeEvent(QResizeEvent* event) {
  QTreeView::resizeEvent(event);
  FitColumn();
}

void CTreeEdit::FitColumn() {
  int width = 0;
  for (int s = 0; s < kSectionCount; ++s) {
    const QModelIndex heading = m_model.Heading(s);
    width = std::max(width, indentation() + sizeHintForIndex(heading).width());
    const int longest = isExpanded(heading) ? m_model.LongestRow(s) : -1;
    if (longest >= 0) {
      width = std::max(width,
                       2 * indentation() + sizeHintForIndex(m_model.Line(s, longest)).width());
    }
  }
  header()->resizeSection(0, std::max(width, viewport()->width()));
}

const ModelItems& CTreeEdit::DialogItems() {
  if (!m_doc.IsRunPending()) return m_doc.GetItems();
  m_unitsOnly.m_nUnits = UnitsAtLine(m_doc.GetLines(), m_doc.GetLines().size());
  m_unitsOnly.m_factors = FactorsForUnits(m_unitsOnly.m_nUnits);
  return m_unitsOnly;
}

void CTreeEdit::EditOneLine(int section, const QModelIndex& item, int mode) {
  // A heading holds no fields: the dialog then opens empty.
  std::string text = TreeLinesModel::IsLine(item) ? m_model.Text(item) : std::string();
  const std::string before = mode == 2 ? Prefixed(section, text) : std::string();
  if (!m_editor->Edit(section, mode, DialogItems(), text)) return;
  std::vector<SectionEdit> edits;
  if (mode == 2) edits.push_back({section, static_cast<size_t>(item.row()), 1, {}});
  const std::string after = Prefixed(section, text);
  // Lines without a position (combinations, limits) keep the user's order: an edited line stays
  // in its place, an added one comes last.
  size_t row = kSortedRow;
  if (!IsPositionField(SectionById(section).fields[0])) {
    row = mode == 2 ? static_cast<size_t>(item.row()) : m_model.Children(section).size();
  }
  edits.push_back({section, row, 0, {std::move(text)}});
  Change(EditStepName(mode == 1 ? "Add" : "Edit", section), std::move(edits), before, after);
}

void CTreeEdit::EditWholeSection(int section) {
  const std::vector<std::string>& children = m_model.Children(section);
  std::string text = JoinSectionText(children);
  const std::string before = children.empty() ? std::string() : Prefixed(section, children.front());
  if (!m_editor->Edit(section, 1, DialogItems(), text)) return;
  const bool description = SectionById(section).dialog == SectionDialog::kDescription;
  std::vector<std::string> pieces = SplitSectionText(text, description);
  const std::string after = pieces.empty() ? std::string() : Prefixed(section, pieces.front());
  const size_t count = m_model.Children(section).size();
  Change(EditStepName("Edit", section), {{section, 0, count, std::move(pieces)}}, before, after);
  setExpanded(m_model.Heading(section), true);
}

void CTreeEdit::Change(const std::string& step, std::vector<SectionEdit> edits,
                       const std::string& before, const std::string& after) {
  size_t insertedRow = 0;
  LineChange change = WriteEdits(std::move(edits), insertedRow);
  if (m_onEdit) m_onEdit(step, std::move(change), before, after);
}

LineChange CTreeEdit::WriteEdits(std::vector<SectionEdit> edits, size_t& insertedRow) {
  // With the document in the written order, each edit of a section's rows is one hunk of the
  // document's lines; otherwise the first write puts every line in that order.
  LineChange change;
  QModelIndex inserted;
  m_quiet = true;
  for (SectionEdit& e : edits) {
    // A line put in (by its position, or at the row given for lines without one) is selected.
    const bool putIn = e.count == 0 && e.texts.size() == 1;
    if (e.first == kSortedRow) e.first = m_model.SortedRow(e.section, e.texts.front());
    if (putIn) {
      insertedRow = e.first;
      inserted = m_model.Line(e.section, static_cast<int>(e.first));
    }
    if (m_docInWrittenOrder) {
      LineHunk hunk;
      hunk.at = WrittenLineIndex(Content(), e.section, e.first);
      const std::vector<std::string>& children = m_model.Children(e.section);
      for (size_t i = e.first; i < e.first + e.count; ++i) {
        hunk.removed.push_back(Prefixed(e.section, children[i]));
      }
      for (const std::string& t : e.texts) hunk.inserted.push_back(Prefixed(e.section, t));
      change.push_back(std::move(hunk));
    }
    m_model.Replace(e.section, e.first, e.count, std::move(e.texts));
  }
  m_quiet = false;
  // The change is made on the document's own lines: a million-line model is not copied.
  const bool followed = m_docInWrittenOrder &&
                        m_doc.EditLines(this, [&change](std::vector<std::string>& lines) {
                          return ApplyChange(change, lines);
                        });
  if (!followed) {
    std::vector<std::string> written = WriteTreeLines(Content());
    change = DiffLines(m_doc.GetLines(), written);
    m_doc.SetLines(this, std::move(written));
  }
  m_docInWrittenOrder = true;
  if (inserted.isValid()) {  // the new line is selected, its section opened
    setExpanded(inserted.parent(), true);
    SelectQuietly(inserted);
    scrollTo(inserted);
  }
  FitColumn();
  OnSelChanged();
  return change;
}

bool CTreeEdit::BeginMove(int section, size_t row) {
  if (section < 0 || section >= kSectionCount || row >= m_model.Children(section).size()) {
    return false;
  }
  m_moveSection = section;
  m_moveRow = row;
  m_moveBefore = Prefixed(section, m_model.Children(section)[row]);
  m_moveLines = m_doc.GetLines();
  m_moveWasModified = m_doc.IsModified();
  return true;
}

const std::string& CTreeEdit::MovingText() const {
  return m_model.Children(m_moveSection)[m_moveRow];
}

void CTreeEdit::MoveTo(const std::string& text) {
  if (m_moveSection < 0 || text == MovingText()) return;
  WriteEdits({{m_moveSection, m_moveRow, 1, {}}, {m_moveSection, kSortedRow, 0, {text}}},
             m_moveRow);
}

void CTreeEdit::EndMove(bool keep) {
  if (m_moveSection < 0) return;
  const int section = std::exchange(m_moveSection, -1);
  std::vector<std::string> before = std::exchange(m_moveLines, {});
  LineChange change = DiffLines(before, m_doc.GetLines());
  if (change.empty()) {  // moved back to where it was: nothing to keep, nothing modified
    if (m_doc.IsModified() != m_moveWasModified) {
      m_doc.SetModifiedFlag(m_moveWasModified);
      emit MoveUndone();
    }
    return;
  }
  if (keep) {
    const std::string after = Prefixed(section, m_model.Children(section)[m_moveRow]);
    if (m_onEdit) m_onEdit(EditStepName("Move", section), std::move(change), m_moveBefore, after);
    return;
  }
  m_doc.SetLines(this, std::move(before));
  FollowDocument(&change, true);
  m_doc.SetModifiedFlag(m_moveWasModified);
  SelectLine(m_moveBefore);
  emit MoveUndone();
}

void CTreeEdit::NudgeSelectedLine(int direction, const DrawingFrame& frame) {
  if (m_doc.IsRunPending()) return;  // the items it steps by belong to an earlier model
  const QModelIndex item = currentIndex();
  if (!TreeLinesModel::IsLine(item)) return;
  const int section = TreeLinesModel::SectionOf(item);
  const auto row = static_cast<size_t>(item.row());
  const std::string moved =
      NudgedLineText(m_doc.GetItems(), m_doc.GetLines(), frame, section, row, m_model.Text(item),
                     direction);
  if (moved.empty() || !BeginMove(section, row)) return;
  MoveTo(moved);
  EndMove(true);
}

void CTreeEdit::SelectQuietly(const QModelIndex& index) {
  m_quiet = true;
  selectionModel()->setCurrentIndex(
      index, index.isValid() ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::Clear);
  m_quiet = false;
}

bool CTreeEdit::SelectLine(const std::string& line) {
  QModelIndex found;
  const int s = line.empty() ? -1 : SectionOfLine(line);
  for (const QPersistentModelIndex& row : m_followedRows) {  // most often the line is here
    if (found.isValid() || !row.isValid() || TreeLinesModel::SectionOf(row) != s) continue;
    if (Prefixed(s, m_model.Text(row)) == line) found = row;
  }
  if (s >= 0 && !found.isValid()) {
    const std::string_view text = std::string_view(line).substr(SectionPrefix(s).size());
    const std::vector<std::string>& children = m_model.Children(s);
    const auto it = std::find(children.begin(), children.end(), text);
    if (it != children.end()) found = m_model.Line(s, static_cast<int>(it - children.begin()));
  }
  if (found.isValid()) setExpanded(found.parent(), true);
  SelectQuietly(found);
  if (found.isValid()) scrollTo(found);
  OnSelChanged();  // also when nothing is selected: the marker and the Data box follow
  return found.isValid();
}

void CTreeEdit::OnSelChanged() {
  long hint = kHintNoItemLine;
  std::string message;
  const QModelIndex item = currentIndex();
  if (TreeLinesModel::IsLine(item)) {
    hint = SelectionHintOfSection(TreeLinesModel::SectionOf(item));
    if (hint != kHintNoItemLine) message = m_model.Text(item);
  }
  m_doc.SetMessage(message);
  m_doc.UpdateAllViews(this, hint);
}

}  // namespace spanlab
