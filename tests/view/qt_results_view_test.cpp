// Items dragged along the beam in the results view of the main window, with the mouse as the
// user drags them (press on a symbol, moves with the button held, release or Escape), and
// moved by a step with Alt+Left and Alt+Right in the tree. Checked: the document's lines (only
// the moved line changes, as its dialog would write it), the runs and paints per move, the
// undo history, the status bar.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTest>

#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/qt_main_frame.h"
#include "view/qt_output_pane.h"
#include "edit/qt_tree_edit.h"
#include "model/line_fields.h"
#include "model/model_file.h"
#include "model/number_text.h"
#include "platform/file_access.h"
#include "platform/settings.h"
#include "report/print_options.h"
#include "tests/support/gui_test_helpers.h"
#include "view/item_drag.h"
#include "view/qt_results_view.h"
#include "view/readout.h"

namespace spanlab {
namespace {

using Lines = std::vector<std::string>;

// A 20-foot girder in the written order: fixed at its start, a hinge at 5 ft, a pin at its
// end, a spring, a point load and a uniform load.
const Lines kGirder = {
    "File Format:3.0",
    "Units:English;",
    "Member Property: X = 0; E = 29000; I = 448;",
    "Spring: X = 8; VSpring = 100; /soft",
    "Support: X = 0; Disp = 0; Rotation = 0;",
    "Support: X = 20; Disp = 0;",
    "Moment Release: X = 5;",
    "Point Load: X = 10; PLoad = -5;",
    "Uniform Load: XStart = 12; XEnd = 16; UStart = -1; UEnd = -1;",
};

// Counts the runs of a document (each ends with hint 2) and the paints of a widget.
class RunCounter : public CView, public QObject {
 public:
  void OnUpdate(CView*, long hint) override { runs += hint == kHintLines; }
  bool eventFilter(QObject*, QEvent* event) override {
    paints += event->type() == QEvent::Paint;
    return false;
  }
  int runs = 0;
  int paints = 0;
};

class DragTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame_ = std::make_unique<CMainFrame>(settings_, options_);
    frame_->SetLineEditor(&editor_);
    frame_->resize(1200, 800);
    frame_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
    view_ = frame_->ResultsView();
    Open(kGirder);
  }

  void TearDown() override {
    Doc().RemoveView(&counter_);
    Doc().SetModifiedFlag(false);
    frame_.reset();
    for (QWidget* w : QApplication::topLevelWidgets()) {
      EXPECT_FALSE(w->isVisible() && w->windowType() != Qt::ToolTip)
          << "window left open: " << w->metaObject()->className();
    }
  }

  void Open(const Lines& lines) {
    Doc().RemoveView(&counter_);
    const QString path = dir_.filePath("girder.spn");
    const std::string bytes = WriteModelFile(lines);
    ASSERT_TRUE(DefaultFileAccess().WriteFileAtomically(path.toStdString(), bytes).ok());
    ASSERT_TRUE(frame_->OpenFile(path));
    ASSERT_EQ(Doc().GetLines(), lines);
    ASSERT_GT(Doc().GetAnalysis().m_dLength, 0) << Doc().GetLastRun().text;
    Settle();
    Doc().AddView(&counter_);
    view_->installEventFilter(&counter_);
    counter_.runs = counter_.paints = 0;
    frame_->History().Reset();
  }

  CSPLX_30Doc& Doc() { return frame_->Document(); }
  const Lines& DocLines() { return Doc().GetLines(); }
  // The view point of beam position `feet` (as the picture was when asked), `dy` below the beam.
  QPoint At(double feet, int dy) {
    const DrawingFrame f = view_->Frame();
    return {f.MapX(feet * 12), f.baseline + dy};
  }
  double Step() { return SnapStep(view_->Frame(), 12); }

