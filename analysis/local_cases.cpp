// Load cases solved near their loads.
//
// The equations. With node i's two displacements u_i (deflection, rotation; a held one is 0
// and its row and column are replaced by the identity), the stiffness matrix is block
// tridiagonal: A_i on the diagonal, B_i = the coupling of element i between nodes i and i + 1:
//   B_{i-1}^T u_{i-1} + A_i u_i + B_i u_{i+1} = f_i.
// Eliminating from the left end gives the Schur complements L_1 = A_1,
// L_{i+1} = A_{i+1} - B_i^T L_i^-1 B_i; from the right end R_n = A_n,
// R_i = A_i - B_i R_{i+1}^-1 B_i^T. Both are positive definite (the free part of a beam that
// is no mechanism is), and the solver keeps their inverses.
//
// A case loaded on the nodes [a, b] only: the right-end elimination of its loads gives
// g_b = f_b, g_i = f_i - B_i R_{i+1}^-1 g_{i+1} down to a; at node a both eliminations meet:
//   (L_a - B_a R_{a+1}^-1 B_a^T) u_a = g_a,
// and from there
//   u_i = R_i^-1 (g_i - B_{i-1}^T u_{i-1})   to the right (g_i = 0 beyond b),
//   u_i = -L_i^-1 B_i u_{i+1}                 to the left.
// Past the loads each step is a fixed linear map of the last node's displacements:
// u_{i+1} = G_i u_i to the right, u_{i-1} = H_i u_i to the left.
//
// The bound. Every value beyond node i in a direction -- element end forces, envelope samples,
// node displacements -- is a linear function c^T u_i of u_i. Per kind, the sum of the squares
// of all of them is the quadratic form u_i^T W_i u_i with
//   W_i = (sum of c c^T over the values of the next element and node) + G_i^T W_{i+1} G_i,
// one sweep from each end, exact (no product of norms). Since a 2x2 form is at most twice its
// diagonal part, u_i^T W_i u_i <= 2 (W00 u0^2 + W11 u1^2); only the diagonals are kept. A case
// stops at the first node past its loads where that is within the squared tolerance of every
// kind: then no value beyond, and no sum of two of them (a reaction), passes it.
#include "analysis/local_cases.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace spanlab {

