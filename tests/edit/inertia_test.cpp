// The moment of inertia formulas, the reading of a dimension field and the result texts.
#include "edit/inertia.h"

#include <gtest/gtest.h>

#include <string>

namespace spanlab {
namespace {

using S = InertiaShape;

std::string Result(S shape, double v1, double v2 = 0, double v3 = 0) {
  return InertiaResultText(ComputeInertia(shape, v1, v2, v3));
}

TEST(ComputeInertiaTest, EveryShapeItsResultText) {
  struct Case {
    S shape;
    double v1, v2, v3;
    const char* text;
  };
  const Case cases[] = {
      {S::kRectangleCenter, 2, 3, 0, "I = 4.5"},
      {S::kRectangleEdge, 2, 3, 0, "I = 18"},
      {S::kTriangleCenter, 2, 3, 0, "I = 1.5"},
      {S::kSolidCircleCenter, 1, 0, 0, "I = 0.785397"},  // the stored 0.7853975, not pi/4
      {S::kSolidCircleCenter, 2, 0, 0, "I = 12.5664"},
      {S::kPipeCenter, 2, 1, 0, "I = 11.781"},  // 15 x 0.7853975
      {S::kTrapezoidCenter, 1, 3, 2, "I = 1.22222"},  // 8 x 22 / 144
      {S::kTrapezoidBase, 1, 3, 2, "I = 4"},          // 8 x 6 / 12
      {S::kRectangleCenter, 14814804, 1, 0, "I = 1.23457e+06"},
      {S::kRectangleCenter, 0.1, 0.1, 0, "I = 8.33333e-06"},
      // Unused fields do not matter.
      {S::kSolidCircleCenter, 1, -7, -7, "I = 0.785397"},
      {S::kRectangleEdge, 2, 3, -1, "I = 18"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Result(c.shape, c.v1, c.v2, c.v3), c.text) << InertiaShapeName(c.shape);
  }
  // The constant is 0.7853975 itself.
  EXPECT_EQ(ComputeInertia(S::kSolidCircleCenter, 1, 0, 0), 0.7853975);
}

TEST(ComputeInertiaTest, ProductsFormedInTheDocumentedOrder) {
  // Reproducible to the last bit: powers as repeated products, then the constant.
  const double a = 0.3, b = 0.7, c = 1.1;
  EXPECT_EQ(ComputeInertia(S::kRectangleCenter, a, b, 0), a * b * b * b * 0.08333333333333333);
  EXPECT_EQ(ComputeInertia(S::kRectangleEdge, a, b, 0), a * b * b * b * 0.3333333333333333);
  EXPECT_EQ(ComputeInertia(S::kTriangleCenter, a, b, 0), a * b * b * b * 0.027777777777777776);
  EXPECT_EQ(ComputeInertia(S::kPipeCenter, b, a, 0),
            b * b * b * b * 0.7853975 - a * a * a * a * 0.7853975);
  EXPECT_EQ(ComputeInertia(S::kTrapezoidCenter, a, b, c),
            c * c * c * (b * (b + 4 * a) + a * a) / ((b + a) * 36));
  EXPECT_EQ(ComputeInertia(S::kTrapezoidBase, a, b, c),
            c * c * c * (3 * a + b) * 0.08333333333333333);
}

TEST(ComputeInertiaTest, TrapezoidsWithEqualSidesAreRectangles) {
  const double sizes[][2] = {{2, 3}, {0.5, 7}, {12, 0.25}};
  for (const auto& [b, h] : sizes) {
    EXPECT_EQ(Result(S::kTrapezoidBase, b, b, h), Result(S::kRectangleEdge, b, h));
    EXPECT_EQ(Result(S::kTrapezoidCenter, b, b, h), Result(S::kRectangleCenter, b, h));
    EXPECT_DOUBLE_EQ(ComputeInertia(S::kTrapezoidCenter, b, b, h),
                     ComputeInertia(S::kRectangleCenter, b, h, 0));
  }
}

TEST(ComputeInertiaTest, MissingOrBadDimensionsAreInputErrors) {
  struct Case {
    S shape;
    double v1, v2, v3;
  };
  const Case cases[] = {
      {S::kRectangleCenter, 0, 0, 0},  // the fields as the dialog opens
      {S::kRectangleCenter, 2, 0, 0},
      {S::kRectangleEdge, -2, 3, 0},
      {S::kTriangleCenter, 2, -1, 0},  // -1: a field that is not a number
      {S::kSolidCircleCenter, 0, 5, 5},
      {S::kPipeCenter, 2, 2, 0},  // r1 = r2
      {S::kPipeCenter, 2, 0, 0},  // r2 = 0: a full disc is a Solid Circle
      {S::kPipeCenter, 1, 2, 0},  // r2 > r1
      {S::kTrapezoidCenter, 0, 3, 2},
      {S::kTrapezoidCenter, 1, 3, 0},
      {S::kTrapezoidBase, 1, -1, 2},
      {S::kTrapezoidBase, 1, 3, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ComputeInertia(c.shape, c.v1, c.v2, c.v3), 0)
        << InertiaShapeName(c.shape) << " " << c.v1 << " " << c.v2 << " " << c.v3;
    EXPECT_EQ(Result(c.shape, c.v1, c.v2, c.v3), "I = Input Error");
  }
}

TEST(ReadPositiveFieldTest, ValidNumbersNotBelowZeroElseMinusOne) {
  const std::pair<const char*, double> cases[] = {
      {"3", 3},     {" 2.5\t", 2.5}, {"0", 0},     {"0.0", 0},   {"1e2", 100},
      {"-1", -1},   {"-0", -1},      {"+0", -1},   {".0", -1},   {"", -1},
      {"abc", -1},  {"2 in", -1},    {"2,5", -1},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(ReadPositiveField(text), value) << text;
}

TEST(InertiaTextTest, SixSignificantDigits) {
  const std::pair<double, const char*> cases[] = {
      {4.5, "4.5"},           {1234567, "1.23457e+06"}, {123456, "123456"},
      {0.0001234, "0.0001234"}, {0.00001, "1e-05"},     {0, "0"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(InertiaValueText(value), text) << value;
  EXPECT_EQ(InertiaResultText(1234567), "I = 1.23457e+06");
  EXPECT_EQ(InertiaResultText(0), "I = Input Error");
}

}  // namespace
}  // namespace spanlab