  void Press(QPoint p) { QTest::mousePress(view_, Qt::LeftButton, {}, p); }
  // A move with the left button held; the step it asks for waits for the event loop.
  void Move(QPoint p, Qt::KeyboardModifiers modifiers = {}) {
    QMouseEvent move(QEvent::MouseMove, p, view_->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                     modifiers);
    QApplication::sendEvent(view_, &move);
  }
  void Release(QPoint p, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseRelease(view_, Qt::LeftButton, modifiers, p);
  }
  static void Settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
  }
  // Presses at `from`, moves in five steps to `to`, each let through, and releases there.
  void Drag(QPoint from, QPoint to) {
    Press(from);
    for (int i = 1; i <= 5; ++i) {
      Move(from + (to - from) * i / 5);
      Settle();
    }
    Release(to);
    Settle();
  }
  std::string Status() { return Str(frame_->statusBar()->currentMessage()); }
  // What the status bar shows for the mouse at `p` over the model and toggles as they are now.
  std::string Readout(QPoint p) {
    return Str(CMainFrame::StatusBarReadout(
        QString::fromStdString(ReadoutText(Doc(), view_->State(), p.x()))));
  }

  QTemporaryDir dir_;
  MemorySettings settings_;
  PrintOptions options_;
  ScriptedEditor editor_;  // no dialog may open
  std::unique_ptr<CMainFrame> frame_;
  CSPLX_30View* view_ = nullptr;
  RunCounter counter_;
};

TEST_F(DragTest, EachKindOfItemMovesExactlyItsLineAsOneUndoStep) {
  ASSERT_LE(Step(), 0.5) << "whole feet must lie on the snapping grid";
  struct Case {
    double feet;  // where its symbol is
    int dy;       // where on the symbol the press goes
    double to;    // where it is dropped, feet
    size_t line;  // its index in kGirder
    const char* moved;
    const char* step;
  };
  const Case cases[] = {
      {8, 12, 3, 3, "Spring: X = 3; VSpring = 100; /soft", "Move Spring"},
      {0, 10, 1, 4, "Support: X = 1; Disp = 0; Rotation = 0;", "Move Support"},
      {5, 0, 7, 6, "Moment Release: X = 7;", "Move Moment Release"},
      {10, -20, 13, 7, "Point Load: X = 13; PLoad = -5;", "Move Point Load"},
      {12, -12, 11, 8, "Uniform Load: XStart = 11; XEnd = 16; UStart = -1; UEnd = -1;",
       "Move Uniform Load"},
      {16, -12, 19, 8, "Uniform Load: XStart = 12; XEnd = 19; UStart = -1; UEnd = -1;",
       "Move Uniform Load"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.moved);
    Open(kGirder);
    Drag(At(c.feet, c.dy), At(c.to, c.dy));
    Lines expected = kGirder;
    expected[c.line] = c.moved;
    EXPECT_EQ(DocLines(), expected);
    EXPECT_FALSE(view_->IsDragging());
    EXPECT_EQ(frame_->History().Steps(), 1u);
    EXPECT_EQ(frame_->History().UndoName(), c.step);
    EXPECT_EQ(Str(frame_->Action("undo")->text()), std::string("&Undo ") + c.step);
    frame_->Undo();
    EXPECT_EQ(DocLines(), kGirder);
    frame_->Redo();
    EXPECT_EQ(DocLines(), expected);
  }
}

TEST_F(DragTest, LineIsPlacedByItsNewPositionAmongItsSection) {
  // The pin at the end dropped before the fixed support: before it, as an edit places it.
  Lines girder = kGirder;
  girder[4] = "Support: X = 1; Disp = 0; Rotation = 0;";
  Open(girder);
  Drag(At(20, 10), At(0, 30));
  Lines expected = girder;
  expected[4] = "Support: X = 0; Disp = 0;";
  expected[5] = "Support: X = 1; Disp = 0; Rotation = 0;";
  EXPECT_EQ(DocLines(), expected);
  EXPECT_DOUBLE_EQ(Doc().GetBeamLength(), 16 * 12) << "the uniform load's end is the end now";
  frame_->Undo();
  EXPECT_EQ(DocLines(), girder);
}

// Dropped onto the fixed support, the pin lands one step beside it: two supports at one X would
// be error D6, and the diagrams would vanish.
TEST_F(DragTest, ADropOntoAnotherSupportLandsBesideIt) {
  const double step = Step();
  Drag(At(20, 10), At(0, 30));
  Lines expected = kGirder;
  expected[5] = "Support: X = " + ShortestText(step) + "; Disp = 0;";
  EXPECT_EQ(DocLines(), expected);
  EXPECT_EQ(Doc().GetLastRun().text.find("D6"), std::string::npos) << Doc().GetLastRun().text;
  EXPECT_FALSE(Doc().GetAnalysis().m_bError);
  EXPECT_GT(Doc().GetAnalysis().m_nNodes, 0);
}

