#include "model/old_format.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace spanlab {
namespace {

using Lines = std::vector<std::string>;

// A data row as the older program wrote it: one leading character, then columns of ten.
std::string Row(std::initializer_list<std::string> columns) {
  std::string row = " ";
  for (const std::string& c : columns) row += c + std::string(10 - c.size(), ' ');
  return row;
}

// The converted lines after "File Format:3.0" and the units line of a file without a title.
Lines Data(const Lines& text) {
  const Lines out = ConvertOldLines(text);
  return Lines(out.begin() + 2, out.end());
}

TEST(SplitOldColumnsTest, SixColumnsOfTenAfterTheFirstCharacter) {
  using Columns = std::array<std::string, 6>;
  EXPECT_EQ(SplitOldColumns(Row({"1.5", "  2e6", "0", "", "\t12\t", "-3"})),
            (Columns{"1.5", "2e6", "0", "", "12", "-3"}));
  // Columns touch; the first character is never read; past character 60 nothing is read.
  EXPECT_EQ(SplitOldColumns("#AAAAAAAAAABBBBBBBBBBCCCCCCCCCCDDDDDDDDDDEEEEEEEEEEFFFFFFFFFFGGG"),
            (Columns{"AAAAAAAAAA", "BBBBBBBBBB", "CCCCCCCCCC", "DDDDDDDDDD", "EEEEEEEEEE",
                     "FFFFFFFFFF"}));
  EXPECT_EQ(SplitOldColumns(" 12345678 9 10"), (Columns{"12345678 9", "10", "", "", "", ""}));
  EXPECT_EQ(SplitOldColumns("7"), Columns{});
  EXPECT_EQ(SplitOldColumns(""), Columns{});
}

TEST(ConvertOldLinesTest, DescriptionLinesAtTheTop) {
  EXPECT_EQ(ConvertOldLines({"/Two span beam", "", "/ by hand", "UNITS: ENGLISH", "/later", ""}),
            (Lines{"File Format:3.0", "/Two span beam", "/", "/ by hand", "Units: English;"}));
  EXPECT_EQ(ConvertOldLines({}), (Lines{"File Format:3.0", "Units: Consistent;"}));
  // What an empty file reads as: two empty lines.
  EXPECT_EQ(ConvertOldLines({"", ""}), (Lines{"File Format:3.0", "/", "/", "Units: Consistent;"}));
}

TEST(ConvertOldLinesTest, UnitsLine) {
  struct Case {
    Lines text;
    std::string units;
  };
  const Case cases[] = {
      {{"UNITS: ENGLISH"}, "Units: English;"},
      {{"Units: metric"}, "Units: Metric;"},
      {{"UNITS:METRIC"}, "Units: Metric;"},
      {{"UNITS: METRIC AND ENGLISH"}, "Units: English;"},
      {{"UNITS: KIPS", "UNITS: METRIC", "UNITS: ENGLISH"}, "Units: Metric;"},
      {{"UNITS: / ENGLISH"}, "Units: Consistent;"},
      {{" UNITS: ENGLISH"}, "Units: Consistent;"},
      {{"UNIT: ENGLISH"}, "Units: Consistent;"},
      {{"ENGLISH"}, "Units: Consistent;"},
      {{"X", "MEMBER PROPERTIES", "UNITS: METRIC"}, "Units: Metric;"},
  };
  for (const Case& c : cases) {
    const Lines out = ConvertOldLines(c.text);
    ASSERT_GE(out.size(), 2u);
    EXPECT_EQ(out[1], c.units) << c.text.front();
  }
}

TEST(ConvertOldLinesTest, MemberPropertyRows) {
  const Lines out = Data({
      "UNITS: ENGLISH",
      "MEMBER PROPERTIES",
      Row({"0", "1000"}),
      Row({"5", "", "0"}),                     // blank EI, Disp 0: a support only
      Row({"10", "0"}),                        // EI 0 alone: E = 0 and a hinge
      Row({"12"}),                             // continues the last EI text, "0"
      Row({"15", "2000", "0", "0", "50", "0"}),
      Row({"20", "", "", "", "0", "7"}),       // a spring stops the property
      Row({"25"}),
      Row({"30", "", "", "0.01"}),
      Row({"40", "0", "0"}),                   // a hinge at a support
      Row({"45", "", "", "", "ABC"}),          // not a number: no spring
      Row({"50", "1e6/x", "5"}),             // cut at "/" before the columns
  });
  EXPECT_EQ(out, (Lines{
                     "Member Property: X = 0; E = 1000; I = 1;",
                     "Support: X = 5; Disp = 0;",
                     "Member Property: X = 10; E = 0; I = 1;",
                     "Moment Release: X = 10;",
                     "Member Property: X = 12; E = 0; I = 1;",
                     "Member Property: X = 15; E = 2000; I = 1;",
                     "Spring: X = 15; VSpring = 50;",
                     "Support: X = 15; Disp = 0; Rotation = 0;",
                     "Spring: X = 20; RSpring = 7;",
                     "Member Property: X = 25; E = 2000; I = 1;",
                     "Support: X = 30; Rotation = 0.01;",
                     "Support: X = 40; Disp = 0;",
                     "Moment Release: X = 40;",
                     "Member Property: X = 45; E = 0; I = 1;",
                     "Member Property: X = 50; E = 1E6; I = 1;",
                 }));
}

TEST(ConvertOldLinesTest, MetricEIIsScaledTenfold) {
  EXPECT_EQ(Data({"UNITS: METRIC", "MEMBER PROPERTIES", Row({"0", "2500"}), Row({"4"}),
                  Row({"6", "1.5e3"}), Row({"8", "0"}), Row({"9"})}),
            (Lines{"Member Property: X = 0; E = 25000.000000; I = 1;",
                   // a row without EI continues the scaled text
                   "Member Property: X = 4; E = 25000.000000; I = 1;",
                   "Member Property: X = 6; E = 15000.000000; I = 1;",
                   "Member Property: X = 8; E = 0; I = 1;", "Moment Release: X = 8;",
                   "Member Property: X = 9; E = 0; I = 1;"}));
  EXPECT_EQ(Data({"UNITS: ENGLISH", "MEMBER PROPERTIES", Row({"0", "2500"})}),
            (Lines{"Member Property: X = 0; E = 2500; I = 1;"}));
}

TEST(ConvertOldLinesTest, PointLoadRows) {
  EXPECT_EQ(Data({"UNITS: ENGLISH", "POINT LOADS", Row({"1", "0", "0"}), Row({"2", "", "0"}),
                  Row({"3", "-10", "5"}), Row({"4", "2.5"}), Row({"5", "0", "-7"}),
                  Row({"6", "X"})}),
            (Lines{"Point Load: X = 3; PLoad = -10; Moment = 5;", "Point Load: X = 4; PLoad = 2.5;",
                   "Point Load: X = 5; Moment = -7;"}));
}

TEST(ConvertOldLinesTest, UniformLoadRowsAreAllTaken) {
  EXPECT_EQ(Data({"UNITS: ENGLISH", "UNIFORM LOADS", Row({"0", "10", "1", "2"}),
                  Row({"0", "0", "0", "0"}), Row({"3", "4", "-1"})}),
            (Lines{"Uniform Load: XStart = 0; XEnd = 10; UStart = 1; UEnd = 2;",
                   "Uniform Load: XStart = 0; XEnd = 0; UStart = 0; UEnd = 0;",
                   "Uniform Load: XStart = 3; XEnd = 4; UStart = -1; UEnd = ;"}));
}

TEST(ConvertOldLinesTest, SectionsEndAtAnotherHeaderAndComeOutInFixedOrder) {
  const Lines out = Data({
      "UNITS: ENGLISH",
      Row({"99", "1"}),  // before any header: not a row
      "uniform loads",
      Row({"0", "20", "1", "1"}),
      "",
      "/ a comment line inside a section",
      "Point Loads/ headers are compared after the cut",
      Row({"10", "5"}),
      "MEMBER PROPERTIES",
      Row({"0", "3000"}),
      "POINT LOADS ",  // a trailing blank: not a header, so a row
      "UNIFORM LOADS",
      Row({"1", "2", "3", "4"}),  // the uniform load section ended before: not read again
      "MEMBER PROPERTIES",
      Row({"7", "9000"}),
  });
  EXPECT_EQ(out, (Lines{
                     "Member Property: X = 0; E = 3000; I = 1;",
                     "Member Property: X = OINT LOADS; E = 3000; I = 1;",
                     "Point Load: X = 10; PLoad = 5;",
                     "Uniform Load: XStart = 0; XEnd = 20; UStart = 1; UEnd = 1;",
                 }));
}

}  // namespace
}  // namespace spanlab
