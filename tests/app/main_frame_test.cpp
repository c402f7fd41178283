// The main window driven as a user drives it: the tree editor builds a model line by line
// (through a scripted line editor in place of the item dialogs), the output pane re-runs the
// model after every change, the results view reads out and marks positions, the file commands
// save, close and reopen, and the frame keeps its placement in the settings.
//
// Message boxes and file dialogs are answered by polling for the active modal widget; each
// answer is scoped, so a box that should not appear cannot be answered by a later test.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/qt_busy_runner.h"
#include "app/qt_main_frame.h"
#include "app/qt_pane_splitter.h"
#include "edit/line_editor.h"
#include "edit/qt_tree_edit.h"
#include "edit/tree_sections.h"
#include "model/model_file.h"
#include "model/number_text.h"
#include "platform/qt_lock_keys.h"
#include "platform/qt_settings.h"
#include "platform/settings.h"
#include "report/print_options.h"
#include "report/report_text.h"
#include "run/document.h"
#include "tests/support/gui_test_helpers.h"
#include "view/qt_output_pane.h"
#include "view/qt_results_view.h"


namespace spanlab {
namespace {

using Lines = std::vector<std::string>;


// The written order of a complete model used by several tests: a simply supported beam of
// 20 feet, W16x36 (E = 29000 ksi, I = 448 in^4), a 5 kip load at midspan.
const Lines kSimpleBeam = {
    "File Format:3.0",
    "Units:English;",
    "Member Property: X = 0; E = 29000; I = 448;",
    "Support: X = 0; Disp = 0;",
    "Support: X = 20; Disp = 0;",
    "Point Load: X = 10; PLoad = -5;",
};

// Drags the bar of a two-pane splitter by `delta` pixels with the mouse, as the user does.
void DragBar(QSplitter* splitter, int delta) {
  ASSERT_NE(splitter, nullptr);
  QSplitterHandle* handle = splitter->handle(1);
  const QPoint from = handle->rect().center();
  const QPoint to =
      from + (splitter->orientation() == Qt::Horizontal ? QPoint(delta, 0) : QPoint(0, delta));
  QTest::mousePress(handle, Qt::LeftButton, {}, from);
  QMouseEvent move(QEvent::MouseMove, to, handle->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(handle, &move);
  QTest::mouseRelease(handle, Qt::LeftButton, {}, to);
}

class MainFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    frame_ = MakeFrame(settings_).get();
    frame_->SetLineEditor(&editor_);
  }

  void TearDown() override {
    EXPECT_TRUE(editor_.AllAnswersUsed()) << "a scripted dialog answer was not used";
    // As after every GUI test: nothing but the frames of the test may be left open.
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (!w->isVisible() || w->windowType() == Qt::ToolTip) continue;
      bool ours = false;
      for (const auto& f : frames_) ours = ours || w == f.get();
      EXPECT_TRUE(ours) << "window left open: " << w->metaObject()->className() << " \""
                        << Str(w->windowTitle()) << "\"";
    }
    for (auto& f : frames_) f->Document().SetModifiedFlag(false);
    frames_.clear();
    QApplication::clipboard()->clear();
  }

  std::unique_ptr<CMainFrame>& MakeFrame(SettingsStore& settings) {
    frames_.push_back(std::make_unique<CMainFrame>(settings, options_));
    CMainFrame* f = frames_.back().get();
    f->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(f));
    return frames_.back();
  }

  CMainFrame& Frame() { return *frame_; }
  CTreeEdit* Tree() { return frame_->Tree(); }
  const Lines& DocLines() { return frame_->Document().GetLines(); }
  std::string Results() { return Str(frame_->OutputPane()->ResultsBox()->toPlainText()); }
  std::string Data() { return Str(frame_->OutputPane()->DataBox()->toPlainText()); }
  QModelIndex Heading(int section) { return Tree()->Section(section); }
  QModelIndex Line(int section, int i) { return Tree()->Line(section, i); }
  int ChildCount(const QModelIndex& heading) { return Tree()->model()->rowCount(heading); }
  QModelIndex Current() { return Tree()->currentIndex(); }
  std::vector<std::string> Children(int section) { return Tree()->Content()[section]; }

  void Select(const QModelIndex& item) { Tree()->setCurrentIndex(item); }

  // Selects an item the way the user does, with a click on its row.
  void ClickItem(const QModelIndex& item) {
    if (item.parent().isValid()) Tree()->expand(item.parent());
    Tree()->scrollTo(item);
    // Within the pane: a row may be wider than it.
    const QRect row = Tree()->visualRect(item).intersected(Tree()->viewport()->rect());
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, row.center());
  }

  void Trigger(const char* action) {
    QAction* a = frame_->Action(action);
    ASSERT_NE(a, nullptr) << action;
    a->trigger();
  }

  // Clicks the toolbar button of an action.
  void ClickToolButton(const char* action) {
    auto* bar = frame_->findChild<QToolBar*>("Toolbar");
    ASSERT_NE(bar, nullptr);
    QWidget* button = bar->widgetForAction(frame_->Action(action));
    ASSERT_NE(button, nullptr) << action;
    QTest::mouseClick(button, Qt::LeftButton);
  }

  QAbstractButton* PaneButton(const QString& name) {
    for (auto* b : frame_->OutputPane()->findChildren<QAbstractButton*>()) {
      if (b->accessibleName() == name) return b;
    }
    return nullptr;
  }

  QString WriteModel(const QString& name, const Lines& lines) {
    const QString path = dir_.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    const std::string bytes = WriteModelFile(lines);
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    return path;
  }

  // Opens a model file holding `lines`, as the user opens one.
  void OpenModel(const Lines& lines) {
    ASSERT_TRUE(frame_->OpenFile(WriteModel("model.spn", lines)));
    ASSERT_EQ(DocLines(), lines);
  }

  // Runs a file command that shows the Save As dialog and saves under `path` there.
  template <class Command>
  bool SaveAsThroughDialog(const QString& path, Command command) {
    ModalHandler dialog([path](QWidget* w) {
      auto* fd = qobject_cast<QFileDialog*>(w);
      if (!fd) {
        ADD_FAILURE() << "expected the Save As dialog, got " << w->metaObject()->className();
        w->close();
        return;
      }
      // Typed into the name box: selectFile() leaves a focused name box alone.
      auto* name = fd->findChild<QLineEdit*>("fileNameEdit");
      if (!name) {
        ADD_FAILURE() << "the Save As dialog has no name box";
        fd->reject();
        return;
      }
      name->setText(path);
      auto* buttons = fd->findChild<QDialogButtonBox*>();
      QPushButton* save = buttons ? buttons->button(QDialogButtonBox::Save) : nullptr;
      if (!save) {
        ADD_FAILURE() << "the Save As dialog has no Save button";
        fd->reject();
        return;
      }
      QTest::mouseClick(save, Qt::LeftButton);
    });
    const bool ok = command();
    EXPECT_TRUE(dialog.Handled());
    return ok;
  }

  QTemporaryDir dir_;
  MemorySettings settings_;
  PrintOptions options_;
  ScriptedEditor editor_;
  std::vector<std::unique_ptr<CMainFrame>> frames_;
  CMainFrame* frame_ = nullptr;
};

// The Results box shows the log with plain line breaks.
constexpr const char* kNoLines = "Error F2 - No lines in file.\n 1 Error(s),   0 Warning(s)\n";

// ---- Start ----

TEST_F(MainFrameTest, StartsWithNewDocumentAndNineEmptySections) {
  EXPECT_TRUE(DocLines().empty());
  EXPECT_FALSE(Frame().Document().IsModified());
  EXPECT_EQ(Results(), kNoLines);
  EXPECT_TRUE(Frame().OutputPane()->ResultsBox()->isVisible());
  EXPECT_FALSE(Frame().OutputPane()->DataBox()->isVisible());
  EXPECT_EQ(Frame().OutputPane()->SelectedButton(), CDoubleEditView::kResultsButton);

  const char* titles[] = {"Description", "Units",   "Properties",  "Moment Releases",
                          "Supports",    "Springs", "Point Loads", "Uniform Loads",
                          "Live Load",   "Load Combinations", "Service Combinations",
                          "Deflection Limit", "Capacity", "Vehicles"};
  ASSERT_EQ(Tree()->model()->rowCount(), 14);
  for (int i = 0; i < 14; ++i) {
    EXPECT_EQ(Str(Tree()->model()->index(i, 0).data().toString()), titles[i]);
    EXPECT_EQ(Tree()->model()->index(i, 0), Heading(i));
    EXPECT_EQ(ChildCount(Heading(i)), 0);
  }
  for (const char* name :
       {"reactions", "shear", "moment", "rotation", "deflection", "position", "singleAnalysis"}) {
    EXPECT_TRUE(Frame().Action(name)->isCheckable()) << name;
    EXPECT_FALSE(Frame().Action(name)->isChecked()) << name;
  }
  // Add, Edit and Delete are enabled even with nothing selected; the tree decides.
  for (const char* name : {"add", "edit", "delete"}) {
    EXPECT_TRUE(Frame().Action(name)->isEnabled()) << name;
  }
}

TEST_F(MainFrameTest, F6AndShiftF6MoveTheFocusFromPaneToPane) {
  Frame().activateWindow();
  QApplication::setActiveWindow(&Frame());
  Tree()->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Tree()->hasFocus(); }, 1000));
  QWidget* results = Frame().OutputPane()->ResultsBox();
  QTest::keyClick(&Frame(), Qt::Key_F6);
  EXPECT_TRUE(Frame().ResultsView()->hasFocus());
  QTest::keyClick(&Frame(), Qt::Key_F6);
  EXPECT_TRUE(results->hasFocus());
  QTest::keyClick(&Frame(), Qt::Key_F6);
  EXPECT_TRUE(Tree()->hasFocus());
  QTest::keyClick(&Frame(), Qt::Key_F6, Qt::ShiftModifier);
  EXPECT_TRUE(results->hasFocus());
}

// ---- Building a model through the tree ----

