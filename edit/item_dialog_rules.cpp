#include "edit/item_dialog_rules.h"

#include "edit/tree_sections.h"
#include "model/line_text.h"
#include "model/number_text.h"
#include "model/units.h"

namespace spanlab {

namespace {

using FC = FieldCheck;

const ItemDialogSpec kDialogs[] = {
    {kSectionProperties, "Edit Properties", "Add Property", "Editing Beam Properties",
     {{"X", "X =", kQuantityPosition, FC::kNonNegative, false},
      {"E", "E =", kQuantityE, FC::kPositive, false},
      {"I", "I =", kQuantityI, FC::kPositive, false}}},
    {kSectionReleases, "Edit Moment Releases", "Add Moment Release", "Editing Moment Releases",
     {{"X", "X =", kQuantityPosition, FC::kNonNegative, false}}},
    {kSectionSupports, "Edit Supports", "Add Support", "Editing Supports",
     {{"X", "X =", kQuantityPosition, FC::kNonNegative, false},
      {"Displacement", "Disp =", kQuantityDisp, FC::kOptionalNumber, true},
      {"Rotation", "Rotation =", kQuantitySupportRotation, FC::kOptionalNumber, true}},
     PairCheck::kAtLeastOne, 1, 2, "Please enter a value for Displacement or Rotation or both."},
    {kSectionSprings, "Edit Springs", "Add Spring", "Editing Springs",
     {{"X", "X =", kQuantityPosition, FC::kNonNegative, false},
      {"V Spring", "VSpring =", kQuantityVSpring, FC::kOptionalNonZero, true},
      {"R Spring", "RSpring =", kQuantityRSpring, FC::kOptionalNonZero, true}},
     PairCheck::kAtLeastOne, 1, 2, "Please enter a value for VSpring or RSpring or both."},
    {kSectionPointLoads, "Edit Point Load", "Add Point Load", "Editing Point Loads",
     {{"X", "X =", kQuantityPosition, FC::kNonNegative, false},
      {"Point Load", "PLoad =", kQuantityPLoad, FC::kOptionalNonZero, true},
      {"Moment", "Moment =", kQuantityPointMoment, FC::kOptionalNonZero, true}},
     PairCheck::kAtLeastOne, 1, 2, "Please enter a value for Point Load or Moment or both."},
    {kSectionUniformLoads, "Edit Uniform Load", "Add Uniform Load", "Editing Uniform Loads",
     {{"X Start", "XStart =", kQuantityPosition, FC::kNumber, false},
      {"X End", "XEnd =", kQuantityPosition, FC::kNumber, false},
      {"U Start", "UStart =", kQuantityUniform, FC::kNumber, false},
      {"U End", "UEnd =", kQuantityUniform, FC::kNumber, false}},
     PairCheck::kNotEqual, 0, 1, "XStart can not be equal to XEnd."},
};

constexpr const char* kTooLong = "Please enter a maximum of 15 characters.";
constexpr const char* kNotANumber = "Please enter a valid number.";

bool KeepsSearchingWholeText(const std::string& key) {
  return key == "X =" || key == "XEnd =" || key == "XStart =";
}

std::string Trimmed(const std::string& s) { return std::string(TrimWhiteSpace(s)); }

}  // namespace

const ItemDialogSpec* ItemDialogFor(int section) {
  for (const ItemDialogSpec& form : kDialogs) {
    if (form.section == section) return &form;
  }
  return nullptr;
}

DialogValues SplitDialogLine(const ItemDialogSpec& form, const std::string& line) {
  DialogValues values;
  values.fields.resize(form.fields.size());
  std::string work = line;
  if (const size_t slash = work.find('/'); slash != std::string::npos) {
    values.comment = work.substr(slash + 1);
    work.resize(slash);
  }
  for (size_t i = form.fields.size(); i-- > 0;) {
    const std::string key = form.fields[i].key;
    const size_t at = work.find(key);
    if (at == std::string::npos) continue;
    std::string value = work.substr(at + key.size());
    if (const size_t semicolon = value.find(';'); semicolon != std::string::npos) {
      value.resize(semicolon);
    }
    values.fields[i] = Trimmed(value);
    if (!KeepsSearchingWholeText(key)) work.resize(at);
  }
  return values;
}

std::string CheckField(FieldCheck check, const std::string& raw) {
  const std::string text = Trimmed(raw);
  switch (check) {
    case FC::kOptionalNumber:
      if (text.empty()) return {};
      [[fallthrough]];
    case FC::kNumber:
      if (text.size() > 15) return kTooLong;
      if (!IsValidNumber(text)) return kNotANumber;
      return {};
    case FC::kNonNegative:
      if (text.size() > 15) return kTooLong;
      if (!IsValidNumber(text)) return kNotANumber;
      if (ConvertNumber(text) < 0) return "Please enter a number greater than or equal to zero.";
      return {};
    case FC::kOptionalNonZero:
      if (text.size() > 15) return kTooLong;
      if (text.empty()) return {};
      if (!IsValidNumber(text)) return kNotANumber;
      if (ConvertNumber(text) == 0) {
        return "Please enter a number other than zero or leave the field blank.";
      }
      return {};
    case FC::kPositive:
      if (text.size() > 15) return kTooLong;
      if (!IsValidNumber(text)) return kNotANumber;
      if (ConvertNumber(text) <= 0) return "Please enter a number greater than zero.";
      return {};
  }
  return {};
}

// Characters of a UTF-8 text (a continuation byte does not start one).
size_t CharacterCount(const std::string& text) {
  size_t count = 0;
  for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

FieldProblem CheckDialogValues(const ItemDialogSpec& form, const DialogValues& values) {
  if (CharacterCount(values.comment) > kMaxCommentLength) {
    return {static_cast<int>(form.fields.size()), "Please enter no more than 50 characters."};
  }
  for (size_t i = 0; i < form.fields.size(); ++i) {
    const std::string message = CheckField(form.fields[i].check, values.fields[i]);
    if (!message.empty()) return {static_cast<int>(i), message};
  }
  const std::string a = Trimmed(values.fields[form.pairFirst]);
  const std::string b = Trimmed(values.fields[form.pairSecond]);
  if (form.pair == PairCheck::kAtLeastOne && a.empty() && b.empty()) {
    return {form.pairFirst, form.pairMessage};
  }
  if (form.pair == PairCheck::kNotEqual && ConvertNumber(a) == ConvertNumber(b)) {
    return {form.pairFirst, form.pairMessage};
  }
  return {};
}

std::string BuildDialogLine(const ItemDialogSpec& form, const DialogValues& values) {
  std::string line;
  for (size_t i = 0; i < form.fields.size(); ++i) {
    const std::string value = Trimmed(values.fields[i]);
    if (form.fields[i].omitWhenBlank && value.empty()) continue;
    line += " " + std::string(form.fields[i].key) + " " + value + ";";
  }
  std::string comment = values.comment;
  while (!comment.empty() && std::string_view(" \t\r\n\v\f").find(comment.back()) != std::string_view::npos) {
    comment.pop_back();
  }
  if (!comment.empty()) line += " /" + comment;
  return line;
}

int UnitsChoiceForText(const std::string& text) {
  int choice = 2;
  if (text.find("English") != std::string::npos) choice = 0;
  if (text.find("Metric") != std::string::npos) choice = 1;
  if (text.find("User Defined") != std::string::npos) choice = 3;
  return choice;
}

std::string UnitsTextForChoice(int choice, const std::string& previous) {
  switch (choice) {
    case 0: return "English;";
    case 1: return "Metric;";
    case 2: return "Consistent;";
    case 3: return "User Defined;";
    default: return previous;
  }
}

}  // namespace spanlab
