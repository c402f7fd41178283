// Load combinations in the window, driven as a user drives them: the combination dialog
// opened from the tree (Add, Edit, Undo), its checks and the line it writes, the load dialogs'
// Case drop-down, and the combination selector, whose diagrams are compared with plain runs of
// the same beam with its loads factored by hand (and, for a patterned combination, with the
// largest of the plain runs of every arrangement of the live load).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/qt_main_frame.h"
#include "edit/qt_combination_dialog.h"
#include "edit/qt_item_dialogs.h"
#include "edit/qt_tree_edit.h"
#include "model/line_fields.h"
#include "model/model_file.h"
#include "model/number_text.h"
#include "platform/settings.h"
#include "run/run_driver.h"
#include "tests/support/gui_test_helpers.h"
#include "view/qt_output_pane.h"
#include "view/qt_results_view.h"

namespace spanlab {
namespace {

using Lines = std::vector<std::string>;

// Three spans of 20 ft: dead load, a snow case, a live point load on the middle span and a
// live load over every span; two strength combinations (one with the live load) and one
// service combination.
const Lines kThreeSpans = {
    "File Format:3.0",
    "Units:English;",
    "Member Property: X = 0; E = 29000; I = 800;",
    "Support: X = 0; Disp = 0;",
    "Support: X = 20; Disp = 0;",
    "Support: X = 40; Disp = 0;",
    "Support: X = 60; Disp = 0;",
    "Point Load: X = 30; PLoad = -5; Case = L;",
    "Uniform Load: XStart = 0; XEnd = 60; UStart = -1; UEnd = -1;",
    "Uniform Load: XStart = 0; XEnd = 60; UStart = -0.4; UEnd = -0.4; Case = S;",
    "Live Load: U = -0.8;",
    "Load Combination: Name = ULS1; D = 1.4; /dead only",
    "Load Combination: Name = ULS2; D = 1.2; L = 1.6; S = 0.5;",
    "Service Combination: Name = SLS1; D = 1; L = 1;",
};

// The beam of kThreeSpans with plain loads only: D x d, S x s on every span, and the live
// point load and live load times l on the spans of `loaded` (bit k: span k).
Lines Factored(double d, double s, double l, unsigned loaded) {
  auto n = [](double v) { return FormatGeneral(v, 12); };
  Lines lines(kThreeSpans.begin(), kThreeSpans.begin() + 7);
  lines.push_back("Uniform Load: XStart = 0; XEnd = 60; UStart = " + n(-d - 0.4 * s) +
                  "; UEnd = " + n(-d - 0.4 * s) + ";");
  if (loaded & 2) lines.push_back("Point Load: X = 30; PLoad = " + n(-5 * l) + ";");
  for (int span = 0; span < 3; ++span) {
    if (!(loaded & (1u << span))) continue;
    lines.push_back("Uniform Load: XStart = " + n(20 * span) + "; XEnd = " + n(20 * span + 20) +
                    "; UStart = " + n(-0.8 * l) + "; UEnd = " + n(-0.8 * l) + ";");
  }
  return lines;
}

class CombinationWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    frame_ = std::make_unique<CMainFrame>(settings_, options_);
    frame_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
  }
  void TearDown() override {
    frame_->Document().SetModifiedFlag(false);
    frame_.reset();
  }

  void OpenModel(const Lines& lines) {
    const QString path = dir_.filePath("model.spn");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const std::string bytes = WriteModelFile(lines);
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    file.close();
    ASSERT_TRUE(frame_->OpenFile(path));
  }
  const Lines& DocLines() { return frame_->Document().GetLines(); }
  CTreeEdit* Tree() { return frame_->Tree(); }
  bool HasLine(const std::string& line) {
    return std::find(DocLines().begin(), DocLines().end(), line) != DocLines().end();
  }
  QStringList SelectorTexts() {
    QStringList texts;
    for (int i = 0; i < frame_->CombinationBox()->count(); ++i) {
      texts << frame_->CombinationBox()->itemText(i);
    }
    return texts;
  }

  QTemporaryDir dir_;
  MemorySettings settings_;
  PrintOptions options_;
  std::unique_ptr<CMainFrame> frame_;
};

