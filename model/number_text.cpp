// Numbers are scanned by hand against the decimal grammar, then converted by strtod_l in the "C"
// locale (correctly rounded, underflow to zero or a subnormal, overflow to HUGE_VAL). Output goes
// through std::to_chars, which is specified as printf in the "C" locale.
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
  // std::from_chars is correctly rounded, as strtod_l is, and reads the text in place. It takes
  // no "+" sign; a value it does not give plainly (out of range) is left to strtod_l below, so
  // that underflow and overflow read exactly as they always have.
  const char* first = *begin == '+' ? begin + 1 : begin;
  double fast = 0.0;
  if (const auto [ptr, ec] = std::from_chars(first, s.stop, fast);
      ec == std::errc() && ptr == s.stop) {
    s.value = fast;
    s.ok = std::isfinite(fast);
    return s;
  }
  // The scanned text is pure decimal syntax, so strtod_l cannot wander into hex or "inf".
  const std::string number(begin, s.stop);
  const double v = strtod_l(number.c_str(), nullptr, CLocale());
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
  return ToChars(value, std::chars_format::general, digits);
}

}  // namespace spanlab