TEST_F(MainFrameTest, BuildsModelLineByLineAndRerunsAfterEveryChange) {
  // Units: the whole section is edited as one text.
  ClickItem(Heading(kSectionUnits));
  editor_.Confirm("English;");
  Trigger("add");
  ASSERT_EQ(editor_.calls.size(), 1u);
  EXPECT_EQ(editor_.calls[0].section, kSectionUnits);
  EXPECT_EQ(editor_.calls[0].text, "");
  EXPECT_EQ(DocLines(), (Lines{"File Format:3.0", "Units:English;"}));
  EXPECT_TRUE(Frame().Document().IsModified());
  EXPECT_TRUE(Frame().isWindowModified());
  EXPECT_EQ(Results(),
            "Error D1- The beam has zero length. It can not be displayed.\n"
            "Error D2 - Beam property must be specified at X = 0.\n"
            "Error D9 - At least 1 Spring or Support must be defined.\n"
            " 3 Error(s),   0 Warning(s)\n");

  ClickItem(Heading(kSectionProperties));
  editor_.Confirm(" X = 0; E = 29000; I = 448;");
  Trigger("add");
  ASSERT_EQ(editor_.calls.size(), 2u);
  EXPECT_EQ(editor_.calls[1].section, kSectionProperties);
  EXPECT_EQ(editor_.calls[1].mode, 1);
  EXPECT_EQ(editor_.calls[1].text, "");  // a heading holds no fields
  EXPECT_EQ(DocLines(), (Lines{"File Format:3.0", "Units:English;",
                               "Member Property: X = 0; E = 29000; I = 448;"}));
  EXPECT_EQ(Results(),
            "Error D1- The beam has zero length. It can not be displayed.\n"
            "Error D9 - At least 1 Spring or Support must be defined.\n"
            " 2 Error(s),   0 Warning(s)\n");
  // The new line is selected and is the document's message.
  EXPECT_EQ(Current(), Line(kSectionProperties, 0));
  EXPECT_EQ(Frame().Document().GetMessage(), " X = 0; E = 29000; I = 448;");

  ClickItem(Heading(kSectionSupports));
  editor_.Confirm(" X = 0; Disp = 0;");
  Trigger("add");
  EXPECT_EQ(DocLines(),
            (Lines{"File Format:3.0", "Units:English;",
                   "Member Property: X = 0; E = 29000; I = 448;", "Support: X = 0; Disp = 0;"}));
  EXPECT_EQ(Results(),
            "Error D1- The beam has zero length. It can not be displayed.\n"
            " 1 Error(s),   0 Warning(s)\n");

  // The second support starts from the values of the selected first one.
  ClickItem(Line(kSectionSupports, 0));
  editor_.Confirm(" X = 20; Disp = 0;");
  Trigger("add");
  ASSERT_EQ(editor_.calls.size(), 4u);
  EXPECT_EQ(editor_.calls[3].section, kSectionSupports);
  EXPECT_EQ(editor_.calls[3].mode, 1);
  EXPECT_EQ(editor_.calls[3].text, " X = 0; Disp = 0;");
  EXPECT_EQ(Children(kSectionSupports), (Lines{" X = 0; Disp = 0;", " X = 20; Disp = 0;"}));
  EXPECT_EQ(Results(),
            " 0 Error(s),   0 Warning(s)\n"
            "Running Analysis\n"
            " 200 Nodes Defined, 400 Degrees of freedom\n"
            " Equilibrium error: Vert = 0.000 kips; Rotation = 0.000 kip ft\n"
            "Analysis Complete\n");

  ClickItem(Heading(kSectionPointLoads));
  editor_.Confirm(" X = 10; PLoad = -5;");
  Trigger("add");
  EXPECT_EQ(DocLines(), kSimpleBeam);
  const std::string results = Results();
  EXPECT_EQ(results.rfind(" 0 Error(s),   0 Warning(s)\n"
                          "Running Analysis\n"
                          " 201 Nodes Defined, 402 Degrees of freedom\n"
                          " Equilibrium error: Vert = ",
                          0),
            0u)
      << results;
  EXPECT_TRUE(results.ends_with(" kip ft\nAnalysis Complete\n")) << results;

  // A spring and a description: the written order is fixed, not the tree's.
  ClickItem(Heading(kSectionSprings));
  editor_.Confirm(" X = 10; VSpring = 100;");
  Trigger("add");
  ClickItem(Heading(kSectionDescription));
  editor_.Confirm("Simple beam\r\nwith a spring");
  Trigger("add");
  EXPECT_EQ(DocLines(), (Lines{
                            "File Format:3.0",
                            "/Simple beam",
                            "/with a spring",
                            "Units:English;",
                            "Member Property: X = 0; E = 29000; I = 448;",
                            "Spring: X = 10; VSpring = 100;",
                            "Support: X = 0; Disp = 0;",
                            "Support: X = 20; Disp = 0;",
                            "Point Load: X = 10; PLoad = -5;",
                        }));
  EXPECT_TRUE(Results().ends_with("Analysis Complete\n")) << Results();
  EXPECT_EQ(editor_.calls.back().section, kSectionDescription);
}

TEST_F(MainFrameTest, DescriptionSoftBreaksBecomePlainLinesWithoutTheWrapBlank) {
  ClickItem(Heading(kSectionDescription));
  // One paragraph wrapped at two blanks, then a hard break and an empty line.
  editor_.Confirm("A floor beam over \r\r\ntwo supports and a \r\r\nload\r\n\r\nend");
  Trigger("add");
  EXPECT_EQ(DocLines(), (Lines{"File Format:3.0", "/A floor beam over", "/two supports and a",
                               "/load", "/", "/end"}));

  // Editing the section hands the dialog all of its lines; a trailing break adds nothing.
  ClickItem(Line(kSectionDescription, 2));
  editor_.Confirm("One line\r\n");
  Trigger("edit");
  ASSERT_EQ(editor_.calls.size(), 2u);
  EXPECT_EQ(editor_.calls[1].section, kSectionDescription);
  EXPECT_EQ(editor_.calls[1].text, "A floor beam over\r\ntwo supports and a\r\nload\r\n\r\nend");
  EXPECT_EQ(DocLines(), (Lines{"File Format:3.0", "/One line"}));
}

TEST_F(MainFrameTest, UnitsHeadingEditsTheExistingLineInsteadOfAddingOne) {
  OpenModel(kSimpleBeam);
  Select(Heading(kSectionUnits));
  editor_.Confirm("Metric;");
  Trigger("add");
  ASSERT_EQ(editor_.calls.size(), 1u);
  EXPECT_EQ(editor_.calls[0].text, "English;");
  EXPECT_EQ(Children(kSectionUnits), (Lines{"Metric;"}));
  EXPECT_EQ(DocLines()[1], "Units:Metric;");
  EXPECT_EQ(DocLines().size(), kSimpleBeam.size());
}

// ---- Placement of added and edited lines ----

TEST_F(MainFrameTest, AddPlacesLineBeforeTheFirstLineAtOrAfterItsPosition) {
  for (const char* load : {" X = 20; PLoad = -3;", " X = 5; PLoad = -1;", " X = 10; PLoad = -2;"}) {
    Select(Heading(kSectionPointLoads));
    editor_.Confirm(load);
    Trigger("add");
  }
  EXPECT_EQ(Children(kSectionPointLoads),
            (Lines{" X = 5; PLoad = -1;", " X = 10; PLoad = -2;", " X = 20; PLoad = -3;"}));

  // A load at 10 among 5, 10 and 20 goes between 5 and the existing 10.
  Select(Heading(kSectionPointLoads));
  editor_.Confirm(" X = 10; PLoad = -9;");
  Trigger("add");
  EXPECT_EQ(Children(kSectionPointLoads), (Lines{" X = 5; PLoad = -1;", " X = 10; PLoad = -9;",
                                                 " X = 10; PLoad = -2;", " X = 20; PLoad = -3;"}));
  EXPECT_EQ(Current(), Line(kSectionPointLoads, 1));

  // A line whose first field is no X with a number sorts at 0: before everything.
  Select(Heading(kSectionPointLoads));
  editor_.Confirm(" PLoad = -4; X = 30;");
  Trigger("add");
  EXPECT_EQ(Children(kSectionPointLoads).front(), " PLoad = -4; X = 30;");
  Select(Heading(kSectionPointLoads));
  editor_.Confirm(" X = many; PLoad = -4;");
  Trigger("add");
  EXPECT_EQ(Children(kSectionPointLoads).front(), " X = many; PLoad = -4;");
  EXPECT_EQ(DocLines(), (Lines{"File Format:3.0", "Point Load: X = many; PLoad = -4;",
                               "Point Load: PLoad = -4; X = 30;", "Point Load: X = 5; PLoad = -1;",
                               "Point Load: X = 10; PLoad = -9;", "Point Load: X = 10; PLoad = -2;",
                               "Point Load: X = 20; PLoad = -3;"}));

  // Uniform loads sort by XStart.
  for (const char* load : {" XStart = 8; XEnd = 9; UStart = -1; UEnd = -1;",
                           " XStart = 2; XEnd = 20; UStart = -1; UEnd = -1;"}) {
    Select(Heading(kSectionUniformLoads));
    editor_.Confirm(load);
    Trigger("add");
  }
  EXPECT_EQ(Children(kSectionUniformLoads),
            (Lines{" XStart = 2; XEnd = 20; UStart = -1; UEnd = -1;",
                   " XStart = 8; XEnd = 9; UStart = -1; UEnd = -1;"}));
}

TEST_F(MainFrameTest, EditReinsertsTheLineByItsNewPosition) {
  OpenModel({"File Format:3.0", "Point Load: X = 5; PLoad = -1;", "Point Load: X = 10; PLoad = -2;",
             "Point Load: X = 20; PLoad = -3;"});
  Select(Line(kSectionPointLoads, 0));
  editor_.Confirm(" X = 15; PLoad = -1;");
  Trigger("edit");
  ASSERT_EQ(editor_.calls.size(), 1u);
  EXPECT_EQ(editor_.calls[0].section, kSectionPointLoads);
  EXPECT_EQ(editor_.calls[0].mode, 2);
  EXPECT_EQ(editor_.calls[0].text, " X = 5; PLoad = -1;");
  EXPECT_EQ(Children(kSectionPointLoads),
            (Lines{" X = 10; PLoad = -2;", " X = 15; PLoad = -1;", " X = 20; PLoad = -3;"}));
  EXPECT_EQ(Current(), Line(kSectionPointLoads, 1));
  EXPECT_EQ(Frame().Document().GetMessage(), " X = 15; PLoad = -1;");

  // A double click on a line edits it too.
  editor_.Confirm(" X = 1; PLoad = -3;");
  const QModelIndex last = Line(kSectionPointLoads, 2);
  ClickItem(last);
  QTest::mouseDClick(Tree()->viewport(), Qt::LeftButton, {}, Tree()->visualRect(last).center());
  ASSERT_EQ(editor_.calls.size(), 2u);
  EXPECT_EQ(editor_.calls[1].mode, 2);
  EXPECT_EQ(editor_.calls[1].text, " X = 20; PLoad = -3;");
  EXPECT_EQ(Children(kSectionPointLoads),
            (Lines{" X = 1; PLoad = -3;", " X = 10; PLoad = -2;", " X = 15; PLoad = -1;"}));
}