TEST_F(CombinationWindowTest, DialogChecksItsFieldsAndWritesTheLine) {
  const ModelItems items = BuildModelItems(kThreeSpans);
  // A new combination: a row for every case in use, factors blank.
  CombinationDialog add(kSectionLoadCombinations, 1, "", items, nullptr, nullptr);
  EXPECT_EQ(add.windowTitle(), "Add Load Combination");
  ASSERT_EQ(add.RowCount(), 3);
  EXPECT_EQ(add.CaseField(2)->currentText(), "S");
  EXPECT_EQ(add.CaseField(0)->count(), 3);  // the drop-down offers D, L, S
  struct Step {
    QString name, factor0, factor1, extraCase, extraFactor;
    const char* message;  // nullptr: accepted
  };
  const Step steps[] = {
      {"ULS1", "1.2", "1.6", "", "", "The name ULS1 is already used by another combination."},
      {"ULS 3", "1.2", "1.6", "", "", "Please enter a name of 1 to 12 letters, digits or underscores."},
      {"ULS3", "1.2", "x", "", "", "Please enter a valid number."},
      {"ULS3", "1.2", "1.6", "D", "1", "The case D is already in this combination."},
      {"ULS3", "1.2", "1.6", "Name", "1", "Please enter a case name of 1 to 12 letters, digits or underscores."},
      {"ULS3", "1.2", "-1.6", "W", "1e-1", nullptr},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name.toStdString() + " " + (step.message ? step.message : "OK"));
    add.NameField()->setText(step.name);
    add.FactorField(0)->setText(step.factor0);
    add.FactorField(1)->setText(step.factor1);
    while (add.RowCount() > 3) add.RemoveRow();
    if (!step.extraCase.isEmpty()) add.AddRow(step.extraCase, step.extraFactor);
    MessageBoxAnswer box(QMessageBox::Ok);
    add.accept();
    EXPECT_EQ(box.Shown(), step.message != nullptr);
    if (step.message) {
      EXPECT_EQ(box.text.toStdString(), step.message);
    }
  }
  // The S row without a factor is left out.
  EXPECT_EQ(add.result(), QDialog::Accepted);
  EXPECT_EQ(add.Line(), " Name = ULS3; D = 1.2; L = -1.6; W = 1e-1;");

  // Editing keeps its own name and the comment.
  CombinationDialog edit(kSectionServiceCombinations, 2, " Name = ULS1; D = 1.4; /dead only",
                         items, nullptr, nullptr);
  EXPECT_EQ(edit.windowTitle(), "Edit Service Combination");
  ASSERT_EQ(edit.RowCount(), 1);
  EXPECT_EQ(edit.CaseField(0)->currentText(), "D");
  EXPECT_EQ(edit.FactorField(0)->text(), "1.4");
  EXPECT_EQ(edit.Comment()->text(), "dead only");
  edit.accept();
  EXPECT_EQ(edit.Line(), " Name = ULS1; D = 1.4; /dead only");
}

TEST_F(CombinationWindowTest, DesignCheckDialogsFromTheSectionTable) {
  const ModelItems items = BuildModelItems(kThreeSpans);  // English
  struct Step {
    int section;
    std::vector<QString> fields;
    const char* message;  // nullptr: accepted with `line`
    const char* line;
  };
  const Step steps[] = {
      {kSectionCapacity, {"", "", ""}, "Please enter at least one value.", ""},
      {kSectionCapacity, {"350", "0", ""}, "Please enter a number greater than zero.", ""},
      {kSectionCapacity, {"350", "90", "300"}, nullptr, " Moment = 350; Shear = 90; MomentNeg = 300;"},
      {kSectionCapacity, {"", "", "300"}, nullptr, " MomentNeg = 300;"},
      {kSectionDeflectionLimit, {"", ""}, "Please enter a value for Span or Cantilever or both.", ""},
      {kSectionDeflectionLimit, {"360", ""}, nullptr, " Span = 360;"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.line);
    CItemLineDialog dialog(*ItemDialogFor(step.section), 1, "", items, nullptr, nullptr, nullptr);
    for (size_t i = 0; i < step.fields.size(); ++i) {
      dialog.Field(static_cast<int>(i))->setText(step.fields[i]);
    }
    MessageBoxAnswer box(QMessageBox::Ok);
    dialog.accept();
    EXPECT_EQ(box.Shown(), step.message != nullptr);
    if (step.message) {
      EXPECT_EQ(box.text.toStdString(), step.message);
    } else {
      EXPECT_EQ(dialog.Line(), step.line);
    }
  }
  // The capacities carry the model's units beside them.
  CItemLineDialog capacity(*ItemDialogFor(kSectionCapacity), 1, "", items, nullptr, nullptr,
                           nullptr);
  QStringList labels;
  for (QLabel* label : capacity.findChildren<QLabel*>()) labels << label->text();
  EXPECT_TRUE(labels.contains("kip ft")) << Str(labels.join('|'));
  EXPECT_TRUE(labels.contains("kips")) << Str(labels.join('|'));
}

