// Which key each field must carry, and which error a wrong key or a bad value gives, come from
// the section table; this file holds only the three ways of reading fields.
#include "check/format_check.h"

#include <string>

#include "model/line_text.h"
#include "model/number_text.h"

namespace spanlab {

namespace {

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
  void AnyOrder(const std::array<std::string_view, 4>& f) {
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
    if (!seen[0]) Report(section.keyError);
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
      return;
    case FieldLayout::kEitherOr:
      c.EitherOr(f);
      return;
    case FieldLayout::kAnyOrder:
      c.AnyOrder(f);
      return;
  }
}

}  // namespace spanlab
