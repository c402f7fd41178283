// Node placement and element building.
//
// The classic engine placed nodes by scanning the whole node table for every item position and
// inserting into a sorted table by shifting, which is quadratic. Here the same nodes come out in
// O(n log n):
//  * Item positions are sorted (a natural merge sort: item lists are usually already ascending)
//    and cut into clusters of positions closer than the tolerance to their neighbour. Positions
//    in different clusters can never be within the tolerance of each other, so the
//    first-come-first-served rule ("skip a position within 1e-10 of a node already placed") is
//    replayed in visiting order inside each cluster only.
//  * Subdivision cuts each gap between those nodes into equal parts. The parts are L/199 or
//    shorter by construction; they are not examined again, as their computed widths may exceed
//    L/199 by a rounding error (a 30-unit beam gets 199 elements, not a few more).
// EI assignment and release matching use binary searches instead of full scans; see below.
#include <algorithm>
#include <cmath>
#include <set>

#include "analysis/beam_analysis.h"

namespace spanlab {

namespace {

constexpr const char* kMessageTooManyNodes =
    "Error A1 - Failed to allocate memory. The model needs more than 10000000 nodes.";
constexpr const char* kMessageBadPositions =
    "Error A1 - The beam cannot be divided into elements: every position must be a finite "
    "number and the beam longer than 1e-8.";

struct Candidate {
  double x;
  int64_t order;  // visiting order; the forced end nodes come first
};

// Stable sort by x that runs in linear time on input made of a few ascending runs.
void NaturalMergeSort(std::vector<Candidate>& v) {
  auto less = [](const Candidate& a, const Candidate& b) { return a.x < b.x; };
  std::vector<size_t> bounds{0};
  for (size_t i = 1; i < v.size(); ++i) {
    if (v[i].x < v[i - 1].x) bounds.push_back(i);
  }
  bounds.push_back(v.size());
  if (bounds.size() > 65) {  // many runs: a general sort is as good
    std::stable_sort(v.begin(), v.end(), less);
    return;
  }
  std::vector<Candidate> buffer(v.size());
  while (bounds.size() > 2) {
    std::vector<size_t> merged{0};
    for (size_t r = 0; r + 1 < bounds.size(); r += 2) {
      const size_t lo = bounds[r], mid = bounds[r + 1];
      const size_t hi = r + 2 < bounds.size() ? bounds[r + 2] : mid;
      std::merge(v.begin() + lo, v.begin() + mid, v.begin() + mid, v.begin() + hi,
                 buffer.begin() + lo, less);
      merged.push_back(hi);
    }
    v.swap(buffer);
    bounds.swap(merged);
  }
}

bool Near(double a, double b) { return std::fabs(a - b) < CBeamAnalysis::kPositionTolerance; }

// Replays the placement rule for one cluster: in visiting order, a position is placed unless
// it lies within the tolerance of one placed before it. Appends the placed positions sorted.
void PlaceCluster(std::vector<Candidate>& cluster, int64_t forcedCount, std::vector<double>& out) {
  std::sort(cluster.begin(), cluster.end(),
            [](const Candidate& a, const Candidate& b) { return a.order < b.order; });
  std::set<double> placed;
  for (const Candidate& c : cluster) {
    if (c.order >= forcedCount) {
      // Any placed node within the tolerance is one of the two neighbours of c.x.
      auto above = placed.lower_bound(c.x);
      if (above != placed.end() && Near(c.x, *above)) continue;
      if (above != placed.begin() && Near(c.x, *std::prev(above))) continue;
    }
    placed.insert(c.x);
  }
  out.insert(out.end(), placed.begin(), placed.end());
}

// The nodes of step "0, L, then every item position not near a placed node", sorted.
std::vector<double> PlaceItemNodes(std::vector<Candidate> candidates, int64_t forcedCount) {
  NaturalMergeSort(candidates);
  std::vector<double> nodes;
  nodes.reserve(candidates.size());
  std::vector<Candidate> cluster;
  size_t i = 0;
  while (i < candidates.size()) {
    size_t j = i + 1;
    while (j < candidates.size() && Near(candidates[j].x, candidates[j - 1].x)) ++j;
    if (j == i + 1) {
      nodes.push_back(candidates[i].x);  // alone: nothing can be near it
    } else {
      cluster.assign(candidates.begin() + i, candidates.begin() + j);
      PlaceCluster(cluster, forcedCount, nodes);
    }
    i = j;
  }
  return nodes;
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

  std::vector<Candidate> candidates;
  candidates.reserve(2 + properties.size() + releases.size() + supports.size() + springs.size() +
                     pointLoads.size() + 2 * uniformLoads.size());
  int64_t order = 0;
  auto visit = [&](double x) { candidates.push_back({x, order++}); };
  visit(0.0);  // both ends are placed without a duplicate test
  visit(L);
  const int64_t forcedCount = order;
  for (const auto& p : properties) visit(p.m_dX);
  for (const auto& r : releases) visit(r.m_dX);
  for (const auto& s : supports) visit(s.m_dX);
  for (const auto& s : springs) visit(s.m_dX);
  for (const auto& p : pointLoads) visit(p.m_dX);
  for (const auto& u : uniformLoads) {
    visit(u.m_dXStart);
    visit(u.m_dXEnd);
  }
  for (const Candidate& c : candidates) {
    if (!std::isfinite(c.x)) return Refuse(kMessageBadPositions);
  }
  const std::vector<double> placed = PlaceItemNodes(std::move(candidates), forcedCount);

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

  std::vector<double> x;
  x.reserve(static_cast<size_t>(total) + 1);
  x.push_back(placed[0]);
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
        if (p > x.back() && p < right) x.push_back(p);
      }
    }
    x.push_back(right);
  }
  // Nodes closer than the tolerance would share degrees of freedom (only for beams shorter
  // than about 4e-8, or both ends within 1e-10): refuse rather than solve nonsense.
  for (size_t i = 0; i + 1 < x.size(); ++i) {
    if (Near(x[i + 1], x[i])) return Refuse(kMessageBadPositions);
  }

  m_nNodes = static_cast<int32_t>(x.size());
  m_nodes.resize(x.size() + 1);
  for (int32_t i = 1; i <= m_nNodes; ++i) m_nodes[i] = BeamNode{x[i - 1], 0, 0, 0, 0};
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
    m_elements[e].length = m_nodes[e + 1].x - m_nodes[e].x;
  }
  m_dMaxE = 0;
  m_dMaxI = 0;
  if (m_nElements == 0) return;

  // Each property (in list order) sets the EI of every element with X < xEnd, a suffix of the
  // elements because xEnd ascends. An element therefore ends up with the EI of the last
  // property whose suffix contains it: record each property at its suffix start and carry the
  // latest property index forward.
  std::vector<double> xEnds(static_cast<size_t>(m_nElements));
  for (int32_t e = 1; e <= m_nElements; ++e) xEnds[e - 1] = m_elements[e].xEnd;
  std::vector<int64_t> latestAt(static_cast<size_t>(m_nElements) + 2, -1);
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
    const size_t start = std::upper_bound(xEnds.begin(), xEnds.end(), p.m_dX) - xEnds.begin() + 1;
    latestAt[start] = static_cast<int64_t>(k);
  }
  int64_t latest = -1;
  for (int32_t e = 1; e <= m_nElements; ++e) {
    latest = std::max(latest, latestAt[e]);
    if (latest >= 0) m_elements[e].ei = eiOf[static_cast<size_t>(latest)];
  }

  // A release flags the first element e with 0.1 * length > |xEnd - X|. Every such element
  // reaches, with xEnd + 0.1 * length, beyond X; the running maximum of that reach is
  // ascending, so a binary search finds the first element that may match, and the exact test
  // is then applied from there until elements start right of X (those can never match).
  if (releases.empty()) return;
  std::vector<double> reach(static_cast<size_t>(m_nElements));
  double maxAbsX = 0;
  double running = -HUGE_VAL;
  for (int32_t e = 1; e <= m_nElements; ++e) {
    running = std::max(running, m_elements[e].xEnd + 0.1 * m_elements[e].length);
    reach[e - 1] = running;
    maxAbsX = std::max(maxAbsX, std::fabs(m_elements[e].xEnd));
  }
  maxAbsX = std::max(maxAbsX, std::fabs(m_nodes[1].x));
  for (const CMomentReleaseItem& r : releases) {
    const double X = r.m_dX;
    const double margin = 1e-12 * std::max(std::fabs(X), maxAbsX);  // covers rounding of reach
    int32_t e = static_cast<int32_t>(
        std::upper_bound(reach.begin(), reach.end(), X - margin) - reach.begin() + 1);
    for (; e <= m_nElements && m_nodes[e].x <= X; ++e) {
      BeamElement& el = m_elements[e];
      if (0.1 * el.length > std::fabs(el.xEnd - X)) {
        el.releaseEnd = 1;
        break;
      }
    }
  }
}

}  // namespace spanlab
