#include "model/line_text.h"

namespace spanlab {

namespace {
constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";
}

std::string_view TrimWhiteSpace(std::string_view text) {
  const size_t first = text.find_first_not_of(kWhiteSpace);
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(kWhiteSpace);
  return text.substr(first, last - first + 1);
}

LineParts SplitLine(std::string_view line) {
  LineParts parts;
  if (const size_t slash = line.find('/'); slash != std::string_view::npos) {
    parts.comment = std::string(line.substr(slash + 1));
    line = line.substr(0, slash);
  }
  if (const size_t colon = line.find(':'); colon != std::string_view::npos) {
    parts.section = std::string(line.substr(0, colon));
    line = line.substr(colon + 1);
  }
  for (std::string& field : parts.field) {
    const size_t semicolon = line.find(';');
    if (semicolon == std::string_view::npos) continue;  // an unterminated field is not taken
    field = std::string(TrimWhiteSpace(line.substr(0, semicolon)));
    line = line.substr(semicolon + 1);
  }
  return parts;
}

KeyValue SplitKeyValue(std::string_view field) {
  KeyValue kv;
  const size_t equals = field.find('=');
  if (equals == std::string_view::npos) return kv;
  // The character directly in front of "=" is dropped: the program always writes " = ".
  if (equals > 0) kv.key = std::string(TrimWhiteSpace(field.substr(0, equals - 1)));
  kv.value = std::string(TrimWhiteSpace(field.substr(equals + 1)));
  return kv;
}

}  // namespace spanlab
