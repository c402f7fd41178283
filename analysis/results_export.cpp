// The writers of the results record and the influence line; the envelope's are in
// envelope_export.cpp. Rows are written in place (record_text.h).
#include "analysis/results_export.h"

#include <string>
#include <utility>

#include "analysis/record_text.h"

namespace spanlab {

using record::AppendJsonString;
using record::RecordText;
using record::Row;
using record::RowRoom;

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