TEST_F(CombinationWindowTest, TreeAddsEditsAndUndoesCombinationsAndLoadCases) {
  OpenModel(kThreeSpans);
  // Add a service combination through the tree and its dialog.
  Tree()->setCurrentIndex(Tree()->Section(kSectionServiceCombinations));
  ModalHandler fill([](QWidget* w) {
    auto* dialog = qobject_cast<CombinationDialog*>(w);
    if (!dialog) {
      ADD_FAILURE() << "expected the combination dialog";
      w->close();
      return;
    }
    dialog->NameField()->setText("SLS2");
    dialog->FactorField(0)->setText("1");
    dialog->FactorField(2)->setText("0.7");
    QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
  });
  frame_->Action("add")->trigger();
  ASSERT_TRUE(fill.Handled());
  EXPECT_TRUE(HasLine("Service Combination: Name = SLS2; D = 1; S = 0.7;"))
      << ::testing::PrintToString(DocLines());
  // A combination comes last among its section's lines: their order is the selector's.
  EXPECT_EQ(DocLines().back(), "Service Combination: Name = SLS2; D = 1; S = 0.7;");
  EXPECT_EQ(frame_->Action("undo")->text(), "&Undo Add Service Combination");
  EXPECT_EQ(frame_->Document().GetItems().m_combinations.size(), 4u);  // it ran without error
  frame_->Undo();
  EXPECT_FALSE(HasLine("Service Combination: Name = SLS2; D = 1; S = 0.7;"));
  EXPECT_EQ(DocLines(), kThreeSpans);

  // Edit the first load combination: the dialog opens on its line.
  Tree()->setCurrentIndex(Tree()->Line(kSectionLoadCombinations, 0));
  ModalHandler change([](QWidget* w) {
    auto* dialog = qobject_cast<CombinationDialog*>(w);
    if (!dialog) {
      ADD_FAILURE() << "expected the combination dialog";
      w->close();
      return;
    }
    EXPECT_EQ(dialog->NameField()->text(), "ULS1");
    EXPECT_EQ(dialog->FactorField(0)->text(), "1.4");
    dialog->FactorField(0)->setText("1.35");
    dialog->accept();
  });
  frame_->Action("edit")->trigger();
  ASSERT_TRUE(change.Handled());
  EXPECT_TRUE(HasLine("Load Combination: Name = ULS1; D = 1.35; /dead only"));
  EXPECT_FALSE(HasLine("Load Combination: Name = ULS1; D = 1.4; /dead only"));
  // The edited line stays in its place and stays selected.
  EXPECT_EQ(Tree()->currentIndex(), Tree()->Line(kSectionLoadCombinations, 0));

  // A point load's case: the drop-down of the cases in use, a blank for the default case.
  Tree()->setCurrentIndex(Tree()->Line(kSectionPointLoads, 0));
  ModalHandler caseField([](QWidget* w) {
    auto* dialog = qobject_cast<CItemLineDialog*>(w);
    auto* cases = w->findChild<QComboBox*>("case3");
    if (!dialog || !cases) {
      ADD_FAILURE() << "expected the point load dialog with its case drop-down";
      w->close();
      return;
    }
    EXPECT_EQ(cases->currentText(), "L");
    QStringList offered;
    for (int i = 0; i < cases->count(); ++i) offered << cases->itemText(i);
    EXPECT_EQ(offered, (QStringList{"D", "L", "S"}));
    cases->setCurrentIndex(2);
    dialog->accept();
  });
  frame_->Action("edit")->trigger();
  ASSERT_TRUE(caseField.Handled());
  EXPECT_TRUE(HasLine("Point Load: X = 30; PLoad = -5; Case = S;"));
}

