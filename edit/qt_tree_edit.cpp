#include "edit/qt_tree_edit.h"

#include <QMessageBox>
#include <QMouseEvent>

#include "edit/line_history.h"
#include "platform/qt_device_context.h"

namespace spanlab {

namespace {

// Line items keep their text's exact bytes beside the displayed text, so that a line that is
// not valid UTF-8 is written back unchanged.
QTreeWidgetItem* NewLineItem(const std::string& text) {
  auto* item = new QTreeWidgetItem(QStringList(ToQString(text)));
  item->setData(0, Qt::UserRole, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
  return item;
}

// Description and Units are edited as a whole section, the other sections line by line.
bool EditsWholeSection(int section) {
  return SectionById(section).dialog != SectionDialog::kItemLine;
}

std::string ItemText(const QTreeWidgetItem* item) {
  const QVariant bytes = item->data(0, Qt::UserRole);
  if (bytes.isValid()) return bytes.toByteArray().toStdString();
  return item->text(0).toStdString();
}

}  // namespace

CTreeEdit::CTreeEdit(CSPLX_30Doc& doc, LineEditor& editor, QWidget* parent)
    : QTreeWidget(parent), m_doc(doc), m_editor(&editor) {
  setHeaderHidden(true);
  setColumnCount(1);
  setRootIsDecorated(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setExpandsOnDoubleClick(false);  // a double click edits first, then expands (below)
  QFont font("Courier New");
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSize(10);
  setFont(font);
  connect(this, &QTreeWidget::currentItemChanged, this, [this] { OnSelChanged(); });
  doc.AddView(this);
  doc.SetTreeView(this);
  Rebuild();
}

int CTreeEdit::SectionOf(const QTreeWidgetItem* item) const {
  for (int s = 0; s < kSectionCount; ++s) {
    if (m_sections[s] == item) return s;
  }
  return -1;
}

void CTreeEdit::OnUpdate(CView*, long hint) {
  if (hint == kHintLines) Rebuild();
}

void CTreeEdit::Rebuild() {
  const QSignalBlocker quiet(this);
  clear();
  const TreeContent content = BuildTree(m_doc.GetLines());
  for (int s = 0; s < kSectionCount; ++s) {
    m_sections[s] = new QTreeWidgetItem(this, QStringList(SectionTitle(s)));
    for (const std::string& text : content[s]) m_sections[s]->addChild(NewLineItem(text));
  }
}

TreeContent CTreeEdit::Content() const {
  TreeContent content;
  for (int s = 0; s < kSectionCount; ++s) {
    for (int i = 0; i < m_sections[s]->childCount(); ++i) {
      content[s].push_back(ItemText(m_sections[s]->child(i)));
    }
  }
  return content;
}

void CTreeEdit::OnAddLine() {
  QTreeWidgetItem* selected = currentItem();
  if (!selected) return;
  const int section = selected->parent() ? SectionOf(selected->parent()) : SectionOf(selected);
  if (section < 0) return;
  if (EditsWholeSection(section)) EditWholeSection(section);
  else EditOneLine(section, selected, 1);
}

void CTreeEdit::OnEditLine() {
  QTreeWidgetItem* selected = currentItem();
  if (!selected || !selected->parent()) return;  // section headings are not edited
  const int section = SectionOf(selected->parent());
  if (section < 0) return;
  if (EditsWholeSection(section)) EditWholeSection(section);
  else EditOneLine(section, selected, 2);
}

void CTreeEdit::OnDeleteLine() {
  QTreeWidgetItem* selected = currentItem();
  if (!selected || SectionOf(selected->parent()) < 0) return;
  const QString question =
      QString("Are you sure you want to delete the line:\n%1?").arg(selected->text(0));
  if (QMessageBox::question(this, "Spanlab", question, QMessageBox::Yes | QMessageBox::No) !=
      QMessageBox::Yes) {
    return;
  }
  const int section = SectionOf(selected->parent());
  const std::string line = std::string(SectionPrefix(section)) + ItemText(selected);
  delete selected;
  WriteLinesToDocument(EditStepName("Delete", section), line, "");
}

void CTreeEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  OnEditLine();
  QTreeWidgetItem* item = itemAt(event->position().toPoint());
  if (item && item->childCount() > 0) item->setExpanded(!item->isExpanded());
  QTreeWidget::mouseDoubleClickEvent(event);
}

void CTreeEdit::EditOneLine(int section, QTreeWidgetItem* item, int mode) {
  // A heading holds no fields: the dialog then opens empty.
  std::string text = item->parent() ? ItemText(item) : std::string();
  const std::string before =
      mode == 2 ? std::string(SectionPrefix(section)) + text : std::string();
  if (!m_editor->Edit(section, mode, m_doc, text)) return;
  if (mode == 2) delete item;
  InsertSorted(text, section);
  WriteLinesToDocument(EditStepName(mode == 1 ? "Add" : "Edit", section), before,
                       std::string(SectionPrefix(section)) + text);
}

void CTreeEdit::EditWholeSection(int section) {
  QTreeWidgetItem* heading = m_sections[section];
  std::vector<std::string> children;
  for (int i = 0; i < heading->childCount(); ++i) children.push_back(ItemText(heading->child(i)));
  std::string text = JoinSectionText(children);
  const std::string before =
      children.empty() ? std::string() : std::string(SectionPrefix(section)) + children.front();
  if (!m_editor->Edit(section, 1, m_doc, text)) return;
  const QSignalBlocker quiet(this);
  qDeleteAll(heading->takeChildren());
  const bool description = SectionById(section).dialog == SectionDialog::kDescription;
  for (const std::string& piece : SplitSectionText(text, description)) {
    heading->addChild(NewLineItem(piece));
  }
  heading->setExpanded(true);
  const std::string first =
      heading->childCount() > 0 ? ItemText(heading->child(0)) : std::string();
  WriteLinesToDocument(EditStepName("Edit", section), before,
                       first.empty() && heading->childCount() == 0
                           ? std::string()
                           : std::string(SectionPrefix(section)) + first);
}

QTreeWidgetItem* CTreeEdit::InsertSorted(const std::string& text, int section) {
  QTreeWidgetItem* heading = m_sections[section];
  std::vector<std::string> children;
  for (int i = 0; i < heading->childCount(); ++i) children.push_back(ItemText(heading->child(i)));
  QTreeWidgetItem* item = NewLineItem(text);
  heading->insertChild(static_cast<int>(InsertSortedIndex(children, text)), item);
  heading->setExpanded(true);
  setCurrentItem(item);  // raises the selection change
  return item;
}

void CTreeEdit::WriteLinesToDocument(const std::string& step, const std::string& before,
                                     const std::string& after) {
  m_doc.SetLines(this, WriteTreeLines(Content()));
  OnSelChanged();
  if (m_onEdit) m_onEdit(step, before, after);
}

bool CTreeEdit::SelectLine(const std::string& line) {
  QTreeWidgetItem* found = nullptr;
  for (int s = 0; s < kSectionCount && !found && !line.empty(); ++s) {
    const std::string_view prefix = SectionPrefix(s);
    if (line.rfind(prefix, 0) != 0) continue;
    const std::string text = line.substr(prefix.size());
    for (int i = 0; i < m_sections[s]->childCount() && !found; ++i) {
      if (ItemText(m_sections[s]->child(i)) == text) found = m_sections[s]->child(i);
    }
  }
  if (found) found->parent()->setExpanded(true);
  {
    const QSignalBlocker quiet(this);
    setCurrentItem(found);
  }
  OnSelChanged();  // also when nothing is selected: the marker and the Data box follow
  return found != nullptr;
}

void CTreeEdit::OnSelChanged() {
  long hint = kHintNoItemLine;
  std::string message;
  const QTreeWidgetItem* item = currentItem();
  if (item && item->parent()) {
    const int section = SectionOf(item->parent());
    hint = SelectionHintOfSection(section);
    if (hint != kHintNoItemLine) message = ItemText(item);
  }
  m_doc.SetMessage(message);
  m_doc.UpdateAllViews(this, hint);
}

}  // namespace spanlab
