// The stiffness analysis engine of one continuous beam, and the results record it leaves.
//
// A run is Reset -> SetLength -> BuildNodes -> BuildElements -> Solve. The beam is cut into
// Euler-Bernoulli elements between sorted nodes (two degrees of freedom per node: deflection
// 2i-1 and rotation 2i, numbered from 1); the banded stiffness equations are solved by Gaussian
// elimination without pivoting; then node results, reactions and element end forces are derived.
//
// Units: whatever internal units the items carry (inch/kip for English models, metre/kilonewton
// for Metric ones). Signs: x runs right; deflection is positive in the direction of a positive
// load; rotation = -d(deflection)/dx (clockwise positive); moment M = EI d2(deflection)/dx2
// (sagging positive), shear V = dM/dx; reactions are what supports and springs apply to the
// beam, in the load sign convention.
//
// Tables are indexed from 1 (index 0 is unused) and grow as needed; for every model that fits
// 999 nodes the nodes, elements and numbers are exactly those of the classic fixed-table engine.
// Only the engine writes the results record; views and reports read it through a const reference
// and treat m_dLength <= 0 as "no results".
#pragma once

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/double_double.h"
#include "model/items.h"

namespace spanlab {

struct BeamNode {
  double x = 0;
  double deflection = 0;
  double rotation = 0;
  double reactionVert = 0;  // force that supports and springs apply here
  double reactionRot = 0;   // moment that supports and springs apply here
};

// Element e joins node e (left) to node e + 1 (right).
struct BeamElement {
  double ei = 0;           // E x I
  int32_t releaseEnd = 0;  // 1 when a moment release (hinge) sits at the right end
  double xEnd = 0;         // x of the right node (its length: CBeamAnalysis::ElementLength)
  // End forces: the forces and moments the nodes apply to the element. The diagram value at
  // the left node is shearStart / momentStart, at the right node -shearEnd / -momentEnd.
  double shearStart = 0;
  double shearEnd = 0;
  double momentStart = 0;
  double momentEnd = 0;
};

class CBeamAnalysis {
 public:
  static constexpr double kPositionTolerance = 1e-10;                 // same node when closer
  static constexpr double kSubdivisionFactor = 0.005025125628140704;  // 1/199 of the length
  // A model needing more nodes than this is refused with an A1 line instead of being run:
  // beyond it the working memory of a run passes some 2 GB.
  static constexpr int32_t kMaxNodes = 10'000'000;

  static constexpr const char* kMessageA1 = "Error A1 - Failed to allocate memory.";
  static constexpr const char* kMessageA2 =
      "Error A2 - Very high displacements were found. The beam is unstable. Check the supports "
      "and stiffness.";
  static constexpr const char* kMessageA3 =
      "Error A3 - The stiffness at a node is extremely small. The beam is unstable. Check the "
      "supports and stiffness.";
  // A solution holding values beyond the range of a double (an overflow of stiffness, load or
  // support values) is no result at all.
  static constexpr const char* kMessageA4 =
      "Error A4 - The results are beyond the range of numbers the program can hold. Check for "
      "values that are far too large or too small.";
  // Equations so ill-conditioned that even the precise solution (32 digits) leaves errors above
  // the accuracy goal; the results are shown, with this line.
  static constexpr const char* kMessageW3 =
      "Warning W3 - The results may be inaccurate: the stiffness varies too much along the beam "
      "for the precision of the program. Check the member properties, springs and supports.";
  // Every result is meant to lie within kAccuracyGoal of its quantity's largest magnitude of
  // the exact solution of the model's equations; an estimated error above kAccuracyLimit gets
  // the W3 line.
  static constexpr double kAccuracyGoal = 1e-9;
  static constexpr double kAccuracyLimit = 1e-7;

  // Clears the messages, the length, the error flag, both tables, the load sums, the scales and
  // the extremes.
  void Reset();
  // Stores the beam length L (internal length unit); ignored after a refusal.
  void SetLength(double length);