TEST_F(MainFrameTest, OpenedLinesShowInFileOrderAndFirstEditWritesTheFixedOrder) {
  OpenModel({
      "File Format:3.0",
      "Point Load: X = 20; PLoad = -1;",
      "Support: X = 0; Disp = 0;",
      "Moment Release: X = 12;",
      "Spring: X = 30; VSpring = 100;",
      "Point Load: X = 5; PLoad = -2;",
      "Comment without a section",
      "Member Property: X = 0; E = 29000; I = 448;",
      "Units:English;",
      "/Notes",
  });
  // The rebuild leaves every section collapsed.
  for (int s = 0; s < kSectionCount; ++s) EXPECT_FALSE(Tree()->isExpanded(Heading(s))) << s;
  EXPECT_EQ(Children(kSectionPointLoads), (Lines{" X = 20; PLoad = -1;", " X = 5; PLoad = -2;"}));
  EXPECT_EQ(Children(kSectionDescription), (Lines{"Notes"}));

  // Only the new line is placed; the unsorted rest stays as it was.
  Select(Heading(kSectionPointLoads));
  editor_.Confirm(" X = 10; PLoad = -3;");
  Trigger("add");
  EXPECT_EQ(DocLines(), (Lines{
                            "File Format:3.0",
                            "/Notes",
                            "Units:English;",
                            "Member Property: X = 0; E = 29000; I = 448;",
                            "Spring: X = 30; VSpring = 100;",
                            "Support: X = 0; Disp = 0;",
                            "Moment Release: X = 12;",
                            "Point Load: X = 10; PLoad = -3;",
                            "Point Load: X = 20; PLoad = -1;",
                            "Point Load: X = 5; PLoad = -2;",
                        }));
}

// ---- Cancel, headings, delete ----

TEST_F(MainFrameTest, CancelledDialogLeavesTreeAndDocumentUntouched) {
  OpenModel(kSimpleBeam);
  const std::string results = Results();
  const TreeContent tree = Tree()->Content();

  struct Case {
    QModelIndex item;
    const char* action;
  };
  for (const Case& c :
       {Case{Heading(kSectionSupports), "add"}, Case{Line(kSectionSupports, 1), "add"},
        Case{Line(kSectionSupports, 1), "edit"}, Case{Line(kSectionUnits, 0), "edit"},
        Case{Heading(kSectionDescription), "add"}}) {
    Select(c.item);
    editor_.Cancel();
    Trigger(c.action);
    EXPECT_EQ(DocLines(), kSimpleBeam) << c.action;
    EXPECT_EQ(Tree()->Content(), tree) << c.action;
    EXPECT_EQ(Results(), results) << c.action;
    EXPECT_FALSE(Frame().Document().IsModified()) << c.action;
  }
  EXPECT_EQ(editor_.calls.size(), 5u);
}

TEST_F(MainFrameTest, HeadingsAndEmptySelectionAreNeitherEditedNorDeleted) {
  OpenModel(kSimpleBeam);
  NoModalExpected noBox;
  for (int s = 0; s < kSectionCount; ++s) {
    Select(Heading(s));
    Trigger("edit");
    Trigger("delete");
  }
  Tree()->setCurrentIndex(QModelIndex());
  for (const char* action : {"add", "edit", "delete"}) Trigger(action);
  QTest::qWait(50);  // time for a box to show, were there one
  EXPECT_TRUE(editor_.calls.empty());
  EXPECT_EQ(DocLines(), kSimpleBeam);
  EXPECT_FALSE(Frame().Document().IsModified());
}

TEST_F(MainFrameTest, DeleteAsksAndRemovesTheLineOnlyOnYes) {
  OpenModel(kSimpleBeam);
  Select(Line(kSectionPointLoads, 0));
  {
    MessageBoxAnswer no(QMessageBox::No);
    Trigger("delete");
    ASSERT_TRUE(no.Shown());
    EXPECT_EQ(Str(no.text), "Are you sure you want to delete the line:\n X = 10; PLoad = -5;?");
    EXPECT_EQ(Str(no.title), "Spanlab");
  }
  EXPECT_EQ(DocLines(), kSimpleBeam);
  EXPECT_FALSE(Frame().Document().IsModified());

  {
    MessageBoxAnswer yes(QMessageBox::Yes);
    Trigger("delete");
    ASSERT_TRUE(yes.Shown());
  }
  EXPECT_EQ(DocLines(), Lines(kSimpleBeam.begin(), kSimpleBeam.end() - 1));
  EXPECT_TRUE(Frame().Document().IsModified());
  EXPECT_EQ(Children(kSectionPointLoads), Lines{});
  EXPECT_EQ(Results(),
            " 0 Error(s),   0 Warning(s)\n"
            "Running Analysis\n"
            " 200 Nodes Defined, 400 Degrees of freedom\n"
            " Equilibrium error: Vert = 0.000 kips; Rotation = 0.000 kip ft\n"
            "Analysis Complete\n");

  // Deleting the only Units line leaves no "Units:" line.
  Select(Line(kSectionUnits, 0));
  {
    MessageBoxAnswer yes(QMessageBox::Yes);
    Trigger("delete");
    ASSERT_TRUE(yes.Shown());
    EXPECT_EQ(Str(yes.text), "Are you sure you want to delete the line:\nEnglish;?");
  }
  EXPECT_EQ(DocLines(), (Lines{"File Format:3.0", "Member Property: X = 0; E = 29000; I = 448;",
                               "Support: X = 0; Disp = 0;", "Support: X = 20; Disp = 0;"}));
}

// ---- The tree as the user reads and drives it ----

// A beam with `n` supports 10 ft apart and a load in every span.
Lines BeamWithSupports(int n) {
  Lines lines = {"File Format:3.0", "Units:English;", "Member Property: X = 0; E = 29000; I = 448;"};
  for (int i = 0; i < n; ++i) lines.push_back("Support: X = " + std::to_string(10 * i) + "; Disp = 0;");
  for (int i = 0; i + 1 < n; ++i) {
    lines.push_back("Point Load: X = " + std::to_string(10 * i + 5) + "; PLoad = -1;");
  }
  return lines;
}

TEST_F(MainFrameTest, LongTreeLinesScrollSidewaysAndShowWholeAsTooltip) {
  const std::string longText =
      " Beam over the loading dock, checked for the forklift wheel loads of the 2019 survey";
  Lines lines = kSimpleBeam;
  lines.insert(lines.begin() + 1, "/" + longText);
  OpenModel(lines);
  QScrollBar* sideways = Tree()->horizontalScrollBar();
  ASSERT_EQ(Tree()->width(), 200);
  // Collapsed, the long line takes no room; opened, the view scrolls to show all of it.
  EXPECT_EQ(sideways->maximum(), 0);
  Tree()->expand(Heading(kSectionDescription));
  QApplication::processEvents();
  const QModelIndex line = Line(kSectionDescription, 0);
  const int textWidth = Tree()->fontMetrics().horizontalAdvance(QString::fromStdString(longText));
  EXPECT_GT(sideways->maximum(), 0);
  EXPECT_GE(Tree()->columnWidth(0), Tree()->visualRect(line).left() + textWidth);
  sideways->setValue(sideways->maximum());
  EXPECT_LE(Tree()->visualRect(line).left() + textWidth, Tree()->viewport()->width())
      << "the end of the line cannot be scrolled into view";
  EXPECT_EQ(Str(line.data(Qt::ToolTipRole).toString()), longText);
  EXPECT_FALSE(Heading(kSectionDescription).data(Qt::ToolTipRole).isValid());
  // Closed again, nothing is left to scroll.
  Tree()->collapse(Heading(kSectionDescription));
  QApplication::processEvents();
  EXPECT_EQ(sideways->maximum(), 0);
}

// What the user sees of the tree: which sections are open, the scroll position, the selection.
struct TreePlace {
  std::vector<bool> open;
  int scroll;
  QModelIndex current;
};

TEST_F(MainFrameTest, EditsUndoAndRedoKeepOpenSectionsScrollPositionAndSelection) {
  const Lines beam = BeamWithSupports(300);
  OpenModel(beam);
  Tree()->expand(Heading(kSectionSupports));
  Tree()->expand(Heading(kSectionPointLoads));
  QApplication::processEvents();
  // The user has scrolled to the 150th support and selected it.
  Tree()->scrollTo(Line(kSectionSupports, 150), QAbstractItemView::PositionAtTop);
  Select(Line(kSectionSupports, 152));
  auto place = [this] {
    TreePlace p{{}, Tree()->verticalScrollBar()->value(), Current()};
    for (int s = 0; s < kSectionCount; ++s) p.open.push_back(Tree()->isExpanded(Heading(s)));
    return p;
  };
  const TreePlace before = place();
  ASSERT_GT(before.scroll, 0);
  auto expectPlace = [&](const QModelIndex& current, const char* when) {
    const TreePlace now = place();
    EXPECT_EQ(now.open, before.open) << when;
    EXPECT_EQ(now.scroll, before.scroll) << when;
    EXPECT_EQ(now.current, current) << when;
  };
  {
    MessageBoxAnswer yes(QMessageBox::Yes);
    Trigger("delete");
    ASSERT_TRUE(yes.Shown());
  }
  expectPlace(Line(kSectionSupports, 152), "after the delete");  // the next line, moved up
  Frame().Undo();
  expectPlace(Line(kSectionSupports, 152), "after the undo");  // the line is back, selected
  EXPECT_EQ(DocLines(), beam);
  Frame().Redo();
  expectPlace(QModelIndex(), "after the redo");  // the deleted line is gone again
  Frame().Undo();
  // An edit that keeps the line's place, then its undo.
  editor_.Confirm(" X = 1520; Disp = 0.1;");
  Trigger("edit");
  expectPlace(Line(kSectionSupports, 152), "after the edit");
  EXPECT_EQ(Children(kSectionSupports)[152], " X = 1520; Disp = 0.1;");
  Frame().Undo();
  expectPlace(Line(kSectionSupports, 152), "after undoing the edit");
  EXPECT_EQ(DocLines(), beam);
  EXPECT_EQ(Tree()->Content(), BuildTree(beam));
}

