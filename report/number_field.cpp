#include "report/number_field.h"

#include <cmath>
#include <cstdlib>

#include "model/number_text.h"

namespace spanlab {

namespace {

// The text right-aligned in `width` characters, always with at least one blank before it: a
// field follows a label or another field directly, and a text as wide as the field
// ("-3.333e-298") would otherwise run into it.
std::string RightAligned(std::string text, size_t width) {
  text.insert(0, text.size() < width ? width - text.size() : 1, ' ');
  return text;
}

// Removes trailing zeros of a fraction, keeping the decimal point.
std::string TrimFraction(std::string mantissa) {
  if (mantissa.find('.') == std::string::npos) return mantissa + ".";
  while (!mantissa.empty() && mantissa.back() == '0') mantissa.pop_back();
  return mantissa;
}

}  // namespace

std::string FormatNumber(double v) {
  if (v > 99999999 || v < -9999999) return RightAligned(FormatGeneral(v, 4), 11);
  if (v > 999999 || v < -99999) return RightAligned(FormatFixed(v, 0), 11);
  if (v > 1 || v < -1) return RightAligned(FormatFixed(v, 3), 11);
  if (v > 0.001 || v < -0.01) return RightAligned(FormatFixed(v, 6), 11);
  return RightAligned(FormatGeneral(v, 4), 11);
}

std::string FormatFiveDigits(double value) {
  if (!std::isfinite(value)) return FormatGeneral(value, 5);
  if (value == 0) return "0.";
  // The decimal exponent after rounding to five significant digits decides the form.
  const std::string e = FormatScientific(value, 4);
  const int exponent = std::atoi(e.c_str() + e.find('e') + 1);
  if (exponent >= -1 && exponent <= 4) return TrimFraction(FormatFixed(value, 4 - exponent));
  const size_t mark = e.find('e');
  return TrimFraction(e.substr(0, mark)) + e.substr(mark);
}

}  // namespace spanlab
