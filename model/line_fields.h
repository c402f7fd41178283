// A data line's fields, read and written in one place. As values: what BuildItems makes of an
// item line (ReadItemFields, in the units in force at the line), the position the tree sorts a
// line by, and the unit system in force at a line. As text: which fields each item dialog has,
// how a line is split into them when the dialog opens (and when the drag moves an item), how the
// fields are checked on OK, and how the line is written back; there values stay what the user
// typed, trimmed.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/sections.h"

namespace spanlab {

// ---- Values ----

// The values of an item line's fields in internal units (a plain field as written), and which
// fields the line gives.
struct ItemFieldValues {
  std::array<double, 4> value{};
  std::array<bool, 4> given{};
};

// The values BuildItems takes from the fields of a line of `section` (split by SplitLine's
// rules), with `factors` the factors in force at the line. Keyed sections: every field's value,
// whatever its key (the format check has looked at the keys). Either-or sections: field 1;
// field 2 by its key; field 3 only with the second key (a later value overwrites an earlier
// one). Any-order sections: each field by its key. Keys compare exactly; a value that is no
// number reads as 0 (ConvertNumber).
ItemFieldValues ReadItemFields(const SectionRecord& section,
                               const std::array<std::string_view, 4>& field,
                               const UnitFactors& factors);

// Whether a field holds a position along the beam: X, XStart, XEnd.
bool IsPositionField(const SectionField& field);

// The position a line's text (with or without its prefix) sorts by in the tree, as written (no
// unit factor): the value of its first field when that carries the key of a section's first
// position field ("X", "XStart") and a valid number; 0 otherwise.
double GetLinePosition(std::string_view text);

// The unit system in force at lines[index] as BuildItems reads the lines: that of the last
// "Units" line before it naming a known system; Consistent when there is none.
int UnitsAtLine(const std::vector<std::string>& lines, size_t index);

// The index of line `row` of `section` in `lines` (its item's place in the item list), counting
// the lines that start with the section's prefix; nullopt when the section has fewer lines.
std::optional<size_t> SectionLineIndex(const std::vector<std::string>& lines,
                                       const SectionRecord& section, size_t row);

// The index of the first line of `section` in `lines` that is `text`, or its prefix followed by
// `text` (the tree's text of the line); nullopt when there is none.
std::optional<size_t> FindSectionLine(const std::vector<std::string>& lines,
                                      const SectionRecord& section, std::string_view text);

// ---- Text, as the item dialogs have it ----

// FieldCheck (the field checks, with their messages in the .cpp) and PairCheck come with the
// section table, which says which dialog field uses which.

struct DialogField {
  const char* label;  // "X", "Displacement", ...
  std::string key;    // the key with its blank before "=": "X =", "Disp =", ...
  int unitCode;       // GetUnitLabel code of the label beside the field
  FieldCheck check;
  bool omitWhenBlank;  // an optional field is left out of the line when blank
};

struct ItemDialogSpec {
  int section;            // ModelSection of the dialog
  const char* editTitle;  // "Edit Supports"
  const char* addTitle;   // "Add Support"
  const char* helpTopic;  // "Editing Supports"
  std::vector<DialogField> fields;  // in tab order
  PairCheck pair = PairCheck::kNone;
  int pairFirst = 0, pairSecond = 0;  // field indices of the pair check
  const char* pairMessage = "";
};

// The dialog of a one-line section (Properties .. Uniform Loads), made from the section table;
// nullptr for other sections.
const ItemDialogSpec* ItemDialogFor(int section);

struct DialogValues {
  std::vector<std::string> fields;  // one text per field of the dialog
  std::string comment;              // the text after the line's first "/"
};

inline constexpr size_t kMaxCommentLength = 50;  // characters, not bytes

// Splits a line (without its section prefix) into the dialog's fields: the comment is cut off
// at the first "/"; then each key is searched, last field first, and its value is the text
// after it up to the next ";", trimmed. After a found key only the text before it is searched
// further, except after "X =", "XEnd =" and "XStart =". Keys not found leave their field blank.
DialogValues SplitDialogLine(const ItemDialogSpec& form, const std::string& line);

struct FieldProblem {
  int field = -1;  // index of the field to focus; -1 when all is well
  std::string message;
  bool ok() const { return field < 0; }
};

// The message of one check on one field's text, or empty when the text passes.
std::string CheckField(FieldCheck check, const std::string& text);

// Runs the dialog's checks in their order; the first failure is returned.
FieldProblem CheckDialogValues(const ItemDialogSpec& form, const DialogValues& values);

// The line the dialog writes: " X = 3;" then " Key = value;" for each further field (blank
// optional fields left out), then " /" + comment (trailing blanks removed) when not empty.
std::string BuildDialogLine(const ItemDialogSpec& form, const DialogValues& values);

// The text a dialog puts into a field for a value it computed itself (the inertia calculator's
// result): "%g" in the "C" locale, zero always "0". Positions moved along the beam are written
// in full instead (ShortestText), as six digits would move them.
std::string FieldNumberText(double value);

// The line `text` (without its prefix) of an item dialog's section with field `field` set to
// `value` and everything else as the dialog would read and write it again: the same as opening
// the dialog on the line, typing the value and pressing OK. An empty text when OK would refuse
// the new value (no number >= 0 for a position, XStart equal to XEnd); faults the line had
// before (a comment of 60 characters read from a file, say) stay as they were.
std::string LineWithFieldValue(const ItemDialogSpec& form, const std::string& text, int field,
                               const std::string& value);

// The Units dialog: the button chosen for a section text (0 English, 1 Metric, 2 Consistent,
// 3 User Defined, which checks no button) and the text written for a choice (-1: unchanged).
int UnitsChoiceForText(const std::string& text);
std::string UnitsTextForChoice(int choice, const std::string& previous);

}  // namespace spanlab
