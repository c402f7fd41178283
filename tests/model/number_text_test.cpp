#include "model/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <locale.h>

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

// The many-values checks behind the fast paths: whole numbers written as integers by
// FormatGeneral, and std::from_chars in front of strtod_l in ConvertNumber.
std::vector<double> AwkwardValues() {
  std::vector<double> values = {0.0, -0.0, 1.0, -1.0, 7.0, 10.0, 100.0, 12992000.0, -42.0};
  for (double v : {0.5, -2.5, 999999.0, 1e6, 1234567.0, 1e15, 1e16, 1e17, 1e18}) {
    values.push_back(v);
  }
  for (double v : {9007199254740992.0, 9007199254740993.0, 99999999999999984.0, 1e21, -1e21}) {
    values.push_back(v);
  }
  for (double v : {1e22, 123456789012345678901.0, 1e300, -1e308, 1.7976931348623157e308}) {
    values.push_back(v);
  }
  for (double v : {2.2250738585072014e-308, 4.9e-324, -4.9e-324, 1e-310, 0.1, 1e-5, 0.0001}) {
    values.push_back(v);
  }
  values.push_back(1.0 / 3.0);
  values.push_back(2.0 / 3.0);
  // Whole numbers on either side of every power of ten a precision can reach.
  for (double p = 1; p <= 1e19; p *= 10) {
    for (double v : {p, std::nextafter(p, 0.0), std::nextafter(p, 1e300), p - 1, p + 1}) {
      values.push_back(v);
      values.push_back(-v);
    }
  }
  // Random bit patterns (every exponent, subnormals included) and random whole numbers.
  uint64_t state = 0x9E3779B97F4A7C15u;
  const auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  };
  for (int i = 0; i < 20000; ++i) {
    double v;
    const uint64_t bits = next();
    std::memcpy(&v, &bits, sizeof v);
    if (std::isfinite(v)) values.push_back(v);
    values.push_back(static_cast<double>(static_cast<int64_t>(next()) >> (next() % 64)));
  }
  return values;
}

TEST(FormatGeneralTest, MatchesPrintfOnManyValuesAndEveryPrecision) {
  for (const double v : AwkwardValues()) {
    for (int digits = 0; digits <= 20; ++digits) {
      char expected[512];
      std::snprintf(expected, sizeof expected, "%.*g", digits, v);
      ASSERT_EQ(FormatGeneral(v, digits), expected) << "digits " << digits;
    }
  }
}

// The shortest text reads back exactly, and no printf text that does is shorter: checked
// against snprintf on the awkward values.
TEST(ShortestTextTest, ReadsBackExactlyWithTheFewestDigits) {
  EXPECT_EQ(ShortestText(0.1 + 0.2), "0.30000000000000004");
  EXPECT_EQ(ShortestText(0.3), "0.3");
  EXPECT_EQ(ShortestText(4.8e6), "4800000");
  EXPECT_EQ(ShortestText(4642340.0), "4642340");
  EXPECT_EQ(ShortestText(1e20), "1e+20");
  EXPECT_EQ(ShortestText(1.5e-7), "1.5e-07");
  EXPECT_EQ(ShortestText(-0.0), "0");
  for (const double v : AwkwardValues()) {
    const std::string text = ShortestText(v);
    ASSERT_EQ(ConvertNumber(text), v) << text;
    ASSERT_TRUE(v == 0 || IsValidNumber(text)) << text;
    // No printf precision gives a shorter text that reads back as the same number.
    for (int digits = 1; digits <= 17; ++digits) {
      char shorter[64];
      std::snprintf(shorter, sizeof shorter, "%.*g", digits, v);
      if (std::strtod(shorter, nullptr) != v) continue;
      ASSERT_GE(std::strlen(shorter), text.size()) << text << " could be " << shorter;
      break;
    }
  }
}

TEST(DecimalPlacesTest, CountsFractionDigitsLessTheExponent) {
  const std::pair<const char*, int> cases[] = {
      {"12", 0},      {"0.25", 2}, {" 12.50", 2}, {"1.5e-3", 4}, {"5e3", -3},   {"2.5E+2", -1},
      {"-0.125", 3},  {".5", 1},   {"abc", 0},    {"", 0},       {"7.", 0},     {"1e-05", 5},
      {"3;", 0},      {"0.30000000000000004", 17}};
  for (const auto& [text, places] : cases) EXPECT_EQ(DecimalPlaces(text), places) << text;
}