  // Places the nodes: 0 and L, every item position not within 1e-10 of a node already placed
  // (properties, releases, supports, springs, point loads, uniform load starts and ends, each
  // list in order), then cuts every gap longer than L/199 into equal parts. Appends the node
  // count line. Refuses (A1 line, no nodes) a model with a non-finite position, nodes closer
  // than the tolerance after subdivision, or more than kMaxNodes nodes.
  void BuildNodes(const std::vector<CMemberPropertyItem>& properties,
                  const std::vector<CMomentReleaseItem>& releases,
                  const std::vector<CSupportItem>& supports,
                  const std::vector<CSpringItem>& springs,
                  const std::vector<CPointLoadItem>& pointLoads,
                  const std::vector<CUniformLoadItem>& uniformLoads);

  // Builds the elements between consecutive nodes: EI from the last property (in list order)
  // lying left of each element's right end (an E or I of 0 takes the previous property's),
  // and the release flag of the element that ends at each moment release.
  void BuildElements(const std::vector<CMemberPropertyItem>& properties,
                     const std::vector<CMomentReleaseItem>& releases);

  // Assembles and solves, then fills node results, reactions and end forces; appends the
  // equilibrium line last. The equations are solved in double; when the condition probe or the
  // equilibrium check says that double leaves errors above kAccuracyGoal, they are solved again
  // in double-double (precise_solve.cpp), and if even that is estimated to miss the goal the W3
  // line comes before the equilibrium line. A beam that is a mechanism (some part of it can move without bending
  // any element, whatever the loads and units) gets the A3 line and is not solved: its free
  // displacements stay 0. A beam whose deflections exceed its length gets the A2 line. A solution
  // beyond the range of a double (values or stiffnesses that overflow or underflow) gets the A4
  // line and no results. `units` is the unit system code.
  void Solve(const std::vector<CSupportItem>& supports, const std::vector<CSpringItem>& springs,
             const std::vector<CPointLoadItem>& pointLoads,
             const std::vector<CUniformLoadItem>& uniformLoads, int units);

  // Recomputes the sixteen extremes fields (all 0 when there are no results): the largest and
  // smallest value of each result along the whole beam and its position (the leftmost on
  // ties), from the node values, the element end forces and, after a complete run, the exact
  // values between the nodes (see element_values.h). Raises the four m_dMaxAbs scales to the
  // largest absolute extreme, so that a curve scaled by them stays within its height. For the
  // Metric system the deflection extremes (not their positions) are given in millimetres. Part
  // of a run (the document's RunAnalysis calls it last); readers never call it.
  void ComputeExtremes(int units);

  // The deflection degree of freedom 2i-1 of the first node i with |x - x_i| < 1e-10, or that of
  // the last node when none is that close. O(log n).
  int32_t FindDof(double x) const;

  // ---- Further load cases on the equations of the last run ----
  // The results of one load case: node values [1..m_nNodes] and element end forces
  // [1..m_nElements], with the conventions of the results record.
  struct CaseResults {
    std::vector<double> deflection, rotation, reactionVert, reactionRot;
    std::vector<double> shearStart, shearEnd, momentStart, momentEnd;
    // The case's distributed load on each element [1..m_nElements], as ElementLoadOf gives
    // the run's: for the values between nodes (element_values.h).
    std::vector<double> loadP, loadQ;
  };
  // Whether the last Solve left its eliminated equations for SolveLoadCase: it ran to the end
  // with results (no A1, A3 or A4; A2 leaves valid linear results).
  bool CanSolveLoadCases() const { return m_bCasesReady; }
  // Whether the last Solve, and so every further load case on its equations, used the precise
  // (double-double) solution.
  bool IsPreciseSolution() const { return m_bPrecise; }
  // The estimated relative error of the last Solve's results (of each quantity's scale), from
  // the condition probe of the path it took; 0 without a solution.
  double EstimatedError() const {
    return m_bPrecise ? m_dPreciseEstimate * kPreciseRoundoff
                      : m_dConditionEstimate * kDoubleRoundoff;
  }
  // Solves the beam of the last run (same nodes, elements, springs and restrained degrees of
  // freedom) for other loads and other prescribed values, without eliminating again: O(nodes).
  // `supports` gives the prescribed values; a restrained degree of freedom that none of them
  // names is held at 0, and a support naming a free degree of freedom is ignored. Every position
  // must be a node of the run. Precondition: CanSolveLoadCases().
  void SolveLoadCase(const std::vector<CSupportItem>& supports,
                     const std::vector<CSpringItem>& springs,
                     const std::vector<CPointLoadItem>& pointLoads,
                     const std::vector<CUniformLoadItem>& uniformLoads, CaseResults& out) const;
  // Whether the degree of freedom (numbered from 1) is held by a support in the last run.
  bool IsPrescribedDof(int32_t dof) const { return IsPrescribed(dof); }
  // The element stiffness terms for (EI, length, release flag), k11..k44 of the row order
  // (left deflection, left rotation, right deflection, right rotation); all 0 without length
  // or stiffness.
  struct ElementTerms {
    double k11 = 0, k12 = 0, k13 = 0, k14 = 0, k22 = 0, k23 = 0, k24 = 0, k33 = 0, k34 = 0, k44 = 0;
  };
  static ElementTerms ElementTermsOf(double ei, double length, int32_t releaseEnd);
  // The same from a = EI / l, b = EI / l^2 and c = EI / l^3 (all 0 for no stiffness).
  static ElementTerms ElementTermsOfRatios(double a, double b, double c, int32_t releaseEnd);