namespace {

using Vec2 = LocalCaseSolver::Vec2;
using Sym2 = LocalCaseSolver::Sym2;
using Mat2 = LocalCaseSolver::Mat2;

constexpr uint8_t kHeldDeflection = 1, kHeldRotation = 2, kSpring = 4, kHinge = 8;

Vec2 operator-(Vec2 u, Vec2 v) { return {u.x - v.x, u.y - v.y}; }
Vec2 operator-(Vec2 u) { return {-u.x, -u.y}; }
Vec2 operator+(Vec2 u, Vec2 v) { return {u.x + v.x, u.y + v.y}; }
Vec2 Mul(const Sym2& s, Vec2 v) { return {s.a * v.x + s.b * v.y, s.b * v.x + s.c * v.y}; }
Vec2 Mul(const Mat2& m, Vec2 v) { return {m.m00 * v.x + m.m01 * v.y, m.m10 * v.x + m.m11 * v.y}; }
Vec2 MulT(const Mat2& m, Vec2 v) {
  return {m.m00 * v.x + m.m10 * v.y, m.m01 * v.x + m.m11 * v.y};
}
// s m
Mat2 Mul(const Sym2& s, const Mat2& m) {
  return {s.a * m.m00 + s.b * m.m10, s.a * m.m01 + s.b * m.m11, s.b * m.m00 + s.c * m.m10,
          s.b * m.m01 + s.c * m.m11};
}
// s m^T
Mat2 MulT(const Sym2& s, const Mat2& m) {
  return {s.a * m.m00 + s.b * m.m01, s.a * m.m10 + s.b * m.m11, s.b * m.m00 + s.c * m.m01,
          s.b * m.m10 + s.c * m.m11};
}
// m^T x for x = s m with s symmetric: symmetric.
Sym2 TransposeTimes(const Mat2& m, const Mat2& x) {
  return {m.m00 * x.m00 + m.m10 * x.m10, m.m00 * x.m01 + m.m10 * x.m11,
          m.m01 * x.m01 + m.m11 * x.m11};
}
// m y for y = s m^T: symmetric.
Sym2 TimesTransposed(const Mat2& m, const Mat2& y) {
  return {m.m00 * y.m00 + m.m01 * y.m10, m.m00 * y.m01 + m.m01 * y.m11,
          m.m10 * y.m01 + m.m11 * y.m11};
}
Sym2 operator-(const Sym2& p, const Sym2& q) { return {p.a - q.a, p.b - q.b, p.c - q.c}; }
Mat2 operator-(const Mat2& m) { return {-m.m00, -m.m01, -m.m10, -m.m11}; }
// The inverse of a positive definite block; false for any other.
bool Invert(const Sym2& s, Sym2& out) {
  const double det = s.a * s.c - s.b * s.b;
  if (!(s.a > 0 && det > 0 && std::isfinite(det))) return false;
  out = {s.c / det, -s.b / det, s.a / det};
  return std::isfinite(out.a) && std::isfinite(out.b) && std::isfinite(out.c);
}
// g^T w g.
Sym2 Congruent(const Sym2& w, const Mat2& g) { return TransposeTimes(g, Mul(w, g)); }

// x as a float no smaller (infinity beyond the floats' range, or for NaN).
float RoundedUp(double x) {
  if (!(x <= FLT_MAX)) return HUGE_VALF;
  float f = static_cast<float>(x);
  if (f < x) f = std::nextafter(f, HUGE_VALF);
  return f;
}

// The values beyond a node that the bound covers, per kind: 0 deflection, 1 rotation,
// 2 force, 3 moment.
struct Value {
  int kind;
  double v;
};

}  // namespace

bool LocalCaseSolver::Suits(const CBeamAnalysis& analysis) {
  return analysis.CanSolveLoadCases() && !analysis.IsPreciseSolution() &&
         analysis.EstimatedError() <= 1e-13 && analysis.m_nNodes >= 2;
}

