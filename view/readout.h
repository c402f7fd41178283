// The read-out of the results under the mouse in the results view.
#pragma once

#include <string>

#include "model/document.h"
#include "view/results_paint.h"

namespace spanlab {

// The text for a cursor at client x `mouseX`: empty outside the beam, without results or after
// a mechanism; otherwise the position of the first node at or right of the cursor
// (" x = %6.4g" in feet, m or input units), then the values of the diagrams shown at that
// node's left side, each line ended by "\r\n": " Moment = 54.6 kip ft", or where the
// live-load envelope is drawn (ShowsEnvelope) the largest and smallest value of its two curves
// there: " Moment max = 139.5, min = 16.1 kip ft".
std::string ReadoutText(const CSPLX_30Doc& doc, const ResultsViewState& state, int mouseX);

// The device x, in the view's picture, of the node that ReadoutText reads for `mouseX`; -1
// where it reads nothing.
int ReadoutMarkX(const CSPLX_30Doc& doc, const ResultsViewState& state, int mouseX);

}  // namespace spanlab
