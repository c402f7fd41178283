// The outputs of load combinations and design checks on results built by hand: the envelope
// record with combination names, the check tables in display units, the strength, service
// and design-check reports, and the input report's optional sections.
//
// The hand-built envelope is a beam of two 10 ft spans (English, internal inches and kip in)
// with nodes at 0, 120 and 240 in; its numbers are chosen to be exact in binary so that every
// text can be written out in full.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/results_export.h"
#include "report/design_tables.h"
#include "report/report_builder.h"
#include "report/report_text.h"
#include "run/document.h"
#include "run/run_driver.h"

namespace spanlab {
namespace {

// Combinations: 0 "U2" (strength, patterned), 1 "U3" (strength), 2 "S1" (service).
DesignResults Design() {
  DesignResults d;
  d.combinations = {{"U2", false, true}, {"U3", false, false}, {"S1", true, true}};
  d.spans = {{0, 120}, {120, 240}};
  LiveLoadEnvelope& e = d.strength;
  e.spans = d.spans;
  e.nodes.resize(3);
  for (int i = 0; i < 3; ++i) {
    EnvelopeNode& n = e.nodes[static_cast<size_t>(i)];
    n.x = 120.0 * i;
    n.deflection = {0.25 * i, -0.5 * i};
    n.rotation = {0.001, -0.002};
    n.hasReaction = i != 1;
    n.reactionVert = {12.5 + i, 2.5};
    n.reactionRot = {0, 0};
  }
  e.elements = {{120, {10, 2}, {-1, -8}, {0, 0}, {-600, -1800}},
                {240, {3, -6}, {7.5, 1.5}, {1800, 600}, {0, 0}}};
  e.nodeCombination = {{0, 1, 0, 1, 0, 1, -1, -1}, {1, 0, 1, 0, 0, 0, 0, 0},
                       {0, 1, 0, 1, 1, 0, -1, -1}};
  e.elementCombination = {{0, 1, 1, 0, 0, 0, 1, 0}, {0, 1, 0, 1, 1, 0, 0, 1}};
  e.extremes[kEnvelopeMaxShear] = {10, 0, {0}, 0};
  e.extremes[kEnvelopeMinShear] = {-7.5, 240, {0, 1}, 0};
  e.extremes[kEnvelopeMaxMoment] = {1800, 120, {0}, 1};
  e.extremes[kEnvelopeMinMoment] = {-1800, 120, {}, 1};
  d.service = e;
  d.service.extremes[kEnvelopeMinDeflection] = {-0.75, 60, {0}, 2};
  d.service.extremes[kEnvelopeMaxDeflection] = {0.125, 180, {}, 2};
  d.service.nodeCombination.assign(3, {2, 2, 2, 2, 2, 2, 2, 2});
  SpanCheck deflection;
  deflection.span = 0;
  deflection.value = -0.5;
  deflection.x = 60;
  deflection.limit = 1;
  deflection.divisor = 360;
  deflection.utilisation = 0.5;
  deflection.combination = 2;
  deflection.spansOnMax = {0};
  SpanCheck moment;
  moment.span = 1;
  moment.kind = DesignCheckKind::kMomentNegative;
  moment.value = -2400;
  moment.x = 120;
  moment.limit = 1920;
  moment.utilisation = 1.25;
  moment.exceeded = true;
  moment.combination = 0;
  moment.spansOnMax = {0, 1};
  SpanCheck shear;
  shear.span = 1;
  shear.kind = DesignCheckKind::kShear;
  shear.value = 7.5;
  shear.x = 240;
  shear.limit = 30;
  shear.utilisation = 0.25;
  shear.combination = 1;
  d.checks = {deflection, moment, shear};
  return d;
}

ModelItems EnglishItems() {
  ModelItems items;
  items.m_nUnits = kUnitsEnglish;
  items.m_factors = FactorsForUnits(kUnitsEnglish);
  return items;
}

TEST(CombinationEnvelopeRecord, NamesFollowEveryValueOnlyWhenGiven) {
  const DesignResults d = Design();
  std::ostringstream json;
  WriteEnvelopeJson(json, d.strength, {"U2", "U3", "S1"});
  const std::string text = json.str();
  EXPECT_NE(text.find("\n    {\"x\": 120, \"deflectionMax\": 0.25, \"deflectionMaxCombination\": "
                      "\"U3\", \"deflectionMin\": -0.5, \"deflectionMinCombination\": \"U2\", "
                      "\"rotationMax\": 0.001, \"rotationMaxCombination\": \"U3\", "
                      "\"rotationMin\": -0.002, \"rotationMinCombination\": \"U2\", "
                      "\"reactionVertMax\": null, \"reactionVertMaxCombination\": null, "
                      "\"reactionVertMin\": null, \"reactionVertMinCombination\": null, "
                      "\"reactionRotMax\": null, \"reactionRotMaxCombination\": null, "
                      "\"reactionRotMin\": null, \"reactionRotMinCombination\": null},\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("{\"xEnd\": 240, \"shearStartMax\": 3, \"shearStartMaxCombination\": "
                      "\"U2\", \"shearStartMin\": -6, \"shearStartMinCombination\": \"U3\", "
                      "\"shearEndMax\": 7.5, \"shearEndMaxCombination\": \"U2\", "
                      "\"shearEndMin\": 1.5, \"shearEndMinCombination\": \"U3\", "
                      "\"momentStartMax\": 1800, \"momentStartMaxCombination\": \"U3\", "
                      "\"momentStartMin\": 600, \"momentStartMinCombination\": \"U2\", "
                      "\"momentEndMax\": 0, \"momentEndMaxCombination\": \"U2\", "
                      "\"momentEndMin\": 0, \"momentEndMinCombination\": \"U3\"}"),
            std::string::npos)
      << text;
  // A reaction moment without a combination (-1) is null, as is no combination at all.
  EXPECT_NE(text.find("\"reactionRotMax\": 0, \"reactionRotMaxCombination\": null"),
            std::string::npos) << text;
  EXPECT_NE(text.find("\"minMoment\": {\"value\": -1800, \"x\": 120, \"spansOnMax\": [], "
                      "\"combination\": \"U3\"}"),
            std::string::npos);
  // Without names the record is the live-load envelope's, key for key.
  std::ostringstream plain;
  WriteEnvelopeJson(plain, d.strength);
  EXPECT_EQ(plain.str().find("Combination"), std::string::npos);
  EXPECT_EQ(plain.str().find("combination"), std::string::npos);
  EXPECT_NE(plain.str().find("{\"x\": 120, \"deflectionMax\": 0.25, \"deflectionMin\": -0.5, "
                             "\"rotationMax\": 0.001, \"rotationMin\": -0.002, "
                             "\"reactionVertMax\": null, \"reactionVertMin\": null, "
                             "\"reactionRotMax\": null, \"reactionRotMin\": null}"),
            std::string::npos);

  std::ostringstream csv;
  WriteEnvelopeCsv(csv, d.strength, {"U2", "U3", "S1"});
  EXPECT_EQ(csv.str(),
            "node,x,deflectionMax,deflectionMaxCombination,deflectionMin,"
            "deflectionMinCombination,rotationMax,rotationMaxCombination,rotationMin,"
            "rotationMinCombination,reactionVertMax,reactionVertMaxCombination,"
            "reactionVertMin,reactionVertMinCombination,reactionRotMax,"
            "reactionRotMaxCombination,reactionRotMin,reactionRotMinCombination\n"
            "1,0,0,U2,-0,U3,0.001,U2,-0.002,U3,12.5,U2,2.5,U3,0,,0,\n"
            "2,120,0.25,U3,-0.5,U2,0.001,U3,-0.002,U2,,,,,,,,\n"
            "3,240,0.5,U2,-1,U3,0.001,U2,-0.002,U3,14.5,U3,2.5,U2,0,,0,\n"
            "\nelement,xEnd,shearStartMax,shearStartMaxCombination,shearStartMin,"
            "shearStartMinCombination,shearEndMax,shearEndMaxCombination,shearEndMin,"
            "shearEndMinCombination,momentStartMax,momentStartMaxCombination,"
            "momentStartMin,momentStartMinCombination,momentEndMax,"
            "momentEndMaxCombination,momentEndMin,momentEndMinCombination\n"
            "1,120,10,U2,2,U3,-1,U3,-8,U2,0,U2,0,U2,-600,U3,-1800,U2\n"
            "2,240,3,U2,-6,U3,7.5,U2,1.5,U3,1800,U3,600,U2,0,U2,0,U3\n");
  // A name that a CSV cell or a JSON string cannot hold as it is (only lines the checks did
  // not see can give one) is quoted, not written raw.
  std::ostringstream odd, oddJson;
  WriteEnvelopeCsv(odd, d.strength, {"a,\"b", "U3", "S1"});
  EXPECT_NE(odd.str().find("\n1,0,0,\"a,\"\"b\",-0,U3,"), std::string::npos) << odd.str();
  WriteEnvelopeJson(oddJson, d.strength, {"a,\"b", "U3", "S1"});
  EXPECT_NE(oddJson.str().find("\"deflectionMaxCombination\": \"a,\\\"b\""), std::string::npos);
}

TEST(CheckTables, DisplayUnitsJsonCsvAndText) {
  const DesignResults d = Design();
  const std::vector<CheckRow> rows = CheckRows(d, kUnitsEnglish);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].value, -200);  // kip in to kip ft
  EXPECT_EQ(rows[1].limit, 160);
  EXPECT_EQ(rows[1].x, 10);  // inches to feet
  std::ostringstream json;
  WriteChecksJson(json, rows);
  EXPECT_EQ(json.str(),
            "{\n  \"checks\": [\n"
            "    {\"span\": 1, \"check\": \"deflection\", \"value\": -0.5, \"x\": 5, "
            "\"limit\": 1, \"unit\": \"inches\", \"rule\": \"L/360\", \"utilisation\": 0.5, "
            "\"exceeded\": false, \"combination\": \"S1\", \"spansLoaded\": [1]},\n"
            "    {\"span\": 2, \"check\": \"momentNeg\", \"value\": -200, \"x\": 10, "
            "\"limit\": 160, \"unit\": \"kip ft\", \"rule\": \"capacity\", \"utilisation\": "
            "1.25, \"exceeded\": true, \"combination\": \"U2\", \"spansLoaded\": [1, 2]},\n"
            "    {\"span\": 2, \"check\": \"shear\", \"value\": 7.5, \"x\": 20, \"limit\": 30, "
            "\"unit\": \"kips\", \"rule\": \"capacity\", \"utilisation\": 0.25, \"exceeded\": "
            "false, \"combination\": \"U3\", \"spansLoaded\": []}\n"
            "  ],\n  \"exceeded\": true\n}\n");
  std::ostringstream csv;
  WriteChecksCsv(csv, rows);
  EXPECT_EQ(csv.str(),
            "span,check,value,x,limit,unit,rule,utilisation,status,combination,spansLoaded\n"
            "1,deflection,-0.5,5,1,inches,L/360,0.5,OK,S1,1\n"
            "2,momentNeg,-200,10,160,kip ft,capacity,1.25,exceeds,U2,1 2\n"
            "2,shear,7.5,20,30,kips,capacity,0.25,OK,U3,\n");
  const std::vector<std::string> text = ChecksTableLines(rows);
  const std::vector<std::string> expected = {
      " Span  Check           Value      Limit  Unit   Rule           Use  Status  Governing",
      " -!@#$%^&*()" + std::string(78, '-'),
      "    1  Deflection  -0.500000   1.000000  inches L/360        0.500  OK      S1, spans 1",
      "    2  Moment -     -200.000    160.000  kip ft              1.250  EXCEEDS U2, spans 1, 2",
      "    2  Shear           7.500     30.000  kips                0.250  OK      U3",
      "",
      "1 check(s) exceeded."};
  EXPECT_EQ(text, expected);

