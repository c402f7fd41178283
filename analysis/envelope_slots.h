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
  EnvelopeSlots(const CBeamAnalysis& a, const EnvelopeOptions& options, LiveLoadEnvelope& env)
      : m_env(env), m_kinds(options.regionKinds & 0xFFu) {
    if (!options.regions || m_kinds == 0) return;
    const std::vector<LiveLoadSpan>& regions = *options.regions;
    env.regionExtremes.resize(regions.size());
    m_regionSlots.assign(static_cast<size_t>(a.m_nElements) + 2, 0);
    size_t r = 0;
    for (int32_t e = 1; e <= a.m_nElements && !regions.empty(); ++e) {
      const double mid = a.m_elements[e].xEnd - a.ElementLength(e) / 2;
      while (r + 1 < regions.size() && mid >= regions[r].end) ++r;
      if (mid >= regions[r].start && (mid <= regions[r].end || r + 1 == regions.size()))
        m_regionSlots[static_cast<size_t>(e)] = (r + 1) * kEnvelopeExtremeCount;
    }
    m_size += regions.size() * kEnvelopeExtremeCount;
  }
  size_t size() const { return m_size; }
  EnvelopeExtreme& Extreme(size_t slot) {
    if (slot < kEnvelopeExtremeCount) return m_env.extremes[slot];
    return m_env.regionExtremes[slot / kEnvelopeExtremeCount - 1][slot % kEnvelopeExtremeCount];
  }
  // Whether the regions' extremes of kind `kind` are asked for.
  bool Asks(int kind) const { return m_kinds >> kind & 1u; }
  // The first slot of element e's region (slot + kind is its extreme of that kind); 0 when e
  // lies in no region. e runs from 0 to elements + 1 (the ends have none).
  size_t RegionSlots(int32_t e) const {
    return m_regionSlots.empty() ? 0 : m_regionSlots[static_cast<size_t>(e)];
  }
  // Whether element e lies in the slot's range (the whole beam holds every element).
  bool Holds(size_t slot, int32_t e) const {
    return slot < kEnvelopeExtremeCount ||
           RegionSlots(e) == slot - slot % kEnvelopeExtremeCount;
  }

 private:
  LiveLoadEnvelope& m_env;
  uint32_t m_kinds;
  std::vector<size_t> m_regionSlots;  // [0..elements + 1]: RegionSlots(e)
  size_t m_size = kEnvelopeExtremeCount;
};

}  // namespace spanlab
