#include "edit/inertia.h"

#include "model/line_fields.h"
#include "model/line_text.h"
#include "model/number_text.h"

namespace spanlab {

namespace {
constexpr double kQuarterPi = 0.7853975;  // the drawings' pi / 4, kept for reproducible results
}

const char* InertiaShapeName(InertiaShape shape) {
  static constexpr const char* kNames[] = {
      "Rectangle - Center", "Rectangle - Edge",  "Pipe - Center",   "Solid Circle - Center",
      "Triangle - Center",  "Trapezoid - Center", "Trapezoid - Base"};
  return kNames[static_cast<int>(shape)];
}

const char* InertiaFieldLabel(InertiaShape shape, int field) {
  static constexpr const char* kLabels[][3] = {
      {"b", "h", ""}, {"b", "h", ""}, {"r1", "r2", ""}, {"r", "", ""},
      {"b", "h", ""}, {"b1", "b2", "h"}, {"b1", "b2", "h"}};
  return field < 0 || field > 2 ? "" : kLabels[static_cast<int>(shape)][field];
}

int InertiaFieldCount(InertiaShape shape) {
  switch (shape) {
    case InertiaShape::kSolidCircleCenter: return 1;
    case InertiaShape::kTrapezoidCenter:
    case InertiaShape::kTrapezoidBase: return 3;
    default: return 2;
  }
}

double ComputeInertia(InertiaShape shape, double v1, double v2, double v3) {
  const int used = InertiaFieldCount(shape);
  if (!(v1 > 0) || (used >= 2 && !(v2 > 0)) || (used >= 3 && !(v3 > 0))) return 0;
  switch (shape) {
    case InertiaShape::kRectangleCenter: return v1 * v2 * v2 * v2 * 0.08333333333333333;
    case InertiaShape::kRectangleEdge: return v1 * v2 * v2 * v2 * 0.3333333333333333;
    case InertiaShape::kPipeCenter:
      if (!(v2 < v1)) return 0;
      return v1 * v1 * v1 * v1 * kQuarterPi - v2 * v2 * v2 * v2 * kQuarterPi;
    case InertiaShape::kSolidCircleCenter: return v1 * v1 * v1 * v1 * kQuarterPi;
    case InertiaShape::kTriangleCenter: return v1 * v2 * v2 * v2 * 0.027777777777777776;
    case InertiaShape::kTrapezoidCenter: {
      const double b1 = v1, b2 = v2, h = v3;
      return h * h * h * (b2 * (b2 + 4 * b1) + b1 * b1) / ((b2 + b1) * 36);
    }
    case InertiaShape::kTrapezoidBase: {
      const double b1 = v1, b2 = v2, h = v3;
      return h * h * h * (3 * b1 + b2) * 0.08333333333333333;
    }
  }
  return 0;
}

double ReadPositiveField(const std::string& text) {
  const std::string trimmed(TrimWhiteSpace(text));
  if (!IsValidNumber(trimmed)) return -1;
  const double v = ConvertNumber(trimmed);
  return v >= 0 ? v : -1;
}

std::string InertiaValueText(double inertia) { return FieldNumberText(inertia); }

std::string InertiaResultText(double inertia) {
  return inertia > 0 ? "I = " + InertiaValueText(inertia) : "I = Input Error";
}

}  // namespace spanlab