LocalCaseSolver::LocalCaseSolver(const CBeamAnalysis& analysis,
                                 const std::vector<CSpringItem>& springs,
                                 int32_t samplesPerElement)
    : m_a(analysis), m_n(analysis.m_nNodes), m_samples(samplesPerElement) {
  m_ratios.resize(static_cast<size_t>(m_n));
  m_nodes.resize(static_cast<size_t>(m_n) + 1);
  for (int32_t e = 1; e < m_n; ++e) {
    const BeamElement& el = m_a.m_elements[static_cast<size_t>(e)];
    const double ei = el.ei, l = m_a.ElementLength(e);
    // (As ElementTermsOf forms them.)
    if (l != 0 && ei != 0) m_ratios[static_cast<size_t>(e)] = {ei / l, ei / (l * l), ei / (l * l * l)};
    if (el.releaseEnd == 1) m_nodes[static_cast<size_t>(e) + 1].flags |= kHinge;
  }
  for (int32_t i = 1; i <= m_n; ++i) {
    m_nodes[static_cast<size_t>(i)].flags |=
        static_cast<uint8_t>((m_a.IsPrescribedDof(2 * i - 1) ? kHeldDeflection : 0) |
                             (m_a.IsPrescribedDof(2 * i) ? kHeldRotation : 0));
  }
  // The equations hold the positive springs (in the diagonal blocks); a reaction takes every
  // spring, as the run's results do. Every spring sits at a node of the run.
  for (const CSpringItem& s : springs) {
    const int32_t node = (m_a.FindDof(s.m_dX) + 1) / 2;
    m_springs.push_back({node, s.m_dVSpring, s.m_dRSpring, std::max(s.m_dVSpring, 0.0),
                         std::max(s.m_dRSpring, 0.0)});
  }
  std::stable_sort(m_springs.begin(), m_springs.end(),
                   [](const Springs& p, const Springs& q) { return p.node < q.node; });
  std::vector<Springs> merged;  // one entry per node, summed in the springs' order
  for (const Springs& s : m_springs) {
    if (merged.empty() || merged.back().node != s.node) {
      merged.push_back(s);
      m_nodes[static_cast<size_t>(s.node)].flags |= kSpring;
      continue;
    }
    Springs& m = merged.back();
    m.vert += s.vert, m.rot += s.rot, m.heldVert += s.heldVert, m.heldRot += s.heldRot;
  }
  m_springs = std::move(merged);
  m_couplings.resize(static_cast<size_t>(m_n));
  for (int32_t e = 1; e < m_n; ++e) m_couplings[static_cast<size_t>(e)] = CouplingOf(e);
  m_diagonals.resize(static_cast<size_t>(m_n) + 1);
  for (int32_t i = 1; i <= m_n; ++i) m_diagonals[static_cast<size_t>(i)] = DiagonalOf(i);
  m_ok = Factor();
  if (!m_ok) return;
  m_sampleTable.resize(static_cast<size_t>(m_n - 1) * static_cast<size_t>(m_samples) * 16);
  for (int32_t e = 1; m_samples > 0 && e < m_n; ++e) {
    for (int j = 0; j < 4; ++j) {
      const Vec2 left{j == 0 ? 1.0 : 0.0, j == 1 ? 1.0 : 0.0};
      const Vec2 right{j == 2 ? 1.0 : 0.0, j == 3 ? 1.0 : 0.0};
      const ElementSolution element(m_a, e, EndsOf(e, left, right, 0, 0));
      for (int32_t k = 0; k < m_samples; ++k) {
        const BeamValues v = element.At(m_a.ElementLength(e) * static_cast<double>(k + 1) /
                                        static_cast<double>(m_samples + 1));
        double* row = &m_sampleTable[(static_cast<size_t>(e - 1) * static_cast<size_t>(m_samples) +
                                      static_cast<size_t>(k)) * 16];
        row[j] = v.deflection, row[4 + j] = v.rotation, row[8 + j] = v.shear;
        row[12 + j] = v.moment;
      }
    }
  }
  ComputeBounds(true);
  ComputeBounds(false);
}

CBeamAnalysis::ElementTerms LocalCaseSolver::Terms(int32_t e) const {
  const std::array<double, 3>& r = m_ratios[static_cast<size_t>(e)];
  return CBeamAnalysis::ElementTermsOfRatios(
      r[0], r[1], r[2], (m_nodes[static_cast<size_t>(e) + 1].flags & kHinge) ? 1 : 0);
}

const LocalCaseSolver::Springs* LocalCaseSolver::SpringsAt(int32_t i) const {
  if (!(m_nodes[static_cast<size_t>(i)].flags & kSpring)) return nullptr;
  const auto it = std::lower_bound(m_springs.begin(), m_springs.end(), i,
                                   [](const Springs& s, int32_t node) { return s.node < node; });
  return &*it;
}

LocalCaseSolver::Mat2 LocalCaseSolver::CouplingOf(int32_t e) const {
  const CBeamAnalysis::ElementTerms k = Terms(e);
  Mat2 b{k.k13, k.k14, k.k23, k.k24};
  const uint8_t left = m_nodes[static_cast<size_t>(e)].flags;
  const uint8_t right = m_nodes[static_cast<size_t>(e) + 1].flags;
  if (left & kHeldDeflection) b.m00 = b.m01 = 0;
  if (left & kHeldRotation) b.m10 = b.m11 = 0;
  if (right & kHeldDeflection) b.m00 = b.m10 = 0;
  if (right & kHeldRotation) b.m01 = b.m11 = 0;
  return b;
}

