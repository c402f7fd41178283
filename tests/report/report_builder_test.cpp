// The report lines: whole reports for one small model in each unit system, compared line by
// line with texts written out by hand.
//
// The three models have closed-form results (Euler-Bernoulli beam tables; the engine's cubic
// elements are exact at the nodes up to rounding, which stays some eight digits below what the
// reports print):
//  * English: a propped cantilever, fixed at 0 and pinned at 30 ft, w = 0.96 kip/ft down:
//    reactions 5wL/8 = 18 kips, 3wL/8 = 10.8 kips, wL^2/8 = 108 kip ft; largest sagging moment
//    9wL^2/128 = 60.75 kip ft at 5L/8.
//  * Metric: a 4 m cantilever fixed at 0 with 2 kN/m down, 5 kN down and a 3 kN m moment at
//    the tip: M(x) = -39 + 13x - x^2 kN m, EI = 210000 MPa x 1943 cm^4 = 4080.3 kN m^2.
//  * Consistent: a cantilever fixed at 0 whose tip at 200 may slide but not turn (a support
//    with only a rotation restraint), 6 down at the tip and 0.03 down along the beam:
//    M(x) = -1000 + 12x - 0.015x^2, EI = 600.
// Each beam is cut into 200 elements of equal length, so node i stands at (i - 1) L / 200.
#include "report/report_builder.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "report/number_field.h"
#include "run/document.h"
#include "run/run_driver.h"