TEST_F(MainFrameTest, DeleteEnterAndInsertKeysEditTheTree) {
  OpenModel(kSimpleBeam);
  Tree()->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Tree()->hasFocus(); }, 1000));
  // Delete asks as the Delete command does.
  Select(Line(kSectionPointLoads, 0));
  {
    MessageBoxAnswer no(QMessageBox::No);
    QTest::keyClick(Tree(), Qt::Key_Delete);
    ASSERT_TRUE(no.Shown());
    EXPECT_EQ(Str(no.text), "Are you sure you want to delete the line:\n X = 10; PLoad = -5;?");
  }
  EXPECT_EQ(DocLines(), kSimpleBeam);
  // Enter edits the line, as a double click does.
  editor_.Confirm(" X = 12; PLoad = -5;");
  QTest::keyClick(Tree(), Qt::Key_Return);
  ASSERT_EQ(editor_.calls.size(), 1u);
  EXPECT_EQ(editor_.calls[0].section, kSectionPointLoads);
  EXPECT_EQ(editor_.calls[0].mode, 2);
  EXPECT_EQ(DocLines().back(), "Point Load: X = 12; PLoad = -5;");
  // Insert adds to the section of the selection.
  Select(Heading(kSectionReleases));
  editor_.Confirm(" X = 5;");
  QTest::keyClick(Tree(), Qt::Key_Insert);
  ASSERT_EQ(editor_.calls.size(), 2u);
  EXPECT_EQ(editor_.calls[1].section, kSectionReleases);
  EXPECT_EQ(editor_.calls[1].mode, 1);
  EXPECT_EQ(Children(kSectionReleases), Lines{" X = 5;"});
  {
    MessageBoxAnswer yes(QMessageBox::Yes);
    QTest::keyClick(Tree(), Qt::Key_Delete);
    ASSERT_TRUE(yes.Shown());
  }
  EXPECT_EQ(Children(kSectionReleases), Lines{});
  // On a heading, Enter opens and closes it and edits nothing; Delete does nothing.
  {
    NoModalExpected noBox;
    Select(Heading(kSectionSupports));
    QTest::keyClick(Tree(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(Tree()->isExpanded(Heading(kSectionSupports)));
    QTest::keyClick(Tree(), Qt::Key_Return);
    EXPECT_FALSE(Tree()->isExpanded(Heading(kSectionSupports)));
    QTest::keyClick(Tree(), Qt::Key_Delete);
    // The keys belong to the tree: in the results view they change nothing.
    Select(Line(kSectionSupports, 0));
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    Frame().ResultsView()->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Frame().ResultsView()->hasFocus(); }, 1000));
    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Return, Qt::Key_Insert}) {
      QTest::keyClick(Frame().ResultsView(), key);
    }
    QTest::qWait(50);  // time for a box to show, were there one
  }
  EXPECT_EQ(editor_.calls.size(), 2u);
  // The Edit menu shows the keys.
  QMenu* edit = nullptr;
  for (QAction* a : Frame().menuBar()->actions()) {
    if (a->text() == "&Edit") edit = a->menu();
  }
  ASSERT_NE(edit, nullptr);
  std::vector<std::string> shown;
  for (QAction* a : edit->actions()) {
    if (!a->isSeparator() && !a->text().startsWith("&Undo") && !a->text().startsWith("&Redo")) {
      shown.push_back(Str(a->text() + "\t" + a->shortcut().toString(QKeySequence::NativeText)));
    }
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"&Add\tIns", "&Edit\tEnter", "&Delete\tDel",
                                             "Move &Left\tAlt+Left", "Move Ri&ght\tAlt+Right"}));
}

// ---- View toggles ----

TEST_F(MainFrameTest, ReactionsShowAloneAndCurvesTogether) {
  struct Step {
    const char* click;
    // Expected afterwards: reactions, shear, moment, rotation, deflection, position.
    std::array<bool, 6> on;
  };
  const Step steps[] = {
      {"reactions", {true, false, false, false, false, false}},
      {"shear", {false, true, false, false, false, false}},
      {"moment", {false, true, true, false, false, false}},
      {"rotation", {false, true, true, true, false, false}},
      {"deflection", {false, true, true, true, true, false}},
      {"position", {false, true, true, true, true, true}},
      {"moment", {false, true, false, true, true, true}},  // off changes nothing else
      {"reactions", {true, false, false, false, false, true}},
      {"reactions", {false, false, false, false, false, true}},
      {"deflection", {false, false, false, false, true, true}},
      {"position", {false, false, false, false, true, false}},
  };
  const char* names[] = {"reactions", "shear", "moment", "rotation", "deflection", "position"};
  for (const Step& step : steps) {
    ClickToolButton(step.click);
    const ViewToggles& t = Frame().Toggles();
    const std::array<bool, 6> state = {t.reactions, t.shear,      t.moment,
                                       t.rotation,  t.deflection, t.position};
    EXPECT_EQ(state, step.on) << "after " << step.click;
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(Frame().Action(names[i])->isChecked(), step.on[i])
          << names[i] << " after " << step.click;
    }
  }

  // The menu path and the frame's own command do the same.
  Trigger("reactions");
  EXPECT_TRUE(Frame().Toggles().reactions);
  EXPECT_FALSE(Frame().Toggles().deflection);
  Frame().Toggle(ViewToggle::kShear);
  EXPECT_FALSE(Frame().Toggles().reactions);
  EXPECT_TRUE(Frame().Action("shear")->isChecked());
  EXPECT_FALSE(Frame().Action("reactions")->isChecked());
}

TEST_F(MainFrameTest, NewAndOpenedDocumentsStartWithoutPositionMarker) {
  Trigger("position");
  Trigger("moment");
  ASSERT_TRUE(Frame().Toggles().position);
  ASSERT_TRUE(Frame().FileNew());
  EXPECT_FALSE(Frame().Toggles().position);
  EXPECT_FALSE(Frame().Action("position")->isChecked());
  EXPECT_TRUE(Frame().Toggles().moment);  // the diagrams stay

  Trigger("position");
  OpenModel(kSimpleBeam);
  EXPECT_FALSE(Frame().Toggles().position);
  EXPECT_FALSE(Frame().Action("position")->isChecked());
}

// ---- Mouse read-out and position marker ----

class ReadoutTest : public MainFrameTest {
 protected:
  void SetUp() override {
    MainFrameTest::SetUp();
    OpenModel(kSimpleBeam);
    QAbstractButton* data = PaneButton("Data");
    ASSERT_NE(data, nullptr);
    QTest::mouseClick(data, Qt::LeftButton);
    ASSERT_EQ(Frame().OutputPane()->SelectedButton(), CDoubleEditView::kDataButton);
    ASSERT_TRUE(Frame().OutputPane()->DataBox()->isVisible());
    view_ = Frame().ResultsView();
    ASSERT_GT(view_->width(), 100);
    left_ = static_cast<int>(view_->width() * 0.15);
    right_ = static_cast<int>(view_->width() * 0.85);
    ASSERT_GT(right_ - left_, 240) << "a pixel must span less than an inch of the beam";
  }

  // Moves the mouse to x over the middle of the view and returns the Data box.
  std::string MoveTo(int x) {
    QPoint at(x, view_->height() / 2);
    // A move to where the cursor already is makes no event: come from one pixel below.
    if (QCursor::pos() == view_->mapToGlobal(at)) {
      QTest::mouseMove(view_, at + QPoint(0, 1));
    }
    QTest::mouseMove(view_, at);
    return Data();
  }

  // The cursor x at the middle of the beam, or half a pixel left of it, which snaps to the
  // node at the middle as well (the nodes lie 1.2 inches apart, a pixel spans under 1 inch).
  int Middle() const { return left_ + (right_ - left_) / 2; }

  // The beam position (inches) of cursor x, as the view maps it.
  double Position(int x) const { return (x - left_) / ((right_ - left_) / 240.0); }
  // The read-out's x line for cursor x: the cursor's position in feet, "%6.4g".
  std::string XLine(int x) const {
    std::string feet = FormatGeneral(Position(x) / 12, 4);
    if (feet.size() < 6) feet.insert(0, 6 - feet.size(), ' ');
    return " x = " + feet + " feet\n";
  }

  CSPLX_30View* view_ = nullptr;
  int left_ = 0;
  int right_ = 0;
};

TEST_F(ReadoutTest, ReadsTheNodeUnderTheCursorInsideTheBeamOnly) {
  EXPECT_EQ(MoveTo(left_), " x =      0 feet\n");
  EXPECT_EQ(MoveTo(right_), " x =     20 feet\n");
  EXPECT_EQ(MoveTo(right_ + 1), "");
  EXPECT_EQ(MoveTo(Middle()), XLine(Middle()));
  EXPECT_EQ(MoveTo(left_ - 1), "");
  // One pixel in lies between the first two nodes (1.2 in apart): the cursor's own position.
  EXPECT_EQ(MoveTo(left_ + 1), XLine(left_ + 1));
  EXPECT_LT(Position(left_ + 1), 1.2);
}

TEST_F(ReadoutTest, ReadsTheValuesOfTheDiagramsShown) {
  for (const char* name : {"shear", "moment", "rotation", "deflection"}) Trigger(name);
  // At the left support, the beam's start: the reaction P / 2 is the shear there.
  EXPECT_EQ(MoveTo(left_),
            " x =      0 feet\n"
            " Deflection = 0 inches\n"
            " Rotation = 0.001385 radians\n"
            " Moment = 0 kip ft\n"
            " Shear = 2.5 kips\n");
  // Anywhere between the nodes, the exact values at the cursor: for a simply supported beam
  // under a central load P, left of the load, deflection -P x (3 L^2 - 4 x^2) / (48 E I),
  // moment P x / 2, shear P / 2 (P = 5 kips, L = 240 in; at midspan 0.11084 in and 25 kip ft).
  Trigger("rotation");
  for (const int x : {left_ + 1, left_ + 7, left_ + (right_ - left_) / 3, Middle() - 1}) {
    const double p = Position(x);
    ASSERT_LT(p, 120);
    EXPECT_EQ(MoveTo(x), XLine(x) + " Deflection = " +
                             FormatGeneral(-5 * p * (3 * 240.0 * 240 - 4 * p * p) /
                                               (48 * 29000.0 * 448), 4) +
                             " inches\n Moment = " + FormatGeneral(5 * p / 2 / 12, 4) +
                             " kip ft\n Shear = 2.5 kips\n");
  }
  // Reactions alone: the x line alone.
  Trigger("reactions");
  EXPECT_EQ(MoveTo(right_), " x =     20 feet\n");
}

TEST_F(ReadoutTest, ShowPositionFreezesTheDataBox) {
  ASSERT_EQ(MoveTo(Middle()), XLine(Middle()));
  ClickToolButton("position");
  ASSERT_TRUE(Frame().Toggles().position);
  EXPECT_EQ(MoveTo(left_), XLine(Middle()));
  EXPECT_EQ(MoveTo(5), XLine(Middle()));
  ClickToolButton("position");
  EXPECT_EQ(MoveTo(left_), " x =      0 feet\n");
}

TEST_F(ReadoutTest, TypingIntoTheBoxesChangesNothing) {
  MoveTo(left_);
  const std::string results = Results();
  QTest::keyClicks(Frame().OutputPane()->DataBox(), "abc");
  QTest::keyClick(Frame().OutputPane()->DataBox(), Qt::Key_Delete);
  EXPECT_EQ(Data(), " x =      0 feet\n");
  QTest::mouseClick(PaneButton("Results"), Qt::LeftButton);
  EXPECT_TRUE(Frame().OutputPane()->ResultsBox()->isVisible());
  EXPECT_FALSE(Frame().OutputPane()->DataBox()->isVisible());
  QTest::keyClicks(Frame().OutputPane()->ResultsBox(), "abc");
  QTest::keyClick(Frame().OutputPane()->ResultsBox(), Qt::Key_Backspace);
  EXPECT_EQ(Results(), results);
}

