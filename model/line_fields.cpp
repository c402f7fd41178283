#include "model/line_fields.h"

#include <algorithm>

#include "model/line_text.h"
#include "model/number_text.h"
#include "model/units.h"

namespace spanlab {

namespace {

using FC = FieldCheck;

constexpr std::string_view kCaseKey = "Case =";

// The item dialog of a section, from its record.
ItemDialogSpec MakeDialog(const SectionRecord& s) {
  ItemDialogSpec form{s.id,   s.editTitle, s.addTitle,   s.helpTopic,  {},
                      s.pair, s.pairFirst, s.pairSecond, s.pairMessage};
  for (int i = 0; i < s.fieldCount; ++i) {
    const SectionField& f = s.fields[i];
    form.fields.push_back(
        {f.dialogLabel, std::string(f.key) + " =", f.quantity, f.check, f.optional});
  }
  if (s.takesCase) form.fields.push_back({"Case", std::string(kCaseKey), 0, FC::kCaseName, true});
  return form;
}

constexpr const char* kTooLong = "Please enter a maximum of 15 characters.";
constexpr const char* kNotANumber = "Please enter a valid number.";

std::string Trimmed(const std::string& s) { return std::string(TrimWhiteSpace(s)); }

// Whether `key` is the key of some section's first field holding a position.
bool IsFirstPositionKey(std::string_view key) {
  for (int id = 0; id < kSectionCount; ++id) {
    const SectionRecord& s = SectionById(id);
    if (s.fieldCount > 0 && IsPositionField(s.fields[0]) && s.fields[0].key == key) return true;
  }
  return false;
}

}  // namespace

ItemFieldValues ReadItemFields(const SectionRecord& s, const std::array<std::string_view, 4>& field,
                               const UnitFactors& factors) {
  ItemFieldValues v;
  auto take = [&](int i, std::string_view value) {
    const double number = ConvertNumber(value);
    v.value[i] = s.fields[i].plain ? number : number * factors[s.fields[i].factor];
    v.given[i] = true;
  };
  if (s.layout == FieldLayout::kKeyed) {
    for (int i = 0; i < s.fieldCount; ++i) take(i, SplitKeyValueView(field[i]).value);
  } else if (s.layout == FieldLayout::kEitherOr) {
    take(0, SplitKeyValueView(field[0]).value);
    const KeyValueView field2 = SplitKeyValueView(field[1]);
    if (field2.key == s.fields[1].key) take(1, field2.value);
    else if (field2.key == s.fields[2].key) take(2, field2.value);
    const KeyValueView field3 = SplitKeyValueView(field[2]);
    if (field3.key == s.fields[2].key) take(2, field3.value);
  } else if (s.layout == FieldLayout::kAnyOrder || s.layout == FieldLayout::kSomeOf) {
    for (std::string_view text : field) {
      const KeyValueView kv = SplitKeyValueView(text);
      if (const int i = FieldIndexOfKey(s, kv.key); i >= 0) take(i, kv.value);
    }
  }
  return v;
}

bool IsPositionField(const SectionField& field) {
  return field.factor == kFactorLength && !field.plain;
}

double GetLinePosition(std::string_view text) {
  const KeyValueView kv = SplitKeyValueView(SplitLineView(text).field[0]);
  if (IsFirstPositionKey(kv.key) && IsValidNumber(kv.value)) return ConvertNumber(kv.value);
  return 0;
}

int UnitsAtLine(const std::vector<std::string>& lines, size_t index) {
  int units = kUnitsConsistent;
  const std::string_view prefix = SectionById(kSectionUnits).prefix;
  for (size_t i = 0; i < index && i < lines.size(); ++i) {
    if (lines[i].compare(0, prefix.size(), prefix) != 0) continue;  // cheap: no other line counts
    const SectionLine split = SplitSectionLine(lines[i]);
    if (!split.section || split.section->id != kSectionUnits) continue;
    if (const int named = UnitsFromName(split.field[0]); named != 0) units = named;
  }
  return units;
}

std::optional<size_t> SectionLineIndex(const std::vector<std::string>& lines,
                                       const SectionRecord& section, size_t row) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (std::string_view(lines[i]).starts_with(section.prefix) && row-- == 0) return i;
  }
  return std::nullopt;
}

