// The device context on a QPainter, checked on images pixel by pixel, and the pictures the
// drawing routines make through it.
#include "platform/qt_device_context.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "analysis/element_values.h"
#include "model/number_text.h"
#include "platform/qt_glyph_runs.h"
#include "run/document.h"
#include "view/beam_drawing.h"
#include "view/diagrams.h"
#include "view/results_paint.h"

namespace spanlab {
namespace {

// Fonts need a GUI application; without a display it runs offscreen.
class GuiEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
      runtimeDir_ = std::make_unique<QTemporaryDir>();
      qputenv("XDG_RUNTIME_DIR", runtimeDir_->path().toLocal8Bit());
    }
    static int argc = 1;
    static char name[] = "qt_device_context_test";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QGuiApplication>(argc, argv);
  }
  void TearDown() override {
    app_.reset();
    runtimeDir_.reset();
  }

 private:
  std::unique_ptr<QTemporaryDir> runtimeDir_;  // Qt wants a private runtime folder
  std::unique_ptr<QGuiApplication> app_;
};
[[maybe_unused]] testing::Environment* const kGui =
    testing::AddGlobalTestEnvironment(new GuiEnvironment);

// A white 96-dpi image, painted by `paint`.
QImage Paint(int w, int h, const std::function<void(QPainter&)>& paint) {
  QImage image(w, h, QImage::Format_RGB32);
  image.setDotsPerMeterX(3780);
  image.setDotsPerMeterY(3780);
  image.fill(Qt::white);
  QPainter painter(&image);
  paint(painter);
  return image;
}

// Pixels that are not white.
QRect InkBounds(const QImage& image) {
  QRect r;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != qRgb(255, 255, 255)) r |= QRect(x, y, 1, 1);
    }
  }
  return r;
}

int DifferentPixels(const QImage& a, const QImage& b) {
  int n = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
  }
  return n;
}

