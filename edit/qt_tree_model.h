// TreeLinesModel: the tree editor's content (the model lines under the eight section headings)
// as a Qt item model. Rows are not objects: the view asks for the rows it shows, so a section of
// a million lines costs its strings and nothing per row. Every change names the rows it
// replaces, so that the view keeps its expanded sections, scroll position and selection.
#pragma once

#include <QAbstractItemModel>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "edit/tree_sections.h"

namespace spanlab {

class TreeLinesModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  using QAbstractItemModel::QAbstractItemModel;

  // Replaces the whole content (the view forgets its expanded sections and selection).
  void Reset(TreeContent content);
  const TreeContent& Content() const { return content_; }
  const std::vector<std::string>& Children(int section) const { return content_[section]; }

  // Replaces the children [first, first + count) of `section` with `texts`.
  void Replace(int section, size_t first, size_t count, std::vector<std::string> texts);
  // Makes the children of each section equal to `sections[s]`, replacing only the run of rows
  // between the children both start and end with. Returns whether anything changed.
  bool Follow(const std::array<std::vector<std::string_view>, kSectionCount>& sections);

  // Where InsertSorted puts `text` among the children of `section` (InsertSortedIndex); the
  // children's positions are read once and then kept in step with the changes.
  size_t SortedRow(int section, const std::string& text);
  // The child of `section` with the most bytes (a stand-in for the widest in the tree's
  // monospaced font); -1 for an empty section.
  int LongestRow(int section);

  QModelIndex Heading(int section) const { return createIndex(section, 0, quintptr{0}); }
  QModelIndex Line(int section, int row) const;
  // The section of a heading or line index; -1 for none.
  static int SectionOf(const QModelIndex& index);
  static bool IsLine(const QModelIndex& index) { return index.isValid() && index.internalId() != 0; }
  // The exact bytes of a line index's text (not valid UTF-8 stays as it is).
  const std::string& Text(const QModelIndex& line) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void ForgetCaches(int section);

  TreeContent content_;
  // Per section, the children's positions (GetLinePosition) once asked for, and the longest
  // child's row; both dropped when the section changes in a way they cannot follow.
  std::array<std::vector<double>, kSectionCount> positions_;
  std::array<bool, kSectionCount> positionsKnown_{};
  std::array<int, kSectionCount> longest_{};
  std::array<bool, kSectionCount> longestKnown_{};
};

}  // namespace spanlab
