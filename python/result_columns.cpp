// Display values are made by the reports' own operations (model/units.h, report_builder.cpp):
// a length or a moment divided by 12 in English, a deflection multiplied by 1000 in Metric. The
// one exception is the run's deflection extremes, which ComputeExtremes already gives in mm.
#include "python/result_columns.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "analysis/element_values.h"
#include "analysis/influence_line.h"
#include "analysis/results_export.h"
#include "model/number_text.h"
#include "platform/file_access.h"

namespace spanlab {

namespace {

DisplayScale ScaleOf(const ModelSession& session) {
  return DisplayScaleOf(session.Doc().GetUnits());
}

// "from 0 to 42 feet": the beam's extent in display length units.
std::string BeamExtent(const ModelSession& session) {
  const CSPLX_30Doc& doc = session.Doc();
  const std::string label = doc.GetUnitLabel(kQuantityPosition);
  return "from 0 to " + FormatGeneral(doc.GetBeamLength() / ScaleOf(session).length, 15) +
         (label.empty() ? "" : " " + label);
}

// The internal position of the display position `x`, or a failure naming the beam's extent.
// `x` equal to the beam's length in display units is on the beam also where the scaled length
// does not divide back exactly.
Status InternalPosition(const ModelSession& session, double x, const char* what, double& internal) {
  if (!std::isfinite(x)) {
    return Status::Error(std::string(what) + " " + FormatGeneral(x, 17) +
                         " is not a finite number: give a position " + BeamExtent(session) + ".");
  }
  const double unit = ScaleOf(session).length;
  const double length = session.Doc().GetBeamLength();
  if (!(x >= 0) || !(x * unit <= length || x <= length / unit)) {
    return Status::Error(std::string(what) + " " + FormatGeneral(x, 15) +
                         " is outside the beam: give a position " + BeamExtent(session) + ".");
  }
  internal = std::min(x * unit, length) + 0.0;  // "-0" is the position 0
  return Status::Ok();
}

}  // namespace

DisplayScale DisplayScaleOf(int units) {
  if (units == kUnitsEnglish) return {12, 12, 1};
  if (units == kUnitsMetric) return {1, 1, 1000};
  return {};
}

std::string UnitSystemName(int units) {
  switch (units) {
    case kUnitsEnglish:
      return "English";
    case kUnitsMetric:
      return "Metric";
    case kUnitsConsistent:
      return "Consistent";
    case kUnitsUserDefined:
      return "User Defined";
    default:
      return "";
  }
}

std::vector<std::pair<std::string, std::string>> DisplayLabels(int units) {
  return {{"x", UnitLabel(units, kQuantityPosition)},
          {"deflection", UnitLabel(units, kQuantityDeflection)},
          {"rotation", UnitLabel(units, kQuantityRotation)},
          {"shear", UnitLabel(units, kQuantityForce)},
          {"moment", UnitLabel(units, kQuantityMoment)},
          {"force", UnitLabel(units, kQuantityForce)}};
}

Columns NodeColumns(const ModelSession& session) {
  const CBeamAnalysis& a = session.Doc().GetAnalysis();
  const DisplayScale s = ScaleOf(session);
  const auto n = static_cast<size_t>(a.m_nNodes);
  std::vector<double> x(n), deflection(n), rotation(n), shearLeft(n), shearRight(n), momentLeft(n),
      momentRight(n);
  const CBeamAnalysis::TableLock lock(a);
  const int32_t last = a.m_nElements;
  for (int32_t i = 1; i <= a.m_nNodes; ++i) {
    const BeamNode& node = a.m_nodes[i];
    const auto k = static_cast<size_t>(i - 1);
    x[k] = node.x / s.length;
    deflection[k] = node.deflection * s.deflection;
    rotation[k] = node.rotation;
    // The element ending at the node and the one starting there (the first and the last
    // element stand in at the beam's ends).
    const BeamElement& left = a.m_elements[i > 1 ? i - 1 : 1];
    const BeamElement& right = a.m_elements[i <= last ? i : last];
    shearLeft[k] = i > 1 ? -left.shearEnd : left.shearStart;
    shearRight[k] = i <= last ? right.shearStart : -right.shearEnd;
    momentLeft[k] = (i > 1 ? -left.momentEnd : left.momentStart) / s.moment;
    momentRight[k] = (i <= last ? right.momentStart : -right.momentEnd) / s.moment;
  }
  return {{"x", std::move(x)},
          {"deflection", std::move(deflection)},
          {"rotation", std::move(rotation)},
          {"shear_left", std::move(shearLeft)},
          {"shear_right", std::move(shearRight)},
          {"moment_left", std::move(momentLeft)},
          {"moment_right", std::move(momentRight)}};
}

Columns ReactionColumns(const ModelSession& session) {
  const CSPLX_30Doc& doc = session.Doc();
  const CBeamAnalysis& a = doc.GetAnalysis();
  const DisplayScale s = ScaleOf(session);
  std::vector<uint8_t> held(static_cast<size_t>(a.m_nNodes) + 1, 0);
  auto mark = [&](double x) {
    const int32_t node = (a.FindDof(x) + 1) / 2;
    if (node >= 1 && node <= a.m_nNodes) held[static_cast<size_t>(node)] = 1;
  };
  for (const CSupportItem& support : doc.GetSupports()) mark(support.m_dX);
  for (const CSpringItem& spring : doc.GetSprings()) mark(spring.m_dX);
  std::vector<double> x, force, moment;
  const CBeamAnalysis::TableLock lock(a);
  for (int32_t i = 1; i <= a.m_nNodes; ++i) {
    if (!held[static_cast<size_t>(i)]) continue;
    const BeamNode& node = a.m_nodes[i];
    x.push_back(node.x / s.length);
    force.push_back(node.reactionVert);
    moment.push_back(node.reactionRot / s.moment);
  }
  return {{"x", std::move(x)}, {"force", std::move(force)}, {"moment", std::move(moment)}};
}

std::vector<NamedExtreme> Extremes(const ModelSession& session) {
  const CBeamAnalysis& a = session.Doc().GetAnalysis();
  const DisplayScale s = ScaleOf(session);
  // ComputeExtremes already gives Metric deflections in mm: they keep their value.
  return {{"min_shear", a.m_dMinShear, a.m_dXMinShear / s.length},
          {"max_shear", a.m_dMaxShear, a.m_dXMaxShear / s.length},
          {"min_moment", a.m_dMinMoment / s.moment, a.m_dXMinMoment / s.length},
          {"max_moment", a.m_dMaxMoment / s.moment, a.m_dXMaxMoment / s.length},
          {"min_rotation", a.m_dMinRotation, a.m_dXMinRotation / s.length},
          {"max_rotation", a.m_dMaxRotation, a.m_dXMaxRotation / s.length},
          {"min_deflection", a.m_dMinDeflection, a.m_dXMinDeflection / s.length},
          {"max_deflection", a.m_dMaxDeflection, a.m_dXMaxDeflection / s.length}};
}

Status ValuesAlong(const ModelSession& session, const std::vector<double>& x, Columns& out) {
  const CBeamAnalysis& a = session.Doc().GetAnalysis();
  const DisplayScale s = ScaleOf(session);
  std::vector<double> positions(x.size());
  for (size_t i = 0; i < x.size(); ++i) {
    const Status ok = InternalPosition(session, x[i], "x", positions[i]);
    if (!ok.ok()) return ok;
  }
  std::vector<double> deflection(x.size()), rotation(x.size()), shear(x.size()), moment(x.size());
  for (size_t i = 0; i < x.size(); ++i) {
    // A position within the engine's node tolerance of a node is that node: a node's display
    // x scaled back may miss its internal x by a rounding.
    const double p = positions[i];
    const double nodeX = a.m_nodes[static_cast<size_t>((a.FindDof(p) + 1) / 2)].x;
    const BeamValues v =
        ValuesAt(a, std::abs(nodeX - p) < CBeamAnalysis::kPositionTolerance ? nodeX : p);
    deflection[i] = v.deflection * s.deflection;
    rotation[i] = v.rotation;
    shear[i] = v.shear;
    moment[i] = v.moment / s.moment;
  }
  out = {{"deflection", std::move(deflection)},
         {"rotation", std::move(rotation)},
         {"shear", std::move(shear)},
         {"moment", std::move(moment)}};
  return Status::Ok();
}

namespace {

// What one display value of each kind of envelope entry is made from an internal one.
struct EnvelopeScales {
  double length, moment, deflection;
  double X(double v) const { return v / length; }
  double Moment(double v) const { return v / moment; }
  double Deflection(double v) const { return v * deflection; }
};

Columns EnvelopeNodeColumns(const LiveLoadEnvelope& env, const EnvelopeScales& s) {
  const size_t n = env.nodes.size();
  std::vector<std::vector<double>> c(9, std::vector<double>(n));
  for (size_t i = 0; i < n; ++i) {
    const EnvelopeNode& node = env.nodes[i];
    const double none = std::nan("");
    c[0][i] = s.X(node.x);
    c[1][i] = s.Deflection(node.deflection.max);
    c[2][i] = s.Deflection(node.deflection.min);
    c[3][i] = node.rotation.max;
    c[4][i] = node.rotation.min;
    c[5][i] = node.hasReaction ? node.reactionVert.max : none;
    c[6][i] = node.hasReaction ? node.reactionVert.min : none;
    c[7][i] = node.hasReaction ? s.Moment(node.reactionRot.max) : none;
    c[8][i] = node.hasReaction ? s.Moment(node.reactionRot.min) : none;
  }
  const char* names[9] = {"x",
                          "deflectionMax",
                          "deflectionMin",
                          "rotationMax",
                          "rotationMin",
                          "reactionVertMax",
                          "reactionVertMin",
                          "reactionRotMax",
                          "reactionRotMin"};
  Columns out;
  for (size_t k = 0; k < 9; ++k) out.emplace_back(names[k], std::move(c[k]));
  return out;
}

Columns EnvelopeElementColumns(const LiveLoadEnvelope& env, const EnvelopeScales& s) {
  const size_t n = env.elements.size();
  std::vector<std::vector<double>> c(9, std::vector<double>(n));
  for (size_t e = 0; e < n; ++e) {
    const EnvelopeElement& el = env.elements[e];
    c[0][e] = s.X(el.xEnd);
    c[1][e] = el.shearStart.max;
    c[2][e] = el.shearStart.min;
    c[3][e] = el.shearEnd.max;
    c[4][e] = el.shearEnd.min;
    c[5][e] = s.Moment(el.momentStart.max);
    c[6][e] = s.Moment(el.momentStart.min);
    c[7][e] = s.Moment(el.momentEnd.max);
    c[8][e] = s.Moment(el.momentEnd.min);
  }
  const char* names[9] = {"xEnd",           "shearStartMax", "shearStartMin",
                          "shearEndMax",    "shearEndMin",   "momentStartMax",
                          "momentStartMin", "momentEndMax",  "momentEndMin"};
  Columns out;
  for (size_t k = 0; k < 9; ++k) out.emplace_back(names[k], std::move(c[k]));
  return out;
}

}  // namespace

Status EnvelopeOf(const ModelSession& session, EnvelopeTables& out) {
  const CSPLX_30Doc& doc = session.Doc();
  const LiveLoadEnvelope& env = doc.GetEnvelope();
  if (env.empty()) {
    if (doc.GetLiveLoads().empty()) {
      return Status::Error(
          "the model has no Live Load line (add one such as "
          "'Live Load: U = -0.8;')");
    }
    return Status::Error("the live-load envelope has no results (see the run log)");
  }
  const DisplayScale d = ScaleOf(session);
  const EnvelopeScales s{d.length, d.moment, d.deflection};
  std::vector<double> start, end;
  for (const LiveLoadSpan& span : env.spans) {
    start.push_back(s.X(span.start));
    end.push_back(s.X(span.end));
  }
  out.spans = {{"start", std::move(start)}, {"end", std::move(end)}};
  out.nodes = EnvelopeNodeColumns(env, s);
  out.elements = EnvelopeElementColumns(env, s);
  static constexpr std::pair<const char*, int> kNames[] = {
      {"maxShear", kEnvelopeMaxShear},           {"minShear", kEnvelopeMinShear},
      {"maxMoment", kEnvelopeMaxMoment},         {"minMoment", kEnvelopeMinMoment},
      {"maxRotation", kEnvelopeMaxRotation},     {"minRotation", kEnvelopeMinRotation},
      {"maxDeflection", kEnvelopeMaxDeflection}, {"minDeflection", kEnvelopeMinDeflection},
  };
  out.extremes.clear();
  for (const auto& [name, kind] : kNames) {
    const EnvelopeExtreme& x = env.extremes[static_cast<size_t>(kind)];
    double value = x.value;
    if (kind == kEnvelopeMaxMoment || kind == kEnvelopeMinMoment) value = s.Moment(value);
    if (kind == kEnvelopeMaxDeflection || kind == kEnvelopeMinDeflection) {
      value = s.Deflection(value);
    }
    out.extremes.push_back({name, value, s.X(x.x), x.spansOnMax});
  }
  return Status::Ok();
}

Status InfluenceOf(const ModelSession& session, const std::string& of, double at, double& atNode,
                   Columns& out) {
  const std::optional<InfluenceQuantity> quantity = InfluenceQuantityFromName(of);
  if (!quantity) {
    return Status::Error("'" + of +
                         "' is no quantity of an influence line: give deflection, "
                         "rotation, shear, moment, reaction-vert or reaction-rot.");
  }
  double x = 0;
  const Status position = InternalPosition(session, at, "at", x);
  if (!position.ok()) return position;
  const CSPLX_30Doc& doc = session.Doc();
  const InfluenceLine line =
      ComputeInfluenceLine(doc.GetAnalysis(), doc.GetSprings(), *quantity, x);
  if (!line.error.empty()) return Status::Error(line.error);
  const DisplayScale s = ScaleOf(session);
  double factor = 1;  // display value per internal value, applied as the reports do
  bool divide = false;
  if (*quantity == InfluenceQuantity::kDeflection) factor = s.deflection;
  if (*quantity == InfluenceQuantity::kMoment || *quantity == InfluenceQuantity::kReactionRot) {
    factor = s.moment;
    divide = true;
  }
  std::vector<double> xs(line.points.size()), values(line.points.size());
  for (size_t i = 0; i < line.points.size(); ++i) {
    xs[i] = line.points[i].x / s.length;
    values[i] = divide ? line.points[i].value / factor : line.points[i].value * factor;
  }
  atNode = line.x / s.length;
  out = {{"x", std::move(xs)}, {"value", std::move(values)}};
  return Status::Ok();
}

std::string ResultsJson(const ModelSession& session) {
  std::ostringstream text;
  WriteResultsJson(text, session.Doc().GetAnalysis());
  return std::move(text).str();
}

Status SaveResultsCsv(const ModelSession& session, const std::string& path) {
  std::ostringstream text;
  WriteResultsCsv(text, session.Doc().GetAnalysis());
  return DefaultFileAccess().WriteFileAtomically(path, text.str());
}

}  // namespace spanlab
