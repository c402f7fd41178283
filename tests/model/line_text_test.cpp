#include "model/line_text.h"

#include <gtest/gtest.h>

namespace spanlab {
namespace {

TEST(SplitLineTest, DataLineAsTheEditorWritesIt) {
  const LineParts p = SplitLine("Support: X = 30; Disp = 0; Rotation = 0; /right wall");
  EXPECT_EQ(p.section, "Support");
  EXPECT_EQ(p.field[0], "X = 30");
  EXPECT_EQ(p.field[1], "Disp = 0");
  EXPECT_EQ(p.field[2], "Rotation = 0");
  EXPECT_EQ(p.field[3], "");
  EXPECT_EQ(p.comment, "right wall");
}

TEST(SplitLineTest, FourFieldsAndNoComment) {
  const LineParts p = SplitLine("Uniform Load: XStart = 0; XEnd = 30; UStart = 1.2; UEnd = 0.8;");
  EXPECT_EQ(p.section, "Uniform Load");
  EXPECT_EQ(p.field[0], "XStart = 0");
  EXPECT_EQ(p.field[1], "XEnd = 30");
  EXPECT_EQ(p.field[2], "UStart = 1.2");
  EXPECT_EQ(p.field[3], "UEnd = 0.8");
  EXPECT_EQ(p.comment, "");
}

TEST(SplitLineTest, SectionAndCommentAreNotTrimmed) {
  const LineParts p = SplitLine(" Support : X = 5; /  note ");
  EXPECT_EQ(p.section, " Support ");
  EXPECT_EQ(p.field[0], "X = 5");
  EXPECT_EQ(p.comment, "  note ");
}

TEST(SplitLineTest, FieldsAreTrimmedOfEveryKindOfWhiteSpace) {
  const LineParts p = SplitLine("Spring:\t X = 3 \r; \v\fVSpring = 10\n;  ;");
  EXPECT_EQ(p.field[0], "X = 3");
  EXPECT_EQ(p.field[1], "VSpring = 10");
  EXPECT_EQ(p.field[2], "");  // only blanks before the ";"
  EXPECT_EQ(p.field[3], "");
}

TEST(SplitLineTest, CommentIsCutAtTheFirstSlashBeforeAnythingElse) {
  // A "/" inside what looks like a field ends the data part of the line.
  LineParts p = SplitLine("Point Load: X = 5; PLoad = 10/2; Moment = 3;");
  EXPECT_EQ(p.section, "Point Load");
  EXPECT_EQ(p.field[0], "X = 5");
  EXPECT_EQ(p.field[1], "");  // "PLoad = 10" lost its ";"
  EXPECT_EQ(p.comment, "2; Moment = 3;");

  // A "/" before the ":" leaves no section; the colon is part of the comment.
  p = SplitLine("Support/: X = 1;");
  EXPECT_EQ(p.section, "");
  EXPECT_EQ(p.comment, ": X = 1;");
  p = SplitLine("/Two-span floor beam: X = 1;");
  EXPECT_EQ(p.section, "");
  EXPECT_EQ(p.field[0], "");
  EXPECT_EQ(p.comment, "Two-span floor beam: X = 1;");

  // Further slashes stay in the comment.
  p = SplitLine("Support: X = 1; /a/b");
  EXPECT_EQ(p.comment, "a/b");
}

TEST(SplitLineTest, UnterminatedFieldIsNotTaken) {
  const LineParts p = SplitLine("Spring: X = 3; VSpring = 10");
  EXPECT_EQ(p.field[0], "X = 3");
  EXPECT_EQ(p.field[1], "");
  EXPECT_EQ(p.field[2], "");
  EXPECT_EQ(p.field[3], "");
}

TEST(SplitLineTest, TextAfterTheFourthSemicolonIsDropped) {
  const LineParts p = SplitLine("Uniform Load: a = 1; b = 2; c = 3; d = 4; e = 5; f = 6;");
  EXPECT_EQ(p.field[0], "a = 1");
  EXPECT_EQ(p.field[3], "d = 4");
  EXPECT_EQ(p.comment, "");
}

TEST(SplitLineTest, SectionEndsAtTheFirstColon) {
  LineParts p = SplitLine("File Format:3.0");
  EXPECT_EQ(p.section, "File Format");
  EXPECT_EQ(p.field[0], "");  // "3.0" has no ";"

  // A second ":" belongs to the fields.
  p = SplitLine("Units: English: x;");
  EXPECT_EQ(p.section, "Units");
  EXPECT_EQ(p.field[0], "English: x");

  // Without ":" there is no section, but fields are still split off.
  p = SplitLine("X = 5; E = 2;");
  EXPECT_EQ(p.section, "");
  EXPECT_EQ(p.field[0], "X = 5");
  EXPECT_EQ(p.field[1], "E = 2");
}

TEST(SplitLineTest, EmptyLineGivesAllEmpty) {
  const LineParts p = SplitLine("");
  EXPECT_EQ(p.section, "");
  for (const std::string& f : p.field) EXPECT_EQ(f, "");
  EXPECT_EQ(p.comment, "");
}

TEST(SplitKeyValueTest, KeyDropsTheCharacterInFrontOfEquals) {
  struct Case {
    const char* field;
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {"X = 5", "X", "5"},
      {"XStart = 0", "XStart", "0"},
      {"X=5", "", "5"},  // the "X" is the dropped character
      {"XY=5", "X", "5"},
      {"X= 5", "", "5"},
      {"X  = 5", "X", "5"},  // the trailing blank is trimmed off
      {"\tRotation\t=\t0.5 ", "Rotation", "0.5"},
      {"=5", "", "5"},  // nothing in front of "="
      {"X =", "X", ""},
      {"X = 5 = 6", "X", "5 = 6"},  // split at the first "="
      {"X 5", "", ""},              // no "=" at all
      {"", "", ""},
  };
  for (const Case& c : cases) {
    const KeyValue kv = SplitKeyValue(c.field);
    EXPECT_EQ(kv.key, c.key) << "field \"" << c.field << '"';
    EXPECT_EQ(kv.value, c.value) << "field \"" << c.field << '"';
  }
}

TEST(TrimWhiteSpaceTest, TrimsOnlyTheSixWhiteSpaceCharacters) {
  EXPECT_EQ(TrimWhiteSpace(" \t\r\n\v\fa b\f\v\n\r\t "), "a b");
  EXPECT_EQ(TrimWhiteSpace("x"), "x");
  EXPECT_EQ(TrimWhiteSpace(" \t "), "");
  EXPECT_EQ(TrimWhiteSpace(""), "");
  EXPECT_EQ(TrimWhiteSpace("_a_"), "_a_");
  EXPECT_EQ(TrimWhiteSpace(std::string_view("\0a", 2)), std::string_view("\0a", 2));
  // The neighbours of the white-space codes, and bytes above 0x7F, stay.
  EXPECT_EQ(TrimWhiteSpace("\x08\x1f a \x0e\x7f"), "\x08\x1f a \x0e\x7f");
  EXPECT_EQ(TrimWhiteSpace("\xa0\x85" "a\x89\x8d"), "\xa0\x85" "a\x89\x8d");
  EXPECT_EQ(TrimWhiteSpace("\x0e a\x08"), "\x0e a\x08");
  EXPECT_EQ(TrimWhiteSpace("\x0b\x0c\x0d\x85\x0b"), "\x85");
}

}  // namespace
}  // namespace spanlab
