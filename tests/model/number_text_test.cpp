#include "model/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <locale>
#include <stdexcept>
#include <string>
#include <vector>

namespace spanlab {
namespace {

TEST(IsValidNumberTest, AcceptsDecimalNumbersWithBlanksAndTabsAround) {
  for (const char* text :
       {"12.5", "  12.5 ", "\t12.5\t", " \t12.5\t ", "0", "0.0", "0e3", "00", "0.000", "1e3",
        "1E+3", "2.5e-3", "-3", "+3", "-0.5", "5.", ".5", "1e300", "0e-400"}) {
    EXPECT_TRUE(IsValidNumber(text)) << '"' << text << '"';
  }
}

TEST(IsValidNumberTest, RejectsZeroNotWrittenWithALeadingDigitZero) {
  for (const char* text : {"", "   ", "-0", "+0", ".0", "-0.0", " -0 ", "-0e5"}) {
    EXPECT_FALSE(IsValidNumber(text)) << '"' << text << '"';
  }
}

TEST(IsValidNumberTest, RejectsTrailingTextAndNonDecimalForms) {
  for (const char* text :
       {"12 kips", "1,5",  "1.2.3", "1 2", "5e",   "1e+", "12\n",     "abc", ".",   "-",     "e3",
        "0x10",    "0X1A", "0x1p3", "inf", "-inf", "INF", "infinity", "nan", "NAN", "nan(1)"}) {
    EXPECT_FALSE(IsValidNumber(text)) << '"' << text << '"';
  }
}

TEST(IsValidNumberTest, RejectsValuesOutsideTheRangeOfADouble) {
  EXPECT_FALSE(IsValidNumber("1e400"));
  EXPECT_FALSE(IsValidNumber("-1e400"));
  EXPECT_FALSE(IsValidNumber("1.8e308"));
  EXPECT_TRUE(IsValidNumber("1.7e308"));
  // Underflow reads as zero, and a zero must start with the digit "0".
  EXPECT_FALSE(IsValidNumber("1e-400"));
}

TEST(ConvertNumberTest, ReadsTheLongestDecimalPrefix) {
  EXPECT_EQ(ConvertNumber("12.5"), 12.5);
  EXPECT_EQ(ConvertNumber("  12 kips"), 12.0);
  EXPECT_EQ(ConvertNumber("\n\t7"), 7.0);
  EXPECT_EQ(ConvertNumber("-3"), -3.0);
  EXPECT_EQ(ConvertNumber(".5"), 0.5);
  EXPECT_EQ(ConvertNumber("1,5"), 1.0);
  EXPECT_EQ(ConvertNumber("1.5e2x"), 150.0);
  EXPECT_EQ(ConvertNumber("5e"), 5.0);  // an exponent without digits is not part of the number
  EXPECT_EQ(ConvertNumber("5e+"), 5.0);
  EXPECT_EQ(ConvertNumber("0x10"), 0.0);  // "0" followed by text, not sixteen
}

TEST(ConvertNumberTest, IsCorrectlyRounded) {
  EXPECT_EQ(ConvertNumber("0.1"), 0.1);
  EXPECT_EQ(ConvertNumber("0.30000000000000004"), 0.1 + 0.2);
  EXPECT_EQ(ConvertNumber("1.7976931348623157e308"), 1.7976931348623157e308);
  EXPECT_EQ(ConvertNumber("2.2250738585072014e-308"), 2.2250738585072014e-308);
  // Ties go to even; long digit strings, subnormals and a leading "+" read exactly as written.
  EXPECT_EQ(ConvertNumber("9007199254740993"), 9007199254740992.0);
  EXPECT_EQ(ConvertNumber("1.00000000000000011102230246251565404236316680908203125"), 1.0);
  EXPECT_EQ(ConvertNumber("1.00000000000000011102230246251565404236316680908203126"),
            1.0000000000000002);
  EXPECT_EQ(ConvertNumber("123456789012345678901234567890.5e-10"), 12345678901234567890.12345);
  EXPECT_EQ(ConvertNumber("2.2250738585072011e-308"), 2.2250738585072011e-308);
  EXPECT_EQ(ConvertNumber("4.9406564584124654e-324"), 4.9406564584124654e-324);
  EXPECT_EQ(ConvertNumber("+2.5e-1"), 0.25);
  EXPECT_TRUE(std::signbit(ConvertNumber("-0e7")));
}

TEST(ConvertNumberTest, GivesZeroForTextThatIsNotANumberOrOverflows) {
  for (const char* text :
       {"", "  ", "abc", "-", ".", "e5", "inf", "nan", "infinity", "1e400", "-1e400", "1e-400"}) {
    EXPECT_EQ(ConvertNumber(text), 0.0) << '"' << text << '"';
  }
}

TEST(FormatFixedTest, ExactTexts) {
  EXPECT_EQ(FormatFixed(1234.5, 3), "1234.500");
  EXPECT_EQ(FormatFixed(-1e-9, 3), "-0.000");
  EXPECT_EQ(FormatFixed(0.0, 3), "0.000");
  EXPECT_EQ(FormatFixed(-0.0, 1), "-0.0");
  EXPECT_EQ(FormatFixed(2.5, 0), "2");  // an exact tie rounds to even, as printf does
  EXPECT_EQ(FormatFixed(3.5, 0), "4");
  EXPECT_EQ(FormatFixed(0.125, 2), "0.12");
  EXPECT_EQ(FormatFixed(0.0005, 3), "0.001");  // the double is slightly above the tie
  EXPECT_EQ(FormatFixed(1e21, 1), "1000000000000000000000.0");
}

// The reference is the C library in the "C" locale, which the test program runs in.
TEST(FormatFixedTest, MatchesPrintf) {
  const double values[] = {0.0,     -0.0,   1.0,        -1.0,    0.1,
                           1234.5,  -1e-9,  0.0005,     123.456, -7.25e5,
                           1e-7,    9.9995, 1e15 + 0.3, 1e300,   -1.7976931348623157e308,
                           4.9e-324};
  for (double v : values) {
    for (int decimals : {0, 1, 3, 6, 17, 30}) {
      char expected[512];
      std::snprintf(expected, sizeof expected, "%.*f", decimals, v);
      EXPECT_EQ(FormatFixed(v, decimals), expected) << "value " << v << " decimals " << decimals;
    }
  }
}

TEST(FormatGeneralTest, ExactTexts) {
  EXPECT_EQ(FormatGeneral(0.1, 17), "0.10000000000000001");
  EXPECT_EQ(FormatGeneral(1.0 / 3.0, 17), "0.33333333333333331");
  EXPECT_EQ(FormatGeneral(100.0, 17), "100");
  EXPECT_EQ(FormatGeneral(-0.0, 17), "-0");
  EXPECT_EQ(FormatGeneral(1e-5, 6), "1e-05");
  EXPECT_EQ(FormatGeneral(0.0001, 3), "0.0001");
  EXPECT_EQ(FormatGeneral(123456789.0, 6), "1.23457e+08");
}

TEST(FormatGeneralTest, MatchesPrintfAndRoundTripsAtSeventeenDigits) {
  const double values[] = {0.0,
                           1.0,
                           -2.5,
                           0.1,
                           1234.5,
                           1e-9,
                           -1e21,
                           123456.789,
                           1e300,
                           4.9e-324,
                           1.7976931348623157e308};
  for (double v : values) {
    for (int digits : {0, 1, 3, 6, 15, 17}) {
      char expected[512];
      std::snprintf(expected, sizeof expected, "%.*g", digits, v);
      EXPECT_EQ(FormatGeneral(v, digits), expected) << "value " << v << " digits " << digits;
    }
    EXPECT_EQ(ConvertNumber(FormatGeneral(v, 17)), v);
  }
}

// Switches the process to a locale whose decimal separator is a comma, both the C library's
// and the C++ global one, and back to "C" when it goes out of scope, even after a failed
// assertion.
class ScopedCommaLocale {
 public:
  ScopedCommaLocale() {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) return;
    try {
      std::locale::global(std::locale("de_DE.UTF-8"));
    } catch (const std::runtime_error&) {
      return;
    }
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    active_ = std::string(probe) == "1,5";
  }
  ~ScopedCommaLocale() {
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, "C");
  }
  ScopedCommaLocale(const ScopedCommaLocale&) = delete;
  ScopedCommaLocale& operator=(const ScopedCommaLocale&) = delete;