// The Data box is hidden by default; a new user still sees what the mouse reads: a thin line
// marks the node read, and the same values stand in the status bar.
TEST_F(ReadoutTest, TheNodeReadIsMarkedAndItsValuesStandInTheStatusBar) {
  QTest::mouseClick(PaneButton("Results"), Qt::LeftButton);
  ASSERT_FALSE(Frame().OutputPane()->DataBox()->isVisible());
  QStatusBar* bar = Frame().statusBar();
  Trigger("moment");
  MoveTo(Middle());
  // The line stands at the cursor, which reads the exact moment there (P x / 2).
  EXPECT_EQ(view_->State().readoutX, Middle());
  MoveTo(left_ + 1);  // between the first two nodes
  EXPECT_EQ(view_->State().readoutX, left_ + 1);
  std::string x = XLine(left_ + 1);
  x = x.substr(1, x.size() - 2);  // "x = ... feet"
  EXPECT_EQ(bar->currentMessage().toStdString(),
            x + "    Moment = " + FormatGeneral(5 * Position(left_ + 1) / 2 / 12, 4) + " kip ft");
  MoveTo(right_ + 1);  // off the beam
  EXPECT_EQ(view_->State().readoutX, -1);
  EXPECT_EQ(bar->currentMessage(), "Ready");
  MoveTo(Middle());
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(view_, &leave);
  EXPECT_EQ(view_->State().readoutX, -1);
  EXPECT_EQ(bar->currentMessage(), "Ready");
  // A new (empty) model reads nothing, also where the mouse rests.
  MoveTo(Middle());
  Frame().FileNew();
  EXPECT_EQ(view_->State().readoutX, -1);
}

// ---- Status bar ----

class FakeLockKeys : public LockKeyReader {
 public:
  explicit FakeLockKeys(LockKeys* keys) : keys_(keys) {}
  std::optional<LockKeys> Read() override { return *keys_; }

 private:
  LockKeys* keys_;
};

TEST_F(MainFrameTest, StatusBarSaysReadyWheneverNoPromptApplies) {
  QStatusBar* bar = Frame().statusBar();
  EXPECT_EQ(bar->currentMessage(), "Ready");
  // A menu item under the mouse shows its prompt; leaving it clears the prompt.
  for (const char* name : {"new", "moment", "about"}) {
    Frame().Action(name)->showStatusText(&Frame());
    EXPECT_EQ(bar->currentMessage(), Frame().Action(name)->statusTip()) << name;
    QStatusTipEvent left{QString()};
    QApplication::sendEvent(&Frame(), &left);
    EXPECT_EQ(bar->currentMessage(), "Ready") << name;
  }
  bar->clearMessage();
  EXPECT_EQ(bar->currentMessage(), "Ready");
}

TEST_F(MainFrameTest, CapAndNumPanesWhereThePlatformReportsTheLockKeys) {
  auto* caps = Frame().statusBar()->findChild<QLabel*>("capsPane");
  auto* num = Frame().statusBar()->findChild<QLabel*>("numPane");
  ASSERT_NE(caps, nullptr);
  ASSERT_NE(num, nullptr);
  // The offscreen platform reports no lock keys.
  EXPECT_TRUE(caps->isHidden());
  EXPECT_TRUE(num->isHidden());
  LockKeys keys{true, false};
  Frame().SetLockKeyReader(std::make_unique<FakeLockKeys>(&keys));
  EXPECT_TRUE(caps->isVisible());
  EXPECT_TRUE(num->isVisible());
  EXPECT_EQ(caps->text(), "CAP");
  EXPECT_EQ(num->text(), "");
  // Pressed in any window: the panes follow within a moment.
  keys = LockKeys{false, true};
  EXPECT_TRUE(QTest::qWaitFor([&] { return num->text() == "NUM"; }, 2000));
  EXPECT_EQ(caps->text(), "");
  Frame().SetLockKeyReader(nullptr);
  EXPECT_TRUE(caps->isHidden());
  EXPECT_TRUE(num->isHidden());
}

// ---- View menu ----

TEST_F(MainFrameTest, ViewMenuDiagramTogglesShowTheirStateAsACheckMark) {
  QMenu* view = nullptr;
  for (QAction* a : Frame().menuBar()->actions()) {
    if (a->text() == "&View") view = a->menu();
  }
  ASSERT_NE(view, nullptr);
  Trigger("moment");
  for (const char* name : {"reactions", "shear", "moment", "rotation", "deflection"}) {
    QAction* action = Frame().Action(name);
    ASSERT_TRUE(view->actions().contains(action)) << name;
    // A checkable item without a menu icon is drawn with a check mark; with an icon the style
    // would draw the icon sunken instead.
    EXPECT_TRUE(action->isCheckable()) << name;
    EXPECT_EQ(action->isChecked(), std::string(name) == "moment") << name;
    EXPECT_FALSE(action->isIconVisibleInMenu()) << name;
    // The toolbar keeps the icon.
    EXPECT_FALSE(action->icon().isNull()) << name;
  }
}

// ---- Long runs ----

// Records, at the moment it runs, what the user would see.
class WatchingRunner : public LinesRunner {
 public:
  explicit WatchingRunner(QWidget& window) { window.installEventFilter(&paints_); }
  RunLog Run(CSPLX_30Doc&) override {
    busy = QApplication::overrideCursor() &&
           QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    paintsBefore = paints_.count;
    return {};
  }
  bool busy = false;
  int paintsBefore = 0;

 private:
  struct PaintCounter : QObject {
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) ++count;
      return false;
    }
    int count = 0;
  } paints_;
};

TEST(BusyRunnerTest, LongRunsShowTheBusyCursorAfterTheWindowIsRepainted) {
  QWidget window;
  window.resize(200, 100);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QApplication::processEvents();
  WatchingRunner inner(window);
  BusyRunner runner(inner, window, 3);
  CSPLX_30Doc doc;
  doc.SetRunner(&runner);
  // A box closed over the window leaves it to be repainted; a short run does not wait for it.
  window.update();
  doc.SetLines(nullptr, {"File Format:3.0", "Units:English;"});
  EXPECT_FALSE(inner.busy);
  EXPECT_EQ(inner.paintsBefore, 0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  // A long one repaints first and runs under the busy cursor, which goes when it ends.
  window.update();
  doc.SetLines(nullptr, {"File Format:3.0", "Units:English;", "/a", "/b"});
  EXPECT_TRUE(inner.busy);
  EXPECT_EQ(inner.paintsBefore, 1);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  // A box closed just now: the window first answers what the window system asks of it (here
  // the update the box left behind), and runs only then.
  QMessageBox box(QMessageBox::Question, "Spanlab", "Delete?", QMessageBox::Yes, &window);
  box.show();
  window.update();
  box.hide();
  QElapsedTimer clock;
  clock.start();
  doc.SetLines(nullptr, {"File Format:3.0", "Units:English;", "/a", "/c"});
  EXPECT_GE(clock.elapsed(), 100);
  EXPECT_GE(inner.paintsBefore, 2);
  doc.SetRunner(nullptr);
  window.close();
}

// ---- The results view always shows the results of the lines it is drawn for ----

// Every change of the lines is run to its end before any view hears of it; a view that painted
// in between would keep the new items drawn over the old results until something repainted it.
// Each step compares what the screen shows of the results view with a fresh paint of it.
class CurrentResultsTest : public MainFrameTest {
 protected:
  void ExpectScreenIsAFreshPaint(const char* step) {
    QTest::qWait(20);  // the paints the change asked for reach the screen
    CSPLX_30View* view = Frame().ResultsView();
    const QPoint at = view->mapTo(&Frame(), QPoint(0, 0));
    const QImage shown = Frame()
                             .screen()
                             ->grabWindow(Frame().winId(), at.x(), at.y(), view->width(),
                                          view->height())
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    const QImage fresh = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), fresh.size()) << step;
    EXPECT_TRUE(shown == fresh) << step << ": the screen shows another picture than the results";
  }
  void OpenBytes(const QString& name, const QByteArray& bytes) {
    const QString path = dir_.filePath(name);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    MessageBoxAnswer notice(QMessageBox::Ok);  // the older file's conversion notice
    ASSERT_TRUE(Frame().OpenFile(path));
  }
};

const Lines kCantilever = {
    "File Format:3.0",
    "/Balcony cantilever, 2.4 m, IPE 200 in S235",
    "Units:Metric;",
    "Member Property: X = 0; E = 210000; I = 1943; /IPE 200",
    "Support: X = 0; Disp = 0; Rotation = 0; /fixed into the wall",
    "Uniform Load: XStart = 0; XEnd = 2.4; UStart = -4.5; UEnd = -4.5; /slab and finishes",
    "Point Load: X = 2.4; PLoad = -3; /parapet",
};

TEST_F(CurrentResultsTest, OpeningAnotherFileConvertingOneAndNew) {
  Trigger("deflection");
  OpenModel(kCantilever);
  ExpectScreenIsAFreshPaint("the cantilever");
  OpenBytes("older.spn",
            "/Older-version model: simple span with an overhang\n"
            "UNITS: ENGLISH\n"
            "MEMBER PROPERTIES\n"
            "          0   4060000         0\n"
            "         20   4060000         0\n"
            "         26   4060000\n"
            "POINT LOADS\n"
            "         10       -12\n"
            "         26        -3\n"
            "UNIFORM LOADS\n"
            "          0        26      -1.1      -1.1\n");
  ASSERT_GT(Frame().Document().GetAnalysis().m_dLength, 0);
  ExpectScreenIsAFreshPaint("an older file opened after the cantilever");
  {
    MessageBoxAnswer no(QMessageBox::No);  // the converted file is not saved
    ASSERT_TRUE(Frame().FileNew());
  }
  EXPECT_EQ(Frame().Document().GetAnalysis().m_dLength, 0);
  ExpectScreenIsAFreshPaint("New after a converted file");
  OpenModel(kSimpleBeam);
  ExpectScreenIsAFreshPaint("a model after New");
}

