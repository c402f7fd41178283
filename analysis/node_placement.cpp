// Node placement and element building.
//
// The classic engine placed nodes by scanning the whole node table for every item position and
// inserting into a sorted table by shifting, which is quadratic. Here the same nodes come out in
// O(n log n):
//  * Item positions are sorted (a natural merge sort: item lists are usually already ascending)
//    and exact repeats dropped. Distinct positions closer than the tolerance to a neighbour form
//    clusters; positions in different clusters can never be within the tolerance of each other,
//    so the first-come-first-served rule ("skip a position within 1e-10 of a node already
//    placed") is replayed in visiting order inside each cluster only.
//  * Subdivision cuts each gap between those nodes into equal parts. The parts are L/199 or
//    shorter by construction; they are not examined again, as their computed widths may exceed
//    L/199 by a rounding error (a 30-unit beam gets 199 elements, not a few more).
// EI assignment uses a binary search per property instead of a full scan; see below.
#include <algorithm>
#include <cmath>
#include <set>
#include <unordered_map>
#include <utility>

#include "analysis/beam_analysis.h"

namespace spanlab {

namespace {

constexpr const char* kMessageTooManyNodes =
    "Error A1 - Failed to allocate memory. The model needs more than 10000000 nodes.";
constexpr const char* kMessageBadPositions =
    "Error A1 - The beam cannot be divided into elements: every position must be a finite "
    "number and the beam longer than 4e-8.";

// Sorts ascending, in linear time when `v` is made of a few ascending runs (item lists are
// usually ascending already). `buffer` is scratch space.
void NaturalMergeSort(std::vector<double>& v, std::vector<double>& buffer) {
  std::vector<size_t> bounds{0};
  for (size_t i = 1; i < v.size(); ++i) {
    if (v[i] < v[i - 1]) bounds.push_back(i);
  }
  bounds.push_back(v.size());
  if (bounds.size() > 65) {  // many runs: a general sort is as good
    std::sort(v.begin(), v.end());
    return;
  }
  buffer.resize(v.size());
  while (bounds.size() > 2) {
    std::vector<size_t> merged{0};
    for (size_t r = 0; r + 1 < bounds.size(); r += 2) {
      const size_t lo = bounds[r], mid = bounds[r + 1];
      const size_t hi = r + 2 < bounds.size() ? bounds[r + 2] : mid;
      std::merge(v.begin() + lo, v.begin() + mid, v.begin() + mid, v.begin() + hi,
                 buffer.begin() + lo);
      merged.push_back(hi);
    }
    v.swap(buffer);
    bounds.swap(merged);
  }
}

bool Near(double a, double b) { return std::fabs(a - b) < CBeamAnalysis::kPositionTolerance; }

// Calls `visit` with every item position in visiting order, the two ends first.
template <class Visit>
void VisitPositions(double length, const std::vector<CMemberPropertyItem>& properties,
                    const std::vector<CMomentReleaseItem>& releases,
                    const std::vector<CSupportItem>& supports,
                    const std::vector<CSpringItem>& springs,
                    const std::vector<CPointLoadItem>& pointLoads,
                    const std::vector<CUniformLoadItem>& uniformLoads, Visit&& visit) {
  visit(0.0);
  visit(length);
  for (const auto& p : properties) visit(p.m_dX);
  for (const auto& r : releases) visit(r.m_dX);
  for (const auto& s : supports) visit(s.m_dX);
  for (const auto& s : springs) visit(s.m_dX);
  for (const auto& p : pointLoads) visit(p.m_dX);
  for (const auto& u : uniformLoads) {
    visit(u.m_dXStart);
    visit(u.m_dXEnd);
  }
}

// Replays the placement rule on clusters of distinct positions that lie within the tolerance
// of a neighbour: in visiting order, a position is placed unless it is near one placed before
// it (the two ends are placed unconditionally). `sorted` holds distinct ascending positions;
// the placed ones are compacted to its front. `firstVisit(x)` gives x's first visiting index.
template <class FirstVisit>
void PlaceClusters(std::vector<double>& sorted, FirstVisit&& firstVisit) {
  size_t write = 0;
  std::vector<std::pair<int64_t, double>> cluster;
  std::set<double> placed;
  size_t i = 0;
  while (i < sorted.size()) {
    size_t j = i + 1;
    while (j < sorted.size() && Near(sorted[j], sorted[j - 1])) ++j;
    if (j == i + 1) {
      sorted[write++] = sorted[i];  // alone: nothing can be near it
    } else {
      cluster.clear();
      for (size_t k = i; k < j; ++k) cluster.emplace_back(firstVisit(sorted[k]), sorted[k]);
      std::sort(cluster.begin(), cluster.end());
      placed.clear();
      for (const auto& [order, x] : cluster) {
        if (order >= 2) {  // not one of the ends
          // Any placed node within the tolerance is one of the two neighbours of x.
          const auto above = placed.lower_bound(x);
          if (above != placed.end() && Near(x, *above)) continue;
          if (above != placed.begin() && Near(x, *std::prev(above))) continue;
        }
        placed.insert(x);
      }
      for (double x : placed) sorted[write++] = x;
    }
    i = j;
  }
  sorted.resize(write);
}

}  // namespace

void CBeamAnalysis::BuildNodes(const std::vector<CMemberPropertyItem>& properties,
                               const std::vector<CMomentReleaseItem>& releases,
                               const std::vector<CSupportItem>& supports,
                               const std::vector<CSpringItem>& springs,
                               const std::vector<CPointLoadItem>& pointLoads,
                               const std::vector<CUniformLoadItem>& uniformLoads) {
  if (m_bRefused) return;
  m_nNodes = 0;
  m_nodes.assign(1, BeamNode{});
  if (m_dLength == 0) return;
  const double L = m_dLength;

  // Every position, sorted, exact repeats removed: a repeat is always near its first
  // occurrence, so only the first can ever be placed, and any zero is the end node +0.0.
  // Working memory of this placement only: it is not kept for the next run, so that it is not
  // held beside the equations of the solution (the peak memory of a large model).
  std::vector<double> placed, sortBuffer;
  placed.reserve(2 + properties.size() + releases.size() + supports.size() + springs.size() +
                 pointLoads.size() + 2 * uniformLoads.size());
  VisitPositions(L, properties, releases, supports, springs, pointLoads, uniformLoads,
                 [&placed](double x) { placed.push_back(x); });
  for (double x : placed) {
    if (!std::isfinite(x)) return Refuse(kMessageBadPositions);
  }
  NaturalMergeSort(placed, sortBuffer);
  placed.erase(std::unique(placed.begin(), placed.end()), placed.end());
  for (double& x : placed) {
    if (x == 0) x = 0.0;
  }
  // Distinct positions closer than the tolerance depend on the order they were met in.
  bool clusters = false;
  for (size_t i = 0; i + 1 < placed.size() && !clusters; ++i) clusters = Near(placed[i + 1], placed[i]);
  if (clusters) {
    std::unordered_map<double, int64_t> first;
    for (size_t i = 0; i + 1 < placed.size(); ++i) {
      if (Near(placed[i + 1], placed[i])) {
        first.emplace(placed[i], INT64_MAX);
        first.emplace(placed[i + 1], INT64_MAX);
      }
    }
    int64_t order = 0;
    VisitPositions(L, properties, releases, supports, springs, pointLoads, uniformLoads,
                   [&](double x) {
                     const auto it = first.find(x == 0 ? 0.0 : x);
                     if (it != first.end()) it->second = std::min(it->second, order);
                     ++order;
                   });
    PlaceClusters(placed, [&first](double x) { return first.at(x); });
  }

  // Subdivision: every gap longer than h is cut into n = trunc(d / h + 1) equal parts. Count
  // first, so that a hostile model cannot make us allocate without bound.
  const double h = L * kSubdivisionFactor;
  double total = static_cast<double>(placed.size());
  for (size_t i = 0; i + 1 < placed.size(); ++i) {
    const double d = placed[i + 1] - placed[i];
    if (d > h) {
      const double n = std::trunc(d / h + 1);  // no parts at all for a negative length
      if (n > 1) total += n - 1;
    }
  }
  if (!std::isfinite(total)) return Refuse(kMessageBadPositions);
  if (total > kMaxNodes) return Refuse(kMessageTooManyNodes);

  // Written straight into the node table (its memory is kept from run to run).
  m_nodes.reserve(static_cast<size_t>(total) + 1);
  auto add = [this](double x) { m_nodes.push_back(BeamNode{x, 0, 0, 0, 0}); };
  add(placed[0]);
  for (size_t i = 0; i + 1 < placed.size(); ++i) {
    const double left = placed[i];
    const double right = placed[i + 1];
    const double d = right - left;
    if (d > h) {
      const double n = std::trunc(d / h + 1);
      const double s = d / n;
      // Only points strictly between their neighbours are kept (rounding could break that only
      // at the very edge of the double range).
      for (double j = 1; j <= n - 1; ++j) {
        const double p = left + j * s;
        if (p > m_nodes.back().x && p < right) add(p);
      }
    }
    add(right);
  }
  m_nNodes = static_cast<int32_t>(m_nodes.size() - 1);
  // Nodes closer than the tolerance would share degrees of freedom: refuse rather than solve
  // nonsense. Placed positions are at least the tolerance apart, and a gap d > h is cut into
  // parts of d / trunc(d / h + 1) > h / 2, so this happens only when h < 2e-10, for beams
  // shorter than 2e-10 x 199 = 3.98e-8 (the message says 4e-8).
  for (int32_t i = 1; i < m_nNodes; ++i) {
    if (Near(m_nodes[i + 1].x, m_nodes[i].x)) return Refuse(kMessageBadPositions);
  }
  m_nDof = 2 * m_nNodes;

  // " %3i Nodes Defined, %3i Degrees of freedom" with its leading blanks replaced by one.
  std::string dof = std::to_string(m_nDof);
  if (dof.size() < 3) dof.insert(0, 3 - dof.size(), ' ');
  m_messages.push_back(" " + std::to_string(m_nNodes) + " Nodes Defined, " + dof +
                       " Degrees of freedom");
}

void CBeamAnalysis::BuildElements(const std::vector<CMemberPropertyItem>& properties,
                                  const std::vector<CMomentReleaseItem>& releases) {
  if (m_bRefused) return;
  m_nElements = m_nNodes > 0 ? m_nNodes - 1 : 0;
  m_elements.assign(static_cast<size_t>(m_nElements) + 1, BeamElement{});
  for (int32_t e = 1; e <= m_nElements; ++e) {
    m_elements[e].xEnd = m_nodes[e + 1].x;
  }
  m_dMaxE = 0;
  m_dMaxI = 0;
  if (m_nElements == 0) return;

  // Each property (in list order) sets the EI of every element with X < xEnd, a suffix of the
  // elements because xEnd ascends. An element therefore ends up with the EI of the last
  // property whose suffix contains it: record each property at its suffix start and carry the
  // latest property index forward.
  const auto firstElement = m_elements.begin() + 1;
  std::vector<int32_t> latestAt(static_cast<size_t>(m_nElements) + 2, -1);
  std::vector<double> eiOf(properties.size());
  double previousE = 0;
  double previousI = 0;
  for (size_t k = 0; k < properties.size(); ++k) {
    const CMemberPropertyItem& p = properties[k];
    const double e = p.m_dE != 0 ? p.m_dE : previousE;
    const double i = p.m_dI != 0 ? p.m_dI : previousI;
    m_dMaxE = std::max(m_dMaxE, e);
    m_dMaxI = std::max(m_dMaxI, i);
    eiOf[k] = e * i;
    previousE = e;
    previousI = i;
    const auto suffix =
        std::upper_bound(firstElement, m_elements.end(), p.m_dX,
                         [](double x, const BeamElement& el) { return x < el.xEnd; });
    latestAt[suffix - m_elements.begin()] = static_cast<int32_t>(k);
  }
  int32_t latest = -1;
  for (int32_t e = 1; e <= m_nElements; ++e) {
    latest = std::max(latest, latestAt[e]);
    if (latest >= 0) m_elements[e].ei = eiOf[static_cast<size_t>(latest)];
  }

  // A release sets the hinge flag of the element that ends at its node (the node FindDof finds
  // for its position). A release at the first node ends no element and changes nothing.
  for (const CMomentReleaseItem& r : releases) {
    const int32_t node = (FindDof(r.m_dX) + 1) / 2;
    if (node >= 2) m_elements[node - 1].releaseEnd = 1;
  }
}

}  // namespace spanlab
