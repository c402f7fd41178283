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

#include <array>
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
    // toward the right end (element i on) and toward the left end (element i - 1 back); floats
    // rounded up (an infinity for a value beyond their range only keeps a case going).
    float boundRight[4][2], boundLeft[4][2];
    uint8_t flags = 0;  // held deflection 1, held rotation 2, a spring 4, a hinge ending here 8
  };
  // The springs of a node: their sums for the reactions, and the positive ones the equations
  // hold (deflection, rotation).
  struct Springs {
    int32_t node = 0;
    double vert = 0, rot = 0, heldVert = 0, heldRot = 0;
  };

  CBeamAnalysis::ElementTerms Terms(int32_t e) const;
  const Springs* SpringsAt(int32_t i) const;  // null for a node without springs
  // The block of element e between its nodes (held dofs 0), and node i's diagonal block (held
  // dofs as identity): computed once, then read.
  Mat2 CouplingOf(int32_t e) const;
  Sym2 DiagonalOf(int32_t i) const;
  const Mat2& Coupling(int32_t e) const { return m_couplings[static_cast<size_t>(e)]; }
  const Sym2& Diagonal(int32_t i) const { return m_diagonals[static_cast<size_t>(i)]; }
  ElementEnds EndsOf(int32_t e, Vec2 left, Vec2 right, double p, double q) const;
  // False when a Schur complement is not positive definite (then the solver cannot be used).
  bool Factor();
  void ComputeBounds(bool towardRight);
  static bool Within(const float (&bound)[4][2], Vec2 u, const LocalTolerance& tol);
  void Run(const LocalLoads& loads, const LocalTolerance* tol, int32_t first, int32_t last,
           LocalCase& out) const;
  // Solves the nodal loads m_f on [a, b] into m_u, outwards until the bound is within `tol`
  // (else over [first, last]); returns the window's first node, its last in `right`.
  int32_t Propagate(int32_t a, int32_t b, const LocalTolerance* tol, int32_t first, int32_t last,
                    int32_t& right) const;
  // The window's values from the displacements in m_u; the loaded nodes are [a, b].
  void Fill(const LocalLoads& loads, int32_t a, int32_t b, LocalCase& out) const;

  const CBeamAnalysis& m_a;
  bool m_ok = false;
  int32_t m_n = 0, m_samples = 0;
  // Per element [1..elements]: EI / l, EI / l^2, EI / l^3 (the terms follow from them).
  std::vector<std::array<double, 3>> m_ratios;
  std::vector<Springs> m_springs;  // by node
  std::vector<Mat2> m_couplings;   // [1..elements]
  std::vector<Sym2> m_diagonals;   // [1..nodes]
  std::vector<NodeData> m_nodes;                     // [1..nodes]
  // Per element and sample, the four values' coefficients of the end displacements
  // (v1, r1, v2, r2) of the unloaded element: 16 numbers, element e from (e - 1) x samples.
  std::vector<double> m_sampleTable;
  // Scratch of one Solve (its calls are not concurrent).
  mutable std::vector<Vec2> m_f, m_g, m_u, m_solution, m_residual;
  mutable std::vector<double> m_p, m_q;
};

}  // namespace spanlab
