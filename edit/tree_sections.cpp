#include "edit/tree_sections.h"

#include "model/line_text.h"
#include "model/number_text.h"

namespace spanlab {

const char* SectionTitle(int section) { return SectionById(section).title; }
std::string_view SectionPrefix(int section) { return SectionById(section).prefix; }

TreeContent BuildTree(const std::vector<std::string>& lines) {
  TreeContent tree;
  for (const std::string& line : lines) {
    for (int s = 0; s < kSectionCount; ++s) {
      const std::string_view prefix = SectionPrefix(s);
      if (line.rfind(prefix, 0) == 0) {
        tree[s].push_back(line.substr(prefix.size()));
        break;
      }
    }
  }
  return tree;
}

std::vector<std::string> WriteTreeLines(const TreeContent& tree) {
  // The file's own order, independent of the order of the tree's sections.
  static constexpr int kOrder[] = {kSectionDescription, kSectionUnits,    kSectionProperties,
                                   kSectionSprings,     kSectionSupports, kSectionReleases,
                                   kSectionPointLoads,  kSectionUniformLoads};
  std::vector<std::string> lines{"File Format:3.0"};
  for (int s : kOrder) {
    for (const std::string& text : tree[s]) lines.push_back(std::string(SectionPrefix(s)) + text);
  }
  return lines;
}

double GetLinePosition(const std::string& text) {
  const KeyValue kv = SplitKeyValue(SplitLine(text).field[0]);
  if ((kv.key == "X" || kv.key == "XStart") && IsValidNumber(kv.value)) {
    return ConvertNumber(kv.value);
  }
  return 0;
}

size_t InsertSortedIndex(const std::vector<std::string>& children, const std::string& text) {
  const double x = GetLinePosition(text);
  for (size_t i = 0; i < children.size(); ++i) {
    if (x <= GetLinePosition(children[i])) return i;
  }
  return children.size();
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
