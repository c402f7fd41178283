// The tree editor's content: lines grouped by section, the order the tree writes them in,
// where an added line goes, and the Description and Units texts of their dialogs.
#include "edit/tree_sections.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace spanlab {
namespace {

using Lines = std::vector<std::string>;

// A document in no particular order, with lines the tree does not show.
const Lines kMixedDocument = {
    "Point Load: X = 5; PLoad = -10;",
    "File Format:3.0",
    "Support: X = 20; Disp = 0;",
    "/Second beam",
    "Moment Release: X = 8;",
    "Spring: X = 12; VSpring = 300;",
    "Support:X = 0; Disp = 0;",
    "Units: English;",
    "support: X = 1; Disp = 0;",  // prefixes compare case-sensitively
    " Support: X = 2; Disp = 0;",
    "Uniform Load: XStart = 0; XEnd = 20; UStart = -1; UEnd = -1;",
    "Member Property: X = 0; E = 29000; I = 1830;",
    "Message: left over",
    "/",
    "Point Load: X = 2; Moment = 4;",
};

TEST(BuildTreeTest, EachSectionInDocumentOrderPrefixCutOff) {
  const TreeContent tree = BuildTree(kMixedDocument);
  EXPECT_EQ(tree[kSectionDescription], (Lines{"Second beam", ""}));
  EXPECT_EQ(tree[kSectionUnits], (Lines{" English;"}));
  EXPECT_EQ(tree[kSectionProperties], (Lines{" X = 0; E = 29000; I = 1830;"}));
  EXPECT_EQ(tree[kSectionReleases], (Lines{" X = 8;"}));
  EXPECT_EQ(tree[kSectionSupports], (Lines{" X = 20; Disp = 0;", "X = 0; Disp = 0;"}));
  EXPECT_EQ(tree[kSectionSprings], (Lines{" X = 12; VSpring = 300;"}));
  EXPECT_EQ(tree[kSectionPointLoads], (Lines{" X = 5; PLoad = -10;", " X = 2; Moment = 4;"}));
  EXPECT_EQ(tree[kSectionUniformLoads],
            (Lines{" XStart = 0; XEnd = 20; UStart = -1; UEnd = -1;"}));
}

TEST(WriteTreeLinesTest, FixedOrderAndUnknownLinesDropped) {
  EXPECT_EQ(WriteTreeLines(BuildTree(kMixedDocument)),
            (Lines{"File Format:3.0",
                   "/Second beam",
                   "/",
                   "Units: English;",
                   "Member Property: X = 0; E = 29000; I = 1830;",
                   "Spring: X = 12; VSpring = 300;",
                   "Support: X = 20; Disp = 0;",
                   "Support:X = 0; Disp = 0;",
                   "Moment Release: X = 8;",
                   "Point Load: X = 5; PLoad = -10;",
                   "Point Load: X = 2; Moment = 4;",
                   "Uniform Load: XStart = 0; XEnd = 20; UStart = -1; UEnd = -1;"}));
  // An empty tree still writes the format line, and no Units line.
  EXPECT_EQ(WriteTreeLines(TreeContent{}), (Lines{"File Format:3.0"}));
}

// Whether a document is already in the written order decides whether an edit's change can be
// worked out from the rows it touches; the index of a row must then be its written line.
TEST(WriteTreeLinesTest, WrittenOrderAndTheWrittenIndexOfEachRow) {
  EXPECT_FALSE(IsWrittenOrder(kMixedDocument));
  const TreeContent tree = BuildTree(kMixedDocument);
  const Lines written = WriteTreeLines(tree);
  EXPECT_TRUE(IsWrittenOrder(written));
  for (int s = 0; s < kSectionCount; ++s) {
    for (size_t row = 0; row < tree[s].size(); ++row) {
      EXPECT_EQ(written[WrittenLineIndex(tree, s, row)], std::string(SectionPrefix(s)) + tree[s][row])
          << s << " " << row;
    }
  }
  // Just after a section's last line: where its next line goes.
  EXPECT_EQ(WrittenLineIndex(tree, kSectionSupports, 2), 8u);
  EXPECT_EQ(WrittenLineIndex(TreeContent{}, kSectionUniformLoads, 0), 1u);
  EXPECT_FALSE(IsWrittenOrder({}));
  EXPECT_TRUE(IsWrittenOrder({"File Format:3.0"}));
  EXPECT_FALSE(IsWrittenOrder({"File Format:3.0", "Support: X = 0;", "Spring: X = 1;"}))
      << "Springs are written before Supports";
  EXPECT_FALSE(IsWrittenOrder({"File Format:3.0", "Units:English;", "Message: left over"}));
  EXPECT_FALSE(IsWrittenOrder({"Units:English;", "File Format:3.0"}));
  EXPECT_EQ(SectionOfLine("Spring: X = 1;"), kSectionSprings);
  EXPECT_EQ(SectionOfLine("/"), kSectionDescription);
  EXPECT_EQ(SectionOfLine("File Format:3.0"), -1);
  EXPECT_EQ(SectionOfLine("Point Load"), -1);
}

TEST(InsertSortedIndexTest, BeforeTheFirstChildNotSmaller) {
  const Lines sorted = {" X = 5; PLoad = 1;", " X = 10; PLoad = 2;", " X = 20; PLoad = 3;"};
  struct Case {
    Lines children;
    const char* text;
    size_t index;
  };
  const Case cases[] = {
      {{}, " X = 3;", 0},
      {sorted, " X = 10; PLoad = 9;", 1},  // between 5 and the existing 10
      {sorted, " X = 4;", 0},
      {sorted, " X = 5;", 0},
      {sorted, " X = 15;", 2},
      {sorted, " X = 25;", 3},
      // No valid X: position 0, before every line at 0 or more.
      {sorted, " PLoad = 4;", 0},
      {{" XStart = -3;", " XStart = 0;", " XStart = 2;"}, " XEnd = 1; XStart = 9;", 1},
      {{" X = -1;", " PLoad = 1;"}, " X = bad;", 1},
      // The section is not re-sorted: only the new line is placed.
      {{" X = 20;", " X = 5;", " X = 10;"}, " X = 10;", 0},
      {{" X = 1;", " X = 30;", " X = 5;"}, " X = 8;", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InsertSortedIndex(c.children, c.text), c.index) << c.text;
    std::vector<double> positions;
    for (const std::string& child : c.children) positions.push_back(GetLinePosition(child));
    EXPECT_EQ(InsertSortedIndex(positions, GetLinePosition(c.text)), c.index) << c.text;
  }
}

TEST(SectionTextTest, JoinedWithCrLf) {
  EXPECT_EQ(JoinSectionText({}), "");
  EXPECT_EQ(JoinSectionText({" English;"}), " English;");
  EXPECT_EQ(JoinSectionText({"one", "", "three"}), "one\r\n\r\nthree");
}

TEST(SectionTextTest, SplitAtBreaksSoftBreaksLoseTheirBlank) {
  struct Case {
    const char* text;
    bool description;
    Lines children;
  };
  const Case cases[] = {
      {"aaa \r\r\nbbb", true, {"aaa", "bbb"}},
      {"a long \r\r\nparagraph \r\r\nwrapped\r\nnext", true,
       {"a long", "paragraph", "wrapped", "next"}},
      {"one\r\n\r\nthree", true, {"one", "", "three"}},  // empty pieces kept
      {"one\r\n", true, {"one"}},                        // an empty remainder is not
      {"\r\n", true, {""}},
      {"", true, {}},
      {"single", true, {"single"}},
      {"\r\r\nx", true, {"", "x"}},  // a soft break at the very start is a plain break
      {" English;", false, {" English;"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitSectionText(c.text, c.description), c.children) << c.text;
  }
}

}  // namespace
}  // namespace spanlab

namespace spanlab {
namespace {

// A line of every section is written back (a section
// missing from the written order lost its lines at the tree's first write).
TEST(WriteTreeLinesTest, EverySectionSurvivesTheTreesWrite) {
  Lines lines = {"File Format:3.0"};
  for (int s = 0; s < kSectionCount; ++s) lines.push_back(std::string(SectionPrefix(s)) + " X");
  const Lines written = WriteTreeLines(BuildTree(lines));
  EXPECT_EQ(written.size(), static_cast<size_t>(kSectionCount) + 1);
  for (int s = 0; s < kSectionCount; ++s) {
    const std::string line = std::string(SectionPrefix(s)) + " X";
    EXPECT_NE(std::find(written.begin(), written.end(), line), written.end()) << line;
  }
  EXPECT_TRUE(IsWrittenOrder(written));
}

}  // namespace
}  // namespace spanlab
