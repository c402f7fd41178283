#include "check/data_check.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "check/message_log.h"
#include "model/number_text.h"

namespace spanlab {

namespace {

struct Checked {
  std::string text;
  int64_t errors = 0;
  int64_t warnings = 0;
};

// Builds the items of the format line followed by `lines` and runs the data check on them.
Checked Check(const std::vector<std::string>& lines) {
  std::vector<std::string> all = {"File Format:3.0"};
  all.insert(all.end(), lines.begin(), lines.end());
  const ModelItems items = BuildModelItems(all);
  Checked c;
  MessageLog log;
  CheckModelData(items, c.errors, c.warnings, log);
  c.text = log.Text();
  return c;
}

// A beam that passes every check; tests add the lines they are about.
std::vector<std::string> Sound(std::vector<std::string> more, const char* units = "English") {
  std::vector<std::string> lines = {std::string("Units: ") + units + ";",
                                    "Member Property: X = 0; E = 29000; I = 448;",
                                    "Support: X = 0; Disp = 0;", "Support: X = 30; Disp = 0;"};
  lines.insert(lines.end(), more.begin(), more.end());
  return lines;
}

constexpr const char* kD1 = "Error D1- The beam has zero length. It can not be displayed.\r\n";
constexpr const char* kD2 = "Error D2 - Beam property must be specified at X = 0.\r\n";
constexpr const char* kD3 =
    "Error D3 - Member property X must be greater than or equal to zero.\r\n";
constexpr const char* kD5 = "Error D5 - Support X must be greater than or equal to zero.\r\n";
constexpr const char* kD7 = "Error D7 - Spring X must be greater than or equal to zero.\r\n";
constexpr const char* kD9 = "Error D9 - At least 1 Spring or Support must be defined.\r\n";
constexpr const char* kD10 = "Error D10 - Moment Release can not be specified at member end.\r\n";
constexpr const char* kD11 = "Error D11 - Moment release X must be greater than zero.\r\n";
constexpr const char* kD13 = "Error D13 - Point load X must be greater than or equal to zero.\r\n";
constexpr const char* kD14 =
    "Error D14 - Uniform load XStart must be greater than or equal to zero.\r\n";
constexpr const char* kD15 =
    "Error D15 - Uniform load XEnd must be greater than or equal to zero.\r\n";

std::string D4(const char* x) {
  return std::string("Error D4 - Two beam properties were specified at the same X = ") + x + "\r\n";
}
std::string D6(const char* x) {
  return std::string("Error D6 - Two beam supports were specified at the same X = ") + x + ".\r\n";
}
std::string D8(const char* x) {
  return std::string("Error D8 - Two beam springs were specified at the same X = ") + x + ".\r\n";
}
std::string D12(const char* x) {
  return std::string("Error D12 - Two moment releases were specified at the same X = ") + x +
         ".\r\n";
}
std::string W1(const char* x) {
  return std::string("Warning W1 - Two point loads were specified at the same X = ") + x + ".\r\n";
}
std::string W2(const char* start, const char* end) {
  return std::string("Warning W2 - Two Uniform loads were specified at the same XStart = ") +
         start + " and XEnd = " + end + ".\r\n";
}

TEST(CheckModelDataTest, SoundModelGivesNothing) {
  const Checked c = Check(Sound({"Moment Release: X = 12;", "Point Load: X = 15; PLoad = -10;"}));
  EXPECT_EQ(c.text, "");
  EXPECT_EQ(c.errors, 0);
  EXPECT_EQ(c.warnings, 0);
}

TEST(CheckModelDataTest, OneLiveLoadLineWithFactorsOfZeroOrMore) {
  EXPECT_EQ(Check(Sound({"Live Load: U = -1; LiveFactor = 0; DeadMin = 0;"})).text, "");
  const Checked twice =
      Check(Sound({"Live Load: U = -1;", "Live Load: U = -2;", "Live Load: U = -3;"}));
  EXPECT_EQ(twice.text, "Error D17 - Only one Live Load line can be specified.\r\n"
                        "Error D17 - Only one Live Load line can be specified.\r\n");
  EXPECT_EQ(twice.errors, 2);
  const Checked negative = Check(Sound({"Live Load: U = -1; DeadMax = -1.2;"}));
  EXPECT_EQ(negative.text,
            "Error D18 - Live Load factors must be greater than or equal to zero.\r\n");
  EXPECT_EQ(negative.errors, 1);
}

TEST(CheckModelDataTest, UnitsLineAloneGivesD1D2D9) {
  const Checked c = Check({"Units: English;"});
  EXPECT_EQ(c.text, std::string(kD1) + kD2 + kD9);
  EXPECT_EQ(c.errors, 3);
  EXPECT_EQ(c.warnings, 0);
}

TEST(CheckModelDataTest, EachSingleItemError) {
  struct Case {
    std::vector<std::string> lines;
    std::string text;
  };
  const std::vector<Case> cases = {
      {{"Member Property: X = -1; E = 1; I = 1;"}, kD3},
      {{"Support: X = -1; Disp = 0;"}, kD5},
      {{"Spring: X = -1; VSpring = 5;"}, kD7},
      {{"Moment Release: X = 0;"}, kD10},
      {{"Moment Release: X = 30;"}, kD10},  // the largest position of the model
      {{"Moment Release: X = -2;"}, kD11},  // D11 only: -2 is neither 0 nor the length
      {{"Point Load: X = -1; PLoad = 1;"}, kD13},
      {{"Uniform Load: XStart = -1; XEnd = 5; UStart = 1; UEnd = 1;"}, kD14},
      {{"Uniform Load: XStart = 5; XEnd = -1; UStart = 1; UEnd = 1;"}, kD15},
      {{"Uniform Load: XStart = -1; XEnd = -2; UStart = 1; UEnd = 1;"}, std::string(kD14) + kD15},
  };
  for (const Case& k : cases) {
    const Checked c = Check(Sound(k.lines));
    EXPECT_EQ(c.text, k.text) << k.lines[0];
    EXPECT_EQ(c.errors, k.text == std::string(kD14) + kD15 ? 2 : 1) << k.lines[0];
    EXPECT_EQ(c.warnings, 0) << k.lines[0];
  }
}

TEST(CheckModelDataTest, HingeAtTheEndOfALongerItem) {
  // The beam ends at the load's end, 40, not at the last support.
  const Checked c = Check(Sound(
      {"Moment Release: X = 40;", "Uniform Load: XStart = 20; XEnd = 40; UStart = 1; UEnd = 1;"}));
  EXPECT_EQ(c.text, kD10);
}

TEST(CheckModelDataTest, OnlyRestraintAtANegativePositionGivesD5AndD9) {
  const Checked c = Check({"Units: English;", "Member Property: X = 0; E = 29000; I = 448;",
                           "Support: X = -1; Disp = 0;", "Point Load: X = 10; PLoad = -1;"});
  EXPECT_EQ(c.text, std::string(kD5) + kD9);
  EXPECT_EQ(c.errors, 2);
}

TEST(CheckModelDataTest, ASpringAloneIsARestraint) {
  const Checked c = Check({"Units: Metric;", "Member Property: X = 0; E = 210000; I = 1943;",
                           "Spring: X = 4; VSpring = 25;"});
  EXPECT_EQ(c.text, "");
}

TEST(CheckModelDataTest, PairsPrintThePositionInInputUnits) {
  // English lengths are feet in the input and inches inside; Metric ones are metres both ways.
  EXPECT_EQ(Check(Sound({"Support: X = 10; Disp = 0;", "Support: X = 10; Rotation = 0;",
                         "Support: X = 10; Disp = 0; Rotation = 0;"}))
                .text,
            D6("10.000000") + D6("10.000000") + D6("10.000000"));
  EXPECT_EQ(Check(Sound({"Member Property: X = 2.5; E = 1; I = 1;",
                         "Member Property: X = 2.5; E = 2; I = 2;"}))
                .text,
            D4("2.500000"));
  EXPECT_EQ(
      Check(Sound({"Spring: X = 7.25; VSpring = 1;", "Spring: X = 7.25; RSpring = 1;"}, "Metric"))
          .text,
      D8("7.250000"));
  EXPECT_EQ(Check(Sound({"Moment Release: X = 0.333333333;", "Moment Release: X = 0.333333333;"},
                        "Consistent"))
                .text,
            D12("0.333333"));
  const Checked loads =
      Check(Sound({"Point Load: X = 12; PLoad = -1;", "Point Load: X = 12; Moment = 5;"}));
  EXPECT_EQ(loads.text, W1("12.000000"));  // a warning only
  EXPECT_EQ(loads.errors, 0);
  EXPECT_EQ(loads.warnings, 1);
}

TEST(CheckModelDataTest, UniformLoadsOverTheSameSpanInEitherOrder) {
  const Checked reversed =
      Check(Sound({"Uniform Load: XStart = 0; XEnd = 10; UStart = 1; UEnd = 1;",
                   "Uniform Load: XStart = 10; XEnd = 0; UStart = 2; UEnd = 2;"}));
  EXPECT_EQ(reversed.text, W2("0", "10"));
  EXPECT_EQ(reversed.errors, 0);
  EXPECT_EQ(reversed.warnings, 1);

  EXPECT_EQ(Check(Sound({"Uniform Load: XStart = 0; XEnd = 10; UStart = 1; UEnd = 1;",
                         "Uniform Load: XStart = 0; XEnd = 12; UStart = 1; UEnd = 1;"}))
                .text,
            "");
  // The message shows the earlier load's ends, in its own order, in "%g" form.
  EXPECT_EQ(Check(Sound({"Uniform Load: XStart = 22.5; XEnd = 2.5; UStart = 1; UEnd = 1;",
                         "Uniform Load: XStart = 2.5; XEnd = 22.5; UStart = 1; UEnd = 1;"}))
                .text,
            W2("22.5", "2.5"));
  EXPECT_EQ(Check(Sound({"Uniform Load: XStart = 0; XEnd = 1234567; UStart = 1; UEnd = 1;",
                         "Uniform Load: XStart = 0; XEnd = 1234567; UStart = 1; UEnd = 1;"},
                        "Metric"))
                .text,
            W2("0", "1.23457e+06"));
}

TEST(CheckModelDataTest, EveryPairIsReportedOnceAtItsEarlierItem) {
  // Supports at 5, 7, 5, 7, 5: the first 5 pairs with two later ones, the first 7 with one,
  // the second 5 with one.
  const Checked c = Check(
      Sound({"Support: X = 5; Disp = 0;", "Support: X = 7; Disp = 0;", "Support: X = 5; Disp = 0;",
             "Support: X = 7; Disp = 0;", "Support: X = 5; Disp = 0;"},
            "Consistent"));
  EXPECT_EQ(c.text, D6("5.000000") + D6("5.000000") + D6("7.000000") + D6("5.000000"));
  EXPECT_EQ(c.errors, 4);

  const std::string load = "Uniform Load: XStart = 1; XEnd = 2; UStart = 1; UEnd = 1;";
  const Checked three = Check(Sound({load, load, load}, "Consistent"));
  EXPECT_EQ(three.text, W2("1", "2") + W2("1", "2") + W2("1", "2"));
  EXPECT_EQ(three.warnings, 3);
}

TEST(CheckModelDataTest, ManyInterleavedPairsInTheOrderOfComparingEveryPair) {
  // Reference: compare every support with every later one, as a hand check would.
  std::vector<std::string> lines;
  std::vector<int> x;
  for (int i = 0; i < 90; ++i) {
    x.push_back(1 + (i * 7) % 4);
    lines.push_back("Support: X = " + std::to_string(x.back()) + "; Disp = 0;");
  }
  std::string expected;
  for (size_t i = 0; i < x.size(); ++i) {
    for (size_t j = i + 1; j < x.size(); ++j) {
      if (x[i] == x[j]) expected += D6((std::to_string(x[i]) + ".000000").c_str());
    }
  }
  const Checked c = Check(Sound(lines, "Consistent"));
  EXPECT_EQ(c.text, expected);
  EXPECT_EQ(c.errors, 2 * (23 * 22 / 2) + 2 * (22 * 21 / 2));  // groups of 23, 23, 22, 22
}

TEST(CheckModelDataTest, PositionsOneBitApartAreDifferent) {
  const double next = std::nextafter(10.0, 11.0);
  const std::string x = FormatGeneral(next, 17);
  const ModelItems probe =
      BuildModelItems({"File Format:3.0", "Support: X = " + x + "; Disp = 0;"});
  ASSERT_EQ(probe.m_supports.at(0).m_dX, next);  // the text really reads one bit above 10

  const Checked c = Check(Sound(
      {"Support: X = 10; Disp = 0;", "Support: X = " + x + "; Disp = 0;",
       "Spring: X = 10; VSpring = 1;", "Spring: X = " + x + "; VSpring = 1;",
       "Member Property: X = 10; E = 1; I = 1;", "Member Property: X = " + x + "; E = 1; I = 1;",
       "Moment Release: X = 10;", "Moment Release: X = " + x + ";",
       "Point Load: X = 10; PLoad = 1;", "Point Load: X = " + x + "; PLoad = 1;",
       "Uniform Load: XStart = 0; XEnd = 10; UStart = 1; UEnd = 1;",
       "Uniform Load: XStart = " + x + "; XEnd = 0; UStart = 1; UEnd = 1;"},
      "Consistent"));
  EXPECT_EQ(c.text, "");
}

TEST(CheckModelDataTest, MessagesFollowTheOrderOfTheChecks) {
  // The lines are in a different order from the checks; within a check, items keep list order
  // (member properties are sorted by X when the items are built).
  const Checked c = Check({
      "Units: Consistent;",
      "Uniform Load: XStart = 1; XEnd = 8; UStart = 1; UEnd = 1;",
      "Uniform Load: XStart = -6; XEnd = -7; UStart = 1; UEnd = 1;",
      "Uniform Load: XStart = 8; XEnd = 1; UStart = 1; UEnd = 1;",
      "Point Load: X = 7; PLoad = 1;",
      "Point Load: X = -5; PLoad = 1;",
      "Point Load: X = 7; PLoad = 1;",
      "Moment Release: X = 6;",
      "Moment Release: X = -4;",
      "Moment Release: X = 0;",
      "Moment Release: X = 6;",
      "Spring: X = 4; VSpring = 1;",
      "Spring: X = -3; VSpring = 1;",
      "Spring: X = 4; VSpring = 1;",
      "Support: X = 3; Disp = 0;",
      "Support: X = -2; Disp = 0;",
      "Support: X = 3; Disp = 0;",
      "Member Property: X = 5; E = 1; I = 1;",
      "Member Property: X = -1; E = 1; I = 1;",
      "Member Property: X = 5; E = 1; I = 1;",
  });
  EXPECT_EQ(c.text, std::string(kD2) + kD3 + D4("5.000000") + D6("3.000000") + kD5 +
                        D8("4.000000") + kD7 + D12("6.000000") + kD11 + kD10 + W1("7.000000") +
                        kD13 + W2("1", "8") + kD14 + kD15);
  EXPECT_EQ(c.errors, 13);
  EXPECT_EQ(c.warnings, 2);
}

TEST(CheckModelDataTest, BillionsOfPairsAreCountedButOnlyTheCapIsWritten) {
  constexpr int64_t n = 100000;
  constexpr int64_t pairs = n * (n - 1) / 2;
  static_assert(pairs == 4'999'950'000);
  std::vector<std::string> lines = {"File Format:3.0", "Units: English;",
                                    "Member Property: X = 0; E = 1; I = 1;"};
  lines.insert(lines.end(), n, "Support: X = 10; Disp = 0;");
  const ModelItems items = BuildModelItems(lines);
  ASSERT_EQ(items.m_supports.size(), size_t{n});

  MessageLog log;
  int64_t errors = 0;
  int64_t warnings = 0;
  CheckModelData(items, errors, warnings, log);
  log.FlushDropped();
  EXPECT_EQ(errors, pairs);
  EXPECT_EQ(warnings, 0);
  EXPECT_EQ(log.Dropped(), pairs - MessageLog::kMaxMessages);

  std::string expected;
  for (int64_t i = 0; i < MessageLog::kMaxMessages; ++i) expected += D6("10.000000");
  expected += "4999940000 more messages were not written.\r\n";
  EXPECT_EQ(log.Text(), expected);
}

}  // namespace
}  // namespace spanlab

namespace spanlab {
namespace {

// Cases, combinations, the deflection limit and the capacities: what the data check says of
// them, and how the items read them (a case by name, its loads by index; factors as written).
TEST(DataCheckTest, CombinationsLimitsAndCapacities) {
  const Checked c = Check(Sound({
      "Point Load: X = 10; PLoad = -5; Case = W;",
      "Point Load: X = 10; PLoad = -5;",  // another case at the same place: no W1
      "Point Load: X = 10; PLoad = -2;",  // the same case: W1
      "Uniform Load: XStart = 0; XEnd = 30; UStart = -1; UEnd = -1; Case = S;",
      "Uniform Load: XStart = 30; XEnd = 0; UStart = -1; UEnd = -1;",
      "Live Load: U = -1; DeadMax = 1.2;",
      "Load Combination: Name = U1; D = 1.2; L = 1.6; Snow = 0.5;",
      "Service Combination: Name = U1; D = 1;",
      "Service Combination: Name = U1; W = 1;",
      "Deflection Limit: Span = 360;",
      "Deflection Limit: Cantilever = 0;",
      "Capacity: Moment = 350; Shear = 0;",
      "Capacity: MomentNeg = 1e308;",
  }));
  EXPECT_EQ(c.text,
            "Warning W1 - Two point loads were specified at the same X = 10.000000.\r\n"
            "Error D19 - Two load combinations were given the same Name = U1.\r\n"
            "Error D19 - Two load combinations were given the same Name = U1.\r\n"
            "Error D19 - Two load combinations were given the same Name = U1.\r\n"
            "Warning W4 - Load combination U1 names case Snow, which no load has.\r\n"
            "Warning W5 - The Live Load's LiveFactor, DeadMax and DeadMin are ignored: the load "
            "combinations give the factors.\r\n"
            "Error D20 - Only one Deflection Limit line can be specified.\r\n"
            "Error D21 - Only one Capacity line can be specified.\r\n"
            "Error D22 - Deflection limits and capacities must be greater than zero.\r\n"
            "Error D22 - Deflection limits and capacities must be greater than zero.\r\n"
            "Error D16 - A capacity value is too large. Converted to the units the analysis uses "
            "it exceeds 1.7e308.\r\n");
  EXPECT_EQ(c.errors, 8);
  EXPECT_EQ(c.warnings, 3);

  std::vector<std::string> lines = {"File Format:3.0"};
  for (const std::string& l : Sound({"Point Load: X = 3; Case = W; PLoad = -2;",
                                     "Live Load: U = -1; Case = Lr;",
                                     "Load Combination: Name = A; W = -0.9; Lr = 1.6; D = 1;",
                                     "Capacity: Moment = 10;"}))
    lines.push_back(l);
  const ModelItems items = BuildModelItems(lines);
  EXPECT_EQ(items.m_caseNames, (std::vector<std::string>{"D", "L", "W", "Lr"}));
  ASSERT_EQ(items.m_pointLoads.size(), 1u);
  EXPECT_EQ(items.m_pointLoads[0].m_nCase, 2);
  EXPECT_EQ(items.m_pointLoads[0].m_dPLoad, -2);
  EXPECT_EQ(items.m_liveLoads[0].m_nCase, 3);
  ASSERT_EQ(items.m_combinations.size(), 1u);
  EXPECT_EQ(items.m_combinations[0].m_factors,
            (std::vector<std::pair<int32_t, double>>{{2, -0.9}, {3, 1.6}, {0, 1.0}}));
  // kip ft to kip in; the hogging capacity is the sagging one when not given.
  EXPECT_EQ(items.m_capacities[0].m_dMoment, 120);
  EXPECT_EQ(items.m_capacities[0].m_dMomentNeg, 120);
}

}  // namespace
}  // namespace spanlab
