#include "view/item_drag.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "check/run_driver.h"
#include "model/sections.h"
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
  std::optional<DragItem> Pick(int x, int y) { return PickItem(doc_, frame_, x, y); }

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

TEST_F(ItemDragTest, FreePositionJustShortOfTheEndStaysShortOfItInSixDigits) {
  Load(kBeam);
  DragItem support = *Pick(150, 210);
  support.upper = 33.3333351;
  EXPECT_EQ(MovedLineText(support, " X = 0; Disp = 0;", 33.3333351), " X = 33.3333; Disp = 0;");
  EXPECT_EQ(MovedLineText(support, " X = 0; Disp = 0;", 0.1 + 0.2), " X = 0.3; Disp = 0;");
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
      {kSectionSupports, 0, " X = 19.9; Disp = 0;", 1, " X = 20; Disp = 0;"},  // held at 20
      {kSectionSupports, 1, " X = 20; Disp = 0;", 1, " X = 20.2; Disp = 0;"},  // the end grows
      {kSectionUniformLoads, 0, " XStart = 12; XEnd = 16; UStart = -1; UEnd = -1;", -1,
       " XStart = 11.8; XEnd = 15.8; UStart = -1; UEnd = -1;"},
      {kSectionProperties, 0, " X = 0; E = 29000; I = 448;", 1, ""},  // properties stay
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NudgedLineText(doc_, frame_, c.section, c.row, c.text, c.direction), c.moved)
        << c.text << " " << c.direction;
  }
}

TEST_F(ItemDragTest, StatusNamesTheItemAndItsPositionInDisplayUnits) {
  Load(kBeam);
  EXPECT_EQ(DragStatusText(doc_, *Pick(708, 190), " XStart = 12; XEnd = 16.4; UStart = -1;"),
            "Uniform Load\r\n XEnd = 16.4 feet\r\n");
  std::vector<std::string> consistent = kBeam;
  consistent[1] = "Units:Consistent;";
  Load(consistent);
  EXPECT_EQ(DragStatusText(doc_, *Pick(325, 200), " X = 5;"), "Moment Release\r\n X = 5\r\n");
}

}  // namespace
}  // namespace spanlab
