// The printed report: pages of report lines in a fixed-pitch font under an optional header
// picture, with a footer, rule lines drawn as lines and a page of diagrams (for a beam that is
// a mechanism: the beam with its items under kMechanismNotice, no reactions or curves). With
// load combinations the diagrams page shows the envelope over them, each band's title saying
// which analysis it shows ("Moment - kip ft  (Envelope over strength combinations)"); with
// design checks the limits and the spans that fail one.
//
// The printer's page is described in device units. The drawing area is the printable area
// less, on each side, the printer's unprintable margin of that side's opposite number (left
// and top offsets, right and bottom margins), so the text keeps clear of the paper's edge.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/device_context.h"
#include "platform/file_access.h"
#include "platform/prompt.h"
#include "report/print_options.h"
#include "report/report_builder.h"
#include "run/document.h"

namespace spanlab {

struct PrinterPage {
  int physicalWidth = 0, physicalHeight = 0;  // the whole sheet
  int offsetX = 0, offsetY = 0;               // unprintable left and top margins
  int printableWidth = 0, printableHeight = 0;
  int dpiX = 300, dpiY = 300;
  bool landscape = false;  // the sheet is wider than high
};

inline constexpr const char* kAllReportsOffMessage =
    "The default report options have been set because all reports were turned off. You can "
    "set the reports to be printed by selecting Print Options in the File menu.";
inline constexpr const char* kProgramNameAndVersion = "Spanlab 3.20";

// Draws the header picture into a box; returns false when there is no picture.
using HeaderPainter = std::function<bool(DeviceContext& dc, int left, int top, int width,
                                         int height)>;

// The header painter for the picture file "splx.wmf" in the first of `folders` that holds one
// (loaded now, at print preparation); an empty painter when there is none or it is unusable.
HeaderPainter LoadHeaderPicture(FileAccess& files, const std::vector<std::string>& folders);

class ReportPrintJob {
 public:
  // Measures the fonts on `dc`, lays the page out, and builds the reports the options choose
  // (input data, diagrams, summary, details, each from a new page). With every report off the
  // options are set to their defaults after `prompter` showed kAllReportsOffMessage.
  // Returns the page count.
  int Begin(DeviceContext& dc, const PrinterPage& page, PrintOptions& options,
            const CSPLX_30Doc& doc, Prompter* prompter);

  // The pen unit of the drawing routines for a printer of `dpiY` dots per inch.
  static int PenUnitFor(int dpiY);

  // Prints page `page` (1-based). Takes time in proportion to the page's lines; of a line
  // longer than the page is wide only the characters that reach the page's edge are drawn.
  void PrintPage(DeviceContext& dc, int page, const HeaderPainter& header);
  // Frees the report lines of page `page`, printed for the last time: a report of a million
  // spans holds some 200 MB of lines, which a print preview would otherwise keep beside every
  // page it records. The page then prints as an empty one.
  void ReleasePage(int page);

  int LinesPerPage() const { return m_nLinesPerPage; }
  int PageCount() const { return m_nPageCount; }
  int BodyLineHeight() const { return m_nBodyLineHeight; }
  const ReportBuilder& Builder() const { return m_builder; }

  struct Area {
    int left = 0, top = 0, right = 0, bottom = 0;
  };
  // The drawing area of a page (square on landscape paper when `squareOnLandscape`).
  Area DrawingArea(bool squareOnLandscape) const;

 private:
  void PrintDiagramsPage(DeviceContext& dc, const Area& area);
  void IndexPages();

  const CSPLX_30Doc* m_doc = nullptr;
  PrinterPage m_page;
  ReportBuilder m_builder;
  Font m_bodyFont{"Courier New", 10};
  Font m_footerFont{"Courier New", 8};
  int m_nBodyLineHeight = 1;
  int m_nFooterLineHeight = 1;
  int m_nLinesPerPage = 1;
  int m_nPageCount = 0;
  // The most characters of a body line that are printed: more would lie beyond the page.
  size_t m_nLineCharacters = static_cast<size_t>(-1);
  // Index into the builder's lines of the first line of page p, for p = 1 .. page count + 1
  // (the last entry is the end of the list); [0] is unused.
  std::vector<size_t> m_pageStart;
};

}  // namespace spanlab
