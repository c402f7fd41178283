#include "view/beam_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "platform/recording_device_context.h"
#include "run/run_driver.h"
#include "view/results_paint.h"

namespace spanlab {
namespace {

struct Seg {
  int x1, y1, x2, y2;
  auto operator<=>(const Seg&) const = default;
};
void PrintTo(const Seg& s, std::ostream* os) {
  *os << "(" << s.x1 << "," << s.y1 << ")->(" << s.x2 << "," << s.y2 << ")";
}

// The recorded strokes, sorted: a symbol is a set of strokes, their order does not show.
std::vector<Seg> Strokes(const RecordingDeviceContext& dc) {
  std::vector<Seg> v;
  for (const RecordedStroke& s : dc.strokes) v.push_back({s.x1, s.y1, s.x2, s.y2});
  std::sort(v.begin(), v.end());
  return v;
}

// Screen offsets (sx = sy = 1) moved to (x, y), sorted.
std::vector<Seg> At(int x, int y, const std::vector<Seg>& offsets) {
  std::vector<Seg> v;
  for (const Seg& s : offsets) v.push_back({x + s.x1, y + s.y1, x + s.x2, y + s.y2});
  std::sort(v.begin(), v.end());
  return v;
}

void ExpectPens(const RecordingDeviceContext& dc, const Pen& pen) {
  for (const RecordedStroke& s : dc.strokes) EXPECT_EQ(s.pen, pen);
}

// The symbols on screen, as offsets from the item's device x and the baseline.
const std::vector<Seg> kPin = {{0, 2, -6, 8},   {0, 2, 6, 8},   {-9, 8, 10, 8}, {-7, 9, -10, 13},
                               {-3, 9, -6, 13}, {1, 9, -2, 13}, {5, 9, 2, 13},  {9, 9, 6, 13}};
const std::vector<Seg> kSettling = {
    {0, 2, -6, 8},    {0, 2, 6, 8},    {-6, 8, 7, 8},   {-6, 8, -6, 17},  {-8, 14, -6, 16},
    {-4, 14, -6, 16}, {-8, 11, -6, 9}, {-4, 11, -6, 9}, {6, 8, 6, 17},    {4, 14, 6, 16},
    {8, 14, 6, 16},   {4, 11, 6, 9},   {8, 11, 6, 9},   {-9, 17, 10, 17}, {-7, 18, -10, 22},
    {-3, 18, -6, 22}, {1, 18, -2, 22}, {5, 18, 2, 22},  {9, 18, 6, 22}};
const std::vector<Seg> kGuided = {
    {2, -12, -5, 12}, {1, -12, -6, 12}, {5, -12, -2, 12}, {6, -12, -1, 12}};
const std::vector<Seg> kFixedLeft = {{-1, -12, -1, 12}, {0, -12, 0, 12},  {-4, -12, -7, -9},
                                     {-1, -11, -7, -5}, {-1, -7, -7, -1}, {-1, -3, -7, 3},
                                     {-1, 1, -7, 7},    {-1, 5, -7, 11},  {-1, 9, -4, 12}};
const std::vector<Seg> kFixedRight = {{1, -12, 1, 12}, {0, -12, 0, 12}, {4, -12, 7, -9},
                                      {1, -11, 7, -5}, {1, -7, 7, -1},  {1, -3, 7, 3},
                                      {1, 1, 7, 7},    {1, 5, 7, 11},   {1, 9, 4, 12}};
const std::vector<Seg> kFixedInterior = {
    {-3, -12, -3, 12}, {-2, -12, -2, 12}, {3, -12, 3, 12}, {2, -12, 2, 12}, {-1, -12, 3, -8},
    {-2, -9, 3, -4},   {-2, -5, 3, 0},    {-2, 0, 3, 5},   {-2, 4, 3, 9},   {-2, 8, 2, 12}};
const std::vector<Seg> kSpringGround = {{-9, 18, 10, 18}, {-9, 19, 10, 19}, {-6, 19, -10, 23},
                                        {-2, 19, -6, 23}, {2, 19, -2, 23},  {6, 19, 2, 23},
                                        {9, 20, 6, 23}};
const std::vector<Seg> kVerticalSpringCoil = {{0, 1, 0, 3},   {0, 3, -3, 5},   {-3, 5, 3, 8},
                                              {3, 8, -3, 11}, {-3, 11, 3, 14}, {3, 14, 0, 16},
                                              {0, 16, 0, 18}};
const std::vector<Seg> kRotationalSpringCoil = {
    {0, 0, 0, 1},     {0, 1, -2, 3},   {-2, 3, -4, 3}, {-4, 3, -6, 0}, {-6, 0, -6, -3},
    {-6, -3, -3, -7}, {-3, -7, 2, -7}, {2, -7, 4, -6}, {4, -6, 6, -4}, {6, -4, 7, -2},
    {7, -2, 8, 1},    {8, 1, 6, 6},    {6, 6, 3, 9},   {3, 9, 0, 10},  {0, 10, 0, 18}};
const std::vector<Seg> kDownLoad = {
    {0, -33, 0, -3}, {0, -3, -4, -7}, {0, -3, 4, -7}, {-1, -5, 2, -5}};
const std::vector<Seg> kUpLoad = {
    {0, 0, 0, -30}, {0, -30, -4, -26}, {0, -30, 4, -26}, {-1, -28, 2, -28}};

std::vector<Seg> Join(std::vector<Seg> a, const std::vector<Seg>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A beam of length 20 drawn from x = 100 to x = 300 on the baseline y = 200.
DrawingFrame Frame() {
  DrawingFrame f;
  f.left = 100;
  f.right = 300;
  f.baseline = 200;
  f.length = 20;
  return f;
}

TEST(DrawingFrameTest, ScreenFrameTruncates) {
  const DrawingFrame f = ScreenFrame(1000, 600, 7.5);
  EXPECT_EQ(f.left, 150);
  EXPECT_EQ(f.right, 850);
  EXPECT_EQ(f.baseline, 300);
  EXPECT_EQ(f.sx, 1.0f);
  EXPECT_EQ(f.sy, 1.0f);
  EXPECT_EQ(f.length, 7.5);
  const DrawingFrame narrow = ScreenFrame(101, 51, 3);
  EXPECT_EQ(narrow.left, 15);
  EXPECT_EQ(narrow.right, 85);
  EXPECT_EQ(narrow.baseline, 25);
  EXPECT_EQ(narrow.MapX(1), 38);  // 15 + 70 / 3 = 38.33
  EXPECT_EQ(narrow.MapX(3), 85);
}

TEST(SupportSymbolTest, FlagsAndPositionPickTheSymbol) {
  struct Case {
    CSupportItem support;
    int x;
    const std::vector<Seg>* symbol;  // null: nothing drawn
  } cases[] = {
      {{.m_dX = 10, .m_bDisp = 1}, 200, &kPin},
      {{.m_dX = 10, .m_dDisp = -0.5, .m_bDisp = 1}, 200, &kSettling},
      {{.m_dX = 10, .m_bRotation = 1}, 200, &kGuided},
      {{.m_dX = 10, .m_dRotation = 0.01, .m_bRotation = 1}, 200, &kGuided},
      {{.m_dX = 0, .m_bDisp = 1, .m_bRotation = 1}, 100, &kFixedLeft},
      {{.m_dX = 20, .m_bDisp = 1, .m_bRotation = 1}, 300, &kFixedRight},
      {{.m_dX = 10, .m_bDisp = 1, .m_bRotation = 1}, 200, &kFixedInterior},
      {{.m_dX = 1e-9, .m_bDisp = 1, .m_bRotation = 1}, 100, &kFixedInterior},
      {{.m_dX = 20 - 1e-9, .m_bDisp = 1, .m_bRotation = 1}, 299, &kFixedInterior},
      {{.m_dX = 10}, 200, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "support at " << c.support.m_dX << " disp " << int(c.support.m_bDisp)
                 << " rotation " << int(c.support.m_bRotation));
    ModelItems items;
    items.m_supports = {c.support};
    RecordingDeviceContext dc;
    DrawSupports(dc, Frame(), items);
    EXPECT_EQ(Strokes(dc), c.symbol ? At(c.x, 200, *c.symbol) : std::vector<Seg>{});
    ExpectPens(dc, Pen{1, kRed});
  }
}

TEST(SpringSymbolTest, VerticalRotationalOrBoth) {
  const std::vector<Seg> vertical = Join(kVerticalSpringCoil, kSpringGround);
  const std::vector<Seg> rotational = Join(kRotationalSpringCoil, kSpringGround);
  struct Case {
    CSpringItem spring;
    std::vector<Seg> symbol;
  } cases[] = {
      {{5, 100, 0}, vertical},
      {{5, 0, 2000}, rotational},
      {{5, 100, 2000}, Join(vertical, rotational)},
      {{5, 0, 0}, {}},
  };
  for (const Case& c : cases) {
    ModelItems items;
    items.m_springs = {c.spring};
    RecordingDeviceContext dc;
    DrawSprings(dc, Frame(), items);
    EXPECT_EQ(Strokes(dc), At(150, 200, c.symbol));
    ExpectPens(dc, Pen{1, kRed});
  }
}

TEST(PointLoadSymbolTest, ArrowsByTheSignOfTheLoad) {
  struct Case {
    CPointLoadItem load;
    std::vector<Seg> symbol;
  } cases[] = {{{15, -3, 0}, kDownLoad}, {{15, 3, 0}, kUpLoad}, {{15, 0, 0}, {}}};
  for (const Case& c : cases) {
    ModelItems items;
    items.m_pointLoads = {c.load};
    RecordingDeviceContext dc;
    DrawPointLoads(dc, Frame(), items);
    EXPECT_EQ(Strokes(dc), At(250, 200, c.symbol));
    ExpectPens(dc, Pen{1, kBlue});
  }
}

// The arc of a moment: start and end within one unit of the circle, the head exact from the
// end point. `s` holds the 108 arc strokes, then the two head strokes.
void ExpectMomentArc(const std::vector<RecordedStroke>& s, int cx, int cy, Seg ends, int headX) {
  ASSERT_EQ(s.size(), 110u);
  EXPECT_NEAR(s[0].x1, ends.x1, 1);
  EXPECT_NEAR(s[0].y1, ends.y1, 1);
  const RecordedStroke& last = s[107];
  EXPECT_NEAR(last.x2, ends.x2, 1);
  EXPECT_NEAR(last.y2, ends.y2, 1);
  const int ex = last.x2, ey = last.y2;
  EXPECT_EQ((Seg{s[108].x1, s[108].y1, s[108].x2, s[108].y2}), (Seg{ex, ey, ex + headX, ey + 5}));
  EXPECT_EQ((Seg{s[109].x1, s[109].y1, s[109].x2, s[109].y2}), (Seg{ex, ey, ex + headX, ey - 4}));
  for (size_t i = 0; i < 108; ++i) {
    EXPECT_EQ(s[i].pen, (Pen{1, kBlue}));
    EXPECT_NEAR(std::hypot(s[i].x2 - cx, s[i].y2 - cy), 14.5, 1.0) << "arc point " << i;
  }
}

TEST(PointLoadSymbolTest, MomentArcs) {
  ModelItems items;
  items.m_pointLoads = {{5, 0, -7}};
  RecordingDeviceContext negative;
  DrawPointLoads(negative, Frame(), items);
  // Centre one unit below the beam; from 105 degrees (below, left) round the left side to
  // -109 degrees (above, slightly left), the head opening to the right.
  ExpectMomentArc(negative.strokes, 150, 201, {147, 215, 146, 187}, +8);

  items.m_pointLoads = {{5, 0, 7}};
  RecordingDeviceContext positive;
  DrawPointLoads(positive, Frame(), items);
  ExpectMomentArc(positive.strokes, 150, 199, {153, 213, 154, 185}, -8);
}

TEST(PointLoadSymbolTest, LoadAndMomentTogetherDrawBoth) {
  ModelItems items;
  items.m_pointLoads = {{5, -3, 7}};
  RecordingDeviceContext dc;
  DrawPointLoads(dc, Frame(), items);
  ASSERT_EQ(dc.strokes.size(), 4u + 110u);
  std::vector<Seg> arrow;
  for (size_t i = 0; i < 4; ++i) {
    const RecordedStroke& s = dc.strokes[i];
    arrow.push_back({s.x1, s.y1, s.x2, s.y2});
  }
  std::sort(arrow.begin(), arrow.end());
  EXPECT_EQ(arrow, At(150, 200, kDownLoad));
  EXPECT_NEAR(dc.strokes[4].x1, 153, 1);
}

// One downward or upward arrow of a uniform load at xe with its tail at `tail`.
std::vector<Seg> LoadArrow(int xe, int y, int tail) {
  if (tail < y)
    return {{xe, tail, xe, y - 2},
            {xe, y - 2, xe - 4, y - 6},
            {xe, y - 2, xe + 4, y - 6},
            {xe - 1, y - 4, xe + 2, y - 4}};
  return {{xe, tail, xe, y + 2},
          {xe, y + 2, xe - 4, y + 6},
          {xe, y + 2, xe + 4, y + 6},
          {xe - 1, y + 4, xe + 2, y + 4}};
}

std::vector<Seg> UniformLoad(int x1, int tail1, int x2, int tail2) {
  std::vector<Seg> v = {{x1, tail1, x2, tail2}};
  if (tail1 != 201) v = Join(v, LoadArrow(x1, 200, tail1));
  if (tail2 != 201) v = Join(v, LoadArrow(x2, 200, tail2));
  std::sort(v.begin(), v.end());
  return v;
}

TEST(UniformLoadSymbolTest, ArrowLengthsFollowTheLargestIntensity) {
  struct Case {
    const char* name;
    std::vector<CUniformLoadItem> loads;
    std::vector<Seg> expected;
  } cases[] = {
      // Intensity 10 gets tails 19 above the beam, 5 (factor 0.75) 14 above; tips 2 above.
      {"10 and 5",
       {{0, 10, -10, -10}, {10, 20, -5, -5}},
       Join(UniformLoad(100, 181, 200, 181), UniformLoad(200, 186, 300, 186))},
      {"upward", {{0, 10, 10, 10}}, UniformLoad(100, 219, 200, 219)},
      {"changing sign", {{0, 20, -10, 5}}, UniformLoad(100, 181, 300, 214)},
      {"zero", {{5, 15, 0, 0}}, UniformLoad(150, 201, 250, 201)},
      {"zero at one end", {{5, 15, 0, -2}}, UniformLoad(150, 201, 250, 181)},
      // 1 - (3.4 - 1) * (0.5 / 3.4) is a hair below 11/17: 17 g + 3 truncates to 13.
      {"factor order",
       {{0, 10, -3.4, -3.4}, {10, 20, 1, -1}},
       Join(UniformLoad(100, 181, 200, 181), UniformLoad(200, 212, 300, 188))},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    ModelItems items;
    items.m_uniformLoads = c.loads;
    RecordingDeviceContext dc;
    DrawUniformLoads(dc, Frame(), items);
    std::sort(c.expected.begin(), c.expected.end());
    EXPECT_EQ(Strokes(dc), c.expected);
    ExpectPens(dc, Pen{1, kLoadGreen});
  }
}

TEST(HingeSymbolTest, OpenCircleWithTheCurrentPen) {
  ModelItems items;
  items.m_releases = {{5}, {12.5}};
  RecordingDeviceContext dc;
  dc.SelectPen({2, {1, 2, 3}});
  DrawReleases(dc, Frame(), items);
  ASSERT_EQ(dc.ellipses.size(), 2u);
  const RecordedEllipse& e = dc.ellipses[1];
  EXPECT_EQ((Seg{e.left, e.top, e.right, e.bottom}), (Seg{220, 195, 231, 206}));
  EXPECT_EQ(e.pen, (Pen{2, {1, 2, 3}}));
  EXPECT_TRUE(dc.strokes.empty());
}

TEST(BeamPictureTest, PensFollowThePenUnit) {
  ModelItems items;
  items.m_supports = {{.m_dX = 0, .m_bDisp = 1}};
  items.m_springs = {{5, 10, 0}};
  items.m_pointLoads = {{10, -1, 0}};
  items.m_uniformLoads = {{0, 20, -1, -1}};
  DrawingFrame f = Frame();
  f.penUnit = 3;
  RecordingDeviceContext dc;
  DrawBeamPicture(dc, f, items);
  ASSERT_FALSE(dc.strokes.empty());
  EXPECT_EQ(dc.strokes[0], (RecordedStroke{100, 200, 300, 200, Pen{9, kBlack}}));
  int red = 0, blue = 0, green = 0;
  for (size_t i = 1; i < dc.strokes.size(); ++i) {
    const Pen& p = dc.strokes[i].pen;
    EXPECT_EQ(p.width, 3);
    red += p.color == kRed;
    blue += p.color == kBlue;
    green += p.color == kLoadGreen;
  }
  EXPECT_EQ(red, 8 + 14);
  EXPECT_EQ(blue, 4);
  EXPECT_EQ(green, 9);
  EXPECT_EQ(dc.CurrentPen(), (Pen{1, kBlack}));  // every routine restores the pen
}

// sx = sy = 2.5: every offset k becomes trunc(2.5 k), towards zero (-17.5 gives -17).
TEST(BeamPictureTest, ScaledFrameTruncatesOffsetsTowardZero) {
  RecordingDeviceContext pin;
  DrawPinSupport(pin, 100, 200, 2.5f, 2.5f, 3);
  EXPECT_EQ(Strokes(pin), At(0, 0,
                             {{100, 202, 85, 220},
                              {100, 202, 115, 220},
                              {78, 220, 125, 220},
                              {83, 221, 75, 232},
                              {93, 221, 85, 232},
                              {102, 221, 95, 232},
                              {112, 221, 105, 232},
                              {122, 221, 115, 232}}));
  ExpectPens(pin, Pen{3, kRed});

  RecordingDeviceContext down;
  DrawDownLoad(down, 100, 200, 2.5f, 2.5f, 3);
  EXPECT_EQ(
      Strokes(down),
      At(0, 0,
         {{100, 122, 100, 197}, {100, 197, 90, 187}, {100, 197, 110, 187}, {98, 192, 105, 192}}));
  ExpectPens(down, Pen{3, kBlue});

  RecordingDeviceContext load;
  DrawUniformLoad(load, 100, 200, 200, -10, -10, 10, 2.5f, 2.5f, 3);
  EXPECT_EQ(load.strokes[0], (RecordedStroke{100, 156, 100, 198, Pen{3, kLoadGreen}}));
  EXPECT_EQ(load.strokes[1], (RecordedStroke{100, 198, 90, 188, Pen{3, kLoadGreen}}));

  RecordingDeviceContext hinge;
  DrawHinge(hinge, 100, 200, 2.5f, 2.5f);
  ASSERT_EQ(hinge.ellipses.size(), 1u);
  EXPECT_EQ((Seg{hinge.ellipses[0].left, hinge.ellipses[0].top, hinge.ellipses[0].right,
                 hinge.ellipses[0].bottom}),
            (Seg{88, 188, 113, 213}));

  // Radius 37.5; the head offsets 8, 5 and -4 scale to 20, 12 and -10.
  RecordingDeviceContext moment;
  DrawNegativeMoment(moment, 100, 201, 2.5f, 2.5f, 3);
  ASSERT_EQ(moment.strokes.size(), 110u);
  EXPECT_NEAR(moment.strokes[0].x1, 91, 1);
  EXPECT_NEAR(moment.strokes[0].y1, 237, 1);
  const int ex = moment.strokes[107].x2, ey = moment.strokes[107].y2;
  EXPECT_NEAR(ex, 88, 1);
  EXPECT_NEAR(ey, 166, 1);
  EXPECT_EQ(moment.strokes[108], (RecordedStroke{ex, ey, ex + 20, ey + 12, Pen{3, kBlue}}));
  EXPECT_EQ(moment.strokes[109], (RecordedStroke{ex, ey, ex + 20, ey - 10, Pen{3, kBlue}}));
}

// Symbols of one kind on the same device x would repaint the same pixels; they are drawn once.
TEST(BeamPictureTest, SameSymbolOnSameColumnDrawnOnce) {
  ModelItems items;
  items.m_supports = {
      {.m_dX = 10, .m_bDisp = 1}, {.m_dX = 10.01, .m_bDisp = 1}, {.m_dX = 10.01, .m_bRotation = 1}};
  RecordingDeviceContext dc;
  DrawSupports(dc, Frame(), items);
  // The guided support on the same column overlaps the pin drawn first: it is left out too.
  EXPECT_EQ(Strokes(dc), At(200, 200, kPin));
}

// Supports closer than their symbols' width would merge into a band: each is drawn only where
// it overlaps none drawn before (first come, first drawn); symbols that merely come near each
// other, without sharing a device column, are all drawn as before.
TEST(BeamPictureTest, SupportsAreDrawnOnlyWhereTheyOverlapNoneDrawnBefore) {
  // The frame maps 1 unit to 10 device units; a pin spans x - 10 .. x + 10.
  ModelItems items;
  items.m_supports = {
      {.m_dX = 10, .m_bDisp = 1},  // pin at 200: drawn
      {.m_dX = 12, .m_bDisp = 1},  // pin at 220: its left end (210) is the first pin's right end
      {.m_dX = 11, .m_bRotation = 1},  // guided at 210: inside the first pin
      {.m_dX = 12.15, .m_bDisp = 1},   // pin at 221: 211 .. 231, clear of the first
      // fixed left end at 100: 93 .. 100, clear of everything
      {.m_dX = 0, .m_bDisp = 1, .m_bRotation = 1},
      // fixed interior at 110: 107 .. 113, clear of the fixed end
      {.m_dX = 1, .m_bDisp = 1, .m_bRotation = 1},
  };
  RecordingDeviceContext dc;
  DrawSupports(dc, Frame(), items);
  std::vector<Seg> expected = Join(Join(At(200, 200, kPin), At(221, 200, kPin)),
                                   Join(At(100, 200, kFixedLeft), At(110, 200, kFixedInterior)));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Strokes(dc), expected);
}

TEST(BeamPictureTest, AMillionSupportsOnTwoHundredPixelsStaySeparateSymbols) {
  ModelItems items;
  std::vector<CSupportItem>& supports = items.m_supports;
  constexpr int kSupports = 1'000'001;
  for (int i = 0; i < kSupports; ++i)
    supports.push_back({.m_dX = 20.0 * i / (kSupports - 1), .m_bDisp = 1});
  RecordingDeviceContext dc;
  DrawSupports(dc, Frame(), items);
  // Pins of 21 columns side by side from the left end: x = 100, 121, ..., 289.
  std::vector<Seg> expected;
  for (int x = 100; x <= 300; x += 21) expected = Join(expected, At(x, 200, kPin));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Strokes(dc), expected);
}

// Records the order in which a paint used the picture's parts.
class OrderRecorder : public RecordingDeviceContext {
 public:
  void LineTo(int x, int y) override {
    RecordingDeviceContext::LineTo(x, y);
    const RecordedStroke& s = strokes.back();
    std::string part = s.pen.width == 3            ? "beam"
                       : s.pen.color == kRed       ? (s.x1 < 430 ? "support" : "spring")
                       : s.pen.color == kBlue      ? "point load"
                       : s.pen.color == kLoadGreen ? "uniform load"
                                                   : "other";
    Note(part);
  }
  void Ellipse(int l, int t, int r, int b) override {
    RecordingDeviceContext::Ellipse(l, t, r, b);
    Note("hinge");
  }
  std::vector<std::string> parts;

