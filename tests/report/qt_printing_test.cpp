// The printed report on real Qt devices: PDF files read back with poppler's pdfinfo and
// pdftotext, pages drawn onto images, and the Print Options dialog driven by clicks.
#include "view/qt_report_printer.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/qt_main_frame.h"
#include "platform/file_access.h"
#include "platform/prompt.h"
#include "platform/qt_device_context.h"
#include "platform/settings.h"
#include "report/metafile.h"
#include "report/qt_print_options_dialog.h"
#include "run/run_driver.h"
#include "view/print_job.h"
#include "view/qt_exports.h"
#include "view/qt_print_preview.h"

namespace spanlab {
namespace {

// A 30 ft propped cantilever in 200 elements: node i stands at 1.8 (i - 1) inches.
const std::vector<std::string> kEnglish = {
    "File Format:3.0",
    "/Propped cantilever",
    "Units:English;",
    "Member Property: X = 0; E = 29000; I = 100;",
    "Support: X = 0; Disp = 0; Rotation = 0;",
    "Support: X = 30; Disp = 0;",
    "Uniform Load: XStart = 0; XEnd = 30; UStart = -0.96; UEnd = -0.96;",
};
// Fails its format check: no results.
const std::vector<std::string> kFailing = {
    "File Format:3.0",
    "Member Property: X = 0; E = 29000; I = 100;",
    "Support: X = 10; Disp = abc;",
};

std::unique_ptr<CSPLX_30Doc> Model(const std::vector<std::string>& lines) {
  auto doc = std::make_unique<CSPLX_30Doc>();
  doc->SetLines(nullptr, lines);
  RunModel(*doc);
  return doc;
}

std::string Run(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  pclose(pipe);
  return out;
}

// The value after "Name:" in pdfinfo's output, blanks trimmed.
std::string PdfInfo(const std::string& path, const std::string& name) {
  std::istringstream in(Run("pdfinfo '" + path + "' 2>&1"));
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(name + ":", 0) != 0) continue;
    const size_t start = line.find_first_not_of(' ', name.size() + 1);
    return start == std::string::npos ? std::string() : line.substr(start);
  }
  return "<no " + name + ">";
}