std::optional<size_t> FindSectionLine(const std::vector<std::string>& lines,
                                      const SectionRecord& section, std::string_view text) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (line == text) return i;
    if (line.starts_with(section.prefix) && line.substr(section.prefix.size()) == text) return i;
  }
  return std::nullopt;
}

const ItemDialogSpec* ItemDialogFor(int section) {
  static const std::vector<ItemDialogSpec> kDialogs = [] {
    std::vector<ItemDialogSpec> forms;
    for (int s = 0; s < kSectionCount; ++s) forms.push_back(MakeDialog(SectionById(s)));
    return forms;
  }();
  if (section < 0 || section >= kSectionCount) return nullptr;
  if (SectionById(section).dialog != SectionDialog::kItemLine) return nullptr;
  return &kDialogs[static_cast<size_t>(section)];
}

DialogValues SplitDialogLine(const ItemDialogSpec& form, const std::string& line) {
  DialogValues values;
  values.fields.resize(form.fields.size());
  std::string work = line;
  if (const size_t slash = work.find('/'); slash != std::string::npos) {
    values.comment = work.substr(slash + 1);
    work.resize(slash);
  }
  // Keys in any order (Live Load): each is searched in the whole text.
  // Otherwise after a found key only the text before it is searched further, except after a
  // position's key.
  const SectionRecord& section = SectionById(form.section);
  // A load's case may stand anywhere: its field is cut out of the text, whatever follows it.
  const bool anyOrder =
      section.layout == FieldLayout::kAnyOrder || section.layout == FieldLayout::kSomeOf;
  for (size_t i = form.fields.size(); i-- > 0;) {
    const std::string key = form.fields[i].key;
    const size_t at = work.find(key);
    if (at == std::string::npos) continue;
    std::string value = work.substr(at + key.size());
    const size_t semicolon = value.find(';');
    if (semicolon != std::string::npos) value.resize(semicolon);
    values.fields[i] = Trimmed(value);
    if (key == kCaseKey) {
      work.erase(at, semicolon == std::string::npos ? std::string::npos
                                                    : key.size() + semicolon + 1);
    } else if (!anyOrder && !IsPositionField(section.fields[i])) {
      work.resize(at);
    }
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
    case FC::kOptionalNonNegative:
      if (text.empty()) return {};
      [[fallthrough]];
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
    case FC::kOptionalPositive:
      if (text.empty()) return {};
      [[fallthrough]];
    case FC::kPositive:
      if (text.size() > 15) return kTooLong;
      if (!IsValidNumber(text)) return kNotANumber;
      if (ConvertNumber(text) <= 0) return "Please enter a number greater than zero.";
      return {};
    case FC::kCaseName:
      if (text.empty() || IsCaseName(text)) return {};
      return "Please enter a name of 1 to 12 letters, digits or underscores.";
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
  // A line of only optional fields needs one of them (Capacity: the format check refuses it
  // empty).
  if (form.pair == PairCheck::kNone && SectionById(form.section).layout == FieldLayout::kSomeOf &&
      std::all_of(values.fields.begin(), values.fields.end(),
                  [](const std::string& f) { return Trimmed(f).empty(); })) {
    return {0, "Please enter at least one value."};
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

std::string FieldNumberText(double value) {
  return FormatGeneral(value + 0.0, 6);  // + 0.0 turns -0 into 0: "-0" is no valid number
}

std::string LineWithFieldValue(const ItemDialogSpec& form, const std::string& text, int field,
                               const std::string& value) {
  DialogValues values = SplitDialogLine(form, text);
  values.fields.at(static_cast<size_t>(field)) = value;
  if (!CheckField(form.fields[static_cast<size_t>(field)].check, value).empty()) return {};
  const bool inPair = field == form.pairFirst || field == form.pairSecond;
  if (form.pair == PairCheck::kNotEqual && inPair &&
      ConvertNumber(Trimmed(values.fields[form.pairFirst])) ==
          ConvertNumber(Trimmed(values.fields[form.pairSecond]))) {
    return {};
  }
  return BuildDialogLine(form, values);
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
