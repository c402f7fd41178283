// The writers of the live-load envelope's record (results_export.h). Rows are written in place
// (record_text.h); with load combinations each value is followed by its combination's name.
#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "analysis/record_text.h"
#include "analysis/results_export.h"

namespace spanlab {

using record::AppendJsonString;
using record::RecordText;
using record::Row;
using record::RowRoom;

namespace {

constexpr std::pair<const char*, int> kExtremeNames[] = {
    {"maxShear", kEnvelopeMaxShear},           {"minShear", kEnvelopeMinShear},
    {"maxMoment", kEnvelopeMaxMoment},         {"minMoment", kEnvelopeMinMoment},
    {"maxRotation", kEnvelopeMaxRotation},     {"minRotation", kEnvelopeMinRotation},
    {"maxDeflection", kEnvelopeMaxDeflection}, {"minDeflection", kEnvelopeMinDeflection},
};

// The envelope's ranges of a node and of an element, with their names, in output order.
std::array<std::pair<const char*, const EnvelopeRange*>, 4> NodeRanges(const EnvelopeNode& n) {
  return {{{"deflection", &n.deflection},
           {"rotation", &n.rotation},
           {"reactionVert", &n.reactionVert},
           {"reactionRot", &n.reactionRot}}};
}
std::array<std::pair<const char*, const EnvelopeRange*>, 4> ElementRanges(
    const EnvelopeElement& e) {
  return {{{"shearStart", &e.shearStart},
           {"shearEnd", &e.shearEnd},
           {"momentStart", &e.momentStart},
           {"momentEnd", &e.momentEnd}}};
}

}  // namespace

namespace {

// The names of the combinations behind an envelope's values, when a model has combinations,
// as JSON strings and as CSV cells (quoted where a name needs it: only lines the checks did not
// see can hold such a name).
class CombinationNames {
 public:
  CombinationNames(const LiveLoadEnvelope& env, const std::vector<std::string>& names)
      : env_(env) {
    for (const std::string& name : names) {
      json_.emplace_back();
      AppendJsonString(json_.back(), name);
      csv_.push_back(CsvCell(name));
      longest_ = std::max(longest_, json_.back().size() + csv_.back().size());
    }
  }
  bool on() const { return !json_.empty(); }
  // Room in a row for eight names with their keys.
  size_t Room() const { return 8 * (40 + longest_); }
  // The JSON string or CSV cell of combination `index`; "null" or empty for none.
  std::string_view Json(int32_t index) const {
    return Valid(index) ? std::string_view(json_[Index(index)]) : std::string_view("null");
  }
  std::string_view Csv(int32_t index) const {
    return Valid(index) ? std::string_view(csv_[Index(index)]) : std::string_view();
  }
  // The combination of column `k` (0..7, as the tables order them) of node or element `i`.
  int32_t Node(size_t i, size_t k) const { return At(env_.nodeCombination, i, k); }
  int32_t Element(size_t i, size_t k) const { return At(env_.elementCombination, i, k); }