  // The distributed load on element e after a complete run: its intensity p at the left end and
  // its rise q over the element (the sum of every uniform load on it), in the load sign
  // convention. Zero for an element without one, and for every element when the run had no
  // uniform loads.
  struct ElementLoad {
    double p = 0, q = 0;
  };
  ElementLoad ElementLoadOf(int32_t e) const {
    if (m_loadP.empty()) return {};
    return {m_loadP[static_cast<size_t>(e)], m_loadQ[static_cast<size_t>(e)]};
  }

  // Element e's length: the x of its right node minus that of its left node. (Not stored: a
  // model holds as many elements as nodes.)
  double ElementLength(int32_t e) const {
    return m_elements[static_cast<size_t>(e)].xEnd - m_nodes[static_cast<size_t>(e)].x;
  }

  // The bracket around every reading of the tables, held for the scope of one reader. The
  // tables are plain memory that only Reset replaces; the bracket counts readers so that a
  // Reset inside one is caught in debug builds.
  class TableLock {
   public:
    explicit TableLock(const CBeamAnalysis& analysis);
    ~TableLock();
    TableLock(const TableLock&) = delete;
    TableLock& operator=(const TableLock&) = delete;

   private:
    const CBeamAnalysis& m_analysis;
  };

  // The share of a linearly varying load (p at the left end, rising by q over the length l)
  // that an element passes to its nodes: forces v1, v2 and moments m1, m2 as magnitudes;
  // the load vector gets +v1, -m1, +v2, +m2.
  struct LoadShares {
    double v1 = 0, m1 = 0, v2 = 0, m2 = 0;
  };
  static LoadShares LoadSharesOf(double p, double q, double l, int32_t releaseEnd);
  // Calls use(e, p, q) for every element a uniform load covers (positions at nodes of the run),
  // with its intensity p at the element's left end and its rise q over the element, as the run
  // and every load case take it.
  template <class Use>
  void ForEachElementOf(const CUniformLoadItem& load, Use&& use) const {
    ForEachElementLoad(SpanOf(load), use);
  }

  // ---- The results record ----
  double m_dLength = 0;
  uint8_t m_bError = 0;
  std::vector<std::string> m_messages;
  std::vector<BeamNode> m_nodes;  // [1..m_nNodes], ascending x
  int32_t m_nNodes = 0;
  std::vector<BeamElement> m_elements;  // [1..m_nElements]
  int32_t m_nElements = 0;
  int32_t m_nDof = 0;
  double m_dMaxE = 0, m_dMaxI = 0;
  double m_dLoadVert = 0;    // sum of applied vertical loads
  double m_dLoadMoment = 0;  // sum of moments of applied loads about x = 0 (rotation sense)
  double m_dMaxAbsDeflection = 0, m_dMaxAbsRotation = 0;
  double m_dMaxAbsShear = 0, m_dMaxAbsMoment = 0;
  double m_dMinShear = 0, m_dMaxShear = 0, m_dXMinShear = 0, m_dXMaxShear = 0;
  double m_dMinMoment = 0, m_dMaxMoment = 0, m_dXMinMoment = 0, m_dXMaxMoment = 0;
  double m_dMinRotation = 0, m_dMaxRotation = 0, m_dXMinRotation = 0, m_dXMaxRotation = 0;
  double m_dMinDeflection = 0, m_dMaxDeflection = 0, m_dXMinDeflection = 0, m_dXMaxDeflection = 0;

