// Where an envelope keeps the extremes it looks for (live_load.cpp): the whole beam's eight and
// those of the ranges of x its options ask for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/beam_analysis.h"
#include "analysis/live_load.h"

namespace spanlab {

// The extremes an envelope finds: slots 0..7 are the whole beam's eight kinds, then come the
// kinds asked for in each region, region by region (slot % 8 is always the kind).
class EnvelopeSlots {
 public:
  static constexpr size_t kNone = ~size_t{0};
  EnvelopeSlots(const CBeamAnalysis& a, const EnvelopeOptions& options, LiveLoadEnvelope& env)
      : m_env(env), m_kinds(options.regionKinds & 0xFFu) {
    if (!options.regions || m_kinds == 0) return;
    const std::vector<LiveLoadSpan>& regions = *options.regions;
    env.regionExtremes.resize(regions.size());
    m_elementRegion.assign(static_cast<size_t>(a.m_nElements) + 1, -1);
    size_t r = 0;
    for (int32_t e = 1; e <= a.m_nElements && !regions.empty(); ++e) {
      const double mid = a.m_elements[e].xEnd - a.ElementLength(e) / 2;
      while (r + 1 < regions.size() && mid >= regions[r].end) ++r;
      if (mid >= regions[r].start && (mid <= regions[r].end || r + 1 == regions.size()))
        m_elementRegion[static_cast<size_t>(e)] = static_cast<int32_t>(r);
    }
    m_size += regions.size() * kEnvelopeExtremeCount;
  }
  size_t size() const { return m_size; }
  EnvelopeExtreme& Extreme(size_t slot) {
    if (slot < kEnvelopeExtremeCount) return m_env.extremes[slot];
    return m_env.regionExtremes[slot / kEnvelopeExtremeCount - 1][slot % kEnvelopeExtremeCount];
  }
  // The slot of kind `kind` in element e's region; kNone when there is none or it is not asked.
  size_t Of(int32_t e, int kind) const {
    if (!(m_kinds >> kind & 1u) || e < 1 || static_cast<size_t>(e) >= m_elementRegion.size())
      return kNone;
    const int32_t r = m_elementRegion[static_cast<size_t>(e)];
    return r < 0 ? kNone
                 : (static_cast<size_t>(r) + 1) * kEnvelopeExtremeCount + static_cast<size_t>(kind);
  }
  // Whether element e lies in the slot's range (the whole beam holds every element).
  bool Holds(size_t slot, int32_t e) const {
    if (slot < kEnvelopeExtremeCount) return true;
    return m_elementRegion[static_cast<size_t>(e)] ==
           static_cast<int32_t>(slot / kEnvelopeExtremeCount - 1);
  }

 private:
  LiveLoadEnvelope& m_env;
  uint32_t m_kinds;
  std::vector<int32_t> m_elementRegion;  // [1..elements], -1 outside every region
  size_t m_size = kEnvelopeExtremeCount;
};

}  // namespace spanlab
