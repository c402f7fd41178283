// The spans of a live-load envelope, and the model's loads sorted by them.
#include "analysis/live_load_spans.h"

#include <algorithm>

namespace spanlab {

std::vector<LiveLoadSpan> LiveLoadSpans(const std::vector<CSupportItem>& supports,
                                        double length) {
  std::vector<double> cuts;
  for (const CSupportItem& s : supports) {
    if (s.m_bDisp == 1) cuts.push_back(s.m_dX);
  }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  std::vector<LiveLoadSpan> spans;
  double start = 0;
  for (double cut : cuts) {
    if (cut > start) spans.push_back({start, cut});
    start = std::max(start, cut);
  }
  if (length > start || spans.empty()) spans.push_back({start, length});
  return spans;
}

int32_t SpanOfPosition(const std::vector<LiveLoadSpan>& spans, double x) {
  const auto it = std::upper_bound(spans.begin(), spans.end(), x,
                                   [](double v, const LiveLoadSpan& s) { return v < s.start; });
  const auto k = static_cast<int32_t>(it - spans.begin()) - 1;
  return std::max(k, 0);
}


std::vector<SpanLoads> LoadsBySpan(const LiveLoadModel& model,
                                   const std::vector<LiveLoadSpan>& spans) {
  std::vector<SpanLoads> bySpan(spans.size());
  for (const CPointLoadItem& p : model.pointLoads)
    bySpan[static_cast<size_t>(SpanOfPosition(spans, p.m_dX))].points.push_back(p);
  for (const CUniformLoadItem& u : model.uniformLoads) {
    double x1 = u.m_dXStart, x2 = u.m_dXEnd, u1 = u.m_dUStart, u2 = u.m_dUEnd;
    if (x1 > x2) {
      std::swap(x1, x2);
      std::swap(u1, u2);
    }
    if (!(x1 < x2)) continue;  // covers no element
    const double slope = (u2 - u1) / (x2 - x1);
    for (size_t k = static_cast<size_t>(SpanOfPosition(spans, x1)); k < spans.size(); ++k) {
      const double a = std::max(x1, spans[k].start), b = std::min(x2, spans[k].end);
      if (spans[k].start >= x2) break;
      if (!(a < b)) continue;
      const double ua = a == x1 ? u1 : u1 + slope * (a - x1);
      const double ub = b == x2 ? u2 : u1 + slope * (b - x1);
      bySpan[k].uniforms.push_back({a, b, ua, ub});
    }
  }
  return bySpan;
}

void AddScaled(const SpanLoads& loads, double factor, std::vector<CPointLoadItem>& points,
               std::vector<CUniformLoadItem>& uniforms) {
  if (factor == 0) return;
  for (const CPointLoadItem& p : loads.points)
    points.push_back({p.m_dX, factor * p.m_dPLoad, factor * p.m_dMoment});
  for (const CUniformLoadItem& u : loads.uniforms)
    uniforms.push_back({u.m_dXStart, u.m_dXEnd, factor * u.m_dUStart, factor * u.m_dUEnd});
}


}  // namespace spanlab
