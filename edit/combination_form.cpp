// A combination line holds any number of fields, so its dialog reads them in order rather than
// by searching for a fixed list of keys (SplitDialogLine); the checks mirror the format check of
// the line (check/format_check.cpp) and the data check's unique names, so that a line the
// dialog writes passes both.
#include "edit/combination_form.h"

#include <algorithm>

#include "model/line_fields.h"
#include "model/line_text.h"
#include "model/sections.h"

namespace spanlab {

namespace {

std::string Trim(std::string_view text) { return std::string(TrimWhiteSpace(text)); }

size_t CharacterCount(const std::string& text) {
  size_t count = 0;
  for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

}  // namespace

CombinationForm SplitCombinationLine(const std::string& line) {
  CombinationForm form;
  std::string_view body = line;
  if (const size_t slash = body.find('/'); slash != std::string_view::npos) {
    form.comment = line.substr(slash + 1);
    body = body.substr(0, slash);
  }
  ForEachBodyField(body, [&form](std::string_view field) {
    const KeyValueView kv = SplitKeyValueView(field);
    if (kv.key.empty() && kv.value.empty()) return;
    if (kv.key == "Name") form.name = Trim(kv.value);
    else form.rows.push_back({Trim(kv.key), Trim(kv.value)});
  });
  return form;
}

CombinationProblem CheckCombinationForm(const CombinationForm& form, const ModelItems& items,
                                        std::string_view ownName) {
  using W = CombinationProblem::Where;
  if (CharacterCount(form.comment) > kMaxCommentLength) {
    return {W::kComment, -1, "Please enter no more than 50 characters."};
  }
  const std::string name = Trim(form.name);
  if (!IsCaseName(name)) {
    return {W::kName, -1, "Please enter a name of 1 to 12 letters, digits or underscores."};
  }
  if (name != ownName) {
    for (const CLoadCombinationItem& c : items.m_combinations) {
      if (c.m_name == name) {
        return {W::kName, -1, "The name " + name + " is already used by another combination."};
      }
    }
  }
  std::vector<std::string> seen;
  for (size_t i = 0; i < form.rows.size(); ++i) {
    const int row = static_cast<int>(i);
    const std::string caseName = Trim(form.rows[i].caseName);
    const std::string factor = Trim(form.rows[i].factor);
    if (caseName.empty() && factor.empty()) continue;
    if (!IsCaseName(caseName) || caseName == "Name") {
      return {W::kCase, row, "Please enter a case name of 1 to 12 letters, digits or underscores."};
    }
    if (std::find(seen.begin(), seen.end(), caseName) != seen.end()) {
      return {W::kCase, row, "The case " + caseName + " is already in this combination."};
    }
    seen.push_back(caseName);
    if (factor.empty()) continue;
    if (const std::string message = CheckField(FieldCheck::kNumber, factor); !message.empty()) {
      return {W::kFactor, row, message};
    }
  }
  return {};
}

std::string BuildCombinationLine(const CombinationForm& form) {
  std::string line;
  AppendField(line, "Name", Trim(form.name));
  for (const CombinationRow& row : form.rows) {
    const std::string factor = Trim(row.factor);
    if (factor.empty()) continue;
    AppendField(line, Trim(row.caseName), factor);
  }
  std::string comment = form.comment;
  while (!comment.empty() && std::string_view(" \t\r\n\v\f").find(comment.back()) !=
                                 std::string_view::npos) {
    comment.pop_back();
  }
  if (!comment.empty()) line += " /" + comment;
  return line;
}

}  // namespace spanlab