  // Metric: deflections in mm, moments in kN m as computed (their factor is 1).
  DesignResults metric = Design();
  metric.checks[0].value = -0.012;  // m
  metric.checks[0].limit = 0.016;
  metric.checks[0].x = 2.5;
  const std::vector<CheckRow> m = CheckRows(metric, kUnitsMetric);
  EXPECT_DOUBLE_EQ(m[0].value, -12);
  EXPECT_DOUBLE_EQ(m[0].limit, 16);
  EXPECT_EQ(m[0].x, 2.5);
  EXPECT_EQ(m[0].unit, "mm");
  EXPECT_EQ(m[1].value, -2400);
  EXPECT_EQ(m[1].unit, "kN m");
  // The model as written governs: no combination, null in JSON, "as written" in the table.
  metric.checks[2].combination = -1;
  std::ostringstream asWritten;
  WriteChecksJson(asWritten, CheckRows(metric, kUnitsMetric));
  EXPECT_NE(asWritten.str().find("\"combination\": null"), std::string::npos);
  EXPECT_EQ(ChecksTableLines(CheckRows(metric, kUnitsMetric))[4].substr(76), "as written");
  EXPECT_EQ(ChecksTableLines({}), std::vector<std::string>{"The model has no design checks."});
}

}  // namespace
}  // namespace spanlab

