#include "model/line_text.h"

namespace spanlab {

namespace {
// " \t\r\n\v\f", tested directly: a search of that set for every character is the larger part
// of splitting a line.
bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
}  // namespace

std::string_view TrimWhiteSpace(std::string_view text) {
  size_t first = 0;
  size_t end = text.size();
  while (first < end && IsWhiteSpace(text[first])) ++first;
  while (end > first && IsWhiteSpace(text[end - 1])) --end;
  return text.substr(first, end - first);
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
