#include "run/run_driver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>
#include <vector>

#include "check/message_log.h"

namespace spanlab {
namespace {

// Supports at 0 and 20 ft and a load at midspan: nodes at 0, 10 and 20 ft, each half cut
// into 100 elements, so 201 nodes.
const std::vector<std::string> kSimpleSpan = {
    "File Format:3.0",
    "/Simple span with a load at midspan",
    "Units: English;",
    "Member Property: X = 0; E = 29000; I = 448;",
    "Support: X = 0; Disp = 0;",
    "Support: X = 20; Disp = 0; /right wall",
    "Point Load: X = 10; PLoad = -10;",
};

// The residuals of a balanced model round to zero, with either sign.
const std::regex kBalancedEnglish(
    R"( Equilibrium error: Vert = -?0\.000 kips; Rotation = -?0\.000 kip ft)");

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  EXPECT_EQ(start, text.size()) << "text does not end with a line end";
  return lines;
}

std::vector<std::string> WithLine(std::vector<std::string> lines, std::string line) {
  lines.push_back(std::move(line));
  return lines;
}

size_t ItemCount(const CSPLX_30Doc& doc) {
  return doc.GetProperties().size() + doc.GetReleases().size() + doc.GetSupports().size() +
         doc.GetSprings().size() + doc.GetPointLoads().size() + doc.GetUniformLoads().size();
}

TEST(CountsLineTest, ErrorsUnpaddedWarningsInThreePlaces) {
  EXPECT_EQ(CountsLine(0, 0), " 0 Error(s),   0 Warning(s)");
  EXPECT_EQ(CountsLine(12, 345), " 12 Error(s), 345 Warning(s)");
  EXPECT_EQ(CountsLine(1234, 5), " 1234 Error(s),   5 Warning(s)");
  EXPECT_EQ(CountsLine(4999950000, 1000), " 4999950000 Error(s), 1000 Warning(s)");
}

TEST(RunModelTest, NewDocumentHasNoLines) {
  CSPLX_30Doc doc;
  const RunLog run = RunModel(doc);
  EXPECT_EQ(run.text, "Error F2 - No lines in file.\r\n 1 Error(s),   0 Warning(s)\r\n");
  EXPECT_EQ(run.errors, 1);
  EXPECT_FALSE(run.analysed);
}

TEST(RunModelTest, MissingFormatLineStillChecksTheOtherLines) {
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, {"Units: English;", "Member Property: X = 0; E = 29000; I = 448;",
                 "Support: X = 0; Disp = 0", "Point Load: X = 5; PLoad = -1;"});
  const RunLog run = RunModel(doc);
  EXPECT_EQ(run.text,
            "Error F1 - File format not defined.\r\n"
            "Error F7 - Invalid Support: Support: X = 0; Disp = 0\r\n"
            "Format errors detected - data check cancelled.\r\n"
            " 2 Error(s),   0 Warning(s)\r\n");
}

TEST(RunModelTest, FirstLineMustBeTheFormatLineExactlyAndIsNotCheckedFurther) {
  for (const char* first : {"File Format:3.0 ", "File Format: 3.0", "file format:3.0", "Beam: ;"}) {
    CSPLX_30Doc doc;
    doc.SetLines(nullptr, {first, "Units: English;"});
    EXPECT_EQ(RunModel(doc).text,
              "Error F1 - File format not defined.\r\n"
              "Format errors detected - data check cancelled.\r\n"
              " 1 Error(s),   0 Warning(s)\r\n")
        << first;
  }
}

TEST(RunModelTest, FormatErrorsInTwoLinesCancelTheDataCheck) {
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, {"File Format:3.0",
                 "Units: English;",
                 "Support: X = 0; Disp = 0;",
                 "Moment Release: X = 5 ft;",
                 "Support: X = -3; Disp = 0;",  // D5 never comes
                 "Point Load: X = 5; Load = -1;"});
  const RunLog run = RunModel(doc);
  EXPECT_EQ(run.text,
            "Error F11 - Invalid X value: Moment Release: X = 5 ft;\r\n"
            "Error F9 - Invalid Point Load: Point Load: X = 5; Load = -1;\r\n"
            "Format errors detected - data check cancelled.\r\n"
            " 2 Error(s),   0 Warning(s)\r\n");
  EXPECT_EQ(run.errors, 2);
  EXPECT_EQ(run.warnings, 0);
}

TEST(RunModelTest, DataErrorsStopTheRunBeforeTheAnalysis) {
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, {"File Format:3.0", "Units: English;"});
  const RunLog run = RunModel(doc);
  EXPECT_EQ(run.text,
            "Error D1- The beam has zero length. It can not be displayed.\r\n"
            "Error D2 - Beam property must be specified at X = 0.\r\n"
            "Error D9 - At least 1 Spring or Support must be defined.\r\n"
            " 3 Error(s),   0 Warning(s)\r\n");
  EXPECT_FALSE(run.analysed);
}

