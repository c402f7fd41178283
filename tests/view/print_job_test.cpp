// The printed report on a recording device: how the reports fall onto pages, the drawing area
// of a page, the header box, the footer, rule lines and the diagrams page.
//
// The recording device measures a font of p points as 3p units high with characters p/2 units
// wide: body lines (10 points) are 30 units, footer lines (8 points) 24 units, and a body
// character is 5 units wide. All sheets below are 300 dots per inch, so the pen unit is 3.
#include "view/print_job.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/prompt.h"
#include "platform/recording_device_context.h"
#include "report/report_builder.h"
#include "run/document.h"
#include "run/run_driver.h"
#include "view/results_paint.h"

namespace spanlab {
namespace {

class PointSizedContext : public RecordingDeviceContext {
 public:
  PointSizedContext() : RecordingDeviceContext(/*printing=*/true) {}
  Font SelectFont(const Font& font) override {
    points_ = font.pointSize;
    return RecordingDeviceContext::SelectFont(font);
  }
  TextSize GetTextExtent(const std::string& text) override {
    return {points_ / 2 * static_cast<int>(text.size()), 3 * points_};
  }

 private:
  int points_ = 10;
};

// Fields: physical width and height, unprintable left and top, printable width and height,
// dots per inch x and y, landscape.
// Portrait: unprintable 60 left, 40 top, 30 right, 70 bottom; area 1920 x 2750.
const PrinterPage kPortrait{2100, 2970, 60, 40, 2010, 2860, 300, 300, false};
// Landscape: unprintable 40 left, 60 top, 50 right, 30 bottom; area 2790 x 1920.
const PrinterPage kLandscape{2970, 2100, 40, 60, 2880, 2010, 300, 300, true};
// A small sheet of 11 lines per page: area 286 x 394, (394 - 40 - 24) / 30 = 11 exactly.
const PrinterPage kSmall{346, 484, 20, 30, 316, 439, 300, 300, false};

const std::vector<std::string> kEnglish = {
    // 201 nodes; the input report has 21 lines, the last split into two; the summary 36 lines.
    "File Format:3.0",
    "/Propped cantilever",
    "Units:English;",
    "Member Property: X = 0; E = 29000; I = 100;",
    "Support: X = 0; Disp = 0; Rotation = 0;",
    "Support: X = 30; Disp = 0;",
    "Uniform Load: XStart = 0; XEnd = 30; UStart = -0.96; UEnd = -0.96; /dead load",
};
const std::vector<std::string> kMetric = {
    "File Format:3.0",
    "Units:Metric;",
    "Member Property: X = 0; E = 210000; I = 1943;",
    "Support: X = 0; Disp = 0; Rotation = 0;",
    "Point Load: X = 4; PLoad = -5;",
};
const std::vector<std::string> kConsistent = {
    "File Format:3.0",
    "Member Property: X = 0; E = 200000; I = 3;",
    "Support: X = 0; Disp = 0; Rotation = 0;",
    "Point Load: X = 200; PLoad = -6;",
};
// Fails its format check: no results at all.
const std::vector<std::string> kFailing = {
    "File Format:3.0",
    "Member Property: X = 0; E = 29000; I = 100;",
    "Support: X = 0; Disp = 0;",
    "Support: X = 10; Disp = abc;",
};
// One pin and nothing else: a mechanism (A3).
const std::vector<std::string> kUnstable = {
    "File Format:3.0",
    "Units:English;",
    "Member Property: X = 0; E = 29000; I = 100;",
    "Support: X = 0; Disp = 0;",
    "Point Load: X = 10; PLoad = -1;",
};

std::unique_ptr<CSPLX_30Doc> Model(const std::vector<std::string>& lines) {
  auto doc = std::make_unique<CSPLX_30Doc>();
  doc->SetLines(nullptr, lines);
  RunModel(*doc);
  return doc;
}

PrintOptions Options(int input, int diagrams, int summary, int details, int points = 2) {
  return PrintOptions{input, diagrams, summary, details, points};
}

// The number of report lines on each page.
std::map<int, int> LinesOnPages(const ReportPrintJob& job) {
  std::map<int, int> count;
  for (const CReportLine& line : job.Builder().Lines()) ++count[line.page];
  return count;
}

std::string FirstLineOfPage(const ReportPrintJob& job, int page) {
  for (const CReportLine& line : job.Builder().Lines())
    if (line.page == page) return line.text;
  return "<none>";
}

std::vector<RecordedText> TextsAtX(const RecordingDeviceContext& dc, int x) {
  std::vector<RecordedText> found;
  for (const RecordedText& t : dc.texts)
    if (t.x == x && t.text != kProgramNameAndVersion) found.push_back(t);
  return found;
}

// ---- Layout ----

TEST(PrintLayout, DrawingAreaAndLinesPerPage) {
  struct Case {
    const char* name;
    const PrinterPage& page;
    ReportPrintJob::Area area, square;
    int linesPerPage;
  };
  const Case cases[] = {
      // (2750 - trunc(1920 / 7) - 24) / 30 = (2750 - 274 - 24) / 30
      {"portrait", kPortrait, {60, 40, 1980, 2790}, {60, 40, 1980, 2790}, 81},
      // The header takes a seventh of the height, the shorter side: (1920 - 274 - 24) / 30.
      {"landscape", kLandscape, {40, 60, 2830, 1980}, {40, 60, 1960, 1980}, 54},
      {"small", kSmall, {20, 30, 306, 424}, {20, 30, 306, 424}, 11},
  };
  CSPLX_30Doc doc;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PointSizedContext dc;
    PrintOptions options = Options(1, 0, 0, 0);
    ReportPrintJob job;
    job.Begin(dc, c.page, options, doc, nullptr);
    EXPECT_EQ(job.LinesPerPage(), c.linesPerPage);
    EXPECT_EQ(job.BodyLineHeight(), 30);
    for (bool square : {false, true}) {
      const ReportPrintJob::Area a = job.DrawingArea(square);
      const ReportPrintJob::Area& e = square ? c.square : c.area;
      EXPECT_EQ(a.left, e.left) << square;
      EXPECT_EQ(a.top, e.top) << square;
      EXPECT_EQ(a.right, e.right) << square;
      EXPECT_EQ(a.bottom, e.bottom) << square;
    }
  }
}

TEST(PrintLayout, PenUnitIsDotsPerInchOverHundredFromOneToFive) {
  EXPECT_EQ(ReportPrintJob::PenUnitFor(1200), 5);
  EXPECT_EQ(ReportPrintJob::PenUnitFor(600), 5);
  EXPECT_EQ(ReportPrintJob::PenUnitFor(300), 3);
  EXPECT_EQ(ReportPrintJob::PenUnitFor(299), 2);
  EXPECT_EQ(ReportPrintJob::PenUnitFor(96), 1);
  EXPECT_EQ(ReportPrintJob::PenUnitFor(0), 1);
}

// ---- Pages ----

TEST(PrintJob, EachReportStartsAPageAndPagesHoldLinesPerPageLessOne) {
  const auto doc = Model(kEnglish);
  PointSizedContext dc;
  ReportPrintJob job;
  PrintOptions all = Options(1, 1, 1, 1, 0);
  // Input 1-3 (the split comment line lands on page 3 with its call), diagrams 4, summary
  // 5-8, details (26 rows under a three-line head) 9-11.
  EXPECT_EQ(job.Begin(dc, kSmall, all, *doc, nullptr), 11);
  EXPECT_EQ(job.PageCount(), 11);
  const std::map<int, int> expected = {{1, 10}, {2, 10}, {3, 2},  {4, 1},  {5, 10}, {6, 10},
                                       {7, 10}, {8, 6},  {9, 10}, {10, 10}, {11, 9}};
  EXPECT_EQ(LinesOnPages(job), expected);
  EXPECT_EQ(FirstLineOfPage(job, 1), "Description:");
  EXPECT_EQ(FirstLineOfPage(job, 3), "  XStart = 0; XEnd = 30; UStart = -0.96; UEnd = -0.96;");
  EXPECT_EQ(FirstLineOfPage(job, 4), kDiagramsLine);
  EXPECT_EQ(FirstLineOfPage(job, 5), "");
  EXPECT_EQ(FirstLineOfPage(job, 9),
            "          X          EI       Shear      Moment    Rotation        Disp");

  // Printing page 3 writes its two lines and the footer, nothing of the other pages.
  job.PrintPage(dc, 3, {});
  ASSERT_EQ(dc.texts.size(), 3u);
  EXPECT_EQ(dc.texts[2].text, "          /dead load");
  EXPECT_EQ(dc.texts[2].y, 30 + 30);

  // Every node: 201 rows and the head are 204 lines on 21 pages.
  PrintOptions everyNode = Options(1, 1, 1, 1, 3);
  EXPECT_EQ(job.Begin(dc, kSmall, everyNode, *doc, nullptr), 29);
  // Details only: the first report is page 1.
  PrintOptions detailsOnly = Options(0, 0, 0, 1, 0);
  EXPECT_EQ(job.Begin(dc, kSmall, detailsOnly, *doc, nullptr), 3);
  EXPECT_EQ(job.Builder().Lines().front().page, 1);
  EXPECT_EQ(job.Builder().Lines().size(), 29u);
}

// Pages are looked up in an index built once per job; each page, printed on its own and in
// any order, must write exactly its own lines, and a page outside the job only the footer.
// The input, summary and details reports of the English model on small pages, begun.
struct ManyPagesJob {
  ManyPagesJob() { pages = job.Begin(probe, kSmall, options, *doc, nullptr); }
  std::unique_ptr<CSPLX_30Doc> doc = Model(kEnglish);
  PointSizedContext probe;
  PrintOptions options = Options(1, 0, 1, 1, 3);
  ReportPrintJob job;
  int pages = 0;
};

TEST(PrintJob, EveryPagePrintsExactlyItsOwnLinesInAnyOrder) {
  ManyPagesJob begun;
  ReportPrintJob& job = begun.job;
  const int pages = begun.pages;
  ASSERT_GT(pages, 20);
  const std::map<int, int> onPages = LinesOnPages(job);
  for (int page : {pages, 1, pages / 2, 2, pages - 1}) {
    PointSizedContext dc;
    job.PrintPage(dc, page, {});
    std::vector<std::string> printed;
    for (const RecordedText& t : dc.texts)
      if (t.text != kProgramNameAndVersion) printed.push_back(t.text);
    std::vector<std::string> expected;
    for (const CReportLine& line : job.Builder().Lines())
      if (line.page == page && !IsRuleLine(line.text)) expected.push_back(line.text);
    EXPECT_EQ(printed, expected) << "page " << page;
    EXPECT_EQ(static_cast<int>(printed.size() + dc.strokes.size()), onPages.at(page)) << page;
  }
  for (int outside : {0, pages + 1}) {
    PointSizedContext dc;
    job.PrintPage(dc, outside, {});
    ASSERT_EQ(dc.texts.size(), 1u);
    EXPECT_EQ(dc.texts[0].text, kProgramNameAndVersion);
  }
}

// A printed page's lines are freed; the pages around it keep theirs and print as before.
TEST(PrintJob, ReleasedPageFreesOnlyItsOwnLines) {
  ManyPagesJob begun;
  ReportPrintJob& job = begun.job;
  const int pages = begun.pages;
  ASSERT_GT(pages, 5);
  auto texts = [&job](int page) {
    PointSizedContext dc;
    job.PrintPage(dc, page, {});
    std::vector<std::string> printed;
    for (const RecordedText& t : dc.texts) printed.push_back(t.text);
    return printed;
  };
  const std::vector<std::string> second = texts(2), fourth = texts(4);
  ASSERT_GT(fourth.size(), 5u);
  const std::map<int, int> onPages = LinesOnPages(job);
  job.ReleasePage(3);
  job.ReleasePage(0);          // outside the job: nothing
  job.ReleasePage(pages + 1);
  for (const CReportLine& line : job.Builder().Lines()) {
    if (line.page == 3) {
      EXPECT_TRUE(line.text.empty());
      EXPECT_EQ(line.text.capacity(), std::string().capacity());
    }
  }
  EXPECT_EQ(LinesOnPages(job), onPages);
  EXPECT_EQ(texts(2), second);
  EXPECT_EQ(texts(4), fourth);
}

TEST(PrintJob, AllReportsOffNoticesOnceAndPrintsTheDefaults) {
  const auto doc = Model(kEnglish);
  PointSizedContext dc;
  RecordingPrompter prompter;
  ReportPrintJob job;
  PrintOptions off = Options(0, 0, 0, 0, 0);
  EXPECT_EQ(job.Begin(dc, kSmall, off, *doc, &prompter), 8);  // input, diagrams, summary
  EXPECT_EQ(prompter.notices, std::vector<std::string>{kAllReportsOffMessage});
  EXPECT_TRUE(prompter.questions.empty());
  EXPECT_EQ(off.m_bPrintInput, 1);
  EXPECT_EQ(off.m_bPrintDiagrams, 1);
  EXPECT_EQ(off.m_bPrintSummary, 1);
  EXPECT_EQ(off.m_bPrintDetails, 0);
  EXPECT_EQ(off.m_nDataPoints, 2);

  // The next print has reports to print: no second notice.
  EXPECT_EQ(job.Begin(dc, kSmall, off, *doc, &prompter), 8);
  EXPECT_EQ(prompter.notices.size(), 1u);

  // One report on is enough; the options stay as they are.
  PrintOptions summaryOnly = Options(0, 0, 1, 0, 3);
  EXPECT_EQ(job.Begin(dc, kSmall, summaryOnly, *doc, &prompter), 4);
  EXPECT_EQ(prompter.notices.size(), 1u);
  EXPECT_EQ(summaryOnly.m_bPrintInput, 0);
  EXPECT_EQ(summaryOnly.m_nDataPoints, 3);
}

// ---- One page ----

TEST(PrintPage, BodyLinesFromTheTopLeftAndTheFooterAtTheBottomRight) {
  const auto doc = Model(kEnglish);
  struct Case {
    const char* name;
    const PrinterPage& page;
    int left, top, right, bottom;  // the square area on landscape paper
  };
  for (const Case& c : {Case{"portrait", kPortrait, 60, 40, 1980, 2790},
                        Case{"landscape", kLandscape, 40, 60, 1960, 1980}}) {
    SCOPED_TRACE(c.name);
    PointSizedContext dc;
    ReportPrintJob job;
    PrintOptions input = Options(1, 0, 0, 0);
    ASSERT_EQ(job.Begin(dc, c.page, input, *doc, nullptr), 1);
    job.PrintPage(dc, 1, {});
    const std::vector<CReportLine>& lines = job.Builder().Lines();
    ASSERT_EQ(lines.size(), 22u);
    ASSERT_EQ(dc.texts.size(), 23u);
    const RecordedText& footer = dc.texts[0];
    EXPECT_EQ(footer.text, "Spanlab 3.20");
    EXPECT_EQ(footer.x, c.right);
    EXPECT_EQ(footer.y, c.bottom);
    EXPECT_EQ(footer.align, kAlignRight | kAlignBottom);
    EXPECT_EQ(footer.font.face, "Courier New");
    EXPECT_EQ(footer.font.pointSize, 8);
    for (size_t i = 0; i < lines.size(); ++i) {
      const RecordedText& t = dc.texts[i + 1];
      EXPECT_EQ(t.text, lines[i].text);
      EXPECT_EQ(t.x, c.left) << i;
      EXPECT_EQ(t.y, c.top + 30 * static_cast<int>(i)) << i;
      EXPECT_EQ(t.align, kAlignLeft | kAlignTop) << i;
      EXPECT_EQ(t.font.face, "Courier New");
      EXPECT_EQ(t.font.pointSize, 10) << i;
    }
    EXPECT_TRUE(dc.strokes.empty());
  }
}

TEST(PrintPage, RuleLinesAreLinesAsLongAsTheirText) {
  const auto doc = Model(kEnglish);
  PointSizedContext dc;
  ReportPrintJob job;
  PrintOptions summary = Options(0, 0, 1, 0);
  ASSERT_EQ(job.Begin(dc, kPortrait, summary, *doc, nullptr), 1);
  job.PrintPage(dc, 1, {});
  // Under the reactions head (line 12), the equilibrium head (20) and "Min & Max values:" (26):
  // 33, 51 and 56 characters of 5 units.
  const std::vector<RecordedStroke> expected = {
      {60, 40 + 12 * 30, 60 + 33 * 5, 40 + 12 * 30, dc.CurrentPen()},
      {60, 40 + 20 * 30, 60 + 51 * 5, 40 + 20 * 30, dc.CurrentPen()},
      {60, 40 + 26 * 30, 60 + 56 * 5, 40 + 26 * 30, dc.CurrentPen()},
  };
  EXPECT_EQ(dc.strokes, expected);
  EXPECT_EQ(dc.texts.size(), 36u - 3u + 1u);  // the footer
  for (const RecordedText& t : dc.texts)
    EXPECT_EQ(t.text.find("-!@#$%^&*()"), std::string::npos) << t.text;
  // The line after the last rule still has its own place.
  EXPECT_EQ(dc.texts.back().text.substr(0, 17), " Max Deflection =");
  EXPECT_EQ(dc.texts.back().y, 40 + 35 * 30);
}

TEST(PrintPage, OfALineLongerThanThePageOnlyWhatReachesTheEdgeIsDrawn) {
  // Portrait: 1920 units of 5-unit characters, 384 and a part; twice that, 770, are drawn, so
  // that narrower glyphs of other fonts still reach the edge. A UTF-8 line is cut between its
  // characters; a Latin-1 line (not valid UTF-8) keeps its characters, passed on in UTF-8.
  const std::string ascii(100000, 'c');
  std::string utf8, latin1;
  for (int i = 0; i < 5000; ++i) utf8 += "\xc3\xa9";  // é
  for (int i = 0; i < 5000; ++i) latin1 += i % 2 ? "\xe9" : "e";
  std::vector<std::string> lines = kEnglish;
  lines.insert(lines.begin() + 2,
               {"/" + ascii, "/" + utf8, "/" + latin1, "/" + std::string(768, 'd')});
  const auto doc = Model(lines);
  PointSizedContext dc;
  ReportPrintJob job;
  PrintOptions input = Options(1, 0, 0, 0);
  ASSERT_EQ(job.Begin(dc, kPortrait, input, *doc, nullptr), 1);
  job.PrintPage(dc, 1, {});
  const std::vector<RecordedText> body = TextsAtX(dc, 60);
  ASSERT_EQ(body.size(), job.Builder().Lines().size());
  std::string latin1InUtf8 = "  ";
  for (int i = 0; i < 768; ++i) latin1InUtf8 += i % 2 ? "\xc3\xa9" : "e";
  std::string utf8Start = "  ";
  for (int i = 0; i < 768; ++i) utf8Start += "\xc3\xa9";
  EXPECT_EQ(body[2].text, "  Propped cantilever");
  EXPECT_EQ(body[3].text, "  " + ascii.substr(0, 768));
  EXPECT_EQ(body[4].text, utf8Start);
  EXPECT_EQ(body[5].text, latin1InUtf8);
  EXPECT_EQ(body[6].text, "  " + std::string(768, 'd'));  // 770 characters: drawn whole
  EXPECT_EQ(body[7].text, "");
  // The report lines themselves keep the whole text (the report file has it).
  EXPECT_EQ(job.Builder().Lines()[3].text, "  " + ascii);
}

TEST(PrintPage, HeaderPictureBoxMovesTheBodyDown) {
  const auto doc = Model(kEnglish);
  struct Box {
    int left, top, width, height;
  };
  struct Case {
    const char* name;
    const PrinterPage& page;
    bool picture;
    Box box;
    int firstLineTop;
  };
  // The box is as wide as the area, a seventh of that high; the body starts one unit and one
  // body line below it. Without a picture the body starts at the top.
  const Case cases[] = {
      {"portrait", kPortrait, true, {60, 40, 1920, 274}, 40 + 1 + 274 + 30},
      {"landscape square", kLandscape, true, {40, 60, 1920, 274}, 60 + 1 + 274 + 30},
      {"no picture", kPortrait, false, {60, 40, 1920, 274}, 40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PointSizedContext dc;
    ReportPrintJob job;
    PrintOptions options = Options(1, 1, 1, 0);
    ASSERT_EQ(job.Begin(dc, c.page, options, *doc, nullptr), 3);
    std::vector<Box> calls;
    const HeaderPainter header = [&](DeviceContext&, int left, int top, int width, int height) {
      calls.push_back({left, top, width, height});
      return c.picture;
    };
    for (int page = 1; page <= 3; ++page) job.PrintPage(dc, page, header);
    ASSERT_EQ(calls.size(), 3u);  // every page
    EXPECT_EQ(calls[0].left, c.box.left);
    EXPECT_EQ(calls[0].top, c.box.top);
    EXPECT_EQ(calls[0].width, c.box.width);
    EXPECT_EQ(calls[0].height, c.box.height);
    ASSERT_GE(dc.texts.size(), 2u);
    EXPECT_EQ(dc.texts[1].text, "Description:");
    EXPECT_EQ(dc.texts[1].y, c.firstLineTop);
    // The diagrams page begins at the same place.
    const std::vector<RecordedText> titles = TextsAtX(dc, c.box.left);
    bool found = false;
    for (const RecordedText& t : titles) {
      if (t.text != "Reactions - kips, kip ft") continue;
      found = true;
      EXPECT_EQ(t.y, c.firstLineTop);
    }
    EXPECT_TRUE(found);
  }
  // An empty painter is no picture.
  PointSizedContext dc;
  ReportPrintJob job;
  PrintOptions options = Options(1, 0, 0, 0);
  job.Begin(dc, kPortrait, options, *doc, nullptr);
  job.PrintPage(dc, 1, HeaderPainter());
  ASSERT_GE(dc.texts.size(), 2u);
  EXPECT_EQ(dc.texts[1].y, 40);
}

// ---- Diagrams page ----

TEST(DiagramsPage, WithoutResultsSaysSo) {
  const auto doc = Model(kFailing);
  ASSERT_EQ(doc->GetAnalysis().m_nNodes, 0);
  PointSizedContext dc;
  ReportPrintJob job;
  PrintOptions diagrams = Options(0, 1, 0, 0);
  ASSERT_EQ(job.Begin(dc, kPortrait, diagrams, *doc, nullptr), 1);
  job.PrintPage(dc, 1, {});
  ASSERT_EQ(dc.texts.size(), 2u);
  EXPECT_EQ(dc.texts[1].text, "Diagrams are not available.");
  EXPECT_EQ(dc.texts[1].x, 60);
  EXPECT_EQ(dc.texts[1].y, 40);
  EXPECT_TRUE(dc.strokes.empty());
  EXPECT_TRUE(dc.shapes.empty());
}

// Area of the portrait sheet less the footer: top 40, bottom 2790 - 24, so g = 2726 / 5 = 545.
// Beam ends: 60 + 1920 / 10 and 1980 - 3 body lines; baselines 40 + trunc(k * 545), k = 0.5,
// 1.5, ..., 4.5; band titles half a band (272) above their baselines.
constexpr int kBeamLeft = 252, kBeamRight = 1890;
const std::vector<int> kBaselines = {312, 857, 1402, 1947, 2492};

// The baselines of the beam lines drawn across the whole frame (black, 3 pen units).
std::vector<int> BeamLines(const RecordingDeviceContext& dc) {
  std::vector<int> found;
  for (const RecordedStroke& s : dc.strokes) {
    if (s.x1 == kBeamLeft && s.x2 == kBeamRight && s.y1 == s.y2 &&
        s.pen == Pen{9, {0, 0, 0}})
      found.push_back(s.y1);
  }
  return found;
}

TEST(DiagramsPage, TitlesAndBandsInEachUnitSystem) {
  struct Case {
    const std::vector<std::string>* lines;
    std::vector<std::string> titles;
  };
  const Case cases[] = {
      {&kEnglish,
       {"Reactions - kips, kip ft", "Shear - kips", "Moment - kip ft", "Rotation - radians",
        "Deflection - inches"}},
      {&kMetric,
       {"Reactions - kN, kN m", "Shear - kN", "Moment - kN m", "Rotation - radians",
        "Deflection - mm"}},
      {&kConsistent,
       {"Reactions - Consistent", "Shear - Consistent", "Moment - Consistent",
        "Rotation - radians", "Deflection - Consistent"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.titles[0]);
    const auto doc = Model(*c.lines);
    PointSizedContext dc;
    ReportPrintJob job;
    PrintOptions diagrams = Options(0, 1, 0, 0);
    ASSERT_EQ(job.Begin(dc, kPortrait, diagrams, *doc, nullptr), 1);
    job.PrintPage(dc, 1, {});
    const std::vector<RecordedText> titles = TextsAtX(dc, 60);
    ASSERT_EQ(titles.size(), 5u);
    const int tops[] = {40, 585, 1130, 1675, 2220};
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(titles[i].text, c.titles[i]);
      EXPECT_EQ(titles[i].y, tops[i]) << c.titles[i];
    }
    EXPECT_EQ(BeamLines(dc), kBaselines);
    // The routines write no titles of their own on paper.
    for (const RecordedText& t : dc.texts) EXPECT_FALSE(t.x == 5 && t.y == 5) << t.text;
    EXPECT_FALSE(dc.ellipses.empty());  // the extremes are labelled
  }
}

// With load combinations each band says which analysis it shows, and the capacities stand on
// the moment band; the bands stay where they are.
TEST(DiagramsPage, WithCombinationsEachBandNamesItsAnalysis) {
  std::vector<std::string> lines = kEnglish;
  lines.push_back("Uniform Load: XStart = 0; XEnd = 30; UStart = -0.5; UEnd = -0.5; Case = L;");
  lines.push_back("Load Combination: Name = ULS1; D = 1.2; L = 1.6;");
  lines.push_back("Service Combination: Name = SLS1; D = 1; L = 1;");
  lines.push_back("Capacity: Moment = 500;");
  const auto doc = Model(lines);
  ASSERT_TRUE(doc->GetDesign().HasCombinations());
  PointSizedContext dc;
  ReportPrintJob job;
  PrintOptions diagrams = Options(0, 1, 0, 0);
  ASSERT_EQ(job.Begin(dc, kPortrait, diagrams, *doc, nullptr), 1);
  job.PrintPage(dc, 1, {});
  std::vector<std::string> texts;
  for (const RecordedText& t : TextsAtX(dc, 60)) texts.push_back(t.text);
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "Reactions - kips, kip ft  (Single analysis)",
                       "Shear - kips  (Envelope over strength combinations)",
                       "Moment - kip ft  (Envelope over strength combinations)",
                       "Rotation - radians  (Envelope over service combinations)",
                       "Deflection - inches  (Envelope over service combinations)"}));
  EXPECT_EQ(BeamLines(dc), kBaselines);
  const auto has = [&](const std::string& text) {
    return std::any_of(dc.texts.begin(), dc.texts.end(),
                       [&](const RecordedText& t) { return t.text == text; });
  };
  EXPECT_TRUE(has("500 kip ft"));
  EXPECT_TRUE(has("-500 kip ft"));
}