// k x step for steps of 1, 2 and 5 x 10^e becomes the double that the decimal's own text reads
// as, whatever rounding the product had: the decimal text is built from integers here.
TEST(RoundToDecimalPlacesTest, MultiplesOfADecimalStepAreThatDecimalsDouble) {
  EXPECT_EQ(RoundToDecimalPlaces(0.1 * 3, 1), 0.3);
  EXPECT_EQ(RoundToDecimalPlaces(0.1 + 0.2, 1), 0.3);
  EXPECT_EQ(RoundToDecimalPlaces(12.25 + 0.2, 2), 12.45);
  EXPECT_EQ(RoundToDecimalPlaces(4642341.0, -1), 4642340.0);
  EXPECT_EQ(RoundToDecimalPlaces(-0.04, 1), 0.0);
  EXPECT_FALSE(std::signbit(RoundToDecimalPlaces(-0.04, 1)));
  // Beyond what a double holds digit for digit, and non-finite values: unchanged.
  EXPECT_EQ(RoundToDecimalPlaces(1e17 + 0.1, 1), 1e17 + 0.1);
  EXPECT_EQ(RoundToDecimalPlaces(0.5, 23), 0.5);
  EXPECT_TRUE(std::isinf(RoundToDecimalPlaces(INFINITY, 2)));
  uint64_t state = 12345;
  auto next = [&state] {
    state = state * 6364136223846793005u + 1442695040888963407u;
    return state >> 33;
  };
  for (int e = -12; e <= 12; ++e) {
    for (const int m : {1, 2, 5}) {
      const double step = ConvertNumber(std::to_string(m) + "e" + std::to_string(e));
      for (int i = 0; i < 300; ++i) {
        const int64_t k = static_cast<int64_t>(next() % 2000000) - 1000000;
        const std::string decimal = std::to_string(k * m) + "e" + std::to_string(e);
        const double exact = ConvertNumber(decimal);
        const double rounded = RoundToDecimalPlaces(static_cast<double>(k) * step, -e);
        ASSERT_EQ(rounded, exact) << decimal;
        // Its shortest text has no more places than the step.
        ASSERT_LE(DecimalPlaces(ShortestText(rounded)), std::max(0, -e)) << decimal;
      }
    }
  }
}

TEST(FormatGeneralTest, NotANumberAndInfinityAsTheCLibraryWritesThem) {
  EXPECT_EQ(FormatGeneral(std::numeric_limits<double>::infinity(), 17), "inf");
  EXPECT_EQ(FormatGeneral(-std::numeric_limits<double>::infinity(), 17), "-inf");
  EXPECT_EQ(FormatGeneral(std::numeric_limits<double>::quiet_NaN(), 17), "nan");
  EXPECT_EQ(FormatGeneral(-std::numeric_limits<double>::quiet_NaN(), 17), "-nan");
}

TEST(WriteGeneralTest, FitsItsLongestTextAndRefusesAShortBuffer) {
  char buffer[kGeneralTextMax];
  char* end = WriteGeneral(buffer, buffer + sizeof buffer, -2.2250738585072014e-308, 17);
  ASSERT_NE(end, nullptr);
  EXPECT_EQ(std::string(buffer, end), "-2.2250738585072014e-308");
  EXPECT_EQ(end - buffer, kGeneralTextMax);
  EXPECT_EQ(WriteGeneral(buffer, buffer + 3, 12345.0, 17), nullptr);
  EXPECT_EQ(WriteGeneral(buffer, buffer + 3, 0.125, 17), nullptr);
  EXPECT_EQ(WriteGeneral(buffer, buffer + 1, -0.0, 17), nullptr);
  end = WriteGeneral(buffer, buffer + 2, -0.0, 17);
  ASSERT_NE(end, nullptr);
  EXPECT_EQ(std::string(buffer, end), "-0");
}

// strtod_l in the "C" locale: what ConvertNumber promises.
double CLibraryValue(const std::string& text) {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return strtod_l(text.c_str(), nullptr, c);
}

TEST(ConvertNumberTest, ReadsEveryTextAsTheCLibraryDoes) {
  std::vector<std::string> texts = {"+5",
                                    "+0",
                                    "-0",
                                    "+.5",
                                    "1e-400",
                                    "-1e-400",
                                    "1e400",
                                    "-1e400",
                                    "4e-320",
                                    "-4e-320",
                                    "2.4703282292062327e-324",
                                    "2.4703282292062328e-324",
                                    "1.7976931348623158e308",
                                    "1.7976931348623159e308",
                                    "0.1000000000000000055511151231257827021181583404541015625",
                                    "9007199254740993",
                                    "00012.50e-2",
                                    "5.",
                                    "123456789012345678901234567890"};
  // Every awkward double written with 6, 16 and 17 digits; for every tenth, the exact midpoint
  // between it and its upper neighbour (a tie: rounds to the even one). A long double holds
  // the midpoint exactly, and 1100 digits write it out in full.
  const std::vector<double> values = AwkwardValues();
  for (size_t i = 0; i < values.size(); ++i) {
    char text[64];
    for (int digits : {6, 16, 17}) {
      std::snprintf(text, sizeof text, "%.*e", digits - 1, values[i]);
      texts.push_back(text);
    }
    if (i % 10 != 0 || std::fabs(values[i]) >= 1.7976931348623157e308) continue;
    const long double mid =
        (static_cast<long double>(values[i]) + std::nextafter(values[i], 1e308)) / 2;
    std::vector<char> exact(1200);
    std::snprintf(exact.data(), exact.size(), "%.1100Le", mid);
    texts.push_back(exact.data());
  }
  for (const std::string& text : texts) {
    const double expected = CLibraryValue(text);
    const double got = ConvertNumber(text);
    if (!std::isfinite(expected)) {
      EXPECT_EQ(got, 0.0) << text;  // beyond the range of a double: no value
      continue;
    }
    ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0)
        << text << " read as " << got << ", expected " << expected;
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
