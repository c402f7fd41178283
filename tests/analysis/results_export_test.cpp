// The JSON and CSV forms of the results record.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <sstream>

#include "analysis/results_export.h"
#include "model/document.h"

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
  EXPECT_NE(c.str().find("\n1,0,0,0,1.0000000085483407,-2.0000000018991018\n"), std::string::npos)
      << c.str().substr(0, 200);
}

}  // namespace
}  // namespace spanlab