std::string Trimmed(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// Each page's non-empty lines, blanks trimmed.
std::vector<std::vector<std::string>> PageLines(const std::string& path) {
  const std::string text = Run("pdftotext -layout '" + path + "' - 2>&1");
  std::vector<std::vector<std::string>> pages(1);
  std::string line;
  for (char c : text) {
    if (c == '\f') {
      pages.emplace_back();
    } else if (c == '\n') {
      if (!Trimmed(line).empty()) pages.back().push_back(Trimmed(line));
      line.clear();
    } else {
      line += c;
    }
  }
  pages.pop_back();  // after the last form feed
  return pages;
}

bool Contains(const std::vector<std::string>& lines, const std::string& text) {
  for (const std::string& l : lines)
    if (l.find(text) != std::string::npos) return true;
  return false;
}

struct Word {
  std::string text;
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;  // points from the page's top left
};

// The first word `text` on page `page`, from pdftotext's bounding boxes.
Word FindWord(const std::string& path, int page, const std::string& text) {
  const std::string p = std::to_string(page);
  std::istringstream in(Run("pdftotext -bbox -f " + p + " -l " + p + " '" + path + "' -"));
  for (std::string line; std::getline(in, line);) {
    const size_t close = line.rfind("</word>");
    const size_t open = line.rfind('>', close);
    if (close == std::string::npos || line.substr(open + 1, close - open - 1) != text) continue;
    Word w{text};
    std::sscanf(line.c_str(), " <word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\"",
                &w.xMin, &w.yMin, &w.xMax, &w.yMax);
    return w;
  }
  ADD_FAILURE() << "no word " << text << " on page " << page;
  return {};
}

constexpr double kPointsPerPixel = 72.0 / 1200.0;

class ReportPdfTest : public testing::Test {
 protected:
  std::string Path(const std::string& name) { return dir_.filePath(name.c_str()).toStdString(); }

  // The folder `name` in the scratch folder, holding the program's logo as "splx.wmf" when
  // `logo`.
  std::string Folder(const std::string& name, bool logo) {
    const std::string folder = Path(name);
    EXPECT_TRUE(QDir().mkpath(folder.c_str()));
    if (logo) {
      const std::vector<uint8_t> bytes = WriteLogoMetafile();
      EXPECT_TRUE(DefaultFileAccess()
                      .WriteFileAtomically(folder + "/splx.wmf",
                                           std::string(bytes.begin(), bytes.end()))
                      .ok());
    }
    return folder;
  }

  QTemporaryDir dir_;
  RecordingPrompter prompter_;
};

// ---- PDF pages ----

TEST_F(ReportPdfTest, PagesOnA4AndLetterPortraitAndLandscape) {
  struct Case {
    bool letter, landscape;
    const char* size;
    size_t pages;
  };
  // Landscape A4 has 35 lines to a page: the summary's 36 lines need two pages. Landscape
  // Letter has 37, just enough.
  const Case cases[] = {{false, false, "595 x 842 pts (A4)", 3},
                        {false, true, "842 x 595 pts (A4)", 4},
                        {true, false, "612 x 792 pts (letter)", 3},
                        {true, true, "792 x 612 pts (letter)", 3}};
  const auto doc = Model(kEnglish);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    const std::string path = Path("report.pdf");
    PrintOptions options;  // input, diagrams, summary
    ASSERT_EQ(WriteReportPdf(*doc, options, prompter_, {}, path,
                             ReportPageLayout(c.letter, c.landscape)),
              "");
    EXPECT_EQ(PdfInfo(path, "Pages"), std::to_string(c.pages));
    EXPECT_EQ(PdfInfo(path, "Page size"), c.size);
    const auto pages = PageLines(path);
    ASSERT_EQ(pages.size(), c.pages);
    for (const auto& page : pages) {
      ASSERT_FALSE(page.empty());
      EXPECT_EQ(page.back(), "Spanlab 3.20");
    }
    EXPECT_EQ(pages[0][0], "Description:");
    EXPECT_EQ(pages[0][1], "Propped cantilever");
    EXPECT_EQ(pages[1][0], "Reactions - kips, kip ft");
    for (const char* title : {"Shear - kips", "Moment - kip ft", "Rotation - radians",
                              "Deflection - inches"})
      EXPECT_TRUE(Contains(pages[1], title)) << title;
    EXPECT_EQ(pages[2][0], "Analysis Data:");
    EXPECT_EQ(pages[2][1], "Beam Length = 30. feet");
    EXPECT_EQ(pages.back()[pages.back().size() - 2].substr(0, 16), "Max Deflection =");
    if (c.pages == 4) {
      EXPECT_EQ(pages[3][0].substr(0, 16), "Min Deflection =");
    }
    for (const auto& page : pages) EXPECT_FALSE(Contains(page, "-!@#$"));
  }
  EXPECT_TRUE(prompter_.notices.empty());
}

TEST_F(ReportPdfTest, PrintReportKeepsTenMillimetresAndPrintsAPageRange) {
  const auto doc = Model(kEnglish);
  const std::string path = Path("range.pdf");
  {
    QPdfWriter pdf(QString::fromStdString(path));
    pdf.setResolution(1200);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(25, 0, 0, 3), QPageLayout::Millimeter));
    EnsureMargins(pdf);
    const QMarginsF mm = pdf.pageLayout().margins(QPageLayout::Millimeter);
    EXPECT_NEAR(mm.left(), 25, 0.01);
    EXPECT_NEAR(mm.top(), 10, 0.01);
    EXPECT_NEAR(mm.right(), 10, 0.01);
    EXPECT_NEAR(mm.bottom(), 10, 0.01);
    PrintOptions options;
    // The count of the whole report, but only pages 2 and 3 on paper.
    EXPECT_EQ(PrintReport(pdf, *doc, options, &prompter_, {}, 2, 3), 3);
  }
  EXPECT_EQ(PdfInfo(path, "Pages"), "2");
  const auto pages = PageLines(path);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0][0], "Reactions - kips, kip ft");
  EXPECT_EQ(pages[1][0], "Analysis Data:");
  // Body text starts at the margin plus the same again; the footer ends as far from the right.
  // (Qt keeps margins in whole points: within a point of the millimetres.)
  EXPECT_NEAR(FindWord(path, 1, "Reactions").xMin, 2 * 25 * 72 / 25.4, 1.0);
  EXPECT_NEAR(FindWord(path, 2, "3.20").xMax, 595 - 2 * 10 * 72 / 25.4, 1.0);
}

