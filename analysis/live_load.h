// The live-load envelope: the largest and smallest value of every result over all 2^N
// arrangements of live load on the N spans of a beam, and the arrangement behind each of the
// eight global extremes.
//
// Spans: the supports that restrain the deflection cut the beam; the parts before the first and
// after the last of them are spans too when longer than zero (springs do not cut). In every
// arrangement each span carries either its max loading (DeadMax x the model's point and uniform
// loads on it, plus LiveFactor x U over the whole span) or its min loading (DeadMin x those
// loads). A uniform load crossing a support is split there; a point load at a support belongs to
// the span on its right (at the beam's right end to the last span). Prescribed settlements act
// unfactored in every arrangement.
//
// Values are in internal units with the sign conventions of CBeamAnalysis (deflections in
// internal length units also for Metric models).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/beam_analysis.h"
#include "model/items.h"

namespace spanlab {

struct LiveLoadSpan {
  double start = 0, end = 0;
};

struct EnvelopeRange {
  double max = 0, min = 0;
};

struct EnvelopeNode {
  double x = 0;
  EnvelopeRange deflection, rotation;
  bool hasReaction = false;  // a support or spring sits here
  EnvelopeRange reactionVert, reactionRot;
};

// Element end forces with the meaning of BeamElement's (diagram values: shearStart at the left
// node, -shearEnd at the right one).
struct EnvelopeElement {
  double xEnd = 0;
  EnvelopeRange shearStart, shearEnd, momentStart, momentEnd;
};

// The envelope inside an element: the ranges of the four diagram values at one interior point.
struct EnvelopeSample {
  double x = 0;
  EnvelopeRange deflection, rotation, shear, moment;
};

// The eight global extremes of the diagram values, in the order of their JSON names.
enum EnvelopeExtremeKind : int {
  kEnvelopeMaxShear,
  kEnvelopeMinShear,
  kEnvelopeMaxMoment,
  kEnvelopeMinMoment,
  kEnvelopeMaxRotation,
  kEnvelopeMinRotation,
  kEnvelopeMaxDeflection,
  kEnvelopeMinDeflection,
  kEnvelopeExtremeCount,
};

struct EnvelopeExtreme {
  double value = 0, x = 0;
  std::vector<int32_t> spansOnMax;  // 0-based, ascending: the spans on max loading
  int32_t combination = -1;  // with load combinations (design.h): the one that gives it
};

struct LiveLoadEnvelope {
  std::vector<LiveLoadSpan> spans;
  std::vector<EnvelopeNode> nodes;        // one per node of the run, in order
  std::vector<EnvelopeElement> elements;  // one per element of the run, in order
  // Interior points, the same number in every element (0 to kMaxSamplesPerElement, as many
  // as keep their total within kSampleBudget), equally spaced inside it: element e (1-based)
  // has samples[(e - 1) * samplesPerElement + j], j = 0 .. samplesPerElement - 1, ascending.
  static constexpr int32_t kMaxSamplesPerElement = 3;
  static constexpr int64_t kSampleBudget = 1 << 16;
  int32_t samplesPerElement = 0;
  std::vector<EnvelopeSample> samples;
  // Each extreme is the largest (smallest) of the node, element-end and sample values, refined
  // inside the elements next to it: there the arrangement that governs it is one load case,
  // whose exact curve is stationary at the extreme (or it lies at the element's end).
  std::array<EnvelopeExtreme, kEnvelopeExtremeCount> extremes;
  // Extremes within each range of EnvelopeOptions::regions, of the kinds it asks for (the
  // others stay 0), with their governing spans. An element belongs to the range holding its
  // middle; a node's values to the ranges of both elements that meet there.
  std::vector<std::array<EnvelopeExtreme, kEnvelopeExtremeCount>> regionExtremes;
  // With load combinations (design.h), the combination (an index into its list) behind every
  // max and min; empty otherwise. Per node: deflection max, min, rotation max, min,
  // reactionVert max, min, reactionRot max, min. Per element: shearStart max, min, shearEnd
  // max, min, momentStart max, min, momentEnd max, min. Per sample: deflection, rotation,
  // shear, moment, each max and min.
  std::vector<std::array<int32_t, 8>> nodeCombination, elementCombination, sampleCombination;
  // The tests of the single analysis applied to the envelope: the A4 line when some solution
  // or sum holds a value beyond the range of a double (the envelope is then empty: no results),
  // the A2 line when a largest or smallest deflection exceeds the beam length (the envelope
  // stays). `error` is set with either; the run log shows the lines after the analysis's.
  std::vector<std::string> messages;
  bool error = false;
  // Set when the caller's progress callback asked the computation to stop: the envelope is
  // then empty and has no messages; it is no result of the model and must not be shown.
  bool cancelled = false;
  bool empty() const { return nodes.empty(); }
};

// The model's items the envelope reads (not owned; they must outlive the call).
struct LiveLoadModel {
  const std::vector<CSupportItem>& supports;
  const std::vector<CSpringItem>& springs;
  const std::vector<CPointLoadItem>& pointLoads;
  const std::vector<CUniformLoadItem>& uniformLoads;
  double length;  // the beam length
};

// The spans of a beam of length `length` cut by the deflection-restrained supports, from left to
// right.
std::vector<LiveLoadSpan> LiveLoadSpans(const std::vector<CSupportItem>& supports, double length);

// The span (0-based) that a load at x belongs to: the last span starting at or left of x.
int32_t SpanOfPosition(const std::vector<LiveLoadSpan>& spans, double x);

// Told now and then during a computation the fraction of it done (0 to 1, non-decreasing; from
// the calling thread, at least every few milliseconds of work); returning false stops it.
using EnvelopeProgress = std::function<bool(double fraction)>;

// How the changes of the spans are solved. kLocal carries each one only as far along the beam
// as its values exceed 1e-13 / (number of spans) of the envelope's scale (local_cases.h):
// about linear time in the spans for ordinary beams, within 1e-13 of scale of the full
// solutions; it falls back to them where the run's accuracy does not allow it (a precise
// solution, or an estimated error above 1e-13). kFull solves every change over the whole beam:
// O(spans x nodes). kAuto is kLocal from 32 spans on, kFull below (where it costs less).
enum class EnvelopeMethod { kAuto, kLocal, kFull };

// The spans' changes of one run's envelopes that differ only by their factor (the patterned
// load combinations of a design: the same live loads, DeadMax - DeadMin = LiveFactor = the
// combination's factor, DeadMin = 0): solved once, at factor 1, by the first envelope that
// uses them and scaled by the others. Kept for beams whose changes are solved in full (below
// 32 spans, at most 2^18 node values); larger ones ignore it.
struct SharedChanges;
struct SharedChangesDeleter {
  void operator()(SharedChanges* shared) const;
};
using SharedChangesPtr = std::unique_ptr<SharedChanges, SharedChangesDeleter>;
SharedChangesPtr MakeSharedChanges();

// What else an envelope takes (load combinations and design checks).
struct EnvelopeOptions {
  // Loads that every arrangement carries on every span, beside the settlements (a combination's
  // cases other than the patterned one, already factored). Not owned; null for none.
  const std::vector<CPointLoadItem>* fixedPoints = nullptr;
  const std::vector<CUniformLoadItem>* fixedUniforms = nullptr;
  // Ranges of x whose own extremes are wanted (LiveLoadEnvelope::regionExtremes), ascending and
  // not overlapping but at their ends; null for none.
  const std::vector<LiveLoadSpan>* regions = nullptr;
  // Bit k set: find extreme kind k (EnvelopeExtremeKind) in every region.
  uint32_t regionKinds = 0;
  // Where the envelopes of one model and run share their changes (see above); null for none.
  SharedChanges* shared = nullptr;
};

// The envelope of `model` under `live`, from the results of its ordinary run in `analysis`:
// one solution for the settlements and min loading everywhere, one per span for the change to
// its max loading, superposed, no new elimination. Memory: the nodes' and elements' ranges, at
// most kSampleBudget interior samples (72 bytes each), and with kLocal some 250 bytes per node
// for the factors. Empty when the run left no results to build on (errors A1, A3, A4), or with
// the A4 line when its own values overflow. `progress` (optional) is told how far it is and may
// stop it (`cancelled`).
LiveLoadEnvelope ComputeLiveLoadEnvelope(const CBeamAnalysis& analysis,
                                         const LiveLoadModel& model, const CLiveLoadItem& live,
                                         const EnvelopeProgress& progress = {},
                                         EnvelopeMethod method = EnvelopeMethod::kAuto,
                                         const EnvelopeOptions& options = {});

}  // namespace spanlab
