// How much of a recorded drawing lies outside +-limit device units: the drawing routines hold
// positions within +-2^30 before they reach a device context, whatever the model.
#pragma once

#include "platform/recording_device_context.h"

namespace spanlab::testing {

inline bool Outside(int v, int limit) { return v < -limit || v > limit; }

// Strokes and ellipses with a corner outside the range.
inline int StrokesAndEllipsesOutside(const RecordingDeviceContext& dc, int limit) {
  int outside = 0;
  for (const RecordedStroke& s : dc.strokes) {
    outside += Outside(s.x1, limit) || Outside(s.y1, limit) || Outside(s.x2, limit) ||
               Outside(s.y2, limit);
  }
  for (const RecordedEllipse& e : dc.ellipses) {
    outside += Outside(e.left, limit) || Outside(e.top, limit) || Outside(e.right, limit) ||
               Outside(e.bottom, limit);
  }
  return outside;
}

// Texts placed, and points of filled shapes, outside the range.
inline int TextsAndShapesOutside(const RecordingDeviceContext& dc, int limit) {
  int outside = 0;
  for (const RecordedText& t : dc.texts) outside += Outside(t.x, limit) || Outside(t.y, limit);
  for (const RecordedShape& s : dc.shapes) {
    for (const Point& p : s.points) outside += Outside(p.x, limit) || Outside(p.y, limit);
  }
  return outside;
}

}  // namespace spanlab::testing
