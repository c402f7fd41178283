// Splitting of model lines into section, fields and comment, and of fields into key and value.
//
// A data line reads `Section: key = value; key = value; ... /comment`. The rules are deliberately
// literal (no trimming of the section, the key is everything before "=" except the one character
// directly in front of it) because the format check and the editor depend on them exactly.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace spanlab {

// The parts of one model line. All start empty.
struct LineParts {
  std::string section;               // text before the first ":", not trimmed
  std::array<std::string, 4> field;  // fields 1..4 (index 0..3), each trimmed of white space
  std::string comment;               // text after the first "/", not trimmed
};

// Splits a model line: the comment is cut off at the first "/", the section at the first ":",
// then up to four fields are taken, each ended by ";". A field without its ";" stays empty and
// text after the fourth ";" is dropped.
LineParts SplitLine(std::string_view line);

// The same parts as views into the line: SplitLine without copying.
struct LineView {
  std::string_view section;
  std::array<std::string_view, 4> field;
  std::string_view comment;
};
LineView SplitLineView(std::string_view line);

struct KeyValue {
  std::string key;
  std::string value;
};

// Splits a field at its first "=": the key is the text before it minus the one character
// directly in front of "=" (the program writes " = "), the value the text after it; both are
// trimmed. So "X = 5" gives ("X", "5") while "X=5" gives ("", "5"). Without "=" both are empty.
KeyValue SplitKeyValue(std::string_view field);

// The same as views into the field.
struct KeyValueView {
  std::string_view key;
  std::string_view value;
};
KeyValueView SplitKeyValueView(std::string_view field);

// Removes leading and trailing blanks, tabs, CR, LF, VT and FF.
std::string_view TrimWhiteSpace(std::string_view text);

// Whether the bytes are well-formed UTF-8: each lead byte (C2..F4) followed by as many
// continuation bytes (80..BF) as it announces, no other byte above 7F. (Overlong and surrogate
// forms of three and four bytes are not looked for.) Text of a line is shown as UTF-8 when it
// is, and as Latin-1, one character a byte, when it is not.
bool IsValidUtf8(std::string_view bytes);

}  // namespace spanlab
