#include "view/item_drag.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <string>
#include <vector>

#include "model/number_text.h"
#include "model/sections.h"
#include "run/run_driver.h"
#include "view/results_paint.h"

namespace spanlab {
namespace {

// A 20-foot beam with one item of every kind that moves. In a 1000 x 400 picture the beam runs
// from x 150 to 850 on the baseline y 200: a foot is 35 device units, X ft lies at 150 + 35 X.
const std::vector<std::string> kBeam = {
    "File Format:3.0",
    "Units:English;",
    "Member Property: X = 0; E = 29000; I = 448;",
    "Moment Release: X = 5;",
    "Support: X = 0; Disp = 0;",
    "Support: X = 20; Disp = 0;",
    "Spring: X = 8; VSpring = 100;",
    "Point Load: X = 10; PLoad = -5;",
    "Uniform Load: XStart = 12; XEnd = 16; UStart = -1; UEnd = -1;",
};

class ItemDragTest : public ::testing::Test {
 protected:
  void Load(const std::vector<std::string>& lines) {
    doc_.SetRunner(&runner_);
    doc_.SetLines(nullptr, lines);
    frame_ = ScreenFrame(1000, 400, doc_.GetBeamLength());
  }
  std::optional<DragItem> Pick(int x, int y) {
    return PickItem(doc_.GetItems(), doc_.GetLines(), frame_, x, y);
  }
  std::string Nudge(int section, size_t row, const std::string& text, int direction) {
    return NudgedLineText(doc_.GetItems(), doc_.GetLines(), frame_, section, row, text, direction);
  }