TEST(RunModelTest, CleanRunLog) {
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, kSimpleSpan);
  const RunLog run = RunModel(doc);
  const std::vector<std::string> lines = SplitLines(run.text);
  ASSERT_EQ(lines.size(), 5u) << run.text;
  EXPECT_EQ(lines[0], " 0 Error(s),   0 Warning(s)");
  EXPECT_EQ(lines[1], "Running Analysis");
  EXPECT_EQ(lines[2], " 201 Nodes Defined, 402 Degrees of freedom");
  EXPECT_TRUE(std::regex_match(lines[3], kBalancedEnglish)) << lines[3];
  EXPECT_EQ(lines[4], "Analysis Complete");
  EXPECT_EQ(run.errors, 0);
  EXPECT_TRUE(run.analysed);
  EXPECT_GT(doc.GetAnalysis().m_dLength, 0);
}

TEST(RunModelTest, WarningsDoNotStopTheAnalysis) {
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, WithLine(kSimpleSpan, "Point Load: X = 10; Moment = 5;"));
  const RunLog run = RunModel(doc);
  const std::vector<std::string> lines = SplitLines(run.text);
  ASSERT_EQ(lines.size(), 6u) << run.text;
  EXPECT_EQ(lines[0], "Warning W1 - Two point loads were specified at the same X = 10.000000.");
  EXPECT_EQ(lines[1], " 0 Error(s),   1 Warning(s)");
  EXPECT_EQ(lines[2], "Running Analysis");
  EXPECT_EQ(lines[3], " 201 Nodes Defined, 402 Degrees of freedom");
  EXPECT_EQ(lines[5], "Analysis Complete");
  EXPECT_EQ(run.warnings, 1);
  EXPECT_TRUE(run.analysed);
}

TEST(RunModelTest, AnalysisErrorsAreFollowedByAnalysisComplete) {
  // One pinned support and a load beyond it: a mechanism.
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, {"File Format:3.0", "Units: English;",
                 "Member Property: X = 0; E = 29000; I = 448;", "Support: X = 10; Disp = 0;",
                 "Point Load: X = 20; PLoad = -10;"});
  const RunLog run = RunModel(doc);
  const std::vector<std::string> lines = SplitLines(run.text);
  ASSERT_GE(lines.size(), 4u) << run.text;
  EXPECT_EQ(lines[0], " 0 Error(s),   0 Warning(s)");
  EXPECT_EQ(lines[1], "Running Analysis");
  EXPECT_EQ(lines.back(), "Analysis Complete");
  EXPECT_NE(run.text.find("\r\nError A"), std::string::npos) << run.text;
  EXPECT_EQ(run.errors, 0);  // analysis errors are the engine's, not the counts'
  EXPECT_TRUE(run.analysed);
  EXPECT_EQ(doc.GetAnalysis().m_bError, 1);
}

TEST(RunModelTest, ErrorsResetTheResultsOfTheRunBefore) {
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, kSimpleSpan);
  ASSERT_TRUE(RunModel(doc).analysed);
  ASSERT_GT(doc.GetAnalysis().m_dLength, 0);
  ASSERT_FALSE(doc.GetAnalysis().m_messages.empty());

  // A data error: the items are built, the results are gone.
  doc.SetLines(nullptr, WithLine(doc.GetLines(), "Support: X = 20; Rotation = 0;"));
  EXPECT_EQ(RunModel(doc).errors, 1);
  EXPECT_EQ(doc.GetAnalysis().m_dLength, 0);
  EXPECT_TRUE(doc.GetAnalysis().m_messages.empty());
  EXPECT_EQ(doc.GetSupports().size(), 3u);

  // A format error: no items either.
  doc.SetLines(nullptr, kSimpleSpan);
  ASSERT_TRUE(RunModel(doc).analysed);
  doc.SetLines(nullptr, WithLine(doc.GetLines(), "Spring: X = 5;"));
  EXPECT_EQ(RunModel(doc).errors, 1);
  EXPECT_EQ(doc.GetAnalysis().m_dLength, 0);
  EXPECT_TRUE(doc.GetAnalysis().m_messages.empty());
  EXPECT_EQ(ItemCount(doc), 0u);
  EXPECT_EQ(doc.GetBeamLength(), 0);

  // No lines at all.
  doc.SetLines(nullptr, kSimpleSpan);
  ASSERT_TRUE(RunModel(doc).analysed);
  doc.SetLines(nullptr, {});
  RunModel(doc);
  EXPECT_EQ(doc.GetAnalysis().m_dLength, 0);
  EXPECT_EQ(ItemCount(doc), 0u);
}

