#include "view/readout.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

#include "analysis/element_values.h"
#include "model/number_text.h"
#include "view/design_drawing.h"

namespace spanlab {

namespace {

// "%6.4g" in the "C" locale.
std::string Width6General4(double v) {
  std::string s = FormatGeneral(v, 4);
  if (s.size() < 6) s.insert(0, 6 - s.size(), ' ');
  return s;
}

// Where the read-out for client x `mx` reads: the first node at or right of the cursor (0 when
// the results have no nodes), its position w and the cursor's own position p on the beam;
// nullopt off the beam or without results.
struct ReadPoint {
  int32_t node;
  double w;
  double p;
};
std::optional<ReadPoint> PointAt(const ModelRun& run, const ResultsViewState& state, int mx) {
  const CBeamAnalysis& a = run.analysis;
  if (!(a.m_dLength > 0) || !(run.items.m_dBeamLength > 0)) return std::nullopt;
  if (StoppedAsMechanism(a)) return std::nullopt;
  const int left = static_cast<int>(state.m_cxClient * 0.15);
  const int right = static_cast<int>(state.m_cxClient * 0.85);
  if (mx > right || mx < left) return std::nullopt;
  const CBeamAnalysis::TableLock lock(a);
  const double p = (mx - left) / (static_cast<double>(right - left) / a.m_dLength);
  // The first node at or right of the cursor (the last node when there is none).
  int32_t k = a.m_nNodes;
  {
    int32_t lo = 1, hi = a.m_nNodes;  // nodes ascend, so the test p - x < 1e-10 flips once
    while (lo < hi) {
      const int32_t mid = lo + (hi - lo) / 2;
      if (p - a.m_nodes[mid].x < 1e-10) hi = mid;
      else lo = mid + 1;
    }
    if (a.m_nNodes > 0 && p - a.m_nodes[lo].x < 1e-10) k = lo;
  }
  return ReadPoint{k, a.m_nNodes > 0 ? a.m_nodes[k].x : p, std::clamp(p, 0.0, a.m_dLength)};
}

// With an envelope drawn: the first of its samples inside the element ending at node k that
// stands at or right of the cursor position p (the curves' points between nodes), or null when
// the node comes first.
const EnvelopeSample* SampleAt(const LiveLoadEnvelope& env, int32_t k, double p) {
  const auto per = static_cast<size_t>(env.samplesPerElement);
  if (k < 2 || per == 0) return nullptr;
  const size_t first = static_cast<size_t>(k - 2) * per;
  for (size_t j = first; j < first + per && j < env.samples.size(); ++j) {
    if (env.samples[j].x >= p) return &env.samples[j];
  }
  return nullptr;
}

}  // namespace

int ReadoutMarkX(const ModelRun& run, const ResultsViewState& state, int mouseX) {
  const std::optional<ReadPoint> at = PointAt(run, state, mouseX);
  if (!at) return -1;
  // The exact curves: at the cursor.
  if (!ShowsEnvelope(run.envelope, state.toggles)) return mouseX;
  const EnvelopeSample* sample = SampleAt(run.envelope, at->node, at->p);
  return ScreenFrame(state.m_cxClient, state.m_cyClient, run.items.m_dBeamLength)
      .MapX(sample ? sample->x : at->w);
}

namespace {

// The units of the read-out's quantities and the factor from internal values to them.
struct ReadoutUnits {
  bool english, metric;
  double Deflection(double v) const { return metric ? v * 1000 : v; }
  double Moment(double v) const { return english ? v / 12.0 : v; }  // kip in to kip ft
  const char* deflectionUnit() const { return english ? " inches" : metric ? " mm" : ""; }
  const char* momentUnit() const { return english ? " kip ft" : metric ? " kN m" : ""; }
  const char* forceUnit() const { return english ? " kips" : metric ? " kN" : ""; }
};

std::string ValueLine(const char* name, double value, const char* unit) {
  return std::string(" ") + name + " = " + FormatGeneral(value, 4) + unit + "\r\n";
}

// `maxNote` and `minNote` follow the values: the governing combinations (" (ULS2)").
std::string RangeLine(const char* name, double max, double min, const char* unit,
                      const std::string& maxNote = {}, const std::string& minNote = {}) {
  return std::string(" ") + name + " max = " + FormatGeneral(max + 0.0, 4) + maxNote +
         ", min = " + FormatGeneral(min + 0.0, 4) + minNote + unit + "\r\n";
}

// The governing combinations of one row of an envelope's ...Combination table (none when the
// envelope has no such table, a combination's own envelope among them).
class GoverningNotes {
 public:
  GoverningNotes(const DesignResults& design, const std::vector<std::array<int32_t, 8>>& table,
                 size_t row)
      : design_(design), row_(row < table.size() ? &table[row] : nullptr) {}
  // The note of slot `slot` of the row (the table's order of max and min).
  std::string operator()(int slot) const {
    return row_ ? CombinationNote(&design_, (*row_)[static_cast<size_t>(slot)]) : std::string();
  }

