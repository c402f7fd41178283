// Each row of a table is written in place at the end of the record's text (room for the whole
// row is made once, and every piece is copied or formatted straight into it), and the text goes
// to the stream in pieces of about 64 KB. A stream insertion or a string append per field costs
// more than formatting the numbers, and a whole record of a large model held at once costs
// memory in proportion to the model.
#include "analysis/results_export.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "model/number_text.h"

namespace spanlab {

namespace {

constexpr size_t kChunkBytes = 64 * 1024;

// The record's text on its way to the stream.
class RecordText {
 public:
  explicit RecordText(std::ostream& out) : out_(out) { text_.reserve(kChunkBytes + 4096); }
  ~RecordText() { Flush(); }

  // Hands what is written so far to the stream once it fills a chunk.
  void MaybeFlush() {
    if (text_.size() >= kChunkBytes) Flush();
  }
  void Flush() {
    out_.write(text_.data(), std::streamsize(text_.size()));
    text_.clear();
  }
  std::string& text() { return text_; }

 private:
  std::ostream& out_;
  std::string text_;
};

// One row written in place at the end of `text`: `room` characters are made for it, and the
// text is cut back to what was written when the row ends. The caller sizes `room` for the
// literals it writes plus kGeneralTextMax for each number.
class Row {
 public:
  Row(std::string& text, size_t room) : text_(text), start_(text.size()) {
    text_.resize(start_ + room);
    p_ = text_.data() + start_;
  }
  ~Row() { text_.resize(size_t(p_ - text_.data())); }
  Row(const Row&) = delete;
  Row& operator=(const Row&) = delete;

  Row& Put(std::string_view s) {
    std::memcpy(p_, s.data(), s.size());
    p_ += s.size();
    return *this;
  }
  Row& Put(char c) {
    *p_++ = c;
    return *this;
  }
  // 17 significant digits ("%.17g").
  Row& Number(double v) {
    p_ = WriteGeneral(p_, p_ + kGeneralTextMax, v, 17);
    return *this;
  }
  Row& JsonNumber(double v) { return std::isfinite(v) ? Number(v) : Put("null"); }
  // A value that is not a number (a solution that overflowed) is an empty cell, as a
  // spreadsheet writes a missing value.
  Row& CsvNumber(double v) { return std::isfinite(v) ? Number(v) : *this; }
  Row& Integer(long long v) {
    p_ = std::to_chars(p_, p_ + kGeneralTextMax, v).ptr;
    return *this;
  }

