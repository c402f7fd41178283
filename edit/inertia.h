// Second moment of area of seven simple cross-sections. Dimensions in any one length unit; the
// result is in that unit to the fourth power.
#pragma once

#include <string>

namespace spanlab {

enum class InertiaShape {
  kRectangleCenter,    // b, h; about the centroid
  kRectangleEdge,      // b, h; about the edge b
  kPipeCenter,         // r1 outer, r2 inner
  kSolidCircleCenter,  // r
  kTriangleCenter,     // b, h
  kTrapezoidCenter,    // b1 (away from the base), b2 (at the base), h
  kTrapezoidBase,      // b1, b2 (on the axis), h
};

inline constexpr int kInertiaShapeCount = 7;

// The button text ("Rectangle - Center", ...) and the field labels ("b", "h", "" for a field
// the shape does not use).
const char* InertiaShapeName(InertiaShape shape);
const char* InertiaFieldLabel(InertiaShape shape, int field);
int InertiaFieldCount(InertiaShape shape);

// I from the field values, or 0 when a used value is not > 0 (or a pipe's r2 >= r1).
// The circle constant is 0.7853975 and the products are formed as below, so results are
// reproducible to the last digit.
double ComputeInertia(InertiaShape shape, double v1, double v2, double v3);

// A field's text as a dimension: its value when it is a valid number >= 0, else -1.
double ReadPositiveField(const std::string& text);

// "I = %g" of a result, or "I = Input Error" for 0; and the plain "%g" text.
std::string InertiaResultText(double inertia);
std::string InertiaValueText(double inertia);

}  // namespace spanlab
