// Which key each field must carry, and which error a wrong key or a bad value gives, come from
// the section table; this file holds only the three ways of reading fields.
#include "check/format_check.h"

#include <algorithm>
#include <string>
#include <vector>

#include "model/line_text.h"
#include "model/number_text.h"
#include "model/vehicle_line.h"

namespace spanlab {

namespace {

constexpr std::string_view kInvalidCase = "Error F29 - Invalid Case name: ";
constexpr std::string_view kCaseNotTaken = "Error F30 - Case can not be given on this line: ";
constexpr std::string_view kInvalidFactor = "Error F34 - Invalid combination factor: ";

struct LineChecker {
  std::string_view line;
  const SectionRecord& section;
  int64_t& errors;
  MessageLog& log;

  void Report(std::string_view text) {
    ++errors;
    std::string message;
    message.reserve(text.size() + line.size());
    message.append(text).append(line);
    log.AddMessage(message);
  }
  // Field `index` of the section: a wrong key gives the key error, else an invalid value the
  // field's value error.
  void Field(std::string_view field, int index) {
    const SectionField& expected = section.fields[index];
    const KeyValueView kv = SplitKeyValueView(field);
    if (kv.key != expected.key)
      Report(section.keyError);
    else if (!IsValidNumber(kv.value))
      Report(expected.valueError);
  }
  // Field 1 with key 1; field 2 with key 2 or key 3; after key 2 a non-empty field 3 must carry
  // key 3.
  void EitherOr(const std::array<std::string_view, 4>& f) {
    Field(f[0], 0);
    const SectionField& first = section.fields[1];
    const SectionField& second = section.fields[2];
    const KeyValueView kv = SplitKeyValueView(f[1]);
    if (kv.key == first.key) {
      if (!IsValidNumber(kv.value)) Report(first.valueError);
      if (!f[2].empty()) Field(f[2], 2);
    } else if (kv.key == second.key) {
      if (!IsValidNumber(kv.value)) Report(second.valueError);
    } else {
      Report(section.keyError);
    }
  }
  // Every non-empty field carries one of the section's keys, none twice; the first key must be
  // there. An unknown or repeated key, and a missing first key, give the key error.
  void AnyOrder(const std::array<std::string_view, 4>& f, bool firstRequired) {
    std::array<bool, 4> seen{};
    for (std::string_view field : f) {
      if (field.empty()) continue;
      const KeyValueView kv = SplitKeyValueView(field);
      const int index = FieldIndexOfKey(section, kv.key);
      if (index < 0 || seen[index]) {
        Report(section.keyError);
        continue;
      }
      seen[index] = true;
      if (!IsValidNumber(kv.value)) Report(section.fields[index].valueError);
    }
    if (firstRequired ? !seen[0] : seen == std::array<bool, 4>{}) Report(section.keyError);
  }
  // A combination: "Name" once with a valid name, and each other key a case name, none twice,
  // with a number. A wrong, missing or repeated key gives the key error.
  void Combination(std::string_view body) {
    bool named = false;
    std::vector<std::string_view> cases;
    ForEachBodyField(body, [&](std::string_view field) {
      const KeyValueView kv = SplitKeyValueView(field);
      if (kv.key == "Name") {
        if (named) Report(section.keyError);
        else if (!IsCaseName(kv.value)) Report(section.fields[0].valueError);
        named = true;
      } else if (!IsCaseName(kv.key) ||
                 std::find(cases.begin(), cases.end(), kv.key) != cases.end()) {
        Report(section.keyError);
      } else {
        cases.push_back(kv.key);
        if (!IsValidNumber(kv.value)) Report(kInvalidFactor);
      }
    });
    if (!named) Report(section.keyError);
  }
  // The Case fields taken out of a line: one at most, with a valid name, on a load line.
  void CaseFields() {
    if (line.find("Case") == std::string_view::npos) return;
    const LineExtras extras = ReadLineExtras(line);
    if (extras.caseFields == 0) return;
    if (!section.takesCase) Report(kCaseNotTaken);
    else if (extras.caseFields > 1) Report(section.keyError);
    else if (!IsCaseName(extras.caseName)) Report(kInvalidCase);
  }
};

}  // namespace

void CheckLineFormat(std::string_view line, int64_t& errorCount, MessageLog& log) {
  CheckLineFormat(line, SplitSectionLine(line), errorCount, log);
}

void CheckLineFormat(std::string_view line, const SectionLine& split, int64_t& errorCount,
                     MessageLog& log) {
  if (!split.section) {
    ++errorCount;
    log.AddMessage(std::string("Error F3 - Line type not found: ").append(line));
    return;
  }
  LineChecker c{line, *split.section, errorCount, log};
  const auto& f = split.field;
  switch (c.section.layout) {
    case FieldLayout::kText:
      return;
    case FieldLayout::kUnitsName: {
      const int units = UnitsFromName(f[0]);
      if (units == 0 || units == kUnitsUserDefined) {
        ++errorCount;
        log.AddMessage(c.section.keyError);
      }
      return;
    }
    case FieldLayout::kKeyed:
      for (int i = 0; i < c.section.fieldCount; ++i) c.Field(f[i], i);
      break;
    case FieldLayout::kEitherOr:
      c.EitherOr(f);
      break;
    case FieldLayout::kAnyOrder:
    case FieldLayout::kSomeOf:
      c.AnyOrder(f, c.section.layout == FieldLayout::kAnyOrder);
      break;
    case FieldLayout::kCombination:
      c.Combination(ReadLineExtras(line).body);
      return;
    case FieldLayout::kVehicle:
      if (const VehicleLine v = ReadVehicleLine(ReadLineExtras(line).body); !v.error.empty())
        c.Report(v.error);
      return;
  }
  c.CaseFields();
}

}  // namespace spanlab
