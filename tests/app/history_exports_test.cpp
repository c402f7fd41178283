// The window's undo history, its export commands, the Open dialog with its beam preview, and
// the About box, driven as a user drives them.
//
// Edits go through the tree with a scripted line editor in place of the item dialogs. The
// exported results are compared byte for byte with what spanlab-cli writes for the same model
// file (the command-line program is built beside the test's folder); PDF files are read back
// with pdfinfo and pdftotext. Message boxes and file dialogs are answered by polling for the
// active modal widget, each answer scoped so that a box that should not appear cannot be
// answered by a later step.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStorageInfo>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QXmlStreamReader>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/qt_about_dialog.h"
#include "app/qt_main_frame.h"
#include "app/system_info.h"
#include "edit/line_editor.h"
#include "edit/qt_tree_edit.h"
#include "edit/tree_sections.h"
#include "model/model_file.h"
#include "platform/settings.h"
#include "report/print_options.h"
#include "run/document.h"
#include "tests/support/gui_test_helpers.h"
#include "view/qt_file_icon_dialog.h"
#include "view/qt_output_pane.h"
#include "view/qt_results_view.h"

namespace spanlab {
namespace {

using Lines = std::vector<std::string>;

// Types `path` into the name box of the file dialog that shows next and clicks its accept
// button (Save or Open).
class FileDialogAnswer {
 public:
  explicit FileDialogAnswer(const QString& path)
      : handler_([this, path](QWidget* w) {
          auto* fd = qobject_cast<QFileDialog*>(w);
          if (!fd) {
            ADD_FAILURE() << "expected a file dialog, got " << w->metaObject()->className();
            w->close();
            return;
          }
          title = fd->windowTitle();
          auto* name = fd->findChild<QLineEdit*>("fileNameEdit");
          auto* buttons = fd->findChild<QDialogButtonBox*>();
          QPushButton* ok = nullptr;
          if (buttons) {
            ok = buttons->button(QDialogButtonBox::Save);
            if (!ok) ok = buttons->button(QDialogButtonBox::Open);
          }
          if (!name || !ok) {
            ADD_FAILURE() << "the file dialog has no name box or accept button";
            fd->reject();
            return;
          }
          name->setText(path);
          QTest::mouseClick(ok, Qt::LeftButton);
        }) {}
  bool Shown() const { return handler_.Handled(); }

  QString title;

 private:
  ModalHandler handler_;
};

struct ProcessResult {
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
};

ProcessResult RunProgram(const QString& program, const QStringList& args) {
  QProcess process;
  process.start(program, args);
  ProcessResult result;
  if (!process.waitForStarted() || !process.waitForFinished(120000)) {
    ADD_FAILURE() << "could not run " << Str(program) << " " << Str(args.join(' '));
    return result;
  }
  result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  result.out = process.readAllStandardOutput();
  result.err = process.readAllStandardError();
  return result;
}

// The command-line program the test compares with.
QString CliPath() {
  // Test programs are built beside the programs (build/), or one folder below them.
  const QString here = QCoreApplication::applicationDirPath();
  if (QFileInfo(here + "/spanlab-cli").isExecutable()) return here + "/spanlab-cli";
  return QDir::cleanPath(here + "/../spanlab-cli");
}

int PdfPageCount(const QString& path) {
  const ProcessResult info = RunProgram("pdfinfo", {path});
  EXPECT_EQ(info.exitCode, 0) << info.err.toStdString();
  const QRegularExpressionMatch m =
      QRegularExpression("^Pages:\\s+(\\d+)$", QRegularExpression::MultilineOption)
          .match(QString::fromUtf8(info.out));
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The non-empty lines of one page of a PDF, trimmed.
QStringList PdfPageLines(const QString& path, int page) {
  const ProcessResult text =
      RunProgram("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), path, "-"});
  EXPECT_EQ(text.exitCode, 0) << text.err.toStdString();
  QStringList lines;
  for (const QString& line : QString::fromUtf8(text.out).split('\n')) {
    const QString t = line.trimmed().remove(QChar('\f'));
    if (!t.isEmpty()) lines << t;
  }
  return lines;
}

// How many pixels of `rect` in `image` are not white.
int NonWhitePixels(const QImage& image, const QRect& rect) {
  int count = 0;
  const QRect r = rect.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) ++count;
    }
  }
  return count;
}

// The smallest rectangle holding every pixel of `rect` that is not white.
QRect InkBounds(const QImage& image, const QRect& rect) {
  QRect bounds;
  const QRect r = rect.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) bounds |= QRect(x, y, 1, 1);
    }
  }
  return bounds;
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << Str(path);
  file.write(bytes);
}

QByteArray ModelFileBytes(const Lines& lines) {
  const std::string bytes = WriteModelFile(lines);
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// A simply supported beam of 20 feet, W16x36 (E = 29000 ksi, I = 448 in^4), 5 kips at midspan.
const Lines kSimpleBeam = {
    "File Format:3.0",
    "Units:English;",
    "Member Property: X = 0; E = 29000; I = 448;",
    "Support: X = 0; Disp = 0;",
    "Support: X = 20; Disp = 0;",
    "Point Load: X = 10; PLoad = -5;",
};

// Checks, in cleanup, that nothing but the test's own frames was left open.
void ExpectNoWindowLeftOpen(const std::vector<const QWidget*>& ours) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (!w->isVisible() || w->windowType() == Qt::ToolTip) continue;
    if (std::find(ours.begin(), ours.end(), w) != ours.end()) continue;
    ADD_FAILURE() << "window left open: " << w->metaObject()->className() << " \""
                  << Str(w->windowTitle()) << "\"";
    w->close();
  }
}

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    frame_ = std::make_unique<CMainFrame>(settings_, options_);
    frame_->SetLineEditor(&editor_);
    frame_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
  }

  void TearDown() override {
    EXPECT_TRUE(editor_.AllAnswersUsed()) << "a scripted dialog answer was not used";
    ExpectNoWindowLeftOpen({frame_.get()});
    frame_->Document().SetModifiedFlag(false);
    frame_.reset();
  }

  CMainFrame& Frame() { return *frame_; }
  CTreeEdit* Tree() { return frame_->Tree(); }
  const Lines& DocLines() { return frame_->Document().GetLines(); }
  bool Modified() { return frame_->Document().IsModified(); }
  std::string Results() { return Str(frame_->OutputPane()->ResultsBox()->toPlainText()); }
  std::string Data() { return Str(frame_->OutputPane()->DataBox()->toPlainText()); }
  QModelIndex Heading(int section) { return Tree()->Section(section); }
  QModelIndex Line(int section, int i) { return Tree()->Line(section, i); }
  QModelIndex Current() { return Tree()->currentIndex(); }
  QString UndoText() { return frame_->Action("undo")->text(); }
  QString RedoText() { return frame_->Action("redo")->text(); }
  bool CanUndo() { return frame_->Action("undo")->isEnabled(); }
  bool CanRedo() { return frame_->Action("redo")->isEnabled(); }

  void Trigger(const char* action) {
    QAction* a = frame_->Action(action);
    ASSERT_NE(a, nullptr) << action;
    a->trigger();
  }

  // Adds a line (or sets a whole section) from the section heading, as the Add command does.
  void AddFromHeading(int section, const std::string& text) {
    Tree()->setCurrentIndex(Heading(section));
    editor_.Confirm(text);
    Trigger("add");
  }
  void EditLine(int section, int index, const std::string& text) {
    Tree()->setCurrentIndex(Line(section, index));
    editor_.Confirm(text);
    Trigger("edit");
  }
  void DeleteLine(int section, int index) {
    Tree()->setCurrentIndex(Line(section, index));
    MessageBoxAnswer yes(QMessageBox::Yes);
    Trigger("delete");
    EXPECT_TRUE(yes.Shown());
  }

  QString WriteModel(const QString& name, const Lines& lines) {
    const QString path = dir_.filePath(name);
    WriteBytes(path, ModelFileBytes(lines));
    return path;
  }

  // Opens a model file holding `lines`, as the user opens one.
  void OpenModel(const Lines& lines = kSimpleBeam) {
    ASSERT_TRUE(Frame().OpenFile(WriteModel("model.spn", lines)));
    ASSERT_EQ(DocLines(), lines);
  }

  // Saves under `path` through the Save As dialog.
  void SaveAs(const QString& path) {
    FileDialogAnswer dialog(path);
    EXPECT_TRUE(Frame().FileSaveAs());
    EXPECT_TRUE(dialog.Shown());
    EXPECT_FALSE(Modified());
  }

  QTemporaryDir dir_;
  MemorySettings settings_;
  PrintOptions options_;
  ScriptedEditor editor_;
  std::unique_ptr<CMainFrame> frame_;
};

