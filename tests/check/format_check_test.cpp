#include "check/format_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/message_log.h"

namespace spanlab {
namespace {

struct Case {
  const char* line;
  const char* output;  // the whole log text the line produces
};

// Runs every case on its own log; the error count must equal the number of message lines.
void ExpectOutputs(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    MessageLog log;
    int64_t errors = 0;
    CheckLineFormat(c.line, errors, log);
    EXPECT_EQ(log.Text(), c.output) << "line: [" << c.line << "]";
    int64_t lines = 0;
    for (size_t at = log.Text().find("\r\n"); at != std::string::npos;
         at = log.Text().find("\r\n", at + 2)) {
      ++lines;
    }
    EXPECT_EQ(errors, lines) << "line: [" << c.line << "]";
  }
}

TEST(CheckLineFormatTest, WellFormedLinesOfEverySection) {
  ExpectOutputs({
      {"Units: English;", ""},
      {"Units: Metric;", ""},
      {"Units:Consistent;", ""},
      {"Member Property: X = 0; E = 29000; I = 448;", ""},
      {"Member Property: X = 12.5; E = 2.9e4; I = 0;", ""},
      {"Moment Release: X = 32;", ""},
      {"Support: X = 0; Disp = 0;", ""},
      {"Support: X = 0; Disp = -0.25; Rotation = 0;", ""},
      {"Support: X = 0; Rotation = 0.001;", ""},
      {"Spring: X = 40; VSpring = 25;", ""},
      {"Spring: X = 40; VSpring = 25; RSpring = 1e5;", ""},
      {"Spring: X = 40; RSpring = 100;", ""},
      {"Point Load: X = 10; PLoad = -12;", ""},
      {"Point Load: X = 50; PLoad = -8; Moment = 15;", ""},
      {"Point Load: X = 50; Moment = 15;", ""},
      {"Uniform Load: XStart = 0; XEnd = 60; UStart = -0.8; UEnd = -0.8;", ""},
      {"Uniform Load: XStart = 60; XEnd = 0; UStart = 0; UEnd = +1.5;", ""},
      {"Support: X = 0; Disp = 0; ;", ""},  // a blank field 3 is not looked at
  });
}

TEST(CheckLineFormatTest, UnknownSectionGivesF3WithTheWholeLine) {
  ExpectOutputs({
      {"Beam: X = 1;", "Error F3 - Line type not found: Beam: X = 1;\r\n"},
      {"", "Error F3 - Line type not found: \r\n"},
      {" Support: X = 0; Disp = 0;",
       "Error F3 - Line type not found:  Support: X = 0; Disp = 0;\r\n"},
      {"support: X = 0; Disp = 0;",
       "Error F3 - Line type not found: support: X = 0; Disp = 0;\r\n"},
      {"Support X = 0; Disp = 0;", "Error F3 - Line type not found: Support X = 0; Disp = 0;\r\n"},
      {"File Format:3.0", "Error F3 - Line type not found: File Format:3.0\r\n"},
      {"Beam: X = 1; /a note", "Error F3 - Line type not found: Beam: X = 1; /a note\r\n"},
  });
}

TEST(CheckLineFormatTest, UnitsOtherThanTheThreeNamesGiveF4) {
  ExpectOutputs({
      {"Units: User Defined;", "Error F4 - Invalid units specified.\r\n"},
      {"Units: Metric", "Error F4 - Invalid units specified.\r\n"},  // field 1 never ended
      {"Units: english;", "Error F4 - Invalid units specified.\r\n"},
      {"Units: ;", "Error F4 - Invalid units specified.\r\n"},
  });
}

TEST(CheckLineFormatTest, KeyErrorsF5ToF10) {
  ExpectOutputs({
      {"Member Property: X = 0; E = 29000;",
       "Error F5 - Invalid Member Property: Member Property: X = 0; E = 29000;\r\n"},
      {"Member Property: X = 0; I = 448; E = 29000;",
       "Error F5 - Invalid Member Property: Member Property: X = 0; I = 448; E = 29000;\r\n"
       "Error F5 - Invalid Member Property: Member Property: X = 0; I = 448; E = 29000;\r\n"},
      {"Moment Release: Y = 5;", "Error F6 - Invalid Moment Release: Moment Release: Y = 5;\r\n"},
      {"Support: X = 0; Disp = 0", "Error F7 - Invalid Support: Support: X = 0; Disp = 0\r\n"},
      {"Support: X = 0;", "Error F7 - Invalid Support: Support: X = 0;\r\n"},
      {"Support: Y = 0; Disp = 0;", "Error F7 - Invalid Support: Support: Y = 0; Disp = 0;\r\n"},
      {"Support: X = 0; Disp = 0; Disp = 1;",
       "Error F7 - Invalid Support: Support: X = 0; Disp = 0; Disp = 1;\r\n"},
      {"Spring: X = 5; Disp = 1;", "Error F8 - Invalid Spring: Spring: X = 5; Disp = 1;\r\n"},
      {"Spring: X = 5; VSpring = 1; VSpring = 2;",
       "Error F8 - Invalid Spring: Spring: X = 5; VSpring = 1; VSpring = 2;\r\n"},
      {"Point Load: X = 5; Force = 1;",
       "Error F9 - Invalid Point Load: Point Load: X = 5; Force = 1;\r\n"},
      {"Point Load: X = 5; PLoad = 1; PLoad = 2;",
       "Error F9 - Invalid Point Load: Point Load: X = 5; PLoad = 1; PLoad = 2;\r\n"},
      {"Uniform Load: XStart = 0; XEnd = 10; UStart = 1;",
       "Error F10 - Invalid Uniform Load: Uniform Load: XStart = 0; XEnd = 10; UStart = 1;\r\n"},
      {"Uniform Load: X = 0; XEnd = 10; UStart = 1; UEnd = 1;",
       "Error F10 - Invalid Uniform Load: Uniform Load: X = 0; XEnd = 10; UStart = 1; UEnd = "
       "1;\r\n"},
  });
}

TEST(CheckLineFormatTest, ValueErrorsF11ToF23) {
  ExpectOutputs({
      {"Member Property: X = a; E = 1; I = 1;",
       "Error F11 - Invalid X value: Member Property: X = a; E = 1; I = 1;\r\n"},
      {"Moment Release: X = 5 ft;", "Error F11 - Invalid X value: Moment Release: X = 5 ft;\r\n"},
      {"Support: X = ; Disp = 0;", "Error F11 - Invalid X value: Support: X = ; Disp = 0;\r\n"},
      {"Spring: X = 1,5; VSpring = 1;",
       "Error F11 - Invalid X value: Spring: X = 1,5; VSpring = 1;\r\n"},
      {"Point Load: X = inf; PLoad = 1;",
       "Error F11 - Invalid X value: Point Load: X = inf; PLoad = 1;\r\n"},
      {"Member Property: X = 0; E = 2 9; I = 1;",
       "Error F12 - Invalid E value: Member Property: X = 0; E = 2 9; I = 1;\r\n"},
      {"Member Property: X = 0; E = 1; I = 1e999;",
       "Error F13 - Invalid I value: Member Property: X = 0; E = 1; I = 1e999;\r\n"},
      {"Support: X = 0; Disp = 0x10;",
       "Error F14 - Invalid Disp value: Support: X = 0; Disp = 0x10;\r\n"},
      {"Support: X = 0; Disp = 0; Rotation = r;",
       "Error F15 - Invalid Rotation value: Support: X = 0; Disp = 0; Rotation = r;\r\n"},
      {"Support: X = 0; Rotation = nan;",
       "Error F15 - Invalid Rotation value: Support: X = 0; Rotation = nan;\r\n"},
      {"Spring: X = 0; VSpring = k;",
       "Error F16 - Invalid VSpring value: Spring: X = 0; VSpring = k;\r\n"},
      {"Spring: X = 0; VSpring = 1; RSpring = k;",
       "Error F17 - Invalid RSpring value: Spring: X = 0; VSpring = 1; RSpring = k;\r\n"},
      {"Spring: X = 0; RSpring = k;",
       "Error F17 - Invalid RSpring value: Spring: X = 0; RSpring = k;\r\n"},
      {"Point Load: X = 0; PLoad = p;",
       "Error F18 - Invalid PLoad value: Point Load: X = 0; PLoad = p;\r\n"},
      {"Point Load: X = 0; PLoad = 1; Moment = m;",
       "Error F19 - Invalid Moment value: Point Load: X = 0; PLoad = 1; Moment = m;\r\n"},
      {"Point Load: X = 0; Moment = m;",
       "Error F19 - Invalid Moment value: Point Load: X = 0; Moment = m;\r\n"},
      {"Uniform Load: XStart = a; XEnd = b; UStart = c; UEnd = d;",
       "Error F20 - Invalid XStart value: Uniform Load: XStart = a; XEnd = b; UStart = c; UEnd = "
       "d;\r\n"
       "Error F21 - Invalid XEnd value: Uniform Load: XStart = a; XEnd = b; UStart = c; UEnd = "
       "d;\r\n"
       "Error F22 - Invalid UStart value: Uniform Load: XStart = a; XEnd = b; UStart = c; UEnd = "
       "d;\r\n"
       "Error F23 - Invalid UEnd value: Uniform Load: XStart = a; XEnd = b; UStart = c; UEnd = "
       "d;\r\n"},
  });
}

TEST(CheckLineFormatTest, OneErrorPerFieldInFieldOrder) {
  ExpectOutputs({
      // "X=0" loses the character in front of "=", so its key is empty.
      {"Member Property: X=0; E = abc; I = 100;",
       "Error F5 - Invalid Member Property: Member Property: X=0; E = abc; I = 100;\r\n"
       "Error F12 - Invalid E value: Member Property: X=0; E = abc; I = 100;\r\n"},
      // A wrong key hides the value: no F11 for "Z = abc".
      {"Moment Release: Z = abc;",
       "Error F6 - Invalid Moment Release: Moment Release: Z = abc;\r\n"},
      {"Support: X = z; Disp = y; Rotation = w;",
       "Error F11 - Invalid X value: Support: X = z; Disp = y; Rotation = w;\r\n"
       "Error F14 - Invalid Disp value: Support: X = z; Disp = y; Rotation = w;\r\n"
       "Error F15 - Invalid Rotation value: Support: X = z; Disp = y; Rotation = w;\r\n"},
      {"Spring: Y = 1; Force = 2;",
       "Error F8 - Invalid Spring: Spring: Y = 1; Force = 2;\r\n"
       "Error F8 - Invalid Spring: Spring: Y = 1; Force = 2;\r\n"},
  });
}

TEST(CheckLineFormatTest, FieldsBeyondTheCheckedOnesAreNotLookedAt) {
  ExpectOutputs({
      {"Point Load: X = 5; Moment = 10; PLoad = 3;", ""},  // field 3 after "Moment"
      {"Support: X = 0; Rotation = 0; junk;", ""},
      {"Spring: X = 0; RSpring = 1; VSpring = x;", ""},
      {"Moment Release: X = 5; junk; = =;", ""},
      {"Units: Metric; X = y;", ""},
      {"Uniform Load: XStart = 0; XEnd = 1; UStart = 2; UEnd = 3; XStart = bad;", ""},
  });
}

TEST(CheckLineFormatTest, ZeroIsValidOnlyWhenWrittenWithALeadingZeroDigit) {
  ExpectOutputs({
      {"Support: X = 0; Disp = 0;", ""},
      {"Support: X = 0.0; Disp = 0e3;", ""},
      {"Support: X = -0; Disp = 0;", "Error F11 - Invalid X value: Support: X = -0; Disp = 0;\r\n"},
      {"Support: X = 0; Disp = -0;",
       "Error F14 - Invalid Disp value: Support: X = 0; Disp = -0;\r\n"},
      {"Support: X = 0; Disp = +0;",
       "Error F14 - Invalid Disp value: Support: X = 0; Disp = +0;\r\n"},
      {"Support: X = 0; Disp = .0;",
       "Error F14 - Invalid Disp value: Support: X = 0; Disp = .0;\r\n"},
      {"Point Load: X = 0; PLoad = -0.0;",
       "Error F18 - Invalid PLoad value: Point Load: X = 0; PLoad = -0.0;\r\n"},
  });
}

TEST(CheckLineFormatTest, CommentsAndDescriptionLinesNeverCauseErrors) {
  ExpectOutputs({
      {"Point Load: X = 5; PLoad = 1; /; Moment = x; Beam: =;", ""},
      {"Support: X = 0; Disp = 0; /X = -0; Disp = ;", ""},
      {"/", ""},
      {"/Beam: X = ; Units: User Defined; ;;;", ""},
      {"/ Support: X = 0", ""},
  });
  // The comment is part of the line that an error message repeats.
  ExpectOutputs({{"Support: X = q; Disp = 0; /left wall",
                  "Error F11 - Invalid X value: Support: X = q; Disp = 0; /left wall\r\n"}});
}

// Every field of every section through the section table: a well-formed line passes, a wrong
// key gives the section's key error and a bad value the field's own value error, each with the
// whole line. The names, keys and codes here are the documented ones, not read from the table.
TEST(CheckLineFormatTest, EveryFieldOfEverySectionHasItsKeyAndValueErrors) {
  struct Field {
    const char* key;
    int valueCode;
  };
  struct Section {
    int id;
    const char* name;
    int keyCode;
    std::vector<Field> fields;
  };
  const Section sections[] = {
      {kSectionProperties, "Member Property", 5, {{"X", 11}, {"E", 12}, {"I", 13}}},
      {kSectionReleases, "Moment Release", 6, {{"X", 11}}},
      {kSectionSupports, "Support", 7, {{"X", 11}, {"Disp", 14}, {"Rotation", 15}}},
      {kSectionSprings, "Spring", 8, {{"X", 11}, {"VSpring", 16}, {"RSpring", 17}}},
      {kSectionPointLoads, "Point Load", 9, {{"X", 11}, {"PLoad", 18}, {"Moment", 19}}},
      {kSectionUniformLoads,
       "Uniform Load",
       10,
       {{"XStart", 20}, {"XEnd", 21}, {"UStart", 22}, {"UEnd", 23}}},
  };
  // The line with every field well formed, except field `bad` whose key or value is spoiled.
  auto line = [](const Section& s, size_t bad, const char* badKey, const char* badValue) {
    std::string text = std::string(s.name) + ":";
    for (size_t i = 0; i < s.fields.size(); ++i) {
      text += " " + std::string(i == bad && badKey ? badKey : s.fields[i].key) + " = " +
              (i == bad && badValue ? badValue : "1") + ";";
    }
    return text;
  };
  for (const Section& s : sections) {
    SCOPED_TRACE(s.name);
    ASSERT_EQ(FindSection(s.name), &SectionById(s.id));
    ExpectOutputs({{line(s, s.fields.size(), nullptr, nullptr).c_str(), ""}});
    const std::string keyError =
        "Error F" + std::to_string(s.keyCode) + " - Invalid " + s.name + ": ";
    for (size_t i = 0; i < s.fields.size(); ++i) {
      const std::string wrongKey = line(s, i, "Q", nullptr);
      const std::string wrongValue = line(s, i, nullptr, "1 ft");
      const std::string valueError = "Error F" + std::to_string(s.fields[i].valueCode) +
                                     " - Invalid " + s.fields[i].key + " value: ";
      ExpectOutputs({{wrongKey.c_str(), (keyError + wrongKey + "\r\n").c_str()},
                     {wrongValue.c_str(), (valueError + wrongValue + "\r\n").c_str()}});
    }
  }
  // The second key of an either-or section may also stand alone in field 2.
  ExpectOutputs({
      {"Support: X = 1; Rotation = -0;",
       "Error F15 - Invalid Rotation value: Support: X = 1; Rotation = -0;\r\n"},
      {"Spring: X = 1; RSpring = x;",
       "Error F17 - Invalid RSpring value: Spring: X = 1; RSpring = x;\r\n"},
      {"Point Load: X = 1; Moment = ;",
       "Error F19 - Invalid Moment value: Point Load: X = 1; Moment = ;\r\n"},
  });
}

// The Live Load line takes its four keys in any order; only U is required.
TEST(CheckLineFormatTest, LiveLoadKeysInAnyOrder) {
  ExpectOutputs({
      {"Live Load: U = -0.8; LiveFactor = 1.5; DeadMax = 1.35; DeadMin = 1;", ""},
      {"Live Load: DeadMin = 0.9; U = -1; /floor", ""},
      {"Live Load: U = 0;", ""},
      {"Live Load: LiveFactor = 1.5;",
       "Error F24 - Invalid Live Load: Live Load: LiveFactor = 1.5;\r\n"},
      {"Live Load: U = -1; U = -2;", "Error F24 - Invalid Live Load: Live Load: U = -1; U = -2;\r\n"},
      {"Live Load: U = -1; deadmax = 1;",
       "Error F24 - Invalid Live Load: Live Load: U = -1; deadmax = 1;\r\n"},
      // An unknown key and the missing U: two errors.
      {"Live Load: Q = 1;", "Error F24 - Invalid Live Load: Live Load: Q = 1;\r\n"
                            "Error F24 - Invalid Live Load: Live Load: Q = 1;\r\n"},
      {"Live Load: U = 1 ft; LiveFactor = x; DeadMax = -0; DeadMin = ;",
       "Error F25 - Invalid U value: Live Load: U = 1 ft; LiveFactor = x; DeadMax = -0; DeadMin = ;\r\n"
       "Error F26 - Invalid LiveFactor value: Live Load: U = 1 ft; LiveFactor = x; DeadMax = -0; DeadMin = ;\r\n"
       "Error F27 - Invalid DeadMax value: Live Load: U = 1 ft; LiveFactor = x; DeadMax = -0; DeadMin = ;\r\n"
       "Error F28 - Invalid DeadMin value: Live Load: U = 1 ft; LiveFactor = x; DeadMax = -0; DeadMin = ;\r\n"},
      {"Live load: U = -1;", "Error F3 - Line type not found: Live load: U = -1;\r\n"},
  });
}

// The run checks lines it has split once; the result is the same as splitting on the way.
TEST(CheckLineFormatTest, ALineSplitBeforehandIsCheckedAlike) {
  const std::vector<std::string> lines = {"Units: Metric;",
                                          "Units: User Defined;",
                                          "/any: = ;",
                                          "",
                                          "Beam: X = 1;",
                                          "Support: X = 0; Disp = q; Rotation = 0; /wall",
                                          "Point Load: X=5; Moment = 1;",
                                          "Uniform Load: XStart = 0; XEnd = 1; UStart = 1;"};
  MessageLog splitLog, wholeLog;
  int64_t splitErrors = 0, wholeErrors = 0;
  const std::vector<SectionLine> split = SplitSectionLines(lines);
  for (size_t i = 0; i < lines.size(); ++i) {
    CheckLineFormat(lines[i], split[i], splitErrors, splitLog);
    CheckLineFormat(lines[i], wholeErrors, wholeLog);
  }
  EXPECT_EQ(splitLog.Text(), wholeLog.Text());
  EXPECT_EQ(splitErrors, 6);
  EXPECT_EQ(wholeErrors, 6);
}

}  // namespace
}  // namespace spanlab