  bool active() const { return active_; }

 private:
  bool active_ = false;
};

TEST(NumberTextLocaleTest, CommaDecimalLocaleChangesNothing) {
  struct Results {
    std::vector<bool> valid;
    std::vector<double> value;
    std::vector<std::string> fixed;
    std::vector<std::string> general;
  };
  const char* const texts[] = {"1.5", "1,5", " -2.25e1 ", "0", "-0", "12 kips", "0x10", "1e400"};
  const double numbers[] = {1234.5, -1e-9, 0.1, 1.5, 1e21};
  auto compute = [&] {
    Results r;
    for (const char* t : texts) {
      r.valid.push_back(IsValidNumber(t));
      r.value.push_back(ConvertNumber(t));
    }
    for (double v : numbers) {
      r.fixed.push_back(FormatFixed(v, 3));
      r.general.push_back(FormatGeneral(v, 17));
    }
    return r;
  };
  const Results inC = compute();

  const ScopedCommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no comma-decimal locale de_DE.UTF-8 on this system";

  EXPECT_TRUE(IsValidNumber("1.5"));
  EXPECT_EQ(ConvertNumber("1.5"), 1.5);
  EXPECT_FALSE(IsValidNumber("1,5"));
  EXPECT_EQ(ConvertNumber("1,5"), 1.0);
  EXPECT_EQ(FormatFixed(1234.5, 3), "1234.500");
  EXPECT_EQ(FormatGeneral(0.1, 17), "0.10000000000000001");

  const Results inComma = compute();
  EXPECT_EQ(inComma.valid, inC.valid);
  EXPECT_EQ(inComma.value, inC.value);
  EXPECT_EQ(inComma.fixed, inC.fixed);
  EXPECT_EQ(inComma.general, inC.general);
}

}  // namespace
}  // namespace spanlab
