// The fields of a Load Combination or Service Combination line as its dialog has them: the name,
// one row per case with its factor, and the comment; how a line is split into them, how they
// are checked on OK and how the line is written back (" Name = ULS2; D = 1.2; L = 1.6; /text").
// Texts stay what the user typed, trimmed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/model_items.h"

namespace spanlab {

struct CombinationRow {
  std::string caseName;  // a case name (IsCaseName)
  std::string factor;    // a number as typed; a row with a blank factor is left out
};

struct CombinationForm {
  std::string name;
  std::vector<CombinationRow> rows;
  std::string comment;  // the text after the line's first "/"
};

// Splits a combination line (without its section prefix): the comment is cut off at the first
// "/"; the fields before it are read in order, "Name" into `name` (the last one given), every
// other keyed field into a row. Text after the last ";" is no field.
CombinationForm SplitCombinationLine(const std::string& line);

// Where CheckCombinationForm found a fault: the name, a row's case or factor, or the comment.
struct CombinationProblem {
  enum class Where { kNone, kName, kCase, kFactor, kComment };
  Where where = Where::kNone;
  int row = -1;  // with kCase and kFactor
  std::string message;
  bool ok() const { return where == Where::kNone; }
};

// The checks of OK, in order: the comment's length (50 characters), the name (IsCaseName, and
// not the name of another combination of `items`: `ownName` is the name the line had when the
// dialog opened, which it may keep), then each row that is not blank: its case (IsCaseName, not
// "Name", not twice) and its factor (a number of at most 15 characters). Blank rows (no case, no
// factor) are skipped; a row with a case and no factor is left out of the line.
CombinationProblem CheckCombinationForm(const CombinationForm& form, const ModelItems& items,
                                        std::string_view ownName);

// The line the dialog writes: " Name = N;" then " CASE = factor;" for each row with a factor,
// in row order, then " /" + comment (trailing blanks removed) when not empty.
std::string BuildCombinationLine(const CombinationForm& form);

}  // namespace spanlab