// ---- Undo and redo ----

// One state of the model on the way: the step that led to it, its lines and its run log.
struct State {
  std::string step;
  Lines lines;
  std::string results;
};

class HistoryTest : public FrameTest {
 protected:
  // Builds the simple beam through the tree, then moves its load and deletes a support,
  // keeping every state on the way (states_[0] is the new document).
  void MakeSevenSteps() {
    Keep("");
    AddFromHeading(kSectionUnits, "English;");
    Keep("Edit Units");
    AddFromHeading(kSectionProperties, " X = 0; E = 29000; I = 448;");
    Keep("Add Property");
    AddFromHeading(kSectionSupports, " X = 0; Disp = 0;");
    Keep("Add Support");
    AddFromHeading(kSectionSupports, " X = 20; Disp = 0;");
    Keep("Add Support");
    AddFromHeading(kSectionPointLoads, " X = 10; PLoad = -5;");
    Keep("Add Point Load");
    ASSERT_EQ(DocLines(), kSimpleBeam);
    EditLine(kSectionPointLoads, 0, " X = 12; PLoad = -5;");
    Keep("Edit Point Load");
    DeleteLine(kSectionSupports, 0);
    Keep("Delete Support");
    ASSERT_EQ(DocLines(), (Lines{"File Format:3.0", "Units:English;",
                                 "Member Property: X = 0; E = 29000; I = 448;",
                                 "Support: X = 20; Disp = 0;", "Point Load: X = 12; PLoad = -5;"}));
  }

  void Keep(const std::string& step) { states_.push_back({step, DocLines(), Results()}); }

  // The window shows state `i` of states_ in every pane and names the neighbouring steps.
  void ExpectState(size_t i, const std::string& when) {
    const State& s = states_[i];
    EXPECT_EQ(DocLines(), s.lines) << when;
    EXPECT_EQ(Tree()->Content(), BuildTree(s.lines)) << when;
    EXPECT_EQ(Results(), s.results) << when;
    EXPECT_EQ(Frame().History().Steps(), states_.size() - 1) << when;
    EXPECT_EQ(CanUndo(), i > 0) << when;
    EXPECT_EQ(CanRedo(), i + 1 < states_.size()) << when;
    EXPECT_EQ(Str(UndoText()), i > 0 ? "&Undo " + s.step : "&Undo") << when;
    EXPECT_EQ(Str(RedoText()), i + 1 < states_.size() ? "&Redo " + states_[i + 1].step : "&Redo")
        << when;
  }

  std::vector<State> states_;
};

TEST_F(HistoryTest, NothingToUndoOrRedoAtStart) {
  EXPECT_FALSE(CanUndo());
  EXPECT_FALSE(CanRedo());
  EXPECT_EQ(UndoText(), "&Undo");
  EXPECT_EQ(RedoText(), "&Redo");
  // The commands do nothing then.
  Frame().Undo();
  Frame().Redo();
  Trigger("undo");
  EXPECT_TRUE(DocLines().empty());
  EXPECT_FALSE(Modified());
  EXPECT_EQ(Frame().History().Steps(), 0u);
}

TEST_F(HistoryTest, UndoAndRedoWalkThroughEveryStateOfTheModel) {
  MakeSevenSteps();
  ASSERT_EQ(states_.size(), 8u);
  // The run logs differ from state to state, so each comparison below says something.
  EXPECT_NE(states_[4].results, states_[5].results);
  EXPECT_NE(states_[6].results, states_[7].results);
  ExpectState(7, "after the edits");
  EXPECT_EQ(UndoText(), "&Undo Delete Support");

  for (size_t i = 7; i > 0; --i) {
    Trigger("undo");
    ExpectState(i - 1, "undo to state " + std::to_string(i - 1));
  }
  EXPECT_EQ(RedoText(), "&Redo Edit Units");
  EXPECT_FALSE(Modified());  // back at the new document
  Trigger("undo");  // nothing left: no change
  ExpectState(0, "undo at the first state");

  for (size_t i = 1; i < states_.size(); ++i) {
    Trigger("redo");
    ExpectState(i, "redo to state " + std::to_string(i));
    EXPECT_TRUE(Modified()) << i;
  }
  Trigger("redo");  // nothing left: no change
  ExpectState(7, "redo at the last state");

  // Two back, and the menu names what comes next in both directions.
  Frame().Undo();
  Frame().Undo();
  EXPECT_EQ(UndoText(), "&Undo Add Point Load");
  EXPECT_EQ(RedoText(), "&Redo Edit Point Load");
  Frame().Redo();
  EXPECT_EQ(UndoText(), "&Undo Edit Point Load");
  EXPECT_EQ(RedoText(), "&Redo Delete Support");
}