bool LocalCaseSolver::Factor() {
  const auto node = [this](int32_t i) -> NodeData& { return m_nodes[static_cast<size_t>(i)]; };
  if (!Invert(Diagonal(1), node(1).leftInverse)) return false;
  for (int32_t i = 2; i <= m_n; ++i) {
    const Mat2 b = Coupling(i - 1);
    const Sym2 schur =
        Diagonal(i) - TransposeTimes(b, Mul(node(i - 1).leftInverse, b));
    if (!Invert(schur, node(i).leftInverse)) return false;
  }
  if (!Invert(Diagonal(m_n), node(m_n).rightInverse)) return false;
  for (int32_t i = m_n - 1; i >= 1; --i) {
    const Mat2 b = Coupling(i);
    const Sym2 schur =
        Diagonal(i) - TimesTransposed(b, MulT(node(i + 1).rightInverse, b));
    if (!Invert(schur, node(i).rightInverse)) return false;
  }
  return true;
}

ElementEnds LocalCaseSolver::EndsOf(int32_t e, Vec2 left, Vec2 right, double p, double q) const {
  const CBeamAnalysis::ElementTerms k = Terms(e);
  const double d1 = left.x, d2 = left.y, d3 = right.x, d4 = right.y;
  ElementEnds ends;
  ends.v1 = d1, ends.r1 = d2, ends.v2 = d3, ends.r2 = d4, ends.p = p, ends.q = q;
  ends.shearStart = k.k11 * d1 + k.k12 * d2 + k.k13 * d3 + k.k14 * d4;
  ends.momentStart = k.k12 * d1 + k.k22 * d2 + k.k23 * d3 + k.k24 * d4;
  ends.shearEnd = k.k13 * d1 + k.k23 * d2 + k.k33 * d3 + k.k34 * d4;
  ends.momentEnd = k.k14 * d1 + k.k24 * d2 + k.k34 * d3 + k.k44 * d4;
  if (p != 0 || q != 0) {
    const auto share = CBeamAnalysis::LoadSharesOf(
        p, q, m_a.ElementLength(e), m_a.m_elements[static_cast<size_t>(e)].releaseEnd);
    ends.momentStart += share.m1;
    ends.momentEnd -= share.m2;
    ends.shearStart -= share.v1;
    ends.shearEnd -= share.v2;
  }
  return ends;
}

void LocalCaseSolver::ComputeBounds(bool towardRight) {
  Sym2 w[4] = {};  // the forms of the node last done
  const int32_t step = towardRight ? -1 : 1;
  const int32_t start = towardRight ? m_n : 1;
  auto boundOf = [&](int32_t i) -> float (&)[4][2] {
    NodeData& n = m_nodes[static_cast<size_t>(i)];
    return towardRight ? n.boundRight : n.boundLeft;
  };
  for (auto& kind : boundOf(start)) kind[0] = kind[1] = 0;
  std::vector<Value> values[2];
  for (int32_t i = start + step; i >= 1 && i <= m_n; i += step) {
    // The next node (i - step) in terms of this one's displacements, and the element between.
    const int32_t next = i - step;
    const int32_t e = towardRight ? i : next;
    const Mat2 b = Coupling(e);
    const Mat2 g = towardRight ? -MulT(m_nodes[static_cast<size_t>(next)].rightInverse, b)
                               : -Mul(m_nodes[static_cast<size_t>(next)].leftInverse, b);
    const uint8_t held = m_nodes[static_cast<size_t>(i)].flags;
    for (int j = 0; j < 2; ++j) {
      values[j].clear();
      if (held & (j == 0 ? kHeldDeflection : kHeldRotation)) continue;
      const Vec2 u = j == 0 ? Vec2{1, 0} : Vec2{0, 1};
      const Vec2 v = Mul(g, u);
      const ElementEnds ends = towardRight ? EndsOf(e, u, v, 0, 0) : EndsOf(e, v, u, 0, 0);
      values[j] = {{0, v.x}, {1, v.y}, {2, ends.shearStart}, {2, ends.shearEnd},
                   {3, ends.momentStart}, {3, ends.momentEnd}};
      if (m_samples > 0) {
        const ElementSolution element(m_a, e, ends);
        for (int32_t k = 0; k < m_samples; ++k) {
          const BeamValues at = element.At(element.Length() * (k + 1) / (m_samples + 1));
          values[j].insert(values[j].end(), {{0, at.deflection}, {1, at.rotation},
                                             {2, at.shear}, {3, at.moment}});
        }
      }
    }
    for (Sym2& kind : w) kind = Congruent(kind, g);
    const size_t count = std::max(values[0].size(), values[1].size());
    for (size_t k = 0; k < count; ++k) {
      const double c0 = values[0].empty() ? 0 : values[0][k].v;
      const double c1 = values[1].empty() ? 0 : values[1][k].v;
      Sym2& kind = w[(values[0].empty() ? values[1] : values[0])[k].kind];
      kind.a += c0 * c0, kind.b += c0 * c1, kind.c += c1 * c1;
    }
    for (int kind = 0; kind < 4; ++kind) {
      boundOf(i)[kind][0] = RoundedUp(w[kind].a);
      boundOf(i)[kind][1] = RoundedUp(w[kind].c);
    }
  }
}