 private:
  void Note(const std::string& part) {
    if (parts.empty() || parts.back() != part) parts.push_back(part);
  }
};

TEST(PaintResultsViewTest, BeamPictureInOrder) {
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, {"File Format:3.0", "Member Property: X = 0; E = 30000; I = 100;",
                         "Moment Release: X = 2;", "Support: X = 6; Disp = 0;",
                         "Spring: X = 10; VSpring = 50;", "Point Load: X = 14; PLoad = -1;",
                         "Uniform Load: XStart = 16; XEnd = 20; UStart = -1; UEnd = -1;"});
  doc.BuildItems(true);
  ResultsViewState state;
  state.m_cxClient = 1000;
  state.m_cyClient = 600;
  state.toggles = {true, true, true, true, true, true};
  state.selection.m_nSelType = 13;
  OrderRecorder dc;
  PaintResultsView(dc, doc, state);
  // No analysis has run: the picture alone, without diagrams, texts or marker.
  EXPECT_EQ(dc.parts, (std::vector<std::string>{"beam", "hinge", "support", "spring", "point load",
                                                "uniform load"}));
  EXPECT_TRUE(dc.texts.empty());
  EXPECT_TRUE(dc.frames.empty());
}

TEST(PaintResultsViewTest, NothingForABeamWithoutLength) {
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, {"File Format:3.0", "/no items"});
  RunModel(doc);
  ResultsViewState state;
  state.m_cxClient = 1000;
  state.m_cyClient = 600;
  state.m_nPenUnit = 4;
  state.toggles.reactions = true;
  RecordingDeviceContext dc;
  PaintResultsView(dc, doc, state);
  EXPECT_TRUE(dc.strokes.empty());
  EXPECT_TRUE(dc.ellipses.empty());
  EXPECT_TRUE(dc.texts.empty());
  EXPECT_EQ(state.m_nPenUnit, 1);  // the screen always paints with pen unit 1
}

TEST(PaintResultsViewTest, PrinterKeepsItsPenUnit) {
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, {"File Format:3.0", "Member Property: X = 0; E = 30000; I = 100;",
                         "Support: X = 10; Disp = 0; Rotation = 0;"});
  RunModel(doc);
  ResultsViewState state;
  state.m_cxClient = 1000;
  state.m_cyClient = 600;
  state.m_nPenUnit = 4;
  RecordingDeviceContext printer(true);
  PaintResultsView(printer, doc, state);
  ASSERT_FALSE(printer.strokes.empty());
  EXPECT_EQ(printer.strokes[0].pen, (Pen{12, kBlack}));
  EXPECT_EQ(printer.strokes.back().pen, (Pen{4, kRed}));
}

}  // namespace
}  // namespace spanlab
