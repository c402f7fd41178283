// spanlab-cli plot: the results view's picture written to PNG, SVG or PDF.
#pragma once

#include <string>

#include "model/document.h"
#include "view/results_paint.h"

namespace spanlab {

// Paints `doc` as the results view would at `width` x `height` with `state`'s toggles and
// selection, on a white background, into `path` (.png, .svg or .pdf). Returns an error
// message, or an empty text on success. Starts an offscreen Qt GUI application when none runs.
std::string WritePlot(CSPLX_30Doc& doc, ResultsViewState state, const std::string& path);

}  // namespace spanlab