void LocalCaseSolver::SampleValues(int32_t e, const ElementEnds& ends, BeamValues* out) const {
  if (ends.p != 0 || ends.q != 0) {
    const ElementSolution element(m_a, e, ends);
    for (int32_t k = 0; k < m_samples; ++k) {
      out[k] = element.At(m_a.ElementLength(e) * static_cast<double>(k + 1) /
                          static_cast<double>(m_samples + 1));
    }
    return;
  }
  const double d[4] = {ends.v1, ends.r1, ends.v2, ends.r2};
  const double* row =
      &m_sampleTable[static_cast<size_t>(e - 1) * static_cast<size_t>(m_samples) * 16];
  for (int32_t k = 0; k < m_samples; ++k, row += 16) {
    double v[4];
    for (int q = 0; q < 4; ++q)
      v[q] = row[4 * q] * d[0] + row[4 * q + 1] * d[1] + row[4 * q + 2] * d[2] +
             row[4 * q + 3] * d[3];
    out[k] = {v[0], v[1], v[2], v[3]};
  }
}

bool LocalCaseSolver::Within(const float (&bound)[4][2], Vec2 u, const LocalTolerance& tol) {
  const double limit[4] = {tol.deflection, tol.rotation, tol.force, tol.moment};
  for (int kind = 0; kind < 4; ++kind) {
    const double sum = bound[kind][0] * u.x * u.x + bound[kind][1] * u.y * u.y;
    if (!(2 * sum <= limit[kind] * limit[kind])) return false;
  }
  return true;
}

void LocalCaseSolver::Solve(const LocalLoads& loads, const LocalTolerance& tol,
                            LocalCase& out) const {
  Run(loads, &tol, 0, 0, out);
}

void LocalCaseSolver::SolveOver(const LocalLoads& loads, int32_t first, int32_t last,
                                LocalCase& out) const {
  Run(loads, nullptr, first, last, out);
}

