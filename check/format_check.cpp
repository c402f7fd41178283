#include "check/format_check.h"

#include <string>

#include "model/line_text.h"
#include "model/number_text.h"

namespace spanlab {

namespace {

struct LineChecker {
  std::string_view line;
  int64_t& errors;
  MessageLog& log;

  void Report(std::string_view text) {
    ++errors;
    log.AddMessage(std::string(text) + std::string(line));
  }
  void ReportAlone(std::string_view text) {
    ++errors;
    log.AddMessage(text);
  }
  // A field with the key `key`: a wrong key gives `keyError`, else an invalid value `valueError`.
  void Field(const std::string& field, std::string_view key, std::string_view keyError,
             std::string_view valueError) {
    const KeyValue kv = SplitKeyValue(field);
    if (kv.key != key) Report(keyError);
    else if (!IsValidNumber(kv.value)) Report(valueError);
  }
  // Support, Spring and Point Load: field 2 carries `first` or `second`; after `first`, a
  // non-empty field 3 must carry `second`.
  void EitherOr(const LineParts& parts, std::string_view first, std::string_view firstValueError,
                std::string_view second, std::string_view secondValueError,
                std::string_view keyError) {
    const KeyValue kv = SplitKeyValue(parts.field[1]);
    if (kv.key == first) {
      if (!IsValidNumber(kv.value)) Report(firstValueError);
      if (!parts.field[2].empty()) Field(parts.field[2], second, keyError, secondValueError);
    } else if (kv.key == second) {
      if (!IsValidNumber(kv.value)) Report(secondValueError);
    } else {
      Report(keyError);
    }
  }
};

}  // namespace

void CheckLineFormat(std::string_view line, int64_t& errorCount, MessageLog& log) {
  if (!line.empty() && line[0] == '/') return;
  LineChecker c{line, errorCount, log};
  const LineParts parts = SplitLine(line);
  const std::string& section = parts.section;
  const auto& f = parts.field;
  if (section == "Units") {
    if (f[0] != "English" && f[0] != "Metric" && f[0] != "Consistent") {
      c.ReportAlone("Error F4 - Invalid units specified.");
    }
  } else if (section == "Member Property") {
    constexpr std::string_view k = "Error F5 - Invalid Member Property: ";
    c.Field(f[0], "X", k, "Error F11 - Invalid X value: ");
    c.Field(f[1], "E", k, "Error F12 - Invalid E value: ");
    c.Field(f[2], "I", k, "Error F13 - Invalid I value: ");
  } else if (section == "Moment Release") {
    c.Field(f[0], "X", "Error F6 - Invalid Moment Release: ", "Error F11 - Invalid X value: ");
  } else if (section == "Support") {
    constexpr std::string_view k = "Error F7 - Invalid Support: ";
    c.Field(f[0], "X", k, "Error F11 - Invalid X value: ");
    c.EitherOr(parts, "Disp", "Error F14 - Invalid Disp value: ", "Rotation",
               "Error F15 - Invalid Rotation value: ", k);
  } else if (section == "Spring") {
    constexpr std::string_view k = "Error F8 - Invalid Spring: ";
    c.Field(f[0], "X", k, "Error F11 - Invalid X value: ");
    c.EitherOr(parts, "VSpring", "Error F16 - Invalid VSpring value: ", "RSpring",
               "Error F17 - Invalid RSpring value: ", k);
  } else if (section == "Point Load") {
    constexpr std::string_view k = "Error F9 - Invalid Point Load: ";
    c.Field(f[0], "X", k, "Error F11 - Invalid X value: ");
    c.EitherOr(parts, "PLoad", "Error F18 - Invalid PLoad value: ", "Moment",
               "Error F19 - Invalid Moment value: ", k);
  } else if (section == "Uniform Load") {
    constexpr std::string_view k = "Error F10 - Invalid Uniform Load: ";
    c.Field(f[0], "XStart", k, "Error F20 - Invalid XStart value: ");
    c.Field(f[1], "XEnd", k, "Error F21 - Invalid XEnd value: ");
    c.Field(f[2], "UStart", k, "Error F22 - Invalid UStart value: ");
    c.Field(f[3], "UEnd", k, "Error F23 - Invalid UEnd value: ");
  } else {
    c.Report("Error F3 - Line type not found: ");
  }
}

}  // namespace spanlab
