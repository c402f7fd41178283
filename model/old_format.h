// Conversion of models written by older versions of the program: plain text with a units line,
// the sections MEMBER PROPERTIES, POINT LOADS and UNIFORM LOADS, and data rows in fixed columns
// of ten characters. The combined stiffness EI of those files becomes E with I = 1.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace spanlab {

// The six columns of an older data row: characters 1-10, 11-20, ..., 51-60 (0-based; the
// first character of the row is not read), each trimmed; missing columns are empty.
std::array<std::string, 6> SplitOldColumns(std::string_view row);

// The model lines for the text lines of an older file (all of them, the first included):
// "File Format:3.0", the leading description lines, a Units line, then the member property,
// spring, support and release lines, the point loads and the uniform loads.
std::vector<std::string> ConvertOldLines(const std::vector<std::string>& text);

}  // namespace spanlab
