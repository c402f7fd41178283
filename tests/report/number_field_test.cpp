// The 11-character number field and the five-digit length text of the reports. Expected texts
// are written out by hand from the C formats the field chooses ("%11.4g", "%11.0f", "%11.3f",
// "%11.6f"); every pair straddles one limit of the table, from both sides where the limit is
// strict.
#include "report/number_field.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>

namespace spanlab {
namespace {

struct Case {
  double value;
  const char* text;
};

void ExpectFields(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(FormatNumber(c.value), c.text) << "value " << c.value;
    EXPECT_EQ(FormatNumber(c.value).size(), 11u) << "value " << c.value;
  }
}

TEST(FormatNumber, LargePositiveLimits) {
  ExpectFields({
      {123456789, "  1.235e+08"},  // %11.4g
      {99999999.5, "      1e+08"},
      {99999999, "   99999999"},  // %11.0f: the limit itself is not above it
      {1234567, "    1234567"},
      {999999.25, "     999999"},
      {999999, " 999999.000"},  // %11.3f
  });
}

TEST(FormatNumber, LargeNegativeLimitsAreOneDigitShorter) {
  ExpectFields({
      {-123456789, " -1.235e+08"},
      {-9999999.5, "     -1e+07"},  // %11.4g already below -9999999
      {-9999999, "   -9999999"},    // %11.0f
      {-99999.25, "     -99999"},
      {-99999, " -99999.000"},  // %11.3f
  });
}

TEST(FormatNumber, UnitLimits) {
  ExpectFields({
      {12.5, "     12.500"},
      {1.0000001, "      1.000"},
      {1, "   1.000000"},  // %11.6f: 1 is not above 1
      {0.5, "   0.500000"},
      {-1.0000001, "     -1.000"},
      {-1, "  -1.000000"},
  });
}

TEST(FormatNumber, SmallLimitsDifferBySign) {
  ExpectFields({
      {0.0011, "   0.001100"},
      {0.001, "      0.001"},   // %11.4g
      {0.005, "   0.005000"},   // %11.6f
      {-0.005, "     -0.005"},  // %11.4g: only values below -0.01 get six decimals
      {-0.01, "      -0.01"},
      {-0.0101, "  -0.010100"},
      {-0.008860, "   -0.00886"},
      {0.00012345678, "  0.0001235"},
      {1e-5, "      1e-05"},
      {0, "          0"},
  });
}

TEST(FormatNumber, MatchesTheChosenCFormatAcrossTheTable) {
  // Every value tried against the C library's own output for the format the table picks.
  const struct {
    double value;
    const char* format;
  } cases[] = {
      {3.0e9, "%11.4g"},       {-2.5e7, "%11.4g"},       {54321987.6, "%11.0f"},
      {-123456.7, "%11.0f"},   {4567.89012, "%11.3f"},   {-98765.4321, "%11.3f"},
      {0.123456789, "%11.6f"}, {-0.987654321, "%11.6f"}, {0.000999, "%11.4g"},
      {-0.00999, "%11.4g"},    {-1.5e-9, "%11.4g"},
  };
  for (const auto& c : cases) {
    char expected[64];
    std::snprintf(expected, sizeof expected, c.format, c.value);
    EXPECT_EQ(FormatNumber(c.value), expected) << c.value;
  }
}

TEST(FormatNumber, AFieldAlwaysKeepsABlankBeforeItsText) {
  // Only a negative value with a three-digit exponent fills all eleven characters; the field
  // then grows by the blank that keeps it apart from the label or field before it.
  EXPECT_EQ(FormatNumber(-3.333e-298), " -3.333e-298");
  EXPECT_EQ(FormatNumber(-1.7976931348623157e308), " -1.798e+308");
  EXPECT_EQ(FormatNumber(-4.9e-324), " -4.941e-324");
  EXPECT_EQ(" Min Deflection =" + FormatNumber(-3.333e-298), " Min Deflection = -3.333e-298");
  // Every narrower text keeps the eleven-character width.
  EXPECT_EQ(FormatNumber(3.333e-298), " 3.333e-298");
  EXPECT_EQ(FormatNumber(-3.333e-98), " -3.333e-98");
  EXPECT_EQ(FormatNumber(1.7976931348623157e308), " 1.798e+308");
}

TEST(FormatFiveDigits, FixedFormKeepsThePointAndDropsTrailingZeros) {
  EXPECT_EQ(FormatFiveDigits(30), "30.");
  EXPECT_EQ(FormatFiveDigits(200), "200.");
  EXPECT_EQ(FormatFiveDigits(12.5), "12.5");
  EXPECT_EQ(FormatFiveDigits(0.1), "0.1");
  EXPECT_EQ(FormatFiveDigits(1234.56), "1234.6");
  EXPECT_EQ(FormatFiveDigits(0.123456), "0.12346");
  EXPECT_EQ(FormatFiveDigits(99999.4), "99999.");
  EXPECT_EQ(FormatFiveDigits(-30), "-30.");
  EXPECT_EQ(FormatFiveDigits(0), "0.");
}

TEST(FormatFiveDigits, ExponentFormOutsideTheFixedRange) {
  EXPECT_EQ(FormatFiveDigits(123456), "1.2346e+05");
  EXPECT_EQ(FormatFiveDigits(100000), "1.e+05");
  EXPECT_EQ(FormatFiveDigits(0.05), "5.e-02");
  EXPECT_EQ(FormatFiveDigits(0.099999), "9.9999e-02");
  EXPECT_EQ(FormatFiveDigits(-250000), "-2.5e+05");
}

TEST(FormatFiveDigits, RoundingCarryDecidesTheForm) {
  // Rounded to five digits these cross into the next decade, which moves them across the
  // boundary of the fixed range.
  EXPECT_EQ(FormatFiveDigits(99999.6), "1.e+05");
  EXPECT_EQ(FormatFiveDigits(0.0999996), "0.1");
  EXPECT_EQ(FormatFiveDigits(9.99996), "10.");
}

}  // namespace
}  // namespace spanlab