namespace spanlab {
namespace {

const std::string kRule33 = " -!@#$%^&*()---------------------";
const std::string kRule51 = " -!@#$%^&*()---------------------------------------";
const std::string kRule56 = " -!@#$%^&*()--------------------------------------------";
const std::string kRule71 =
    " -!@#$%^&*()-----------------------------------------------------------";

// In an expected line, a run of '~' stands for a number field holding a rounding residual (the
// Diff column of a balanced model, a moment or shear that is zero in theory): its digits are
// noise, so the field only has to read as a number below 1e-4 in magnitude.
const std::string kResidual(11, '~');

void ExpectLines(const std::vector<std::string>& actual, const std::vector<std::string>& expected) {
  std::string all;
  for (const std::string& line : actual) all += "[" + line + "]\n";
  ASSERT_EQ(actual.size(), expected.size()) << all;
  for (size_t i = 0; i < expected.size(); ++i) {
    const std::string& e = expected[i];
    const std::string& a = actual[i];
    if (e.find('~') == std::string::npos || a.size() != e.size()) {
      EXPECT_EQ(a, e) << "line " << i;
      continue;
    }
    for (size_t c = 0; c < e.size();) {
      if (e[c] != '~') {
        EXPECT_EQ(a[c], e[c]) << "line " << i << " [" << a << "] column " << c;
        ++c;
        continue;
      }
      const size_t end = e.find_first_not_of('~', c);
      const std::string field = a.substr(c, end == std::string::npos ? end : end - c);
      char* stop = nullptr;
      const double v = std::strtod(field.c_str(), &stop);
      EXPECT_EQ(*stop, '\0') << "line " << i << " [" << a << "]";
      EXPECT_LT(std::fabs(v), 1e-4) << "line " << i << " [" << a << "]";
      c += field.size();
    }
  }
}

std::vector<std::string> Texts(const ReportBuilder& builder) {
  std::vector<std::string> texts;
  for (const CReportLine& line : builder.Lines()) texts.push_back(line.text);
  return texts;
}

// A document with these lines, checked and analysed as the output pane does it.
std::unique_ptr<CSPLX_30Doc> Model(const std::vector<std::string>& lines) {
  auto doc = std::make_unique<CSPLX_30Doc>();
  doc->SetLines(nullptr, lines);
  RunModel(*doc);
  return doc;
}

const std::vector<std::string> kEnglishLines = {
    "File Format:3.0",
    "/Propped cantilever, 30 ft long, W8x31 section: fixed/pinned, under dead load",
    "Units:English;",
    "Member Property: X = 0; E = 29000; I = 100; /W8x31",
    "Support: X = 0; Disp = 0; Rotation = 0; /fixed into the wall",
    "Support: X = 30; Disp = 0;",
    "Uniform Load: XStart = 0; XEnd = 30; UStart = -0.96; UEnd = -0.96; /dead load",
};
const std::vector<std::string> kMetricLines = {
    "File Format:3.0",
    "/Balcony cantilever, 4 m",
    "Units:Metric;",
    "Member Property: X = 0; E = 210000; I = 1943; /IPE 200",
    "Support: X = 0; Disp = 0; Rotation = 0;",
    "Point Load: X = 4; PLoad = -5; Moment = 3; /parapet",
    "Uniform Load: XStart = 0; XEnd = 4; UStart = -2; UEnd = -2;",
};
const std::vector<std::string> kConsistentLines = {
    "File Format:3.0",
    "/Guided cantilever",
    "Member Property: X = 0; E = 200; I = 3;",
    "Support: X = 0; Disp = 0; Rotation = 0;",
    "Support: X = 200; Rotation = 0; /slides but cannot turn",
    "Point Load: X = 200; PLoad = -6;",
    "Uniform Load: XStart = 0; XEnd = 200; UStart = -0.03; UEnd = -0.03;",
};

// ---- Input data report ----

TEST(InputReport, EnglishHeadingsAndASplitComment) {
  const auto doc = Model(kEnglishLines);
  ReportBuilder builder;
  builder.BuildInputReport(*doc);
  ExpectLines(Texts(builder),
              {
                  "Description:",
                  "",
                  // A description line is never split, "/" or not.
                  "  Propped cantilever, 30 ft long, W8x31 section: fixed/pinned, under dead load",
                  "",
                  "Units: English",
                  "",
                  "Properties - X = feet, E = ksi, I = in^4",
                  "  X = 0; E = 29000; I = 100; /W8x31",
                  "",
                  "Moment Releases - X = feet",
                  "",
                  "Supports - X = feet, Displacement = inches, Rotation = radians",
                  "  X = 0; Disp = 0; Rotation = 0; /fixed into the wall",
                  "  X = 30; Disp = 0;",
                  "",
                  "Springs - X = feet, VSpring = kip/inch, RSpring = kip in/rad",
                  "",
                  "Point Loads - X = feet, PLoad = kips, Moment = kip ft",
                  "",
                  "Uniform Loads - XStart & XEnd = feet, UStart & UEnd = kip/ft",
                  "  XStart = 0; XEnd = 30; UStart = -0.96; UEnd = -0.96;",
                  "          /dead load",
              });
}

TEST(InputReport, ConsistentHeadingsAndSectionOrderFromAnyLineOrder) {
  // Lines in any order, never analysed: each section lists its own lines in document order;
  // the format and Units lines are not echoed; a description may stand anywhere. The echo
  // skips the keyword and one more character, whatever that character is.
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, {"File Format:3.0",
                 "Point Load: X = 5; PLoad = 1;",
                 "Units:Consistent;",
                 "Support: X = 9; Disp = 0;",
                 "/first note",
                 "Moment Release:X = 3;",
                 "Support: X = 0; Disp = 0;",
                 "Spring: X = 4; VSpring = 10;",
                 "/  second note",
                 "Member Property: X = 0; E = 1; I = 1;",
                 "point Load: X = 6; PLoad = 1;"});
  ReportBuilder builder;
  builder.BuildInputReport(doc);
  ExpectLines(Texts(builder), {"Description:",
                               "",
                               "  first note",
                               "    second note",
                               "",
                               "Units: Consistent",
                               "",
                               "Properties - Consistent Units",
                               "  X = 0; E = 1; I = 1;",
                               "",
                               "Moment Releases - Consistent Units",
                               "   = 3;",
                               "",
                               "Supports - Consistent Units",
                               "  X = 9; Disp = 0;",
                               "  X = 0; Disp = 0;",
                               "",
                               "Springs - Consistent Units",
                               "  X = 4; VSpring = 10;",
                               "",
                               "Point Loads - Consistent Units",
                               "  X = 5; PLoad = 1;",
                               "",
                               "Uniform Loads - Consistent Units"});
}

// ---- Analysis summary ----

TEST(SummaryReport, English) {
  const auto doc = Model(kEnglishLines);
  ReportBuilder builder;
  builder.BuildSummaryReport(*doc);
  ExpectLines(Texts(builder),
              {
                  "",
                  "Analysis Data:",
                  "",
                  " Beam Length = 30. feet",
                  " Number of Nodes = 201",
                  " Number of Elements = 200",
                  " Number of Degrees of Freedom = 402",
                  "",
                  "Reactions:",
                  "",
                  "          X       Vert        Rot",
                  "       feet       kips     kip ft",
                  kRule33,
                  "          0     18.000   -108.000",
                  "     30.000     10.800           ",  // a pinned support: blank Rot
                  "",
                  "",
                  "Equilibrium:",
                  "",
                  "                 Force   Reaction       Diff",
                  kRule51,
                  "       Vert    -28.800     28.800" + kResidual + " kips",
                  "        Rot    432.000   -432.000" + kResidual + " kip ft",
                  "",
                  "",
                  "Min & Max values:",
                  kRule56,
                  "",
                  " Min Shear      =    -10.800 kips    at      30.000 feet",
                  " Max Shear      =     18.000 kips    at           0 feet",
                  " Min Moment     =   -108.000 kip ft  at           0 feet",
                  " Max Moment     =     60.750 kip ft  at      18.750 feet",
                  " Min Rotation   =  -0.026814 radians at      30.000 feet",
                  " Max Rotation   =   0.018434 radians at       7.500 feet",
                  // Between nodes: a propped cantilever's deflection peaks 0.4215 L from the
                  // pinned end, at 17.354 ft (the nearest node, 17.400, gives -2.509).
                  " Min Deflection =     -2.510 in      at      17.354 feet",
                  " Max Deflection =          0 in      at           0 feet",
              });
}

TEST(SummaryReport, Metric) {
  const auto doc = Model(kMetricLines);
  ReportBuilder builder;
  builder.BuildSummaryReport(*doc);
  ExpectLines(Texts(builder), {
                                  "",
                                  "Analysis Data:",
                                  "",
                                  " Beam Length = 4. m",
                                  " Number of Nodes = 201",
                                  " Number of Elements = 200",
                                  " Number of Degrees of Freedom = 402",
                                  "",
                                  "Reactions:",
                                  "",
                                  "          X       Vert        Rot",
                                  "          m         kN       kN m",
                                  kRule33,
                                  "          0     13.000    -39.000",
                                  "",
                                  "",
                                  "Equilibrium:",
                                  "",
                                  "                 Force   Reaction       Diff",
                                  kRule51,
                                  "       Vert    -13.000     13.000" + kResidual + " kN",
                                  "        Rot     39.000    -39.000" + kResidual + " kN m ",
                                  "",
                                  "",
                                  "Min & Max values:",
                                  kRule56,
                                  "",
                                  " Min Shear      =      5.000 kN      at       4.000 m",
                                  " Max Shear      =     13.000 kN      at           0 m",
                                  " Min Moment     =    -39.000 kN m    at           0 m",
                                  " Max Moment     =     -3.000 kN m    at       4.000 m",
                                  " Min Rotation   =          0 radians at           0 m",
                                  " Max Rotation   =   0.017973 radians at       4.000 m",
                                  // Millimetres: wL^4/8EI + PL^3/3EI + ML^2/2EI = 47.709 mm.
                                  " Min Deflection =    -47.709 mm      at       4.000 m",
                                  " Max Deflection =          0 mm      at           0 m",
                              });
}

TEST(SummaryReport, ConsistentHasNoUnitsAndARotationOnlySupportHasABlankVert) {
  const auto doc = Model(kConsistentLines);
  ReportBuilder builder;
  builder.BuildSummaryReport(*doc);
  ExpectLines(Texts(builder), {
                                  "",
                                  "Analysis Data:",
                                  "",
                                  " Beam Length = 200.",
                                  " Number of Nodes = 201",
                                  " Number of Elements = 200",
                                  " Number of Degrees of Freedom = 402",
                                  "",
                                  "Reactions:",
                                  "",
                                  "          X       Vert        Rot",
                                  kRule33,
                                  "          0     12.000  -1000.000",
                                  "    200.000              -800.000",
                                  "",
                                  "",
                                  "Equilibrium:",
                                  "",
                                  "                 Force   Reaction       Diff",
                                  kRule51,
                                  "       Vert    -12.000     12.000" + kResidual,
                                  "        Rot   1800.000  -1800.000" + kResidual,
                                  "",
                                  "",
                                  "Min & Max values:",
                                  kRule56,
                                  "",
                                  " Min Shear      =      6.000 at     200.000",
                                  " Max Shear      =     12.000 at           0",
                                  " Min Moment     =  -1000.000 at           0",
                                  " Max Moment     =    800.000 at     200.000",
                                  " Min Rotation   =          0 at           0",
                                  // Where the moment is 0, between nodes (the node at
                                  // 94.000 gives 75.228).
                                  " Max Rotation   =     75.230 at      94.495",
                                  " Min Deflection = -10000.000 at     200.000",
                                  " Max Deflection =          0 at           0",
                              });
}

// ---- No results ----

TEST(NoResults, SummaryAndDetailsSayNotAvailable) {
  // Analysed once with success, then broken: the results of the old run must not show.
  auto doc = Model(kMetricLines);
  ASSERT_GT(doc->GetAnalysis().m_dLength, 0);
  std::vector<std::string> broken = kMetricLines;
  broken[3] = "Member Property: X = 1; E = 210000; I = 1943;";  // none at X = 0 now
  doc->SetLines(nullptr, broken);
  ASSERT_NE(RunModel(*doc).errors, 0);

  ReportBuilder builder;
  builder.BuildSummaryReport(*doc);
  ExpectLines(Texts(builder), {"", "Analysis Data:", "", "Summary report is not available."});
  for (int points = 0; points <= 3; ++points) {
    for (bool tabs : {false, true}) {
      builder.Clear();
      builder.BuildDetailsReport(*doc, points, tabs);
      ExpectLines(Texts(builder), {"Details report is not available."});
    }
  }
}

// ---- Analysis details ----

TEST(DetailsReport, MetricAt25Points) {
  const auto doc = Model(kMetricLines);
  ReportBuilder builder;
  builder.BuildDetailsReport(*doc, 0, false);
  // Nodes 1, 9, ..., 201 of 201: every eighth node, the tip included. EI in kN cm^2,
  // deflections in mm; the values are those of M(x) = -39 + 13x - x^2 above.
  ExpectLines(Texts(builder),
              {
                  "          X          EI       Shear      Moment    Rotation        Disp",
                  "          m     kN cm^2          kN       kN m         rad          mm",
                  kRule71,
                  "          0    40803000      13.000     -39.000           0           0",
                  "   0.160000    40803000      12.680     -36.946    0.001489   -0.120182",
                  "   0.320000    40803000      12.360     -34.942    0.002898   -0.472190",
                  "   0.480000    40803000      12.040     -32.990    0.004230      -1.043",
                  "   0.640000    40803000      11.720     -31.090    0.005486      -1.822",
                  "   0.800000    40803000      11.400     -29.240    0.006669      -2.795",
                  "   0.960000    40803000      11.080     -27.442    0.007780      -3.952",
                  "      1.120    40803000      10.760     -25.694    0.008822      -5.281",
                  "      1.280    40803000      10.440     -23.998    0.009796      -6.771",
                  "      1.440    40803000      10.120     -22.354    0.010704      -8.412",
                  "      1.600    40803000       9.800     -20.760    0.011549     -10.193",
                  "      1.760    40803000       9.480     -19.218    0.012333     -12.105",
                  "      1.920    40803000       9.160     -17.726    0.013057     -14.137",
                  "      2.080    40803000       8.840     -16.286    0.013724     -16.280",
                  "      2.240    40803000       8.520     -14.898    0.014335     -18.525",
                  "      2.400    40803000       8.200     -13.560    0.014893     -20.864",
                  "      2.560    40803000       7.880     -12.274    0.015399     -23.288",
                  "      2.720    40803000       7.560     -11.038    0.015856     -25.790",
                  "      2.880    40803000       7.240      -9.854    0.016266     -28.360",
                  "      3.040    40803000       6.920      -8.722    0.016630     -30.992",
                  "      3.200    40803000       6.600      -7.640    0.016950     -33.679",
                  "      3.360    40803000       6.280      -6.610    0.017230     -36.414",
                  "      3.520    40803000       5.960      -5.630    0.017469     -39.190",
                  "      3.680    40803000       5.640      -4.702    0.017672     -42.002",
                  "      3.840    40803000       5.320      -3.826    0.017839     -44.844",
                  "      4.000    40803000       5.000      -3.000    0.017973     -47.709",
              });
}

// Closed-form values at x of one model, in the units of the details table: EI, shear, moment
// (both just left of x), rotation, deflection.
using Theory = std::function<std::array<double, 5>(double x)>;

// The details table expected at every data-points choice: head lines, then the rows of nodes
// 1, 1 + step, ... of a beam of 200 equal elements, each field the number field of the
// closed-form value. A shear or moment that is zero in theory is only a rounding residual.
std::vector<std::string> ExpectedDetails(std::vector<std::string> lines, double length, int step,
                                         const Theory& theory) {
  for (int i = 1; i <= 201; i += step) {
    const double x = length * (i - 1) / 200;
    std::string row = FormatNumber(x);
    const std::array<double, 5> v = theory(x);
    for (size_t f = 0; f < v.size(); ++f) {
      const bool residual = (f == 1 || f == 2) && std::fabs(v[f]) < 1e-6;
      row += " " + (residual ? kResidual : FormatNumber(v[f]));
    }
    lines.push_back(row);
  }
  return lines;
}

struct DetailsCase {
  const std::vector<std::string>* modelLines;
  double length;  // internal units
  std::vector<std::string> head;
  Theory theory;
};

TEST(DetailsReport, EveryDataPointsChoiceInEveryUnitSystem) {
  const DetailsCase cases[] = {
      {&kEnglishLines,
       360,
       {"          X          EI       Shear      Moment    Rotation        Disp",
        "         in    kip in^2        kips     kip in         rad          in", kRule71},
       [](double x) {
         // Internal units: inches, kips, w = 0.08 kip/in; EI = 29000 ksi x 100 in^4.
         const double ei = 2.9e6;
         return std::array<double, 5>{
             ei, 18 - 0.08 * x, -1296 + 18 * x - 0.04 * x * x,
             (1296 * x - 9 * x * x + 0.04 * x * x * x / 3) / ei,
             (-648 * x * x + 3 * x * x * x - 0.01 * x * x * x * x / 3) / ei};
       }},
      {&kMetricLines,
       4,
       {"          X          EI       Shear      Moment    Rotation        Disp",
        "          m     kN cm^2          kN       kN m         rad          mm", kRule71},
       [](double x) {
         const double ei = 4080.3;
         return std::array<double, 5>{
             ei * 10000, 13 - 2 * x, -39 + 13 * x - x * x,
             (39 * x - 6.5 * x * x + x * x * x / 3) / ei,
             1000 * (-19.5 * x * x + 6.5 / 3 * x * x * x - x * x * x * x / 12) / ei};
       }},
      {&kConsistentLines,
       200,
       {"          X          EI       Shear      Moment    Rotation        Disp", kRule71},
       [](double x) {
         const double ei = 600;
         return std::array<double, 5>{
             ei, 12 - 0.03 * x, -1000 + 12 * x - 0.015 * x * x,
             (1000 * x - 6 * x * x + 0.005 * x * x * x) / ei,
             (-500 * x * x + 2 * x * x * x - 0.00125 * x * x * x * x) / ei};
       }},
  };
  for (const DetailsCase& c : cases) {
    const auto doc = Model(*c.modelLines);
    ASSERT_EQ(doc->GetAnalysis().m_nNodes, 201);
    const int steps[] = {8, 4, 2, 1};
    for (int points = 0; points <= 3; ++points) {
      SCOPED_TRACE("units " + std::to_string(doc->GetUnits()) + ", choice " + std::to_string(points));
      ReportBuilder builder;
      builder.BuildDetailsReport(*doc, points, false);
      ExpectLines(Texts(builder), ExpectedDetails(c.head, c.length, steps[points], c.theory));
    }
  }
}

TEST(DetailsReport, RowSelectionOnABeamOf205Nodes) {
  // Five positions in the first grid cell (width 200/199) add five nodes to the 201 of a bare
  // 200-long beam and take one element from the rest: 205 nodes.
  std::vector<std::string> lines = {"File Format:3.0", "Member Property: X = 0; E = 200; I = 3;",
                                    "Support: X = 0; Disp = 0;", "Support: X = 200; Disp = 0;"};
  for (const char* x : {"0.2", "0.4", "0.6", "0.8", "1.0"})
    lines.push_back(std::string("Point Load: X = ") + x + "; PLoad = -1;");
  const auto doc = Model(lines);
  const CBeamAnalysis& a = doc->GetAnalysis();
  ASSERT_EQ(a.m_nNodes, 205);

  auto listedX = [&](int points) {
    ReportBuilder builder;
    builder.BuildDetailsReport(*doc, points, false);
    std::vector<std::string> xs;
    for (size_t i = 2; i < builder.Lines().size(); ++i)
      xs.push_back(builder.Lines()[i].text.substr(0, 11));
    return xs;
  };
  auto nodeX = [&](int step) {
    std::vector<std::string> xs;
    for (int i = 1; i <= a.m_nNodes; i += step) xs.push_back(FormatNumber(a.m_nodes[i].x));
    return xs;
  };
  // 200+ points: every node, 1 to 205.
  const std::vector<std::string> all = listedX(3);
  ASSERT_EQ(all.size(), 205u);
  EXPECT_EQ(all, nodeX(1));
  EXPECT_EQ(all.front(), "          0");
  EXPECT_EQ(all[1], "   0.200000");
  EXPECT_EQ(all.back(), "    200.000");
  // 25 points: nodes 1, 9, ..., 201; node 205 (the right end) is not listed.
  const std::vector<std::string> some = listedX(0);
  ASSERT_EQ(some.size(), 26u);
  EXPECT_EQ(some, nodeX(8));
  EXPECT_NE(some.back(), "    200.000");
  // 50 points: nodes 1, 5, ..., 205, the end included.
  EXPECT_EQ(listedX(1).size(), 52u);
  EXPECT_EQ(listedX(1).back(), "    200.000");
}

// ---- Adding lines: splitting and paging ----

TEST(AddReportLine, SplitsOnlyLongLinesWithACommentAfterPosition10) {
  const std::string data50(50, 'd');  // no "/" in it
  ReportBuilder builder;
  builder.AddReportLine("  X = 1; " + data50 + " /note");      // 65 characters, "/" at 60
  builder.AddReportLine(std::string(60 - 6, 'a') + " /note");  // exactly 60: kept
  builder.AddReportLine(std::string(10, 'b') + "/" + data50);  // "/" at 10: kept
  builder.AddReportLine(std::string(11, 'c') + "/" + data50);  // "/" at 11: split
  builder.AddReportLine(std::string(61, 'e'));                 // no comment: kept
  builder.AddReportLine("  " + data50 + " /a/b " + data50);    // the first "/" counts
  builder.AddReportLine("  " + data50 + " /verbatim", true);
  ExpectLines(Texts(builder), {
                                  "  X = 1; " + data50,
                                  "          /note",
                                  std::string(54, 'a') + " /note",
                                  std::string(10, 'b') + "/" + data50,
                                  // The character before "/" goes even when it is no blank.
                                  std::string(10, 'c'),
                                  "          /" + data50,
                                  std::string(61, 'e'),
                                  "  " + data50,
                                  "          /a/b " + data50,
                                  "  " + data50 + " /verbatim",
                              });
}

TEST(AddReportLine, PagesHoldOneLineFewerThanLinesPerPage) {
  ReportBuilder builder;
  builder.SetLinesPerPage(4);
  builder.NewPage();
  for (int i = 0; i < 7; ++i) builder.AddReportLine("line");
  std::vector<int> pages;
  for (const CReportLine& line : builder.Lines()) pages.push_back(line.page);
  EXPECT_EQ(pages, (std::vector<int>{1, 1, 1, 2, 2, 2, 3}));
  EXPECT_EQ(builder.CurrentPage(), 3);

  builder.NewPage();  // a new report: page 4, empty
  builder.AddReportLine("first");
  EXPECT_EQ(builder.Lines().back().page, 4);
  builder.Clear();
  EXPECT_TRUE(builder.Lines().empty());
  EXPECT_EQ(builder.CurrentPage(), 0);
}

TEST(AddReportLine, ASplitLineCanPutOneLineMoreOnAPage) {
  // The page test is made once per call, before the split.
  const std::string commented = "  " + std::string(60, 'x') + " /comment";
  ReportBuilder builder;
  builder.SetLinesPerPage(4);
  builder.NewPage();
  builder.AddReportLine("a");
  builder.AddReportLine("b");
  builder.AddReportLine(commented);  // two lines, both on page 1: four lines there
  builder.AddReportLine("c");
  builder.AddReportLine("d");
  builder.AddReportLine(commented);  // starts at the third line of page 2
  builder.AddReportLine("e");
  std::vector<int> pages;
  for (const CReportLine& line : builder.Lines()) pages.push_back(line.page);
  EXPECT_EQ(pages, (std::vector<int>{1, 1, 1, 1, 2, 2, 2, 2, 3}));
}

TEST(ReportMarkers, RuleLinesAndTheDiagramsEntry) {
  for (const std::string& rule : {kRule33, kRule51, kRule56, kRule71}) {
    EXPECT_TRUE(IsRuleLine(rule)) << rule;
    EXPECT_FALSE(IsDiagramsLine(rule)) << rule;
  }
  EXPECT_FALSE(IsRuleLine(kRule33.substr(1)));  // the marker must start at the second character
  EXPECT_FALSE(IsRuleLine("  -!@#$%^&*()---------------------"));
  EXPECT_FALSE(IsRuleLine(""));

  ReportBuilder builder;
  builder.SetLinesPerPage(2);
  builder.NewPage();
  builder.AddDiagramsMarker();
  builder.AddDiagramsMarker();
  ASSERT_EQ(builder.Lines().size(), 2u);
  EXPECT_EQ(builder.Lines()[0].text, "-!@#$%^&*()PRINT DIAGRAMS*&^%$#@!---");
  EXPECT_TRUE(IsDiagramsLine(builder.Lines()[0].text));
  EXPECT_FALSE(IsRuleLine(builder.Lines()[0].text));
  EXPECT_FALSE(IsDiagramsLine(" -!@#$%^&*()PRINT DIAGRAMS*&^%$#@!---"));
  EXPECT_EQ(builder.Lines()[1].page, 2);  // the marker is paged like any line
}

}  // namespace
}  // namespace spanlab