TEST_F(CurrentResultsTest, UnitsChangeUndoRedoAndFailingModels) {
  Trigger("deflection");
  Trigger("moment");
  OpenModel(kSimpleBeam);
  Select(Heading(kSectionUnits));
  editor_.Confirm("Metric;");
  Trigger("add");
  ASSERT_EQ(DocLines()[1], "Units:Metric;");
  ExpectScreenIsAFreshPaint("English to Metric through the tree");
  Select(QModelIndex());
  Frame().Undo();
  ASSERT_EQ(DocLines()[1], "Units:English;");
  Tree()->setCurrentIndex(QModelIndex());
  ExpectScreenIsAFreshPaint("undo with no line selected");
  Frame().Redo();
  Tree()->setCurrentIndex(QModelIndex());
  ExpectScreenIsAFreshPaint("redo with no line selected");
  // A model that fails its data check (no support) after a good one, and back.
  Lines failing = kSimpleBeam;
  failing.erase(failing.begin() + 3, failing.begin() + 5);
  OpenModel(failing);
  ASSERT_EQ(Frame().Document().GetLastRun().errors, 1);
  ExpectScreenIsAFreshPaint("a failing model after a good one");
  OpenModel(kSimpleBeam);
  ExpectScreenIsAFreshPaint("a good model after a failing one");
}

TEST_F(MainFrameTest, SelectedLineSetsThePositionMarkerAndTheDataBox) {
  OpenModel({
      "File Format:3.0",
      "/Marker positions",
      "Units:English;",
      "Member Property: X = 0; E = 29000; I = 448;",
      "Member Property: X = 8; E = 29000; I = 300;",
      "Spring: X = 15; VSpring = 100;",
      "Support: X = 0; Disp = 0;",
      "Support: X = 20; Disp = 0;",
      "Moment Release: X = 5;",
      "Point Load: X = 10; PLoad = -5;",
      "Uniform Load: XStart = 10; XEnd = 4; UStart = -1; UEnd = -1;",
  });
  struct Case {
    int section;
    int index;  // -1: the heading
    int type;
    double x;  // inches
    double xEnd;
    const char* data;
  };
  const Case cases[] = {
      {kSectionSupports, 1, 13, 240, 0, " X = 20; Disp = 0;"},
      {kSectionProperties, 1, 11, 96, 0, " X = 8; E = 29000; I = 300;"},
      {kSectionReleases, 0, 12, 60, 0, " X = 5;"},
      {kSectionSprings, 0, 13, 180, 0, " X = 15; VSpring = 100;"},  // springs mark as supports
      {kSectionPointLoads, 0, 15, 120, 0, " X = 10; PLoad = -5;"},
      {kSectionUniformLoads, 0, 16, 120, 48, " XStart = 10; XEnd = 4; UStart = -1; UEnd = -1;"},
      {kSectionSupports, -1, 10, -1, -1, ""},
      {kSectionSupports, 0, 13, 0, 0, " X = 0; Disp = 0;"},
      {kSectionUnits, 0, 10, -1, -1, ""},
      {kSectionDescription, 0, 10, -1, -1, ""},
  };
  const SelectionMarker& marker = Frame().ResultsView()->State().selection;
  for (const Case& c : cases) {
    const QModelIndex item = c.index < 0 ? Heading(c.section) : Line(c.section, c.index);
    ClickItem(item);
    ASSERT_EQ(Current(), item);
    const std::string what = Str(item.data().toString());
    EXPECT_EQ(marker.m_nSelType, c.type) << what;
    if (c.x >= 0) {
      EXPECT_DOUBLE_EQ(marker.m_dSelX, c.x) << what;
    }
    if (c.type == 16) {
      EXPECT_DOUBLE_EQ(marker.m_dSelXEnd, c.xEnd) << what;
    }
    EXPECT_EQ(Frame().Document().GetMessage(), c.data) << what;
    EXPECT_EQ(Data(), c.data) << what;
  }
  // Selecting changes no line.
  EXPECT_FALSE(Frame().Document().IsModified());
}

// ---- Files ----

TEST_F(MainFrameTest, SavingOverAReadOnlyFileAsksFirstAndNoKeepsTheFile) {
  const QString path = WriteModel("read-only.spn", kSimpleBeam);
  ASSERT_TRUE(Frame().OpenFile(path));
  const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
  ASSERT_TRUE(QFile::setPermissions(path, readOnly));
  Select(Heading(kSectionPointLoads));
  editor_.Confirm(" X = 5; PLoad = -1;");
  Trigger("add");
  ASSERT_TRUE(Frame().Document().IsModified());
  const std::string old = WriteModelFile(kSimpleBeam);
  auto onDisk = [&path] {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("<none>");
  };
  ASSERT_EQ(onDisk(), old);
  {
    MessageBoxAnswer no(QMessageBox::No);
    EXPECT_FALSE(Frame().FileSave());
    ASSERT_TRUE(no.Shown());
    EXPECT_EQ(Str(no.text), "'" + Str(path) +
                                "' is read-only. Replace it with the model? (It stays read-only.)");
    EXPECT_EQ(no.icon, QMessageBox::Warning);
  }
  EXPECT_EQ(onDisk(), old);
  EXPECT_TRUE(Frame().Document().IsModified());
  {
    MessageBoxAnswer yes(QMessageBox::Yes);
    EXPECT_TRUE(Frame().FileSave());
    EXPECT_TRUE(yes.Shown());
  }
  EXPECT_EQ(onDisk(), WriteModelFile(DocLines()));
  EXPECT_NE(onDisk(), old);
  EXPECT_FALSE(Frame().Document().IsModified());
  EXPECT_FALSE(QFile::permissions(path) & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
}

TEST_F(MainFrameTest, SavedModelReopensWithTheSameLines) {
  for (const auto& [section, text] :
       std::vector<std::pair<int, std::string>>{{kSectionUnits, "English;"},
                                                {kSectionProperties, " X = 0; E = 29000; I = 448;"},
                                                {kSectionSupports, " X = 0; Disp = 0;"},
                                                {kSectionSupports, " X = 20; Disp = 0;"},
                                                {kSectionPointLoads, " X = 10; PLoad = -5;"}}) {
    Select(Heading(section));
    editor_.Confirm(text);
    Trigger("add");
  }
  ASSERT_EQ(DocLines(), kSimpleBeam);
  const std::string results = Results();
  const QString path = dir_.filePath("beam.spn");

  EXPECT_TRUE(SaveAsThroughDialog(path, [this] { return Frame().FileSave(); }));
  EXPECT_TRUE(QFile::exists(path));
  EXPECT_FALSE(Frame().Document().IsModified());
  EXPECT_EQ(Frame().Document().GetPathName(), Str(path));
  EXPECT_EQ(Str(Frame().windowTitle()), "beam.spn[*] - Spanlab");
  EXPECT_FALSE(Frame().isWindowModified());
  ASSERT_FALSE(Frame().RecentFiles().isEmpty());
  EXPECT_EQ(Frame().RecentFiles().front(), path);

  {
    NoModalExpected noQuestion;  // nothing changed since the save
    ASSERT_TRUE(Frame().FileNew());
  }
  EXPECT_TRUE(DocLines().empty());
  EXPECT_EQ(Results(), kNoLines);
  for (int s = 0; s < kSectionCount; ++s) EXPECT_EQ(ChildCount(Heading(s)), 0) << s;

  ASSERT_TRUE(Frame().OpenFile(path));
  EXPECT_EQ(DocLines(), kSimpleBeam);
  EXPECT_EQ(Tree()->Content(), BuildTree(kSimpleBeam));
  EXPECT_EQ(Results(), results);
  EXPECT_FALSE(Frame().Document().IsModified());
}

TEST_F(MainFrameTest, ChangedDocumentAsksToBeSavedBeforeNew) {
  Select(Heading(kSectionUnits));
  editor_.Confirm("English;");
  Trigger("add");
  ASSERT_TRUE(Frame().Document().IsModified());
  {
    MessageBoxAnswer cancel(QMessageBox::Cancel);
    EXPECT_FALSE(Frame().FileNew());
    ASSERT_TRUE(cancel.Shown());
    EXPECT_EQ(Str(cancel.text), "Save changes to Untitled?");
  }
  EXPECT_EQ(DocLines(), (Lines{"File Format:3.0", "Units:English;"}));
  {
    MessageBoxAnswer no(QMessageBox::No);
    EXPECT_TRUE(Frame().FileNew());
    ASSERT_TRUE(no.Shown());
    EXPECT_EQ(Str(no.text), "Save changes to Untitled?");
  }
  EXPECT_TRUE(DocLines().empty());
  EXPECT_FALSE(Frame().Document().IsModified());
  EXPECT_EQ(Results(), kNoLines);
  EXPECT_EQ(ChildCount(Heading(kSectionUnits)), 0);

  // A changed file is named by its file name; Yes saves it before the new document.
  const QString path = WriteModel("named.spn", kSimpleBeam);
  ASSERT_TRUE(Frame().OpenFile(path));
  Select(Line(kSectionPointLoads, 0));
  editor_.Confirm(" X = 12; PLoad = -5;");
  Trigger("edit");
  {
    MessageBoxAnswer yes(QMessageBox::Yes);
    EXPECT_TRUE(Frame().FileNew());
    ASSERT_TRUE(yes.Shown());
    EXPECT_EQ(Str(yes.text), "Save changes to named.spn?");
  }
  EXPECT_TRUE(DocLines().empty());
  ASSERT_TRUE(Frame().OpenFile(path));
  EXPECT_EQ(DocLines().back(), "Point Load: X = 12; PLoad = -5;");
}

TEST_F(MainFrameTest, OpenRefusesMissingOrDamagedFileAndKeepsTheDocument) {
  OpenModel(kSimpleBeam);
  const QString opened = Frame().RecentFiles().front();
  const std::string results = Results();

  const QString missing = dir_.filePath("missing.spn");
  const QString damaged = dir_.filePath("damaged.spn");
  {
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // Five lines announced, none there.
    file.write("Spanlab File Version = 3.0\n\x05\x00", 29);
  }
  const struct {
    QString path;
    std::string message;
  } cases[] = {
      {missing, "Cannot open '" + Str(missing) + "': No such file or directory."},
      {damaged, "Cannot open '" + Str(damaged) +
                    "'. The model file is damaged: it claims 5 lines but holds only 0 more "
                    "bytes."},
  };
  for (const auto& c : cases) {
    MessageBoxAnswer ok(QMessageBox::Ok);
    EXPECT_FALSE(Frame().OpenFile(c.path));
    ASSERT_TRUE(ok.Shown());
    EXPECT_EQ(Str(ok.text), c.message);
    EXPECT_EQ(ok.icon, QMessageBox::Warning);
    EXPECT_EQ(DocLines(), kSimpleBeam);
    EXPECT_EQ(Tree()->Content(), BuildTree(kSimpleBeam));
    EXPECT_EQ(Results(), results);
    EXPECT_EQ(Frame().RecentFiles(), QStringList{opened});
  }
}

// ---- Help from the Results box ----

// The run logs the help cases start from, as model lines (an empty list: a new document).
const Lines kDataErrors = {"File Format:3.0", "Units:English;"};
const Lines kFormatErrors = {"Units: English;", "Member Property: X = 0; E = 29000; I = 448;"};
const Lines kTwoLoadsAtOnePoint = {"File Format:3.0",
                                   "Units:English;",
                                   "Member Property: X = 0; E = 29000; I = 448;",
                                   "Support: X = 0; Disp = 0;",
                                   "Support: X = 20; Disp = 0;",
                                   "Point Load: X = 10; PLoad = -5;",
                                   "Point Load: X = 10; PLoad = -1;"};
// A cantilever far too soft for its load (A2); a single pin would be a mechanism (A3).
const Lines kUnstable = {"File Format:3.0", "Units:English;",
                         "Member Property: X = 0; E = 29; I = 448;",
                         "Support: X = 0; Disp = 0; Rotation = 0;", "Point Load: X = 20; PLoad = -5;"};

struct HelpCase {
  const char* what;
  const Lines* model;  // nullptr: the new document
  int line;            // of the Results box
  const char* lineStart;
  QStringList topics;  // what the frame is asked to show
};

const HelpCase kHelpCases[] = {
    {"F2", nullptr, 0, "Error F2 - No lines in file.", {"Format Error Messages"}},
    {"counts after F2", nullptr, 1, " 1 Error(s),", {}},
    {"F1", &kFormatErrors, 0, "Error F1 - File format not defined.", {"Format Error Messages"}},
    {"cancellation", &kFormatErrors, 1, "Format errors detected", {}},
    {"D2", &kDataErrors, 1, "Error D2 - Beam property", {"Data Error Messages"}},
    {"counts after D9", &kDataErrors, 3, " 3 Error(s),", {}},
    {"W1", &kTwoLoadsAtOnePoint, 0, "Warning W1 - ", {"Warning Messages"}},
    {"running", &kTwoLoadsAtOnePoint, 2, "Running Analysis", {}},
    {"A2", &kUnstable, 3, "Error A2 - Very high displacements", {"Analysis Error Messages"}},
    {"complete", &kUnstable, 5, "Analysis Complete", {}},
};

class HelpTest : public MainFrameTest {
 protected:
  // The help window a topic opened is the frame's own; it goes before the window check.
  void TearDown() override {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->isVisible() && w->windowTitle().startsWith("Spanlab Help")) w->close();
    }
    MainFrameTest::TearDown();
  }

  // Shows the log of `c` and returns the Results box with its line ready for help.
  QPlainTextEdit* Prepare(const HelpCase& c) {
    if (c.model) OpenModel(*c.model);
    QPlainTextEdit* box = Frame().OutputPane()->ResultsBox();
    const QTextBlock block = box->document()->findBlockByNumber(c.line);
    EXPECT_TRUE(Str(block.text()).starts_with(c.lineStart)) << c.what << ": " << Results();
    return box;
  }
  // The point of the line's first characters, where a user clicks.
  static QPoint PointOnLine(QPlainTextEdit* box, int line) {
    QTextCursor cursor(box->document()->findBlockByNumber(line));
    return box->cursorRect(cursor).center() + QPoint(6, 0);
  }
  static QStringList Topics(const QSignalSpy& spy) {
    QStringList topics;
    for (const QList<QVariant>& args : spy) topics << args.at(0).toString();
    return topics;
  }
};

