#include "edit/tree_sections.h"

#include <iterator>

namespace spanlab {

const char* SectionTitle(int section) { return SectionById(section).title; }
std::string_view SectionPrefix(int section) { return SectionById(section).prefix; }

namespace {

constexpr std::string_view kFormatLine = "File Format:3.0";

// The file's own order of the sections, independent of the order of the tree's headings.
constexpr int kWrittenOrder[] = {kSectionDescription,         kSectionUnits,
                                 kSectionProperties,          kSectionSprings,
                                 kSectionSupports,            kSectionReleases,
                                 kSectionPointLoads,          kSectionUniformLoads,
                                 kSectionLiveLoad,            kSectionLoadCombinations,
                                 kSectionServiceCombinations, kSectionDeflectionLimit,
                                 kSectionCapacity,            kSectionVehicles};
// Every section is written: one left out would lose its lines at the tree's first write.
static_assert(std::size(kWrittenOrder) == kSectionCount);

// Where a section comes in kWrittenOrder.
int WrittenRank(int section) {
  for (int r = 0; r < kSectionCount; ++r) {
    if (kWrittenOrder[r] == section) return r;
  }
  return kSectionCount;
}

}  // namespace

int SectionOfLine(std::string_view line) {
  for (int s = 0; s < kSectionCount; ++s) {
    if (line.substr(0, SectionPrefix(s).size()) == SectionPrefix(s)) return s;
  }
  return -1;
}

TreeContent BuildTree(const std::vector<std::string>& lines) {
  TreeContent tree;
  for (const std::string& line : lines) {
    const int s = SectionOfLine(line);
    if (s >= 0) tree[s].push_back(line.substr(SectionPrefix(s).size()));
  }
  return tree;
}

std::vector<std::string> WriteTreeLines(const TreeContent& tree) {
  size_t count = 1;
  for (const auto& children : tree) count += children.size();
  std::vector<std::string> lines;
  lines.reserve(count);
  lines.emplace_back(kFormatLine);
  for (int s : kWrittenOrder) {
    for (const std::string& text : tree[s]) lines.push_back(std::string(SectionPrefix(s)) + text);
  }
  return lines;
}

bool IsWrittenOrder(const std::vector<std::string>& lines) {
  if (lines.empty() || lines.front() != kFormatLine) return false;
  int rank = 0;
  for (size_t i = 1; i < lines.size(); ++i) {
    const int s = SectionOfLine(lines[i]);
    if (s < 0 || WrittenRank(s) < rank) return false;
    rank = WrittenRank(s);
  }
  return true;
}

size_t WrittenLineIndex(const TreeContent& tree, int section, size_t row) {
  size_t index = 1;  // after the format line
  for (int s : kWrittenOrder) {
    if (s == section) return index + row;
    index += tree[s].size();
  }
  return index;
}

size_t InsertSortedIndex(const std::vector<std::string>& children, const std::string& text) {
  std::vector<double> positions;
  positions.reserve(children.size());
  for (const std::string& child : children) positions.push_back(GetLinePosition(child));
  return InsertSortedIndex(positions, GetLinePosition(text));
}

size_t InsertSortedIndex(const std::vector<double>& positions, double x) {
  for (size_t i = 0; i < positions.size(); ++i) {
    if (x <= positions[i]) return i;
  }
  return positions.size();
}

std::string JoinSectionText(const std::vector<std::string>& children) {
  std::string text;
  for (size_t i = 0; i < children.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += children[i];
  }
  return text;
}

std::vector<std::string> SplitSectionText(std::string text, bool description) {
  if (description) {
    // "<char>\r\r\n" becomes "\r\n": the wrap blank and the first carriage return go.
    for (size_t c = text.find("\r\r"); c != std::string::npos; c = text.find("\r\r")) {
      text = (c > 0 ? text.substr(0, c - 1) : std::string()) + text.substr(c + 1);
    }
  }
  std::vector<std::string> pieces;
  size_t start = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", start)) {
    pieces.push_back(text.substr(start, at - start));
    start = at + 2;
  }
  if (start < text.size()) pieces.push_back(text.substr(start));
  return pieces;
}

long SelectionHintOfSection(int section) {
  if (section < 0 || section >= kSectionCount) return 10;
  return SectionById(section).selectionHint;
}

}  // namespace spanlab