namespace spanlab {
namespace {

std::vector<std::string> Texts(const ReportBuilder& b) {
  std::vector<std::string> lines;
  for (const CReportLine& line : b.Lines()) lines.push_back(line.text);
  return lines;
}

TEST(CombinationEnvelopeReport, StrengthInDisplayUnitsWithCombinations) {
  const DesignResults d = Design();
  const ModelItems items = EnglishItems();
  const std::vector<std::string> lines;
  CBeamAnalysis analysis;
  LiveLoadEnvelope envelope;
  const ModelRun run(lines, items, analysis, envelope, d);
  ReportBuilder b;
  b.BuildCombinationEnvelopeReport(run, false, 3);
  const std::string rule61 = " -!@#$%^&*()" + std::string(49, '-');
  // Values just left of each node: at 10 ft the largest shear is minus the smallest end force
  // of element 1 (-8, from U2), the largest moment minus its smallest end moment (-1800 kip in
  // = 150 kip ft, U2). No reaction moment anywhere: no table of them.
  const std::vector<std::string> expected = {
      "Strength envelope over the combinations U2, U3.",
      "Shears, moments and reactions come from these combinations.",
      "",
      "Spans:",
      "    1  from          0 to     10.000 feet",
      "    2  from     10.000 to     20.000 feet",
      "",
      "Min & Max values, with the governing combination and the spans loaded:",
      " -!@#$%^&*()--------------------------------------------",
      " Min Shear      =     -7.500 kips    at     20.000 feet",
      "                  combination U2, spans loaded: 1, 2",
      " Max Shear      =     10.000 kips    at          0 feet",
      "                  combination U2, spans loaded: 1",
      " Min Moment     =   -150.000 kip ft  at     10.000 feet",
      "                  combination U3, spans loaded: none",
      " Max Moment     =    150.000 kip ft  at     10.000 feet",
      "                  combination U3, spans loaded: 1",
      "",
      "          X  Shear Max  Combination   Shear Min  Combination",
      "       feet       kips                     kips",
      rule61,
      "          0     10.000  U2                2.000  U3",
      "     10.000      8.000  U2             1.000000  U3",
      "     20.000     -1.500  U3               -7.500  U2",
      "",
      "          X Moment Max  Combination  Moment Min  Combination",
      "       feet     kip ft                   kip ft",
      rule61,
      "          0          0  U2                    0  U2",
      "     10.000    150.000  U2               50.000  U3",
      "     20.000          0  U3                    0  U2",
      "",
      "          X   Vert Max  Combination    Vert Min  Combination",
      "       feet       kips                     kips",
      rule61,
      "          0     12.500  U2                2.500  U3",
      "     20.000     14.500  U3                2.500  U2"};
  EXPECT_EQ(Texts(b), expected);

  // On pages of seven lines (six and the page's last) the service report's rotation table
  // runs onto a new page, which starts with the table's headings again.
  ReportBuilder paged;
  paged.SetLinesPerPage(7);
  paged.NewPage();
  paged.BuildCombinationEnvelopeReport(run, true, 3);
  std::vector<std::string> tail;
  for (const CReportLine& line : paged.Lines()) {
    if (line.page >= 5) tail.push_back(std::to_string(line.page) + "|" + line.text);
  }
  const std::vector<std::string> pages56 = {
      "5|",
      "5|          X    Rot Max  Combination     Rot Min  Combination",
      "5|       feet    radians                  radians",
      "5|" + rule61,
      "5|          0      0.001  S1               -0.002  S1",
      "5|     10.000      0.001  S1               -0.002  S1",
      "6|          X    Rot Max  Combination     Rot Min  Combination",
      "6|       feet    radians                  radians",
      "6|" + rule61,
      "6|     20.000      0.001  S1               -0.002  S1"};
  EXPECT_EQ(tail, pages56);
}

TEST(DesignCheckReport, SaysWhereEachCheckComesFromThenTheTable) {
  const DesignResults d = Design();
  const ModelItems items = EnglishItems();
  const std::vector<std::string> lines;
  CBeamAnalysis analysis;
  LiveLoadEnvelope envelope;
  const ModelRun run(lines, items, analysis, envelope, d);
  ReportBuilder b;
  b.BuildDesignCheckReport(run);
  std::vector<std::string> expected = {
      "Deflections are checked over the service combinations.",
      "Moments and shears are checked over the strength combinations.",
      "Use is the largest value divided by the limit.", ""};
  for (const std::string& line : ChecksTableLines(CheckRows(d, kUnitsEnglish)))
    expected.push_back(line);
  EXPECT_EQ(Texts(b), expected);
  // Without combinations the checks read the model as written.
  DesignResults plain = Design();
  plain.combinations.clear();
  for (SpanCheck& c : plain.checks) c.combination = -1;
  const ModelRun asWritten(lines, items, analysis, envelope, plain);
  ReportBuilder w;
  w.BuildDesignCheckReport(asWritten);
  EXPECT_EQ(w.Lines()[0].text, "Deflections are checked over the model as written.");
  EXPECT_EQ(w.Lines()[1].text, "Moments and shears are checked over the model as written.");
  // The appendix: strength and service envelopes replace the live-load envelope, then the
  // checks; without combinations the live-load envelope (when there is one) and the checks.
  EXPECT_EQ(AppendixReports(run),
            (std::vector<AppendixReport>{AppendixReport::kStrengthEnvelope,
                                         AppendixReport::kServiceEnvelope,
                                         AppendixReport::kDesignChecks}));
  EXPECT_EQ(AppendixReports(asWritten), std::vector<AppendixReport>{AppendixReport::kDesignChecks});
  const ModelRun withLive(lines, items, analysis, d.strength, plain);
  EXPECT_EQ(AppendixReports(withLive),
            (std::vector<AppendixReport>{AppendixReport::kLiveLoadEnvelope,
                                         AppendixReport::kDesignChecks}));
}

// A model run through the checks and the analysis, as the program runs it.
std::unique_ptr<CSPLX_30Doc> Analysed(const std::vector<std::string>& lines) {
  auto doc = std::make_unique<CSPLX_30Doc>();
  doc->SetLines(nullptr, lines);
  RunModel(*doc);
  return doc;
}

TEST(InputReport, ListsTheLiveLoadCombinationAndCheckSectionsThatHaveLines) {
  const std::vector<std::string> beam = {
      "File Format:3.0", "Units:English;", "Member Property: X = 0; E = 29000; I = 448;",
      "Support: X = 0; Disp = 0;", "Support: X = 20; Disp = 0;",
      "Point Load: X = 10; PLoad = -3; Case = S; /snow"};
  ReportBuilder plain;
  plain.BuildInputReport(*Analysed(beam));
  std::vector<std::string> lines = beam;
  lines.insert(lines.end(), {"Capacity: Moment = 200; Shear = 60;",
                             "Service Combination: Name = S1; D = 1; S = 1;",
                             "Live Load: U = -1;", "Deflection Limit: Span = 360;",
                             "Load Combination: Name = U1; D = 1.2; S = 1.6; L = 1.6;",
                             "Load Combination: Name = U2; D = 1.4;",
                             "Vehicle: Name = T; Axles = -8, -32; Spacing = 14;"});
  ReportBuilder full;
  full.BuildInputReport(*Analysed(lines));
  // The sections in the tree's order, each line without its prefix, after the beam's sections
  // which stay as they were.
  std::vector<std::string> expected = Texts(plain);
  expected.insert(expected.end(),
                  {"", "Live Load - U = kip/ft", "  U = -1;", "",
                   "Load Combinations - Factors of the Load Cases",
                   "  Name = U1; D = 1.2; S = 1.6; L = 1.6;", "  Name = U2; D = 1.4;", "",
                   "Service Combinations - Factors of the Load Cases",
                   "  Name = S1; D = 1; S = 1;", "", "Deflection Limit - Span Length Divided By",
                   "  Span = 360;", "", "Capacity - Moment = kip ft, Shear = kips",
                   "  Moment = 200; Shear = 60;", "",
                   "Vehicles - Axles = kips, Spacing = feet, Lane = kip/ft",
                   "  Name = T; Axles = -8, -32; Spacing = 14;"});
  EXPECT_EQ(Texts(full), expected);
  // Consistent units name no unit.
  lines[1] = "Units:Consistent;";
  ReportBuilder consistent;
  consistent.BuildInputReport(*Analysed(lines));
  const std::vector<std::string> texts = Texts(consistent);
  EXPECT_EQ(texts[texts.size() - 2], "Vehicles - Consistent Units");
  EXPECT_EQ(texts[texts.size() - 5], "Capacity - Consistent Units");
  EXPECT_EQ(texts[texts.size() - 8], "Deflection Limit - Span Length Divided By");
}

}  // namespace
}  // namespace spanlab