TEST_F(ReportPdfTest, FailingModelAndAllReportsOff) {
  const auto doc = Model(kFailing);
  const std::string path = Path("failing.pdf");
  PrintOptions off{0, 0, 0, 0, 0};
  ASSERT_EQ(WriteReportPdf(*doc, off, prompter_, {}, path, ReportPageLayout(false, false)), "");
  EXPECT_EQ(prompter_.notices, std::vector<std::string>{kAllReportsOffMessage});
  EXPECT_EQ(off.m_bPrintInput + off.m_bPrintDiagrams + off.m_bPrintSummary, 3);
  const auto pages = PageLines(path);
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(pages[1], (std::vector<std::string>{"Diagrams are not available.", "Spanlab 3.20"}));
  EXPECT_EQ(pages[2], (std::vector<std::string>{"Analysis Data:", "Summary report is not available.",
                                                "Spanlab 3.20"}));
  PrintOptions details{0, 0, 0, 1, 2};
  ASSERT_EQ(WriteReportPdf(*doc, details, prompter_, {}, path, ReportPageLayout(true, true)), "");
  EXPECT_EQ(PageLines(path),
            (std::vector<std::vector<std::string>>{
                {"Details report is not available.", "Spanlab 3.20"}}));
}

// Lines per page at 1200 dots per inch: the sheet less twice the 10 mm margin on each side,
// less a seventh of the width and one footer line, in body lines (10 and 8 points).
TEST_F(ReportPdfTest, LinesPerPageAtTwelveHundredDotsPerInch) {
  struct Case {
    bool letter;
    int width, height;  // the sheet in pixels
  };
  const auto doc = Model(kEnglish);
  for (const Case& c : {Case{false, 9917, 14033}, Case{true, 10200, 13200}}) {
    SCOPED_TRACE(c.letter ? "letter" : "A4");
    const std::string path = Path("lines.pdf");
    int linesPerPage = 0;
    int margin = 0;
    {
      QPdfWriter pdf(QString::fromStdString(path));
      pdf.setResolution(1200);
      pdf.setPageLayout(ReportPageLayout(c.letter, false));
      EnsureMargins(pdf);
      const PrinterPage page = PageOf(pdf);
      margin = pdf.pageLayout().paintRectPixels(1200).left();  // 10 mm, as Qt rounds it
      EXPECT_NEAR(margin, 472, 6);
      EXPECT_EQ(page.physicalWidth, c.width);
      EXPECT_EQ(page.physicalHeight, c.height);
      EXPECT_EQ(page.offsetX, margin);
      EXPECT_EQ(page.printableWidth, c.width - 2 * margin);
      EXPECT_FALSE(page.landscape);
      QFont font("Courier New");
      font.setStyleHint(QFont::TypeWriter);
      font.setPixelSize(1200 * 10 / 72);
      const int body = QFontMetrics(font, &pdf).height();
      font.setPixelSize(1200 * 8 / 72);
      const int footer = QFontMetrics(font, &pdf).height();
      const int w = c.width - 4 * margin, h = c.height - 4 * margin;
      QPainter painter(&pdf);
      QtDeviceContext dc(painter, true);
      ReportPrintJob job;
      PrintOptions options;
      job.Begin(dc, page, options, *doc, nullptr);
      linesPerPage = job.LinesPerPage();
      EXPECT_EQ(linesPerPage, (h - std::min(w, h) / 7 - footer) / body);
      EXPECT_EQ(job.BodyLineHeight(), body);
    }
    // Every node: three head lines and 201 rows, linesPerPage - 1 lines to a page.
    PrintOptions everyNode{0, 0, 0, 1, 3};
    ASSERT_EQ(WriteReportPdf(*doc, everyNode, prompter_, {}, path,
                             ReportPageLayout(c.letter, false)),
              "");
    const int perPage = linesPerPage - 1;
    EXPECT_EQ(PdfInfo(path, "Pages"), std::to_string((204 + perPage - 1) / perPage));
    const auto pages = PageLines(path);
    ASSERT_GE(pages.size(), 2u);
    char x[32];
    std::snprintf(x, sizeof x, "%.3f ", 1.8 * (perPage - 3));  // the first row of page 2
    EXPECT_EQ(pages[1][0].substr(0, std::string(x).size()), x);
    EXPECT_EQ(pages[0].size(), static_cast<size_t>(perPage));  // less the rule, and the footer
  }
}

