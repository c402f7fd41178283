// The JSON and CSV forms of the results record.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "analysis/results_export.h"
#include "run/document.h"

namespace spanlab {
namespace {

CSPLX_30Doc& Cantilever(CSPLX_30Doc& doc) {
  doc.SetLines(nullptr, {"File Format:3.0", "Member Property: X = 0; E = 200; I = 3;",
                 "Support: X = 0; Disp = 0; Rotation = 0;", "Point Load: X = 2; PLoad = -1;"});
  doc.BuildItems(true);
  doc.RunAnalysis();
  return doc;
}

TEST(ResultsExport, JsonHasEveryFieldAtFullPrecision) {
  CSPLX_30Doc doc;
  std::ostringstream out;
  WriteResultsJson(out, Cantilever(doc).GetAnalysis());
  const std::string json = out.str();
  const CBeamAnalysis& a = doc.GetAnalysis();
  ASSERT_EQ(a.m_nNodes, 201);
  // Tip deflection P L^3 / 3EI = -8 / 1800, printed with 17 significant digits.
  EXPECT_NE(json.find("\"nNodes\": 201,\n  \"nElements\": 200,\n  \"nDof\": 402,\n"),
            std::string::npos);
  // The fixed end: no displacement, reactions +1 and -2 up to the solver's rounding.
  EXPECT_NEAR(a.m_nodes[1].reactionVert, 1, 1e-7);
  EXPECT_NEAR(a.m_nodes[1].reactionRot, -2, 1e-7);
  char root[160];
  std::snprintf(root, sizeof root,
                "{\"x\": 0, \"deflection\": 0, \"rotation\": 0, \"reactionVert\": %.17g, "
                "\"reactionRot\": %.17g}",
                a.m_nodes[1].reactionVert, a.m_nodes[1].reactionRot);
  EXPECT_NE(json.find(root), std::string::npos) << json.substr(0, 300);
  char tip[96];
  std::snprintf(tip, sizeof tip, "{\"x\": 2, \"deflection\": %.17g,", a.m_nodes[201].deflection);
  EXPECT_NE(json.find(tip), std::string::npos);
  for (const char* key : {"\"minShear\"", "\"xMaxDeflection\"", "\"maxAbsMoment\"",
                          "\"loadVert\": -1,", "\"loadMoment\": 2,", "\"error\": false"}) {
    EXPECT_NE(json.find(key), std::string::npos) << key;
  }
  EXPECT_NE(json.find("\"messages\": [\n    \" 201 Nodes Defined, 402 Degrees of freedom\",\n"
                      "    \" Equilibrium error: Vert = 0.000; Rotation = "),
            std::string::npos);
}

TEST(ResultsExport, NoResultsGiveEmptyTablesAndValidJson) {
  CBeamAnalysis a;
  a.Reset();
  std::ostringstream json, csv;
  WriteResultsJson(json, a);
  WriteResultsCsv(csv, a);
  EXPECT_NE(json.str().find("\"nodes\": [],\n  \"elements\": [],\n"), std::string::npos);
  EXPECT_NE(json.str().find("\"messages\": []\n}\n"), std::string::npos);
  EXPECT_EQ(csv.str(),
            "node,x,deflection,rotation,reactionVert,reactionRot\n\n"
            "element,ei,releaseEnd,xEnd,length,shearStart,shearEnd,momentStart,momentEnd\n");
}

// A solution beyond the range of a double (here a prescribed rotation of 1e308) leaves values
// that are not numbers in the tables: null in JSON, an empty cell in CSV.
TEST(ResultsExport, ValuesThatAreNotNumbersAreNullOrEmpty) {
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, {"File Format:3.0", "Member Property: X = 0; E = 1; I = 1;",
                 "Support: X = 0; Disp = 0; Rotation = 1e308;", "Support: X = 10; Disp = 0;"});
  doc.BuildItems(true);
  doc.RunAnalysis();
  const CBeamAnalysis& a = doc.GetAnalysis();
  ASSERT_TRUE(std::isnan(a.m_nodes[2].rotation));
  std::ostringstream json, csv;
  WriteResultsJson(json, a);
  WriteResultsCsv(csv, a);
  EXPECT_NE(json.str().find("\"rotation\": null"), std::string::npos);
  EXPECT_EQ(json.str().find("nan"), std::string::npos);
  EXPECT_NE(csv.str().find("\n2,0.050000000000000003,,,0,0\n"), std::string::npos)
      << csv.str().substr(0, 200);
  EXPECT_EQ(csv.str().find("nan"), std::string::npos);
}

// A record far longer than the pieces the writers hand to the stream: every row as printf
// writes it, nothing lost or doubled at the seams.
std::string PrintfNumber(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g", v);
  return text;
}

TEST(ResultsExport, LongRecordsAreEveryRowAsPrintfWritesIt) {
  CSPLX_30Doc doc;
  std::vector<std::string> lines = {
      "File Format:3.0", "Units: English;", "Member Property: X = 0; E = 29000; I = 448;",
      "Uniform Load: XStart = 0; XEnd = 7000; UStart = -1; UEnd = -1.5;"};
  for (int x = 0; x <= 7000; x += 5)
    lines.push_back("Support: X = " + std::to_string(x) + "; Disp = 0;");
  lines.push_back("Point Load: X = 3333.3; PLoad = -7.25;");
  doc.SetLines(nullptr, std::move(lines));
  doc.BuildItems(true);
  doc.RunAnalysis();
  const CBeamAnalysis& a = doc.GetAnalysis();
  ASSERT_GT(a.m_nNodes, 1400);

  std::string csv = "node,x,deflection,rotation,reactionVert,reactionRot\n";
  std::string nodes = "{\n  \"nodes\": [";
  for (int32_t i = 1; i <= a.m_nNodes; ++i) {
    const BeamNode& n = a.m_nodes[i];
    csv += std::to_string(i) + "," + PrintfNumber(n.x) + "," + PrintfNumber(n.deflection) + "," +
           PrintfNumber(n.rotation) + "," + PrintfNumber(n.reactionVert) + "," +
           PrintfNumber(n.reactionRot) + "\n";
    nodes += std::string(i > 1 ? ",\n    " : "\n    ") + "{\"x\": " + PrintfNumber(n.x) +
             ", \"deflection\": " + PrintfNumber(n.deflection) +
             ", \"rotation\": " + PrintfNumber(n.rotation) +
             ", \"reactionVert\": " + PrintfNumber(n.reactionVert) +
             ", \"reactionRot\": " + PrintfNumber(n.reactionRot) + "}";
  }
  csv += "\nelement,ei,releaseEnd,xEnd,length,shearStart,shearEnd,momentStart,momentEnd\n";
  for (int32_t e = 1; e <= a.m_nElements; ++e) {
    const BeamElement& el = a.m_elements[e];
    csv += std::to_string(e) + "," + PrintfNumber(el.ei) + "," + std::to_string(el.releaseEnd);
    for (double v :
         {el.xEnd, a.ElementLength(e), el.shearStart, el.shearEnd, el.momentStart, el.momentEnd}) {
      csv += "," + PrintfNumber(v);
    }
    csv += "\n";
  }
  std::ostringstream csvOut, jsonOut;
  WriteResultsCsv(csvOut, a);
  WriteResultsJson(jsonOut, a);
  ASSERT_GT(csv.size(), size_t{3 * 65536});  // several of the pieces the writers hand on
  EXPECT_EQ(csvOut.str(), csv);
  const std::string json = jsonOut.str();
  EXPECT_EQ(json.substr(0, nodes.size()), nodes);
  EXPECT_EQ(json.compare(nodes.size(), 21, "\n  ],\n  \"elements\": ["), 0);
  EXPECT_NE(json.find(",\n  \"nDof\": " + std::to_string(a.m_nDof) + ",\n  \"length\": 84000,\n"),
            std::string::npos);
  EXPECT_NE(json.find("\"maxAbsMoment\": " + PrintfNumber(a.m_dMaxAbsMoment) + ",\n"),
            std::string::npos);
  const std::string ending = "\"\n  ]\n}\n";  // the last message and the end of the record
  EXPECT_EQ(json.substr(json.size() - ending.size()), ending);
}

TEST(ResultsExport, LocaleDoesNotChangeTheNumbers) {
  CSPLX_30Doc doc;
  Cantilever(doc);
  std::ostringstream c;
  WriteResultsCsv(c, doc.GetAnalysis());
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  std::ostringstream de;
  WriteResultsCsv(de, doc.GetAnalysis());
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(c.str(), de.str());
  EXPECT_NE(c.str().find("\n2,0.01,-1.6638888888888891e-07,3.3250000000000002e-05,0,0\n"),
            std::string::npos)
      << c.str().substr(0, 200);
}

}  // namespace
}  // namespace spanlab
