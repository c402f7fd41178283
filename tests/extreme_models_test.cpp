// Models at the edges of what the program can hold: values near the limits of a double, loads
// of no length, members without stiffness, thousands of hinges and a million items at one
// place. Each must end in a clear message or a correct result — never a crash, a hang, an
// unbounded amount of memory, or "nan"/"inf" in anything the user reads.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/results_export.h"
#include "platform/recording_device_context.h"
#include "report/report_text.h"
#include "run/document.h"
#include "run/run_driver.h"
#include "tests/support/device_range.h"
#include "tests/support/non_numbers.h"
#include "view/print_job.h"
#include "view/readout.h"
#include "view/results_paint.h"

namespace spanlab {
namespace {

using testing::ShowsNonNumber;

// Positions are held within +-2^30 device units before they are drawn; a symbol drawn there
// reaches a few units beyond. Far from the limits of an int, so no arithmetic on them overflows.
constexpr int kDeviceLimit = (1 << 30) + (1 << 20);

int OutsideDeviceRange(const RecordingDeviceContext& dc) {
  return testing::StrokesAndEllipsesOutside(dc, kDeviceLimit) +
         testing::TextsAndShapesOutside(dc, kDeviceLimit);
}

std::string RecordedTexts(const RecordingDeviceContext& dc) {
  std::string all;
  for (const RecordedText& t : dc.texts) all += t.text + "\n";
  return all;
}

// Everything a user can read or see of a model after its run.
struct Seen {
  RunLog run;
  std::string text;  // run log, reports, tab-delimited details, CSV, read-outs, drawn texts
  int outsideDevice = 0;
};

Seen SeeEverything(CSPLX_30Doc& doc) {
  Seen seen;
  seen.run = RunModel(doc);
  seen.text = seen.run.text;

  PrintOptions options;
  options.m_bPrintDetails = 1;
  options.m_nDataPoints = 3;
  seen.text += JoinedReportText(doc, options);
  seen.text += TabDelimitedDetailsText(doc, 3);
  std::ostringstream csv;
  WriteResultsCsv(csv, doc.GetAnalysis());
  seen.text += csv.str();

  ResultsViewState state;
  state.m_cxClient = 900;
  state.m_cyClient = 700;
  state.toggles = {true, true, true, true, true, true};
  RecordingDeviceContext view;
  PaintResultsView(view, doc, state);
  for (int x = 0; x <= state.m_cxClient; x += 50) seen.text += ReadoutText(doc, state, x) + "\n";
  seen.text += RecordedTexts(view);
  seen.outsideDevice += OutsideDeviceRange(view);

  const PrinterPage page{2100, 2970, 60, 40, 2010, 2860, 300, 300, false};
  RecordingDeviceContext printer(/*printing=*/true);
  ReportPrintJob job;
  const int pages = job.Begin(printer, page, options, doc, nullptr);
  for (int p = 1; p <= pages; ++p) job.PrintPage(printer, p, {});
  seen.text += RecordedTexts(printer);
  seen.outsideDevice += OutsideDeviceRange(printer);
  return seen;
}

bool ResultsAreFinite(const CBeamAnalysis& a) {
  for (int32_t i = 1; i <= a.m_nNodes; ++i) {
    const BeamNode& n = a.m_nodes[i];
    for (double v : {n.x, n.deflection, n.rotation, n.reactionVert, n.reactionRot}) {
      if (!std::isfinite(v)) return false;
    }
  }
  for (int32_t e = 1; e <= a.m_nElements; ++e) {
    const BeamElement& el = a.m_elements[e];
    for (double v : {el.shearStart, el.shearEnd, el.momentStart, el.momentEnd}) {
      if (!std::isfinite(v)) return false;
    }
  }
  return true;
}

std::vector<std::string> Lines(const std::string& units, std::vector<std::string> body) {
  std::vector<std::string> lines = {"File Format:3.0", "Units:" + units + ";"};
  lines.insert(lines.end(), body.begin(), body.end());
  return lines;
}

// A stable beam with every kind of line: fixed at 0, a pin at 20, a hinge at 25 and a spring
// at the end; the second property repeats E (the zero rule).
std::vector<std::string> EveryKindOfLine(const std::string& units) {
  return Lines(units, {"Member Property: X = 0; E = 29000; I = 100;",
                       "Member Property: X = 10; E = 0; I = 200;", "Moment Release: X = 25;",
                       "Support: X = 0; Disp = 0; Rotation = 0;", "Support: X = 20; Disp = 0.1;",
                       "Spring: X = 30; VSpring = 50; RSpring = 1000;",
                       "Point Load: X = 15; PLoad = -10; Moment = 5;",
                       "Uniform Load: XStart = 0; XEnd = 30; UStart = -1; UEnd = -2;"});
}

// Replaces the value of `key` in `line` ("Key = value;").
std::string WithValue(std::string line, const std::string& key, const std::string& value) {
  const size_t start = line.find(key + " = ") + key.size() + 3;
  const size_t end = line.find(';', start);
  return line.replace(start, end - start, value);
}

// Every value of every line, in each unit system, set in turn to numbers at the edges of a
// double. Whatever the outcome, the user is told in words and reads no "nan" or "inf".
TEST(ExtremeModelsTest, EveryValueAtTheLimitsOfADouble) {
  const std::vector<std::string> values = {
      "1.7976931348623157e308", "-1.7976931348623157e308", "1e308",  "1.5e307", "1e200",
      "1e154",                  "2.2250738585072014e-308", "1e-308", "5e-324",  "-5e-324",
      "1e309" /* refused by the format check */};
  const std::vector<std::string> keys = {"X", "E", "I", "Disp", "Rotation", "VSpring", "RSpring",
                                         "PLoad", "Moment", "XStart", "XEnd", "UStart", "UEnd"};
  int analysed = 0, refused = 0, unstable = 0;
  for (const std::string units : {"English", "Metric", "Consistent"}) {
    const std::vector<std::string> base = EveryKindOfLine(units);
    for (size_t line = 2; line < base.size(); ++line) {
      for (const std::string& key : keys) {
        if (base[line].find(" " + key + " = ") == std::string::npos) continue;
        for (const std::string& value : values) {
          SCOPED_TRACE(units + " | " + WithValue(base[line], key, value));
          CSPLX_30Doc doc;
          std::vector<std::string> lines = base;
          lines[line] = WithValue(base[line], key, value);
          doc.SetLines(nullptr, std::move(lines));
          const Seen seen = SeeEverything(doc);
          EXPECT_FALSE(ShowsNonNumber(seen.text));
          EXPECT_EQ(seen.outsideDevice, 0);
          const CBeamAnalysis& a = doc.GetAnalysis();
          if (!seen.run.analysed) {
            ++refused;
            EXPECT_GT(seen.run.errors, 0);
            EXPECT_NE(seen.run.text.find("Error "), std::string::npos);
          } else if (a.m_bError) {
            ++unstable;
            EXPECT_NE(seen.run.text.find("Error A"), std::string::npos);
          } else {
            ++analysed;
            EXPECT_TRUE(ResultsAreFinite(a));
            EXPECT_GT(a.m_dLength, 0);
          }
        }
      }
    }
  }
  // The sweep reaches all three outcomes.
  EXPECT_GT(analysed, 0);
  EXPECT_GT(refused, 0);
  EXPECT_GT(unstable, 0);
}

RunLog RunLines(CSPLX_30Doc& doc, std::vector<std::string> lines) {
  doc.SetLines(nullptr, std::move(lines));
  return RunModel(doc);
}

// Every value is at most 1.7976931348623157e308 when it is typed, but feet become inches and
// MPa become kN/m^2: a value that overflows on the way is refused by the data check, once per
// line, instead of being analysed into infinities.
TEST(ExtremeModelsTest, AValueThatOverflowsInConversionIsRefusedByTheDataCheck) {
  const std::string pin = "Support: X = 0; Disp = 0;";
  const std::string property = "Member Property: X = 0; E = 29000; I = 100;";
  struct Case {
    std::vector<std::string> lines;
    std::string message;
    int64_t errors = 1;
  } cases[] = {
      {Lines("English", {property, pin, "Support: X = 1.5e307; Disp = 0;"}),
       "Error D16 - A support value is too large. Converted to the units the analysis uses it "
       "exceeds 1.7e308."},
      {Lines("English", {property, pin, "Support: X = 10; Disp = 0;",
                         "Point Load: X = 5; PLoad = -1; Moment = 1e308;"}),
       "Error D16 - A point load value is too large."},
      {Lines("English", {property, pin, "Support: X = 10; Disp = 0;",
                         "Uniform Load: XStart = 0; XEnd = 1e308; UStart = -1; UEnd = -1;"}),
       "Error D16 - A uniform load value is too large."},
      // An infinite position is also the beam's end: D10 as well.
      {Lines("English", {property, pin, "Moment Release: X = 1e308;", "Spring: X = 10; VSpring = 5;"}),
       "Error D16 - A moment release value is too large.", 2},
      {Lines("Metric", {"Member Property: X = 0; E = 1e306; I = 100;", pin,
                        "Support: X = 10; Disp = 0;"}),
       "Error D16 - A member property value is too large."},
      {Lines("Metric", {property, pin, "Spring: X = 10; VSpring = 1e306;"}),
       "Error D16 - A spring value is too large."},
      // E x I: at its own line, and where a zero repeats the E of the line before.
      {Lines("Consistent", {"Member Property: X = 0; E = 1e200; I = 1e200;", pin,
                            "Support: X = 10; Disp = 0;"}),
       "Error D16 - A member property's E x I is too large. Converted to the units the "
       "analysis uses it exceeds 1.7e308."},
      {Lines("Consistent", {"Member Property: X = 0; E = 1e300; I = 1;",
                            "Member Property: X = 5; E = 0; I = 1e100;", pin,
                            "Support: X = 10; Disp = 0;"}),
       "Error D16 - A member property's E x I is too large."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    CSPLX_30Doc doc;
    const RunLog run = RunLines(doc, c.lines);
    EXPECT_FALSE(run.analysed);
    EXPECT_EQ(run.errors, c.errors);
    EXPECT_NE(run.text.find(c.message), std::string::npos) << run.text;
    EXPECT_NE(run.text.find(CountsLine(c.errors, 0)), std::string::npos);
  }

  // Just inside the range the model is analysed: a beam 1.4e307 ft long (1.68e308 inches) is
  // simply supported, so no mechanism, but its elements' stiffness EI / l^3 is below the
  // smallest double. The analysis says so, and there are no results.
  CSPLX_30Doc doc;
  const RunLog run =
      RunLines(doc, Lines("English", {property, pin, "Support: X = 1.4e307; Disp = 0;"}));
  EXPECT_TRUE(run.analysed);
  EXPECT_NE(run.text.find(CBeamAnalysis::kMessageA4), std::string::npos) << run.text;
  EXPECT_EQ(run.text.find("Error A3"), std::string::npos) << run.text;
  EXPECT_EQ(doc.GetAnalysis().m_dLength, 0);
}

// The element-by-element results of a model, as the CSV export writes them.
std::string ResultsCsv(const CSPLX_30Doc& doc) {
  std::ostringstream out;
  WriteResultsCsv(out, doc.GetAnalysis());
  return out.str();
}

// A uniform load that starts where it ends carries nothing, however large its intensity: the
// results are those of the same beam with a node at that place and no load.
TEST(ExtremeModelsTest, AUniformLoadOfNoLengthCarriesNothing) {
  const std::vector<std::string> beam = {"Member Property: X = 0; E = 29000; I = 100;",
                                         "Support: X = 0; Disp = 0;", "Support: X = 20; Disp = 0;",
                                         "Point Load: X = 8; PLoad = -3;"};
  for (const std::string at : {"0", "7.3", "20"}) {
    SCOPED_TRACE(at);
    std::vector<std::string> withLoad = beam, withNode = beam;
    withLoad.push_back("Uniform Load: XStart = " + at + "; XEnd = " + at +
                       "; UStart = -1e308; UEnd = 1e308;");
    withNode.push_back("Point Load: X = " + at + "; PLoad = 0;");
    CSPLX_30Doc loaded, plain;
    const RunLog run = RunLines(loaded, Lines("English", withLoad));
    RunLines(plain, Lines("English", withNode));
    ASSERT_TRUE(run.analysed);
    EXPECT_EQ(loaded.GetAnalysis().m_bError, 0) << run.text;
    EXPECT_EQ(ResultsCsv(loaded), ResultsCsv(plain));
    EXPECT_EQ(loaded.GetAnalysis().m_dLoadVert, plain.GetAnalysis().m_dLoadVert);
    const Seen seen = SeeEverything(loaded);
    EXPECT_FALSE(ShowsNonNumber(seen.text));
    EXPECT_EQ(seen.outsideDevice, 0);
  }
}

// A member without stiffness after the zero rule (E or I of 0 with nothing before it to repeat)
// cannot carry anything: the analysis says the beam is unstable, and nothing reads "nan".
TEST(ExtremeModelsTest, AMemberWithoutStiffnessIsReportedUnstable) {
  for (const std::string property :
       {"Member Property: X = 0; E = 0; I = 100;", "Member Property: X = 0; E = 29000; I = 0;"}) {
    SCOPED_TRACE(property);
    CSPLX_30Doc doc;
    doc.SetLines(nullptr, Lines("English", {property, "Support: X = 0; Disp = 0;",
                                    "Support: X = 20; Disp = 0;", "Point Load: X = 8; PLoad = -3;"}));
    const Seen seen = SeeEverything(doc);
    ASSERT_TRUE(seen.run.analysed);
    EXPECT_EQ(doc.GetAnalysis().m_dMaxE * doc.GetAnalysis().m_dMaxI, 0);
    EXPECT_NE(seen.run.text.find("Error A3 - The stiffness at a node is extremely small."),
              std::string::npos);
    EXPECT_FALSE(ShowsNonNumber(seen.text));
    EXPECT_EQ(seen.outsideDevice, 0);
  }
  // Only the part to the left of the first stiff property: still unstable, still a message.
  CSPLX_30Doc doc;
  const RunLog run = RunLines(doc, Lines("Consistent", {"Member Property: X = 0; E = 0; I = 0;",
                                                   "Member Property: X = 10; E = 1; I = 1;",
                                                   "Support: X = 0; Disp = 0; Rotation = 0;",
                                                   "Support: X = 20; Disp = 0;"}));
  EXPECT_NE(run.text.find("Error A3"), std::string::npos);
}

// A chain of simply supported pieces joined by hinges (a fixed end at 0, a pin at every whole
// number, a hinge at every half): statically determinate however many hinges there are. The
// moment vanishes at every hinge and the reactions balance the load.
TEST(ExtremeModelsTest, ThousandsOfHingesInADeterminateChain) {
  constexpr int kSpans = 2000;
  std::vector<std::string> body = {"Member Property: X = 0; E = 29000; I = 100;",
                                   "Support: X = 0; Disp = 0; Rotation = 0;",
                                   "Uniform Load: XStart = 0; XEnd = 2000; UStart = -1; UEnd = -1;"};
  for (int i = 1; i <= kSpans; ++i) {
    body.push_back("Support: X = " + std::to_string(i) + "; Disp = 0;");
    body.push_back("Moment Release: X = " + std::to_string(i - 1) + ".5;");
  }
  CSPLX_30Doc doc;
  const RunLog run = RunLines(doc, Lines("Consistent", body));
  ASSERT_TRUE(run.analysed);
  const CBeamAnalysis& a = doc.GetAnalysis();
  EXPECT_EQ(a.m_bError, 0) << run.text;
  EXPECT_EQ(a.m_nNodes, 2 * kSpans + 1);

  double reactions = 0;
  for (int32_t i = 1; i <= a.m_nNodes; ++i) reactions += a.m_nodes[i].reactionVert;
  EXPECT_NEAR(reactions, 2000.0, 1e-6);
  int hinges = 0;
  for (int32_t e = 1; e <= a.m_nElements; ++e) {
    if (!a.m_elements[e].releaseEnd) continue;
    ++hinges;
    // Each piece of length 1 between hinges carries 0.125 w l^2 at most.
    EXPECT_NEAR(a.m_elements[e].momentEnd, 0.0, 1e-9) << "hinge at " << a.m_elements[e].xEnd;
  }
  EXPECT_EQ(hinges, kSpans);
  // Working from the free end, each piece passes a hinge force of w l / 4 = 0.25 on, up and
  // down in turn, so the moment over the pins is 0 and -w (0.5)^2 / 2 - 0.25 x 0.5 in turn.
  for (int32_t e = 1; e <= a.m_nElements; ++e) {
    const BeamElement& el = a.m_elements[e];
    if (el.releaseEnd || el.xEnd == kSpans) continue;
    const int pin = static_cast<int>(el.xEnd);
    EXPECT_NEAR(std::fabs(el.momentEnd), (kSpans - pin) % 2 ? 0.25 : 0.0, 1e-9) << "pin at " << pin;
  }
}

// Thousands of hinges in one span make a mechanism: the analysis says so and stops there.
TEST(ExtremeModelsTest, ThousandsOfHingesInOneSpanAreUnstable) {
  std::vector<std::string> body = {"Member Property: X = 0; E = 29000; I = 100;",
                                   "Support: X = 0; Disp = 0;", "Support: X = 3001; Disp = 0;",
                                   "Point Load: X = 1500; PLoad = -1;"};
  for (int i = 1; i <= 3000; ++i) body.push_back("Moment Release: X = " + std::to_string(i) + ";");
  CSPLX_30Doc doc;
  const Seen seen = [&] {
    doc.SetLines(nullptr, Lines("Consistent", body));
    return SeeEverything(doc);
  }();
  ASSERT_TRUE(seen.run.analysed);
  EXPECT_NE(seen.run.text.find("Error A3 - The stiffness at a node is extremely small."),
            std::string::npos);
  EXPECT_FALSE(ShowsNonNumber(seen.text));
}

std::vector<std::string> Repeated(const std::string& line, int count) {
  return std::vector<std::string>(static_cast<size_t>(count), line);
}

constexpr int kMillion = 1000000;
constexpr int64_t kMillionPairs = int64_t{kMillion} * (kMillion - 1) / 2;

// A million loads at one place: every pair is a warning (counted exactly, written at most
// 10,000 times) and the beam carries their sum.
TEST(ExtremeModelsTest, AMillionPointLoadsAtOnePlaceAddUp) {
  const std::vector<std::string> beam = {"Member Property: X = 0; E = 29000; I = 100;",
                                         "Support: X = 0; Disp = 0;", "Support: X = 20; Disp = 0;"};
  std::vector<std::string> lines = Lines("English", beam);
  const std::vector<std::string> loads = Repeated("Point Load: X = 8; PLoad = -0.5;", kMillion);
  lines.insert(lines.end(), loads.begin(), loads.end());
  CSPLX_30Doc many, one;
  const RunLog run = RunLines(many, lines);
  std::vector<std::string> single = beam;
  single.push_back("Point Load: X = 8; PLoad = -500000;");
  RunLines(one, Lines("English", single));

  ASSERT_TRUE(run.analysed);
  EXPECT_EQ(run.warnings, kMillionPairs);
  EXPECT_NE(run.text.find(" 0 Error(s), 499999500000 Warning(s)"), std::string::npos);
  EXPECT_NE(run.text.find(std::to_string(kMillionPairs - 10000) + " more messages were not written."),
            std::string::npos);
  const CBeamAnalysis& a = many.GetAnalysis();
  const CBeamAnalysis& b = one.GetAnalysis();
  ASSERT_EQ(a.m_nNodes, b.m_nNodes);
  EXPECT_EQ(a.m_dLoadVert, b.m_dLoadVert);  // halves add up exactly
  for (int32_t i = 1; i <= a.m_nNodes; ++i) {
    EXPECT_NEAR(a.m_nodes[i].deflection, b.m_nodes[i].deflection,
                1e-12 * std::fabs(b.m_dMaxAbsDeflection));
  }
}

// A million supports, hinges or identical uniform loads at one place: counted, capped, and
// either refused (supports, hinges) or carried as one summed load.
TEST(ExtremeModelsTest, AMillionItemsOfOtherKindsAtOnePlace) {
  const std::string property = "Member Property: X = 0; E = 29000; I = 100;";
  {
    std::vector<std::string> lines = Lines("English", {property, "Support: X = 20; Disp = 0;"});
    const std::vector<std::string> supports = Repeated("Support: X = 0; Disp = 0;", kMillion);
    lines.insert(lines.end(), supports.begin(), supports.end());
    CSPLX_30Doc doc;
    const RunLog run = RunLines(doc, lines);
    EXPECT_FALSE(run.analysed);
    EXPECT_EQ(run.errors, kMillionPairs);
    EXPECT_NE(run.text.find("Error D6 - Two beam supports were specified at the same X = 0.000000."),
              std::string::npos);
  }
  {
    std::vector<std::string> lines =
        Lines("English", {property, "Support: X = 0; Disp = 0;", "Support: X = 20; Disp = 0;"});
    const std::vector<std::string> hinges = Repeated("Moment Release: X = 10;", kMillion);
    lines.insert(lines.end(), hinges.begin(), hinges.end());
    CSPLX_30Doc doc;
    const RunLog run = RunLines(doc, lines);
    EXPECT_FALSE(run.analysed);
    EXPECT_EQ(run.errors, kMillionPairs);
  }
  {
    const std::vector<std::string> beam = {property, "Support: X = 0; Disp = 0;",
                                           "Support: X = 20; Disp = 0;"};
    std::vector<std::string> lines = Lines("English", beam);
    const std::vector<std::string> loads =
        Repeated("Uniform Load: XStart = 2; XEnd = 12; UStart = -0.25; UEnd = -0.5;", kMillion);
    lines.insert(lines.end(), loads.begin(), loads.end());
    CSPLX_30Doc many, one;
    const RunLog run = RunLines(many, lines);
    std::vector<std::string> single = beam;
    single.push_back("Uniform Load: XStart = 2; XEnd = 12; UStart = -250000; UEnd = -500000;");
    RunLines(one, Lines("English", single));
    ASSERT_TRUE(run.analysed);
    EXPECT_EQ(run.warnings, kMillionPairs);
    const CBeamAnalysis& a = many.GetAnalysis();
    const CBeamAnalysis& b = one.GetAnalysis();
    ASSERT_EQ(a.m_nNodes, b.m_nNodes);
    EXPECT_NEAR(a.m_dLoadVert, b.m_dLoadVert, 1e-9 * std::fabs(b.m_dLoadVert));
    for (int32_t i = 1; i <= a.m_nNodes; ++i) {
      EXPECT_NEAR(a.m_nodes[i].deflection, b.m_nodes[i].deflection,
                  1e-9 * std::fabs(b.m_dMaxAbsDeflection));
    }
  }
}

}  // namespace
}  // namespace spanlab