TEST_F(HistoryTest, KeyboardUndoAndRedo) {
  AddFromHeading(kSectionUnits, "English;");
  AddFromHeading(kSectionUnits, "Metric;");
  Frame().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
  QTest::keyClick(&Frame(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(DocLines(), (Lines{"File Format:3.0", "Units:English;"}));
  QTest::keyClick(&Frame(), Qt::Key_Backspace, Qt::AltModifier);
  EXPECT_TRUE(DocLines().empty());
  QTest::keyClick(&Frame(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(DocLines(), (Lines{"File Format:3.0", "Units:English;"}));
  QTest::keyClick(&Frame(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(DocLines(), (Lines{"File Format:3.0", "Units:Metric;"}));
}

TEST_F(HistoryTest, CancelledDialogAndRefusedDeleteRecordNoStep) {
  OpenModel();
  Tree()->setCurrentIndex(Heading(kSectionPointLoads));
  editor_.Cancel();
  Trigger("add");
  Tree()->setCurrentIndex(Line(kSectionSupports, 1));
  editor_.Cancel();
  Trigger("edit");
  {
    MessageBoxAnswer no(QMessageBox::No);
    Trigger("delete");
    EXPECT_TRUE(no.Shown());
  }
  EXPECT_EQ(Frame().History().Steps(), 0u);
  EXPECT_FALSE(CanUndo());
  EXPECT_FALSE(Modified());
}

TEST_F(HistoryTest, NewEditAfterUndoDropsTheStepsThatCouldBeRedone) {
  MakeSevenSteps();
  Frame().Undo();
  Frame().Undo();
  Frame().Undo();  // state 4: both supports, no load
  ASSERT_EQ(DocLines(), states_[4].lines);
  AddFromHeading(kSectionReleases, " X = 5;");
  EXPECT_EQ(Frame().History().Steps(), 5u);
  EXPECT_FALSE(CanRedo());
  EXPECT_EQ(RedoText(), "&Redo");
  EXPECT_EQ(UndoText(), "&Undo Add Moment Release");
  Lines withRelease = states_[4].lines;
  withRelease.push_back("Moment Release: X = 5;");
  EXPECT_EQ(DocLines(), withRelease);
  Frame().Redo();  // nothing to redo: no change
  EXPECT_EQ(DocLines(), withRelease);

  Frame().Undo();
  EXPECT_EQ(DocLines(), states_[4].lines);
  EXPECT_EQ(Results(), states_[4].results);
  EXPECT_EQ(RedoText(), "&Redo Add Moment Release");
  EXPECT_EQ(UndoText(), "&Undo Add Support");
  Frame().Redo();
  EXPECT_EQ(DocLines(), withRelease);
}

TEST_F(HistoryTest, UndoingPastTheSavedStateMarksTheDocumentModified) {
  MakeSevenSteps();
  Frame().Undo();
  Frame().Undo();  // the simple beam
  const QString path = dir_.filePath("beam.spn");
  SaveAs(path);
  EXPECT_FALSE(Frame().isWindowModified());
  EXPECT_FALSE(Frame().Action("save")->isEnabled());
  // Saving is no step.
  EXPECT_EQ(UndoText(), "&Undo Add Point Load");
  EXPECT_EQ(RedoText(), "&Redo Edit Point Load");

  struct Move {
    bool undo;
    bool modified;
  };
  const Move moves[] = {{true, true},   {true, true},   {false, true}, {false, false},
                        {false, true},  {false, true},  {true, true},  {true, false}};
  for (size_t i = 0; i < std::size(moves); ++i) {
    if (moves[i].undo) Trigger("undo");
    else Trigger("redo");
    EXPECT_EQ(Modified(), moves[i].modified) << "move " << i;
    EXPECT_EQ(Frame().isWindowModified(), moves[i].modified) << "move " << i;
    EXPECT_EQ(Frame().Action("save")->isEnabled(), moves[i].modified) << "move " << i;
  }
  ASSERT_EQ(DocLines(), kSimpleBeam);
  {
    NoModalExpected noQuestion;  // the document is as saved
    ASSERT_TRUE(Frame().FileNew());
  }
  EXPECT_TRUE(DocLines().empty());
}

TEST_F(HistoryTest, SavedStateDroppedByANewEditIsNeverReachedAgain) {
  MakeSevenSteps();
  SaveAs(dir_.filePath("moved.spn"));
  Frame().Undo();
  AddFromHeading(kSectionSprings, " X = 10; VSpring = 100;");
  Frame().Undo();
  // The state before the saved one, with the saved state gone: modified.
  EXPECT_EQ(DocLines(), states_[6].lines);
  EXPECT_TRUE(Modified());
  Frame().Redo();
  EXPECT_TRUE(Modified());
}

TEST_F(HistoryTest, SavingAnUndoneStateMakesItTheSavedOne) {
  MakeSevenSteps();
  SaveAs(dir_.filePath("first.spn"));
  Frame().Undo();
  ASSERT_TRUE(Modified());
  {
    NoModalExpected noDialog;  // the path is known now
    ASSERT_TRUE(Frame().FileSave());
  }
  EXPECT_FALSE(Modified());
  Frame().Redo();
  EXPECT_TRUE(Modified());
  Frame().Undo();
  EXPECT_FALSE(Modified());
}

TEST_F(HistoryTest, OpeningOrCreatingADocumentClearsTheHistory) {
  MakeSevenSteps();
  Frame().Undo();
  ASSERT_TRUE(CanUndo());
  ASSERT_TRUE(CanRedo());
  {
    MessageBoxAnswer no(QMessageBox::No);
    ASSERT_TRUE(Frame().FileNew());
    EXPECT_TRUE(no.Shown());
  }
  EXPECT_FALSE(CanUndo());
  EXPECT_FALSE(CanRedo());
  EXPECT_EQ(UndoText(), "&Undo");
  EXPECT_EQ(RedoText(), "&Redo");
  EXPECT_EQ(Frame().History().Steps(), 0u);

  AddFromHeading(kSectionUnits, "Metric;");
  AddFromHeading(kSectionProperties, " X = 0; E = 210000; I = 1943;");
  Frame().Undo();
  {
    // As the Open command does: the question first, then the file.
    MessageBoxAnswer no(QMessageBox::No);
    ASSERT_TRUE(Frame().SaveModified());
    EXPECT_TRUE(no.Shown());
  }
  ASSERT_TRUE(Frame().OpenFile(WriteModel("simple.spn", kSimpleBeam)));
  EXPECT_FALSE(CanUndo());
  EXPECT_FALSE(CanRedo());
  EXPECT_EQ(UndoText(), "&Undo");
  EXPECT_EQ(RedoText(), "&Redo");
  Frame().Undo();
  EXPECT_EQ(DocLines(), kSimpleBeam);
  EXPECT_FALSE(Modified());

  // After opening, the first undo goes back to the file as opened, which is as saved.
  AddFromHeading(kSectionPointLoads, " X = 15; PLoad = -1;");
  EXPECT_EQ(UndoText(), "&Undo Add Point Load");
  Frame().Undo();
  EXPECT_EQ(DocLines(), kSimpleBeam);
  EXPECT_FALSE(Modified());
  EXPECT_FALSE(CanUndo());
}

TEST_F(HistoryTest, UndoAndRedoSelectTheAffectedLineWhereItStillExists) {
  MakeSevenSteps();
  const SelectionMarker& marker = Frame().ResultsView()->State().selection;
  // Undo Delete Support: the support is back and selected; the Data box and the marker
  // follow it.
  Frame().Undo();
  ASSERT_TRUE(Current().isValid());
  EXPECT_EQ(Current(), Line(kSectionSupports, 0));
  EXPECT_EQ(Str(Current().data().toString()), " X = 0; Disp = 0;");
  EXPECT_EQ(Data(), " X = 0; Disp = 0;");
  EXPECT_EQ(marker.m_nSelType, 13);
  EXPECT_EQ(marker.m_dSelX, 0);
  // Undo, then redo the edit of the load: the moved load is selected.
  Frame().Undo();
  Frame().Redo();
  ASSERT_TRUE(Current().isValid());
  EXPECT_EQ(Current(), Line(kSectionPointLoads, 0));
  EXPECT_EQ(Data(), " X = 12; PLoad = -5;");
  EXPECT_EQ(marker.m_nSelType, 15);
  EXPECT_DOUBLE_EQ(marker.m_dSelX, 144);  // 12 feet in inches
  // Back to the simple beam and forward by Redo Add Point Load: the load is selected.
  Frame().Undo();
  Frame().Undo();
  Frame().Redo();
  ASSERT_EQ(DocLines(), kSimpleBeam);
  EXPECT_EQ(Current(), Line(kSectionPointLoads, 0));
  EXPECT_EQ(Data(), " X = 10; PLoad = -5;");
  EXPECT_EQ(marker.m_nSelType, 15);
  EXPECT_DOUBLE_EQ(marker.m_dSelX, 120);
}

// When the line a step affected is gone after undo or redo, nothing is selected, and neither
// the Data box nor the results view's marker may still show the vanished line.
TEST_F(HistoryTest, NoSelectionAndNoStaleMarkerWhenTheAffectedLineIsGone) {
  MakeSevenSteps();
  const SelectionMarker& marker = Frame().ResultsView()->State().selection;
  auto nothingSelected = [this] {
    return !Current().parent().isValid();
  };
  Frame().Undo();  // the support is back and selected
  ASSERT_EQ(Data(), " X = 0; Disp = 0;");
  Frame().Redo();  // Delete Support again
  EXPECT_TRUE(nothingSelected());
  EXPECT_EQ(Data(), "") << "the Data box still shows the deleted support";
  EXPECT_EQ(marker.m_nSelType, 10) << "the marker still frames the deleted support";

  Frame().Undo();
  Frame().Undo();
  Frame().Undo();  // Add Point Load taken back
  ASSERT_EQ(Tree()->model()->rowCount(Heading(kSectionPointLoads)), 0);
  EXPECT_TRUE(nothingSelected());
  EXPECT_EQ(Data(), "") << "the Data box still shows a line the model no longer has";
  EXPECT_EQ(marker.m_nSelType, 10) << "the marker still frames a line the model no longer has";
}

TEST_F(HistoryTest, UndoingAnEditSelectsTheLineAsItWasBefore) {
  MakeSevenSteps();
  Frame().Undo();
  Frame().Undo();  // the load is back at 10 feet
  ASSERT_EQ(DocLines(), kSimpleBeam);
  ASSERT_TRUE(Current().isValid()) << "nothing is selected after Undo Edit Point Load";
  EXPECT_EQ(Current(), Line(kSectionPointLoads, 0));
  EXPECT_EQ(Data(), " X = 10; PLoad = -5;");
}

// A model of `supports` supports; with `mixed`, in the order of a hand-written file (loads
// between the supports, the units last), which the first edit rewrites in the written order.
Lines LargeBeam(int supports, bool mixed) {
  Lines lines = {"File Format:3.0", "Member Property: X = 0; E = 29000; I = 448;"};
  for (int i = 0; i < supports; ++i) {
    lines.push_back("Support: X = " + std::to_string(10 * i) + "; Disp = 0;");
    if (mixed && i % 100 == 0) lines.push_back("Point Load: X = " + std::to_string(10 * i + 5) + "; PLoad = -1;");
  }
  if (!mixed) lines.insert(lines.begin() + 1, "Units:English;");
  else lines.push_back("Units:English;");
  return lines;
}

// Edits as the tree makes them (adds, edits that move a line, deletes, whole sections), each
// state kept, then every step undone and redone: the lines and the tree match at every state.
TEST_F(HistoryTest, LongSeriesOfTreeEditsOnALargeModelUndoesAndRedoesExactly) {
  for (const bool mixed : {false, true}) {
    const Lines first = LargeBeam(3000, mixed);
    OpenModel(first);
    states_.clear();
    Keep("");
    for (int e = 0; e < 24; ++e) {
      const int row = (e * 397) % 2900;
      switch (e % 4) {
        case 0:
          AddFromHeading(kSectionPointLoads, " X = " + std::to_string(7 * e) + "; PLoad = -2;");
          break;
        case 1:  // moves the support to the other end of the section
          EditLine(kSectionSupports, row, " X = " + std::to_string(e % 2 ? 99999 : -5) + "; Disp = 0;");
          break;
        case 2:
          DeleteLine(kSectionSupports, row);
          break;
        default:
          AddFromHeading(kSectionDescription, "Step\r\n" + std::to_string(e));
      }
      Keep("");
    }
    ASSERT_NE(DocLines(), first);
    for (size_t i = states_.size() - 1; i > 0; --i) {
      Frame().Undo();
      ASSERT_EQ(DocLines(), states_[i - 1].lines) << "undo to state " << i - 1 << (mixed ? " (mixed)" : "");
      ASSERT_EQ(Tree()->Content(), BuildTree(states_[i - 1].lines)) << i - 1;
      ASSERT_EQ(Results(), states_[i - 1].results) << i - 1;
    }
    EXPECT_FALSE(CanUndo());
    EXPECT_FALSE(Modified());
    for (size_t i = 1; i < states_.size(); ++i) {
      Frame().Redo();
      ASSERT_EQ(DocLines(), states_[i].lines) << "redo to state " << i;
      ASSERT_EQ(Tree()->Content(), BuildTree(states_[i].lines)) << i;
    }
    // A step holds its change, not the model: the first edit of the mixed file rewrites the
    // lines from the first load on, the others a line or two each.
    EXPECT_LT(Frame().History().Bytes(), mixed ? size_t{800'000} : size_t{20'000});
  }
}

TEST_F(HistoryTest, FullHistorySaysSoInTheStatusBarWhenItDropsItsOldestSteps) {
  OpenModel();
  AddFromHeading(kSectionReleases, " X = 1;");
  const size_t oneStep = Frame().History().Bytes();
  Frame().History().SetMaxBytes(2 * oneStep + oneStep / 2);
  const std::string full = "The undo history is full: the oldest changes can no longer be undone.";
  AddFromHeading(kSectionReleases, " X = 2;");
  EXPECT_NE(Str(Frame().statusBar()->currentMessage()), full);
  AddFromHeading(kSectionReleases, " X = 3;");
  EXPECT_EQ(Frame().History().Steps(), 2u);
  EXPECT_EQ(Str(Frame().statusBar()->currentMessage()), full);
  Frame().Undo();
  Frame().Undo();
  EXPECT_FALSE(CanUndo());
  EXPECT_EQ(Tree()->Content()[kSectionReleases], Lines{" X = 1;"});
  EXPECT_TRUE(Modified());  // the file as opened can no longer be reached
}

TEST_F(HistoryTest, ConvertedOlderFileStaysModifiedWhenItsEditsAreUndone) {
  const QString path = dir_.filePath("older.spn");
  WriteBytes(path,
             "/Older beam\n"
             "UNITS: ENGLISH\n"
             "MEMBER PROPERTIES\n"
             "          0  12992000\n"
             "POINT LOADS\n"
             "         10        -5\n");
  {
    MessageBoxAnswer notice(QMessageBox::Ok);
    ASSERT_TRUE(Frame().OpenFile(path));
    ASSERT_TRUE(notice.Shown());
    EXPECT_EQ(Str(notice.text), CSPLX_30Doc::kConversionNotice);
  }
  const Lines converted = DocLines();
  ASSERT_TRUE(Modified());  // the file on disk is still in the older format
  AddFromHeading(kSectionSupports, " X = 0; Disp = 0;");
  Frame().Undo();
  EXPECT_EQ(DocLines(), converted);
  EXPECT_TRUE(Modified()) << "undoing back to a converted file must still offer to save it";
  {
    MessageBoxAnswer no(QMessageBox::No);
    EXPECT_TRUE(Frame().FileNew());
    EXPECT_TRUE(no.Shown()) << "New did not ask to save the converted file";
  }
}

// ---- Exports ----

class ExportTest : public FrameTest {
 protected:
  void OpenLines(const QString& name, const Lines& lines) {
    ASSERT_TRUE(Frame().OpenFile(WriteModel(name, lines)));
    ASSERT_EQ(DocLines(), lines);
  }

  // Exports the results as CSV and JSON and compares them with the command-line program's
  // output for `model`, a file holding the document's lines.
  void ExpectResultsAsCommandLine(const QString& model, const std::string& what) {
    ASSERT_TRUE(QFileInfo::exists(CliPath())) << Str(CliPath());
    for (const char* format : {"csv", "json"}) {
      const QString out = dir_.filePath(QString("results.") + format);
      QFile::remove(out);
      ASSERT_EQ(Frame().ExportResults(out).message(), "") << what;
      QFile file(out);
      ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << what;
      const QByteArray exported = file.readAll();
      const ProcessResult cli = RunProgram(CliPath(), {"results", model, "--format", format});
      ASSERT_GT(cli.out.size(), 0) << what << " " << format << ": " << cli.err.toStdString();
      EXPECT_EQ(exported.toStdString(), cli.out.toStdString()) << what << " " << format;
    }
  }
};

TEST_F(ExportTest, PictureAsPngSvgAndPdf) {
  OpenLines("simple.spn", kSimpleBeam);
  Trigger("moment");
  Trigger("shear");

  const QString png = dir_.filePath("beam.png");
  ASSERT_EQ(Frame().ExportPicture(png, 640, 360).message(), "");
  QImage image;
  ASSERT_TRUE(image.load(png, "PNG"));
  EXPECT_EQ(image.size(), QSize(640, 360));
  EXPECT_GT(NonWhitePixels(image, image.rect()), 1000);
  // The same picture as the command-line program draws for this model and these diagrams.
  const QString cliPng = dir_.filePath("cli.png");
  const ProcessResult plot = RunProgram(CliPath(), {"plot", dir_.filePath("simple.spn"), "-o", cliPng,
                                             "--size", "640x360", "--show", "shear,moment"});
  ASSERT_EQ(plot.exitCode, 0) << plot.err.toStdString();
  QImage cliImage;
  ASSERT_TRUE(cliImage.load(cliPng, "PNG"));
  EXPECT_TRUE(image.convertToFormat(QImage::Format_RGB32) ==
              cliImage.convertToFormat(QImage::Format_RGB32));

  const QString svg = dir_.filePath("beam.svg");
  ASSERT_EQ(Frame().ExportPicture(svg, 640, 360).message(), "");
  QFile svgFile(svg);
  ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&svgFile);
  int elements = 0;
  QString root;
  while (!xml.atEnd()) {
    if (xml.readNext() == QXmlStreamReader::StartElement) {
      if (elements++ == 0) root = xml.name().toString();
    }
  }
  EXPECT_FALSE(xml.hasError()) << Str(xml.errorString());
  EXPECT_EQ(root, "svg");
  EXPECT_GT(elements, 10);
  QSvgRenderer renderer(svg);
  EXPECT_TRUE(renderer.isValid());
  EXPECT_EQ(renderer.viewBox(), QRect(0, 0, 640, 360));

  const QString pdf = dir_.filePath("beam.pdf");
  ASSERT_EQ(Frame().ExportPicture(pdf, 640, 360).message(), "");
  EXPECT_EQ(PdfPageCount(pdf), 1);
  // 640 x 360 pixels at 96 per inch: 480 x 270 points.
  const ProcessResult info = RunProgram("pdfinfo", {pdf});
  EXPECT_TRUE(QString::fromUtf8(info.out).contains(
      QRegularExpression("Page size:\\s+480 x 270 pts")))
      << info.out.toStdString();

  // Any other ending is refused, and nothing is written.
  const QString bmp = dir_.filePath("beam.bmp");
  EXPECT_EQ(Frame().ExportPicture(bmp, 640, 360).message(),
            "the picture file must end in .png, .svg or .pdf: '" + Str(bmp) + "'");
  EXPECT_FALSE(QFile::exists(bmp));
}

TEST_F(ExportTest, PictureCommandAsksForSizeAndFile) {
  OpenLines("simple.spn", kSimpleBeam);
  const QString png = dir_.filePath("asked.png");
  QString offered;
  {
    ModalHandler size([&offered](QWidget* w) {
      auto* input = qobject_cast<QInputDialog*>(w);
      if (!input) {
        ADD_FAILURE() << "expected the size box, got " << w->metaObject()->className();
        w->close();
        return;
      }
      offered = input->textValue();
      input->setTextValue("300x200");
      input->accept();
    });
    // The file dialog shows once the size box is closed.
    std::unique_ptr<FileDialogAnswer> file;
    QTimer arm;
    QObject::connect(&arm, &QTimer::timeout, [&] {
      if (size.Handled() && !file) file = std::make_unique<FileDialogAnswer>(png);
    });
    arm.start(10);
    Trigger("exportPicture");
    arm.stop();
    ASSERT_TRUE(size.Handled());
    ASSERT_TRUE(file && file->Shown());
  }
  // The box offers the size of the view on the screen.
  const QWidget* view = Frame().ResultsView();
  EXPECT_EQ(offered, QString("%1x%2").arg(view->width()).arg(view->height()));
  QImage image;
  ASSERT_TRUE(image.load(png, "PNG"));
  EXPECT_EQ(image.size(), QSize(300, 200));

  // A size that is not two whole numbers is refused with a message.
  {
    ModalHandler size([](QWidget* w) {
      auto* input = qobject_cast<QInputDialog*>(w);
      if (!input) {
        ADD_FAILURE() << "expected the size box, got " << w->metaObject()->className();
        w->close();
        return;
      }
      input->setTextValue("0x200");
      input->accept();
    });
    std::unique_ptr<MessageBoxAnswer> box;
    QTimer arm;
    QObject::connect(&arm, &QTimer::timeout, [&] {
      if (size.Handled() && !box) box = std::make_unique<MessageBoxAnswer>(QMessageBox::Ok);
    });
    arm.start(10);
    Trigger("exportPicture");
    arm.stop();
    ASSERT_TRUE(box && box->Shown());
    EXPECT_EQ(Str(box->text), "The size must be two whole numbers from 1 to 20000, e.g. 1000x600.");
  }
}

TEST_F(ExportTest, ResultsEqualTheCommandLineOutputForTheSameModel) {
  const struct {
    const char* name;
    Lines lines;
  } models[] = {
      {"simple.spn", kSimpleBeam},
      {"metric.spn",
       {"File Format:3.0", "/Cantilever", "Units:Metric;",
        "Member Property: X = 0; E = 210000; I = 1943;",
        "Support: X = 0; Disp = 0; Rotation = 0;", "Point Load: X = 2.4; PLoad = -3;",
        "Uniform Load: XStart = 0; XEnd = 2.4; UStart = -4.5; UEnd = -2;"}},
      {"springs.spn",
       {"File Format:3.0", "Units:English;", "Member Property: X = 0; E = 29000; I = 448;",
        "Member Property: X = 12; E = 29000; I = 300;", "Spring: X = 30; VSpring = 100;",
        "Support: X = 0; Disp = 0;", "Support: X = 20; Disp = -0.25;", "Moment Release: X = 25;",
        "Point Load: X = 10; PLoad = -5; Moment = 3;",
        "Uniform Load: XStart = 20; XEnd = 30; UStart = -1; UEnd = -1;"}},
      // A data error: nothing is analysed.
      {"no-support.spn",
       {"File Format:3.0", "Units:English;", "Member Property: X = 0; E = 29000; I = 448;",
        "Point Load: X = 10; PLoad = -5;"}},
      // A mechanism: the analysis reports its error.
      {"unstable.spn",
       {"File Format:3.0", "Units:English;", "Member Property: X = 0; E = 29000; I = 448;",
        "Support: X = 0; Disp = 0;", "Point Load: X = 20; PLoad = -5;"}},
  };
  for (const auto& m : models) {
    OpenLines(m.name, m.lines);
    ExpectResultsAsCommandLine(dir_.filePath(m.name), m.name);
  }
}

TEST_F(ExportTest, ResultsFollowTheStateReachedByUndo) {
  // A good model, then one that fails the data check, then back by undo.
  OpenLines("simple.spn", kSimpleBeam);
  ExpectResultsAsCommandLine(dir_.filePath("simple.spn"), "opened");
  DeleteLine(kSectionSupports, 0);
  DeleteLine(kSectionSupports, 0);
  ASSERT_TRUE(Results().starts_with("Error D9")) << Results();
  WriteModel("no-supports.spn", DocLines());
  ExpectResultsAsCommandLine(dir_.filePath("no-supports.spn"), "without supports");
  Frame().Undo();
  WriteModel("one-support.spn", DocLines());
  ExpectResultsAsCommandLine(dir_.filePath("one-support.spn"), "after one undo");
  Frame().Undo();
  ExpectResultsAsCommandLine(dir_.filePath("simple.spn"), "after two undos");
}

TEST_F(ExportTest, ResultsToAFolderThatDoesNotExistGiveAMessage) {
  OpenLines("simple.spn", kSimpleBeam);
  const QString path = dir_.filePath("missing/results.csv");
  EXPECT_NE(Frame().ExportResults(path).message(), "");
  EXPECT_FALSE(QFile::exists(path));
}

TEST_F(ExportTest, ReportPdfStartsWithTheInputData) {
  OpenLines("simple.spn", kSimpleBeam);
  // Input data, diagrams and summary, each from a new page.
  const QString pdf = dir_.filePath("report.pdf");
  ASSERT_EQ(Frame().ExportReportPdf(pdf).message(), "");
  EXPECT_EQ(PdfPageCount(pdf), 3);

  QStringList expected;
  if (Frame().ReportHeader()) expected << "Spanlab for Linux" << "Continuous beam analysis";
  expected << "Description:"
           << "Units: English"
           << "Properties - X = feet, E = ksi, I = in^4"
           << "X = 0; E = 29000; I = 448;"
           << "Moment Releases - X = feet"
           << "Supports - X = feet, Displacement = inches, Rotation = radians"
           << "X = 0; Disp = 0;"
           << "X = 20; Disp = 0;"
           << "Springs - X = feet, VSpring = kip/inch, RSpring = kip in/rad"
           << "Point Loads - X = feet, PLoad = kips, Moment = kip ft"
           << "X = 10; PLoad = -5;"
           << "Uniform Loads - XStart & XEnd = feet, UStart & UEnd = kip/ft";
  const QStringList page1 = PdfPageLines(pdf, 1);
  EXPECT_EQ(page1.mid(0, expected.size()), expected) << Str(page1.join('\n'));
  EXPECT_TRUE(page1.contains("Spanlab 3.20")) << Str(page1.join('\n'));
  EXPECT_TRUE(PdfPageLines(pdf, 3).contains("Analysis Data:"));

  // The input data alone: one page.
  options_.m_bPrintDiagrams = 0;
  options_.m_bPrintSummary = 0;
  const QString input = dir_.filePath("input.pdf");
  ASSERT_EQ(Frame().ExportReportPdf(input).message(), "");
  EXPECT_EQ(PdfPageCount(input), 1);
  EXPECT_EQ(PdfPageLines(input, 1).mid(0, expected.size()), expected);

  const QString txt = dir_.filePath("report.txt");
  EXPECT_EQ(Frame().ExportReportPdf(txt).message(), "the report is written as PDF: '" + Str(txt) + "'");
  EXPECT_FALSE(QFile::exists(txt));
}

// ---- The Open dialog and its preview ----

class OpenDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    folder_ = dir_.path();
    model_ = dir_.filePath("model.spn");
    WriteBytes(model_, ModelFileBytes(kSimpleBeam));
    older_ = dir_.filePath("older.spn");
    WriteBytes(older_, "/Older beam\nUNITS: ENGLISH\nPOINT LOADS\n         10        -5\n");
    damaged_ = dir_.filePath("damaged.spn");
    // Five lines announced, none there.
    WriteBytes(damaged_, QByteArray("Spanlab File Version = 3.0\n\x05\x00", 29));
    notes_ = dir_.filePath("notes.txt");
    WriteBytes(notes_, "not a model\n");
    ASSERT_TRUE(QDir(folder_).mkdir("sub"));
    sub_ = dir_.filePath("sub");
  }

  void TearDown() override {
    if (dialog_) dialog_->close();
    dialog_.reset();
    ExpectNoWindowLeftOpen({});
  }

  CFileIconDlg& OpenDialog() {
    dialog_ = std::make_unique<CFileIconDlg>(nullptr, folder_);
    dialog_->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
    return *dialog_;
  }

  QImage Preview() { return dialog_->PreviewArea()->grab().toImage(); }
  // The inside of the sunken frame, in the preview's own coordinates.
  QRect Inside() {
    auto* frame = qobject_cast<QFrame*>(dialog_->PreviewArea());
    return frame ? frame->contentsRect() : dialog_->PreviewArea()->rect();
  }

  // The view of the folder's files the user sees: the list or the detail view.
  QAbstractItemView* List() {
    for (const char* name : {"listView", "treeView"}) {
      auto* view = dialog_->findChild<QAbstractItemView*>(name);
      if (view && view->isVisible()) return view;
    }
    return nullptr;
  }

  // The names the file view shows, once it has `count` of them.
  QStringList ListedNames(int count) {
    QAbstractItemView* list = List();
    if (!list) return {};
    QAbstractItemModel* model = list->model();
    EXPECT_TRUE(QTest::qWaitFor([&] { return model->rowCount(list->rootIndex()) == count; }))
        << "the view shows " << model->rowCount(list->rootIndex()) << " entries";
    QStringList names;
    for (int row = 0; row < model->rowCount(list->rootIndex()); ++row) {
      names << model->index(row, 0, list->rootIndex()).data().toString();
    }
    names.sort();
    return names;
  }

  QModelIndex ListIndex(const QString& name) {
    QAbstractItemView* list = List();
    QAbstractItemModel* model = list->model();
    for (int row = 0; row < model->rowCount(list->rootIndex()); ++row) {
      const QModelIndex index = model->index(row, 0, list->rootIndex());
      if (index.data().toString() == name) return index;
    }
    return {};
  }

  // Clicks the row of `name` in the file view.
  void ClickRow(const QString& name) {
    QAbstractItemView* list = List();
    const QModelIndex index = ListIndex(name);
    ASSERT_TRUE(index.isValid()) << Str(name);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
  }

  QTemporaryDir dir_;
  QString folder_, model_, older_, damaged_, notes_, sub_;
  std::unique_ptr<CFileIconDlg> dialog_;
};

// The file list opens wide enough to read each file's name and size, and the dialog opens
// again at the size the user gave it.
TEST_F(OpenDialogTest, OpensWideEnoughForNamesAndSizesAndKeepsTheUsersSize) {
  MemorySettings settings;
  auto dialog = std::make_unique<CFileIconDlg>(nullptr, folder_, &settings);
  dialog->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
  EXPECT_TRUE(dialog->isSizeGripEnabled());
  auto* view = dialog->findChild<QTreeView*>("treeView");
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(view->isVisible()) << "the detail view (names with sizes) is not shown";
  ASSERT_TRUE(QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) > 0; }));
  QHeaderView* header = view->header();
  const int nameWidth = view->fontMetrics().horizontalAdvance("a-model-with-a-long-name.spn");
  EXPECT_GE(header->sectionSize(0), nameWidth);
  // The size column ends inside the list.
  EXPECT_LE(header->sectionViewportPosition(1) + header->sectionSize(1), view->viewport()->width());
  dialog->resize(640, 480);
  QApplication::processEvents();
  dialog->reject();
  dialog.reset();
  CFileIconDlg again(nullptr, folder_, &settings);
  again.show();
  EXPECT_EQ(again.size(), QSize(640, 480));
  again.reject();
}

