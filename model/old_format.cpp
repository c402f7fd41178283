// Rows are recognised after cutting each line at its first "/" and upper-casing it; a section
// runs from its header line to the header of one of the two other sections.
#include "model/old_format.h"

#include <cctype>

#include "model/line_text.h"
#include "model/number_text.h"

namespace spanlab {

namespace {

constexpr std::string_view kProperties = "MEMBER PROPERTIES";
constexpr std::string_view kPointLoads = "POINT LOADS";
constexpr std::string_view kUniformLoads = "UNIFORM LOADS";

// The line cut at its first "/" and upper-cased (ASCII letters only, locale-independent).
std::string Recognisable(std::string_view line) {
  const size_t slash = line.find('/');
  std::string out(line.substr(0, slash));
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// The data rows of one section: from the first line equal to `header` up to a line equal to
// one of the two `enders` (or the end).
std::vector<std::string> SectionRows(const std::vector<std::string>& text, std::string_view header,
                                     std::string_view ender1, std::string_view ender2) {
  std::vector<std::string> rows;
  bool open = false;
  for (const std::string& line : text) {
    const std::string row = Recognisable(line);
    if (row.empty()) continue;
    if (!open) {
      open = row == header;
      continue;
    }
    if (row == ender1 || row == ender2) break;
    rows.push_back(row);
  }
  return rows;
}

std::string UnitsLine(const std::vector<std::string>& text) {
  for (const std::string& line : text) {
    const std::string row = Recognisable(line);
    if (row.rfind("UNITS:", 0) != 0) continue;
    if (row.find("ENGLISH") != std::string::npos) return "Units: English;";
    if (row.find("METRIC") != std::string::npos) return "Units: Metric;";
  }
  return "Units: Consistent;";
}

void ConvertPropertyRows(const std::vector<std::string>& text, bool metric,
                         std::vector<std::string>& out) {
  std::string lastEI;
  for (const std::string& row : SectionRows(text, kProperties, kPointLoads, kUniformLoads)) {
    const auto [x, eiText, disp, rotation, vspring, rspring] = SplitOldColumns(row);
    std::string ei = eiText;
    const double eiValue = ConvertNumber(ei);
    const double vValue = ConvertNumber(vspring);
    const double rValue = ConvertNumber(rspring);
    if (metric && eiValue != 0) ei = std::string(TrimWhiteSpace(FormatFixed(eiValue * 10, 6)));
    // A row without an EI of its own continues the last one. In Metric that is the scaled
    // text, so that the stiffness does not drop tenfold at such a row.
    if (!eiText.empty()) lastEI = ei;
    if (eiValue != 0 || (disp.empty() && rotation.empty() && vValue == 0 && rValue == 0)) {
      out.push_back("Member Property: X = " + x + "; E = " + (eiValue != 0 ? ei : lastEI) +
                    "; I = 1;");
    }
    if (vValue != 0 || rValue != 0) {
      std::string line = "Spring: X = " + x + ";";
      if (vValue != 0) line += " VSpring = " + vspring + ";";
      if (rValue != 0) line += " RSpring = " + rspring + ";";
      out.push_back(line);
    }
    if (!disp.empty() || !rotation.empty()) {
      std::string line = "Support: X = " + x + ";";
      if (!disp.empty()) line += " Disp = " + disp + ";";
      if (!rotation.empty()) line += " Rotation = " + rotation + ";";
      out.push_back(line);
    }
    if (eiValue == 0 && !eiText.empty()) out.push_back("Moment Release: X = " + x + ";");
  }
}

}  // namespace

std::array<std::string, 6> SplitOldColumns(std::string_view row) {
  std::array<std::string, 6> columns;
  for (size_t c = 0; c < columns.size(); ++c) {
    const size_t start = 1 + 10 * c;
    if (start >= row.size()) break;
    columns[c] = std::string(TrimWhiteSpace(row.substr(start, 10)));
  }
  return columns;
}

std::vector<std::string> ConvertOldLines(const std::vector<std::string>& text) {
  std::vector<std::string> out{"File Format:3.0"};
  for (const std::string& line : text) {
    if (!line.empty() && line[0] != '/') break;
    out.push_back("/" + (line.empty() ? line : line.substr(1)));
  }
  const std::string units = UnitsLine(text);
  out.push_back(units);
  ConvertPropertyRows(text, units == "Units: Metric;", out);
  for (const std::string& row : SectionRows(text, kPointLoads, kProperties, kUniformLoads)) {
    const auto columns = SplitOldColumns(row);
    const double p = ConvertNumber(columns[1]);
    const double m = ConvertNumber(columns[2]);
    if (p == 0 && m == 0) continue;
    std::string line = "Point Load: X = " + columns[0] + ";";
    if (p != 0) line += " PLoad = " + columns[1] + ";";
    if (m != 0) line += " Moment = " + columns[2] + ";";
    out.push_back(line);
  }
  for (const std::string& row : SectionRows(text, kUniformLoads, kProperties, kPointLoads)) {
    const auto c = SplitOldColumns(row);
    out.push_back("Uniform Load: XStart = " + c[0] + "; XEnd = " + c[1] + "; UStart = " + c[2] +
                  "; UEnd = " + c[3] + ";");
  }
  return out;
}

}  // namespace spanlab
