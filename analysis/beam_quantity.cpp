#include "analysis/beam_quantity.h"

#include "analysis/live_load.h"

namespace spanlab {

namespace {

using A = CBeamAnalysis;

constexpr std::array<BeamQuantityRecord, kBeamQuantityCount> kRecords = {{
    {BeamQuantity::kDeflection, "Deflection", "deflection", kQuantityDeflection, true,
     &BeamNode::deflection, nullptr, nullptr, &A::m_dMaxAbsDeflection, &A::m_dMinDeflection,
     &A::m_dXMinDeflection, &A::m_dMaxDeflection, &A::m_dXMaxDeflection,
     kEnvelopeMaxDeflection},
    {BeamQuantity::kRotation, "Rotation", "rotation", kQuantityRotation, true,
     &BeamNode::rotation, nullptr, nullptr, &A::m_dMaxAbsRotation, &A::m_dMinRotation,
     &A::m_dXMinRotation, &A::m_dMaxRotation, &A::m_dXMaxRotation, kEnvelopeMaxRotation},
    {BeamQuantity::kShear, "Shear", "shear", kQuantityForce, false, nullptr,
     &BeamElement::shearStart, &BeamElement::shearEnd, &A::m_dMaxAbsShear, &A::m_dMinShear,
     &A::m_dXMinShear, &A::m_dMaxShear, &A::m_dXMaxShear, kEnvelopeMaxShear},
    {BeamQuantity::kMoment, "Moment", "moment", kQuantityMoment, false, nullptr,
     &BeamElement::momentStart, &BeamElement::momentEnd, &A::m_dMaxAbsMoment, &A::m_dMinMoment,
     &A::m_dXMinMoment, &A::m_dMaxMoment, &A::m_dXMaxMoment, kEnvelopeMaxMoment},
}};

// The table is indexed by the enum.
constexpr bool InEnumOrder() {
  for (int q = 0; q < kBeamQuantityCount; ++q) {
    if (static_cast<int>(kRecords[q].id) != q) return false;
  }
  return true;
}
static_assert(InEnumOrder());
// RecordOf(q).envelopeMax + 1 is the envelope's minimum.
static_assert(kEnvelopeMinShear == kEnvelopeMaxShear + 1 &&
              kEnvelopeMinMoment == kEnvelopeMaxMoment + 1 &&
              kEnvelopeMinRotation == kEnvelopeMaxRotation + 1 &&
              kEnvelopeMinDeflection == kEnvelopeMaxDeflection + 1);

}  // namespace

const BeamQuantityRecord& RecordOf(BeamQuantity quantity) {
  return kRecords[static_cast<size_t>(quantity)];
}

std::optional<BeamQuantity> BeamQuantityFromWord(std::string_view word) {
  for (const BeamQuantityRecord& r : kRecords) {
    if (r.word == word) return r.id;
  }
  return std::nullopt;
}

bool IsDrawnScale(BeamQuantity quantity, double scale) {
  return RecordOf(quantity).atNodes ? scale != 0 : scale > 1e-7;
}

double LabelScale(BeamQuantity quantity, int units) {
  if (quantity == BeamQuantity::kMoment && units == kUnitsEnglish) return 0.08333333333333333;
  if (quantity == BeamQuantity::kDeflection && units == kUnitsMetric) return 1000.0;
  return 1.0;
}

}  // namespace spanlab
