// The sums behind the live-load envelope (live_load.cpp): the result arrays of a load case, the
// envelope's interior samples, and the changes of the spans added to the envelope's max and min
// by their positive and negative parts. Internal to the envelope's computation.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "analysis/beam_analysis.h"
#include "analysis/element_values.h"
#include "analysis/live_load.h"
#include "analysis/local_cases.h"

namespace spanlab {

namespace envelope_sums {

using Case = CBeamAnalysis::CaseResults;

// The eight result arrays of a load case: four per node, four per element.
constexpr std::array<std::vector<double> Case::*, 8> kArrays = {
    &Case::deflection, &Case::rotation,   &Case::reactionVert, &Case::reactionRot,
    &Case::shearStart, &Case::shearEnd, &Case::momentStart,  &Case::momentEnd};
enum : int {
  kDeflection,
  kRotation,
  kReactionVert,
  kReactionRot,
  kShearStart,
  kShearEnd,
  kMomentStart,
  kMomentEnd,
};

inline double ValueOf(const BeamValues& v, BeamQuantity q) {
  switch (q) {
    case BeamQuantity::kDeflection:
      return v.deflection;
    case BeamQuantity::kRotation:
      return v.rotation;
    case BeamQuantity::kShear:
      return v.shear;
    case BeamQuantity::kMoment:
      return v.moment;
  }
  return 0;
}

template <class Sample>  // EnvelopeSample, const or not
auto& RangeOf(Sample& s, BeamQuantity q) {
  switch (q) {
    case BeamQuantity::kDeflection:
      return s.deflection;
    case BeamQuantity::kRotation:
      return s.rotation;
    case BeamQuantity::kShear:
      return s.shear;
    case BeamQuantity::kMoment:
      break;
  }
  return s.moment;
}

constexpr std::array<BeamQuantity, 4> kQuantities = {BeamQuantity::kDeflection,
                                                     BeamQuantity::kRotation, BeamQuantity::kShear,
                                                     BeamQuantity::kMoment};

// Position of sample j of element e, from the element's left node.
inline double SampleOffset(const CBeamAnalysis& a, int32_t e, int32_t j, int32_t perElement) {
  return a.ElementLength(e) * static_cast<double>(j + 1) / static_cast<double>(perElement + 1);
}

// The samples' values in load case c: use(sample index, values).
template <class Use>
void ForEachSample(const CBeamAnalysis& a, const Case& c, int32_t perElement, Use&& use) {
  for (int32_t e = 1; perElement > 0 && e <= a.m_nElements; ++e) {
    const ElementSolution element(a, e, EndsOf(c, e));
    for (int32_t j = 0; j < perElement; ++j) {
      const size_t i =
          static_cast<size_t>(e - 1) * static_cast<size_t>(perElement) + static_cast<size_t>(j);
      use(i, element.At(SampleOffset(a, e, j, perElement)));
    }
  }
}

// The samples of the envelope with the base case's values.
void StartSamples(const CBeamAnalysis& a, const Case& base, LiveLoadEnvelope& env);

// A full solution as a window over the whole beam.
void WholeBeam(const CBeamAnalysis& a, const Case& c, LocalCase& out);

// The largest magnitude of each kind of value seen so far: of the base, and half of those of
// the changes. Each is at most the envelope's own largest magnitude of that kind (the max and
// min of a value lie on both sides of the base and are a change's value apart at least), so a
// tolerance relative to them is relative to the envelope's scale.
struct Magnitudes {
  double deflection = 0, rotation = 0, shear = 0, moment = 0, reactionVert = 0, reactionRot = 0;
};
inline void Raise(double& m, double v) { m = std::max(m, std::fabs(v)); }

// What a value adds to the max and to the min: itself where positive (negative), else
// -(d - d): -0.0 for a finite d, which leaves every sum as it was, the sign of a zero included,
// and NaN for any other, which stays in the sum for CheckRange to find (no branch to mispredict,
// and no chain of additions into one flag).
inline double PositivePart(double d) { return d > 0 ? d : -(d - d); }
inline double NegativePart(double d) { return d < 0 ? d : -(d - d); }

// Adds a change's window to the envelope: each value's positive part to the max, its negative
// part to the min, at the nodes, element ends and samples (a value that is not a finite number
// makes a sum NaN). Raises `seen` by half the window's magnitudes.
void AddWindow(const CBeamAnalysis& a, const LocalCaseSolver* solver, const LocalCase& w,
               Case& high, Case& low, LiveLoadEnvelope& env, Magnitudes& seen);

// The single analysis's tests on the envelope (its A4 and A2, with the same lines): false, with
// the A4 line, when the base or a sum of changes is not a finite number (a change that is not
// leaves a NaN in its sum); the A2 line when a deflection is larger than the beam.
bool CheckRange(const Case& high, const Case& low, double length, LiveLoadEnvelope& env);

// `from` times f into `to`.
void ScaleInto(const LocalCase& from, double f, LocalCase& to);

}  // namespace envelope_sums

// The changes at factor 1 of envelopes that share them (EnvelopeOptions::shared) and the sums of
// their positive and negative parts at the nodes, element ends (positive, negative) and samples
// (sums: max positive, min negative). A factor f then adds f times one sum to the max and f
// times the other to the min: f > 0 keeps the signs, f < 0 swaps them.
struct SharedChanges {
  bool filled = false;
  std::vector<LocalCase> changes;  // span by span; no ends: no load on the span
  envelope_sums::Case positive, negative;
  LiveLoadEnvelope sums;
};

namespace envelope_sums {

// Adds f times the shared changes' sums to the envelope's max and min.
void AddShared(const SharedChanges& s, double f, Case& high, Case& low, LiveLoadEnvelope& env);

}  // namespace envelope_sums

}  // namespace spanlab
