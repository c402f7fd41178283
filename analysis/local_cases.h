// Load cases whose loads lie on a few neighbouring elements (one span of a live-load
// envelope), solved near their loads and carried along the beam only as far as their values
// can matter.
//
// A continuous beam passes a load's effect on from span to span with falling values. The
// solver carries a case's solution outwards from its loads, node by node, and stops where a
// bound on every value beyond -- each displacement, end force and envelope sample up to the
// beam's end -- is within the caller's tolerance. The bound is computed from the beam's own
// equations (local_cases.cpp), not from a count of spans: where values fall slowly (soft
// springs, long overhangs) the solution is simply carried further.
//
// Units and signs are those of CBeamAnalysis; prescribed values (settlements) are 0.
#pragma once

#include <cstdint>
#include <vector>

#include "analysis/beam_analysis.h"
#include "analysis/element_values.h"

namespace spanlab {

// A load case as loads at nodes and on elements (1-based indices of the run's tables).
struct LocalLoads {
  struct AtNode {
    int32_t node = 1;
    double force = 0, moment = 0;
  };
  struct OnElement {
    int32_t element = 1;
    double p = 0, q = 0;  // intensity at the element's left end, rise over it
  };
  std::vector<AtNode> nodes;
  std::vector<OnElement> elements;
  bool empty() const { return nodes.empty() && elements.empty(); }
  void clear() {
    nodes.clear();
    elements.clear();
  }
};

// A case's solution over its window of nodes [first, last]: displacements and reactions of the
// nodes (index node - first), the ends of the elements [first, last - 1] (index element -
// first). Every value outside the window is within the tolerance of 0, and so is the part a
// window's end node's reaction lacks (that of the element outside).
struct LocalCase {
  int32_t first = 1, last = 0;
  std::vector<double> deflection, rotation, reactionVert, reactionRot;
  std::vector<ElementEnds> ends;
};

// The largest value beyond a window that may be left out, per kind: displacements, rotations,
// forces (shears; a reaction sums two of them) and moments.
struct LocalTolerance {
  double deflection = 0, rotation = 0, force = 0, moment = 0;
};

class LocalCaseSolver {
 public:
  // Whether `analysis` may be solved this way to the accuracy of its own solution: it was
  // solved in double and its estimated error is at most 1e-13 of scale (a precise solution's
  // cases need its double-double arithmetic; an error estimated larger would let the two
  // solutions differ by more than their round-off).
  static bool Suits(const CBeamAnalysis& analysis);

  // Factors the run's equations from both ends and computes the bounds: O(nodes) time, about
  // 250 bytes per node. `samplesPerElement` equally spaced interior points of every element
  // are covered by the bound (the envelope's samples). The analysis must outlive the solver and
  // Suits it; `springs` are the run's.
  LocalCaseSolver(const CBeamAnalysis& analysis, const std::vector<CSpringItem>& springs,
                  int32_t samplesPerElement);

  // Whether the equations factored (Suits promises it; a solver that did not must not be used).
  bool ok() const { return m_ok; }

  // The values at element e's interior samples (samplesPerElement of them, equally spaced, as
  // the envelope places them) for its ends in some case: from a table of the unloaded element,
  // else from its closed form.
  void SampleValues(int32_t e, const ElementEnds& ends, BeamValues* out) const;

  // Solves `loads` (not empty; settlements 0), carried outwards until the bound on everything
  // beyond is within `tol`.
  void Solve(const LocalLoads& loads, const LocalTolerance& tol, LocalCase& out) const;
  // The same over exactly the nodes [first, last] (a window an earlier Solve of the same loads
  // gave, to reproduce its values).
  void SolveOver(const LocalLoads& loads, int32_t first, int32_t last, LocalCase& out) const;

 // The 2x2 blocks of the equations (public for the arithmetic in local_cases.cpp).
  struct Vec2 {
    double x = 0, y = 0;
  };
  struct Sym2 {  // [[a, b], [b, c]]
    double a = 0, b = 0, c = 0;
  };
  struct Mat2 {
    double m00 = 0, m01 = 0, m10 = 0, m11 = 0;
  };

 private:
  struct NodeData {
    Sym2 leftInverse, rightInverse;  // the Schur complements' inverses from each end
    // Diagonals of the bounds' quadratic forms, per kind (deflection, rotation, force, moment):
    // toward the right end (element i on) and toward the left end (element i - 1 back).
    double boundRight[4][2], boundLeft[4][2];
    double springVert = 0, springRot = 0;  // the reactions' spring stiffnesses
    double springBlock[2] = {0, 0};        // those in the equations (deflection, rotation)
    uint8_t prescribed = 0;                // bit 1 deflection, bit 2 rotation
  };

  Mat2 Coupling(int32_t e) const;  // the block of element e between its nodes, held dofs 0
  ElementEnds EndsOf(int32_t e, Vec2 left, Vec2 right, double p, double q) const;
  // False when a Schur complement is not positive definite (then the solver cannot be used).
  bool Factor(const std::vector<Sym2>& springBlocks);
  void ComputeBounds(bool towardRight);
  static bool Within(const double (&bound)[4][2], Vec2 u, const LocalTolerance& tol);
  void Run(const LocalLoads& loads, const LocalTolerance* tol, int32_t first, int32_t last,
           LocalCase& out) const;
  // Solves the nodal loads m_f on [a, b] into m_u, outwards until the bound is within `tol`
  // (else over [first, last]); returns the window's first node, its last in `right`.
  int32_t Propagate(int32_t a, int32_t b, const LocalTolerance* tol, int32_t first, int32_t last,
                    int32_t& right) const;
  Sym2 Diagonal(int32_t i) const;  // the diagonal block of node i, held dofs as identity
  // The window's values from the displacements in m_u; the loaded nodes are [a, b].
  void Fill(const LocalLoads& loads, int32_t a, int32_t b, LocalCase& out) const;

  const CBeamAnalysis& m_a;
  bool m_ok = false;
  int32_t m_n = 0, m_samples = 0;
  std::vector<CBeamAnalysis::ElementTerms> m_terms;  // [1..elements]
  std::vector<NodeData> m_nodes;                     // [1..nodes]
  // Per element and sample, the four values' coefficients of the end displacements
  // (v1, r1, v2, r2) of the unloaded element: 16 numbers, element e from (e - 1) x samples.
  std::vector<double> m_sampleTable;
  // Scratch of one Solve (its calls are not concurrent).
  mutable std::vector<Vec2> m_f, m_g, m_u;
  mutable std::vector<double> m_p, m_q;
};

}  // namespace spanlab