TEST(RunModelTest, ShowsTheTextBeforeAndAfterTheAnalysis) {
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, kSimpleSpan);
  std::vector<std::string> shown;
  const RunLog run = RunModel(doc, [&shown](const std::string& text) { shown.push_back(text); });
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0], " 0 Error(s),   0 Warning(s)\r\nRunning Analysis\r\n");
  EXPECT_EQ(shown[1], run.text);

  shown.clear();
  doc.SetLines(nullptr, {"File Format:3.0", "Bogus;"});
  const RunLog failed = RunModel(doc, [&shown](const std::string& text) { shown.push_back(text); });
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], failed.text);
}

TEST(RunModelTest, MessagesPastTheCapAreCountedBeforeTheCancellationLine) {
  CSPLX_30Doc doc;
  std::vector<std::string> lines = {"File Format:3.0"};
  lines.insert(lines.end(), MessageLog::kMaxMessages + 1, "Bogus;");
  doc.SetLines(nullptr, std::move(lines));
  const RunLog run = RunModel(doc);
  std::string expected;
  for (int64_t i = 0; i < MessageLog::kMaxMessages; ++i) {
    expected += "Error F3 - Line type not found: Bogus;\r\n";
  }
  expected +=
      "1 more messages were not written.\r\n"
      "Format errors detected - data check cancelled.\r\n"
      " 10001 Error(s),   0 Warning(s)\r\n";
  EXPECT_EQ(run.text, expected);
}

// ---- The document runs every change before any view hears of it ----

// What a view sees when it is told that the lines changed.
class SeeingView : public CView {
 public:
  struct Seen {
    long hint;
    size_t lines;
    double length;    // results length
    int32_t nodes;
    double minDeflection;
    std::string log;
  };
  void OnUpdate(CView*, long hint) override {
    const auto& doc = *static_cast<const CSPLX_30Doc*>(GetDocument());
    const CBeamAnalysis& a = doc.GetAnalysis();
    seen.push_back({hint, doc.GetLines().size(), a.m_dLength, a.m_nNodes, a.m_dMinDeflection,
                    doc.GetLastRun().text});
  }
  std::vector<Seen> seen;
};

// A document with a runner and two views; `sender` sends changes.
struct WatchedDocument {
  WatchedDocument() {
    doc.SetRunner(&runner);
    doc.AddView(&view);
    doc.AddView(&sender);
  }
  ~WatchedDocument() {
    doc.RemoveView(&view);
    doc.RemoveView(&sender);
  }
  ModelRunner runner;
  SeeingView view, sender;
  CSPLX_30Doc doc;
};

TEST(RunOwnerTest, ViewsAreToldOnceWhenTheRunHasEnded) {
  WatchedDocument watched;
  CSPLX_30Doc& doc = watched.doc;
  SeeingView &view = watched.view, &sender = watched.sender;

  doc.SetLines(&sender, kSimpleSpan);
  ASSERT_EQ(view.seen.size(), 1u);
  EXPECT_TRUE(sender.seen.empty());
  const SeeingView::Seen first = view.seen[0];
  EXPECT_EQ(first.hint, kHintLines);
  EXPECT_EQ(first.lines, kSimpleSpan.size());
  EXPECT_EQ(first.length, 240);  // 20 ft in inches
  EXPECT_EQ(first.nodes, 201);
  // P L^3 / 48 EI with P = 10 kips, L = 240 in, EI = 29000 x 448 kip in^2.
  const double english = -10.0 * 240 * 240 * 240 / (48 * 29000.0 * 448);
  EXPECT_NEAR(first.minDeflection, english, 1e-7 * std::abs(english));
  EXPECT_EQ(first.log, doc.GetLastRun().text);
  EXPECT_NE(first.log.find("Analysis Complete\r\n"), std::string::npos);

  // The same lines in metres: the view sees the Metric results (deflections in mm) at once.
  std::vector<std::string> metric = kSimpleSpan;
  metric[2] = "Units: Metric;";
  doc.SetLines(nullptr, metric);
  ASSERT_EQ(view.seen.size(), 2u);
  EXPECT_EQ(view.seen[1].length, 20);
  const double metricMm = 1000 * -10.0 * 8000 / (48 * 29000e3 * 448e-8);
  EXPECT_NEAR(view.seen[1].minDeflection, metricMm, 1e-7 * std::abs(metricMm));

  // A model that fails its checks: the view never sees the results of the one before.
  doc.SetLines(nullptr, {"File Format:3.0", "Bogus;"});
  ASSERT_EQ(view.seen.size(), 3u);
  EXPECT_EQ(view.seen[2].length, 0);
  EXPECT_EQ(view.seen[2].nodes, 0);
  EXPECT_EQ(view.seen[2].minDeflection, 0);
  EXPECT_EQ(doc.GetLastRun().errors, 1);

  // New and a load take the same road.
  doc.SetLines(nullptr, kSimpleSpan);
  doc.OnNewDocument();
  ASSERT_EQ(view.seen.size(), 5u);
  EXPECT_EQ(view.seen[4].lines, 0u);
  EXPECT_EQ(view.seen[4].length, 0);
  EXPECT_EQ(view.seen[4].log, "Error F2 - No lines in file.\r\n 1 Error(s),   0 Warning(s)\r\n");
}