namespace spanlab {
namespace {

// Load cases, combinations, the deflection limit and the capacities (F29..F41): each fault its
// own message with the whole line; the Case field anywhere among a load's fields, the rest read
// as without it.
TEST(CheckLineFormatTest, CasesCombinationsLimitsAndCapacities) {
  const auto e = [](const char* code, const char* text, const std::string& line) {
    return std::string("Error ") + code + " - " + text + ": " + line + "\r\n";
  };
  const std::vector<std::string> good = {
      "Point Load: X = 10; PLoad = -12; Case = L;",
      "Point Load: Case = Snow_1; X = 10; Moment = 3;",
      "Uniform Load: XStart = 0; XEnd = 60; UStart = -0.8; UEnd = -0.8; Case = S;",
      "Live Load: Case = Lr; U = -1; LiveFactor = 1.6;",
      "Load Combination: Name = ULS2; D = 1.2; L = 1.6; S = 0.5; /ASCE 2",
      "Service Combination: L = 1; Name = SLS; D = -1e3;",
      "Deflection Limit: Cantilever = 180; Span = 360;",
      "Capacity: Shear = 90;",
      "Capacity: Moment = 350; MomentNeg = 300; Shear = 90;"};
  for (const std::string& line : good) ExpectOutputs({{line.c_str(), ""}});
  const std::vector<std::pair<std::string, std::string>> bad = {
      {"Support: X = 0; Disp = 0; Case = D;", "F30|Case can not be given on this line"},
      {"Member Property: X = 0; E = 1; I = 1; Case = D;", "F30|Case can not be given on this line"},
      {"Point Load: X = 5; PLoad = -1; Case = bad name;", "F29|Invalid Case name"},
      {"Point Load: X = 5; PLoad = -1; Case = ThirteenChars;", "F29|Invalid Case name"},
      {"Point Load: X = 5; PLoad = -1; Case = ;", "F29|Invalid Case name"},
      {"Uniform Load: XStart = 0; XEnd = 1; UStart = 1; UEnd = 1; Case = A; Case = B;",
       "F10|Invalid Uniform Load"},
      {"Load Combination: Name = X; D = 1; D = 2;", "F31|Invalid Load Combination"},
      {"Load Combination: D = 1;", "F31|Invalid Load Combination"},
      {"Load Combination: Name = X; Name = Y;", "F31|Invalid Load Combination"},
      {"Service Combination: Name = A; D-1 = 1;", "F32|Invalid Service Combination"},
      {"Service Combination: Name = a b;", "F33|Invalid combination Name"},
      {"Load Combination: Name = A; D = 1.2x;", "F34|Invalid combination factor"},
      {"Capacity: ;", "F38|Invalid Capacity"},
      {"Capacity: Moment = 1; Moment = 2;", "F38|Invalid Capacity"},
      {"Deflection Limit: Span = L360;", "F36|Invalid Span value"},
      {"Deflection Limit: Cantilever = x;", "F37|Invalid Cantilever value"},
      {"Capacity: Moment = -;", "F39|Invalid Moment value"},
      {"Capacity: Shear = 9 kips;", "F40|Invalid Shear value"},
      {"Capacity: MomentNeg = 1..2;", "F41|Invalid MomentNeg value"},
  };
  for (const auto& [line, message] : bad) {
    const size_t bar = message.find('|');
    ExpectOutputs({{line.c_str(),
                    e(message.substr(0, bar).c_str(), message.substr(bar + 1).c_str(), line)
                        .c_str()}});
  }
}

}  // namespace
}  // namespace spanlab