TEST(QtDeviceContextTest, TextPlacedByAlignmentAndFontMetrics) {
  struct Case {
    unsigned align;
    // Where the text's left end and baseline must be for a reference point (x, y).
    std::function<QPoint(const QFontMetrics&, int w)> origin;
  } cases[] = {
      {kAlignLeft | kAlignTop,
       [](const QFontMetrics& m, int) { return QPoint(150, 60 + m.ascent()); }},
      {kAlignCenter | kAlignTop,
       [](const QFontMetrics& m, int w) { return QPoint(150 - w / 2, 60 + m.ascent()); }},
      {kAlignCenter | kAlignBottom,
       [](const QFontMetrics& m, int w) { return QPoint(150 - w / 2, 60 - m.descent()); }},
      {kAlignRight | kAlignBaseline,
       [](const QFontMetrics&, int w) { return QPoint(150 - w, 60); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.align);
    TextSize extent;
    const QImage drawn = Paint(300, 120, [&](QPainter& p) {
      QtDeviceContext dc(p, false);
      dc.SetTextAlign(c.align);
      dc.TextOut(150, 60, "Spanlab 12.5");
      extent = dc.GetTextExtent("Spanlab 12.5");
    });
    const QImage expected = Paint(300, 120, [&](QPainter& p) {
      QtDeviceContext dc(p, false);  // the same painter settings and font
      const QFontMetrics m(p.font(), p.device());
      EXPECT_EQ(p.font().pixelSize(), 13);  // 10 points at 96 dpi
      EXPECT_EQ(extent.cx, m.horizontalAdvance("Spanlab 12.5"));
      EXPECT_EQ(extent.cy, m.height());
      p.setPen(Qt::black);
      p.drawText(c.origin(m, extent.cx), "Spanlab 12.5");
    });
    EXPECT_EQ(DifferentPixels(drawn, expected), 0);
    const QRect ink = InkBounds(drawn);
    const unsigned vertical = c.align & kAlignBaseline;
    if (vertical == kAlignBottom) {
      EXPECT_LT(ink.bottom(), 60);
    } else if (vertical == kAlignTop) {
      EXPECT_GE(ink.top(), 60);
    }
  }
}

// The print preview draws text without saving the painter's state around each line: the
// lines, in the pen's colour or another, and the strokes after them must look the same.
TEST(QtDeviceContextTest, TextWithoutStateChangesLooksTheSame) {
  auto draw = [](bool lean) {
    return Paint(300, 120, [lean](QPainter& p) {
      QtDeviceContext dc(p, false);
      dc.SetTextWithoutStateChanges(lean);
      dc.TextOut(10, 10, "Black text in a black pen");
      dc.SetTextColor(Rgb{0, 0, 255});
      dc.TextOut(10, 40, "Blue text in a black pen");
      dc.SetTextColor(Rgb{0, 0, 0});
      const Pen red{2, Rgb{255, 0, 0}};
      dc.SelectPen(red);
      dc.TextOut(10, 70, "Black text in a red pen");
      dc.MoveTo(10, 110);
      dc.LineTo(290, 110);
    });
  };
  const QImage saved = draw(false);
  const QImage lean = draw(true);
  EXPECT_GT(InkBounds(saved).height(), 90);
  EXPECT_EQ(DifferentPixels(saved, lean), 0);
}

// A 1200-dpi PDF, as reports are printed, written into memory.
struct MemoryPdf {
  MemoryPdf() : pdf(&buffer) {
    buffer.open(QIODevice::WriteOnly);
    pdf.setResolution(1200);
  }
  QBuffer buffer;
  QPdfWriter pdf;
};

// The bytes of a 1200-dpi PDF page with text of every kind a report prints, drawn as glyph
// runs once a font has drawn `shapedFirst` texts (never when negative); the creation time is
// blanked.
QByteArray ReportTextPdf(int shapedFirst) {
  MemoryPdf memory;
  {
    QPainter painter(&memory.pdf);
    QtDeviceContext dc(painter, true);
    dc.SetGlyphRunsAfter(shapedFirst);
    int y = 100;
    auto line = [&](const std::string& text) {
      dc.TextOut(200, y, text);
      y += 200;
    };
    line("Support: X = 1000000; Disp = 0;");
    line("  12.5000     -3.1250e+02   ~!\"#$%&'()*+,-./:;<=>?@[]^_`{|}");
    line("");                       // nothing drawn
    line("Rotation - \xc2\xb0");  // not ASCII: shaped
    line("Latin-1 \xe9t\xe9");
    dc.SetTextColor(Rgb{0, 0, 255});
    line("Blue text");
    dc.SetTextColor(Rgb{0, 0, 0});
    dc.SelectFont(Font{"Courier New", 8});
    dc.SetTextAlign(kAlignRight | kAlignBottom);
    line("Spanlab 3.20");
    dc.SelectFont(Font{"Arial", 12, 0, true});
    dc.SetTextAlign(kAlignCenter | kAlignBaseline);
    line("Moment - kip-ft");
    dc.SelectFont(Font{"Courier New", 10});
    dc.SetTextAlign(kAlignLeft | kAlignTop);
    line("Support: X = 2; Disp = 0;");
  }
  QByteArray bytes = memory.buffer.data();
  const qsizetype date = bytes.indexOf("/CreationDate (");
  if (date >= 0) bytes.remove(date, bytes.indexOf(')', date) - date + 1);
  return bytes;
}

// A million-line report is printed without shaping each line: its PDF must not change a byte.
TEST(QtDeviceContextTest, PdfTextAsGlyphRunsWritesTheBytesOfShapedText) {
  const QByteArray shaped = ReportTextPdf(-1);
  EXPECT_GT(shaped.size(), 1000);
  for (const int shapedFirst : {0, 1}) {  // every text a run, or the first of each font shaped
    const QByteArray runs = ReportTextPdf(shapedFirst);
    EXPECT_TRUE(shaped == runs) << shaped.size() << " bytes shaped, " << runs.size()
                                << " with runs after " << shapedFirst;
  }
}

TEST(QtDeviceContextTest, ReportFontGlyphTableIsUsableAndTakesOnlyAscii) {
  MemoryPdf memory;
  QPainter painter(&memory.pdf);
  QtDeviceContext dc(painter, true);
  dc.SelectFont(Font{"Courier New", 10});
  AsciiGlyphRuns table(painter.font(), painter.device());
  ASSERT_TRUE(table.Usable());  // else every report line is shaped again
  QGlyphRun run;
  ASSERT_TRUE(table.Make("X = 1;", run));
  ASSERT_EQ(run.glyphIndexes().size(), 6);
  EXPECT_EQ(run.glyphIndexes()[0], run.rawFont().glyphIndexesForString("X").front());
  // Monospaced: the n-th glyph stands n advances from the first.
  const double advance = run.positions()[1].x();
  EXPECT_GT(advance, 0);
  EXPECT_EQ(run.positions()[5].x(), 5 * advance);
  EXPECT_FALSE(table.Make("", run));
  EXPECT_FALSE(table.Make("\xc2\xb0", run));
  EXPECT_FALSE(table.Make("tab\there", run));
  painter.end();
}

TEST(QtDeviceContextTest, FrameRectIsOneUnitInsideItsBox) {
  const QImage image = Paint(40, 40, [](QPainter& p) {
    QtDeviceContext dc(p, false);
    dc.FrameRect(10, 12, 21, 23, {128, 0, 128});
  });
  const QRgb purple = qRgb(128, 0, 128);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      const bool inBox = x >= 10 && x <= 20 && y >= 12 && y <= 22;
      const bool border = inBox && (x == 10 || x == 20 || y == 12 || y == 22);
      ASSERT_EQ(image.pixel(x, y), border ? purple : qRgb(255, 255, 255)) << x << "," << y;
    }
  }
}

