#include "edit/property_database.h"

#include "model/line_text.h"

namespace spanlab {

std::vector<std::string> ParseDatabaseLines(const std::string& bytes) {
  // Pieces end at a line feed or after 99 characters, whichever comes first.
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    const size_t limit = start + 99;
    bool lineFeed = end != std::string::npos && end < limit;
    if (!lineFeed) end = std::min(limit, bytes.size());
    std::string piece = bytes.substr(start, end - start);
    start = lineFeed ? end + 1 : end;
    if (!piece.empty() && piece.back() == '\r') piece.pop_back();  // text mode
    // A piece shorter than 2 characters with its line end is an empty line.
    if (piece.size() + (lineFeed ? 1 : 0) < 2 || piece[0] == '/') continue;
    lines.push_back(std::move(piece));
  }
  return lines;
}

Status LoadDatabase(FileAccess& files, const std::string& path, DatabaseDocument& doc) {
  doc.m_dbLines.clear();
  std::string bytes;
  bool opened = false;
  // Database files are small; anything larger than 16 MB is not one.
  const Status read = files.ReadFileUpToError(path, bytes, size_t{16} << 20, opened);
  if (!opened) {
    return Status::Error("Error opening material database file - " + path +
                         ". Reinstall Spanlab to correct the problem.");
  }
  if (read.ok()) {
    doc.m_dbLines = ParseDatabaseLines(bytes);
    return Status::Ok();
  }
  // The lines read whole before the error stay; a line the error cut short does not.
  const size_t lastLineFeed = bytes.rfind('\n');
  bytes.resize(lastLineFeed == std::string::npos ? 0 : lastLineFeed + 1);
  doc.m_dbLines = ParseDatabaseLines(bytes);
  // "Reinstal" is the message as users have always seen it.
  return Status::Error("Error reading material database file - " + path +
                       ". Reinstal Spanlab to correct the problem.");
}

int DatabaseIconForCategory(const std::string& line) {
  static constexpr const char* kCategories[] = {
      "1 W Shapes",  "1 Channels",     "1 Double Angles", "1 HP Shapes",   "1 Misc Channels",
      "1 M Shapes",  "1 MT Shapes",    "1 Pipes",         "1 Single Angles", "1 S Shapes",
      "1 ST Shapes", "1 Struc. Tubing", "1 WT Shapes"};
  for (int i = 0; i < 13; ++i) {
    if (line.rfind(kCategories[i], 0) == 0) return i + 1;
  }
  return 0;
}

std::string DatabaseEntryValue(const std::string& text) {
  const size_t equals = text.find('=');
  if (equals == std::string::npos) return {};
  return std::string(TrimWhiteSpace(text.substr(equals + 1)));
}

std::vector<DatabaseNode> BuildDatabaseTree(const DatabaseDocument& doc, DatabaseKind kind,
                                            int units) {
  const bool sections = kind == DatabaseKind::kSection;
  auto selectable = [sections](const std::string& text) {
    return sections ? text.find("Ix") != std::string::npos || text.find("Iy") != std::string::npos
                    : text.find('=') != std::string::npos;
  };
  std::vector<DatabaseNode> roots;
  bool shown = false;
  DatabaseNode* category = nullptr;
  DatabaseNode* group = nullptr;
  for (const std::string& line : doc.m_dbLines) {
    if (line[0] == '0') {
      if (line.rfind("0 English", 0) == 0) shown = units == 1;
      else if (line.rfind("0 Metric", 0) == 0) shown = units == 2;
      continue;
    }
    if (!shown) continue;
    const std::string text = line.size() > 2 ? line.substr(2) : std::string();
    // Pointers into the vectors stay valid: a node's children are only appended to while it
    // is the last node of its level.
    if (line[0] == '1') {
      // Only a "2" line changes the sub-group that "3" lines go to. The pointer stays valid:
      // the group's category is no longer appended to.
      roots.push_back({text, sections ? DatabaseIconForCategory(line) : 0, selectable(text), {}});
      category = &roots.back();
    } else if (line[0] == '2' && category) {
      category->children.push_back({text, sections ? 14 : 0, selectable(text), {}});
      group = sections ? &category->children.back() : nullptr;
    } else if (line[0] == '3' && sections && group) {
      group->children.push_back({text, 14, selectable(text), {}});
    }
    // A "2" line before any category or a "3" line before any sub-group has no place.
  }
  return roots;
}

}  // namespace spanlab
