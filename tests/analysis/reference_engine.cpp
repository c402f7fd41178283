#include "tests/analysis/reference_engine.h"

#include <cfloat>
#include <cmath>
#include <cstdio>

#include "model/number_text.h"

namespace spanlab::testing {

namespace {

struct Reference {
  ReferenceResult r;
  double L = 0;
  std::vector<double> F;
  std::vector<std::array<double, 4>> K;
  std::vector<double> Dv;
  std::vector<int> Dp;
  double k11 = 0, k12 = 0, k13 = 0, k14 = 0, k22 = 0, k23 = 0, k24 = 0, k33 = 0, k34 = 0, k44 = 0;

  void AddNode(double x) {
    auto& n = r.nodes;
    const int m = ++r.nNodes;
    n.resize(m + 1);
    n[m] = BeamNode{x, 0, 0, 0, 0};
    for (int i = 1; i <= m; ++i) {
      if (x == n[i].x) return;
      if (x < n[i].x) {
        for (int k = m; k > i; --k) n[k] = n[k - 1];
        n[i] = BeamNode{x, 0, 0, 0, 0};
        return;
      }
    }
  }

  int FindDof(double x) const {
    for (int i = 1; i <= r.nNodes; ++i) {
      if (std::fabs(x - r.nodes[i].x) < 1e-10) return 2 * i - 1;
    }
    return 2 * r.nNodes - 1;
  }

  void Place(double p) {
    for (int i = 1; i <= r.nNodes; ++i) {
      if (std::fabs(p - r.nodes[i].x) < 1e-10) return;
    }
    AddNode(p);
  }

  // Whether the beam is a mechanism, found apart from the engine's walk along it: its stiffness
  // matrix is singular exactly when that of a plainer beam with the same joints and restraints
  // is. Lengths and sizes do not matter, only which nodes are held (by a prescribed value or a
  // spring in the equations) and how the elements are joined: so a run of stiff elements
  // through nodes that nothing holds and no hinge interrupts is one element, every element is
  // 1 long with EI = 1 (0 where the element has none), and every restraint is a spring of 1.
  // That matrix is small with small integers: in long double the pivots of a singular one stay
  // near 1e-19, those of a stable one are at least about 3 / m^3 for m elements (0.1 here).
  bool IsMechanism(const std::vector<int>& prescribed, const std::vector<int>& springHeld) {
    auto held = [&](int dof) { return prescribed[dof] || springHeld[dof]; };
    auto stiff = [&](int e) { return r.elements[e].ei != 0; };
    std::vector<int> kept = {1};
    for (int i = 2; i < r.nNodes; ++i) {
      if (held(2 * i - 1) || held(2 * i) || r.elements[i - 1].releaseEnd || !stiff(i - 1) ||
          !stiff(i))
        kept.push_back(i);
    }
    kept.push_back(r.nNodes);
    const int n = 2 * static_cast<int>(kept.size());
    std::vector<std::array<long double, 4>> U(n + 2, {0, 0, 0, 0});
    for (int k = 0; k < n / 2; ++k) {
      U[2 * k + 1][0] += held(2 * kept[k] - 1);
      U[2 * k + 2][0] += held(2 * kept[k]);
      const int e = k + 1 < n / 2 ? kept[k + 1] - 1 : 0;  // last element of the run to the next
      if (e == 0 || !stiff(e)) continue;
      Terms(1, 1, r.elements[e].releaseEnd);
      const int j = 2 * k + 3;
      U[j - 2][0] += k11; U[j - 2][1] += k12; U[j - 2][2] += k13; U[j - 2][3] += k14;
      U[j - 1][0] += k22; U[j - 1][1] += k23; U[j - 1][2] += k24;
      U[j][0] += k33; U[j][1] += k34;
      U[j + 1][0] += k44;
    }
    for (int row = 1; row <= n; ++row) {
      if (std::fabs(U[row][0]) < 1e-12L) return true;
      for (int m = row + 1; m <= std::min(row + 3, n); ++m) {
        const long double f = U[row][m - row] / U[row][0];
        for (int q = m; q <= row + 3; ++q) U[m][q - m] -= f * U[row][q - row];
      }
    }
    return false;
  }

