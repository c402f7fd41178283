// The data check of a model whose lines passed the format check and whose items are built:
// a length, a property at X = 0, no negative positions, no two supports, springs, properties
// or hinges at one position, no hinge at an end (errors D1..D15), no value beyond the range of
// a double once converted to the analysis units (D16), and the warnings W1, W2 for point loads
// or uniform loads of one case that coincide; at most one Live Load line (D17), its factors >= 0 (D18);
// combination names unique (D19), at most one Deflection Limit (D20) and one Capacity line (D21),
// their values > 0 (D22); warnings for a combination naming a case no load has (W4) and for
// Live Load factors that combinations override (W5).
#pragma once

#include <cstdint>

#include "check/message_log.h"
#include "model/model_items.h"

namespace spanlab {

// Appends the messages in the order of the checks and, for each check, of the items; a pair
// of coinciding items is reported once, at the earlier one. Positions are compared exactly and
// printed in input units. O(n log n) in the number of items.
void CheckModelData(const ModelItems& items, int64_t& errorCount, int64_t& warningCount,
                    MessageLog& log);

}  // namespace spanlab
