// Rows are recognised after cutting each line at its first "/" and upper-casing it; a section
// runs from its header line to the header of one of the two other sections.
#include "model/old_format.h"

#include <cctype>
#include <initializer_list>

#include "model/line_text.h"
#include "model/number_text.h"
#include "model/sections.h"

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

// A data line of `section`: its prefix, then " key = value;" for every field whose value is
// given (nullptr: left out), in the section's field order.
std::string ItemLine(int section, std::initializer_list<const std::string*> values) {
  const SectionRecord& s = SectionById(section);
  std::string line(s.prefix);
  int i = 0;
  for (const std::string* value : values) {
    if (value) AppendField(line, s.fields[i].key, *value);
    ++i;
  }
  return line;
}

// The unit system's name as the "Units" line of a converted file gives it.
std::string UnitsName(const std::vector<std::string>& text) {
  for (const std::string& line : text) {
    const std::string row = Recognisable(line);
    if (row.rfind("UNITS:", 0) != 0) continue;
    if (row.find("ENGLISH") != std::string::npos) return "English";
    if (row.find("METRIC") != std::string::npos) return "Metric";
  }
  return "Consistent";
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
      static const std::string kUnitI = "1";
      out.push_back(ItemLine(kSectionProperties, {&x, eiValue != 0 ? &ei : &lastEI, &kUnitI}));
    }
    if (vValue != 0 || rValue != 0) {
      out.push_back(ItemLine(kSectionSprings, {&x, vValue != 0 ? &vspring : nullptr,
                                               rValue != 0 ? &rspring : nullptr}));
    }
    if (!disp.empty() || !rotation.empty()) {
      out.push_back(ItemLine(kSectionSupports, {&x, disp.empty() ? nullptr : &disp,
                                                rotation.empty() ? nullptr : &rotation}));
    }
    if (eiValue == 0 && !eiText.empty()) out.push_back(ItemLine(kSectionReleases, {&x}));
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
  const std::string units = UnitsName(text);
  out.push_back(std::string(SectionById(kSectionUnits).prefix) + " " + units + ";");
  ConvertPropertyRows(text, units == "Metric", out);
  for (const std::string& row : SectionRows(text, kPointLoads, kProperties, kUniformLoads)) {
    const auto columns = SplitOldColumns(row);
    const double p = ConvertNumber(columns[1]);
    const double m = ConvertNumber(columns[2]);
    if (p == 0 && m == 0) continue;
    out.push_back(ItemLine(kSectionPointLoads, {&columns[0], p != 0 ? &columns[1] : nullptr,
                                                m != 0 ? &columns[2] : nullptr}));
  }
  for (const std::string& row : SectionRows(text, kUniformLoads, kProperties, kPointLoads)) {
    const auto c = SplitOldColumns(row);
    out.push_back(ItemLine(kSectionUniformLoads, {&c[0], &c[1], &c[2], &c[3]}));
  }
  return out;
}

}  // namespace spanlab