// Undo, redo and the tree's edits change the lines where they are: the run and the views
// follow as after SetLines; a refused edit changes nothing and tells no one.
TEST(RunOwnerTest, LinesEditedInPlaceRunAndTellTheViewsOnlyWhenTheEditIsMade) {
  WatchedDocument watched;
  CSPLX_30Doc& doc = watched.doc;
  SeeingView &view = watched.view, &sender = watched.sender;
  doc.SetLines(nullptr, kSimpleSpan);
  doc.SetModifiedFlag(false);
  const size_t seen = view.seen.size(), senderSeen = sender.seen.size();

  const std::vector<std::string>* where = &doc.GetLines();
  EXPECT_FALSE(doc.EditLines(&sender, [](std::vector<std::string>& lines) {
    lines.push_back("Point Load: X = 5; PLoad = -1;");
    lines.pop_back();  // put back as it was, then refused
    return false;
  }));
  EXPECT_EQ(view.seen.size(), seen);
  EXPECT_FALSE(doc.IsModified());
  EXPECT_EQ(doc.GetLines(), kSimpleSpan);

  // The span twice as long: the view sees the new results, the sender is not told.
  EXPECT_TRUE(doc.EditLines(&sender, [](std::vector<std::string>& lines) {
    lines[5] = "Support: X = 40; Disp = 0;";
    return true;
  }));
  EXPECT_EQ(&doc.GetLines(), where);
  EXPECT_EQ(doc.GetLines()[5], "Support: X = 40; Disp = 0;");
  EXPECT_TRUE(doc.IsModified());
  ASSERT_EQ(view.seen.size(), seen + 1);
  EXPECT_EQ(view.seen.back().hint, kHintLines);
  EXPECT_EQ(view.seen.back().length, 480);  // 40 ft in inches
  EXPECT_EQ(view.seen.back().log, doc.GetLastRun().text);
  EXPECT_EQ(sender.seen.size(), senderSeen);
}

TEST(RunOwnerTest, WithoutARunnerAChangeLeavesNoItemsAndNoResults) {
  CSPLX_30Doc doc;
  ModelRunner runner;
  doc.SetRunner(&runner);
  doc.SetLines(nullptr, kSimpleSpan);
  ASSERT_GT(doc.GetAnalysis().m_dLength, 0);
  doc.SetRunner(nullptr);
  doc.SetLines(nullptr, kSimpleSpan);
  EXPECT_EQ(doc.GetAnalysis().m_dLength, 0);
  EXPECT_EQ(doc.GetAnalysis().m_dMinDeflection, 0);
  EXPECT_EQ(ItemCount(doc), 0u);
  EXPECT_EQ(doc.GetLastRun().text, "");
}

TEST(RunOwnerTest, UncheckedRunAnalysesLinesTheChecksWouldRefuse) {
  // "Units: English" without its ";" is a format error, but the unchecked run reads the
  // lines as they stand (the command line's results of a plain file of lines).
  std::vector<std::string> lines = kSimpleSpan;
  lines[2] = "Units: English";
  CSPLX_30Doc checked, unchecked;
  ModelRunner checks, noChecks(ModelRunner::Mode::kUnchecked);
  checked.SetRunner(&checks);
  unchecked.SetRunner(&noChecks);
  checked.SetLines(nullptr, lines);
  unchecked.SetLines(nullptr, lines);
  EXPECT_EQ(checked.GetLastRun().errors, 1);
  EXPECT_EQ(checked.GetAnalysis().m_dLength, 0);
  EXPECT_TRUE(unchecked.GetLastRun().analysed);
  EXPECT_EQ(unchecked.GetLastRun().text, "");
  EXPECT_GT(unchecked.GetAnalysis().m_dLength, 0);
  EXPECT_LT(unchecked.GetAnalysis().m_dMinDeflection, 0);  // the extremes are part of the run
}

}  // namespace
}  // namespace spanlab
