// The beam picture: the beam line and one symbol per model item, for the results view, the
// printed diagrams page and the open-file preview alike. Every routine takes its placement
// (the drawing frame) as an argument.
//
// Geometry: device units, y downward. A beam position X maps to trunc(left + (right - left) *
// (X / L)). Symbol offsets k are scaled: trunc(k * sx) along x, trunc(k * sy) along y; on
// screen sx = sy = 1. Supports and springs hang below the beam, loads stand above it.
#pragma once

#include "model/model_items.h"
#include "platform/device_context.h"

namespace spanlab {

struct DrawingFrame {
  int left = 0;      // device x of the beam's left end
  int right = 0;     // device x of the beam's right end
  int baseline = 0;  // device y of the beam line
  float sx = 1.0f;   // symbol scale along x
  float sy = 1.0f;   // symbol scale along y
  double length = 0;  // beam length L, internal length unit
  int penUnit = 1;   // pen width unit: 1 on screen, dots per inch / 100 on a printer

  // Device x of beam position X.
  int MapX(double x) const;
};

// A device coordinate for a computed one, truncated toward zero. Positions and results of
// extreme models may be far outside any picture, infinite or not numbers at all: the value is
// held within +-2^30, which every device context takes, and a NaN gives `fallback`.
int DeviceCoordinate(double v, int fallback);

// Colours of the beam picture.
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};
inline constexpr Rgb kLoadGreen{0, 150, 0};

// The beam line (black, 3 pen units).
void DrawBeam(DeviceContext& dc, const DrawingFrame& frame);

// The item walkers: the model's item lists in list order, each item's symbol at its x.
// Items whose symbols would land on exactly the same device units as one drawn before are
// skipped, so a model with a million items paints in time proportional to the picture. A
// support whose symbol would overlap one drawn before (share a device column) is skipped too,
// so that closely spaced supports stay readable as separate symbols.
void DrawReleases(DeviceContext& dc, const DrawingFrame& frame, const ModelItems& items);
void DrawSupports(DeviceContext& dc, const DrawingFrame& frame, const ModelItems& items);
void DrawSprings(DeviceContext& dc, const DrawingFrame& frame, const ModelItems& items);
void DrawPointLoads(DeviceContext& dc, const DrawingFrame& frame, const ModelItems& items);
void DrawUniformLoads(DeviceContext& dc, const DrawingFrame& frame, const ModelItems& items);

// DrawBeam and the five walkers in that order.
void DrawBeamPicture(DeviceContext& dc, const DrawingFrame& frame, const ModelItems& items);

// Symbols at device point (x, y) (y the baseline unless stated); the pen is the routine's own
// (red for supports and springs, blue for loads, width 1 pen unit) except for the hinge, which
// uses the current pen.
void DrawHinge(DeviceContext& dc, int x, int y, float sx, float sy);
void DrawPinSupport(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit);
void DrawSettlingSupport(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit);
void DrawGuidedSupport(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit);
void DrawFixedLeft(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit);
void DrawFixedRight(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit);
void DrawFixedInterior(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit);
void DrawVerticalSpring(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit);
void DrawRotationalSpring(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit);
void DrawDownLoad(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit);
void DrawUpLoad(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit);
// Moment arcs of radius 15 around (x, y); the caller passes y = baseline + 1 (negative) or
// baseline - 1 (positive).
void DrawNegativeMoment(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit);
void DrawPositiveMoment(DeviceContext& dc, int x, int y, float sx, float sy, int penUnit);
// One uniform load from device x1 to x2 with end intensities uStart and uEnd; uMax is the
// largest end intensity of all the model's uniform loads (it sets the arrow lengths).
void DrawUniformLoad(DeviceContext& dc, int x1, int x2, int y, double uStart, double uEnd,
                     double uMax, float sx, float sy, int penUnit);

// Degrees to radians as the drawings have always converted them (3.14159 / 180).
inline constexpr double kDegreesToRadians = 0.01745327777777778;

}  // namespace spanlab
