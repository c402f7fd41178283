// Number texts of the reports.
#pragma once

#include <string>

namespace spanlab {

// The 11-character right-aligned number field of the reports; the format depends on the value
// (strict tests, in this order):
//   v > 99999999 or v < -9999999   "%11.4g"
//   v > 999999   or v < -99999     "%11.0f"
//   v > 1        or v < -1         "%11.3f"
//   v > 0.001    or v < -0.01      "%11.6f"
//   otherwise (0 included)         "%11.4g"
// The negative limits are deliberately not mirror images of the positive ones. A text that
// fills all 11 characters (only "%11.4g" of a negative value with a three-digit exponent,
// "-3.333e-298") gets one blank before it, so that the field stays apart from what precedes it.
std::string FormatNumber(double value);

// The value with five significant digits, trailing zeros of the fraction removed but the
// decimal point kept ("30." for 30, "12.5" for 12.5). Exponent form outside 0.1 <= |v| < 1e5
// ("1.2346e+05"), as the C library's general conversion does.
std::string FormatFiveDigits(double value);

}  // namespace spanlab