TEST_F(OpenDialogTest, ShowsTheFolderAndOnlyModelFilesAtFirst) {
  CFileIconDlg& dialog = OpenDialog();
  EXPECT_EQ(dialog.windowTitle(), "Open");
  EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
  EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
  EXPECT_EQ(dialog.nameFilters(), (QStringList{"SPLX Files (*.spn)", "All Files (*.*) (*)"}));
  EXPECT_EQ(dialog.selectedNameFilter(), "SPLX Files (*.spn)");
  EXPECT_EQ(dialog.FolderLine()->text(), "Path:\t" + folder_);
  ASSERT_NE(List(), nullptr);
  EXPECT_EQ(ListedNames(4), (QStringList{"damaged.spn", "model.spn", "older.spn", "sub"}));
  dialog.selectNameFilter("All Files (*.*) (*)");
  EXPECT_EQ(ListedNames(5),
            (QStringList{"damaged.spn", "model.spn", "notes.txt", "older.spn", "sub"}));
  // The preview sits below the file list, across its width.
  ASSERT_NE(List(), nullptr);
  const QPoint listBottom = List()->mapTo(&dialog, QPoint(0, List()->height()));
  const QPoint previewTop = dialog.PreviewArea()->mapTo(&dialog, QPoint(0, 0));
  EXPECT_GT(previewTop.y(), listBottom.y());
  EXPECT_TRUE(dialog.PreviewArea()->isVisible());
}