TEST_F(ReportPdfTest, HeaderPictureFromTheFirstFolderThatHasOne) {
  const std::string empty = Folder("empty", false), logo = Folder("logo", true);
  EXPECT_FALSE(LoadHeaderPicture(DefaultFileAccess(), {empty}));
  EXPECT_FALSE(LoadHeaderPicture(DefaultFileAccess(), {}));
  const HeaderPainter header = LoadHeaderPicture(DefaultFileAccess(), {empty, logo});
  ASSERT_TRUE(header);

  const auto doc = Model(kEnglish);
  const std::string with = Path("with.pdf"), without = Path("without.pdf");
  PrintOptions options;
  ASSERT_EQ(WriteReportPdf(*doc, options, prompter_, header, with, ReportPageLayout(false, false)),
            "");
  ASSERT_EQ(WriteReportPdf(*doc, options, prompter_, {}, without, ReportPageLayout(false, false)),
            "");
  // With the picture the body starts 1 + trunc(W / 7) pixels and one body line lower, W the
  // area's width (A4 less four margins); the footer stays.
  QPdfWriter probe(QString::fromStdString(Path("probe.pdf")));
  probe.setResolution(1200);
  probe.setPageLayout(ReportPageLayout(false, false));
  const int margin = probe.pageLayout().paintRectPixels(1200).left();
  QFont font("Courier New");
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(1200 * 10 / 72);
  const int body = QFontMetrics(font, &probe).height();
  const int width = 9917 - 4 * margin;
  for (int page = 1; page <= 3; ++page) {
    SCOPED_TRACE(page);
    const char* first = page == 1 ? "Description:" : page == 2 ? "Reactions" : "Analysis";
    const Word down = FindWord(with, page, first), up = FindWord(without, page, first);
    EXPECT_NEAR(down.yMin - up.yMin, (1 + width / 7 + body) * kPointsPerPixel, 0.05);
    EXPECT_NEAR(FindWord(with, page, "3.20").yMax, FindWord(without, page, "3.20").yMax, 0.01);
  }
}

// A page drawn onto an A4 image at 150 dots per inch: the header box (the area's full width,
// a seventh of that high) holds the picture; without one the box's right half stays white
// on the summary page, whose first lines are short.
TEST_F(ReportPdfTest, HeaderBoxOnAnImage) {
  const auto doc = Model(kEnglish);
  const HeaderPainter logo = LoadHeaderPicture(DefaultFileAccess(), {Folder("logo", true)});
  ASSERT_TRUE(logo);
  // 10 mm margins: 59 pixels; the area is 1240 - 4 x 59 = 1004 wide, its box 143 high.
  const PrinterPage page{1240, 1754, 59, 59, 1122, 1636, 150, 150, false};
  const QRect rightHalf(59 + 502, 59, 502, 143);
  for (bool picture : {true, false}) {
    SCOPED_TRACE(picture ? "picture" : "none");
    QImage image(1240, 1754, QImage::Format_RGB32);
    image.setDotsPerMeterX(5906);
    image.setDotsPerMeterY(5906);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      QtDeviceContext dc(painter, true);
      ReportPrintJob job;
      PrintOptions options;
      ASSERT_EQ(job.Begin(dc, page, options, *doc, nullptr), 3);
      job.PrintPage(dc, 3, picture ? logo : HeaderPainter());
    }
    int dark = 0;
    for (int y = rightHalf.top(); y <= rightHalf.bottom(); ++y)
      for (int x = rightHalf.left(); x <= rightHalf.right(); ++x)
        dark += image.pixel(x, y) != qRgb(255, 255, 255);
    if (picture) EXPECT_GT(dark, 500);
    else EXPECT_EQ(dark, 0);
    // The picture keeps to its box: the margin above the area stays white (but for the round
    // end of a wide pen on the box's edge).
    int above = 0;
    for (int y = 0; y < 59 - 2; ++y)
      for (int x = 0; x < 1240; ++x) above += image.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_EQ(above, 0);
  }
}

// ---- Print Options dialog ----

