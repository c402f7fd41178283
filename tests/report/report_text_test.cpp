// The reports as text for the clipboard and report files, the report file itself, and the
// print options that choose the reports.
#include "report/report_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_access.h"
#include "platform/settings.h"
#include "report/print_options.h"
#include "run/document.h"
#include "run/run_driver.h"

namespace spanlab {
namespace {

std::unique_ptr<CSPLX_30Doc> Model(const std::vector<std::string>& lines) {
  auto doc = std::make_unique<CSPLX_30Doc>();
  doc->SetLines(nullptr, lines);
  RunModel(*doc);
  return doc;
}

// Splits at "\r\n"; the text must end with one.
std::vector<std::string> CrlfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  EXPECT_EQ(start, text.size()) << "text does not end with CRLF";
  return lines;
}

// A cantilever fixed at 0 whose tip at 200 may slide but not turn; 201 nodes.
const std::vector<std::string> kGuidedCantilever = {
    "File Format:3.0",
    "/Guided cantilever",
    "Member Property: X = 0; E = 200; I = 3;",
    "Support: X = 0; Disp = 0; Rotation = 0;",
    "Support: X = 200; Rotation = 0; /slides but cannot turn",
    "Point Load: X = 200; PLoad = -6;",
    "Uniform Load: XStart = 0; XEnd = 200; UStart = -0.03; UEnd = -0.03;",
};

// A balcony cantilever, 4 m (Metric); 201 nodes.
const std::vector<std::string> kBalcony = {
    "File Format:3.0",
    "Units:Metric;",
    "Member Property: X = 0; E = 210000; I = 1943;",
    "Support: X = 0; Disp = 0; Rotation = 0;",
    "Point Load: X = 4; PLoad = -5; Moment = 3;",
    "Uniform Load: XStart = 0; XEnd = 4; UStart = -2; UEnd = -2;",
};

// A propped cantilever (English).
const std::vector<std::string> kPropped = {
    "File Format:3.0",
    "Units:English;",
    "Member Property: X = 0; E = 29000; I = 100;",
    "Support: X = 0; Disp = 0; Rotation = 0;",
    "Support: X = 30; Disp = 0;",
    "Uniform Load: XStart = 0; XEnd = 30; UStart = -0.96; UEnd = -0.96;",
};

TEST(JoinedReportText, ModelWithoutResultsWordForWord) {
  // Fails its data check (no property at X = 0): every report is short enough to write out,
  // and the input report is complete without results.
  const auto doc =
      Model({"File Format:3.0", "/Missing its property at X = 0", "Units:Metric;",
             "Member Property: X = 1; E = 210000; I = 1943;",
             "Support: X = 0; Disp = 0; Rotation = 0;", "Point Load: X = 2; PLoad = -5;"});
  const std::string expected =
      "Spanlab Input Data\r\n"
      "\r\n"
      "  Description:\r\n"
      "  \r\n"
      "    Missing its property at X = 0\r\n"
      "  \r\n"
      "  Units: Metric\r\n"
      "  \r\n"
      "  Properties - X = m, E = MPa, I = cm^4\r\n"
      "    X = 1; E = 210000; I = 1943;\r\n"
      "  \r\n"
      "  Moment Releases - X = m\r\n"
      "  \r\n"
      "  Supports - X = m, Displacement = mm, Rotation = radians\r\n"
      "    X = 0; Disp = 0; Rotation = 0;\r\n"
      "  \r\n"
      "  Springs - X = m, VSpring = kN/mm, RSpring = kN mm/rad\r\n"
      "  \r\n"
      "  Point Loads - X = m, PLoad = kN, Moment = kN m\r\n"
      "    X = 2; PLoad = -5;\r\n"
      "  \r\n"
      "  Uniform Loads - XStart & XEnd = m, UStart & UEnd = kN/m\r\n"
      "\r\n"
      "Spanlab Analysis Summary\r\n"
      "\r\n"
      "  \r\n"
      "  Analysis Data:\r\n"
      "  \r\n"
      "  Summary report is not available.\r\n"
      "\r\n"
      "Spanlab Analysis Details\r\n"
      "\r\n"
      "  Details report is not available.\r\n"
      "\r\n";
  PrintOptions options;
  options.m_bPrintDetails = 1;
  EXPECT_EQ(JoinedReportText(*doc, options), expected);
  options.m_bPrintDiagrams = 0;  // plays no part in the text
  EXPECT_EQ(JoinedReportText(*doc, options), expected);
}

TEST(JoinedReportText, AnalysedModelHasNoMarkersAndIndentedBlocks) {
  const auto doc = Model(kGuidedCantilever);
  PrintOptions options;
  options.m_bPrintDetails = 1;
  options.m_nDataPoints = 0;
  const std::string text = JoinedReportText(*doc, options);
  EXPECT_EQ(text.find("-!@#$%^&*()"), std::string::npos);  // no rule line, no diagrams entry
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') {
      ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at " << i;
    }
    if (text[i] == '\r') {
      ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at " << i;
    }
  }

  const std::vector<std::string> lines = CrlfLines(text);
  std::vector<size_t> titles;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind("Spanlab ", 0) == 0) {
      titles.push_back(i);
      EXPECT_EQ(lines[i + 1], "") << lines[i];
      if (i > 0) {
        EXPECT_EQ(lines[i - 1], "") << "the block before " << lines[i];
      }
    } else if (!lines[i].empty()) {
      EXPECT_EQ(lines[i].substr(0, 2), "  ") << lines[i];
    }
  }
  ASSERT_EQ(titles.size(), 3u);
  EXPECT_EQ(lines[titles[0]], "Spanlab Input Data");
  EXPECT_EQ(lines[titles[1]], "Spanlab Analysis Summary");
  EXPECT_EQ(lines[titles[2]], "Spanlab Analysis Details");
  EXPECT_EQ(lines[titles[1] - 2], "    XStart = 0; XEnd = 200; UStart = -0.03; UEnd = -0.03;");
  EXPECT_EQ(lines[titles[1] + 3], "  Analysis Data:");
  EXPECT_EQ(lines[titles[1] + 14], "      200.000              -800.000");

  // Details: title, blank, head (no units row, no rule), 26 rows, blank.
  ASSERT_EQ(lines.size() - titles[2], 30u);
  EXPECT_EQ(lines[titles[2] + 2],
            "  "
            "          X          EI       Shear      Moment    Rotation        Disp");
  EXPECT_EQ(lines[titles[2] + 3],
            "  "
            "          0     600.000      12.000   -1000.000           0           0");
  EXPECT_EQ(lines[titles[2] + 28],
            "  "
            "    200.000     600.000       6.000     800.000           0  -10000.000");
  EXPECT_EQ(lines.back(), "");
}