 private:
  static std::string CsvCell(const std::string& name) {
    if (name.find_first_of(",\"\r\n") == std::string::npos) return name;
    std::string cell = "\"";
    for (const char c : name) cell += c == '"' ? std::string("\"\"") : std::string(1, c);
    return cell + '"';
  }
  bool Valid(int32_t index) const {
    return index >= 0 && static_cast<size_t>(index) < json_.size();
  }
  static size_t Index(int32_t index) { return static_cast<size_t>(index); }
  static int32_t At(const std::vector<std::array<int32_t, 8>>& table, size_t i, size_t k) {
    return i < table.size() ? table[i][k] : -1;
  }
  const LiveLoadEnvelope& env_;
  std::vector<std::string> json_, csv_;
  size_t longest_ = 0;
};

}  // namespace

void WriteEnvelopeJson(std::ostream& out, const LiveLoadEnvelope& env,
                       const std::vector<std::string>& combinations) {
  const CombinationNames names(env, combinations);
  RecordText record(out);
  std::string& t = record.text();
  t += "{\n  \"spans\": [";
  for (size_t k = 0; k < env.spans.size(); ++k) {
    Row(t, RowRoom(2))
        .Put(k > 0 ? ",\n    {\"start\": " : "\n    {\"start\": ")
        .JsonNumber(env.spans[k].start)
        .Put(", \"end\": ")
        .JsonNumber(env.spans[k].end)
        .Put('}');
  }
  t += env.spans.empty() ? "],\n" : "\n  ],\n";
  t += "  \"nodes\": [";
  for (size_t i = 0; i < env.nodes.size(); ++i) {
    const EnvelopeNode& n = env.nodes[i];
    {  // the row ends before the text is flushed
      Row row(t, RowRoom(9) + 200 + names.Room());
      row.Put(i > 0 ? ",\n    {\"x\": " : "\n    {\"x\": ").JsonNumber(n.x);
      size_t k = 0;
      for (const auto& [name, range] : NodeRanges(n)) {
        const bool blank = std::string_view(name).starts_with("reaction") && !n.hasReaction;
        for (const bool max : {true, false}) {
          row.Put(", \"").Put(name).Put(max ? "Max\": " : "Min\": ");
          if (blank) row.Put("null");
          else row.JsonNumber(max ? range->max : range->min);
          if (names.on()) {
            row.Put(", \"").Put(name).Put(max ? "MaxCombination\": " : "MinCombination\": ");
            row.Put(blank ? std::string_view("null") : names.Json(names.Node(i, k)));
          }
          ++k;
        }
      }
      row.Put('}');
    }
    record.MaybeFlush();
  }
  t += env.nodes.empty() ? "],\n" : "\n  ],\n";
  t += "  \"elements\": [";
  for (size_t e = 0; e < env.elements.size(); ++e) {
    const EnvelopeElement& el = env.elements[e];
    {  // the row ends before the text is flushed
      Row row(t, RowRoom(9) + 200 + names.Room());
      row.Put(e > 0 ? ",\n    {\"xEnd\": " : "\n    {\"xEnd\": ").JsonNumber(el.xEnd);
      size_t k = 0;
      for (const auto& [name, range] : ElementRanges(el)) {
        for (const bool max : {true, false}) {
          row.Put(", \"").Put(name).Put(max ? "Max\": " : "Min\": ");
          row.JsonNumber(max ? range->max : range->min);
          if (names.on()) {
            row.Put(", \"").Put(name).Put(max ? "MaxCombination\": " : "MinCombination\": ");
            row.Put(names.Json(names.Element(e, k)));
          }
          ++k;
        }
      }
      row.Put('}');
    }
    record.MaybeFlush();
  }
  t += env.elements.empty() ? "],\n" : "\n  ],\n";
  t += "  \"extremes\": {";
  bool first = true;
  for (const auto& [name, kind] : kExtremeNames) {
    const EnvelopeExtreme& x = env.extremes[static_cast<size_t>(kind)];
    Row(t, RowRoom(2))
        .Put(first ? "\n    \"" : ",\n    \"")
        .Put(name)
        .Put("\": {\"value\": ")
        .JsonNumber(x.value)
        .Put(", \"x\": ")
        .JsonNumber(x.x)
        .Put(", \"spansOnMax\": [");
    for (size_t k = 0; k < x.spansOnMax.size(); ++k) {
      Row(t, RowRoom(1)).Put(k > 0 ? ", " : "").Integer(x.spansOnMax[k]);
      record.MaybeFlush();
    }
    t += "]";
    if (names.on()) {
      Row(t, names.Room()).Put(", \"combination\": ").Put(names.Json(x.combination));
    }
    t += "}";
    first = false;
  }
  t += "\n  }\n}\n";
}

void WriteEnvelopeCsv(std::ostream& out, const LiveLoadEnvelope& env,
                      const std::vector<std::string>& combinations) {
  const CombinationNames names(env, combinations);
  RecordText record(out);
  std::string& t = record.text();
  t += names.on() ? "node,x,deflectionMax,deflectionMaxCombination,deflectionMin,"
                    "deflectionMinCombination,rotationMax,rotationMaxCombination,rotationMin,"
                    "rotationMinCombination,reactionVertMax,reactionVertMaxCombination,"
                    "reactionVertMin,reactionVertMinCombination,reactionRotMax,"
                    "reactionRotMaxCombination,reactionRotMin,reactionRotMinCombination\n"
                  : "node,x,deflectionMax,deflectionMin,rotationMax,rotationMin,"
                    "reactionVertMax,reactionVertMin,reactionRotMax,reactionRotMin\n";
  for (size_t i = 0; i < env.nodes.size(); ++i) {
    const EnvelopeNode& n = env.nodes[i];
    {  // the row ends before the text is flushed
      Row row(t, RowRoom(10) + names.Room());
      row.Integer(static_cast<long long>(i + 1)).Put(',').CsvNumber(n.x);
      size_t k = 0;
      for (const auto& [name, range] : NodeRanges(n)) {
        const bool blank = std::string_view(name).starts_with("reaction") && !n.hasReaction;
        for (const bool max : {true, false}) {
          row.Put(',');
          if (!blank) row.CsvNumber(max ? range->max : range->min);
          if (names.on()) row.Put(',').Put(blank ? std::string_view() : names.Csv(names.Node(i, k)));
          ++k;
        }
      }
      row.Put('\n');
    }
    record.MaybeFlush();
  }
  t += names.on() ? "\nelement,xEnd,shearStartMax,shearStartMaxCombination,shearStartMin,"
                    "shearStartMinCombination,shearEndMax,shearEndMaxCombination,shearEndMin,"
                    "shearEndMinCombination,momentStartMax,momentStartMaxCombination,"
                    "momentStartMin,momentStartMinCombination,momentEndMax,"
                    "momentEndMaxCombination,momentEndMin,momentEndMinCombination\n"
                  : "\nelement,xEnd,shearStartMax,shearStartMin,shearEndMax,shearEndMin,"
                    "momentStartMax,momentStartMin,momentEndMax,momentEndMin\n";
  for (size_t e = 0; e < env.elements.size(); ++e) {
    const EnvelopeElement& el = env.elements[e];
    {  // the row ends before the text is flushed
      Row row(t, RowRoom(10) + names.Room());
      row.Integer(static_cast<long long>(e + 1)).Put(',').CsvNumber(el.xEnd);
      size_t k = 0;
      for (const auto& [name, range] : ElementRanges(el)) {
        for (const bool max : {true, false}) {
          row.Put(',').CsvNumber(max ? range->max : range->min);
          if (names.on()) row.Put(',').Put(names.Csv(names.Element(e, k)));
          ++k;
        }
      }
      row.Put('\n');
    }
    record.MaybeFlush();
  }
}

}  // namespace spanlab
