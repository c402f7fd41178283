// Index scheme: a heading's internal id is 0, a line's is its section + 1; the row is the row
// under its parent. Nothing else is kept per row.
#include "edit/qt_tree_model.h"

#include <algorithm>

#include "platform/qt_device_context.h"

namespace spanlab {

void TreeLinesModel::Reset(TreeContent content) {
  beginResetModel();
  content_ = std::move(content);
  for (int s = 0; s < kSectionCount; ++s) ForgetCaches(s);
  endResetModel();
}

void TreeLinesModel::ForgetCaches(int section) {
  positions_[section] = {};
  positionsKnown_[section] = false;
  longestKnown_[section] = false;
}

void TreeLinesModel::Replace(int section, size_t first, size_t count,
                             std::vector<std::string> texts) {
  std::vector<std::string>& children = content_[section];
  const QModelIndex parent = Heading(section);
  const size_t common = std::min(count, texts.size());
  // Rows replaced one for one stay rows: their selection and the view's layout are kept.
  for (size_t i = 0; i < common; ++i) children[first + i] = std::move(texts[i]);
  if (common > 0) {
    emit dataChanged(Line(section, static_cast<int>(first)),
                     Line(section, static_cast<int>(first + common - 1)));
  }
  const auto at = static_cast<ptrdiff_t>(first + common);
  if (count > common) {
    beginRemoveRows(parent, static_cast<int>(first + common), static_cast<int>(first + count - 1));
    children.erase(children.begin() + at, children.begin() + at + static_cast<ptrdiff_t>(count - common));
    endRemoveRows();
  } else if (texts.size() > common) {
    beginInsertRows(parent, static_cast<int>(first + common),
                    static_cast<int>(first + texts.size() - 1));
    children.insert(children.begin() + at, std::make_move_iterator(texts.begin() + static_cast<ptrdiff_t>(common)),
                    std::make_move_iterator(texts.end()));
    endInsertRows();
  }
  // The cached positions follow one line added or taken out; anything else reads them again.
  std::vector<double>& positions = positions_[section];
  if (positionsKnown_[section] && common == 0 && count + texts.size() == 1) {
    if (count == 1) positions.erase(positions.begin() + static_cast<ptrdiff_t>(first));
    else positions.insert(positions.begin() + static_cast<ptrdiff_t>(first), GetLinePosition(children[first]));
  } else if (count > 0 || !texts.empty()) {
    positions = {};
    positionsKnown_[section] = false;
  }
  longestKnown_[section] = false;
}

bool TreeLinesModel::Follow(const std::array<std::vector<std::string_view>, kSectionCount>& sections) {
  bool changed = false;
  for (int s = 0; s < kSectionCount; ++s) {
    const std::vector<std::string>& now = content_[s];
    const std::vector<std::string_view>& next = sections[s];
    const size_t shorter = std::min(now.size(), next.size());
    size_t head = 0;
    while (head < shorter && now[head] == next[head]) ++head;
    size_t tail = 0;
    while (tail < shorter - head && now[now.size() - 1 - tail] == next[next.size() - 1 - tail]) {
      ++tail;
    }
    if (head + tail == now.size() && head + tail == next.size()) continue;
    std::vector<std::string> texts(next.begin() + static_cast<ptrdiff_t>(head),
                                   next.end() - static_cast<ptrdiff_t>(tail));
    Replace(s, head, now.size() - head - tail, std::move(texts));
    changed = true;
  }
  return changed;
}

size_t TreeLinesModel::SortedRow(int section, const std::string& text) {
  if (!positionsKnown_[section]) {
    std::vector<double>& positions = positions_[section];
    positions.clear();
    positions.reserve(content_[section].size());
    for (const std::string& child : content_[section]) positions.push_back(GetLinePosition(child));
    positionsKnown_[section] = true;
  }
  return InsertSortedIndex(positions_[section], GetLinePosition(text));
}

int TreeLinesModel::LongestRow(int section) {
  if (!longestKnown_[section]) {
    const std::vector<std::string>& children = content_[section];
    const auto longest = std::max_element(
        children.begin(), children.end(),
        [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
    longest_[section] = children.empty() ? -1 : static_cast<int>(longest - children.begin());
    longestKnown_[section] = true;
  }
  return longest_[section];
}

QModelIndex TreeLinesModel::Line(int section, int row) const {
  return createIndex(row, 0, static_cast<quintptr>(section + 1));
}

int TreeLinesModel::SectionOf(const QModelIndex& index) {
  if (!index.isValid()) return -1;
  return index.internalId() == 0 ? index.row() : static_cast<int>(index.internalId()) - 1;
}

const std::string& TreeLinesModel::Text(const QModelIndex& line) const {
  return content_[SectionOf(line)][static_cast<size_t>(line.row())];
}

QModelIndex TreeLinesModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0 || row >= rowCount(parent)) return {};
  return parent.isValid() ? Line(parent.row(), row) : Heading(row);
}

QModelIndex TreeLinesModel::parent(const QModelIndex& child) const {
  if (!IsLine(child)) return {};
  return Heading(SectionOf(child));
}

int TreeLinesModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return kSectionCount;
  if (IsLine(parent)) return 0;
  return static_cast<int>(content_[parent.row()].size());
}

int TreeLinesModel::columnCount(const QModelIndex&) const { return 1; }

QVariant TreeLinesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (!IsLine(index)) {
    if (role == Qt::DisplayRole) return QString(SectionTitle(index.row()));
    return {};
  }
  // The whole line shows as the tooltip, for the lines wider than the pane.
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return ToQString(Text(index));
  return {};
}

Qt::ItemFlags TreeLinesModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  // A line never has children: the view then skips asking each of a million lines whether it
  // has any and whether it is expanded whenever it lays the rows out again.
  if (IsLine(index)) return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace spanlab
