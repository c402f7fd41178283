// The picture of the results view: the beam with its items and, once an analysis has run, the
// diagrams the view toggles select and the position marker of the selected model line.
#pragma once

#include <optional>

#include "analysis/beam_quantity.h"
#include "analysis/influence_line.h"
#include "platform/device_context.h"
#include "run/document.h"
#include "view/beam_drawing.h"
#include "view/combination_view.h"

namespace spanlab {

// The six view toggles of the main frame. All off at start; never stored.
struct ViewToggles {
  bool reactions = false;
  bool shear = false;
  bool moment = false;
  bool rotation = false;
  bool deflection = false;
  bool position = false;  // the position marker of the selected line
  // The curves of the model as written rather than its live-load envelope (only a model with
  // a Live Load line has one).
  bool singleAnalysis = false;

  // The toggle of a diagram quantity's curve.
  bool& Curve(BeamQuantity quantity);
  bool Curve(BeamQuantity quantity) const;
  // Whether a curve of a quantity after `quantity` in the drawing order (kBeamQuantities) is
  // shown (of any quantity with nullopt): the last one shown carries the title and labels.
  bool AnyCurveAfter(std::optional<BeamQuantity> quantity) const;
};

// The curve toggles come in the drawing order of the diagram quantities.
enum class ViewToggle {
  kReactions,
  kShear,
  kMoment,
  kRotation,
  kDeflection,
  kPosition,
  kSingleAnalysis
};

// The toggle of a diagram quantity's curve.
constexpr ViewToggle ToggleOf(BeamQuantity quantity) {
  return static_cast<ViewToggle>(static_cast<int>(ViewToggle::kShear) + DrawingIndex(quantity));
}
static_assert(ToggleOf(BeamQuantity::kShear) == ViewToggle::kShear &&
              ToggleOf(BeamQuantity::kMoment) == ViewToggle::kMoment &&
              ToggleOf(BeamQuantity::kRotation) == ViewToggle::kRotation &&
              ToggleOf(BeamQuantity::kDeflection) == ViewToggle::kDeflection);

// Flips one toggle. Reactions are shown alone: turning a curve on turns the reactions off,
// turning the reactions on turns every curve off; turning something off changes nothing else.
void ApplyToggle(ViewToggles& toggles, ViewToggle toggle);

// The model line selected in the tree, as the results view keeps it for its marker.
struct SelectionMarker {
  int m_nSelType = 10;    // 10 none, 11 property, 12 release, 13 support or spring,
                          // 15 point load, 16 uniform load
  double m_dSelX = 0;     // its position (internal length unit)
  double m_dSelXEnd = 0;  // end position of a uniform load

  // Takes a selection hint (10..16) for the selected model line `text` (the document's message
  // text), whose position is read as the items were built from `lines`: in the units in force
  // at that line (the units of `items` for a text that is no line of them). Returns true when
  // the view must be repainted. Other hints are ignored.
  bool OnHint(long hint, const std::string& text, const std::vector<std::string>& lines,
              const ModelItems& items);
};

// The selection hint for a model line (by its section), or 10 when it is no item line.
long SelectionHintForLine(const std::string& line);

// A purple frame around the selected item's position (or the stretch of a uniform load):
// x - 5 .. x + 6 around the baseline, one device unit wide; a `border` of n units adds n - 1
// frames around it.
void DrawSelectionMarker(DeviceContext& dc, const DrawingFrame& frame,
                         const SelectionMarker& selection, int border = 1);

// What the results view paints, for a client area of cx x cy device units.
struct ResultsViewState {
  int m_cxClient = 0;
  int m_cyClient = 0;
  int m_nPenUnit = 1;
  ViewToggles toggles;
  SelectionMarker selection;
  Font m_font;  // 10-point "Courier New"
  int markerBorder = 1;  // border width of the position marker, device units
  int readoutX = -1;     // device x of the node the mouse reads (a thin line); -1 for none
  double m_dClickX = -1;  // beam position last clicked (internal length unit); -1: none yet
  // The influence line the View command asked for, shown instead of the diagrams until a toggle
  // or the model changes (empty points: none).
  InfluenceLine influence;
  InfluenceQuantity influenceOf = InfluenceQuantity::kMoment;
  // With load combinations, which analysis the selector chose (the run painted is the chosen
  // one's: ShownRun); it names it under the title.
  CombinationChoice combination;
};

// The beam position (internal length unit) under client x, within the beam.
double BeamPositionAt(const ResultsViewState& state, double length, int x);

// The quantity whose influence line the View command draws: the shown diagram that carries the
// title (deflection, rotation, moment, shear in that order), the vertical reaction when the
// reactions are shown; nullopt when nothing is shown.
std::optional<InfluenceQuantity> InfluenceQuantityFor(const ViewToggles& toggles);

// The frame of the screen picture: the beam over the middle 70 % of the width, at mid-height.
DrawingFrame ScreenFrame(int cxClient, int cyClient, double length);

// The one line that stands in the results view and on the printed diagrams page instead of the
// diagrams and reactions of a beam that is a mechanism.
inline constexpr const char* kMechanismNotice =
    "The beam is unstable: no results. See the Results box.";

// Whether the last run stopped at a mechanism (its messages hold the A3 line): the tables then
// hold the stopped solution (free displacements 0, fixed-end forces), which is no result.
bool StoppedAsMechanism(const CBeamAnalysis& analysis);

// Whether the diagrams drawn are the live-load envelope's: the model has one (`envelope` is the
// run's) and the single-analysis toggle is off.
bool ShowsEnvelope(const LiveLoadEnvelope& envelope, const ViewToggles& toggles);

// Paints the view: nothing for a beam without length; the beam picture; after a mechanism only
// kMechanismNotice at the title's place (and the position marker); otherwise, when the
// analysis has results, the selected diagrams (the highest of deflection, rotation, moment,
// shear carries title and labels; the envelope curves instead when the model has a live-load
// envelope and the single-analysis toggle is off; an influence line asked for instead of all of
// them), the position marker and the read-out line. With load combinations or design checks
// (run.design): the limits of the curves, the spans that fail a check and, with combinations,
// under the title which analysis the curves show (DiagramSourceText).
void PaintResultsView(DeviceContext& dc, const ModelRun& run, ResultsViewState& state);

}  // namespace spanlab
