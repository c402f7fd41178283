// The database readers: the lines kept from a file's bytes, the tree shown per unit system,
// the section icons and entry values, and the message of a missing file.
#include "edit/property_database.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace spanlab {
namespace {

using Lines = std::vector<std::string>;

// A tree flattened to one line per node: indentation by depth, "*" for selectable entries and
// the icon in brackets, so that whole trees compare in one assertion.
void Flatten(const std::vector<DatabaseNode>& nodes, int depth, Lines& out) {
  for (const DatabaseNode& n : nodes) {
    out.push_back(std::string(2 * depth, ' ') + (n.selectable ? "*" : "") + n.text + " [" +
                  std::to_string(n.icon) + "]");
    Flatten(n.children, depth + 1, out);
  }
}

Lines Tree(const Lines& dbLines, DatabaseKind kind, int units) {
  Lines out;
  Flatten(BuildDatabaseTree(DatabaseDocument{dbLines}, kind, units), 0, out);
  return out;
}

// ---- Reading the bytes ----

TEST(ParseDatabaseLinesTest, SkipsCommentsAndEmptyLinesAndDropsLineEnds) {
  struct Case {
    const char* name;
    std::string bytes;
    Lines lines;
  };
  const Case cases[] = {
      {"plain", "0 English\n1 Steel\n2 A36  E = 29000\n", {"0 English", "1 Steel", "2 A36  E = 29000"}},
      {"CR LF is one line end", "0 Metric\r\n1 Steel\r\n", {"0 Metric", "1 Steel"}},
      {"last line without line end", "1 Steel\n2 A36 E = 29000", {"1 Steel", "2 A36 E = 29000"}},
      {"comments", "/ E values\n1 Steel\n/2 hidden = 1\n", {"1 Steel"}},
      {"empty lines", "\n\r\n1 Steel\n\n", {"1 Steel"}},
      // One character and its line end make 2: kept; one character at the end of the file:
      // skipped.
      {"short lines", "x\n1\r\ny", {"x", "1"}},
      {"blank is not empty", " \n", {" "}},
      {"nothing", "", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseDatabaseLines(c.bytes), c.lines) << c.name;
}

TEST(ParseDatabaseLinesTest, LinesReadInPiecesOfAtMost99Characters) {
  const std::string a98(98, 'a'), b99(99, 'b'), c150 = "2 " + std::string(148, 'c');
  struct Case {
    const char* name;
    std::string bytes;
    Lines lines;
  };
  const Case cases[] = {
      {"98 and line feed fit", a98 + "\nz1\n", {a98, "z1"}},
      {"98 and CR LF fit", a98 + "\r\nz1\n", {a98, "z1"}},
      // The line end of a 99-character line is a piece of its own, too short to keep.
      {"99 and line feed", b99 + "\nz1\n", {b99, "z1"}},
      {"99 and CR LF", b99 + "\r\nz1\n", {b99, "z1"}},
      {"150 make two pieces", c150 + "\n", {c150.substr(0, 99), c150.substr(99)}},
      {"150 without line end", c150, {c150.substr(0, 99), c150.substr(99)}},
      // A piece is judged on its own: a continuation beginning with "/" is a comment and a
      // continuation of one character is too short.
      {"continuation comment", b99 + "/rest\nz1\n", {b99, "z1"}},
      {"continuation of one", b99 + "q", {b99}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseDatabaseLines(c.bytes), c.lines) << c.name;
}

// ---- Loading the file ----

class MapFiles : public FileAccess {
 public:
  std::map<std::string, std::string> files;
  Status ReadFile(const std::string& path, std::string& bytes, size_t) override {
    const auto it = files.find(path);
    if (it == files.end()) return Status::Error("no such file");
    bytes = it->second;
    return Status::Ok();
  }
  Status WriteFileAtomically(const std::string&, const std::string&) override {
    return Status::Error("read-only");
  }
};

TEST(LoadDatabaseTest, ReadsTheFileOrSaysHowToFixIt) {
  MapFiles files;
  files.files["/opt/spanlab/SPLX.prp"] = "/ sections\n0 English\r\n1 W Shapes\r\n";
  DatabaseDocument doc{{"stale"}};
  ASSERT_TRUE(LoadDatabase(files, "/opt/spanlab/SPLX.prp", doc).ok());
  EXPECT_EQ(doc.m_dbLines, (Lines{"0 English", "1 W Shapes"}));

  const Status missing = LoadDatabase(files, "/opt/spanlab/SPLX.mat", doc);
  EXPECT_FALSE(missing.ok());
  EXPECT_EQ(missing.message(),
            "Error opening material database file - /opt/spanlab/SPLX.mat. Reinstall Spanlab "
            "to correct the problem.");
  EXPECT_TRUE(doc.m_dbLines.empty());
}

// Reads fail after `kept` bytes of the file were read, as a disk error part-way would.
class FailingPartWay : public FileAccess {
 public:
  std::string bytes;
  size_t kept = 0;
  Status ReadFile(const std::string& path, std::string&, size_t) override {
    return Status::Error("Cannot read '" + path + "': Input/output error.");
  }
  Status ReadFileUpToError(const std::string& path, std::string& out, size_t,
                           bool& opened) override {
    opened = true;
    out = bytes.substr(0, kept);
    return Status::Error("Cannot read '" + path + "': Input/output error.");
  }
  Status WriteFileAtomically(const std::string&, const std::string&) override {
    return Status::Error("read-only");
  }
};

TEST(LoadDatabaseTest, ReadErrorPartWayKeepsTheLinesReadWhole) {
  FailingPartWay files;
  files.bytes = "0 English\n1 Steel\n2 A36  E = 29000\n2 A572 E = 29000\n";
  const std::string reading =
      "Error reading material database file - /opt/spanlab/SPLX.mat. Reinstal Spanlab to "
      "correct the problem.";
  struct Case {
    const char* what;
    size_t kept;
    Lines lines;
  };
  const Case cases[] = {
      {"after three lines", 35, {"0 English", "1 Steel", "2 A36  E = 29000"}},
      // A line the error cut short is not kept: "2 A5" would be a different material.
      {"in the fourth line", 39, {"0 English", "1 Steel", "2 A36  E = 29000"}},
      {"at the first byte", 0, {}},
  };
  for (const Case& c : cases) {
    files.kept = c.kept;
    DatabaseDocument doc{{"stale"}};
    const Status status = LoadDatabase(files, "/opt/spanlab/SPLX.mat", doc);
    EXPECT_FALSE(status.ok()) << c.what;
    EXPECT_EQ(status.message(), reading) << c.what;
    EXPECT_EQ(doc.m_dbLines, c.lines) << c.what;
  }
}

// ---- The tree ----

TEST(BuildDatabaseTreeTest, MaterialTreeOfTheModelsUnitSystem) {
  const Lines db = {
      "1 Before any block",
      "2 Hidden = 1",
      "0 English",
      "1 Steel",
      "2 A36       E = 29000 ",
      "2 Heading without value",
      "0 Some other zero line",  // does not end the block
      "3 Not a material level = 5",
      "1 Aluminum",
      "2 6061-T6   E = 10000",
      "x kept but never shown",
      "0 Metric",
      "1 Steel",
      "2 S235      E = 200000",
  };
  EXPECT_EQ(Tree(db, DatabaseKind::kMaterial, 1),
            (Lines{"Steel [0]", "  *A36       E = 29000  [0]", "  Heading without value [0]",
                   "Aluminum [0]", "  *6061-T6   E = 10000 [0]"}));
  EXPECT_EQ(Tree(db, DatabaseKind::kMaterial, 2),
            (Lines{"Steel [0]", "  *S235      E = 200000 [0]"}));
  // Only English and Metric have blocks.
  EXPECT_TRUE(Tree(db, DatabaseKind::kMaterial, 3).empty());
  EXPECT_TRUE(Tree(db, DatabaseKind::kMaterial, 4).empty());
}

TEST(BuildDatabaseTreeTest, SectionTreeGroupsEntriesWithIcons) {
  const Lines db = {
      "0 English",
      "1 W Shapes",
      "2 W36",
      "3 W36x300   Ix = 20300   Iy = 1300",
      "3 W36x280   Iy only here",
      "3 Ix",  // selectable without "=": its value is empty
      "3 W36x260   Zx = 1270",
      "2 W33",
      "3 W33x221   Ix = 12900",
      "1 Other Shapes",
      "2 Group",
  };
  EXPECT_EQ(Tree(db, DatabaseKind::kSection, 1),
            (Lines{"W Shapes [1]", "  W36 [14]", "    *W36x300   Ix = 20300   Iy = 1300 [14]",
                   "    *W36x280   Iy only here [14]", "    *Ix [14]",
                   "    W36x260   Zx = 1270 [14]", "  W33 [14]", "    *W33x221   Ix = 12900 [14]",
                   "Other Shapes [0]", "  Group [14]"}));
}

TEST(BuildDatabaseTreeTest, SmallFilesEdgeCases) {
  const auto M = DatabaseKind::kMaterial;
  const auto S = DatabaseKind::kSection;
  struct Case {
    const char* name;
    Lines db;
    DatabaseKind kind;
    int units;
    Lines tree;
  };
  const Case cases[] = {
      {"one block, one category, one entry", {"0 English", "1 Steel", "2 A36 E = 29000"}, M, 1,
       {"Steel [0]", "  *A36 E = 29000 [0]"}},
      {"no Metric block", {"0 English", "1 Steel", "2 A36 E = 29000"}, M, 2, {}},
      {"entry before any category", {"0 Metric", "2 Orphan = 1", "1 Concrete", "2 C30 E = 3"},
       M, 2, {"Concrete [0]", "  *C30 E = 3 [0]"}},
      {"entry before any sub-group", {"0 English", "3 Ix = 1", "1 Pipes", "3 Ix = 2", "2 Std",
                                      "3 Ix = 3"},
       S, 1, {"Pipes [8]", "  Std [14]", "    *Ix = 3 [14]"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Tree(c.db, c.kind, c.units), c.tree) << c.name;
}

TEST(BuildDatabaseTreeTest, AnyItemWhoseTextHoldsTheMarkIsSelectable) {
  // Materials: "=" anywhere, a category too. Sections: "Ix" or "Iy", categories and
  // sub-groups too, case-sensitive.
  EXPECT_EQ(Tree({"0 English", "1 Steel E = 29000", "2 A36 E = 29000", "2 Note without"},
                 DatabaseKind::kMaterial, 1),
            (Lines{"*Steel E = 29000 [0]", "  *A36 E = 29000 [0]", "  Note without [0]"}));
  EXPECT_EQ(Tree({"0 Metric", "1 Pipes Ix = 5", "2 Std Iy = 2", "3 P1 Ix = 1", "2 XS ix = 3",
                  "1 Tubes", "2 T1 = 4"},
                 DatabaseKind::kSection, 2),
            (Lines{"*Pipes Ix = 5 [8]", "  *Std Iy = 2 [14]", "    *P1 Ix = 1 [14]",
                   "  XS ix = 3 [14]", "Tubes [0]", "  T1 = 4 [14]"}));
}

TEST(BuildDatabaseTreeTest, EntryUnderANewCategoryGoesToTheLastSubGroup) {
  // Only a "2" line changes the current sub-group; a new category does not, so a "3" line
  // right after a category still belongs to the last sub-group read.
  EXPECT_EQ(Tree({"0 English", "1 Pipes", "2 Std", "1 Channels", "3 C3   Ix = 1.85"},
                 DatabaseKind::kSection, 1),
            (Lines{"Pipes [8]", "  Std [14]", "    *C3   Ix = 1.85 [14]", "Channels [2]"}));
}

TEST(DatabaseIconForCategoryTest, ExactPrefixOfTheCategoryLine) {
  const std::pair<const char*, int> cases[] = {
      {"1 W Shapes", 1},       {"1 Channels", 2},      {"1 Double Angles", 3},
      {"1 HP Shapes", 4},      {"1 Misc Channels", 5}, {"1 M Shapes", 6},
      {"1 MT Shapes", 7},      {"1 Pipes", 8},         {"1 Single Angles", 9},
      {"1 S Shapes", 10},      {"1 ST Shapes", 11},    {"1 Struc. Tubing", 12},
      {"1 WT Shapes", 13},     {"1 W Shapes (heavy)", 1}, {"1 w shapes", 0},
      {"1 Tees", 0},           {"1 W", 0},             {"", 0},
  };
  for (const auto& [line, icon] : cases) EXPECT_EQ(DatabaseIconForCategory(line), icon) << line;
}

TEST(DatabaseEntryValueTest, TextAfterTheFirstEqualsTrimmed) {
  const std::pair<const char*, const char*> cases[] = {
      {"A36       E = 29000 ", "29000"},
      {"W36x300   Ix = 20300   Iy = 1300", "20300   Iy = 1300"},
      {"Ix", ""},
      {"Odd =", ""},
      {"E=\t1.5e4\t", "1.5e4"},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(DatabaseEntryValue(text), value) << text;
}

}  // namespace
}  // namespace spanlab