// Runs `act` on the next modal window once it shows; gives up after ten seconds.
void OnNextModal(const std::function<void(QWidget*)>& act) {
  auto* timer = new QTimer;
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  QObject::connect(timer, &QTimer::timeout, [timer, clock, act] {
    QWidget* w = QApplication::activeModalWidget();
    if (w && w->isVisible()) {
      timer->stop();
      timer->deleteLater();
      act(w);
    } else if (clock->elapsed() > 10000) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "no modal window appeared";
    }
  });
  timer->start(10);
}

std::vector<bool> PointsEnabled(const CPrintOptionsDlg& dialog) {
  std::vector<bool> enabled;
  for (int id = 0; id < 4; ++id) enabled.push_back(dialog.Points()->button(id)->isEnabled());
  return enabled;
}

const std::vector<bool> kAllOn(4, true), kAllOff(4, false);

// Clicks a check box or radio button on its indicator (the middle of a box that its layout
// stretched lies beyond the label and takes no clicks).
void Click(QAbstractButton* button) {
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

TEST(PrintOptionsDialog, DataPointsFollowDetailsAtOpeningAndAtEveryClick) {
  CPrintOptionsDlg dialog(PrintOptions{1, 0, 1, 0, 3}, nullptr);
  EXPECT_EQ(dialog.windowTitle(), "Print Options");
  EXPECT_TRUE(dialog.Box("input")->isChecked());
  EXPECT_FALSE(dialog.Box("diagrams")->isChecked());
  EXPECT_TRUE(dialog.Box("summary")->isChecked());
  EXPECT_FALSE(dialog.Box("details")->isChecked());
  EXPECT_EQ(dialog.Box("summary")->text(), "Summary of results");
  const char* labels[] = {"25", "50", "100", "200+"};
  for (int id = 0; id < 4; ++id) EXPECT_EQ(dialog.Points()->button(id)->text(), labels[id]);
  EXPECT_EQ(dialog.Points()->checkedId(), 3);
  EXPECT_EQ(PointsEnabled(dialog), kAllOff);
  dialog.show();
  Click(dialog.Box("details"));
  EXPECT_EQ(PointsEnabled(dialog), kAllOn);
  Click(dialog.Box("details"));
  EXPECT_EQ(PointsEnabled(dialog), kAllOff);
  QTest::keyClick(dialog.Box("details"), Qt::Key_Space);
  EXPECT_EQ(PointsEnabled(dialog), kAllOn);

  CPrintOptionsDlg withDetails(PrintOptions{0, 0, 0, 1, 0}, nullptr);
  EXPECT_EQ(PointsEnabled(withDetails), kAllOn);
  EXPECT_EQ(withDetails.Points()->checkedId(), 0);
}

TEST(PrintOptionsDialog, HelpButtonLeavesTheDialogOpen) {
  CPrintOptionsDlg dialog(PrintOptions{}, nullptr);
  dialog.show();
  auto* buttons = dialog.findChild<QDialogButtonBox*>();
  ASSERT_NE(buttons, nullptr);
  EXPECT_NE(buttons->button(QDialogButtonBox::Ok), nullptr);
  EXPECT_NE(buttons->button(QDialogButtonBox::Cancel), nullptr);
  QPushButton* help = buttons->button(QDialogButtonBox::Help);
  ASSERT_NE(help, nullptr) << "the dialog has no Help button";
  QTest::mouseClick(help, Qt::LeftButton);
  EXPECT_TRUE(dialog.isVisible());
}

// The File menu's Print Options: OK takes all five values, Cancel none.
TEST(PrintOptionsDialog, OkKeepsTheFiveValuesAndCancelNone) {
  MemorySettings settings;
  PrintOptions options;  // 1, 1, 1, 0, points 2
  CMainFrame frame(settings, options);
  auto change = [](QWidget* w, QDialogButtonBox::StandardButton close) {
    auto* dialog = qobject_cast<CPrintOptionsDlg*>(w);
    if (!dialog) {
      ADD_FAILURE() << "expected the Print Options dialog, got " << w->metaObject()->className();
      w->close();
      return;
    }
    for (const char* box : {"input", "summary", "details"})
      Click(dialog->Box(box));
    Click(dialog->Points()->button(0));
    QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(close), Qt::LeftButton);
  };
  OnNextModal([&](QWidget* w) { change(w, QDialogButtonBox::Cancel); });
  frame.Action("printOptions")->trigger();
  EXPECT_EQ(options.m_bPrintInput, 1);
  EXPECT_EQ(options.m_bPrintDiagrams, 1);
  EXPECT_EQ(options.m_bPrintSummary, 1);
  EXPECT_EQ(options.m_bPrintDetails, 0);
  EXPECT_EQ(options.m_nDataPoints, 2);

  OnNextModal([&](QWidget* w) { change(w, QDialogButtonBox::Ok); });
  frame.Action("printOptions")->trigger();
  EXPECT_EQ(options.m_bPrintInput, 0);
  EXPECT_EQ(options.m_bPrintDiagrams, 1);
  EXPECT_EQ(options.m_bPrintSummary, 0);
  EXPECT_EQ(options.m_bPrintDetails, 1);
  EXPECT_EQ(options.m_nDataPoints, 0);
}