 private:
  // Working arrays of one Solve (F indexed 1..n, n + 2 entries). After a complete Solve K holds
  // the eliminated band, which SolveLoadCase reuses; the engine keeps their memory for the next
  // run, because the window re-runs the analysis at every edit and fresh pages for a large model
  // cost more than the solution.
  struct Equations {
    std::vector<double> F;  // loads; reactions at prescribed dofs after solving
    // The upper band of K, two rows per node: the deflection row r = 2i - 1 holds K[r][r..r+3],
    // the rotation row r + 1 holds K[r+1][r+1..r+3] (its fourth term, a coupling with the
    // deflection two nodes on, is always 0 and is not stored). Seven values per node.
    std::vector<double> K;
    // Row r's first term. (Rows start at 7 (i - 1) and 7 (i - 1) + 4 for node i.)
    double* Row(int32_t r) { return K.data() + 7 * ((r - 1) >> 1) + (((r - 1) & 1) << 2); }
    const double* Row(int32_t r) const {
      return K.data() + 7 * ((r - 1) >> 1) + (((r - 1) & 1) << 2);
    }
  };
  // The displacements live in the node records from the start of a Solve: a prescribed value
  // is written there when the loads are assembled, a free one by the back substitution.
  double& Displacement(int32_t dof) {
    BeamNode& n = m_nodes[static_cast<size_t>((dof + 1) >> 1)];
    return (dof & 1) ? n.deflection : n.rotation;
  }
  // Whether a support prescribes the displacement: bits 16 (deflection) and 32 (rotation) of
  // the node's m_kinematics entry.
  bool IsPrescribed(int32_t dof) const {
    return m_kinematics[static_cast<size_t>((dof + 1) >> 1)] & ((dof & 1) ? 16 : 32);
  }
  // Adds the shares of a linearly varying load on element e (as LoadSharesOf) to the load
  // vector F: the one step by which the run and every load case take a load.
  void AddElementLoad(std::vector<double>& F, int32_t e, double p, double q) const;
  // Range of elements [first, last] a uniform load covers, with its ends ordered. Element e
  // joins nodes e and e + 1, whose deflection dofs are 2e - 1 and 2e + 1: BuildNodes never
  // leaves two nodes within the tolerance, so FindDof of a node's x is that node's own dof.
  struct LoadSpan {
    double x1 = 0, x2 = 0, u1 = 0, u2 = 0, slope = 0;
    int32_t first = 1, last = 0;
  };
  // Calls use(e, p, q) for every element the load covers, with the load's intensity p at the
  // element's left end and its rise q over the element: the one place the load vector, the end
  // forces and further load cases take a uniform load's share from.
  template <class Use>
  void ForEachElementLoad(const LoadSpan& s, Use&& use) const {
    for (int32_t e = s.first; e <= s.last; ++e) {
      const double xEnd = m_elements[static_cast<size_t>(e)].xEnd;
      const double p = s.u1 + s.slope * (xEnd - s.x1 - ElementLength(e));
      const double q = s.u1 + s.slope * (xEnd - s.x1) - p;
      use(e, p, q);
    }
  }

