// Moving items along the beam in the results view: which symbol a mouse press picks up, where
// the item goes for a mouse x (snapped to a step that reads well at the picture's scale), and
// the item's line rewritten for that position as its dialog would write it. The same step
// serves the tree's Alt+Left and Alt+Right.
//
// Positions here are in display units: the unit the item's line gives positions in (feet, m or
// the consistent unit: that of the units in force at the line), which is the internal length
// unit divided by that system's length factor.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "model/model_items.h"
#include "view/beam_drawing.h"

namespace spanlab {

// An item that can be moved: a moment release, support, spring or point load by its X, or one
// end of a uniform load.
struct DragItem {
  int section = 0;   // ModelSection: kSectionReleases .. kSectionUniformLoads
  size_t row = 0;    // the item's place in its list, which is its line's place in its section
  int field = 0;     // the dialog field moved: 0 (X or XStart) or 1 (XEnd)
  double start = 0;  // the position when picked up, display units
  double lower = 0;  // the positions it may take: 0 .. the beam's length (the value of the
  double upper = 0;  // shortest text that gives the length exactly), or, for the one item that
                     // defines the length, without an upper limit (infinity)
  // Where it may not go, internal length units, ascending: the positions of the other items of
  // its kind (two supports, springs, releases or point loads at one X are a data error or
  // warning), a release's beam ends, and for a uniform load's end its other end and the
  // positions that would make it cover the same stretch as another uniform load.
  std::vector<double> taken;
  int units = kUnitsConsistent;  // the unit system in force at the item's line (UnitsAtLine)
};

// Device units around a symbol within which a press picks it up.
inline constexpr int kPickTolerance = 4;
// The least device units between two snapped positions.
inline constexpr int kMinStepPixels = 5;

// The item whose symbol, as DrawBeamPicture draws it in `frame`, lies within kPickTolerance of
// device point (x, y); the one nearest along x when several do (at equal distance the one drawn
// last, which lies on top). Items whose symbol is not drawn (a support that restrains nothing)
// are not picked; nullopt when nothing is near or the beam has no length. `lines` are the
// model's lines the items were built from: the item's units are those in force at its line.
std::optional<DragItem> PickItem(const ModelItems& items, const std::vector<std::string>& lines,
                                 const DrawingFrame& frame, int x, int y);

// The snapping step in display units for `frame`: the smallest 1, 2 or 5 x 10^k that is at
// least kMinStepPixels device units long. `lengthFactor` is the item's (ItemLengthFactor).
double SnapStep(const DrawingFrame& frame, double lengthFactor);

// The length factor of the units in force at the item's line: internal = display x factor.
double ItemLengthFactor(const DragItem& item);

// The position, display units, for device x `mouseX` in `frame`: the multiple of `step` nearest
// the mouse (with `step` 0, free positions: of the power of ten at most one device unit long)
// held within the item's limits, skipping the taken positions and those whose shortest text is
// longer than a dialog field takes (15 characters). Where the multiples within one step of the
// mouse are taken, the nearest free multiple of a tenth of the step, and so on down to 10^-8
// of it. A multiple k x step is the double nearest that decimal (0.3, never
// 0.30000000000000004). nullopt when nothing is free.
std::optional<double> DragPosition(const DragItem& item, const DrawingFrame& frame,
                                   double lengthFactor, int mouseX, double step);

// The item's line text (without its prefix) with the moved field set to `position`, written as
// the shortest text that reads back as the same number (ShortestText). Empty when the item's
// dialog would refuse the value (both ends of a uniform load at one position, a text too long).
std::string MovedLineText(const DragItem& item, const std::string& text, double position);

// The line text (without its prefix) of an item line of `section` moved by one step to the left
// (`direction` -1) or right (+1): its X, or both ends of a uniform load by the distance that
// takes XStart to the next multiple of the step that way. A taken position (as DragItem's, for
// a uniform load the stretch of another one) is stepped over to the next free multiple (up to
// 40 steps on, then on grids ten times finer near the next multiple, as DragPosition); the other
// end of a uniform load moves by the same distance computed in decimals (12.25 + 0.2 gives
// 12.45). Positions are written as MovedLineText writes them. Empty when the line does not
// move (it is no such item line, it is at the beam's start or end, nothing that way is free,
// or the beam has no length). `row` is the line's place in its section (the item's in its
// list).
std::string NudgedLineText(const ModelItems& items, const std::vector<std::string>& lines,
                           const DrawingFrame& frame, int section, size_t row,
                           const std::string& text, int direction);

// What the status bar shows while an item is dragged, as "\r\n"-ended lines like the mouse
// read-out's: the item ("Support") and its position as `lineText` has it, with the unit of the
// item's line ("Support\r\n X = 12.5 feet\r\n").
std::string DragStatusText(const DragItem& item, const std::string& lineText);

}  // namespace spanlab
