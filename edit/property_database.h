// The material (E) and section (I) databases: read-only text files whose lines form, per unit
// system, a tree of categories, sub-groups and entries that carry a value after "=".
//
// Line codes: "0 English" / "0 Metric" start the block shown for that unit system (other "0"
// lines change nothing); "1 text" a category; "2 text" an entry (materials) or a sub-group
// (sections); "3 text" an entry under the last sub-group (sections). Lines starting with "/"
// and lines shorter than 2 characters are skipped. Lines are read in pieces of at most 99
// characters.
#pragma once

#include <string>
#include <vector>

#include "platform/file_access.h"
#include "platform/status.h"

namespace spanlab {

enum class DatabaseKind { kMaterial, kSection };

struct DatabaseDocument {
  std::vector<std::string> m_dbLines;
};

// The data lines of a database file's bytes (skips, 99-character pieces, line feeds removed).
std::vector<std::string> ParseDatabaseLines(const std::string& bytes);

// Loads `path` into `doc`. On failure the message is the one to show (the same for both files):
// a file that cannot be opened leaves `doc` empty and gives
// "Error opening material database file - <path>. Reinstall Spanlab to correct the problem.";
// a read error part-way keeps the lines read whole before it and gives
// "Error reading material database file - <path>. Reinstal Spanlab to correct the problem."
Status LoadDatabase(FileAccess& files, const std::string& path, DatabaseDocument& doc);

struct DatabaseNode {
  std::string text;       // the line from its third character on
  int icon = 0;           // section trees: 0..14 (see DatabaseIconForCategory); materials: 0
  // Any node, category and sub-group included, whose text contains "=" (materials) or "Ix" or
  // "Iy" (sections): OK is enabled on it.
  bool selectable = false;
  std::vector<DatabaseNode> children;
};

// The tree shown for unit system `units` (1 English, 2 Metric), in file order.
std::vector<DatabaseNode> BuildDatabaseTree(const DatabaseDocument& doc, DatabaseKind kind,
                                            int units);

// The icon of a section category line ("1 W Shapes" -> 1, ...; any other -> 0).
int DatabaseIconForCategory(const std::string& line);

// The value an entry gives: the text after its first "=", trimmed; empty without "=".
std::string DatabaseEntryValue(const std::string& text);

}  // namespace spanlab
