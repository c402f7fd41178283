// The item dialogs' line rules: how a line opens into fields, how OK checks the fields (every
// message, in order) and how the line is written back; and the Units dialog's choice rules.
#include "model/line_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "edit/tree_sections.h"
#include "model/number_text.h"

namespace spanlab {
namespace {

using Fields = std::vector<std::string>;

// The field list of a section's dialog.
const auto& Form(int section) {
  const auto* form = ItemDialogFor(section);
  EXPECT_NE(form, nullptr) << section;
  return *form;
}

// The fields of a section's dialog: those given, then blank ones (a load's Case).
std::vector<std::string> Padded(int section, std::vector<std::string> fields) {
  fields.resize(Form(section).fields.size());
  return fields;
}

constexpr const char* kTooLong = "Please enter a maximum of 15 characters.";
constexpr const char* kNotANumber = "Please enter a valid number.";
constexpr const char* kNotNegative = "Please enter a number greater than or equal to zero.";
constexpr const char* kNotZero = "Please enter a number other than zero or leave the field blank.";
constexpr const char* kNotPositive = "Please enter a number greater than zero.";

// ---- Opening: the line split into fields ----

TEST(SplitDialogLineTest, KeysSearchedLastFieldFirstWithCuts) {
  struct Case {
    int section;
    const char* line;
    Fields fields;
    const char* comment;
  };
  const Case cases[] = {
      // The dialog's own form.
      {kSectionSupports, " X = 3; Rotation = 0; /wall", {"3", "", "0"}, "wall"},
      {kSectionProperties, " X = 0; E = 29000; I = 1830;", {"0", "29000", "1830"}, ""},
      {kSectionUniformLoads, " XStart = 0; XEnd = 10; UStart = -1.5; UEnd = -2;",
       {"0", "10", "-1.5", "-2"}, ""},
      // Values trimmed, cut at ";"; the last value may lack its ";".
      {kSectionPointLoads, "  X =   12.5  ;PLoad =\t-3 ;Moment = 7", {"12.5", "-3", "7"}, ""},
      // Fields in another order: after Rotation is found only the text before it is searched,
      // so a Disp written after Rotation is not found.
      {kSectionSupports, " X = 3; Rotation = 0; Disp = 2;", {"3", "", "0"}, ""},
      // PLoad before X: the cut at PLoad leaves no X.
      {kSectionPointLoads, " PLoad = 5; X = 3;", {"", "5", ""}, ""},
      {kSectionSprings, " RSpring = 9; VSpring = 8; X = 1;", {"", "", "9"}, ""},
      // No cut after XEnd: XStart written after it is still found.
      {kSectionUniformLoads, " XEnd = 10; XStart = 2; UStart = 1; UEnd = 3;",
       {"2", "10", "1", "3"}, ""},
      // ... but UStart cuts, so an XEnd after it is lost.
      {kSectionUniformLoads, " XStart = 2; UStart = 1; XEnd = 10; UEnd = 3;",
       {"2", "", "1", "3"}, ""},
      // Keys compare exactly, with their blank before "=".
      {kSectionSupports, " X=3; disp = 1; Rotation= 0;", {"", "", ""}, ""},
      {kSectionPointLoads, " x = 3; PLoad = 1;", {"", "1", ""}, ""},
      // The comment starts at the first "/" and keeps everything after it.
      {kSectionReleases, " X = 4; / hinge/pin  ", {"4"}, " hinge/pin  "},
      {kSectionReleases, " X = 4;/", {"4"}, ""},
      // A key inside the comment is not a field.
      {kSectionSupports, " X = 1; /Disp = 5;", {"1", "", ""}, "Disp = 5;"},
      // A heading text holds no field.
      {kSectionPointLoads, "Point Loads", {"", "", ""}, ""},
      {kSectionProperties, "", {"", "", ""}, ""},
      // The Live Load's keys come in any order: every key is searched in the whole text.
      {kSectionLiveLoad, " DeadMin = 0.9; U = -0.8; LiveFactor = 1.5; /live",
       {"-0.8", "1.5", "", "0.9"}, "live"},
      // A load's case stands anywhere; its field is cut out and the rest read as without it.
      {kSectionPointLoads, " Case = Lr; X = 3; PLoad = -5; /roof", {"3", "-5", "", "Lr"}, "roof"},
      {kSectionUniformLoads, " XStart = 0; XEnd = 10; Case = S; UStart = -1; UEnd = -2;",
       {"0", "10", "-1", "-2", "S"}, ""},
      {kSectionLiveLoad, " Case = L2; U = -0.8;", {"-0.8", "", "", "", "L2"}, ""},
  };
  for (const Case& c : cases) {
    const DialogValues v = SplitDialogLine(Form(c.section), c.line);
    EXPECT_EQ(v.fields, Padded(c.section, c.fields)) << c.line;
    EXPECT_EQ(v.comment, c.comment) << c.line;
  }
}

// ---- OK: the checks ----

TEST(CheckFieldTest, EveryCheckItsMessagesInOrder) {
  using FC = FieldCheck;
  struct Case {
    FieldCheck check;
    std::vector<const char*> texts;
    const char* message;  // "" when the texts pass
  };
  const Case cases[] = {
      {FC::kNumber, {"-12.5", "0", "1e3", "  123456789012345\t "}, ""},  // 15 after trimming
      {FC::kNumber, {"1234567890123456", "abcdefghijklmnopq"}, kTooLong},  // length first
      {FC::kNumber, {"", "   ", "-0", "+0", ".0", "5 ft", "1,5"}, kNotANumber},
      {FC::kOptionalNumber, {"", " \t ", "0", "-0.002"}, ""},
      {FC::kOptionalNumber, {"-123456789012345"}, kTooLong},
      {FC::kOptionalNumber, {"-0", "x"}, kNotANumber},
      {FC::kNonNegative, {"0", " 25.5 "}, ""},
      {FC::kNonNegative, {"-12345678901234.5"}, kTooLong},
      {FC::kNonNegative, {"-0", ""}, kNotANumber},  // "-0" is not a negative number
      {FC::kNonNegative, {"-1", "-0.0001"}, kNotNegative},
      {FC::kOptionalNonNegative, {"", " ", "0", "1.35"}, ""},
      {FC::kOptionalNonNegative, {"-0", "x"}, kNotANumber},
      {FC::kOptionalNonNegative, {"-1.5"}, kNotNegative},
      {FC::kOptionalNonZero, {"", "-5"}, ""},
      {FC::kOptionalNonZero, {"0000000000000000"}, kTooLong},
      {FC::kOptionalNonZero, {"-0", "ten"}, kNotANumber},
      {FC::kOptionalNonZero, {"0", "0.000", "0e5"}, kNotZero},
      {FC::kPositive, {"29000", "1e-9"}, ""},
      {FC::kPositive, {"1234567890123456"}, kTooLong},
      {FC::kPositive, {"", "+0"}, kNotANumber},
      {FC::kPositive, {"0", "-3"}, kNotPositive},
  };
  for (const Case& c : cases) {
    for (const char* text : c.texts) {
      EXPECT_EQ(CheckField(c.check, text), c.message)
          << "check " << static_cast<int>(c.check) << " on \"" << text << "\"";
    }
  }
}

TEST(CheckDialogValuesTest, FirstFailureOfTheDialogWithItsField) {
  struct Case {
    int section;
    Fields fields;
    const char* comment;
    int field;  // -1: accepted
    const char* message;
  };
  const std::string comment50(50, 'c');
  const std::string comment51(51, 'c');
  const Case cases[] = {
      // Properties: X >= 0, E > 0, I > 0; the first failure reports.
      {kSectionProperties, {"0", "29000", "100"}, "", -1, ""},
      {kSectionProperties, {"-1", "0", ""}, "", 0, kNotNegative},
      {kSectionProperties, {"1", "0", ""}, "", 1, kNotPositive},
      {kSectionProperties, {"1", "29000", ""}, "", 2, kNotANumber},
      {kSectionReleases, {"-0"}, "", 0, kNotANumber},
      // Supports: zero is a given displacement or rotation; one of the two is needed.
      {kSectionSupports, {"3", "", "0"}, "", -1, ""},
      {kSectionSupports, {"3", "0", ""}, "", -1, ""},
      {kSectionSupports, {"3", " ", "\t"}, "", 1,
       "Please enter a value for Displacement or Rotation or both."},
      {kSectionSupports, {"3", "", "x"}, "", 2, kNotANumber},
      // Springs: given stiffnesses must not be zero.
      {kSectionSprings, {"3", "0", "5"}, "", 1, kNotZero},
      {kSectionSprings, {"3", "5", "0"}, "", 2, kNotZero},
      {kSectionSprings, {"3", "", ""}, "", 1,
       "Please enter a value for VSpring or RSpring or both."},
      // Point loads.
      {kSectionPointLoads, {"2", "-10", ""}, "", -1, ""},
      {kSectionPointLoads, {"2", "0", ""}, "", 1, kNotZero},
      {kSectionPointLoads, {"2", "", ""}, "", 1,
       "Please enter a value for Point Load or Moment or both."},
      {kSectionPointLoads, {"-2", "", ""}, "", 0, kNotNegative},  // fields before the pair
      // Uniform loads: negative or zero positions and loads are fine, equal ends are not,
      // compared by value.
      {kSectionUniformLoads, {"-5", "0", "0", "-1"}, "", -1, ""},
      {kSectionUniformLoads, {"5", "5.0", "1", "1"}, "", 0, "XStart can not be equal to XEnd."},
      {kSectionUniformLoads, {"0", "0e2", "1", "1"}, "", 0, "XStart can not be equal to XEnd."},
      {kSectionUniformLoads, {"5", "5", "1", ""}, "", 3, kNotANumber},  // fields first
      // The comment is checked before every field.
      {kSectionPointLoads, {"2", "1", ""}, comment50.c_str(), -1, ""},
      {kSectionPointLoads, {"-2", "", ""}, comment51.c_str(), 4,
       "Please enter no more than 50 characters."},
      // A load's case: blank (its default), or 1 to 12 letters, digits and "_".
      {kSectionPointLoads, {"2", "-1", "", "Snow_2026abc"}, "", -1, ""},
      {kSectionPointLoads, {"2", "-1", "", "Snow_2026abcd"}, "", 3,
       "Please enter a name of 1 to 12 letters, digits or underscores."},
      {kSectionUniformLoads, {"0", "1", "1", "1", "L r"}, "", 4,
       "Please enter a name of 1 to 12 letters, digits or underscores."},
  };
  for (const Case& c : cases) {
    DialogValues values{Padded(c.section, c.fields), c.comment};
    const FieldProblem p = CheckDialogValues(Form(c.section), values);
    EXPECT_EQ(p.field, c.field) << c.section << " " << c.fields[0];
    EXPECT_EQ(p.message, c.message) << c.section << " " << c.fields[0];
    EXPECT_EQ(p.ok(), c.field < 0);
  }
}

// ---- OK: the line written back ----

TEST(BuildDialogLineTest, LineInTheDialogsOwnForm) {
  struct Case {
    int section;
    Fields fields;
    const char* comment;
    const char* line;
  };
  const Case cases[] = {
      {kSectionProperties, {" 0 ", "29000", "1830\t"}, "", " X = 0; E = 29000; I = 1830;"},
      {kSectionReleases, {"12"}, "hinge", " X = 12; /hinge"},
      // Blank optional fields are left out.
      {kSectionSupports, {"3", "", "0"}, "wall", " X = 3; Rotation = 0; /wall"},
      {kSectionSupports, {"3", "0", "  "}, "", " X = 3; Disp = 0;"},
      {kSectionSprings, {"2", "", "100"}, "", " X = 2; RSpring = 100;"},
      {kSectionSprings, {"2", "5", "100"}, "", " X = 2; VSpring = 5; RSpring = 100;"},
      {kSectionPointLoads, {"4", "", "-8"}, "", " X = 4; Moment = -8;"},
      {kSectionUniformLoads, {"0", "10", "-1", "-2"}, "",
       " XStart = 0; XEnd = 10; UStart = -1; UEnd = -2;"},
      // The comment loses trailing blanks only.
      {kSectionReleases, {"1"}, "  lead and trail \t ", " X = 1; /  lead and trail"},
      {kSectionReleases, {"1"}, "   ", " X = 1;"},
      {kSectionLiveLoad, {"-0.8", "", "1.35", ""}, "", " U = -0.8; DeadMax = 1.35;"},
      {kSectionLiveLoad, {"-1", "1.5", "1.2", "0.9"}, "",
       " U = -1; LiveFactor = 1.5; DeadMax = 1.2; DeadMin = 0.9;"},
      // The case is written last, and only when given.
      {kSectionPointLoads, {"2", "-10", "", "W_1"}, "gust", " X = 2; PLoad = -10; Case = W_1; /gust"},
  };
  for (const Case& c : cases) {
    const auto& form = Form(c.section);
    EXPECT_EQ(BuildDialogLine(form, DialogValues{Padded(c.section, c.fields), c.comment}), c.line);
    // The dialog's own form opens and closes unchanged.
    EXPECT_EQ(BuildDialogLine(form, SplitDialogLine(form, c.line)), c.line);
  }
}

TEST(BuildDialogLineTest, LongestPointLoadLineIsNotLimited) {
  // Three 15-character values and a 50-character comment.
  const auto& form = Form(kSectionPointLoads);
  const DialogValues fifteen{
      Padded(kSectionPointLoads, {"12345678.012345", "-1.234567890123", "9.8765432101234"}),
      std::string(50, 'm')};
  ASSERT_TRUE(CheckDialogValues(form, fifteen).ok());
  const std::string line = BuildDialogLine(form, fifteen);
  EXPECT_EQ(line, " X = 12345678.012345; PLoad = -1.234567890123; Moment = 9.8765432101234; /" +
                      std::string(50, 'm'));
  EXPECT_EQ(line.size(), 124u);
  EXPECT_EQ((std::string(SectionPrefix(kSectionPointLoads)) + line).size(), 135u);
  const DialogValues back = SplitDialogLine(form, line);
  EXPECT_EQ(back.fields, fifteen.fields);
  EXPECT_EQ(back.comment, fifteen.comment);
}

// ---- A value the program computed, typed into one field ----

TEST(FieldNumberTextTest, SixDigitsTheCLocaleAndNeverMinusZero) {
  const std::pair<double, const char*> cases[] = {
      {12.5, "12.5"},        {0.1 + 0.2, "0.3"},      {7 * 0.1, "0.7"},
      {-0.0, "0"},           {0, "0"},                {1234567, "1.23457e+06"},
      {33.33333333, "33.3333"}, {0.00001, "1e-05"},
  };
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(FieldNumberText(value), text) << value;
    EXPECT_TRUE(IsValidNumber(FieldNumberText(value))) << value;
  }
}

TEST(LineWithFieldValueTest, TheDialogsOwnLineWithOneFieldTypedOver) {
  struct Case {
    int section;
    const char* line;
    int field;
    const char* value;
    const char* written;  // "" when the dialog refuses
  };
  const Case cases[] = {
      // Spacing and field order become the dialog's; the comment stays, less trailing blanks.
      {kSectionSupports, "  Disp =  0 ;X = 3; / wall ", 0, "7.2", " X = 7.2; Disp = 0; / wall"},
      {kSectionSupports, " X = 3; Rotation = 0;", 0, "0", " X = 0; Rotation = 0;"},
      {kSectionUniformLoads, " XStart = 2; XEnd = 6; UStart = -1; UEnd = -2;", 1, "8",
       " XStart = 2; XEnd = 8; UStart = -1; UEnd = -2;"},
      // XStart equal to XEnd, and a negative position, are refused as OK refuses them.
      {kSectionUniformLoads, " XStart = 2; XEnd = 6; UStart = -1; UEnd = -1;", 1, "2.0", ""},
      {kSectionReleases, " X = 2;", 0, "-1", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LineWithFieldValue(Form(c.section), c.line, c.field, c.value), c.written)
        << c.line;
  }
  // A fault the line already had (a comment longer than the dialog takes, read from a file)
  // is not the new value's to refuse.
  const std::string longComment = " X = 4; PLoad = -5; /" + std::string(60, 'c');
  EXPECT_EQ(LineWithFieldValue(Form(kSectionPointLoads), longComment, 0, "5"),
            " X = 5; PLoad = -5; /" + std::string(60, 'c'));
}

// ---- The Units dialog ----

TEST(UnitsChoiceTest, LaterNamesWinUserDefinedChecksNoneAndTexts) {
  const std::pair<const char*, int> cases[] = {
      {"", 2},           {" Consistent;", 2}, {" English;", 0},
      {"Metric;", 1},    {"english;", 2},     {" User Defined;", 3},
      {"Metric; English;", 1},  // Metric is tested after English
      {"User Defined; English\r\nMetric", 3},
  };
  for (const auto& [text, choice] : cases) EXPECT_EQ(UnitsChoiceForText(text), choice) << text;
  EXPECT_EQ(UnitsTextForChoice(0, " Metric;"), "English;");
  EXPECT_EQ(UnitsTextForChoice(1, ""), "Metric;");
  EXPECT_EQ(UnitsTextForChoice(2, ""), "Consistent;");
  EXPECT_EQ(UnitsTextForChoice(3, ""), "User Defined;");
  EXPECT_EQ(UnitsTextForChoice(-1, " User Defined; /kN, mm"), " User Defined; /kN, mm");
}

}  // namespace
TEST(GetLinePositionTest, FirstFieldXOrXStartWithAValidNumber) {
  const std::pair<const char*, double> cases[] = {
      {" X = 5; PLoad = 1;", 5},
      {" XStart = -2.5; XEnd = 4;", -2.5},
      {"X = 7;", 7},
      {" X = 1e1;", 10},
      {" PLoad = 1; X = 5;", 0},   // X is not the first field
      {" XEnd = 4; XStart = 1;", 0},
      {" X = abc;", 0},
      {" X = -0;", 0},
      {" X = 5", 0},      // a field without its ";" is empty
      {" X=5;", 0},       // the key loses the character before "="
      {" x = 5;", 0},
      {"Point Loads", 0},
      {"", 0},
  };
  for (const auto& [text, x] : cases) EXPECT_EQ(GetLinePosition(text), x) << text;
}

}  // namespace spanlab