TEST(QtDeviceContextTest, PensDrawTheirColourAndWidth) {
  const QImage image = Paint(60, 40, [](QPainter& p) {
    QtDeviceContext dc(p, false);
    const Pen previous = dc.SelectPen({1, {255, 0, 0}});
    EXPECT_EQ(previous, (Pen{1, {0, 0, 0}}));
    dc.MoveTo(5, 5);
    dc.LineTo(30, 5);
    dc.SelectPen({3, {0, 150, 0}});
    dc.MoveTo(10, 20);
    dc.LineTo(40, 20);
  });
  EXPECT_EQ(image.pixel(5, 5), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(30, 5), qRgb(255, 0, 0));  // the end point is drawn
  EXPECT_EQ(image.pixel(31, 5), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(17, 4), qRgb(255, 255, 255));
  for (int y : {19, 20, 21}) EXPECT_EQ(image.pixel(25, y), qRgb(0, 150, 0)) << y;
  EXPECT_EQ(image.pixel(25, 18), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(25, 22), qRgb(255, 255, 255));
}

// A hinge: an open circle inside its box, right and bottom exclusive, hiding the beam line.
TEST(QtDeviceContextTest, HingeCoversTheBeamInsideItsBox) {
  const QImage alone = Paint(60, 40, [](QPainter& p) {
    QtDeviceContext dc(p, false);
    DrawHinge(dc, 30, 20, 1.0f, 1.0f);
  });
  EXPECT_EQ(InkBounds(alone), QRect(25, 15, 11, 11));  // x and y from 25 to 35
  const QImage onBeam = Paint(60, 40, [](QPainter& p) {
    QtDeviceContext dc(p, false);
    DrawingFrame f;
    f.left = 5;
    f.right = 55;
    f.baseline = 20;
    DrawBeam(dc, f);
    DrawHinge(dc, 30, 20, 1.0f, 1.0f);
  });
  for (int x = 27; x <= 33; ++x) EXPECT_EQ(onBeam.pixel(x, 20), qRgb(255, 255, 255)) << x;
  EXPECT_EQ(onBeam.pixel(25, 20), qRgb(0, 0, 0));
  EXPECT_EQ(onBeam.pixel(10, 20), qRgb(0, 0, 0));
}

