// The read-out of the results under the mouse in the results view.
#pragma once

#include <string>

#include "run/document.h"
#include "view/results_paint.h"

namespace spanlab {

// The text for a cursor at client x `mouseX`: empty outside the beam, without results or after
// a mechanism. With the single analysis drawn: the cursor's position on the beam (" x = %6.4g"
// in feet, m or input units), then the exact values of the diagrams shown there (ValuesAt: at
// a node those just left of it, at x = 0 those of the beam's start), each line ended by
// "\r\n": " Moment = 54.6 kip ft". Where the live-load envelope is drawn (ShowsEnvelope): the
// position of the first node at or right of the cursor and the largest and smallest value of
// the envelope's two curves at that node's left side (at x = 0 the beam's start):
// " Moment max = 139.5, min = 16.1 kip ft"; with load combinations each value is followed by
// the combination that governs it: " Moment max = 139.5 (ULS2), min = 16.1 (ULS1) kip ft".
std::string ReadoutText(const ModelRun& run, const ResultsViewState& state, int mouseX);

// The device x, in the view's picture, of where ReadoutText reads for `mouseX`: the cursor
// itself for the single analysis, the node read for the envelope; -1 where it reads nothing.
int ReadoutMarkX(const ModelRun& run, const ResultsViewState& state, int mouseX);

}  // namespace spanlab
