// Numbers are scanned by hand against the decimal grammar, then converted by std::from_chars or,
// where it gives no value, strtod_l in the "C" locale (both correctly rounded; underflow to zero
// or a subnormal, overflow to HUGE_VAL). Output goes through std::to_chars, which is specified as
// printf in the "C" locale.
//
// "%.*g" of a whole number below 10^digits is that number's decimal digits, with no point and
// no exponent (its exponent is below the precision, so the fixed style applies, and every
// fraction digit is a zero that %g removes). Results tables are full of such values (positions,
// zero deflections at supports, stiffnesses), so they are written as integers: std::to_chars
// with a precision spends about twenty times as long on them.
#include "model/number_text.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <system_error>

#include <locale.h>

namespace spanlab {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Scans the longest prefix of [begin, end) that is a decimal floating-point number and returns
// the position after it, or `begin` when there is none.
const char* ScanDecimal(const char* begin, const char* end) {
  const char* p = begin;
  if (p != end && (*p == '+' || *p == '-')) ++p;
  const char* digitsStart = p;
  while (p != end && IsDigit(*p)) ++p;
  bool anyDigits = p != digitsStart;
  if (p != end && *p == '.') {
    const char* fraction = ++p;
    while (p != end && IsDigit(*p)) ++p;
    anyDigits = anyDigits || p != fraction;
  }
  if (!anyDigits) return begin;
  if (p != end && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    if (q != end && (*q == '+' || *q == '-')) ++q;
    const char* expDigits = q;
    while (q != end && IsDigit(*q)) ++q;
    if (q != expDigits) p = q;  // "5e" reads as 5 followed by "e"
  }
  return p;
}

struct Scanned {
  const char* stop = nullptr;  // first character after the number
  double value = 0.0;
  bool ok = false;             // a number was found and fits a double (underflow reads as 0)
};

// The C locale, made once: strtod_l then reads the decimal point whatever the process locale.
locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}

Scanned ScanNumber(const char* begin, const char* end) {
  Scanned s;
  s.stop = ScanDecimal(begin, end);
  if (s.stop == begin) return s;
  // std::from_chars rounds as strtod_l does and is several times faster, but it takes no "+"
  // and reports overflow and underflow to zero without a value: those go to strtod_l.
  const char* digits = *begin == '+' ? begin + 1 : begin;
  double v = 0;
  const std::from_chars_result fast = std::from_chars(digits, s.stop, v);
  if (fast.ec != std::errc() || fast.ptr != s.stop) {
    // The scanned text is pure decimal syntax, so strtod_l cannot wander into hex or "inf".
    const std::string number(begin, s.stop);
    v = strtod_l(number.c_str(), nullptr, CLocale());
  }
  s.value = v;
  s.ok = std::isfinite(v);  // overflow gives HUGE_VAL; underflow gives 0 or a subnormal
  return s;
}

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool IsValidNumber(std::string_view text) {
  const char* p = text.data();
  const char* end = p + text.size();
  while (p != end && IsBlankOrTab(*p)) ++p;
  const char first = p != end ? *p : '\0';
  const Scanned s = ScanNumber(p, end);
  if (!s.ok) return false;
  if (s.value == 0.0 && first != '0') return false;
  for (const char* q = s.stop; q != end; ++q) {
    if (!IsBlankOrTab(*q)) return false;
  }
  return true;
}

double ConvertNumber(std::string_view text) {
  const char* p = text.data();
  const char* end = p + text.size();
  while (p != end && (IsBlankOrTab(*p) || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f')) ++p;
  const Scanned s = ScanNumber(p, end);
  return s.ok ? s.value : 0.0;
}

namespace {
std::string ToChars(double value, std::chars_format format, int precision) {
  char buffer[400];  // %.Nf of the largest double needs 309 digits plus the decimals
  const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
  if (ec != std::errc()) return std::string("*");
  return std::string(buffer, ptr);
}
}  // namespace

std::string FormatFixed(double value, int decimals) {
  if (decimals > 60) decimals = 60;
  return ToChars(value, std::chars_format::fixed, decimals);
}

std::string FormatScientific(double value, int decimals) {
  return ToChars(value, std::chars_format::scientific, decimals);
}

std::string FormatGeneral(double value, int digits) {
  char buffer[400];  // as ToChars
  char* end = WriteGeneral(buffer, buffer + sizeof buffer, value, digits);
  return end != nullptr ? std::string(buffer, end) : std::string("*");
}

char* WriteGeneral(char* first, char* last, double value, int digits) {
  // 10^digits, up to 10^18: whole numbers below it fit a long long.
  static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,
                                            1e7,  1e8,  1e9,  1e10, 1e11, 1e12, 1e13,
                                            1e14, 1e15, 1e16, 1e17, 1e18};
  // Below 10^18 the conversion to long long is exact for whole numbers and defined for all.
  const bool wholeBelowPrecision =
      digits >= 1 && std::fabs(value) < kPowersOfTen[digits < 18 ? digits : 18] &&
      value == static_cast<double>(static_cast<long long>(value));
  std::to_chars_result r;
  if (!wholeBelowPrecision) {
    r = std::to_chars(first, last, value, std::chars_format::general, digits);
  } else if (value == 0 && std::signbit(value)) {  // "-0"
    if (last - first < 2) return nullptr;
    first[0] = '-';
    first[1] = '0';
    return first + 2;
  } else {
    r = std::to_chars(first, last, static_cast<long long>(value));
  }
  return r.ec == std::errc() ? r.ptr : nullptr;
}

std::string ShortestText(double value) {
  char buffer[32];  // "-1.7976931348623157e+308" and shorter
  const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value + 0.0);
  if (ec != std::errc()) return std::string("*");
  return std::string(buffer, ptr);
}

int DecimalPlaces(std::string_view text) {
  const char* p = text.data();
  const char* end = p + text.size();
  while (p != end && IsBlankOrTab(*p)) ++p;
  const char* stop = ScanDecimal(p, end);
  int places = 0;
  const char* q = p;
  while (q != stop && *q != '.' && *q != 'e' && *q != 'E') ++q;
  if (q != stop && *q == '.') {
    for (++q; q != stop && IsDigit(*q); ++q) ++places;
  }
  if (q != stop && (*q == 'e' || *q == 'E')) {
    int exponent = 0;
    const std::from_chars_result r =
        std::from_chars(q + 1 + (q[1] == '+'), stop, exponent);  // from_chars takes no "+"
    if (r.ec == std::errc()) places -= exponent;
    else places = 0;
  }
  return places;
}

double RoundToDecimalPlaces(double value, int places) {
  static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                            1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  constexpr double kExactLimit = 9007199254740992.0;  // 2^53
  if (!std::isfinite(value) || places > 22 || places < -22) return value;
  const double power = kPowersOfTen[places < 0 ? -places : places];
  // The digits as a whole number: 10^places is exact up to 10^22, so the only rounding is the
  // product's (or quotient's), far below the half unit that nearbyint removes.
  const double digits = std::nearbyint(places >= 0 ? value * power : value / power);
  if (!(std::fabs(digits) < kExactLimit)) return value;
  // One correctly rounded operation of two exact numbers: the double nearest the decimal.
  return (places >= 0 ? digits / power : digits * power) + 0.0;
}

}  // namespace spanlab