  void Refuse(const std::string& message);
  void ClearExtremes();
  void ComputeElementTerms(double ei, double length, int32_t releaseEnd);
  LoadSpan SpanOf(const CUniformLoadItem& load) const;
  bool UseSummedLoads(const std::vector<CUniformLoadItem>& uniformLoads) const;
  void SumLoadsPerElement(const std::vector<CUniformLoadItem>& uniformLoads);
  void AssembleLoads(Equations& eq, const std::vector<CSupportItem>& supports,
                     const std::vector<CPointLoadItem>& pointLoads,
                     const std::vector<CUniformLoadItem>& uniformLoads);
  void AssembleStiffness(Equations& eq, const std::vector<CSpringItem>& springs);
  // Whether the beam can move without bending any element; reads m_kinematics.
  bool IsMechanism() const;
  // The condition probe of an elimination (stiffness_solve.cpp explains it): the mean of
  // y_r^2 / pivot_r over the free rows, where y is the forward-eliminated probe vector.
  // sqrt(v) for a positive normal v within some 10 %, from the bits of v: enough for an
  // estimate of a magnitude, and without the latency of a square root.
  static double RoughSqrt(double v) {
    return std::bit_cast<double>((std::bit_cast<uint64_t>(v) >> 1) + 0x1FF7A3BEA91D9B1Bull);
  }
  struct ConditionProbe {
    double sum = 0;
    int64_t rows = 0;
    bool indefinite = false;  // a pivot that is not positive: the factors are meaningless
    // A free row's probe entry y at its elimination, t = y / pivot.
    void Add(double y, double t, double pivot) {
      indefinite |= !(pivot > 0);
      Add(y, t);
    }
    // The same, where the caller has already marked a pivot that is not positive.
    void Add(double y, double t) {
      sum += y * t;
      ++rows;
    }
    double Estimate() const {
      return indefinite ? HUGE_VAL : rows > 0 ? sum / static_cast<double>(rows) : 0.0;
    }
  };
  void Eliminate(Equations& eq);
  // The equilibrium check: reactions plus applied loads, vertically and in moments about x = 0
  // (internal units).
  struct Residuals {
    double vert = 0, moment = 0;
    // Sums of the magnitudes of the terms (loads and reactions) in each residual.
    double vertScale = 0, momentScale = 0;
    // The larger residual relative to its scale: what equilibrium says of the digits lost.
    double Relative() const;
  };
  Residuals EquilibriumResiduals() const;
  // The run's results from its displacements (in the node records) and the reactions the
  // substitution left in eq.F: ResultsFromDisplacements into the tables, the scales, the A2
  // test and the finiteness flag; the per-element load sums left in m_loadP / m_loadQ for the
  // values between nodes (already there when the assembly summed them; none without uniform
  // loads).
  void EndForces(const Equations& eq, const std::vector<CSpringItem>& springs,
                 const std::vector<CUniformLoadItem>& uniformLoads);
  // What ResultsFromDisplacements saw: the largest magnitude of each result, and whether every
  // value is a finite number.
  struct ResultScales {
    double deflection = 0, rotation = 0, shear = 0, moment = 0;
    bool finite = true;
  };
  // The one derivation of a solution's results from its displacements, for the run and for
  // every further load case (end_forces.cpp): reactions at the prescribed dofs (F after the
  // substitution), the springs' forces added to them, element end forces k d (in double-double
  // after a precise solution), minus the uniform loads' shares (the per-element sums
  // m_loadP / m_loadQ with `summedLoads`, else load by load as in the assembly). `Results`
  // reads the displacements and holds the results: the run's tables or a load case's arrays.
  template <class Results>
  ResultScales ResultsFromDisplacements(const std::vector<double>& F,
                                        const std::vector<CSpringItem>& springs,
                                        const std::vector<CUniformLoadItem>& uniformLoads,
                                        bool summedLoads, Results& out) const;
  // A load case's results from its displacements d (low parts `low` after a precise solution)
  // and the reactions in F.
  void CaseResultsFrom(const std::vector<double>& F, const std::vector<double>& d,
                       const std::vector<double>& low, const std::vector<CSpringItem>& springs,
                       const std::vector<CUniformLoadItem>& uniformLoads, CaseResults& out) const;
  // Assembly and elimination in double (load sums, equations, kinematics, probe).
  void SolveInDouble(const std::vector<CSupportItem>& supports,
                     const std::vector<CSpringItem>& springs,
                     const std::vector<CPointLoadItem>& pointLoads,
                     const std::vector<CUniformLoadItem>& uniformLoads);
  // SolveInDouble, then the precise solution where double misses kAccuracyGoal, then the end
  // forces; returns the equilibrium residuals of the results left.
  Residuals SolveAccurately(const std::vector<CSupportItem>& supports,
                            const std::vector<CSpringItem>& springs,
                            const std::vector<CPointLoadItem>& pointLoads,
                            const std::vector<CUniformLoadItem>& uniformLoads);