TEST_F(OpenDialogTest, PreviewShowsTheLastModelAndKeepsItForUnreadableChoices) {
  CFileIconDlg& dialog = OpenDialog();
  // Nothing is chosen yet: an empty area.
  EXPECT_EQ(dialog.PreviewDocument().GetBeamLength(), 0);
  EXPECT_EQ(NonWhitePixels(Preview(), Inside()), 0);

  dialog.PreviewFile(model_);
  EXPECT_DOUBLE_EQ(dialog.PreviewDocument().GetBeamLength(), 240);  // 20 feet in inches
  EXPECT_EQ(dialog.PreviewDocument().GetLines(), kSimpleBeam);
  const QImage beam = Preview();
  ASSERT_GT(NonWhitePixels(beam, Inside()), 0);
  // A symmetric beam: supports at both ends, the load at midspan, drawn about the middle.
  const QRect ink = InkBounds(beam, Inside());
  const QRect inside = Inside();
  EXPECT_NEAR(ink.center().x(), inside.left() + inside.width() / 2.0, 2.0);
  EXPECT_LT(ink.left(), inside.left() + inside.width() * 0.15 + 1);
  EXPECT_GT(ink.right(), inside.left() + inside.width() * 0.85 - 2);
  EXPECT_GT(ink.left(), inside.left());
  EXPECT_LT(ink.right(), inside.right());

  // A file that cannot be read or a folder leaves the picture.
  dialog.PreviewFile(damaged_);
  EXPECT_DOUBLE_EQ(dialog.PreviewDocument().GetBeamLength(), 240);
  EXPECT_EQ(Preview(), beam);
  dialog.PreviewFile(sub_);
  EXPECT_EQ(Preview(), beam);
  dialog.PreviewFile(dir_.filePath("gone.spn"));
  EXPECT_EQ(Preview(), beam);

  // An older-version file is not converted: no beam length, an empty area.
  dialog.PreviewFile(older_);
  EXPECT_EQ(dialog.PreviewDocument().GetBeamLength(), 0);
  EXPECT_TRUE(dialog.PreviewDocument().GetLines().empty());
  EXPECT_EQ(NonWhitePixels(Preview(), Inside()), 0);
  // Neither is a text that is no model at all.
  dialog.PreviewFile(model_);
  dialog.PreviewFile(notes_);
  EXPECT_EQ(dialog.PreviewDocument().GetBeamLength(), 0);
  EXPECT_EQ(NonWhitePixels(Preview(), Inside()), 0);
  // The preview never touches the files.
  QFile file(model_);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), ModelFileBytes(kSimpleBeam));
}