 private:
  const DesignResults& design_;
  const std::array<int32_t, 8>* row_;
};

// The element that ends at node k at position w: the last one whose xEnd <= w; 0 for none.
int32_t ElementEndingAt(const CBeamAnalysis& a, int32_t k, double w) {
  for (int32_t e = std::min(a.m_nElements, k); e >= 1; --e) {
    if (a.m_elements[e].xEnd <= w) return e;
  }
  return 0;
}

// The diagram values of the single analysis at beam position x, from the exact values between
// nodes (at a node those just left of it, as the diagrams and the node table show them).
std::string SingleValues(const CBeamAnalysis& a, double x, const ViewToggles& show,
                         const ReadoutUnits& u) {
  std::string t;
  const BeamValues v = ValuesAt(a, x);
  if (show.deflection) t += ValueLine("Deflection", u.Deflection(v.deflection), u.deflectionUnit());
  if (show.rotation) t += ValueLine("Rotation", v.rotation, " radians");
  if (show.moment) t += ValueLine("Moment", u.Moment(v.moment), u.momentUnit());
  if (show.shear) t += ValueLine("Shear", v.shear, u.forceUnit());
  return t;
}

// The two envelope curves at node k, as DrawEnvelope draws them: node ranges for deflection and
// rotation, and for moment and shear the end of element j (the max curve is minus the end
// force's minimum); at the first node (j = 0) the start of the first element.
// With load combinations each value is followed by the combination that governs it.
std::string EnvelopeValues(const LiveLoadEnvelope& env, const DesignResults& design, int32_t k,
                           int32_t j, const ViewToggles& show, const ReadoutUnits& u) {
  if (k < 1 || static_cast<size_t>(k) > env.nodes.size()) return {};
  if (static_cast<size_t>(j) > env.elements.size()) return {};
  std::string t;
  const EnvelopeNode& n = env.nodes[static_cast<size_t>(k - 1)];
  const GoverningNotes node(design, env.nodeCombination, static_cast<size_t>(k - 1));
  if (show.deflection) {
    t += RangeLine("Deflection", u.Deflection(n.deflection.max), u.Deflection(n.deflection.min),
                   u.deflectionUnit(), node(0), node(1));
  }
  if (show.rotation) {
    t += RangeLine("Rotation", n.rotation.max, n.rotation.min, " radians", node(2), node(3));
  }
  if (j == 0 && !env.elements.empty()) {  // the beam's start: the first element's start forces
    const EnvelopeElement& e = env.elements.front();
    const GoverningNotes element(design, env.elementCombination, 0);
    if (show.moment) {
      t += RangeLine("Moment", u.Moment(e.momentStart.max), u.Moment(e.momentStart.min),
                     u.momentUnit(), element(4), element(5));
    }
    if (show.shear) {
      t += RangeLine("Shear", e.shearStart.max, e.shearStart.min, u.forceUnit(), element(0),
                     element(1));
    }
    return t;
  }
  const EnvelopeElement none;
  const EnvelopeElement& e = j > 0 ? env.elements[static_cast<size_t>(j - 1)] : none;
  // The curves' max at an element's right end is minus its end force's min, and so on.
  const GoverningNotes element(design, env.elementCombination,
                               j > 0 ? static_cast<size_t>(j - 1) : env.elements.size());
  if (show.moment) {
    t += RangeLine("Moment", u.Moment(-e.momentEnd.min), u.Moment(-e.momentEnd.max),
                   u.momentUnit(), element(7), element(6));
  }
  if (show.shear) {
    t += RangeLine("Shear", -e.shearEnd.min, -e.shearEnd.max, u.forceUnit(), element(3),
                   element(2));
  }
  return t;
}

// The two envelope curves at sample `index` of the envelope.
std::string SampleRanges(const LiveLoadEnvelope& env, const DesignResults& design, size_t index,
                         const ViewToggles& show, const ReadoutUnits& u) {
  const EnvelopeSample& s = env.samples[index];
  const GoverningNotes note(design, env.sampleCombination, index);
  std::string t;
  if (show.deflection) {
    t += RangeLine("Deflection", u.Deflection(s.deflection.max), u.Deflection(s.deflection.min),
                   u.deflectionUnit(), note(0), note(1));
  }
  if (show.rotation) {
    t += RangeLine("Rotation", s.rotation.max, s.rotation.min, " radians", note(2), note(3));
  }
  if (show.moment) {
    t += RangeLine("Moment", u.Moment(s.moment.max), u.Moment(s.moment.min), u.momentUnit(),
                   note(6), note(7));
  }
  if (show.shear) {
    t += RangeLine("Shear", s.shear.max, s.shear.min, u.forceUnit(), note(4), note(5));
  }
  return t;
}

}  // namespace

std::string ReadoutText(const ModelRun& run, const ResultsViewState& state, int mx) {
  const std::optional<ReadPoint> at = PointAt(run, state, mx);
  if (!at) return {};
  const CBeamAnalysis& a = run.analysis;
  const CBeamAnalysis::TableLock lock(a);
  const int32_t k = at->node;
  // The envelope is read at the node or sample of its curves at or right of the cursor, the
  // single analysis at the cursor itself.
  const bool envelope = ShowsEnvelope(run.envelope, state.toggles);
  const EnvelopeSample* sample = envelope ? SampleAt(run.envelope, k, at->p) : nullptr;
  const double w = sample ? sample->x : envelope || a.m_nNodes <= 0 ? at->w : at->p;
  const ReadoutUnits u{run.items.m_nUnits == kUnitsEnglish, run.items.m_nUnits == kUnitsMetric};
  std::string t = " x = " + Width6General4(u.english ? w / 12 : w) +
                  (u.english ? " feet" : u.metric ? " m" : " ") + "\r\n";
  if (sample) {
    t += SampleRanges(run.envelope, run.design,
                      static_cast<size_t>(sample - run.envelope.samples.data()), state.toggles, u);
  } else if (a.m_nNodes > 0) {
    t += envelope ? EnvelopeValues(run.envelope, run.design, k, ElementEndingAt(a, k, w),
                                   state.toggles, u)
                  : SingleValues(a, w, state.toggles, u);
  }
  return t;
}

}  // namespace spanlab