// ---- Progress of long print runs ----

// The progress box's Cancel stops the printing before the next page; untouched, every page
// is printed and the box is gone afterwards.
TEST(PrintProgress, CancelStopsBeforeTheNextPageAndTheBoxGoes) {
  QWidget window;
  int printed = 0;
  bool done = PrintWithProgress(&window, [&](const PrintProgress& progress) {
    for (int page = 0; page < 40; ++page) {
      if (!progress(page, 40)) break;
      ++printed;
      if (page == 9) {
        auto* box = window.findChild<QProgressDialog*>("printProgress");
        ASSERT_NE(box, nullptr);
        box->cancel();
      }
    }
  });
  EXPECT_FALSE(done);
  EXPECT_EQ(printed, 10);
  EXPECT_EQ(window.findChild<QProgressDialog*>("printProgress"), nullptr);

  printed = 0;
  done = PrintWithProgress(&window, [&](const PrintProgress& progress) {
    for (int page = 0; page < 40 && progress(page, 40); ++page) ++printed;
  });
  EXPECT_TRUE(done);
  EXPECT_EQ(printed, 40);
}

// The window's preview draws into a printer of its own (freed with the preview); the page
// setup chosen in the preview comes back to the window's printer.
TEST(WindowPrinting, PreviewKeepsItsPageSetupAndDrawsOnItsOwnPrinter) {
  MemorySettings settings;
  PrintOptions options;
  CMainFrame frame(settings, options);
  frame.Document().SetLines(nullptr, kEnglish);
  OnNextModal([&](QWidget* w) {
    if (auto* preview = w->findChild<QPrintPreviewWidget*>()) {
      preview->setLandscapeOrientation();
      preview->updatePreview();
    }
    w->close();
  });
  frame.Action("printPreview")->trigger();
  EXPECT_EQ(frame.Printer().pageLayout().orientation(), QPageLayout::Landscape);
}

// ---- The window's print commands ----

TEST(WindowPrinting, PreviewAndExportShowTheReportPages) {
  MemorySettings settings;
  PrintOptions options;
  CMainFrame frame(settings, options);
  frame.Document().SetLines(nullptr, kEnglish);
  RunModel(frame.Document());
  int previewPages = -1;
  OnNextModal([&](QWidget* w) {
    if (auto* preview = w->findChild<QPrintPreviewWidget*>()) {
      preview->updatePreview();
      previewPages = preview->pageCount();
    }
    w->close();
  });
  frame.Action("printPreview")->trigger();
  EXPECT_EQ(previewPages, 3);

  QTemporaryDir dir;
  const QString path = dir.filePath("window.pdf");
  EXPECT_EQ(frame.ExportReportPdf(path).message(), "");
  EXPECT_EQ(PdfInfo(path.toStdString(), "Pages"), "3");
  const auto pages = PageLines(path.toStdString());
  ASSERT_EQ(pages.size(), 3u);
  // The window prints the header picture it finds beside the program (the build folder has
  // the shipped one), so the summary may start below the picture's text.
  const auto& summary = pages[2];
  EXPECT_NE(std::find(summary.begin(), summary.begin() + std::min<size_t>(5, summary.size()),
                      "Analysis Data:"),
            summary.begin() + std::min<size_t>(5, summary.size()));
}

}  // namespace
}  // namespace spanlab