// A mechanism: the beam band with the notice instead of the reactions' title, no reactions and
// no curves.
TEST(DiagramsPage, MechanismShowsTheBeamBandAndTheNoticeOnly) {
  const auto doc = Model(kUnstable);
  ASSERT_TRUE(doc->GetAnalysis().m_bError);
  ASSERT_TRUE(StoppedAsMechanism(doc->GetAnalysis()));
  ASSERT_GT(doc->GetAnalysis().m_nNodes, 0);
  PointSizedContext dc;
  ReportPrintJob job;
  PrintOptions diagrams = Options(0, 1, 0, 0);
  ASSERT_EQ(job.Begin(dc, kPortrait, diagrams, *doc, nullptr), 1);
  job.PrintPage(dc, 1, {});
  const std::vector<RecordedText> titles = TextsAtX(dc, 60);
  ASSERT_EQ(titles.size(), 1u);
  EXPECT_EQ(titles[0].text, kMechanismNotice);
  EXPECT_EQ(BeamLines(dc), std::vector<int>{312});
  // Only the notice and the footer: no reaction values.
  ASSERT_EQ(dc.texts.size(), 2u);
  EXPECT_EQ(dc.texts[0].text, kProgramNameAndVersion);
  EXPECT_FALSE(dc.strokes.empty());  // the beam, its support and its load
  // Nothing reaches into the second band.
  for (const RecordedStroke& s : dc.strokes) EXPECT_LT(std::max(s.y1, s.y2), 40 + 545);
  for (const RecordedText& t : dc.texts) {
    if (t.text == kProgramNameAndVersion) continue;
    EXPECT_LT(t.y, 40 + 545) << t.text;
  }
}

}  // namespace
}  // namespace spanlab