TEST_F(HelpTest, DoubleClickOnAMessageLineOpensTheTopicOfItsFamily) {
  for (const HelpCase& c : kHelpCases) {
    QPlainTextEdit* box = Prepare(c);
    QSignalSpy spy(&Frame(), &CMainFrame::HelpRequested);
    const QPoint at = PointOnLine(box, c.line);
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(box->textCursor().blockNumber(), c.line) << c.what;
    EXPECT_EQ(Topics(spy), c.topics) << c.what;
  }
}

TEST_F(HelpTest, F1OnAMessageLineOpensTheTopicOfItsFamily) {
  for (const HelpCase& c : kHelpCases) {
    QPlainTextEdit* box = Prepare(c);
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, PointOnLine(box, c.line));
    ASSERT_EQ(box->textCursor().blockNumber(), c.line) << c.what;
    QSignalSpy spy(&Frame(), &CMainFrame::HelpRequested);
    QTest::keyClick(box, Qt::Key_F1);
    EXPECT_EQ(Topics(spy), c.topics) << c.what;
  }

  // The Data box ignores F1, also on a text that reads like a message line.
  OpenModel({"File Format:3.0", "Point Load:Error F11 - a note;"});
  Select(Line(kSectionPointLoads, 0));
  QTest::mouseClick(PaneButton("Data"), Qt::LeftButton);
  QPlainTextEdit* data = Frame().OutputPane()->DataBox();
  ASSERT_EQ(Data(), "Error F11 - a note;");
  QTest::mouseClick(data->viewport(), Qt::LeftButton, {}, PointOnLine(data, 0));
  QSignalSpy spy(&Frame(), &CMainFrame::HelpRequested);
  QTest::keyClick(data, Qt::Key_F1);
  EXPECT_EQ(Topics(spy), QStringList{});
}

TEST_F(HelpTest, DoubleClickInTheDataBoxOpensNoHelp) {
  // A selected line shows in the Data box; this one reads like a message line.
  OpenModel({"File Format:3.0", "Point Load:Error F11 - a note;"});
  Select(Line(kSectionPointLoads, 0));
  QTest::mouseClick(PaneButton("Data"), Qt::LeftButton);
  QPlainTextEdit* box = Frame().OutputPane()->DataBox();
  ASSERT_EQ(Data(), "Error F11 - a note;");
  QSignalSpy spy(&Frame(), &CMainFrame::HelpRequested);
  const QPoint at = PointOnLine(box, 0);
  QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, at);
  EXPECT_EQ(Topics(spy), QStringList{});
}

// ---- Clipboard ----

TEST_F(MainFrameTest, CopyToClipboardPutsThePictureOfTheView) {
  OpenModel(kSimpleBeam);
  Trigger("moment");
  QApplication::clipboard()->clear();
  Trigger("copyPlot");
  const QImage image = QApplication::clipboard()->image();
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), Frame().ResultsView()->size() * Frame().devicePixelRatio());
  EXPECT_EQ(image, Frame().ResultsView()->grab().toImage());
}

TEST_F(MainFrameTest, CtrlTCopiesTheTabDelimitedDetails) {
  OpenModel(kSimpleBeam);
  Frame().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
  QApplication::clipboard()->clear();
  options_.m_nDataPoints = 0;
  QTest::keyClick(&Frame(), Qt::Key_T, Qt::ControlModifier);
  const std::string text = Str(QApplication::clipboard()->text());
  EXPECT_EQ(text.rfind("X\tEI\tShear\tMoment\tRotation\tDisp\r\n"
                       "in\tkip in^2\tkips\tkip in\trad\tin\r\n"
                       "0\t12992000\t2.500\t0\t0.001385\t0\r\n",
                       0),
            0u)
      << text;
  EXPECT_EQ(text, TabDelimitedDetailsText(Frame().Document(), 0));

  // The menu command follows the print options of the moment.
  options_.m_nDataPoints = 3;
  Trigger("clipboardTab");
  EXPECT_EQ(Str(QApplication::clipboard()->text()), TabDelimitedDetailsText(Frame().Document(), 3));
  EXPECT_NE(TabDelimitedDetailsText(Frame().Document(), 3), text);
}

// ---- Window placement in the settings ----

TEST_F(MainFrameTest, FirstStartPlacesWindowAndPanesAtTheDefaults) {
  EXPECT_EQ(Frame().geometry(), QRect(20, 20, 580, 480));
  EXPECT_EQ(Tree()->width(), 200);
  EXPECT_EQ(Tree()->height(), 200);
}

TEST_F(MainFrameTest, CloseStoresThePlacementAndTheNextStartRestoresIt) {
  Frame().setGeometry(50, 60, 640, 500);
  QTest::qWait(20);
  // Drag the splitter bars: the tree 150 wide, the top row 230 high.
  auto* top = qobject_cast<QSplitter*>(Tree()->parentWidget());
  ASSERT_NE(top, nullptr);
  DragBar(top, 150 - Tree()->width());
  auto* outer = qobject_cast<QSplitter*>(top->parentWidget());
  ASSERT_NE(outer, nullptr);
  DragBar(outer, 230 - Tree()->height());
  const int treeW = Tree()->width(), treeH = Tree()->height();
  ASSERT_EQ(treeW, 150);
  ASSERT_EQ(treeH, 230);

  ASSERT_TRUE(Frame().close());
  const auto Int = [this](const char* section, const char* key) {
    const auto it = settings_.ints.find({section, key});
    EXPECT_NE(it, settings_.ints.end()) << section << "/" << key;
    return it == settings_.ints.end() ? -1 : it->second;
  };
  EXPECT_EQ(Int("Main", "Left"), 50);
  EXPECT_EQ(Int("Main", "Top"), 60);
  EXPECT_EQ(Int("Main", "Right"), 690);
  EXPECT_EQ(Int("Main", "Bottom"), 560);
  EXPECT_EQ(Int("Main", "Maximized"), 1);
  EXPECT_EQ(Int("EditTree", "Right") - Int("EditTree", "Left"), treeW);
  EXPECT_EQ(Int("EditTree", "Bottom") - Int("EditTree", "Top"), treeH);

  CMainFrame& second = *MakeFrame(settings_);
  EXPECT_EQ(second.geometry(), QRect(50, 60, 640, 500));
  EXPECT_EQ(second.Tree()->width(), treeW);
  EXPECT_EQ(second.Tree()->height(), treeH);
}

TEST_F(MainFrameTest, ClosingMaximisedStoresTheRestoredRectangle) {
  Frame().setGeometry(40, 30, 600, 450);
  Frame().showMaximized();
  ASSERT_TRUE(QTest::qWaitFor([this] { return Frame().isMaximized(); }));
  ASSERT_TRUE(Frame().close());
  const auto stored = [this](const char* key) { return settings_.GetInt("Main", key, -1); };
  EXPECT_EQ(stored("Maximized"), 3);
  EXPECT_EQ(stored("Left"), 40);
  EXPECT_EQ(stored("Top"), 30);
  EXPECT_EQ(stored("Right"), 640);
  EXPECT_EQ(stored("Bottom"), 480);
}

// The tree pane as the user sees it, and the panes that share the frame with it.
struct PaneSizes {
  int treeW, treeH, resultsW, outputH;
};

PaneSizes PanesOf(CMainFrame& f) {
  return {f.Tree()->width(), f.Tree()->height(), f.ResultsView()->width(),
          f.OutputPane()->height()};
}