void LocalCaseSolver::Run(const LocalLoads& loads, const LocalTolerance* tol, int32_t first,
                          int32_t last, LocalCase& out) const {
  // The loaded nodes [a, b] and their loads f; the element loads summed per element.
  int32_t a = m_n, b = 1;
  for (const LocalLoads::AtNode& l : loads.nodes) a = std::min(a, l.node), b = std::max(b, l.node);
  for (const LocalLoads::OnElement& l : loads.elements) {
    a = std::min(a, l.element), b = std::max(b, l.element + 1);
  }
  b = std::max(a, b);
  const auto at = [a](int32_t i) { return static_cast<size_t>(i - a); };
  m_f.assign(at(b) + 1, {});
  m_p.assign(at(b) + 1, 0.0);
  m_q.assign(at(b) + 1, 0.0);
  for (const LocalLoads::AtNode& l : loads.nodes) {
    m_f[at(l.node)].x += l.force;
    m_f[at(l.node)].y += l.moment;
  }
  for (const LocalLoads::OnElement& l : loads.elements) {
    const auto share = CBeamAnalysis::LoadSharesOf(
        l.p, l.q, m_a.ElementLength(l.element),
        m_a.m_elements[static_cast<size_t>(l.element)].releaseEnd);
    m_f[at(l.element)].x += share.v1;
    m_f[at(l.element)].y -= share.m1;
    m_f[at(l.element) + 1].x += share.v2;
    m_f[at(l.element) + 1].y += share.m2;
    m_p[at(l.element)] += l.p;
    m_q[at(l.element)] += l.q;
  }
  int32_t right = 0;
  out.first = Propagate(a, b, tol, first, last, right);
  out.last = right;
  // One step of refinement: the residual of the equations over the window, solved over it
  // and added. The solution from both ends' factors is exact but for round-off that end forces
  // (differences of nearly equal terms on short or stiff elements) would magnify; the step
  // brings it to the elimination's own accuracy.
  // (Scratch buffers are swapped, not reallocated: this runs once per span.)
  std::swap(m_solution, m_u);
  const std::vector<Vec2>& solution = m_solution;
  const auto f = [&](int32_t i) {
    return i >= a && i <= b ? m_f[static_cast<size_t>(i - a)] : Vec2{};
  };
  m_residual.resize(solution.size());
  for (int32_t i = out.first; i <= out.last; ++i) {
    const size_t k = static_cast<size_t>(i - out.first);
    Vec2 r = f(i) - Mul(Diagonal(i), solution[k]);
    if (i > out.first) r = r - MulT(Coupling(i - 1), solution[k - 1]);
    if (i < out.last) r = r - Mul(Coupling(i), solution[k + 1]);
    m_residual[k] = r;
  }
  std::swap(m_f, m_residual);  // the loads of the correction
  int32_t ignored = 0;
  Propagate(out.first, out.last, nullptr, out.first, out.last, ignored);
  for (size_t k = 0; k < solution.size(); ++k) m_u[k] = m_u[k] + solution[k];
  Fill(loads, a, b, out);
}

int32_t LocalCaseSolver::Propagate(int32_t a, int32_t b, const LocalTolerance* tol,
                                   int32_t first, int32_t last, int32_t& right) const {
  const auto node = [this](int32_t i) -> const NodeData& {
    return m_nodes[static_cast<size_t>(i)];
  };
  const auto at = [a](int32_t i) { return static_cast<size_t>(i - a); };
  // Right-end elimination of the loads down to a (a held dof takes no load).
  m_g.assign(at(b) + 1, {});
  for (int32_t i = b; i >= a; --i) {
    Vec2 f = m_f[at(i)];
    if (node(i).flags & kHeldDeflection) f.x = 0;
    if (node(i).flags & kHeldRotation) f.y = 0;
    if (i < b) f = f - Mul(Coupling(i), Mul(node(i + 1).rightInverse, m_g[at(i + 1)]));
    m_g[at(i)] = f;
  }
  // Node a, where both eliminations meet.
  Sym2 meet;
  Invert(node(a).leftInverse, meet);  // the inverse of a positive definite inverse
  if (a < m_n) {
    const Mat2 c = Coupling(a);
    meet = meet - TimesTransposed(c, MulT(node(a + 1).rightInverse, c));
  }
  Sym2 meetInverse;
  Invert(meet, meetInverse);
  // Outwards: to the right into m_u, to the left into a reversed run that is put in front.
  m_u.clear();
  m_u.push_back(Mul(meetInverse, m_g[0]));
  int32_t i = a;
  while (tol ? !(i >= b && (i == m_n || Within(node(i).boundRight, m_u.back(), *tol)))
             : i < last) {
    ++i;
    const Vec2 g = i <= b ? m_g[at(i)] : Vec2{};
    m_u.push_back(Mul(node(i).rightInverse, g - MulT(Coupling(i - 1), m_u.back())));
  }
  right = i;
  std::vector<Vec2>& leftward = m_g;  // (the eliminated loads are no longer needed)
  leftward.clear();
  Vec2 u = m_u.front();
  i = a;
  while (tol ? !(i == 1 || Within(node(i).boundLeft, u, *tol)) : i > first) {
    --i;
    u = -Mul(node(i).leftInverse, Mul(Coupling(i), u));
    leftward.push_back(u);
  }
  m_u.insert(m_u.begin(), leftward.rbegin(), leftward.rend());
  return i;
}