  ModelRunner runner_;
  CSPLX_30Doc doc_;
  DrawingFrame frame_;
};

constexpr double kNoLimit = INFINITY;

TEST_F(ItemDragTest, PressOnASymbolPicksItsItemWithinAFewPixels) {
  Load(kBeam);
  ASSERT_EQ(frame_.MapX(20 * 12), 850);
  struct Case {
    int x, y;
    int section;
    size_t row;
    int field;
    double start, upper;
  };
  const Case cases[] = {
      {150, 210, kSectionSupports, 0, 0, 0, 20},           // under the beam at its start
      {850 + 14, 222 + 4, kSectionSupports, 1, 0, 20, kNoLimit},  // the end: it sets the length
      {325, 200, kSectionReleases, 0, 0, 5, 20},
      {430, 215, kSectionSprings, 0, 0, 8, 20},
      {500, 170, kSectionPointLoads, 0, 0, 10, 20},
      {572, 190, kSectionUniformLoads, 0, 0, 12, 20},
      {708, 190, kSectionUniformLoads, 0, 1, 16, 20},
  };
  for (const Case& c : cases) {
    const std::optional<DragItem> item = Pick(c.x, c.y);
    ASSERT_TRUE(item) << c.x << "," << c.y;
    EXPECT_EQ(item->section, c.section) << c.x;
    EXPECT_EQ(item->row, c.row) << c.x;
    EXPECT_EQ(item->field, c.field) << c.x;
    EXPECT_DOUBLE_EQ(item->start, c.start) << c.x;
    EXPECT_EQ(item->lower, 0) << c.x;
    EXPECT_DOUBLE_EQ(item->upper, c.upper) << c.x;
  }
  // Empty space, the beam between symbols, and just beyond the tolerance.
  EXPECT_FALSE(Pick(600, 250));
  EXPECT_FALSE(Pick(380, 200));
  EXPECT_FALSE(Pick(500, 215)) << "a downward point load stands above the beam only";
  EXPECT_FALSE(Pick(150 + 10 + kPickTolerance + 1, 210));
  EXPECT_TRUE(Pick(150 + 10 + kPickTolerance, 210));
  EXPECT_FALSE(Pick(325, 200 - 5 - kPickTolerance - 1));
}

TEST_F(ItemDragTest, NearestSymbolWinsAndNothingIsPickedOnABeamWithoutLength) {
  std::vector<std::string> lines = kBeam;
  lines.push_back("Point Load: X = 12.2; PLoad = -2;");  // at 577, 7 units right of XStart
  Load(lines);
  EXPECT_EQ(Pick(572, 190)->section, kSectionUniformLoads);
  EXPECT_EQ(Pick(576, 190)->section, kSectionPointLoads);
  EXPECT_EQ(Pick(576, 190)->row, 1u);
  Load({"File Format:3.0", "Units:English;"});
  EXPECT_FALSE(Pick(150, 210));
}

TEST_F(ItemDragTest, StepIsOneTwoOrFiveTimesAPowerOfTenAndAtLeastFivePixels) {
  DrawingFrame f = ScreenFrame(1000, 400, 240);  // 20 ft: 35 units a foot
  EXPECT_DOUBLE_EQ(SnapStep(f, 12), 0.2);          // 0.1 ft would be 3.5 units
  EXPECT_DOUBLE_EQ(SnapStep(f, 1), 2);  // the same beam read as 240 consistent units
  f.length = 33330;  // a long beam in consistent units: 0.021 units a unit
  EXPECT_DOUBLE_EQ(SnapStep(f, 1), 500);
  f.length = 1;
  EXPECT_DOUBLE_EQ(SnapStep(f, 1), 0.01);  // 7 units exactly: 1 x 10^-2
  f.length = 0;
  EXPECT_EQ(SnapStep(f, 1), 0);
}

TEST_F(ItemDragTest, PositionsAreWrittenAsTheShortestTextThatReadsBackTheSame) {
  Load(kBeam);
  DragItem support = *Pick(150, 210);
  support.upper = 33.3333351;
  EXPECT_EQ(MovedLineText(support, " X = 0; Disp = 0;", 33.3333351), " X = 33.3333351; Disp = 0;");
  EXPECT_EQ(MovedLineText(support, " X = 0; Disp = 0;", 4642340), " X = 4642340; Disp = 0;");
  // A text longer than a dialog field takes is refused as the dialog would refuse it; the
  // snapped positions below never need one.
  EXPECT_EQ(MovedLineText(support, " X = 0; Disp = 0;", 0.1 + 0.2), "");
}

// At every pixel of the picture the snapped position is the nearest multiple of the step (or a
// limit), the double of a clean decimal; free positions (Shift) lie on the power of ten below
// a pixel (1/35 ft here: 0.01 ft).
TEST_F(ItemDragTest, EveryPixelGivesTheNearestCleanDecimalOfItsGrid) {
  Load(kBeam);
  const DragItem load = *Pick(500, 170);  // the point load: no other stands anywhere
  const double step = SnapStep(frame_, 12);
  ASSERT_EQ(step, 0.2);
  for (int x = 100; x <= 900; ++x) {
    const double mouse = (x - 150) / 35.0;
    for (const auto& [grid, places] : {std::pair{step, 1}, std::pair{0.0, 2}}) {
      const std::optional<double> p = DragPosition(load, frame_, 12, x, grid);
      ASSERT_TRUE(p) << x;
      const std::string text = ShortestText(*p);
      ASSERT_LE(DecimalPlaces(text), places) << x << ": " << text;
      const double half = (grid > 0 ? grid : 0.01) / 2 + 1e-9;
      ASSERT_LE(std::fabs(*p - std::clamp(mouse, 0.0, 20.0)), half) << x << ": " << text;
      ASSERT_EQ(MovedLineText(load, " X = 10; PLoad = -5;", *p), " X = " + text + "; PLoad = -5;");
    }
  }
}

// Every kind of item, dropped at every pixel of the beam, lands where no item of its kind stands
// (brute force over the document's items), and the model it makes has none of the pair errors
// and warnings.
TEST_F(ItemDragTest, ADropNeverLandsOnAnItemOfItsKind) {
  const std::vector<std::string> lines = {
      "File Format:3.0",
      "Units:English;",
      "Member Property: X = 0; E = 29000; I = 448;",
      "Moment Release: X = 5;",
      "Moment Release: X = 10;",
      "Support: X = 0; Disp = 0;",
      "Support: X = 4; Disp = 0;",
      "Support: X = 12; Disp = 0;",
      "Support: X = 20; Disp = 0;",
      "Spring: X = 2; VSpring = 100;",
      "Spring: X = 2.2; VSpring = 100;",
      "Point Load: X = 3; PLoad = -5;",
      "Point Load: X = 10.4; PLoad = -5;",
      "Uniform Load: XStart = 12; XEnd = 16; UStart = -1; UEnd = -1;",
      "Uniform Load: XStart = 16; XEnd = 18; UStart = -1; UEnd = -1;",
      "Uniform Load: XStart = 12; XEnd = 18; UStart = -1; UEnd = -1;",
  };
  Load(lines);
  struct Case {
    int x, y;     // on the symbol picked up
    size_t line;  // its line
  };
  const Case cases[] = {{325, 200, 3}, {150, 210, 5}, {220, 215, 9}, {255, 170, 11},
                        {710, 190, 14}, {780, 190, 15}};
  for (const Case& c : cases) {
    SCOPED_TRACE(lines[c.line]);
    Load(lines);
    const std::optional<DragItem> item = Pick(c.x, c.y);
    ASSERT_TRUE(item);
    const std::string prefix = lines[c.line].substr(0, lines[c.line].find(':') + 1);
    const std::string text = lines[c.line].substr(prefix.size());
    std::vector<double> others;  // positions of the same kind, feet
    for (size_t i = 2; i < lines.size(); ++i) {
      if (i == c.line || lines[i].rfind(prefix, 0) != 0) continue;
      const size_t at = lines[i].find(item->field == 0 ? "X" : "XEnd");
      others.push_back(ConvertNumber(lines[i].substr(lines[i].find("= ", at) + 2)));
    }
    int runs = 0;
    for (int x = 150; x <= 850; ++x) {
      const std::optional<double> p = DragPosition(*item, frame_, 12, x, SnapStep(frame_, 12));
      ASSERT_TRUE(p) << x;
      const std::string moved = MovedLineText(*item, text, *p);
      ASSERT_FALSE(moved.empty()) << x;
      if (item->section != kSectionUniformLoads) {
        for (const double o : others) ASSERT_NE(*p, o) << x;
      }
      // The model after a drop onto another symbol: run it where the mouse is on one.
      const double mouse = (x - 150) / 35.0;
      const bool onOther = std::any_of(others.begin(), others.end(),
                                       [&](double o) { return std::fabs(o - mouse) < 0.03; });
      if (!onOther && x != 150 && x != 850) continue;
      std::vector<std::string> after = lines;
      after[c.line] = prefix + moved;
      doc_.SetLines(nullptr, after);
      ++runs;
      const std::string& log = doc_.GetLastRun().text;
      for (const char* code : {"D6", "D8", "D10", "D12", "W1", "W2"}) {
        ASSERT_EQ(log.find(std::string(code) + " "), std::string::npos) << x << "\n" << log;
      }
      doc_.SetLines(nullptr, lines);
    }
    EXPECT_GE(runs, 3);
  }
}

// A thousand 10-unit spans 700 device units wide: the step is 100 units and every multiple of it
// (and of 10) holds a support, so the drop goes to the nearest free multiple of 1. On a beam of
// ten million units the positions are written in full, never as "4.64234e+06".
TEST_F(ItemDragTest, ManySupportsOnEveryMultipleOfTheStepAndLargePositions) {
  std::vector<std::string> lines = {"File Format:3.0", "Units:Consistent;",
                                    "Member Property: X = 0; E = 29000; I = 448;"};
  for (int i = 0; i <= 1000; ++i) lines.push_back("Support: X = " + std::to_string(10 * i) + "; Disp = 0;");
  Load(lines);
  ASSERT_EQ(SnapStep(frame_, 1), 100);
  // Picked up in a picture wide enough to tell the supports apart.
  const DrawingFrame wide = ScreenFrame(1000000, 400, doc_.GetBeamLength());
  const std::optional<DragItem> support = PickItem(doc_.GetItems(), doc_.GetLines(), wide, wide.MapX(5000), 210);
  ASSERT_TRUE(support);
  ASSERT_EQ(support->row, 500u);
  ASSERT_EQ(support->taken.size(), 1000u);
  // Pixel 475 reads 325 / 0.07 = 4642.857: 4600, 4700 and the multiples of 10 around are taken.
  EXPECT_EQ(DragPosition(*support, frame_, 1, 475, 100), 4643);
  EXPECT_EQ(DragPosition(*support, frame_, 1, frame_.MapX(5000), 100), 5000) << "its own place";
  EXPECT_EQ(DragPosition(*support, frame_, 1, frame_.MapX(10000) + 50, 100), 9999);
  EXPECT_EQ(
      Nudge(kSectionSupports, 500, " X = 5000; Disp = 0;", 1),
      " X = 5099; Disp = 0;");
  EXPECT_EQ(
      Nudge(kSectionSupports, 500, " X = 5000; Disp = 0;", -1),
      " X = 4899; Disp = 0;");

  Load({"File Format:3.0", "Units:Consistent;", "Member Property: X = 0; E = 29000; I = 448;",
        "Support: X = 0; Disp = 0;", "Support: X = 4642340; Disp = 0;",
        "Support: X = 10000000; Disp = 0;"});
  ASSERT_EQ(SnapStep(frame_, 1), 100000);
  const std::optional<DragItem> middle = Pick(frame_.MapX(4642340), 210);
  ASSERT_TRUE(middle);
  const std::optional<double> p = DragPosition(*middle, frame_, 1, frame_.MapX(4800000), 100000);
  ASSERT_TRUE(p);
  EXPECT_EQ(MovedLineText(*middle, " X = 4642340; Disp = 0;", *p), " X = 4800000; Disp = 0;");
  EXPECT_EQ(
      Nudge(kSectionSupports, 1, " X = 4642340; Disp = 0;", 1),
      " X = 4700000; Disp = 0;");
  EXPECT_EQ(
      Nudge(kSectionSupports, 1, " X = 4642340; Disp = 0;", -1),
      " X = 4600000; Disp = 0;");
  // Free: the power of ten below a pixel (14,286 units) is 10,000; pixel 474 reads 4,628,571.
  const std::optional<double> free = DragPosition(*middle, frame_, 1, 474, 0);
  EXPECT_EQ(MovedLineText(*middle, " X = 4642340; Disp = 0;", *free), " X = 4630000; Disp = 0;");
}

TEST_F(ItemDragTest, AltArrowMovesToTheNextStepThatWay) {
  Load(kBeam);
  struct Case {
    int section;
    size_t row;
    const char* text;
    int direction;
    const char* moved;
  };
  const Case cases[] = {
      {kSectionReleases, 0, " X = 5;", 1, " X = 5.2;"},
      {kSectionReleases, 0, " X = 5;", -1, " X = 4.8;"},
      {kSectionReleases, 0, " X = 5.3; /h", 1, " X = 5.4; /h"},
      {kSectionReleases, 0, " X = 5.3;", -1, " X = 5.2;"},
      {kSectionSupports, 0, " X = 0; Disp = 0;", -1, ""},         // at the start already
      // The end holds the other support: the next free place on a grid ten times finer.
      {kSectionSupports, 0, " X = 19.9; Disp = 0;", 1, " X = 19.98; Disp = 0;"},
      {kSectionPointLoads, 0, " X = 19.9; PLoad = -5;", 1, " X = 20; PLoad = -5;"},  // held at 20
      {kSectionSupports, 0, " X = 0.3; Disp = 0;", 1, " X = 0.4; Disp = 0;"},
      {kSectionSupports, 0, " X = 0.1; Disp = 0;", -1, " X = 0; Disp = 0;"},
      {kSectionSupports, 1, " X = 20; Disp = 0;", 1, " X = 20.2; Disp = 0;"},  // the end grows
      {kSectionUniformLoads, 0, " XStart = 12; XEnd = 16; UStart = -1; UEnd = -1;", -1,
       " XStart = 11.8; XEnd = 15.8; UStart = -1; UEnd = -1;"},
      // The other end follows by the same decimal distance.
      {kSectionUniformLoads, 0, " XStart = 12.25; XEnd = 16.05; UStart = -1; UEnd = -1;", 1,
       " XStart = 12.4; XEnd = 16.2; UStart = -1; UEnd = -1;"},
      {kSectionUniformLoads, 0, " XStart = 16.7; XEnd = 12.1; UStart = -1; UEnd = -1;", 1,
       " XStart = 16.8; XEnd = 12.2; UStart = -1; UEnd = -1;"},
      {kSectionProperties, 0, " X = 0; E = 29000; I = 448;", 1, ""},  // properties stay
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Nudge(c.section, c.row, c.text, c.direction),
              c.moved)
        << c.text << " " << c.direction;
  }
}

// A uniform load moved by Alt+arrow skips the stretch another one covers (Warning W2).
TEST_F(ItemDragTest, AltArrowStepsOverTheStretchOfAnotherUniformLoad) {
  std::vector<std::string> lines = kBeam;
  lines.push_back("Uniform Load: XStart = 12.4; XEnd = 16.4; UStart = -2; UEnd = -2;");
  lines.push_back("Uniform Load: XStart = 12.2; XEnd = 16.2; UStart = -2; UEnd = -2;");
  Load(lines);
  EXPECT_EQ(Nudge(kSectionUniformLoads, 0,
                           " XStart = 12; XEnd = 16; UStart = -1; UEnd = -1;", 1),
            " XStart = 12.6; XEnd = 16.6; UStart = -1; UEnd = -1;");
  // Reversed ends cover the same stretch.
  EXPECT_EQ(Nudge(kSectionUniformLoads, 0,
                           " XStart = 16.6; XEnd = 12.6; UStart = -1; UEnd = -1;", -1),
            " XStart = 16; XEnd = 12; UStart = -1; UEnd = -1;");
}

TEST_F(ItemDragTest, StatusNamesTheItemAndItsPositionInDisplayUnits) {
  Load(kBeam);
  EXPECT_EQ(DragStatusText(*Pick(708, 190), " XStart = 12; XEnd = 16.4; UStart = -1;"),
            "Uniform Load\r\n XEnd = 16.4 feet\r\n");
  std::vector<std::string> consistent = kBeam;
  consistent[1] = "Units:Consistent;";
  Load(consistent);
  EXPECT_EQ(DragStatusText(*Pick(325, 200), " X = 5;"), "Moment Release\r\n X = 5\r\n");
}

// An item is moved in the units of its own line: with a second Units line, the lines before it
// keep theirs. A 12-unit beam: 6 m lies at x 500, 1 ft (12 inches) at 850; 0.1 m is the step.
TEST_F(ItemDragTest, AnItemMovesInTheUnitsInForceAtItsLine) {
  Load({"File Format:3.0", "Units:Metric;", "Member Property: X = 0; E = 200000; I = 10000;",
        "Support: X = 0; Disp = 0;", "Support: X = 6; Disp = 0;", "Units:English;",
        "Support: X = 1; Disp = 0;"});
  const std::optional<DragItem> metric = Pick(500, 210);
  ASSERT_TRUE(metric);
  EXPECT_EQ(metric->row, 1u);
  EXPECT_EQ(metric->start, 6);
  EXPECT_EQ(metric->upper, 12);
  EXPECT_EQ(ItemLengthFactor(*metric), 1);
  const double step = SnapStep(frame_, ItemLengthFactor(*metric));
  EXPECT_EQ(step, 0.1);
  EXPECT_EQ(DragPosition(*metric, frame_, ItemLengthFactor(*metric), 325, step), 3);
  EXPECT_EQ(DragStatusText(*metric, " X = 6; Disp = 0;"), "Support\r\n X = 6 m\r\n");
  EXPECT_EQ(Nudge(kSectionSupports, 1, " X = 6; Disp = 0;", 1),
            " X = 6.1; Disp = 0;");
  const std::optional<DragItem> english = Pick(850, 210);
  ASSERT_TRUE(english);
  EXPECT_EQ(english->row, 2u);
  EXPECT_EQ(english->start, 1);
  EXPECT_EQ(DragStatusText(*english, " X = 1; Disp = 0;"), "Support\r\n X = 1 feet\r\n");
}

}  // namespace
}  // namespace spanlab