// Waits until the frame has taken the size the window system gave it and laid out its panes.
bool Settled(CMainFrame& f, bool maximised) {
  const bool settled = QTest::qWaitFor([&] {
    QApplication::processEvents();
    const QRect screen = f.screen()->availableGeometry();
    const bool state = maximised ? f.isMaximized() && f.frameGeometry().width() == screen.width()
                                 : !f.isMaximized() && f.width() < screen.width();
    return state && f.Columns()->width() == f.centralWidget()->width();
  });
  EXPECT_TRUE(settled) << "maximised " << f.isMaximized() << ", frame " << f.width() << " x "
                       << f.height() << ", screen " << f.screen()->availableGeometry().width()
                       << ", panes " << f.Columns()->width() << " in "
                       << f.centralWidget()->width();
  return settled;
}

TEST_F(MainFrameTest, PaneSizesStayAsLeftThroughMaximisedAndNormalStartsAndResizes) {
  // Three starts in a row through the settings file, each with a store of its own, as three
  // runs of the program.
  { QtSettingsStore().qsettings().clear(); }
  const auto startFrame = [this](QtSettingsStore& store) -> CMainFrame& {
    frames_.push_back(std::make_unique<CMainFrame>(store, options_));
    CMainFrame& f = *frames_.back();
    f.ShowAsLeft();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
    return f;
  };
  const auto stored = [](const char* section, const char* key) {
    return QtSettingsStore().GetInt(section, key, -1);
  };

  // First start: normal, the defaults; the user drags the tree to 260 x 180, maximises, quits.
  {
    QtSettingsStore store;
    CMainFrame& f = startFrame(store);
    ASSERT_TRUE(Settled(f, false));
    EXPECT_EQ(f.Tree()->width(), 200);
    EXPECT_EQ(f.Tree()->height(), 200);
    DragBar(f.Columns(), 60);
    DragBar(f.Rows(), -20);
    ASSERT_EQ(f.Tree()->width(), 260);
    ASSERT_EQ(f.Tree()->height(), 180);
    const PaneSizes normal = PanesOf(f);
    const QSize normalSize = f.size();
    f.showMaximized();
    ASSERT_TRUE(Settled(f, true));
    const PaneSizes maximised = PanesOf(f);
    EXPECT_EQ(maximised.treeW, 260);
    EXPECT_EQ(maximised.treeH, 180);
    // The other panes took the whole change.
    EXPECT_EQ(maximised.resultsW - normal.resultsW, f.width() - normalSize.width());
    EXPECT_EQ(maximised.outputH - normal.outputH, f.height() - normalSize.height());
    ASSERT_TRUE(f.close());
  }
  EXPECT_EQ(stored("Main", "Maximized"), 3);
  EXPECT_EQ(stored("EditTree", "Right") - stored("EditTree", "Left"), 260);
  EXPECT_EQ(stored("EditTree", "Bottom") - stored("EditTree", "Top"), 180);

  // Second start: maximised at once; the window is restored to normal and closed.
  {
    QtSettingsStore store;
    CMainFrame& f = startFrame(store);
    ASSERT_TRUE(Settled(f, true));
    EXPECT_EQ(f.Tree()->width(), 260);
    EXPECT_EQ(f.Tree()->height(), 180);
    f.showNormal();
    ASSERT_TRUE(Settled(f, false));
    EXPECT_EQ(f.Tree()->width(), 260);
    EXPECT_EQ(f.Tree()->height(), 180);
    ASSERT_TRUE(f.close());
  }
  EXPECT_EQ(stored("Main", "Maximized"), 1);
  EXPECT_EQ(stored("EditTree", "Right") - stored("EditTree", "Left"), 260);
  EXPECT_EQ(stored("EditTree", "Bottom") - stored("EditTree", "Top"), 180);

  // Third start: normal; the frame is made twice as wide and taller.
  {
    QtSettingsStore store;
    CMainFrame& f = startFrame(store);
    ASSERT_TRUE(Settled(f, false));
    const PaneSizes before = PanesOf(f);
    EXPECT_EQ(before.treeW, 260);
    EXPECT_EQ(before.treeH, 180);
    f.resize(760, 700);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.Columns()->width() == f.centralWidget()->width() &&
                                             f.width() == 760; }));
    const PaneSizes after = PanesOf(f);
    EXPECT_EQ(after.treeW, 260);
    EXPECT_EQ(after.treeH, 180);
    EXPECT_EQ(after.resultsW - before.resultsW, 180);
    EXPECT_EQ(after.outputH - before.outputH, 700 - 480);
    // Too small to show the tree's width: it comes back when there is room again.
    f.resize(1, 480);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.width() == std::max(1, f.minimumWidth()); }));
    EXPECT_LT(f.Tree()->width(), 260) << "frame " << f.width();
    f.resize(580, 480);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.width() == 580; }));
    EXPECT_EQ(f.Tree()->width(), 260);
    ASSERT_TRUE(f.close());
  }
  EXPECT_EQ(stored("EditTree", "Right") - stored("EditTree", "Left"), 260);
  EXPECT_EQ(stored("EditTree", "Bottom") - stored("EditTree", "Top"), 180);
  { QtSettingsStore().qsettings().clear(); }
}

TEST_F(MainFrameTest, SplitMovesTheBarsByKeyboardEnterKeepsEscapeRestores) {
  QAction* split = Frame().Action("split");
  ASSERT_NE(split, nullptr);
  EXPECT_EQ(split->text(), "S&plit");
  ASSERT_EQ(Tree()->width(), 200);
  ASSERT_EQ(Tree()->height(), 200);
  const auto key = [this](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QTest::keyClick(&Frame(), k, m);
  };
  const int step = KeyboardSplit::kStep;

  // Arrows move the bars, Ctrl by one pixel; Enter keeps.
  split->trigger();
  EXPECT_EQ(Frame().statusBar()->currentMessage(),
            "Move the bars with the arrow keys; Enter keeps the new sizes, Escape restores them.");
  for (int i = 0; i < 3; ++i) key(Qt::Key_Right);
  key(Qt::Key_Left, Qt::ControlModifier);
  key(Qt::Key_Down);
  key(Qt::Key_Down);
  key(Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(Tree()->width(), 200 + 3 * step - 1);
  EXPECT_EQ(Tree()->height(), 200 + 2 * step - 1);
  key(Qt::Key_Return);
  EXPECT_EQ(Frame().statusBar()->currentMessage(), "Ready");
  const int keptW = Tree()->width(), keptH = Tree()->height();
  EXPECT_EQ(Frame().Columns()->PaneSize(), keptW);
  EXPECT_EQ(Frame().Rows()->PaneSize(), keptH);
  // The split has ended: arrows move nothing any more.
  key(Qt::Key_Right);
  EXPECT_EQ(Tree()->width(), keptW);

  // Escape puts the bars back where the split started.
  split->trigger();
  for (int i = 0; i < 4; ++i) key(Qt::Key_Left);
  key(Qt::Key_Up);
  EXPECT_EQ(Tree()->width(), keptW - 4 * step);
  key(Qt::Key_Escape);
  EXPECT_EQ(Tree()->width(), keptW);
  EXPECT_EQ(Tree()->height(), keptH);

  // No command runs in the middle of a split; a click ends it and keeps the sizes.
  OpenModel(kSimpleBeam);
  split->trigger();
  key(Qt::Key_Right);
  key(Qt::Key_N, Qt::ControlModifier);  // New
  EXPECT_EQ(DocLines(), kSimpleBeam);
  QTest::mouseClick(Frame().ResultsView(), Qt::LeftButton);
  EXPECT_EQ(Tree()->width(), keptW + step);
  key(Qt::Key_Right);
  EXPECT_EQ(Tree()->width(), keptW + step);

  // The kept sizes are what the frame stores, and a resize leaves them.
  Frame().resize(Frame().width() + 100, Frame().height() + 50);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Frame().Columns()->width() == Frame().centralWidget()->width(); }));
  EXPECT_EQ(Tree()->width(), keptW + step);
  EXPECT_EQ(Tree()->height(), keptH);
  ASSERT_TRUE(Frame().close());
  EXPECT_EQ(settings_.GetInt("EditTree", "Right", -1), keptW + step);
  EXPECT_EQ(settings_.GetInt("EditTree", "Bottom", -1), keptH);
}

TEST_F(MainFrameTest, ViewMenuOrderAndOneActionPerMnemonic) {
  QMenu* view = nullptr;
  for (QAction* a : Frame().menuBar()->actions()) {
    if (a->text() == "&View") view = a->menu();
  }
  ASSERT_NE(view, nullptr);
  QStringList texts;
  for (QAction* a : view->actions()) texts << (a->isSeparator() ? "|" : a->text());
  EXPECT_EQ(texts.mid(0, 14), (QStringList{"&Toolbar", "&Status Bar", "S&plit", "|",
                                           "Show Reactions", "|", "Shear", "Moment", "Rotation",
                                           "Deflection", "Single Analysis", "Com&bination",
                                           "Influence Line", "|"}));
  // Alt+V, P must reach Split: no other entry of the menu may take the same letter.
  QStringList letters;
  for (const QString& t : texts) {
    const int amp = t.indexOf('&');
    if (amp >= 0 && amp + 1 < t.size()) letters << t.mid(amp + 1, 1).toLower();
  }
  EXPECT_EQ(letters.size(), QSet<QString>(letters.begin(), letters.end()).size())
      << Str(letters.join(' '));
}

TEST_F(MainFrameTest, SplitCollapsesAPaneAtItsSmallestSizeAndOpensItAgain) {
  QAction* split = Frame().Action("split");
  split->trigger();
  for (int i = 0; i < 200 / KeyboardSplit::kStep + 2; ++i) {
    QTest::keyClick(&Frame(), Qt::Key_Left);
  }
  EXPECT_EQ(Frame().Columns()->sizes().value(0), 0);
  QTest::keyClick(&Frame(), Qt::Key_Right);
  EXPECT_GT(Tree()->width(), KeyboardSplit::kStep);  // at once at its smallest size
  EXPECT_EQ(Frame().Columns()->PaneSize(), Tree()->width());
  QTest::keyClick(&Frame(), Qt::Key_Escape);
  EXPECT_EQ(Tree()->width(), 200);
}

TEST_F(MainFrameTest, DamagedPlacementFallsBackToTheFirstStartSize) {
  struct Case {
    const char* what;
    int left, top, right, bottom;
  };
  const Case cases[] = {
      {"right left of left", 500, 40, 100, 400},
      {"bottom above top", 40, 500, 400, 100},
      {"empty", 40, 40, 40, 40},
  };
  for (const Case& c : cases) {
    MemorySettings damaged;
    damaged.SetInt("Main", "Left", c.left);
    damaged.SetInt("Main", "Top", c.top);
    damaged.SetInt("Main", "Right", c.right);
    damaged.SetInt("Main", "Bottom", c.bottom);
    CMainFrame& f = *MakeFrame(damaged);
    EXPECT_EQ(f.geometry(), QRect(20, 20, 580, 480)) << c.what;
    f.close();
    frames_.pop_back();
  }
}

}  // namespace
}  // namespace spanlab
