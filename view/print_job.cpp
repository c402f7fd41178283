#include "view/print_job.h"

#include <algorithm>
#include <optional>

#include "model/line_text.h"
#include "report/metafile.h"

#include "view/beam_drawing.h"
#include "view/combination_view.h"
#include "view/design_drawing.h"
#include "view/diagrams.h"
#include "view/results_paint.h"

namespace spanlab {

namespace {

int TextHeight(DeviceContext& dc, const Font& font) {
  const Font previous = dc.SelectFont(font);
  const int height = dc.GetTextExtent("A").cy;
  dc.SelectFont(previous);
  return std::max(1, height);
}

int TextWidth(DeviceContext& dc, const Font& font) {
  const Font previous = dc.SelectFont(font);
  const int width = dc.GetTextExtent("A").cx;
  dc.SelectFont(previous);
  return std::max(1, width);
}

// The first `count` characters of `text`, read as a device context reads text: UTF-8 when the
// whole text is valid UTF-8, else Latin-1, one character a byte. A Latin-1 start is passed on
// in UTF-8, so that cutting the text cannot change how its characters read.
std::string LeadingCharacters(const std::string& text, size_t count) {
  if (IsValidUtf8(text)) {
    size_t end = 0;
    for (size_t characters = 0; end < text.size(); ++end) {
      const bool startsCharacter = (static_cast<unsigned char>(text[end]) & 0xC0) != 0x80;
      if (startsCharacter && characters++ == count) break;
    }
    return text.substr(0, end);
  }
  std::string out;
  out.reserve(2 * count);
  for (size_t i = 0; i < count && i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
    } else {
      out.push_back(static_cast<char>(0xC0 | (b >> 6)));
      out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
    }
  }
  return out;
}

}  // namespace

HeaderPainter LoadHeaderPicture(FileAccess& files, const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    std::optional<Metafile> picture = LoadReportPicture(files, folder + "/splx.wmf");
    if (!picture) continue;
    if (picture->widthHundredthsMm == 0 || picture->heightHundredthsMm == 0) return {};
    return [picture = std::move(*picture)](DeviceContext& dc, int left, int top, int width,
                                           int height) {
      PlayMetafile(dc, picture, left, top, width, height);
      return true;
    };
  }
  return {};
}

int ReportPrintJob::PenUnitFor(int dpiY) { return std::clamp(dpiY / 100, 1, 5); }

ReportPrintJob::Area ReportPrintJob::DrawingArea(bool squareOnLandscape) const {
  const PrinterPage& p = m_page;
  const int rightMargin = p.physicalWidth - p.offsetX - p.printableWidth;
  const int bottomMargin = p.physicalHeight - p.offsetY - p.printableHeight;
  Area a{p.offsetX, p.offsetY, p.printableWidth - rightMargin, p.printableHeight - bottomMargin};
  if (squareOnLandscape && p.landscape) a.right = a.left + (a.bottom - a.top);
  return a;
}

int ReportPrintJob::Begin(DeviceContext& dc, const PrinterPage& page, PrintOptions& options,
                          const CSPLX_30Doc& doc, Prompter* prompter) {
  m_doc = &doc;
  m_page = page;
  m_nBodyLineHeight = TextHeight(dc, m_bodyFont);
  m_nFooterLineHeight = TextHeight(dc, m_footerFont);
  const Area a = DrawingArea(false);
  const int w = a.right - a.left, h = a.bottom - a.top;
  // The header box and the footer are taken off the body.
  m_nLinesPerPage = std::max(1, (h - std::min(w, h) / 7 - m_nFooterLineHeight) / m_nBodyLineHeight);
  // Twice the characters of the fixed-pitch body font that span the page: room for glyphs of
  // other fonts narrower than its own.
  m_nLineCharacters = 2 * (static_cast<size_t>(std::max(0, w)) /
                           static_cast<size_t>(TextWidth(dc, m_bodyFont)) + 1);
  if (options.AllReportsOff()) {
    if (prompter) prompter->Notify(kAllReportsOffMessage);
    options.RestoreDefaultsIfAllOff();
  }
  m_builder.Clear();
  m_builder.SetLinesPerPage(m_nLinesPerPage);
  if (options.m_bPrintInput) {
    m_builder.NewPage();
    m_builder.BuildInputReport(doc);
  }
  if (options.m_bPrintDiagrams) {
    m_builder.NewPage();
    m_builder.AddDiagramsMarker();
  }
  if (options.m_bPrintSummary) {
    m_builder.NewPage();
    m_builder.BuildSummaryReport(doc);
  }
  if (options.m_bPrintDetails) {
    m_builder.NewPage();
    m_builder.BuildDetailsReport(doc, options.m_nDataPoints, false);
  }
  // The envelope report, or with combinations and checks their reports, each on a new page.
  if (options.m_bPrintSummary || options.m_bPrintDetails) {
    for (const AppendixReport report : AppendixReports(doc)) {
      m_builder.NewPage();
      m_builder.BuildAppendixReport(doc, report, options.m_nDataPoints);
    }
  }
  m_nPageCount = m_builder.CurrentPage();
  IndexPages();
  return m_nPageCount;
}

void ReportPrintJob::IndexPages() {
  // The builder numbers its lines in order, so each page is one stretch of the list.
  const std::vector<CReportLine>& lines = m_builder.Lines();
  m_pageStart.assign(static_cast<size_t>(std::max(0, m_nPageCount)) + 2, lines.size());
  for (size_t i = lines.size(); i-- > 0;) {
    const int page = lines[i].page;
    if (page >= 1 && page <= m_nPageCount) m_pageStart[static_cast<size_t>(page)] = i;
  }
  // A page without lines starts where the next one does.
  for (size_t p = m_pageStart.size() - 1; p-- > 1;) {
    m_pageStart[p] = std::min(m_pageStart[p], m_pageStart[p + 1]);
  }
}