TEST_F(CombinationWindowTest, SelectorShowsEachCombinationAsPlainRunsGiveIt) {
  // Without combination lines there is no selector.
  OpenModel(Lines(kThreeSpans.begin(), kThreeSpans.begin() + 11));
  EXPECT_FALSE(frame_->CombinationBoxAction()->isVisible());
  EXPECT_FALSE(frame_->CombinationMenu()->menuAction()->isEnabled());

  OpenModel(kThreeSpans);
  ASSERT_EQ(frame_->Document().GetDesign().combinations.size(), 3u)
      << Str(frame_->OutputPane()->ResultsBox()->toPlainText());
  ASSERT_TRUE(frame_->CombinationBoxAction()->isVisible());
  EXPECT_EQ(SelectorTexts(), (QStringList{"All (envelope)", "ULS1", "ULS2",
                                          "ULS2 - pattern envelope", "SLS1",
                                          "SLS1 - pattern envelope"}));
  CSPLX_30View* view = frame_->ResultsView();
  const CSPLX_30Doc& doc = frame_->Document();
  EXPECT_EQ(&view->Shown().envelope, &doc.GetEnvelope());  // All: the run's own envelope
  frame_->Toggle(ViewToggle::kMoment);

  auto near = [](double a, double b, double scale) { return std::fabs(a - b) <= 1e-7 * scale; };
  // ULS1 and ULS2 single: the factored loads as one plain run (every span loaded).
  struct Single {
    int entry;
    double d, s, l;
  };
  for (const Single& c : {Single{1, 1.4, 0, 0}, Single{2, 1.2, 0.5, 1.6}}) {
    SCOPED_TRACE(c.entry);
    frame_->ChooseCombination(c.entry);
    const ModelRun shown = view->Shown();
    EXPECT_TRUE(shown.envelope.empty());
    const Lines factored = Factored(c.d, c.s, c.l, c.l != 0 ? 7 : 0);
    const LinesRunResult plain = RunSnapshot(factored, ModelRunner::Mode::kChecked);
    ASSERT_EQ(plain.log.errors, 0) << plain.log.text;
    const double scale = plain.analysis->m_dMaxAbsMoment;
    EXPECT_TRUE(near(shown.analysis.m_dMaxMoment, plain.analysis->m_dMaxMoment, scale));
    EXPECT_TRUE(near(shown.analysis.m_dMinMoment, plain.analysis->m_dMinMoment, scale));
    EXPECT_TRUE(near(shown.analysis.m_dMaxAbsDeflection, plain.analysis->m_dMaxAbsDeflection,
                     plain.analysis->m_dMaxAbsDeflection));
  }
  // ULS2's pattern envelope: the largest and smallest moment over the 8 arrangements.
  frame_->ChooseCombination(3);
  EXPECT_EQ(frame_->CombinationBox()->currentText(), "ULS2 - pattern envelope");
  const ModelRun shown = view->Shown();
  ASSERT_FALSE(shown.envelope.empty());
  double largest = -1e300, smallest = 1e300, scale = 0;
  for (unsigned loaded = 0; loaded < 8; ++loaded) {
    const LinesRunResult plain = RunSnapshot(Factored(1.2, 0.5, 1.6, loaded), ModelRunner::Mode::kChecked);
    largest = std::max(largest, plain.analysis->m_dMaxMoment);
    smallest = std::min(smallest, plain.analysis->m_dMinMoment);
    scale = std::max(scale, plain.analysis->m_dMaxAbsMoment);
  }
  EXPECT_TRUE(near(shown.envelope.extremes[kEnvelopeMaxMoment].value, largest, scale))
      << shown.envelope.extremes[kEnvelopeMaxMoment].value << " vs " << largest;
  EXPECT_TRUE(near(shown.envelope.extremes[kEnvelopeMinMoment].value, smallest, scale))
      << shown.envelope.extremes[kEnvelopeMinMoment].value << " vs " << smallest;
  // The View menu shows the same choice; Single Analysis shows the loads as written, and a
  // choice turns it off again.
  const QList<QAction*> entries = frame_->CombinationMenu()->actions();
  ASSERT_EQ(entries.size(), 6);
  EXPECT_TRUE(entries[3]->isChecked());
  frame_->Action("singleAnalysis")->trigger();
  EXPECT_EQ(&view->Shown().analysis, &doc.GetAnalysis());
  EXPECT_TRUE(view->Shown().envelope.empty() || !ShowsEnvelope(view->Shown().envelope, frame_->Toggles()));
  entries[4]->trigger();
  EXPECT_FALSE(frame_->Action("singleAnalysis")->isChecked());
  EXPECT_EQ(frame_->CombinationBox()->currentText(), "SLS1");

  // A change of the lines keeps the choice by name; removing its line goes back to All, and
  // removing every combination line hides the selector.
  frame_->ChooseCombination(3);
  Tree()->setCurrentIndex(Tree()->Line(kSectionLoadCombinations, 0));
  {
    MessageBoxAnswer yes(QMessageBox::Yes);
    frame_->Action("delete")->trigger();
    ASSERT_TRUE(yes.Shown());
  }
  EXPECT_EQ(SelectorTexts(), (QStringList{"All (envelope)", "ULS2", "ULS2 - pattern envelope",
                                          "SLS1", "SLS1 - pattern envelope"}));
  EXPECT_EQ(frame_->CombinationBox()->currentText(), "ULS2 - pattern envelope");
  EXPECT_FALSE(view->Shown().envelope.empty());
  Tree()->setCurrentIndex(Tree()->Line(kSectionLoadCombinations, 0));
  {
    MessageBoxAnswer yes(QMessageBox::Yes);
    frame_->Action("delete")->trigger();
  }
  EXPECT_EQ(frame_->CombinationBox()->currentText(), "All (envelope)");
  Tree()->setCurrentIndex(Tree()->Line(kSectionServiceCombinations, 0));
  {
    MessageBoxAnswer yes(QMessageBox::Yes);
    frame_->Action("delete")->trigger();
  }
  EXPECT_FALSE(frame_->CombinationBoxAction()->isVisible());
  EXPECT_EQ(&view->Shown().analysis, &doc.GetAnalysis());
}

}  // namespace
}  // namespace spanlab
