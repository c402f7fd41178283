#include "analysis/moving_export.h"

#include <array>
#include <cctype>
#include <utility>

#include "model/number_text.h"

namespace spanlab {

namespace {

std::string Number(double v) { return v == 0 ? "0" : FormatGeneral(v, 17); }

// The fields of one value, as (key suffix, JSON text, CSV cell): the value, then where its
// vehicle stands, then the coincident value when `with` names it ("Moment", "Shear").
using Field = std::array<std::string, 3>;
std::vector<Field> ValueFields(const MovingValue& v, const std::vector<CVehicleItem>& vehicles,
                               bool present, const char* with) {
  std::vector<Field> f;
  const bool on = present && v.at.vehicle >= 0;
  const auto number = [&](const char* key, double x, bool shown) {
    f.push_back({key, shown ? Number(x) : "null", shown ? Number(x) : ""});
  };
  number("", v.value, present);
  const std::string name = on ? vehicles[static_cast<size_t>(v.at.vehicle)].m_name : "";
  f.push_back({"Vehicle", on ? "\"" + name + "\"" : "null", name});
  const char* direction = v.at.backward ? "backward" : "forward";
  f.push_back({"Direction", on ? std::string("\"") + direction + "\"" : "null",
               on ? direction : ""});
  number("Front", v.at.front, on);
  const bool gap = on && vehicles[static_cast<size_t>(v.at.vehicle)].m_nVariableGap >= 0;
  number("Gap", v.at.gap, gap);
  if (*with) number(with, v.coincident, on);
  return f;
}

struct Column {
  std::string key;
  const MovingRange* range;
  const char* with;
};

std::vector<Column> NodeColumns(const MovingNode& n) {
  return {{"deflection", &n.deflection, ""},
          {"rotation", &n.rotation, ""},
          {"reactionVert", &n.reactionVert, ""},
          {"reactionRot", &n.reactionRot, ""}};
}
std::vector<Column> ElementColumns(const MovingElement& e) {
  return {{"shearStart", &e.shearStart, "Moment"},
          {"shearEnd", &e.shearEnd, "Moment"},
          {"momentStart", &e.momentStart, "Shear"},
          {"momentEnd", &e.momentEnd, "Shear"}};
}

// Every field of a row: (key, JSON, CSV).
template <class Columns>
std::vector<Field> RowFields(const Columns& columns, const std::vector<CVehicleItem>& vehicles,
                             bool reactions) {
  std::vector<Field> row;
  for (const Column& c : columns) {
    const bool present = reactions || c.key.rfind("reaction", 0) != 0;
    for (const bool max : {true, false}) {
      const std::string key = c.key + (max ? "Max" : "Min");
      for (Field f : ValueFields(max ? c.range->max : c.range->min, vehicles, present, c.with)) {
        f[0] = key + f[0];
        row.push_back(std::move(f));
      }
    }
  }
  return row;
}

constexpr std::pair<const char*, int> kExtremes[] = {
    {"maxShear", kEnvelopeMaxShear},           {"minShear", kEnvelopeMinShear},
    {"maxMoment", kEnvelopeMaxMoment},         {"minMoment", kEnvelopeMinMoment},
    {"maxRotation", kEnvelopeMaxRotation},     {"minRotation", kEnvelopeMinRotation},
    {"maxDeflection", kEnvelopeMaxDeflection}, {"minDeflection", kEnvelopeMinDeflection},
};

void JsonObject(std::ostream& out, const std::vector<Field>& fields) {
  for (size_t i = 0; i < fields.size(); ++i)
    out << (i ? ", " : "") << '"' << fields[i][0] << "\": " << fields[i][1];
}

}  // namespace

void WriteMovingJson(std::ostream& out, const MovingLoadEnvelope& env,
                     const std::vector<CVehicleItem>& vehicles) {
  out << "{\n  \"nodes\": [\n";
  for (size_t i = 0; i < env.nodes.size(); ++i) {
    const MovingNode& n = env.nodes[i];
    out << "    {\"x\": " << Number(n.x) << ", ";
    JsonObject(out, RowFields(NodeColumns(n), vehicles, n.hasReaction));
    out << (i + 1 < env.nodes.size() ? "},\n" : "}\n");
  }
  out << "  ],\n  \"elements\": [\n";
  for (size_t i = 0; i < env.elements.size(); ++i) {
    const MovingElement& e = env.elements[i];
    out << "    {\"xEnd\": " << Number(e.xEnd) << ", ";
    JsonObject(out, RowFields(ElementColumns(e), vehicles, true));
    out << (i + 1 < env.elements.size() ? "},\n" : "}\n");
  }
  out << "  ],\n  \"extremes\": {\n";
  for (size_t k = 0; k < std::size(kExtremes); ++k) {
    const MovingExtreme& x = env.extremes[static_cast<size_t>(kExtremes[k].second)];
    const bool shear = kExtremes[k].second <= kEnvelopeMinShear;
    const bool moment = !shear && kExtremes[k].second <= kEnvelopeMinMoment;
    std::vector<Field> f = ValueFields(x.value, vehicles, true,
                                       shear ? "Moment" : moment ? "Shear" : "");
    f[0][0] = "value";
    for (size_t j = 1; j < f.size(); ++j) f[j][0][0] = static_cast<char>(std::tolower(f[j][0][0]));
    f.insert(f.begin() + 1, Field{"x", Number(x.x), ""});
    out << "    \"" << kExtremes[k].first << "\": {";
    JsonObject(out, f);
    out << (k + 1 < std::size(kExtremes) ? "},\n" : "}\n");
  }
  out << "  }\n}\n";
}

void WriteMovingCsv(std::ostream& out, const MovingLoadEnvelope& env,
                    const std::vector<CVehicleItem>& vehicles) {
  const auto table = [&](const char* first, const auto& rows, auto columns, auto position,
                         auto reactions) {
    for (size_t i = 0; i < rows.size(); ++i) {
      const std::vector<Field> f = RowFields(columns(rows[i]), vehicles, reactions(rows[i]));
      if (i == 0) {
        out << first << ',' << (first[0] == 'n' ? "x" : "xEnd");
        for (const Field& c : f) out << ',' << c[0];
        out << '\n';
      }
      out << i + 1 << ',' << Number(position(rows[i]));
      for (const Field& c : f) out << ',' << c[2];
      out << '\n';
    }
  };
  table("node", env.nodes, NodeColumns, [](const MovingNode& n) { return n.x; },
        [](const MovingNode& n) { return n.hasReaction; });
  out << '\n';
  table("element", env.elements, ElementColumns, [](const MovingElement& e) { return e.xEnd; },
        [](const MovingElement&) { return true; });
}

}  // namespace spanlab
