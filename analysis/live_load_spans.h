// The model's loads sorted by the spans of a live-load envelope (the envelope's helpers).
#pragma once

#include <vector>

#include "analysis/live_load.h"

namespace spanlab {

// The model's loads sorted by span, uniform loads cut at the span ends: O(loads + pieces).
struct SpanLoads {
  std::vector<CPointLoadItem> points;
  std::vector<CUniformLoadItem> uniforms;
};
std::vector<SpanLoads> LoadsBySpan(const LiveLoadModel& model,
                                   const std::vector<LiveLoadSpan>& spans);

// Span k's loads times `factor`, appended to a load case (nothing for a factor of 0).
void AddScaled(const SpanLoads& loads, double factor, std::vector<CPointLoadItem>& points,
               std::vector<CUniformLoadItem>& uniforms);

}  // namespace spanlab