TEST_F(OpenDialogTest, ChoosingInTheListUpdatesThePreview) {
  CFileIconDlg& dialog = OpenDialog();
  ASSERT_EQ(ListedNames(4).size(), 4);
  // A click on a row, as the user chooses.
  ClickRow("model.spn");
  EXPECT_DOUBLE_EQ(dialog.PreviewDocument().GetBeamLength(), 240);
  const QImage beam = Preview();
  EXPECT_GT(NonWhitePixels(beam, Inside()), 0);
  // The sub-folder and the damaged file keep the picture.
  ClickRow("sub");
  EXPECT_EQ(Preview(), beam);
  ClickRow("damaged.spn");
  EXPECT_EQ(Preview(), beam);
  // The arrow keys move through the list too: from model.spn to older.spn, which has no beam.
  ClickRow("model.spn");
  ASSERT_DOUBLE_EQ(dialog.PreviewDocument().GetBeamLength(), 240);
  const int steps = ListIndex("older.spn").row() - ListIndex("model.spn").row();
  for (int i = 0; i < std::abs(steps); ++i) {
    QTest::keyClick(List(), steps > 0 ? Qt::Key_Down : Qt::Key_Up);
  }
  ASSERT_EQ(List()->currentIndex().data().toString(), "older.spn");
  EXPECT_EQ(dialog.PreviewDocument().GetBeamLength(), 0);
  EXPECT_EQ(NonWhitePixels(Preview(), Inside()), 0);

  // Selecting by name (the name box does not have the focus then).
  List()->setFocus();
  dialog.selectFile(model_);
  EXPECT_DOUBLE_EQ(dialog.PreviewDocument().GetBeamLength(), 240);
  EXPECT_EQ(Preview(), beam);
  dialog.selectFile(older_);
  EXPECT_EQ(dialog.PreviewDocument().GetBeamLength(), 0);
  EXPECT_EQ(NonWhitePixels(Preview(), Inside()), 0);

  // A name typed into the name box selects its row.
  auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(name, nullptr);
  name->setFocus();
  name->clear();
  QTest::keyClicks(name, "model.spn");
  EXPECT_DOUBLE_EQ(dialog.PreviewDocument().GetBeamLength(), 240);
  EXPECT_EQ(Preview(), beam);
}

