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

LineView SplitLineView(std::string_view line) {
  LineView parts;
  if (const size_t slash = line.find('/'); slash != std::string_view::npos) {
    parts.comment = line.substr(slash + 1);
    line = line.substr(0, slash);
  }
  if (const size_t colon = line.find(':'); colon != std::string_view::npos) {
    parts.section = line.substr(0, colon);
    line = line.substr(colon + 1);
  }
  for (std::string_view& field : parts.field) {
    const size_t semicolon = line.find(';');
    if (semicolon == std::string_view::npos) break;  // an unterminated field is not taken
    field = TrimWhiteSpace(line.substr(0, semicolon));
    line = line.substr(semicolon + 1);
  }
  return parts;
}

LineParts SplitLine(std::string_view line) {
  const LineView view = SplitLineView(line);
  LineParts parts;
  parts.section = std::string(view.section);
  for (size_t i = 0; i < parts.field.size(); ++i) parts.field[i] = std::string(view.field[i]);
  parts.comment = std::string(view.comment);
  return parts;
}

KeyValueView SplitKeyValueView(std::string_view field) {
  KeyValueView kv;
  const size_t equals = field.find('=');
  if (equals == std::string_view::npos) return kv;
  // The character directly in front of "=" is dropped: the program always writes " = ".
  if (equals > 0) kv.key = TrimWhiteSpace(field.substr(0, equals - 1));
  kv.value = TrimWhiteSpace(field.substr(equals + 1));
  return kv;
}

KeyValue SplitKeyValue(std::string_view field) {
  const KeyValueView view = SplitKeyValueView(field);
  return KeyValue{std::string(view.key), std::string(view.value)};
}

bool IsValidUtf8(std::string_view bytes) {
  size_t following = 0;  // continuation bytes still due
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (following > 0) {
      if ((b & 0xC0) != 0x80) return false;
      --following;
    } else if (b >= 0xF0 && b <= 0xF4) {
      following = 3;
    } else if (b >= 0xE0 && b <= 0xEF) {
      following = 2;
    } else if (b >= 0xC2 && b <= 0xDF) {
      following = 1;
    } else if (b >= 0x80) {
      return false;
    }
  }
  return following == 0;
}

}  // namespace spanlab
