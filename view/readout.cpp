#include "view/readout.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "model/number_text.h"

namespace spanlab {

namespace {

// "%6.4g" in the "C" locale.
std::string Width6General4(double v) {
  std::string s = FormatGeneral(v, 4);
  if (s.size() < 6) s.insert(0, 6 - s.size(), ' ');
  return s;
}

// Where the read-out for client x `mx` reads: the node's index (0 when the results have no
// nodes) and its position w; nullopt off the beam or without results.
struct ReadPoint {
  int32_t node;
  double w;
};
std::optional<ReadPoint> PointAt(const CSPLX_30Doc& doc, const ResultsViewState& state, int mx) {
  const CBeamAnalysis& a = doc.GetAnalysis();
  if (!(a.m_dLength > 0) || !(doc.GetBeamLength() > 0)) return std::nullopt;
  const int left = static_cast<int>(state.m_cxClient * 0.15);
  const int right = static_cast<int>(state.m_cxClient * 0.85);
  if (mx > right || mx < left) return std::nullopt;
  const CBeamAnalysis::TableLock lock(a);
  const double p = (mx - left) / (static_cast<double>(right - left) / a.m_dLength);
  // The first node at or right of the cursor (the last node when there is none).
  int32_t k = a.m_nNodes;
  {
    int32_t lo = 1, hi = a.m_nNodes;  // nodes ascend, so the test p - x < 1e-10 flips once
    while (lo < hi) {
      const int32_t mid = lo + (hi - lo) / 2;
      if (p - a.m_nodes[mid].x < 1e-10) hi = mid;
      else lo = mid + 1;
    }
    if (a.m_nNodes > 0 && p - a.m_nodes[lo].x < 1e-10) k = lo;
  }
  return ReadPoint{k, a.m_nNodes > 0 ? a.m_nodes[k].x : p};
}

}  // namespace

int ReadoutMarkX(const CSPLX_30Doc& doc, const ResultsViewState& state, int mouseX) {
  const std::optional<ReadPoint> at = PointAt(doc, state, mouseX);
  if (!at) return -1;
  return ScreenFrame(state.m_cxClient, state.m_cyClient, doc.GetBeamLength()).MapX(at->w);
}

std::string ReadoutText(const CSPLX_30Doc& doc, const ResultsViewState& state, int mx) {
  const std::optional<ReadPoint> at = PointAt(doc, state, mx);
  if (!at) return {};
  const CBeamAnalysis& a = doc.GetAnalysis();
  const CBeamAnalysis::TableLock lock(a);
  const int32_t k = at->node;
  const double w = at->w;
  const bool english = doc.GetUnits() == kUnitsEnglish;
  const bool metric = doc.GetUnits() == kUnitsMetric;
  std::string t = " x = " + Width6General4(english ? w / 12 : w) +
                  (english ? " feet" : metric ? " m" : " ") + "\r\n";
  if (a.m_nNodes > 0) {
    const BeamNode& n = a.m_nodes[k];
    const ViewToggles& show = state.toggles;
    if (show.deflection) {
      t += " Deflection = " + FormatGeneral(metric ? n.deflection * 1000 : n.deflection, 4) +
           (english ? " inches" : metric ? " mm" : "") + "\r\n";
    }
    if (show.rotation) t += " Rotation = " + FormatGeneral(n.rotation, 4) + " radians\r\n";
    // The element that ends at the node: the last one whose xEnd <= w.
    int32_t j = 0;
    for (int32_t e = std::min(a.m_nElements, k); e >= 1; --e) {
      if (a.m_elements[e].xEnd <= w) {
        j = e;
        break;
      }
    }
    if (show.moment) {
      const double m = j > 0 ? -a.m_elements[j].momentEnd / (english ? 12.0 : 1.0) : 0.0;
      t += " Moment = " + FormatGeneral(m, 4) + (english ? " kip ft" : metric ? " kN m" : "") +
           "\r\n";
    }
    if (show.shear) {
      const double v = j > 0 ? -a.m_elements[j].shearEnd : 0.0;
      t += " Shear = " + FormatGeneral(v, 4) + (english ? " kips" : metric ? " kN" : "") + "\r\n";
    }
  }
  return t;
}

}  // namespace spanlab