void ReportPrintJob::PrintPage(DeviceContext& dc, int page, const HeaderPainter& header) {
  Area a = DrawingArea(true);
  const int width = a.right - a.left;
  if (header && header(dc, a.left, a.top, width, width / 7)) {
    a.top += 1 + width / 7 + m_nBodyLineHeight;
  }
  // Footer: the program and its version at the bottom right.
  Font previousFont = dc.SelectFont(m_footerFont);
  unsigned previousAlign = dc.SetTextAlign(kAlignRight | kAlignBottom);
  dc.TextOut(a.right, a.bottom, kProgramNameAndVersion);
  a.bottom -= m_nFooterLineHeight;
  dc.SelectFont(m_bodyFont);
  dc.SetTextAlign(kAlignLeft | kAlignTop);
  const std::vector<CReportLine>& lines = m_builder.Lines();
  const bool indexed = page >= 1 && page <= m_nPageCount;
  const size_t begin = indexed ? m_pageStart[static_cast<size_t>(page)] : lines.size();
  const size_t end = indexed ? m_pageStart[static_cast<size_t>(page) + 1] : lines.size();
  for (size_t i = begin; i < end; ++i) {
    const CReportLine& line = lines[i];
    if (line.page != page) continue;
    if (IsRuleLine(line.text)) {
      dc.MoveTo(a.left, a.top);
      dc.LineTo(a.left + dc.GetTextExtent(line.text).cx, a.top);
    } else if (IsDiagramsLine(line.text)) {
      PrintDiagramsPage(dc, a);
      continue;  // the top stays
    } else if (line.text.size() > m_nLineCharacters) {
      // Only the start of a line longer than the page is wide can be seen: the rest is not
      // laid out (a line of 100 MB would take gigabytes and minutes).
      dc.TextOut(a.left, a.top, LeadingCharacters(line.text, m_nLineCharacters));
    } else {
      dc.TextOut(a.left, a.top, line.text);
    }
    a.top += m_nBodyLineHeight;
  }
  dc.SetTextAlign(previousAlign);
  dc.SelectFont(previousFont);
}

void ReportPrintJob::ReleasePage(int page) {
  if (page < 1 || page > m_nPageCount) return;
  m_builder.ReleaseLines(m_pageStart[static_cast<size_t>(page)],
                         m_pageStart[static_cast<size_t>(page) + 1]);
}

void ReportPrintJob::PrintDiagramsPage(DeviceContext& dc, const Area& area) {
  const ModelItems& items = m_doc->GetItems();
  const CBeamAnalysis& a = m_doc->GetAnalysis();
  if (a.m_nNodes <= 0 || !(a.m_dLength > 0)) {
    dc.TextOut(area.left, area.top, "Diagrams are not available.");
    return;
  }
  const int g = (area.bottom - area.top) / 5;  // band height
  const double amplitude = 0.3 * g;
  const std::string force = items.GetUnitLabel(kQuantityForce);
  const bool mechanism = StoppedAsMechanism(a);
  // With load combinations the bands show the envelope over them, each band saying which one;
  // the reactions are the single analysis's.
  const DesignResults& design = m_doc->GetDesign();
  const bool combined = design.HasCombinations() && !m_doc->GetEnvelope().empty();
  auto source = [&](std::optional<BeamQuantity> q) {
    if (!combined) return std::string();
    return "  (" + (q ? DiagramSourceText(design, {}, false, *q) : "Single analysis") + ")";
  };
  dc.TextOut(area.left, area.top,
             mechanism       ? std::string(kMechanismNotice)
             : force.empty() ? "Reactions - Consistent" + source(std::nullopt)
                             : "Reactions - " + force + ", " +
                                   items.GetUnitLabel(kQuantityMoment) + source(std::nullopt));
  DrawingFrame frame;
  frame.left = area.left + static_cast<int>(0.1 * (area.right - area.left));
  frame.right = area.right - 3 * m_nBodyLineHeight;
  frame.sx = static_cast<float>(0.006 * g);
  frame.sy = frame.sx * static_cast<float>(m_page.dpiY) / static_cast<float>(m_page.dpiX);
  frame.length = a.m_dLength;
  frame.penUnit = PenUnitFor(m_page.dpiY);
  frame.baseline = area.top + g / 2;
  DrawBeamPicture(dc, frame, items);
  if (mechanism) return;  // the stopped solution's reactions are no result
  DrawReactions(dc, frame, items, a, 1);
  if (a.m_bError) return;  // an unstable beam shows its picture and reactions only
  const bool checks = combined || !design.checks.empty() || !items.m_capacities.empty();
  if (checks) DrawFailedSpans(dc, frame, a.m_dLength, design);
  // One band for each diagram quantity, in the table's order.
  for (int b = 0; b < kBeamQuantityCount; ++b) {
    const BeamQuantityRecord& r = RecordOf(kBeamQuantities[static_cast<size_t>(b)]);
    frame.baseline = area.top + static_cast<int>((1.5 + b) * g);
    dc.TextOut(area.left, frame.baseline - g / 2,
               DiagramTitle(r.name, items.GetUnitLabel(r.unit)) + source(r.id));
    DrawBeam(dc, frame);
    if (combined) {
      DrawEnvelope(dc, frame, items, a, m_doc->GetEnvelope(), r.id, amplitude, 1, &design);
    } else {
      DrawDiagram(dc, frame, items, a, r.id, amplitude, 1, checks ? &design : nullptr);
    }
  }
}

}  // namespace spanlab