TEST_F(OpenDialogTest, FolderLineFollowsTheFolderShown) {
  CFileIconDlg& dialog = OpenDialog();
  ASSERT_EQ(ListedNames(4).size(), 4);
  auto goesTo = [&](const QString& folder) {
    return QTest::qWaitFor([&] { return dialog.directory().absolutePath() == folder; });
  };
  // Into the sub-folder with a double click on its row.
  ClickRow("sub");
  QAbstractItemView* list = List();
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                     list->visualRect(ListIndex("sub")).center());
  ASSERT_TRUE(goesTo(sub_));
  EXPECT_EQ(dialog.FolderLine()->text(), "Path:\t" + sub_);

  // Up with the parent button.
  auto* up = dialog.findChild<QToolButton*>("toParentButton");
  ASSERT_NE(up, nullptr);
  QTest::mouseClick(up, Qt::LeftButton);
  ASSERT_TRUE(goesTo(folder_));
  EXPECT_EQ(dialog.FolderLine()->text(), "Path:\t" + folder_);

  // A folder typed into the name box.
  auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(name, nullptr);
  name->setFocus();
  name->setText(sub_);
  QTest::keyClick(name, Qt::Key_Return);
  ASSERT_TRUE(goesTo(sub_));
  EXPECT_EQ(dialog.FolderLine()->text(), "Path:\t" + sub_);
}

TEST_F(OpenDialogTest, FolderLineFollowsTheBackAndForwardButtons) {
  CFileIconDlg& dialog = OpenDialog();
  ASSERT_EQ(ListedNames(4).size(), 4);
  auto goesTo = [&](const QString& folder) {
    return QTest::qWaitFor([&] { return dialog.directory().absolutePath() == folder; });
  };
  ClickRow("sub");
  QAbstractItemView* list = List();
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                     list->visualRect(ListIndex("sub")).center());
  ASSERT_TRUE(goesTo(sub_));
  ASSERT_EQ(dialog.FolderLine()->text(), "Path:\t" + sub_);

  auto* back = dialog.findChild<QToolButton*>("backButton");
  ASSERT_NE(back, nullptr);
  ASSERT_TRUE(back->isEnabled());
  QTest::mouseClick(back, Qt::LeftButton);
  ASSERT_TRUE(goesTo(folder_));
  EXPECT_EQ(dialog.FolderLine()->text(), "Path:\t" + folder_);

  auto* forward = dialog.findChild<QToolButton*>("forwardButton");
  ASSERT_NE(forward, nullptr);
  ASSERT_TRUE(forward->isEnabled());
  QTest::mouseClick(forward, Qt::LeftButton);
  ASSERT_TRUE(goesTo(sub_));
  EXPECT_EQ(dialog.FolderLine()->text(), "Path:\t" + sub_);
}

TEST_F(OpenDialogTest, OpenCommandOpensTheChosenFileAndStartsInItsFolderNextTime) {
  MemorySettings settings;
  PrintOptions options;
  CMainFrame frame(settings, options);
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  {
    QString title;
    ModalHandler choose([&](QWidget* w) {
      auto* dialog = qobject_cast<CFileIconDlg*>(w);
      if (!dialog) {
        ADD_FAILURE() << "expected the Open dialog, got " << w->metaObject()->className();
        w->close();
        return;
      }
      title = dialog->windowTitle();
      // Typed into the name box: selectFile() leaves a focused name box alone.
      auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
      auto* buttons = dialog->findChild<QDialogButtonBox*>();
      QPushButton* open = buttons ? buttons->button(QDialogButtonBox::Open) : nullptr;
      if (!name || !open) {
        ADD_FAILURE() << "the Open dialog has no name box or Open button";
        dialog->reject();
        return;
      }
      name->setText(model_);
      QTest::mouseClick(open, Qt::LeftButton);
      if (dialog->isVisible()) {
        ADD_FAILURE() << "the Open dialog did not accept " << Str(model_);
        dialog->reject();
      }
    });
    frame.Action("open")->trigger();
    ASSERT_TRUE(choose.Handled());
    EXPECT_EQ(title, "Open");
  }
  EXPECT_EQ(frame.Document().GetLines(), kSimpleBeam);
  EXPECT_EQ(frame.Document().GetPathName(), Str(model_));
  EXPECT_EQ(frame.RecentFiles(), QStringList{model_});

  // The next time the dialog starts in that folder and shows it; Cancel keeps the document.
  QString folderLine;
  ModalHandler cancel([&](QWidget* w) {
    if (auto* dialog = qobject_cast<CFileIconDlg*>(w)) folderLine = dialog->FolderLine()->text();
    static_cast<QDialog*>(w)->reject();
  });
  frame.Action("open")->trigger();
  ASSERT_TRUE(cancel.Handled());
  EXPECT_EQ(folderLine, "Path:\t" + folder_);
  EXPECT_EQ(frame.Document().GetLines(), kSimpleBeam);
  frame.close();
}

