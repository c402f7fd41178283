// Influence lines by the reciprocal theorem. The stiffness matrix is symmetric, so for a
// quantity that is a linear form Q = c . d of the displacements, its value for a load vector f
// is c . K^-1 f = (K^-1 c) . f: one solution with the "dual" load c gives every load position at
// once. A unit downward load at node j is f = -e_j, so Q(j) = -(deflection of node j under c).
//   deflection, rotation at node i: c is a unit force or moment at i;
//   shear, moment just right of i: c is the row of the element's stiffness that gives its end
//     force (point loads stand at nodes and add nothing inside an element);
//   a support's reaction: Mueller-Breslau, by the same theorem with the support moved: prescribe
//     a unit displacement there (other supports held) and the deflection line is the influence
//     line; a spring's reaction is -k times the influence line of its displacement.
#include "analysis/influence_line.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace spanlab {

namespace {

constexpr std::string_view kReactionVertName = "reaction-vert";
constexpr std::string_view kReactionRotName = "reaction-rot";

int32_t NearestNode(const CBeamAnalysis& a, double x) {
  const auto begin = a.m_nodes.begin() + 1, end = a.m_nodes.begin() + 1 + a.m_nNodes;
  const auto it =
      std::lower_bound(begin, end, x, [](const BeamNode& n, double v) { return n.x < v; });
  auto node = static_cast<int32_t>(it - a.m_nodes.begin());
  if (node > a.m_nNodes || (node > 1 && x - a.m_nodes[node - 1].x < a.m_nodes[node].x - x))
    --node;
  return node;
}

}  // namespace

InfluenceQuantity InfluenceOf(BeamQuantity quantity) {
  return static_cast<InfluenceQuantity>(quantity);
}

std::optional<BeamQuantity> DiagramQuantityOf(InfluenceQuantity quantity) {
  if (quantity == InfluenceQuantity::kReactionVert || quantity == InfluenceQuantity::kReactionRot)
    return std::nullopt;
  return static_cast<BeamQuantity>(quantity);
}

std::optional<InfluenceQuantity> InfluenceQuantityFromName(std::string_view name) {
  if (const std::optional<BeamQuantity> q = BeamQuantityFromWord(name)) return InfluenceOf(*q);
  if (name == kReactionVertName) return InfluenceQuantity::kReactionVert;
  if (name == kReactionRotName) return InfluenceQuantity::kReactionRot;
  return std::nullopt;
}

std::string_view InfluenceQuantityName(InfluenceQuantity quantity) {
  if (const std::optional<BeamQuantity> q = DiagramQuantityOf(quantity)) return RecordOf(*q).word;
  return quantity == InfluenceQuantity::kReactionVert ? kReactionVertName : kReactionRotName;
}

std::string SolveInfluenceDual(const CBeamAnalysis& analysis,
                               const std::vector<CSpringItem>& springs,
                               InfluenceQuantity quantity, int32_t node,
                               CBeamAnalysis::CaseResults& solution, double& scale) {
  const double at = analysis.m_nodes[node].x;
  const int32_t dof = 2 * node - 1;  // the node's deflection degree of freedom

  std::vector<CSupportItem> moved;
  std::vector<CPointLoadItem> dual;
  scale = -1;  // Q(j) = scale x (deflection of node j in the dual solution)
  auto reaction = [&](bool vertical) {
    const int32_t held = vertical ? dof : dof + 1;
    if (analysis.IsPrescribedDof(held)) {
      moved.push_back(vertical ? CSupportItem{.m_dX = at, .m_dDisp = 1, .m_bDisp = 1}
                               : CSupportItem{.m_dX = at, .m_dRotation = 1, .m_bRotation = 1});
      scale = 1;
      return true;
    }
    double k = 0;
    for (const CSpringItem& s : springs) {
      if (std::fabs(s.m_dX - at) < CBeamAnalysis::kPositionTolerance)
        k += vertical ? s.m_dVSpring : s.m_dRSpring;
    }
    if (k == 0) return false;
    // -k times the node's displacement: the dual load of that displacement, scaled.
    dual.push_back({at, vertical ? 1.0 : 0.0, vertical ? 0.0 : 1.0});
    scale = k;  // -k x (-(deflection under the unit dual load))
    return true;
  };
  switch (quantity) {
    case InfluenceQuantity::kDeflection:
      dual.push_back({at, 1, 0});
      break;
    case InfluenceQuantity::kRotation:
      dual.push_back({at, 0, 1});
      break;
    case InfluenceQuantity::kShear:
    case InfluenceQuantity::kMoment: {
      // The element starting at the node; at the right end the one ending there, whose diagram
      // value is minus its end force.
      const bool last = node == analysis.m_nNodes;
      const int32_t e = last ? node - 1 : node;
      const BeamElement& el = analysis.m_elements[e];
      const auto k = CBeamAnalysis::ElementTermsOf(el.ei, analysis.ElementLength(e), el.releaseEnd);
      const bool shear = quantity == InfluenceQuantity::kShear;
      std::array<double, 4> row =
          last ? (shear ? std::array{k.k13, k.k23, k.k33, k.k34}
                        : std::array{k.k14, k.k24, k.k34, k.k44})
               : (shear ? std::array{k.k11, k.k12, k.k13, k.k14}
                        : std::array{k.k12, k.k22, k.k23, k.k24});
      if (last) {
        for (double& c : row) c = -c;
      }
      const double left = analysis.m_nodes[e].x, right = analysis.m_nodes[e + 1].x;
      dual.push_back({left, row[0], row[1]});
      dual.push_back({right, row[2], row[3]});
      break;
    }
    case InfluenceQuantity::kReactionVert:
    case InfluenceQuantity::kReactionRot: {
      const bool vertical = quantity == InfluenceQuantity::kReactionVert;
      if (!reaction(vertical)) {
        return std::string("There is no support or spring restraining the ") +
               (vertical ? "deflection" : "rotation") +
               " at the node nearest the position: give the position of a support or "
               "spring.";
      }
      break;
    }
  }
  analysis.SolveLoadCase(moved, springs, dual, {}, solution);
  return {};
}

InfluenceLine ComputeInfluenceLine(const CBeamAnalysis& analysis,
                                   const std::vector<CSpringItem>& springs,
                                   InfluenceQuantity quantity, double x) {
  InfluenceLine line;
  if (!analysis.CanSolveLoadCases() || analysis.m_dLength <= 0 || analysis.m_nNodes < 2) {
    line.error = "The model has no results to build an influence line on: correct its errors.";
    return line;
  }
  const CBeamAnalysis::TableLock lock(analysis);
  const int32_t node = NearestNode(analysis, x);
  line.x = analysis.m_nodes[node].x;
  CBeamAnalysis::CaseResults solution;
  double scale = 0;
  line.error = SolveInfluenceDual(analysis, springs, quantity, node, solution, scale);
  if (!line.error.empty()) return line;
  line.points.reserve(static_cast<size_t>(analysis.m_nNodes));
  for (int32_t j = 1; j <= analysis.m_nNodes; ++j) {
    double value = scale * solution.deflection[j];
    if (value == 0) value = 0;  // no -0 in the output
    line.points.push_back({analysis.m_nodes[j].x, value});
  }
  return line;
}

}  // namespace spanlab
