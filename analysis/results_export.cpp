#include "analysis/results_export.h"

#include <cmath>
#include <string>

#include "model/number_text.h"

namespace spanlab {

namespace {

std::string Number(double v) { return FormatGeneral(v, 17); }

std::string JsonNumber(double v) { return std::isfinite(v) ? Number(v) : std::string("null"); }

// A value that is not a number (a solution that overflowed) is an empty cell, as a
// spreadsheet writes a missing value.
std::string CsvNumber(double v) { return std::isfinite(v) ? Number(v) : std::string(); }

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '"') out += "\\\"";
    else if (c == '\\') out += "\\\\";
    else if (c < 0x20) {
      static const char* kHex = "0123456789abcdef";
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

}  // namespace

void WriteResultsJson(std::ostream& out, const CBeamAnalysis& a) {
  const CBeamAnalysis::TableLock lock(a);
  out << "{\n  \"nodes\": [";
  for (int32_t i = 1; i <= a.m_nNodes; ++i) {
    const BeamNode& n = a.m_nodes[i];
    out << (i > 1 ? ",\n    " : "\n    ") << "{\"x\": " << JsonNumber(n.x)
        << ", \"deflection\": " << JsonNumber(n.deflection)
        << ", \"rotation\": " << JsonNumber(n.rotation)
        << ", \"reactionVert\": " << JsonNumber(n.reactionVert)
        << ", \"reactionRot\": " << JsonNumber(n.reactionRot) << "}";
  }
  out << (a.m_nNodes > 0 ? "\n  ],\n" : "],\n") << "  \"elements\": [";
  for (int32_t e = 1; e <= a.m_nElements; ++e) {
    const BeamElement& el = a.m_elements[e];
    out << (e > 1 ? ",\n    " : "\n    ") << "{\"ei\": " << JsonNumber(el.ei)
        << ", \"releaseEnd\": " << std::to_string(el.releaseEnd) << ", \"xEnd\": " << JsonNumber(el.xEnd)
        << ", \"length\": " << JsonNumber(el.length)
        << ", \"shearStart\": " << JsonNumber(el.shearStart)
        << ", \"shearEnd\": " << JsonNumber(el.shearEnd)
        << ", \"momentStart\": " << JsonNumber(el.momentStart)
        << ", \"momentEnd\": " << JsonNumber(el.momentEnd) << "}";
  }
  out << (a.m_nElements > 0 ? "\n  ],\n" : "],\n");
  out << "  \"nNodes\": " << std::to_string(a.m_nNodes)
      << ",\n  \"nElements\": " << std::to_string(a.m_nElements)
      << ",\n  \"nDof\": " << std::to_string(a.m_nDof) << ",\n  \"length\": " << JsonNumber(a.m_dLength)
      << ",\n  \"loadVert\": " << JsonNumber(a.m_dLoadVert)
      << ",\n  \"loadMoment\": " << JsonNumber(a.m_dLoadMoment) << ",\n";
  const std::pair<const char*, double> extremes[] = {
      {"minShear", a.m_dMinShear},           {"maxShear", a.m_dMaxShear},
      {"xMinShear", a.m_dXMinShear},         {"xMaxShear", a.m_dXMaxShear},
      {"minMoment", a.m_dMinMoment},         {"maxMoment", a.m_dMaxMoment},
      {"xMinMoment", a.m_dXMinMoment},       {"xMaxMoment", a.m_dXMaxMoment},
      {"minRotation", a.m_dMinRotation},     {"maxRotation", a.m_dMaxRotation},
      {"xMinRotation", a.m_dXMinRotation},   {"xMaxRotation", a.m_dXMaxRotation},
      {"minDeflection", a.m_dMinDeflection}, {"maxDeflection", a.m_dMaxDeflection},
      {"xMinDeflection", a.m_dXMinDeflection}, {"xMaxDeflection", a.m_dXMaxDeflection},
      {"maxAbsShear", a.m_dMaxAbsShear},     {"maxAbsMoment", a.m_dMaxAbsMoment},
      {"maxAbsRotation", a.m_dMaxAbsRotation}, {"maxAbsDeflection", a.m_dMaxAbsDeflection},
  };
  out << "  \"extremes\": {";
  bool first = true;
  for (const auto& [name, value] : extremes) {
    out << (first ? "\n    " : ",\n    ") << "\"" << name << "\": " << JsonNumber(value);
    first = false;
  }
  out << "\n  },\n  \"error\": " << (a.m_bError ? "true" : "false") << ",\n  \"messages\": [";
  for (size_t i = 0; i < a.m_messages.size(); ++i) {
    out << (i > 0 ? ",\n    " : "\n    ") << JsonString(a.m_messages[i]);
  }
  out << (a.m_messages.empty() ? "]\n}\n" : "\n  ]\n}\n");
}

void WriteResultsCsv(std::ostream& out, const CBeamAnalysis& a) {
  const CBeamAnalysis::TableLock lock(a);
  out << "node,x,deflection,rotation,reactionVert,reactionRot\n";
  for (int32_t i = 1; i <= a.m_nNodes; ++i) {
    const BeamNode& n = a.m_nodes[i];
    out << std::to_string(i) << ',' << CsvNumber(n.x) << ',' << CsvNumber(n.deflection) << ',' << CsvNumber(n.rotation)
        << ',' << CsvNumber(n.reactionVert) << ',' << CsvNumber(n.reactionRot) << '\n';
  }
  out << "\nelement,ei,releaseEnd,xEnd,length,shearStart,shearEnd,momentStart,momentEnd\n";
  for (int32_t e = 1; e <= a.m_nElements; ++e) {
    const BeamElement& el = a.m_elements[e];
    out << std::to_string(e) << ',' << CsvNumber(el.ei) << ',' << std::to_string(el.releaseEnd) << ',' << CsvNumber(el.xEnd) << ','
        << CsvNumber(el.length) << ',' << CsvNumber(el.shearStart) << ',' << CsvNumber(el.shearEnd) << ','
        << CsvNumber(el.momentStart) << ',' << CsvNumber(el.momentEnd) << '\n';
  }
}

}  // namespace spanlab
