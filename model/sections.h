// The sections of a model, in one table: for each section its name in a data line, its fields
// (key, value error, conversion factor, unit label, dialog label and check), its key error, its
// tree heading, its dialog, its selection hint and its report heading. The format check, the
// items, the old-format conversion, the tree, the dialogs, the selection marker and the reports
// read this table; none of them compares section names of its own.
//
// A model line is split and matched to its section once per run (SplitSectionLines); the format
// check and BuildItems both read the result.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/line_text.h"
#include "model/units.h"

namespace spanlab {

// The sections in the order of the tree's headings. Description lines ("/...") are a section of
// their own; the format line "File Format:3.0" belongs to none.
enum ModelSection : int {
  kSectionDescription,
  kSectionUnits,
  kSectionProperties,
  kSectionReleases,
  kSectionSupports,
  kSectionSprings,
  kSectionPointLoads,
  kSectionUniformLoads,
  kSectionLiveLoad,
  kSectionLoadCombinations,
  kSectionServiceCombinations,
  kSectionDeflectionLimit,
  kSectionCapacity,
  kSectionVehicles,
  kSectionCount,
};

// How a section's fields are read by the format check and by BuildItems.
enum class FieldLayout {
  kText,       // Description: free text, never checked
  kUnitsName,  // Units: field 1 names the unit system
  kKeyed,      // field n carries key n; BuildItems reads the values without looking at the keys
  kEitherOr,   // field 1 key 1; field 2 key 2 or key 3; after key 2 a non-empty field 3 key 3
  kAnyOrder,   // each non-empty field carries one of the keys, none twice, in any order; key 1
               // is required, the others optional
  kSomeOf,     // as kAnyOrder, but every key is optional; at least one must be there
  kCombination,  // "Name = NAME;" once and any number of "CASE = factor;" fields, any order
  kVehicle,      // keyed fields in any order, some holding lists (model/vehicle_line.h)
};

// The checks of an item dialog's fields (their messages are in model/line_fields.cpp).
enum class FieldCheck {
  kNumber,           // a number
  kOptionalNumber,   // a number or blank
  kNonNegative,      // a number >= 0
  kOptionalNonNegative,  // blank or a number >= 0
  kOptionalNonZero,  // blank or a number other than 0
  kPositive,         // a number > 0
  kOptionalPositive,  // blank or a number > 0
  kCaseName,          // blank or a load case name (IsCaseName)
};

// The check of two fields of an item dialog together.
enum class PairCheck { kNone, kAtLeastOne, kNotEqual };

// Which dialog edits a section: the whole section at once, or one line.
// (A combination's dialog has a row per case; ItemDialogFor has none for it.)
// A Vehicle line is edited as its text (kLineText).
enum class SectionDialog { kDescription, kUnits, kItemLine, kCombination, kLineText };

struct SectionField {
  std::string_view key;                // "X", "Disp", ...: compared exactly, case-sensitive
  std::string_view valueError;         // "Error F11 - Invalid X value: " (the line is appended)
  FactorIndex factor = kFactorLength;  // the conversion factor of the value
  UnitQuantity quantity = kQuantityPosition;  // the unit label beside it in its dialog
  const char* dialogLabel = "";               // "X", "Displacement", "V Spring", ...
  FieldCheck check = FieldCheck::kNumber;     // the dialog's check of the field
  bool optional = false;                      // may be left out of the line (blank in the dialog)
  bool plain = false;  // a plain number: no unit and no conversion (its factor is not used)
};

// One "name = label" piece of a report heading.
struct ReportColumn {
  std::string_view name;  // "X", "Displacement", "XStart & XEnd", ...
  UnitQuantity quantity;  // whose unit label follows " = "
};

struct SectionRecord {
  ModelSection id;
  std::string_view name;    // the text before ":" in a data line; empty for Description
  std::string_view prefix;  // what a line of the section starts with: "Support:", "/"
  const char* title;        // the tree heading, also the start of the report heading
  const char* stepName;     // the undo step's noun: "Support" as in "Add Support"
  long selectionHint;       // sent when a line of the section is selected: 11..16, else 10
  FieldLayout layout;
  std::string_view keyError = {};  // a wrong key (F5..F10, the line appended); Units: F4 (alone)
  int fieldCount = 0;              // fields in use, 0..4
  std::array<SectionField, 4> fields = {};
  int reportColumnCount = 0;  // 0 when the section has no heading in the input report
  std::array<ReportColumn, 3> reportColumns = {};
  SectionDialog dialog;
  const char* editTitle;      // "Edit Supports"
  const char* addTitle = "";  // "Add Support"; empty for the whole-section dialogs
  const char* helpTopic;      // "Editing Supports"
  PairCheck pair = PairCheck::kNone;
  int pairFirst = 0;  // field indices of the pair check
  int pairSecond = 0;
  const char* pairMessage = "";
  // The line may carry a "Case = NAME;" field, anywhere among its fields (Point Load, Uniform
  // Load, Live Load). Other data lines may not.
  bool takesCase = false;
  const char* defaultCase = "";  // the case of a line without one: "D", or "L" for the Live Load
};

// The record of a section; `id` must be in [0, kSectionCount).
const SectionRecord& SectionById(int id);

// The data-line section with exactly this name (case-sensitive, untrimmed); nullptr for any
// other text, the empty text and "File Format" among them.
const SectionRecord* FindSection(std::string_view name);

// The index (0..3) of the field of `section` whose key is `key` (exact), or -1.
int FieldIndexOfKey(const SectionRecord& section, std::string_view key);

// A model line split once and matched to its section. The views point into the line and stay
// valid as long as it does.
struct SectionLine {
  const SectionRecord* section = nullptr;  // nullptr: no known section (the format line too)
  // Fields 1..4 as SplitLine gives them; in a data line, of the fields not keyed "Case".
  std::array<std::string_view, 4> field;
};

// What a line holds beyond its four fields (LineExtras): read again from the line where needed,
// so that a model of millions of lines splits into no more than 72 bytes a line.
struct LineExtras {
  // The text between the section's ":" and the comment: a combination line's fields are read
  // from it (they are not limited to four).
  std::string_view body;
  // The fields keyed "Case": the value of the first, and how many there were.
  std::string_view caseName;
  int32_t caseFields = 0;
};
// The extras of a line of a known section (split.section set); quick for a line without "Case".
LineExtras ReadLineExtras(std::string_view line);

// A description line ("/...") is matched to the Description section and not split further;
// every other line is split with SplitLine's rules and matched with FindSection; in a data
// line that holds "Case" the fields keyed so are left out (ReadLineExtras has them).
SectionLine SplitSectionLine(std::string_view line);

// SplitSectionLine for every line, in order.
std::vector<SectionLine> SplitSectionLines(const std::vector<std::string>& lines);

// Whether `name` can name a load case or a combination: 1 to 12 letters (ASCII), digits or "_".
bool IsCaseName(std::string_view name);

// Calls use(field) for every field of a line's body (LineExtras::body), in order: each ended
// by ";" and trimmed as SplitLine trims; text after the last ";" is not a field.
template <class Use>
void ForEachBodyField(std::string_view body, Use&& use) {
  for (size_t semicolon = body.find(';'); semicolon != std::string_view::npos;
       semicolon = body.find(';')) {
    use(TrimWhiteSpace(body.substr(0, semicolon)));
    body.remove_prefix(semicolon + 1);
  }
}

// " key = value;", the form in which the program writes a field.
void AppendField(std::string& line, std::string_view key, std::string_view value);

}  // namespace spanlab
