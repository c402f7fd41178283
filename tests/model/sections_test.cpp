#include "model/sections.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace spanlab {
namespace {

TEST(FindSectionTest, TheSevenNamesExactlyAndNothingElse) {
  const std::pair<const char*, int> names[] = {{"Units", kSectionUnits},
                                               {"Member Property", kSectionProperties},
                                               {"Moment Release", kSectionReleases},
                                               {"Support", kSectionSupports},
                                               {"Spring", kSectionSprings},
                                               {"Point Load", kSectionPointLoads},
                                               {"Uniform Load", kSectionUniformLoads},
                                               {"Live Load", kSectionLiveLoad}};
  for (const auto& [name, id] : names) {
    const SectionRecord* s = FindSection(name);
    ASSERT_NE(s, nullptr) << name;
    EXPECT_EQ(s->id, id) << name;
    EXPECT_EQ(&SectionById(id), s) << name;
    // The tree and the input report find a section's lines by the name and its colon.
    EXPECT_EQ(s->prefix, std::string(name) + ":") << name;
  }
  for (const char* other : {"", "units", "Supports", " Support", "Support ", "Point  Load",
                            "File Format", "Description", "/", "Properties", "Live load",
                            "LiveLoad"}) {
    EXPECT_EQ(FindSection(other), nullptr) << '"' << other << '"';
  }
}

TEST(SectionTableTest, TreeHeadingsHintsAndDialogsInTreeOrder) {
  const char* titles[] = {"Description", "Units",   "Properties",  "Moment Releases",
                          "Supports",    "Springs", "Point Loads", "Uniform Loads",
                          "Live Load",   "Load Combinations", "Service Combinations",
                          "Deflection Limit", "Capacity", "Vehicles"};
  const long hints[] = {10, 10, 11, 12, 13, 14, 15, 16, 10, 10, 10, 10, 10, 10};
  static_assert(std::size(titles) == kSectionCount);
  for (int s = 0; s < kSectionCount; ++s) {
    const SectionRecord& r = SectionById(s);
    EXPECT_EQ(r.id, s);
    EXPECT_STREQ(r.title, titles[s]);
    EXPECT_EQ(r.selectionHint, hints[s]) << titles[s];
    // Only the sections with items are edited line by line, listed in the input report and
    // have fields. (The Live Load line has no heading in the input report: every report would
    // gain one.)
    const bool items = s >= kSectionProperties;
    const bool combination =
        s == kSectionLoadCombinations || s == kSectionServiceCombinations;
    const bool vehicle = s == kSectionVehicles;  // edited as its text
    EXPECT_EQ(r.dialog == SectionDialog::kItemLine, items && !combination && !vehicle)
        << titles[s];
    EXPECT_EQ(r.reportColumnCount > 0, items && s < kSectionLiveLoad) << titles[s];
    EXPECT_EQ(r.fieldCount > 0, items && !vehicle) << titles[s];
  }
  EXPECT_EQ(SectionById(kSectionDescription).prefix, "/");
  EXPECT_EQ(SectionById(kSectionDescription).dialog, SectionDialog::kDescription);
  EXPECT_EQ(SectionById(kSectionUnits).dialog, SectionDialog::kUnits);
}

TEST(SplitSectionLineTest, DescriptionFormatAndDataLines) {
  const SectionLine description = SplitSectionLine("/Support: X = 1; Disp = 0;");
  EXPECT_EQ(description.section, &SectionById(kSectionDescription));
  for (std::string_view f : description.field) EXPECT_EQ(f, "");

  EXPECT_EQ(SplitSectionLine("File Format:3.0").section, nullptr);
  EXPECT_EQ(SplitSectionLine("").section, nullptr);
  EXPECT_EQ(SplitSectionLine("Support X = 1;").section, nullptr);
  // The comment is cut first: a "/" before the ":" leaves no section.
  EXPECT_EQ(SplitSectionLine("Support/: X = 1;").section, nullptr);

  const SectionLine support = SplitSectionLine("Support: X = 1 ;\tDisp = 0; ; /wall; Y = 2;");
  EXPECT_EQ(support.section, &SectionById(kSectionSupports));
  EXPECT_EQ(support.field, (std::array<std::string_view, 4>{"X = 1", "Disp = 0", "", ""}));

  const SectionLine units = SplitSectionLine("Units:English;");
  EXPECT_EQ(units.section, &SectionById(kSectionUnits));
  EXPECT_EQ(units.field[0], "English");
}

TEST(SplitSectionLineTest, EveryLineOnceInOrderViewingTheLines) {
  const std::vector<std::string> lines = {"File Format:3.0", "/note", "Spring: X = 2; VSpring = 5;",
                                          "Beam: X = 1;"};
  const std::vector<SectionLine> split = SplitSectionLines(lines);
  ASSERT_EQ(split.size(), lines.size());
  EXPECT_EQ(split[0].section, nullptr);
  EXPECT_EQ(split[1].section, &SectionById(kSectionDescription));
  EXPECT_EQ(split[2].section, &SectionById(kSectionSprings));
  EXPECT_EQ(split[3].section, nullptr);
  // The fields are views into the lines themselves, not copies.
  EXPECT_EQ(split[2].field[1].data(), lines[2].data() + lines[2].find("VSpring"));
}

TEST(AppendFieldTest, BlankEqualsBlankAndSemicolon) {
  std::string line = "Point Load:";
  AppendField(line, "X", "5");
  AppendField(line, "Moment", "");
  EXPECT_EQ(line, "Point Load: X = 5; Moment = ;");
}

}  // namespace
}  // namespace spanlab
