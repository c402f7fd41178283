// Each check's internal values are divided by the model's unit factor of the quantity (a
// deflection by the factor of Disp, which takes metres to millimetres in Metric models), so
// that the outputs read as the model's lines and the run log do.
#include "report/design_tables.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "model/number_text.h"
#include "model/units.h"
#include "report/number_field.h"

namespace spanlab {

namespace {

struct CheckKindText {
  const char* check;
  const char* label;
  int quantity;  // UnitLabel's code
  int factor;    // UnitFactors index
};

CheckKindText KindText(DesignCheckKind kind) {
  switch (kind) {
    case DesignCheckKind::kDeflection:
      return {"deflection", "Deflection", kQuantityDeflection, kFactorDisp};
    case DesignCheckKind::kMomentPositive:
      return {"moment", "Moment +", kQuantityMoment, kFactorMoment};
    case DesignCheckKind::kMomentNegative:
      return {"momentNeg", "Moment -", kQuantityMoment, kFactorMoment};
    case DesignCheckKind::kShear:
      break;
  }
  return {"shear", "Shear", kQuantityForce, kFactorPLoad};
}

std::string Json(double v) { return std::isfinite(v) ? FormatGeneral(v, 17) : "null"; }
std::string Csv(double v) { return std::isfinite(v) ? FormatGeneral(v, 17) : ""; }

std::string SpanList(const std::vector<int32_t>& spans, const char* separator) {
  std::string text;
  for (const int32_t s : spans) text += (text.empty() ? "" : separator) + std::to_string(s);
  return text;
}

std::string Printed(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printed(const char* format, ...) {
  char buffer[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

// "SLS1, spans 1, 3": the combination ("as written" for none) and the spans carrying the live
// load where it is patterned.
std::string Governing(const CheckRow& row, bool patterned) {
  std::string text = row.combination.empty() ? "as written" : row.combination;
  if (!row.spansLoaded.empty()) text += ", spans " + SpanList(row.spansLoaded, ", ");
  else if (patterned) text += ", no span loaded";
  return text;
}

}  // namespace

std::vector<CheckRow> CheckRows(const DesignResults& design, int units) {
  const UnitFactors factors = FactorsForUnits(units);
  std::vector<CheckRow> rows;
  rows.reserve(design.checks.size());
  for (const SpanCheck& c : design.checks) {
    const CheckKindText kind = KindText(c.kind);
    const double unit = factors[static_cast<size_t>(kind.factor)];
    CheckRow row;
    row.span = c.span + 1;
    row.check = kind.check;
    row.label = kind.label;
    row.value = c.value / unit + 0.0;
    row.x = c.x / factors[kFactorLength] + 0.0;
    row.limit = c.limit / unit;
    row.unit = UnitLabel(units, kind.quantity);
    row.rule = c.kind != DesignCheckKind::kDeflection ? "capacity"
               : "L/" + FormatGeneral(c.divisor, 6) + (c.cantilever ? " cantilever" : "");
    row.utilisation = c.utilisation;
    row.exceeded = c.exceeded;
    if (c.combination >= 0 && static_cast<size_t>(c.combination) < design.combinations.size()) {
      row.combination = design.combinations[static_cast<size_t>(c.combination)].name;
      row.patterned = design.combinations[static_cast<size_t>(c.combination)].patterned;
    }
    for (const int32_t s : c.spansOnMax) row.spansLoaded.push_back(s + 1);
    rows.push_back(std::move(row));
  }
  return rows;
}

void WriteChecksJson(std::ostream& out, const std::vector<CheckRow>& rows) {
  bool exceeded = false;
  out << "{\n  \"checks\": [";
  for (size_t i = 0; i < rows.size(); ++i) {
    const CheckRow& r = rows[i];
    exceeded = exceeded || r.exceeded;
    // Names and units are letters, digits, "_", "/" and blanks: no escapes needed.
    out << (i > 0 ? ",\n    " : "\n    ") << "{\"span\": " << r.span << ", \"check\": \""
        << r.check << "\", \"value\": " << Json(r.value) << ", \"x\": " << Json(r.x)
        << ", \"limit\": " << Json(r.limit) << ", \"unit\": \"" << r.unit << "\", \"rule\": \""
        << r.rule << "\", \"utilisation\": " << Json(r.utilisation)
        << ", \"exceeded\": " << (r.exceeded ? "true" : "false") << ", \"combination\": "
        << (r.combination.empty() ? "null" : "\"" + r.combination + "\"")
        << ", \"spansLoaded\": [" << SpanList(r.spansLoaded, ", ") << "]}";
  }
  out << (rows.empty() ? "]" : "\n  ]") << ",\n  \"exceeded\": " << (exceeded ? "true" : "false")
      << "\n}\n";
}

void WriteChecksCsv(std::ostream& out, const std::vector<CheckRow>& rows) {
  out << "span,check,value,x,limit,unit,rule,utilisation,status,combination,spansLoaded\n";
  for (const CheckRow& r : rows) {
    out << r.span << ',' << r.check << ',' << Csv(r.value) << ',' << Csv(r.x) << ','
        << Csv(r.limit) << ',' << r.unit << ',' << r.rule << ',' << Csv(r.utilisation) << ','
        << (r.exceeded ? "exceeds" : "OK") << ',' << r.combination << ','
        << SpanList(r.spansLoaded, " ") << '\n';
  }
}

std::vector<std::string> ChecksTableLines(const std::vector<CheckRow>& rows) {
  if (rows.empty()) return {"The model has no design checks."};
  std::vector<std::string> lines;
  lines.push_back(Printed("%5s  %-10s%11s%11s  %-7s%-11s%7s  %-8s%s", "Span", "Check", "Value",
                          "Limit", "Unit", "Rule", "Use", "Status", "Governing"));
  lines.push_back(" -!@#$%^&*()" + std::string(78, '-'));
  int exceeded = 0;
  for (const CheckRow& r : rows) {
    exceeded += r.exceeded ? 1 : 0;
    const std::string rule = r.rule == "capacity" ? "" : r.rule;
    lines.push_back(Printed("%5d  %-10s%s%s  %-7s%-11s%7.3f  %-8s%s", static_cast<int>(r.span),
                            r.label, FormatNumber(r.value).c_str(),
                            FormatNumber(r.limit).c_str(), r.unit.c_str(), rule.c_str(),
                            r.utilisation, r.exceeded ? "EXCEEDS" : "OK",
                            Governing(r, r.patterned).c_str()));
  }
  lines.push_back("");
  lines.push_back(exceeded == 0 ? std::string("All checks pass.")
                                : std::to_string(exceeded) + " check(s) exceeded.");
  return lines;
}

}  // namespace spanlab