TEST(JoinedReportText, OptionsChooseTheReports) {
  const auto doc = Model(kGuidedCantilever);
  PrintOptions options;
  options.m_bPrintInput = 0;
  const std::string summary = JoinedReportText(*doc, options);
  EXPECT_EQ(summary.rfind("Spanlab Analysis Summary\r\n\r\n  \r\n  Analysis Data:\r\n", 0), 0u);
  EXPECT_EQ(summary.find("Spanlab Input Data"), std::string::npos);
  EXPECT_EQ(summary.find("Spanlab Analysis Details"), std::string::npos);

  options.m_bPrintSummary = 0;
  options.m_bPrintDetails = 1;
  options.m_nDataPoints = 3;
  // Title, blank, head, every one of the 201 nodes, blank.
  EXPECT_EQ(CrlfLines(JoinedReportText(*doc, options)).size(), 2u + 1u + 201u + 1u);

  options.m_bPrintDetails = 0;  // only the diagrams: nothing to write
  EXPECT_EQ(JoinedReportText(*doc, options), "");
}

// Two equal spans of 10 ft under a live load only: the largest sagging moment loads one span,
// the largest hogging moment over the middle support both.
TEST(JoinedReportText, LiveLoadAddsTheEnvelopeAfterTheResults) {
  std::vector<std::string> lines = {"File Format:3.0", "Units:English;",
                                    "Member Property: X = 0; E = 29000; I = 448;",
                                    "Support: X = 0; Disp = 0;", "Support: X = 10; Disp = 0;",
                                    "Support: X = 20; Disp = 0;"};
  PrintOptions options;
  options.m_nDataPoints = 0;
  const std::string without = JoinedReportText(*Model(lines), options);
  EXPECT_EQ(without.find("Live Load"), std::string::npos);

  lines.push_back("Live Load: U = -1; LiveFactor = 1.5;");
  const auto doc = Model(lines);
  std::string text = JoinedReportText(*doc, options);
  // The input data gains the Live Load section at its end; the other reports are unchanged.
  const std::string section = "  \r\n  Live Load - U = kip/ft\r\n    U = -1; LiveFactor = 1.5;\r\n";
  const size_t summary = without.find("\r\nSpanlab Analysis Summary");
  ASSERT_NE(summary, std::string::npos);
  ASSERT_EQ(text.substr(summary, section.size()), section);
  text.erase(summary, section.size());
  EXPECT_EQ(text.substr(0, without.size()), without);
  const std::vector<std::string> envelope = CrlfLines(text.substr(without.size()));
  const std::vector<std::string> head = {
      "Spanlab Live Load Envelope",
      "",
      "  Spans:",
      "  ",
      "         Span      Start        End",
      "                    feet       feet",
      "            1          0     10.000",
      "            2     10.000     20.000",
      "  ",
      "  ",
      "  Min & Max values over all patterns, with the spans on max loading:",
      "  ",
      "   Min Shear      =     -9.375 kips    at      10.000 feet",
      "                    spans loaded: 1, 2",
      "   Max Shear      =      9.375 kips    at      10.000 feet",
      "                    spans loaded: 1, 2",
      "   Min Moment     =    -18.750 kip ft  at      10.000 feet",
      "                    spans loaded: 1, 2",
  };
  ASSERT_GE(envelope.size(), head.size());
  for (size_t i = 0; i < head.size(); ++i) EXPECT_EQ(envelope[i], head[i]) << i;
  // Sagging: one span loaded (0.0957 w L^2 with w = 1.5 kip/ft, L = 10 ft); the spans are
  // alike, so round-off picks which.
  EXPECT_EQ(envelope[head.size()].substr(0, 35), "   Max Moment     =     14.355 kip ");
  const std::string sagging = envelope[head.size() + 1];
  EXPECT_TRUE(sagging == "                    spans loaded: 1" ||
              sagging == "                    spans loaded: 2") << sagging;

  options.m_bPrintSummary = options.m_bPrintDetails = 0;  // the input report alone: no envelope
  EXPECT_EQ(JoinedReportText(*doc, options).find("Live Load Envelope"), std::string::npos);
}