TEST_F(OpenDialogTest, ChangedDocumentIsOfferedForSavingOnlyAfterAFileIsChosen) {
  MemorySettings settings;
  PrintOptions options;
  CMainFrame frame(settings, options);
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  frame.Document().SetModifiedFlag(true);
  const Lines before = frame.Document().GetLines();

  // What showed, in order: the Open dialog ("dialog") and the save question ("question").
  QStringList shown;
  QString question;
  // Answers the Open dialog with `path` (empty: Cancel) and then the question with `answer`.
  std::unique_ptr<MessageBoxAnswer> saveAnswer;
  const auto openThrough = [&](const QString& path, QMessageBox::StandardButton answer) {
    shown.clear();
    saveAnswer.reset();
    ModalHandler dialog([&, path, answer](QWidget* w) {
      if (auto* box = qobject_cast<QMessageBox*>(w)) {
        shown << "question";  // asked before the dialog: answered Cancel, which ends it
        box->button(QMessageBox::Cancel)->click();
        return;
      }
      auto* fd = qobject_cast<CFileIconDlg*>(w);
      if (!fd) {
        ADD_FAILURE() << "expected the Open dialog, got " << w->metaObject()->className();
        w->close();
        return;
      }
      shown << "dialog";
      if (path.isEmpty()) {
        fd->reject();
        return;
      }
      saveAnswer = std::make_unique<MessageBoxAnswer>(answer);
      fd->findChild<QLineEdit*>("fileNameEdit")->setText(path);
      QTest::mouseClick(fd->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open),
                        Qt::LeftButton);
    });
    frame.Action("open")->trigger();
    EXPECT_TRUE(dialog.Handled());
    if (saveAnswer && saveAnswer->Shown()) {
      shown << "question";
      question = saveAnswer->text;
    }
  };

  // Cancel in the dialog: nothing is asked, the changed document stays.
  openThrough(QString(), QMessageBox::Cancel);
  EXPECT_EQ(shown, QStringList{"dialog"});
  EXPECT_EQ(frame.Document().GetLines(), before);
  EXPECT_TRUE(frame.Document().IsModified());

  // A file chosen: now the question; Cancel there keeps the document too.
  openThrough(model_, QMessageBox::Cancel);
  EXPECT_EQ(shown, (QStringList{"dialog", "question"}));
  EXPECT_EQ(question, "Save changes to Untitled?");
  EXPECT_EQ(frame.Document().GetLines(), before);
  EXPECT_TRUE(frame.Document().IsModified());

  // No: the chosen file is opened.
  openThrough(model_, QMessageBox::No);
  EXPECT_EQ(shown, (QStringList{"dialog", "question"}));
  EXPECT_EQ(frame.Document().GetLines(), kSimpleBeam);
  EXPECT_FALSE(frame.Document().IsModified());
  frame.close();
}

// ---- About box ----

class AboutTest : public ::testing::Test {
 protected:
  void TearDown() override { ExpectNoWindowLeftOpen({}); }
};

QStringList LabelTexts(const QWidget& w) {
  QStringList texts;
  for (const QLabel* label : w.findChildren<QLabel*>()) texts << label->text();
  return texts;
}

TEST_F(AboutTest, ShowsVersionMemoryAndFreeSpace) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  CAboutDlg about(dir.path(), nullptr);
  EXPECT_EQ(about.windowTitle(), "About Spanlab");
  EXPECT_TRUE(LabelTexts(about).contains("Spanlab Version 3.20")) << Str(LabelTexts(about).join('|'));

  // Total memory in KB: the kernel's MemTotal.
  const QString memory = about.MemoryLine()->text();
  const QRegularExpressionMatch m =
      QRegularExpression("^Physical Memory = (\\d+) KB$").match(memory);
  ASSERT_TRUE(m.hasMatch()) << Str(memory);
  EXPECT_EQ(Str(memory), PhysicalMemoryLine());
  QFile meminfo("/proc/meminfo");
  if (meminfo.open(QIODevice::ReadOnly)) {
    const QRegularExpressionMatch total =
        QRegularExpression("^MemTotal:\\s+(\\d+) kB$", QRegularExpression::MultilineOption)
            .match(QString::fromUtf8(meminfo.readAll()));
    ASSERT_TRUE(total.hasMatch());
    EXPECT_EQ(m.captured(1), total.captured(1));
  }

  const QString disk = about.DiskLine()->text();
  ASSERT_TRUE(disk.startsWith("Free disk space = ")) << Str(disk);
  const QRegularExpressionMatch d =
      QRegularExpression("^Free disk space = (\\d+) KB in (.*)$").match(disk);
  ASSERT_TRUE(d.hasMatch()) << Str(disk);
  EXPECT_EQ(d.captured(2), dir.path());
  // Other programs write to the disk meanwhile: within 64 MB of what the system says now.
  const double kb = QStorageInfo(dir.path()).bytesAvailable() / 1024.0;
  EXPECT_NEAR(d.captured(1).toDouble(), kb, 65536.0);
}

// A deep working folder stays on the free-space line: shortened in its middle, its start and
// its end shown, the whole line as the tooltip.
TEST_F(AboutTest, ALongFolderIsShortenedInItsMiddleOnOneLine) {
  QTemporaryDir dir;
  QString deep = dir.path();
  for (int i = 0; i < 12; ++i) deep += QString("/level-%1-of-a-deep-project-folder").arg(i);
  ASSERT_TRUE(QDir().mkpath(deep));
  CAboutDlg about(deep, nullptr);
  about.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
  QLabel* line = about.DiskLine();
  const QString shown = line->text();
  EXPECT_TRUE(shown.startsWith("Free disk space = ")) << Str(shown);
  EXPECT_TRUE(shown.contains(QChar(0x2026))) << Str(shown);
  EXPECT_TRUE(shown.endsWith("-folder")) << Str(shown);
  EXPECT_TRUE(shown.contains(" KB in " + dir.path().left(4))) << Str(shown);
  EXPECT_GE(shown.size(), 60) << "too little of the folder is left to recognise it";
  EXPECT_FALSE(line->wordWrap());
  EXPECT_LE(line->fontMetrics().horizontalAdvance(shown), line->contentsRect().width());
  EXPECT_LT(about.width(), about.screen()->availableGeometry().width());
  // Other programs write to the disk meanwhile: the number may differ by now.
  EXPECT_TRUE(line->toolTip().startsWith("Free disk space = ")) << Str(line->toolTip());
  EXPECT_TRUE(line->toolTip().endsWith(" KB in " + deep)) << Str(line->toolTip());
  about.close();
}

TEST_F(AboutTest, FreeSpaceOfAMissingFolderIsUnavailable) {
  QTemporaryDir dir;
  const QString missing = dir.filePath("no/such/folder");
  EXPECT_EQ(FreeDiskSpaceLine(Str(missing)), "Unavailable");
  CAboutDlg about(missing, nullptr);
  EXPECT_EQ(about.DiskLine()->text(), "Unavailable");
}

TEST_F(AboutTest, AboutCommandShowsTheBoxForTheWorkingFolder) {
  MemorySettings settings;
  PrintOptions options;
  CMainFrame frame(settings, options);
  frame.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
  QString title, disk;
  QStringList labels;
  ModalHandler ok([&](QWidget* w) {
    title = w->windowTitle();
    labels = LabelTexts(*w);
    if (auto* about = qobject_cast<CAboutDlg*>(w)) disk = about->DiskLine()->text();
    auto* buttons = w->findChild<QDialogButtonBox*>();
    QPushButton* button = buttons ? buttons->button(QDialogButtonBox::Ok) : nullptr;
    if (!button) {
      ADD_FAILURE() << "the About box has no OK button";
      w->close();
      return;
    }
    QTest::mouseClick(button, Qt::LeftButton);
  });
  frame.Action("about")->trigger();
  ASSERT_TRUE(ok.Handled());
  EXPECT_EQ(title, "About Spanlab");
  EXPECT_TRUE(labels.contains("Spanlab Version 3.20"));
  EXPECT_TRUE(disk.startsWith("Free disk space = ")) << Str(disk);
  EXPECT_TRUE(disk.endsWith(" KB in " + QDir::currentPath())) << Str(disk);
  frame.close();
}

}  // namespace
}  // namespace spanlab