  // ---- The precise solution (precise_solve.cpp) ----
  // Unit round-off of double and a bound of that of the double-double operations used; the
  // probe's estimate times it is the estimated relative error of a solution.
  static constexpr double kDoubleRoundoff = 1.1102230246251565e-16;  // 2^-53
  static constexpr double kPreciseRoundoff = 1e-31;
  // Element e's stiffness terms (as ElementTermsOf) from the exact length, in double-double.
  struct PreciseTerms {
    DoubleDouble k11, k12, k13, k14, k22, k23, k24, k33, k34, k44;
  };
  PreciseTerms PreciseTermsOf(int32_t e) const;
  // The band (high parts in m_equations.K, low parts in m_bandLow) and the load vector F.
  void AssemblePrecisely(std::vector<DoubleDouble>& F, const std::vector<CSpringItem>& springs,
                         const std::vector<CPointLoadItem>& pointLoads,
                         const std::vector<CUniformLoadItem>& uniformLoads);
  // Eliminates the band in place; returns the condition probe's estimate (HUGE_VAL for a pivot
  // that is not positive), NaN for a pivot out of range (0, below the smallest normal double,
  // not a number).
  double EliminateBandPrecisely();
  // Solves with the eliminated band: F (loads) and d (prescribed values) in, d (displacements)
  // and F (reactions at prescribed dofs) out.
  void SubstitutePrecisely(std::vector<DoubleDouble>& F, std::vector<DoubleDouble>& d) const;
  // Assembly, elimination and substitution; the displacements go to the node records (their
  // low parts to m_displacementLow), the reactions to m_equations.F; sets m_bPrecise and
  // m_bCasesReady. False (nothing set) when a pivot or a result is out of range.
  bool SolvePrecisely(const std::vector<CSpringItem>& springs,
                      const std::vector<CPointLoadItem>& pointLoads,
                      const std::vector<CUniformLoadItem>& uniformLoads);
  // Element e's k d (shearStart, momentStart, shearEnd, momentEnd) for its end displacements
  // d, rounded once.
  std::array<double, 4> PreciseElementForces(int32_t e, const std::array<DoubleDouble, 4>& d) const;
  // Sets to 0 the end forces of a precise solution that are its round-off, not forces (below
  // 1e-20 of their diagram's largest magnitude).
  void ClearCancelledForces();
  // A further load case in double: F (loads) and d (prescribed values) in, d (displacements)
  // and F (reactions at prescribed dofs) out.
  void SolveCase(std::vector<double>& F, std::vector<double>& d) const;
  // The same in double-double: F (loads) and d (prescribed values) in double, out
  // d rounded, `low` its low parts, F the reactions.
  void SolveCasePrecisely(std::vector<double>& F, std::vector<double>& d,
                          std::vector<double>& low) const;
  void AppendEquilibriumLine(int units, const Residuals& residuals);
  int32_t FirstNodeNear(double x) const;
  int32_t FirstNodeNotBelow(double x) const;

  ElementTerms m_k;  // the terms of the last element computed
  Equations m_equations;
  // For the mechanism check, per node: what holds it (a prescribed value, or a positive spring
  // that changes its stiffness) and what the element starting there is; the bits are those of
  // stiffness_solve.cpp. Filled while the equations are assembled. (Not a character type:
  // writing it must not make the compiler reload the equations.)
  std::vector<uint16_t> m_kinematics;   // [1..m_nNodes]
  bool m_bStiffnessOutOfRange = false;  // a pivot fell below the smallest normal double
  bool m_bRefused = false;              // an A1 line ended the run
  bool m_bFiniteResults = true;         // EndForces found every value a finite number
  bool m_bCasesReady = false;           // the equations hold the eliminated band of a complete run
  double m_dConditionEstimate = 0;      // the probe's estimate of the double elimination
  double m_dPreciseEstimate = 0;        // and of the precise one
  bool m_bPrecise = false;              // the last Solve used the precise solution
  bool m_bPreciseFailed = false;        // it needed it, but its values were out of range
  std::vector<double> m_bandLow;        // the low parts of the precise band
  std::vector<double> m_displacementLow;  // the low parts of the precise displacements
  // Sums of the magnitudes of the applied loads' forces and moments about x = 0: the scales of
  // the equilibrium check, with the reactions'.
  struct {
    double vert = 0, moment = 0;
  } m_loadScale;
  // Loads summed per element, intensity at the left end and rise: for the assembly only when
  // uniform loads overlap so much that the element-by-element assembly would be quadratic;
  // always kept after a run with uniform loads, for the values between nodes.
  std::vector<double> m_loadP, m_loadQ;
  mutable int m_nLocks = 0;
  mutable int32_t m_nSearchHint = 1;  // node where the last search ended; item lists are
                                      // mostly ascending, so the next one starts there
};

}  // namespace spanlab