// ---- Pictures of the paint against every node drawn ----

// Pins every 5 length units and uniform loads of alternating sign over every 0.05, so that
// the curves have many nodes in every device column and the shear zigzags inside each column.
// (Green loads under a blue shear curve: a stroke the curve misses shows.)
void JaggedBeam(CSPLX_30Doc& doc) {
  std::vector<std::string> lines = {"File Format:3.0",
                                    "Member Property: X = 0; E = 30000; I = 100;"};
  for (int i = 0; i <= 100; i += 5) {
    lines.push_back("Support: X = " + std::to_string(i) + "; Disp = 0;");
  }
  for (int i = 0; i < 2000; ++i) {
    const double u = (i % 2 == 0 ? 1.5 : -3.5) * (0.5 + i * 37 % 11 / 10.0);
    lines.push_back("Uniform Load: XStart = " + FormatGeneral(i * 0.05, 17) + "; XEnd = " +
                    FormatGeneral((i + 1) * 0.05, 17) + "; UStart = " + FormatGeneral(u, 17) +
                    "; UEnd = " + FormatGeneral(u, 17) + ";");
  }
  doc.SetLines(nullptr, std::move(lines));
  doc.BuildItems(true);
  doc.RunAnalysis();
}

// Paints the view with one curve through the core, and the same view with the beam picture,
// the title and labels through the core and the curve as a plain polyline through all
// `points`; the two must be the same pixels.
void ExpectSamePicture(CSPLX_30Doc& doc, ViewToggle curve, const std::string& title,
                       const Rgb color, const std::vector<QPoint>& points,
                       const std::vector<std::pair<double, QPoint>>& labels) {
  ResultsViewState state;
  state.m_cxClient = 200;
  state.m_cyClient = 120;
  ResultsViewState shown = state;
  ApplyToggle(shown.toggles, curve);
  const QImage reduced = Paint(200, 120, [&](QPainter& p) {
    QtDeviceContext dc(p, false);
    PaintResultsView(dc, doc, shown);
  });
  const QImage full = Paint(200, 120, [&](QPainter& p) {
    QtDeviceContext dc(p, false);
    PaintResultsView(dc, doc, state);
    dc.SelectFont(state.m_font);
    dc.SelectPen({1, color});
    dc.TextOut(5, 5, title);
    for (const auto& [value, at] : labels) DrawExtremeLabel(dc, value, at.x(), at.y(), 170);
    p.setPen(
        QPen(QColor(color.r, color.g, color.b), 1, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    for (size_t i = 1; i < points.size(); ++i) p.drawLine(points[i - 1], points[i]);
  });
  const int different = DifferentPixels(reduced, full);
  const std::string stem = testing::TempDir() + title.substr(0, title.find(' '));
  if (different != 0) {  // keep both pictures for a look
    reduced.save(QString::fromStdString(stem + "_reduced.png"));
    full.save(QString::fromStdString(stem + "_every_node.png"));
  }
  EXPECT_EQ(different, 0) << "pictures: " << stem << "_*.png";
  EXPECT_GT(DifferentPixels(reduced, Paint(200, 120,
                                           [&](QPainter& p) {
                                             QtDeviceContext dc(p, false);
                                             PaintResultsView(dc, doc, state);
                                           })),
            100);  // the curve is there
}

// The extreme labels a curve carries: the minimum when it is not above 0, the maximum when it
// is not below 0.
std::vector<std::pair<double, QPoint>> Labels(double minV, double xMin, double maxV, double xMax,
                                              const std::function<QPoint(double, double)>& at) {
  std::vector<std::pair<double, QPoint>> labels;
  if (minV <= 0) labels.push_back({minV, at(xMin, minV)});
  if (maxV >= 0) labels.push_back({maxV, at(xMax, maxV)});
  return labels;
}

TEST(ColumnReductionTest, DeflectionSamePixelsAsEveryNode) {
  CSPLX_30Doc doc;
  JaggedBeam(doc);
  const CBeamAnalysis& a = doc.GetAnalysis();
  ASSERT_GT(a.m_nNodes, 2000);
  // Frame of a 200 x 120 view: beam from 30 to 170 on y = 60; curves 50 units high.
  const double xs = 140 / a.m_dLength, ys = 50 / a.m_dMaxAbsDeflection;
  auto at = [&](double x, double v) {
    return QPoint(30 + static_cast<int>(xs * x), static_cast<int>(60 - ys * v));
  };
  // Every node and, between nodes, every point where the exact curve turns.
  std::vector<QPoint> points;
  for (int i = 1; i <= a.m_nNodes; ++i) {
    points.push_back(at(a.m_nodes[i].x, a.m_nodes[i].deflection));
    if (i > a.m_nElements) continue;
    const ElementSolution element(a, i);
    double s[4];
    const int n = element.StationaryPoints(BeamQuantity::kDeflection, s);
    for (int k = 0; k < n; ++k)
      points.push_back(at(element.XStart() + s[k], element.Value(BeamQuantity::kDeflection, s[k])));
  }
  ExpectSamePicture(
      doc, ViewToggle::kDeflection, "Deflection - Consistent", {255, 0, 255}, points,
      Labels(a.m_dMinDeflection, a.m_dXMinDeflection, a.m_dMaxDeflection, a.m_dXMaxDeflection, at));
}

TEST(ColumnReductionTest, ShearSamePixelsAsEveryElementEnd) {
  CSPLX_30Doc doc;
  JaggedBeam(doc);
  const CBeamAnalysis& a = doc.GetAnalysis();
  const double xs = 140 / a.m_dLength, ys = 50 / a.m_dMaxAbsShear;
  auto at = [&](double x, double v) {
    return QPoint(30 + static_cast<int>(xs * x), static_cast<int>(60 - ys * v));
  };
  std::vector<QPoint> points = {QPoint(30, 60), at(0, a.m_elements[1].shearStart)};
  for (int i = 1; i <= a.m_nElements; ++i) {
    if (i > 1) points.push_back(at(a.m_elements[i - 1].xEnd, a.m_elements[i].shearStart));
    points.push_back(at(a.m_elements[i].xEnd, -a.m_elements[i].shearEnd));
  }
  points.push_back(QPoint(points.back().x(), 60));
  ExpectSamePicture(doc, ViewToggle::kShear, "Shear - Consistent", {0, 0, 255}, points,
                    Labels(a.m_dMinShear, a.m_dXMinShear, a.m_dMaxShear, a.m_dXMaxShear, at));
}

// Hinges are filled circles: one drawn again after an overlapping neighbour covers that
// neighbour's outline, so skipping the repeat changes the picture.
TEST(BeamPicturePixelsTest, RepeatedHingeAfterAnOverlappingOneIsRedrawn) {
  ModelItems items;
  items.m_dBeamLength = 100;
  items.m_releases = {{50}, {52}, {50}};
  DrawingFrame f;
  f.left = 0;
  f.right = 200;
  f.baseline = 20;
  f.length = 100;
  const QImage walker = Paint(200, 40, [&](QPainter& p) {
    QtDeviceContext dc(p, false);
    DrawReleases(dc, f, items);
  });
  const QImage every = Paint(200, 40, [&](QPainter& p) {
    QtDeviceContext dc(p, false);
    for (const CMomentReleaseItem& r : items.m_releases) DrawHinge(dc, f.MapX(r.m_dX), 20, 1, 1);
  });
  EXPECT_EQ(DifferentPixels(walker, every), 0);
}

}  // namespace
}  // namespace spanlab