LocalCaseSolver::Sym2 LocalCaseSolver::DiagonalOf(int32_t i) const {
  const NodeData& n = m_nodes[static_cast<size_t>(i)];
  Sym2 d;
  if (const Springs* s = SpringsAt(i)) d = {s->heldVert, 0, s->heldRot};
  if (i > 1) {
    const CBeamAnalysis::ElementTerms k = Terms(i - 1);
    d.a += k.k33, d.b += k.k34, d.c += k.k44;
  }
  if (i < m_n) {
    const CBeamAnalysis::ElementTerms k = Terms(i);
    d.a += k.k11, d.b += k.k12, d.c += k.k22;
  }
  if (n.flags & kHeldDeflection) d.a = 1, d.b = 0;
  if (n.flags & kHeldRotation) d.c = 1, d.b = 0;
  return d;
}

void LocalCaseSolver::Fill(const LocalLoads& loads, int32_t a, int32_t b, LocalCase& out) const {
  const size_t count = m_u.size();
  out.deflection.resize(count);
  out.rotation.resize(count);
  out.reactionVert.assign(count, 0.0);
  out.reactionRot.assign(count, 0.0);
  out.ends.resize(count - 1);
  for (size_t k = 0; k < count; ++k) {
    out.deflection[k] = m_u[k].x;
    out.rotation[k] = m_u[k].y;
  }
  for (size_t k = 0; k + 1 < count; ++k) {
    const int32_t e = out.first + static_cast<int32_t>(k);
    const bool loaded = e >= a && e < b;
    out.ends[k] = EndsOf(e, m_u[k], m_u[k + 1], loaded ? m_p[static_cast<size_t>(e - a)] : 0,
                         loaded ? m_q[static_cast<size_t>(e - a)] : 0);
  }
  // Reactions: at a held dof the end forces of the elements meeting there less the node's
  // loads; at a spring its force.
  for (size_t k = 0; k < count; ++k) {
    const NodeData& n = m_nodes[static_cast<size_t>(out.first) + k];
    if (n.flags & (kHeldDeflection | kHeldRotation)) {
      const double vert = (k > 0 ? out.ends[k - 1].shearEnd : 0) +
                          (k + 1 < count ? out.ends[k].shearStart : 0);
      const double rot = (k > 0 ? out.ends[k - 1].momentEnd : 0) +
                         (k + 1 < count ? out.ends[k].momentStart : 0);
      if (n.flags & kHeldDeflection) out.reactionVert[k] = vert;
      if (n.flags & kHeldRotation) out.reactionRot[k] = rot;
    }
    if (const Springs* s = SpringsAt(out.first + static_cast<int32_t>(k))) {
      if (!(n.flags & kHeldDeflection) && s->vert != 0) out.reactionVert[k] -= s->vert * m_u[k].x;
      if (!(n.flags & kHeldRotation) && s->rot != 0) out.reactionRot[k] -= s->rot * m_u[k].y;
    }
  }
  for (const LocalLoads::AtNode& l : loads.nodes) {
    const auto k = static_cast<size_t>(l.node - out.first);
    const uint8_t held = m_nodes[static_cast<size_t>(l.node)].flags;
    if (held & kHeldDeflection) out.reactionVert[k] -= l.force;
    if (held & kHeldRotation) out.reactionRot[k] -= l.moment;
  }
}

}  // namespace spanlab