TEST_F(DragTest, EveryProcessedMoveRunsAndRepaintsOnceAndASlowStepSkipsToTheLatest) {
  Press(At(10, -20));
  ASSERT_TRUE(view_->IsDragging());
  EXPECT_EQ(Status(), "Point Load    X = 10 feet");
  Settle();
  EXPECT_EQ(counter_.runs, 0) << "a press alone changes nothing";
  counter_.paints = 0;
  Move(At(11, -20));
  Settle();
  EXPECT_EQ(counter_.runs, 1);
  EXPECT_GE(counter_.paints, 1);
  EXPECT_EQ(DocLines()[7], "Point Load: X = 11; PLoad = -5;");
  EXPECT_EQ(Status(), "Point Load    X = 11 feet");
  Move(At(12, -20));
  Settle();
  EXPECT_EQ(counter_.runs, 2);
  Move(At(12, -20) + QPoint(1, 3));  // the same snapped position
  Settle();
  EXPECT_EQ(counter_.runs, 2);
  // Moves that come faster than the runs: only the latest is run.
  for (const double feet : {13.0, 14.0, 15.0, 16.0, 17.0}) Move(At(feet, -20));
  Settle();
  EXPECT_EQ(counter_.runs, 3);
  EXPECT_EQ(DocLines()[7], "Point Load: X = 17; PLoad = -5;");
  Release(At(17, -20));
  Settle();
  EXPECT_EQ(counter_.runs, 3);
  EXPECT_EQ(frame_->History().Steps(), 1u);
  // The mouse reads the model as it was put down.
  EXPECT_EQ(Status(), Readout(At(17, -20)));
  // (at the cursor's own position, a hair left of 17 feet: the read-out is exact between nodes)
  EXPECT_EQ(Status(), "x =  16.98 feet");
  // The Results box follows the runs: the log of the last one.
  EXPECT_EQ(Str(frame_->OutputPane()->ResultsBox()->toPlainText()),
            Str(QString::fromStdString(Doc().GetLastRun().text).replace("\r\n", "\n")));
}

TEST_F(DragTest, EscapePutsTheItemBackAndLeavesNoStep) {
  ASSERT_FALSE(Doc().IsModified());
  Press(At(8, 12));
  Move(At(3, 12));
  Settle();
  ASSERT_EQ(DocLines()[3], "Spring: X = 3; VSpring = 100; /soft");
  ASSERT_TRUE(frame_->isWindowModified());
  ASSERT_TRUE(frame_->Action("save")->isEnabled());
  QTest::keyClick(view_, Qt::Key_Escape);
  EXPECT_FALSE(view_->IsDragging());
  EXPECT_EQ(DocLines(), kGirder);
  EXPECT_FALSE(Doc().IsModified());
  EXPECT_FALSE(frame_->isWindowModified());
  EXPECT_FALSE(frame_->Action("save")->isEnabled());
  EXPECT_EQ(frame_->History().Steps(), 0u);
  // The rest of the gesture is only a mouse move.
  Move(At(2, 12));
  Release(At(2, 12));
  Settle();
  EXPECT_EQ(DocLines(), kGirder);
}

