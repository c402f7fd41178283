// Reading and writing numbers in model lines and program output, independent of the locale.
//
// The program runs with the user's locale, where the decimal separator may be a comma; model
// lines and reports always use the decimal point. Nothing here consults the process locale.
#pragma once

#include <string>
#include <string_view>

namespace spanlab {

// True when `text`, after leading blanks and tabs, is one decimal number followed only by blanks
// and tabs. Decimal syntax: optional sign, digits with an optional decimal point (or a point and
// digits), optional exponent. No hexadecimal, no "inf"/"nan", nothing that overflows a double.
// A number equal to zero is valid only when its first character is the digit "0", so "0", "0.0"
// and "0e3" pass while "-0", "+0", ".0" and "" do not.
bool IsValidNumber(std::string_view text);

// The value of the longest decimal number at the start of `text` (after leading white space),
// as the C library's text-to-double conversion reads it in the "C" locale; 0 when there is none
// or when it overflows a double (such text is never a valid number, see IsValidNumber).
double ConvertNumber(std::string_view text);

// printf("%.*f", decimals, value) in the "C" locale. "-0.000" for tiny negative values.
std::string FormatFixed(double value, int decimals);

// printf("%.*e", decimals, value) in the "C" locale ("1.2346e+05").
std::string FormatScientific(double value, int decimals);

// printf("%.*g", digits, value) in the "C" locale.
std::string FormatGeneral(double value, int digits);

// Writes FormatGeneral(value, digits) into [first, last) without a string of its own, for
// writers of many numbers. Returns the end of the text, or nullptr when it does not fit; with
// 1 <= digits <= 17, kGeneralTextMax characters always suffice ("-1.2345678901234567e-308").
char* WriteGeneral(char* first, char* last, double value, int digits);
inline constexpr int kGeneralTextMax = 24;

// The shortest text that ConvertNumber reads back as exactly `value` (std::to_chars's shortest
// form in the "C" locale, the fixed style where it is no longer: "0.3", "4642340", "1e+20",
// "1.5e-07"). Both zeros give "0". Precondition: `value` is finite.
std::string ShortestText(double value);

// The number of decimal places of a decimal number's text: the digits after its point less its
// exponent ("12" 0, "0.25" 2, "1.5e-3" 4, "5e3" -3); 0 when the text holds no number.
int DecimalPlaces(std::string_view text);

// The double nearest to `value` rounded to `places` decimal places (negative: to a multiple of
// 10^-places), so that a sum or multiple of decimals computed in doubles becomes the double of
// the exact decimal again: RoundToDecimalPlaces(3 * 0.1, 1) == 0.3. `value` itself when it is
// not finite or when the rounded number's digits do not fit a double exactly (2^53 and up,
// or |places| > 22).
double RoundToDecimalPlaces(double value, int places);

}  // namespace spanlab
