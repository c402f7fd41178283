// The command line's Qt outputs (plot, print): a GUI application on the offscreen platform.
#pragma once

namespace spanlab {

// Starts an offscreen Qt GUI application when none runs (fonts need one; no display is used).
void EnsureGuiApplication();

}  // namespace spanlab