TEST_F(DragTest, AReleaseTheViewNeverSawPutsTheItemDownWhereItWasLastMoved) {
  Press(At(8, 12));
  Move(At(3, 12));
  Settle();
  // The next move comes without the button: the release went to another window.
  QMouseEvent move(QEvent::MouseMove, At(1, 12), view_->mapToGlobal(At(1, 12)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(view_, &move);
  Settle();
  EXPECT_FALSE(view_->IsDragging());
  EXPECT_EQ(DocLines()[3], "Spring: X = 3; VSpring = 100; /soft");
  EXPECT_EQ(frame_->History().Steps(), 1u);
}

TEST_F(DragTest, UndoAndRedoWaitUntilTheDragIsPutDown) {
  Drag(At(5, 0), At(6, 0));
  Press(At(10, -20));
  Move(At(12, -20));
  Settle();
  QTest::keyClick(view_, Qt::Key_Z, Qt::ControlModifier);
  frame_->Undo();
  Release(At(12, -20));
  Settle();
  Lines expected = kGirder;
  expected[6] = "Moment Release: X = 6;";
  expected[7] = "Point Load: X = 12; PLoad = -5;";
  EXPECT_EQ(DocLines(), expected);
  EXPECT_EQ(frame_->History().Steps(), 2u);
  frame_->Undo();
  frame_->Undo();
  EXPECT_EQ(DocLines(), kGirder);
}

TEST_F(DragTest, ShiftGivesFreePositions) {
  const DrawingFrame f = view_->Frame();
  // A pixel that lies off the snapping grid.
  int x = At(13, 0).x() + 1;
  auto feetAt = [&](int px) { return (px - f.left) * 20.0 / (f.right - f.left); };
  auto onGrid = [&](double feet) {
    const double r = std::fmod(feet, Step());
    return std::min(r, Step() - r) < 1e-6;
  };
  while (onGrid(feetAt(x))) ++x;
  Press(At(10, -20));
  Move({x, At(10, -20).y()}, Qt::ShiftModifier);
  Settle();
  Release({x, At(10, -20).y()}, Qt::ShiftModifier);
  Settle();
  // Free: on the power of ten below a pixel, written in full.
  const double pixel = 20.0 / (f.right - f.left);
  const int places = -static_cast<int>(std::floor(std::log10(pixel)));
  const double free = RoundToDecimalPlaces(feetAt(x), places);
  EXPECT_EQ(DocLines()[7], "Point Load: X = " + ShortestText(free) + "; PLoad = -5;");
  EXPECT_LE(DecimalPlaces(ShortestText(free)), places);
  // Without Shift the same pixel snaps.
  Open(kGirder);
  Drag(At(10, -20), {x, At(10, -20).y()});
  const double snapped =
      RoundToDecimalPlaces(std::round(feetAt(x) / Step()) * Step(), DecimalPlaces(ShortestText(Step())));
  EXPECT_EQ(DocLines()[7], "Point Load: X = " + ShortestText(snapped) + "; PLoad = -5;");
}

TEST_F(DragTest, DraggingTheItemAtTheEndChangesTheLength) {
  Drag(At(20, 10), At(18, 10));
  EXPECT_EQ(DocLines()[5], "Support: X = 18; Disp = 0;");
  EXPECT_DOUBLE_EQ(Doc().GetBeamLength(), 18 * 12);
  // Another item holds its place on the beam as it is now.
  Open(kGirder);
  Drag(At(10, -20), At(20, -20) + QPoint(80, 0));
  EXPECT_EQ(DocLines()[7], "Point Load: X = 20; PLoad = -5;");
  EXPECT_DOUBLE_EQ(Doc().GetBeamLength(), 20 * 12);
  // The end may also be taken past the end, the mouse keeping the scale of the press.
  Open(kGirder);
  Drag(At(20, 10), At(22, 10));
  EXPECT_EQ(DocLines()[5], "Support: X = 22; Disp = 0;");
  EXPECT_DOUBLE_EQ(Doc().GetBeamLength(), 22 * 12);
}

TEST_F(DragTest, AltArrowsInTheTreeMoveTheSelectedItemByOneStepEach) {
  CTreeEdit* tree = frame_->Tree();
  frame_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
  tree->setFocus();
  tree->expand(tree->Section(kSectionPointLoads));
  tree->setCurrentIndex(tree->Line(kSectionPointLoads, 0));
  const double step = Step();
  QTest::keyClick(tree, Qt::Key_Right, Qt::AltModifier);
  EXPECT_EQ(DocLines()[7], "Point Load: X = " + FieldNumberText(10 + step) + "; PLoad = -5;");
  QTest::keyClick(tree, Qt::Key_Left, Qt::AltModifier);
  QTest::keyClick(tree, Qt::Key_Left, Qt::AltModifier);
  EXPECT_EQ(DocLines()[7], "Point Load: X = " + FieldNumberText(10 - step) + "; PLoad = -5;");
  EXPECT_EQ(frame_->History().Steps(), 3u);
  EXPECT_EQ(frame_->History().UndoName(), "Move Point Load");
  EXPECT_EQ(tree->currentIndex(), tree->Line(kSectionPointLoads, 0)) << "the line stays selected";
  // A heading moves nothing.
  tree->setCurrentIndex(tree->Section(kSectionPointLoads));
  QTest::keyClick(tree, Qt::Key_Right, Qt::AltModifier);
  EXPECT_EQ(frame_->History().Steps(), 3u);
  frame_->Undo();
  frame_->Undo();
  frame_->Undo();
  EXPECT_EQ(DocLines(), kGirder);
}

TEST_F(DragTest, ReadOutAndEmptySpaceWorkAsBeforeAroundADrag) {
  Press(At(14, 60));  // empty space under the beam
  EXPECT_FALSE(view_->IsDragging());
  QTest::mouseRelease(view_, Qt::LeftButton, {}, At(14, 60));
  EXPECT_EQ(counter_.runs, 0);
  auto readout = [&](QPoint p) { return Readout(p); };
  QTest::mouseMove(view_, At(10, 60));
  ASSERT_FALSE(readout(At(10, 60)).empty());
  EXPECT_EQ(Status(), readout(At(10, 60)));
  Drag(At(10, -20), At(12, -20));
  QTest::mouseMove(view_, At(6, 60));
  EXPECT_EQ(Status(), readout(At(6, 60)));
  EXPECT_EQ(Str(frame_->OutputPane()->DataBox()->toPlainText()).substr(0, 5), " x = ");
}

// The read-out follows every change of what it reads, not only the mouse: a key that moves an
// item, undo and redo, a toggle, a drop. The mouse stays where it was.
TEST_F(DragTest, ReadOutIsReadAgainAfterEveryChangeAtTheLastMousePosition) {
  frame_->Action("moment")->trigger();
  const QPoint mouse = At(15, 60);
  QTest::mouseMove(view_, mouse);
  const std::string before = Readout(mouse);
  ASSERT_EQ(Status(), before);
  ASSERT_NE(before.find("Moment = "), std::string::npos);
  // Alt+Right on the pin at the end: the beam grows, the same pixel reads another node.
  CTreeEdit* tree = frame_->Tree();
  frame_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
  tree->setFocus();
  tree->expand(tree->Section(kSectionSupports));
  tree->setCurrentIndex(tree->Line(kSectionSupports, 1));
  QTest::keyClick(tree, Qt::Key_Right, Qt::AltModifier);
  const double end = RoundToDecimalPlaces(20 + Step(), DecimalPlaces(ShortestText(Step())));
  ASSERT_EQ(DocLines()[5], "Support: X = " + ShortestText(end) + "; Disp = 0;");
  const std::string moved = Readout(mouse);
  EXPECT_NE(moved, before);
  EXPECT_EQ(Status(), moved);
  EXPECT_EQ(view_->State().readoutX, ReadoutMarkX(Doc(), view_->State(), mouse.x()));
  frame_->Undo();
  EXPECT_EQ(Status(), before);
  frame_->Redo();
  EXPECT_EQ(Status(), moved);
  // A toggle: the values of the diagrams shown now.
  frame_->Action("shear")->trigger();
  EXPECT_NE(Status().find("Shear = "), std::string::npos) << Status();
  EXPECT_EQ(Status(), Readout(mouse));
  // Once the mouse has left, a change reads nothing.
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(view_, &leave);
  ASSERT_EQ(Status(), "Ready");
  frame_->Undo();
  EXPECT_EQ(Status(), "Ready");
  EXPECT_EQ(view_->State().readoutX, -1);
}

// Over a live-load envelope the read-out gives its two curves; Single Analysis gives the model
// as written again. The Data box follows the read-out it shows.
TEST_F(DragTest, ReadOutOverALiveLoadEnvelopeGivesItsLargestAndSmallest) {
  Lines lines = kGirder;
  lines.push_back("Live Load: U = -1; LiveFactor = 1.6;");
  Open(lines);
  ASSERT_FALSE(Doc().GetEnvelope().empty());
  frame_->Action("moment")->trigger();
  const QPoint mouse = At(2.5, 60);
  QTest::mouseMove(view_, mouse);
  const std::string envelope = Status();
  EXPECT_EQ(envelope, Readout(mouse));
  EXPECT_NE(envelope.find("Moment max = "), std::string::npos) << envelope;
  EXPECT_NE(envelope.find(", min = "), std::string::npos) << envelope;
  EXPECT_EQ(Str(frame_->OutputPane()->DataBox()->toPlainText()),
            Str(QString::fromStdString(ReadoutText(Doc(), view_->State(), mouse.x()))
                    .replace("\r\n", "\n")));
  frame_->Action("singleAnalysis")->trigger();
  EXPECT_NE(Status().find("Moment = "), std::string::npos) << Status();
  EXPECT_EQ(Status(), Readout(mouse));
  EXPECT_EQ(Str(frame_->OutputPane()->DataBox()->toPlainText()).find(" Moment = "),
            Str(frame_->OutputPane()->DataBox()->toPlainText()).find('\n') + 1);
}

}  // namespace
}  // namespace spanlab