TEST(TabDelimitedDetailsText, RowsHeadAndLineEnds) {
  const auto doc = Model(kBalcony);
  const std::string text = TabDelimitedDetailsText(*doc, 0);
  EXPECT_EQ(text.rfind("X\tEI\tShear\tMoment\tRotation\tDisp\r\n"
                       "m\tkN cm^2\tkN\tkN m\trad\tmm\r\n"
                       "0\t40803000\t13.000\t-39.000\t0\t0\r\n"
                       "0.160000\t40803000\t12.680\t-36.946\t0.001489\t-0.120182\r\n",
                       0),
            0u);
  const std::string end = "4.000\t40803000\t5.000\t-3.000\t0.017973\t-47.709\r\n\r\n";
  ASSERT_GE(text.size(), end.size());
  EXPECT_EQ(text.substr(text.size() - end.size()), end);
  EXPECT_EQ(text.find("-!@#$%^&*()"), std::string::npos);
  EXPECT_EQ(CrlfLines(text).size(), 2u + 26u + 1u);

  EXPECT_EQ(CrlfLines(TabDelimitedDetailsText(*Model(kPropped), 0))[1],
            "in\tkip in^2\tkips\tkip in\trad\tin");
  const auto consistent = Model(kGuidedCantilever);
  EXPECT_EQ(TabDelimitedDetailsText(*consistent, 0)
                .rfind("X\tEI\tShear\tMoment\tRotation\tDisp\r\n"
                       "0\t600.000\t12.000\t-1000.000\t0\t0\r\n",
                       0),
            0u);
}

TEST(TabDelimitedDetailsText, DataPointsChoiceSetsTheStep) {
  const auto doc = Model(kBalcony);
  // Choices 0 to 3 give steps 8, 4, 2, 1 on 201 nodes; anything else counts as step 2.
  const struct {
    int choice;
    size_t rows;
  } cases[] = {{0, 26}, {1, 51}, {2, 101}, {3, 201}, {-1, 101}, {4, 101}, {50, 101}};
  for (const auto& c : cases) {
    EXPECT_EQ(CrlfLines(TabDelimitedDetailsText(*doc, c.choice)).size(), 2 + c.rows + 1)
        << "choice " << c.choice;
  }
}

TEST(TabDelimitedDetailsText, WithoutResults) {
  CSPLX_30Doc doc;
  EXPECT_EQ(TabDelimitedDetailsText(doc, 2), "Details report is not available.\r\n\r\n");
}

TEST(DefaultReportFileName, NameWithoutFolderAndExtension) {
  EXPECT_EQ(DefaultReportFileName(""), "untitled.rpt");
  EXPECT_EQ(DefaultReportFileName("/a/b/beam1.spn"), "beam1.rpt");
  EXPECT_EQ(DefaultReportFileName("beam1.spn"), "beam1.rpt");
  EXPECT_EQ(DefaultReportFileName("/a/b/two.span.beam.spn"), "two.span.beam.rpt");
  EXPECT_EQ(DefaultReportFileName("/a.dir/model"), "model.rpt");
}

class ReportFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "report_file_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string folder_;
  DiskFileAccess disk_;
};

TEST_F(ReportFileTest, WritesTheTextExactlyAndReplacesAnOldReport) {
  const std::string path = folder_ + "/beam1.rpt";
  ASSERT_TRUE(WriteReportFile(disk_, path, "an older and longer report\r\n\r\n").ok());
  const std::string text = "Spanlab Input Data\r\n\r\n  Description:\r\n\r\n";
  ASSERT_TRUE(WriteReportFile(disk_, path, text).ok());
  std::string bytes;
  ASSERT_TRUE(disk_.ReadFile(path, bytes, FileAccess::kMaxFileBytes).ok());
  EXPECT_EQ(bytes, text);  // no terminating zero, nothing left of the old file
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(ReportFileTest, MissingFolderFailsWithTheReportMessage) {
  const Status status = WriteReportFile(disk_, folder_ + "/missing/beam1.rpt", "text\r\n");
  EXPECT_FALSE(status.ok());
  EXPECT_EQ(status.message(), "Error - File could not be opened");
  EXPECT_FALSE(std::filesystem::exists(folder_ + "/missing"));
}

TEST(PrintOptions, DefaultsAndTheAllOffRule) {
  const PrintOptions defaults;
  EXPECT_EQ(defaults.m_bPrintInput, 1);
  EXPECT_EQ(defaults.m_bPrintDiagrams, 1);
  EXPECT_EQ(defaults.m_bPrintSummary, 1);
  EXPECT_EQ(defaults.m_bPrintDetails, 0);
  EXPECT_EQ(defaults.m_nDataPoints, 2);

  PrintOptions off;
  off.m_bPrintInput = off.m_bPrintDiagrams = off.m_bPrintSummary = 0;
  off.m_nDataPoints = 0;
  EXPECT_TRUE(off.AllReportsOff());
  EXPECT_TRUE(off.RestoreDefaultsIfAllOff());  // the data points go back to 100 as well
  EXPECT_EQ(off.m_bPrintInput, 1);
  EXPECT_EQ(off.m_bPrintDiagrams, 1);
  EXPECT_EQ(off.m_bPrintSummary, 1);
  EXPECT_EQ(off.m_bPrintDetails, 0);
  EXPECT_EQ(off.m_nDataPoints, 2);

  // Any one report on keeps the set as it is, the diagrams page included.
  for (int32_t PrintOptions::*member :
       {&PrintOptions::m_bPrintInput, &PrintOptions::m_bPrintDiagrams,
        &PrintOptions::m_bPrintSummary, &PrintOptions::m_bPrintDetails}) {
    PrintOptions one;
    one.m_bPrintInput = one.m_bPrintDiagrams = one.m_bPrintSummary = one.m_bPrintDetails = 0;
    one.*member = 1;
    one.m_nDataPoints = 3;
    EXPECT_FALSE(one.RestoreDefaultsIfAllOff());
    EXPECT_EQ(one.*member, 1);
    EXPECT_EQ(one.m_nDataPoints, 3);
  }
}

TEST(PrintOptions, LoadingWithAllReportsOffGivesTheDefaults) {
  MemorySettings settings;
  for (const char* key : {"Input", "Diagrams", "Summary", "Details"})
    settings.SetInt("Print", key, 0);
  settings.SetInt("Print", "Points", 0);
  const PrintOptions loaded = LoadPrintOptions(settings);
  EXPECT_EQ(loaded.m_bPrintInput, 1);
  EXPECT_EQ(loaded.m_bPrintDiagrams, 1);
  EXPECT_EQ(loaded.m_bPrintSummary, 1);
  EXPECT_EQ(loaded.m_bPrintDetails, 0);
  EXPECT_EQ(loaded.m_nDataPoints, 2);

  settings.SetInt("Print", "Details", 1);
  EXPECT_EQ(LoadPrintOptions(settings).m_nDataPoints, 0);
  EXPECT_EQ(LoadPrintOptions(settings).m_bPrintInput, 0);
}

TEST(PrintOptions, DataPointsChoiceOfAPointCount) {
  EXPECT_EQ(DataPointsChoice(25), 0);
  EXPECT_EQ(DataPointsChoice(50), 1);
  EXPECT_EQ(DataPointsChoice(100), 2);
  EXPECT_EQ(DataPointsChoice(200), 3);
  EXPECT_EQ(DataPointsChoice(0), -1);
  EXPECT_EQ(DataPointsChoice(75), -1);
  EXPECT_EQ(DataPointsChoice(201), -1);
}

}  // namespace
}  // namespace spanlab