  void Terms(double ei, double l, int rel) {
    k11 = k12 = k13 = k14 = k22 = k23 = k24 = k33 = k34 = k44 = 0;
    if (l == 0 || ei == 0) return;
    const double a = ei / l, b = ei / (l * l), c = ei / (l * l * l);
    if (rel == 1) {
      k11 = 3 * c; k12 = -3 * b; k13 = -3 * c; k14 = 0;
      k22 = 3 * a; k23 = 3 * b; k24 = 0; k33 = 3 * c; k34 = 0; k44 = 0;
    } else {
      k11 = 12 * c; k12 = -6 * b; k13 = -12 * c; k14 = -6 * b;
      k22 = 4 * a; k23 = 6 * b; k24 = 2 * a; k33 = 12 * c; k34 = 6 * b; k44 = 4 * a;
    }
  }
};

}  // namespace

ReferenceResult RunReference(double length, const std::vector<CMemberPropertyItem>& properties,
                             const std::vector<CMomentReleaseItem>& releases,
                             const std::vector<CSupportItem>& supports,
                             const std::vector<CSpringItem>& springs,
                             const std::vector<CPointLoadItem>& pointLoads,
                             const std::vector<CUniformLoadItem>& uniformLoads, int units) {
  Reference ref;
  ReferenceResult& r = ref.r;
  const double L = length;
  r.nodes.resize(1);
  // Nodes.
  ref.AddNode(0);
  ref.AddNode(L);
  for (const auto& p : properties) ref.Place(p.m_dX);
  for (const auto& p : releases) ref.Place(p.m_dX);
  for (const auto& p : supports) ref.Place(p.m_dX);
  for (const auto& p : springs) ref.Place(p.m_dX);
  for (const auto& p : pointLoads) ref.Place(p.m_dX);
  for (const auto& u : uniformLoads) {
    ref.Place(u.m_dXStart);
    ref.Place(u.m_dXEnd);
  }
  const double h = L * 0.005025125628140704;
  for (int i = 1; i <= r.nNodes - 1; ++i) {
    const double d = r.nodes[i + 1].x - r.nodes[i].x;
    if (d > h) {
      const int n = static_cast<int>(d / h + 1);
      const double s = d / n;
      for (int j = 1; j <= n - 1; ++j) ref.AddNode(r.nodes[i].x + j * s);
      i += n - 1;  // the parts just made are not cut again
    }
  }
  r.nDof = 2 * r.nNodes;
  char line[128];
  std::snprintf(line, sizeof line, " %3i Nodes Defined, %3i Degrees of freedom", r.nNodes, r.nDof);
  std::string text(line);
  r.messages.push_back(" " + text.substr(text.find_first_not_of(' ')));

  // Elements.
  r.nElements = r.nNodes - 1;
  r.elements.assign(r.nElements + 1, BeamElement{});
  r.lengths.assign(r.nElements + 1, 0.0);
  for (int e = 1; e <= r.nElements; ++e) {
    r.elements[e].xEnd = r.nodes[e + 1].x;
    r.lengths[e] = r.nodes[e + 1].x - r.nodes[e].x;
  }
  double prevE = 0, prevI = 0;
  for (const auto& p : properties) {
    const double E = p.m_dE != 0 ? p.m_dE : prevE;
    const double I = p.m_dI != 0 ? p.m_dI : prevI;
    r.maxE = std::max(r.maxE, E);
    r.maxI = std::max(r.maxI, I);
    for (int e = 1; e <= r.nElements; ++e) {
      if (p.m_dX < r.elements[e].xEnd) r.elements[e].ei = E * I;
    }
    prevE = E;
    prevI = I;
  }
  // A release flags the element whose right node is the node at the release.
  for (const auto& rel : releases) {
    const int node = (ref.FindDof(rel.m_dX) + 1) / 2;
    if (node >= 2) r.elements[node - 1].releaseEnd = 1;
  }

  // Loads and prescribed values.
  const int n = r.nDof;
  ref.F.assign(n + 2, 0.0);
  ref.K.assign(n + 2, {0, 0, 0, 0});
  ref.Dv.assign(n + 2, 0.0);
  ref.Dp.assign(n + 2, 0);
  auto& F = ref.F;
  auto& K = ref.K;
  auto& Dv = ref.Dv;
  auto& Dp = ref.Dp;
  for (const auto& p : pointLoads) {
    const int i = ref.FindDof(p.m_dX);
    F[i] += p.m_dPLoad;
    F[i + 1] += p.m_dMoment;
    r.loadVert += p.m_dPLoad;
    r.loadMoment += p.m_dMoment - p.m_dPLoad * p.m_dX;
  }
  for (const auto& u : uniformLoads) {
    double x1 = u.m_dXStart, x2 = u.m_dXEnd, u1 = u.m_dUStart, u2 = u.m_dUEnd;
    if (x1 > x2) {
      std::swap(x1, x2);
      std::swap(u1, u2);
    }
    const double dx = x2 - x1, du = u2 - u1, slope = du / dx;
    const int c = ref.FindDof(x1), g = ref.FindDof(x2);
    for (int e = 1; e <= r.nElements; ++e) {
      const int j = ref.FindDof(r.elements[e].xEnd);
      if (j < c + 1 || j > g) continue;
      const double l = r.lengths[e];
      const double p = u1 + slope * (r.elements[e].xEnd - x1 - l);
      const double q = u1 + slope * (r.elements[e].xEnd - x1) - p;
      if (r.elements[e].releaseEnd == 1) {  // fixed at the left, pinned at the right
        F[j - 2] += 5 * p * l / 8 + 9 * q * l / 40;
        F[j - 1] -= p * l * l / 8 + 7 * q * l * l / 120;
        F[j] += 3 * p * l / 8 + 11 * q * l / 40;
        continue;
      }
      F[j - 2] += p * l / 2 + 3 * q * l / 20;
      F[j - 1] -= p * l * l / 12 + q * l * l / 30;
      F[j] += p * l / 2 + 7 * q * l / 20;
      F[j + 1] += p * l * l / 12 + q * l * l / 20;
    }
    r.loadVert += (u1 + u2) * dx / 2;
    r.loadMoment += du * dx * (x1 + dx / 3) / 2 - u2 * dx * (x1 + x2) / 2;
  }
  for (const auto& s : supports) {
    const int i = ref.FindDof(s.m_dX);
    if (s.m_bDisp == 1) { Dv[i] = s.m_dDisp; Dp[i] = 1; }
    if (s.m_bRotation == 1) { Dv[i + 1] = s.m_dRotation; Dp[i + 1] = 1; }
  }

  // Stiffness.
  for (int e = 1; e <= r.nElements; ++e) {
    const auto& el = r.elements[e];
    ref.Terms(el.ei, r.lengths[e], el.releaseEnd);
    const int j = ref.FindDof(el.xEnd);
    K[j - 2][0] += ref.k11; K[j - 2][1] += ref.k12; K[j - 2][2] += ref.k13; K[j - 2][3] += ref.k14;
    K[j - 1][0] += ref.k22; K[j - 1][1] += ref.k23; K[j - 1][2] += ref.k24;
    K[j][0] += ref.k33; K[j][1] += ref.k34;
    K[j + 1][0] += ref.k44;
  }
  // A spring that does not change its node's stiffness in the last bit holds nothing.
  std::vector<int> springHeld(n + 2, 0);
  for (const auto& s : springs) {
    const int i = ref.FindDof(s.m_dX);
    if (s.m_dVSpring > 0) {
      const double before = K[i][0];
      K[i][0] += s.m_dVSpring;
      if (K[i][0] != before) springHeld[i] = 1;
    }
    if (s.m_dRSpring > 0) {
      const double before = K[i + 1][0];
      K[i + 1][0] += s.m_dRSpring;
      if (K[i + 1][0] != before) springHeld[i + 1] = 1;
    }
  }

  // Elimination: a mechanism stops at its first free pivot of 0.00001 or less (the last row
  // never counts), else after the forward pass; a pivot below the smallest normal double ends it.
  bool failed = false, outOfRange = false;
  const bool mechanism = ref.IsMechanism(Dp, springHeld);
  const auto stopAsMechanism = [&] {
    r.messages.push_back(CBeamAnalysis::kMessageA3);
    r.error = 1;
    failed = true;
  };
  for (int row = 1; row <= n && !failed; ++row) {
    if (!Dp[row] && mechanism && (row == n || std::fabs(K[row][0]) <= 0.00001)) {
      stopAsMechanism();
      break;
    }
    if (!Dp[row] && !(std::fabs(K[row][0]) >= DBL_MIN)) {
      outOfRange = failed = true;
      break;
    }
    for (int m = row + 1; m <= std::min(row + 3, n); ++m) {
      if (Dp[row]) {
        F[m] -= K[row][m - row] * Dv[row];
        continue;
      }
      if (K[row][m - row] == 0) continue;
      const double f = K[row][m - row] / K[row][0];
      F[m] -= f * F[row];
      for (int q = m; q <= row + 3; ++q) K[m][q - m] -= f * K[row][q - row];
    }
  }
  if (mechanism && !failed) stopAsMechanism();
  if (!failed) {
    for (int row = n; row >= 1; --row) {
      double s = 0;
      for (int t = 1; t <= 3; ++t) {
        if (row + t <= n) s += K[row][t] * Dv[row + t];
      }
      if (Dp[row]) F[row] = s + K[row][0] * Dv[row] - F[row];
      else Dv[row] = (F[row] - s) / K[row][0];
    }
  }

  // End forces.
  for (int i = 1; i <= r.nNodes; ++i) {
    auto& nd = r.nodes[i];
    nd.deflection = Dv[2 * i - 1];
    nd.rotation = Dv[2 * i];
    if (std::fabs(nd.deflection) > r.maxAbsDeflection) r.maxAbsDeflection = std::fabs(nd.deflection);
    if (std::fabs(nd.rotation) > r.maxAbsRotation) r.maxAbsRotation = std::fabs(nd.rotation);
    if (Dp[2 * i - 1]) nd.reactionVert = F[2 * i - 1];
    if (Dp[2 * i]) nd.reactionRot = F[2 * i];
  }
  if (r.maxAbsDeflection > L) {
    r.messages.push_back(CBeamAnalysis::kMessageA2);
    r.error = 1;
  }
  for (const auto& s : springs) {
    for (int i = 1; i <= r.nNodes; ++i) {
      if (std::fabs(r.nodes[i].x - s.m_dX) < 1e-10) {
        if (s.m_dVSpring != 0) r.nodes[i].reactionVert -= s.m_dVSpring * r.nodes[i].deflection;
        if (s.m_dRSpring != 0) r.nodes[i].reactionRot -= s.m_dRSpring * r.nodes[i].rotation;
        break;
      }
    }
  }
  for (int e = 1; e <= r.nElements; ++e) {
    auto& el = r.elements[e];
    ref.Terms(el.ei, r.lengths[e], el.releaseEnd);
    const int j = ref.FindDof(el.xEnd);
    const double d1 = Dv[j - 2], d2 = Dv[j - 1], d3 = Dv[j], d4 = Dv[j + 1];
    el.shearStart = ref.k11 * d1 + ref.k12 * d2 + ref.k13 * d3 + ref.k14 * d4;
    el.momentStart = ref.k12 * d1 + ref.k22 * d2 + ref.k23 * d3 + ref.k24 * d4;
    el.shearEnd = ref.k13 * d1 + ref.k23 * d2 + ref.k33 * d3 + ref.k34 * d4;
    el.momentEnd = ref.k14 * d1 + ref.k24 * d2 + ref.k34 * d3 + ref.k44 * d4;
  }
  for (const auto& u : uniformLoads) {
    double x1 = u.m_dXStart, x2 = u.m_dXEnd, u1 = u.m_dUStart, u2 = u.m_dUEnd;
    if (x1 > x2) {
      std::swap(x1, x2);
      std::swap(u1, u2);
    }
    const double slope = (u2 - u1) / (x2 - x1);
    const int c = ref.FindDof(x1), g = ref.FindDof(x2);
    for (int e = (c + 1) / 2; e <= (g - 1) / 2; ++e) {
      auto& el = r.elements[e];
      const int j = ref.FindDof(el.xEnd);
      if (j < c + 1 || j > g) continue;
      const double l = r.lengths[e];
      const double p = u1 + slope * (el.xEnd - x1 - l);
      const double q = u1 + slope * (el.xEnd - x1) - p;
      if (el.releaseEnd == 1) {
        el.momentStart += p * l * l / 8 + 7 * q * l * l / 120;
        el.momentEnd -= 0.0;
        el.shearStart -= 5 * p * l / 8 + 9 * q * l / 40;
        el.shearEnd -= 3 * p * l / 8 + 11 * q * l / 40;
        continue;
      }
      el.momentStart += p * l * l / 12 + q * l * l / 30;
      el.momentEnd -= p * l * l / 12 + q * l * l / 20;
      el.shearStart -= p * l / 2 + 3 * q * l / 20;
      el.shearEnd -= p * l / 2 + 7 * q * l / 20;
    }
  }
  for (int e = 1; e <= r.nElements; ++e) {
    const auto& el = r.elements[e];
    if (std::fabs(el.shearStart) > r.maxAbsShear) r.maxAbsShear = std::fabs(el.shearStart);
    if (std::fabs(el.shearEnd) > r.maxAbsShear) r.maxAbsShear = std::fabs(el.shearEnd);
    if (std::fabs(el.momentStart) > r.maxAbsMoment) r.maxAbsMoment = std::fabs(el.momentStart);
    if (std::fabs(el.momentEnd) > r.maxAbsMoment) r.maxAbsMoment = std::fabs(el.momentEnd);
  }

  if (outOfRange) {  // no results
    r.messages.push_back(CBeamAnalysis::kMessageA4);
    r.error = 1;
    return r;
  }

  // Equilibrium line.
  double sv = 0, sm = 0;
  for (int i = 1; i <= r.nNodes; ++i) {
    const auto& nd = r.nodes[i];
    if (nd.reactionVert != 0) {
      sv += nd.reactionVert;
      sm -= nd.reactionVert * nd.x;
    }
    if (nd.reactionRot != 0) sm += nd.reactionRot;
  }
  const double vert = sv + r.loadVert;
  const double rot = (sm + r.loadMoment) / (units == 1 ? 12.0 : 1.0);
  const char* fl = units == 1 ? " kips" : units == 2 ? " kN" : "";
  const char* ml = units == 1 ? " kip ft" : units == 2 ? " kN m " : "";
  std::snprintf(line, sizeof line, " Equilibrium error: Vert = %.3f%s; Rotation = %.3f%s", vert, fl,
                rot, ml);
  r.messages.push_back(line);
  return r;
}

}  // namespace spanlab::testing
