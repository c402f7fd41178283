// The sums of the live-load envelope's changes (envelope_sums.h).
#include "analysis/envelope_sums.h"

namespace spanlab {

void SharedChangesDeleter::operator()(SharedChanges* shared) const { delete shared; }
SharedChangesPtr MakeSharedChanges() { return SharedChangesPtr(new SharedChanges); }

namespace envelope_sums {

// The samples of the envelope with the base case's values.
void StartSamples(const CBeamAnalysis& a, const Case& base, LiveLoadEnvelope& env) {
  const int64_t fit = LiveLoadEnvelope::kSampleBudget / std::max<int64_t>(a.m_nElements, 1);
  const auto k =
      static_cast<int32_t>(std::min<int64_t>(fit, LiveLoadEnvelope::kMaxSamplesPerElement));
  env.samplesPerElement = k;
  env.samples.assign(static_cast<size_t>(a.m_nElements) * static_cast<size_t>(k), {});
  ForEachSample(a, base, k, [&](size_t i, const BeamValues& v) {
    EnvelopeSample& s = env.samples[i];
    for (BeamQuantity q : kQuantities) RangeOf(s, q) = {ValueOf(v, q), ValueOf(v, q)};
  });
  for (int32_t e = 1; k > 0 && e <= a.m_nElements; ++e) {
    for (int32_t j = 0; j < k; ++j) {
      env.samples[static_cast<size_t>(e - 1) * static_cast<size_t>(k) + static_cast<size_t>(j)].x =
          a.m_nodes[static_cast<size_t>(e)].x + SampleOffset(a, e, j, k);
    }
  }
}

// A full solution as a window over the whole beam.
void WholeBeam(const CBeamAnalysis& a, const Case& c, LocalCase& out) {
  const auto n = static_cast<size_t>(a.m_nNodes);
  out.first = 1;
  out.last = a.m_nNodes;
  out.deflection.assign(c.deflection.begin() + 1, c.deflection.begin() + 1 + n);
  out.rotation.assign(c.rotation.begin() + 1, c.rotation.begin() + 1 + n);
  out.reactionVert.assign(c.reactionVert.begin() + 1, c.reactionVert.begin() + 1 + n);
  out.reactionRot.assign(c.reactionRot.begin() + 1, c.reactionRot.begin() + 1 + n);
  out.ends.resize(n - 1);
  for (int32_t e = 1; e < a.m_nNodes; ++e) out.ends[static_cast<size_t>(e - 1)] = EndsOf(c, e);
}

// Adds a change's window to the envelope: each value's positive part to the max, its negative
// part to the min, at the nodes, element ends and samples (a value that is not a finite number
// makes a sum NaN). Raises `seen` by half the window's magnitudes.
void AddWindow(const CBeamAnalysis& a, const LocalCaseSolver* solver, const LocalCase& w,
               Case& high, Case& low, LiveLoadEnvelope& env, Magnitudes& seen) {
  Magnitudes m;
  const auto add = [](double d, std::vector<double>& hi, std::vector<double>& lo,
                            size_t i, double& largest) {
    hi[i] += PositivePart(d);
    lo[i] += NegativePart(d);
    Raise(largest, d);
  };
  for (size_t k = 0; k < w.deflection.size(); ++k) {
    const size_t i = static_cast<size_t>(w.first) + k;
    add(w.deflection[k], high.deflection, low.deflection, i, m.deflection);
    add(w.rotation[k], high.rotation, low.rotation, i, m.rotation);
    add(w.reactionVert[k], high.reactionVert, low.reactionVert, i, m.reactionVert);
    add(w.reactionRot[k], high.reactionRot, low.reactionRot, i, m.reactionRot);
  }
  for (size_t k = 0; k < w.ends.size(); ++k) {
    const size_t e = static_cast<size_t>(w.first) + k;
    const ElementEnds& x = w.ends[k];
    add(x.shearStart, high.shearStart, low.shearStart, e, m.shear);
    add(x.shearEnd, high.shearEnd, low.shearEnd, e, m.shear);
    add(x.momentStart, high.momentStart, low.momentStart, e, m.moment);
    add(x.momentEnd, high.momentEnd, low.momentEnd, e, m.moment);
  }
  const int32_t per = env.samplesPerElement;
  BeamValues at[LiveLoadEnvelope::kMaxSamplesPerElement];
  for (size_t k = 0; per > 0 && k < w.ends.size(); ++k) {
    const int32_t e = w.first + static_cast<int32_t>(k);
    if (solver) {
      solver->SampleValues(e, w.ends[k], at);
    } else {
      const ElementSolution element(a, e, w.ends[k]);
      for (int32_t j = 0; j < per; ++j) at[j] = element.At(SampleOffset(a, e, j, per));
    }
    for (int32_t j = 0; j < per; ++j) {
      const BeamValues& v = at[j];
      EnvelopeSample& s = env.samples[static_cast<size_t>(e - 1) * static_cast<size_t>(per) +
                                      static_cast<size_t>(j)];
      for (BeamQuantity q : kQuantities) {
        const double d = ValueOf(v, q);
        EnvelopeRange& r = RangeOf(s, q);
        r.max += PositivePart(d);
        r.min += NegativePart(d);
      }
      Raise(m.deflection, v.deflection), Raise(m.rotation, v.rotation);
      Raise(m.shear, v.shear), Raise(m.moment, v.moment);
    }
  }
  Raise(seen.deflection, m.deflection / 2), Raise(seen.rotation, m.rotation / 2);
  Raise(seen.shear, m.shear / 2), Raise(seen.moment, m.moment / 2);
  Raise(seen.reactionVert, m.reactionVert / 2), Raise(seen.reactionRot, m.reactionRot / 2);
}

// The single analysis's tests on the envelope (its A4 and A2, with the same lines): false, with
// the A4 line, when the base or a sum of changes is not a finite number (a change that is not
// leaves a NaN in its sum);
// the A2 line when a deflection is larger than the beam.
bool CheckRange(const Case& high, const Case& low, double length, LiveLoadEnvelope& env) {
  double largest = 0, probe = 0;
  for (auto array : kArrays) {
    for (const Case* c : {&high, &low}) {
      for (size_t i = 1; i < (c->*array).size(); ++i) probe += (c->*array)[i] - (c->*array)[i];
    }
  }
  for (EnvelopeSample& s : env.samples) {
    for (BeamQuantity q : kQuantities) {
      const EnvelopeRange& r = RangeOf(s, q);
      probe += (r.max - r.max) + (r.min - r.min);
    }
  }
  if (probe != 0) {
    env.messages.push_back(CBeamAnalysis::kMessageA4);
    env.error = true;
    return false;
  }
  for (size_t i = 1; i < high.deflection.size(); ++i)
    largest = std::max({largest, std::fabs(high.deflection[i]), std::fabs(low.deflection[i])});
  if (largest > length) {
    env.messages.push_back(CBeamAnalysis::kMessageA2);
    env.error = true;
  }
  return true;
}

// `from` times f into `to`.
void ScaleInto(const LocalCase& from, double f, LocalCase& to) {
  to.first = from.first, to.last = from.last;
  const auto scale = [f](const std::vector<double>& a, std::vector<double>& b) {
    b.resize(a.size());
    for (size_t i = 0; i < a.size(); ++i) b[i] = f * a[i];
  };
  scale(from.deflection, to.deflection), scale(from.rotation, to.rotation);
  scale(from.reactionVert, to.reactionVert), scale(from.reactionRot, to.reactionRot);
  to.ends.resize(from.ends.size());
  for (size_t e = 0; e < from.ends.size(); ++e) {
    const ElementEnds& x = from.ends[e];
    to.ends[e] = {f * x.v1,         f * x.v2,       f * x.r1,          f * x.r2,
                  f * x.shearStart, f * x.shearEnd, f * x.momentStart, f * x.momentEnd,
                  f * x.p,          f * x.q};
  }
}

// Adds f times the shared changes' sums to the envelope's max and min.
void AddShared(const SharedChanges& s, double f, Case& high, Case& low, LiveLoadEnvelope& env) {
  const Case& up = f > 0 ? s.positive : s.negative;
  const Case& down = f > 0 ? s.negative : s.positive;
  for (auto array : kArrays) {
    for (size_t i = 0; i < (high.*array).size(); ++i) (high.*array)[i] += f * (up.*array)[i];
    for (size_t i = 0; i < (low.*array).size(); ++i) (low.*array)[i] += f * (down.*array)[i];
  }
  for (size_t i = 0; i < env.samples.size(); ++i) {
    for (BeamQuantity q : kQuantities) {
      EnvelopeRange& r = RangeOf(env.samples[i], q);
      const EnvelopeRange& sum = RangeOf(s.sums.samples[i], q);
      r.max += f * (f > 0 ? sum.max : sum.min);
      r.min += f * (f > 0 ? sum.min : sum.max);
    }
  }
}

}  // namespace envelope_sums

}  // namespace spanlab