 private:
  std::string& text_;
  size_t start_;
  char* p_;
};

// Room for the literals of the longest row plus the numbers in it.
constexpr size_t RowRoom(size_t numbers) { return 160 + numbers * kGeneralTextMax; }

void AppendJsonString(std::string& out, const std::string& text) {
  out += '"';
  for (const char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '"')
      out += "\\\"";
    else if (c == '\\')
      out += "\\\\";
    else if (c < 0x20) {
      static const char* kHex = "0123456789abcdef";
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  out += '"';
}

}  // namespace

void WriteResultsJson(std::ostream& out, const CBeamAnalysis& a) {
  RecordText record(out);
  std::string& t = record.text();
  const CBeamAnalysis::TableLock lock(a);
  t += "{\n  \"nodes\": [";
  for (int32_t i = 1; i <= a.m_nNodes; ++i) {
    const BeamNode& n = a.m_nodes[i];
    Row(t, RowRoom(5))
        .Put(i > 1 ? ",\n    {\"x\": " : "\n    {\"x\": ")
        .JsonNumber(n.x)
        .Put(", \"deflection\": ")
        .JsonNumber(n.deflection)
        .Put(", \"rotation\": ")
        .JsonNumber(n.rotation)
        .Put(", \"reactionVert\": ")
        .JsonNumber(n.reactionVert)
        .Put(", \"reactionRot\": ")
        .JsonNumber(n.reactionRot)
        .Put('}');
    record.MaybeFlush();
  }
  t += a.m_nNodes > 0 ? "\n  ],\n" : "],\n";
  t += "  \"elements\": [";
  for (int32_t e = 1; e <= a.m_nElements; ++e) {
    const BeamElement& el = a.m_elements[e];
    Row(t, RowRoom(8))
        .Put(e > 1 ? ",\n    {\"ei\": " : "\n    {\"ei\": ")
        .JsonNumber(el.ei)
        .Put(", \"releaseEnd\": ")
        .Integer(el.releaseEnd)
        .Put(", \"xEnd\": ")
        .JsonNumber(el.xEnd)
        .Put(", \"length\": ")
        .JsonNumber(a.ElementLength(e))
        .Put(", \"shearStart\": ")
        .JsonNumber(el.shearStart)
        .Put(", \"shearEnd\": ")
        .JsonNumber(el.shearEnd)
        .Put(", \"momentStart\": ")
        .JsonNumber(el.momentStart)
        .Put(", \"momentEnd\": ")
        .JsonNumber(el.momentEnd)
        .Put('}');
    record.MaybeFlush();
  }
  t += a.m_nElements > 0 ? "\n  ],\n" : "],\n";
  Row(t, RowRoom(6))
      .Put("  \"nNodes\": ")
      .Integer(a.m_nNodes)
      .Put(",\n  \"nElements\": ")
      .Integer(a.m_nElements)
      .Put(",\n  \"nDof\": ")
      .Integer(a.m_nDof)
      .Put(",\n  \"length\": ")
      .JsonNumber(a.m_dLength)
      .Put(",\n  \"loadVert\": ")
      .JsonNumber(a.m_dLoadVert)
      .Put(",\n  \"loadMoment\": ")
      .JsonNumber(a.m_dLoadMoment)
      .Put(",\n");
  const std::pair<const char*, double> extremes[] = {
      {"minShear", a.m_dMinShear},
      {"maxShear", a.m_dMaxShear},
      {"xMinShear", a.m_dXMinShear},
      {"xMaxShear", a.m_dXMaxShear},
      {"minMoment", a.m_dMinMoment},
      {"maxMoment", a.m_dMaxMoment},
      {"xMinMoment", a.m_dXMinMoment},
      {"xMaxMoment", a.m_dXMaxMoment},
      {"minRotation", a.m_dMinRotation},
      {"maxRotation", a.m_dMaxRotation},
      {"xMinRotation", a.m_dXMinRotation},
      {"xMaxRotation", a.m_dXMaxRotation},
      {"minDeflection", a.m_dMinDeflection},
      {"maxDeflection", a.m_dMaxDeflection},
      {"xMinDeflection", a.m_dXMinDeflection},
      {"xMaxDeflection", a.m_dXMaxDeflection},
      {"maxAbsShear", a.m_dMaxAbsShear},
      {"maxAbsMoment", a.m_dMaxAbsMoment},
      {"maxAbsRotation", a.m_dMaxAbsRotation},
      {"maxAbsDeflection", a.m_dMaxAbsDeflection},
  };
  t += "  \"extremes\": {";
  bool first = true;
  for (const auto& [name, value] : extremes) {
    Row(t, RowRoom(1))
        .Put(first ? "\n    \"" : ",\n    \"")
        .Put(name)
        .Put("\": ")
        .JsonNumber(value);
    first = false;
  }
  t += "\n  },\n  \"error\": ";
  t += a.m_bError ? "true" : "false";
  t += ",\n  \"messages\": [";
  for (size_t i = 0; i < a.m_messages.size(); ++i) {
    t += i > 0 ? ",\n    " : "\n    ";
    AppendJsonString(t, a.m_messages[i]);
    record.MaybeFlush();
  }
  t += a.m_messages.empty() ? "]\n}\n" : "\n  ]\n}\n";
}

void WriteResultsCsv(std::ostream& out, const CBeamAnalysis& a) {
  RecordText record(out);
  std::string& t = record.text();
  const CBeamAnalysis::TableLock lock(a);
  t += "node,x,deflection,rotation,reactionVert,reactionRot\n";
  for (int32_t i = 1; i <= a.m_nNodes; ++i) {
    const BeamNode& n = a.m_nodes[i];
    Row(t, RowRoom(6))
        .Integer(i)
        .Put(',')
        .CsvNumber(n.x)
        .Put(',')
        .CsvNumber(n.deflection)
        .Put(',')
        .CsvNumber(n.rotation)
        .Put(',')
        .CsvNumber(n.reactionVert)
        .Put(',')
        .CsvNumber(n.reactionRot)
        .Put('\n');
    record.MaybeFlush();
  }
  t += "\nelement,ei,releaseEnd,xEnd,length,shearStart,shearEnd,momentStart,momentEnd\n";
  for (int32_t e = 1; e <= a.m_nElements; ++e) {
    const BeamElement& el = a.m_elements[e];
    Row(t, RowRoom(9))
        .Integer(e)
        .Put(',')
        .CsvNumber(el.ei)
        .Put(',')
        .Integer(el.releaseEnd)
        .Put(',')
        .CsvNumber(el.xEnd)
        .Put(',')
        .CsvNumber(a.ElementLength(e))
        .Put(',')
        .CsvNumber(el.shearStart)
        .Put(',')
        .CsvNumber(el.shearEnd)
        .Put(',')
        .CsvNumber(el.momentStart)
        .Put(',')
        .CsvNumber(el.momentEnd)
        .Put('\n');
    record.MaybeFlush();
  }
}

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

void WriteInfluenceJson(std::ostream& out, const InfluenceLine& line, InfluenceQuantity quantity,
                        double lengthFactor) {
  RecordText record(out);
  std::string& t = record.text();
  Row(t, RowRoom(1))
      .Put("{\n  \"of\": \"")
      .Put(InfluenceQuantityName(quantity))
      .Put("\",\n  \"at\": ")
      .JsonNumber(line.x / lengthFactor)
      .Put(",\n  \"points\": [");
  for (size_t i = 0; i < line.points.size(); ++i) {
    Row(t, RowRoom(2))
        .Put(i > 0 ? ",\n    {\"x\": " : "\n    {\"x\": ")
        .JsonNumber(line.points[i].x / lengthFactor)
        .Put(", \"value\": ")
        .JsonNumber(line.points[i].value)
        .Put('}');
    record.MaybeFlush();
  }
  t += line.points.empty() ? "]\n}\n" : "\n  ]\n}\n";
}

void WriteInfluenceCsv(std::ostream& out, const InfluenceLine& line, double lengthFactor) {
  RecordText record(out);
  std::string& t = record.text();
  t += "x,value\n";
  for (const InfluencePoint& p : line.points) {
    Row(t, RowRoom(2)).CsvNumber(p.x / lengthFactor).Put(',').CsvNumber(p.value).Put('\n');
    record.MaybeFlush();
  }
}

}  // namespace spanlab
