// The format check of one model line: known section, expected keys, valid numbers.
#pragma once

#include <cstdint>
#include <string_view>

#include "check/message_log.h"
#include "model/sections.h"

namespace spanlab {

// Checks one line that is not the model's first. Every fault adds one message (F3..F41) to
// `log` and 1 to `errorCount`; a message ending in ": " is followed by the whole line.
// Description lines ("/...") are not checked.
void CheckLineFormat(std::string_view line, int64_t& errorCount, MessageLog& log);

// The same on a line already split: `split` is SplitSectionLine(line).
void CheckLineFormat(std::string_view line, const SectionLine& split, int64_t& errorCount,
                     MessageLog& log);

}  // namespace spanlab
