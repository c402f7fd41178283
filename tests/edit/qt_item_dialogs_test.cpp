// The item dialogs driven as a user drives them: opened on a line, fields typed, buttons
// pressed, message boxes read and answered, nested dialogs worked through.
//
// Modal windows are answered by polling for the active modal widget. Each answer lives in a
// scoped object with a time limit, so a window that never opens fails the test instead of
// hanging it, and a box that should not appear cannot be answered by a later test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QFontMetrics>
#include <QScrollBar>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "edit/qt_item_dialogs.h"
#include "edit/tree_sections.h"
#include "platform/settings.h"
#include "run/document.h"
#include "tests/support/gui_test_helpers.h"

namespace spanlab {
namespace {

using Lines = std::vector<std::string>;
using Texts = std::vector<QString>;

// Answers the next modal window (other than `notThis`) that opens while the object lives.
class NextModal {
 public:
  explicit NextModal(std::function<void(QWidget*)> answer, QWidget* notThis = nullptr)
      : answer_(std::move(answer)), notThis_(notThis) {
    clock_.start();
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* w = QApplication::activeModalWidget();
      if (w && w != notThis_ && w->isVisible()) {
        timer_.stop();
        answered_ = true;
        answer_(w);
      } else if (clock_.elapsed() > 5000) {
        timer_.stop();
      }
    });
    timer_.start(10);
  }
  bool answered() const { return answered_; }

 private:
  std::function<void(QWidget*)> answer_;
  QWidget* notThis_;
  QTimer timer_;
  QElapsedTimer clock_;
  bool answered_ = false;
};

// What a message box said; the box is closed with its first button.
struct Message {
  QString title, text;
  QStringList buttons;
};

std::unique_ptr<NextModal> CloseNextMessage(Message& out, QWidget* notThis = nullptr) {
  return std::make_unique<NextModal>(
      [&out](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box) {
          out.text = "<not a message box: " + w->windowTitle() + ">";
          w->close();
          return;
        }
        out.title = box->windowTitle();
        out.text = box->text();
        for (QAbstractButton* b : box->buttons()) out.buttons << b->text().remove('&');
        box->buttons().first()->click();
      },
      notThis);
}

// Runs `user` on the next modal dialog of type T (any other window is closed).
template <class T>
std::unique_ptr<NextModal> OnNextDialog(std::function<void(T*)> user, QWidget* notThis = nullptr) {
  return std::make_unique<NextModal>(
      [user](QWidget* w) {
        if (T* d = qobject_cast<T*>(w)) user(d);
        else w->close();
      },
      notThis);
}

QPushButton* Button(QWidget* dialog, QDialogButtonBox::StandardButton which) {
  auto* box = dialog->findChild<QDialogButtonBox*>();
  return box ? box->button(which) : nullptr;
}

QPushButton* ButtonNamed(QWidget* dialog, const QString& text) {
  for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
    if (b->text().remove('&') == text) return b;
  }
  return nullptr;
}

void Click(QAbstractButton* button) {
  ASSERT_NE(button, nullptr);
  // A radio button takes clicks on its circle and its text, not on the space beyond.
  QPoint at = button->rect().center();
  if (auto* radio = qobject_cast<QRadioButton*>(button)) {
    QStyleOptionButton option;
    option.initFrom(radio);
    at = radio->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, radio).center();
  }
  QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
}

// Replaces a field's text by typing, as a user who selected it all.
void Type(QLineEdit* field, const QString& text) {
  field->setFocus();
  field->selectAll();
  if (text.isEmpty()) QTest::keyClick(field, Qt::Key_Delete);
  else QTest::keyClicks(field, text);
}

// Types letters one key at a time with their text, as a keyboard with these letters sends
// them (QTest's own typing knows only ASCII keys).
void TypeLetters(QLineEdit* field, const QString& text) {
  field->setFocus();
  field->selectAll();
  for (const QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(field, &press);
  }
}

// The widget of type T and `text` (any text when null) in the same row as `field`, nearest to
// it on the given side.
template <class T>
T* InRow(QWidget* top, QWidget* field, bool right, const QString* text = nullptr) {
  const QRect f(field->mapTo(top, QPoint(0, 0)), field->size());
  T* best = nullptr;
  int bestDistance = 1 << 30;
  for (T* w : top->findChildren<T*>()) {
    if (!w->isVisible()) continue;
    const QPoint c = w->mapTo(top, w->rect().center());
    const int distance = right ? c.x() - f.right() : f.left() - c.x();
    if (c.y() < f.top() || c.y() > f.bottom() || distance <= 0 || distance >= bestDistance) continue;
    if (text && w->text() != *text) continue;
    best = w;
    bestDistance = distance;
  }
  return best;
}

class RecordingHelp : public HelpProvider {
 public:
  void ShowTopic(const std::string& keyword) override { topics.push_back(keyword); }
  void ShowContents() override { topics.push_back("<contents>"); }
  Lines topics;
};

class ItemDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override { items_.m_nUnits = kUnitsEnglish; }

  void TearDown() override {
    QApplication::processEvents();
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (!w->isVisible()) continue;
      ADD_FAILURE() << "window left open: " << w->metaObject()->className() << " \""
                    << w->windowTitle().toStdString() << "\"";
      w->close();
    }
  }

  // A one-line dialog, shown as the tree editor shows it.
  std::unique_ptr<CItemLineDialog> Open(int section, int mode, const std::string& line) {
    auto dialog = std::make_unique<CItemLineDialog>(*ItemDialogFor(section), mode, line, items_,
                                                    &help_, &databases_, nullptr);
    dialog->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    return dialog;
  }

  static Texts FieldTexts(CItemLineDialog& d, int count) {
    Texts texts;
    for (int i = 0; i < count; ++i) texts.push_back(d.Field(i)->text());
    return texts;
  }

  ModelItems items_;
  RecordingHelp help_;
  Databases databases_;
};

// ---- One-line dialogs ----

TEST_F(ItemDialogsTest, TitleFollowsTheMode) {
  const std::pair<int, std::pair<const char*, const char*>> cases[] = {
      {kSectionProperties, {"Add Property", "Edit Properties"}},
      {kSectionReleases, {"Add Moment Release", "Edit Moment Releases"}},
      {kSectionSupports, {"Add Support", "Edit Supports"}},
      {kSectionSprings, {"Add Spring", "Edit Springs"}},
      {kSectionPointLoads, {"Add Point Load", "Edit Point Load"}},
      {kSectionUniformLoads, {"Add Uniform Load", "Edit Uniform Load"}},
      {kSectionLiveLoad, {"Add Live Load", "Edit Live Load"}},
  };
  for (const auto& [section, titles] : cases) {
    EXPECT_EQ(Open(section, 1, "")->windowTitle(), titles.first);
    EXPECT_EQ(Open(section, 2, "")->windowTitle(), titles.second);
  }
}

TEST_F(ItemDialogsTest, UnitLabelsBesideTheFieldsFromTheUnitSystem) {
  struct Case {
    int units, section;
    Texts labels;
  };
  const Case cases[] = {
      {kUnitsEnglish, kSectionProperties, {"feet", "ksi", "in^4"}},
      {kUnitsEnglish, kSectionSupports, {"feet", "inches", "radians"}},
      {kUnitsMetric, kSectionProperties, {"m", "MPa", "cm^4"}},
      {kUnitsMetric, kSectionUniformLoads, {"m", "m", "kN/m", "kN/m"}},
      {kUnitsEnglish, kSectionLiveLoad, {"kip/ft", "", "", ""}},  // the factors have no unit
      {kUnitsConsistent, kSectionSupports, {"", "", ""}},
      {kUnitsUserDefined, kSectionPointLoads, {"", "", ""}},
  };
  for (const Case& c : cases) {
    items_.m_nUnits = c.units;
    auto dialog = Open(c.section, 1, "");
    for (size_t i = 0; i < c.labels.size(); ++i) {
      QLabel* label = InRow<QLabel>(dialog.get(), dialog->Field(static_cast<int>(i)), true);
      ASSERT_NE(label, nullptr) << c.units << " " << c.section << " " << i;
      EXPECT_EQ(label->text(), c.labels[i]) << c.units << " " << c.section << " " << i;
    }
  }
}

TEST_F(ItemDialogsTest, FieldsFromTheLineAndOkWritesItBackUnchanged) {
  const std::string comment50(50, 'm');
  struct Case {
    int section;
    std::string line;
    Texts fields;
    QString comment;
  };
  const Case cases[] = {
      {kSectionSupports, " X = 3; Rotation = 0; /wall", {"3", "", "0"}, "wall"},
      {kSectionUniformLoads, " XStart = 0; XEnd = 20; UStart = -1; UEnd = -1.5; / snow",
       {"0", "20", "-1", "-1.5"}, " snow"},
      // Not held to any overall length: 124 characters.
      {kSectionPointLoads,
       " X = 12345678.012345; PLoad = -1.234567890123; Moment = 9.8765432101234; /" + comment50,
       {"12345678.012345", "-1.234567890123", "9.8765432101234"}, QString(50, 'm')},
  };
  for (const Case& c : cases) {
    auto dialog = Open(c.section, 2, c.line);
    EXPECT_EQ(FieldTexts(*dialog, static_cast<int>(c.fields.size())), c.fields) << c.line;
    EXPECT_EQ(dialog->Comment()->text(), c.comment);
    Click(Button(dialog.get(), QDialogButtonBox::Ok));
    EXPECT_EQ(dialog->result(), QDialog::Accepted) << c.line;
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->Line(), c.line);
  }
}

TEST_F(ItemDialogsTest, AddOnAHeadingTypedFieldsBecomeTheLine) {
  // The tree editor's path: the dialog runs modally on the heading text.
  QtItemDialogs dialogs(nullptr, &help_, &databases_);
  auto user = OnNextDialog<CItemLineDialog>([](CItemLineDialog* d) {
    EXPECT_EQ(d->windowTitle(), "Add Point Load");
    EXPECT_EQ(d->focusWidget(), d->Field(0));
    Click(Button(d, QDialogButtonBox::Help));
    Type(d->Field(0), " 12 ");
    Type(d->Field(1), "-5");
    Type(d->Comment(), " crane   ");
    Click(Button(d, QDialogButtonBox::Ok));
  });
  std::string text = "Point Loads";
  ASSERT_TRUE(dialogs.Edit(kSectionPointLoads, 1, items_, text));
  EXPECT_TRUE(user->answered());
  EXPECT_EQ(text, " X = 12; PLoad = -5; / crane");
  EXPECT_EQ(help_.topics, Lines{"Editing Point Loads"});

  auto cancel = OnNextDialog<CItemLineDialog>([](CItemLineDialog* d) {
    Type(d->Field(0), "99");
    Click(Button(d, QDialogButtonBox::Cancel));
  });
  text = " X = 4;";
  EXPECT_FALSE(dialogs.Edit(kSectionReleases, 2, items_, text));
  EXPECT_EQ(text, " X = 4;");
}

TEST_F(ItemDialogsTest, ValidationFailureShowsTheMessageAndSelectsTheField) {
  struct Case {
    int section;
    std::string line;
    int field;  // the field typed into (-1: none)
    QString typed;
    int focus;  // the field that gets the focus (-1: the comment)
    QString message;
  };
  const Case cases[] = {
      {kSectionPointLoads, " X = 2; PLoad = 3;", 1, "0", 1,
       "Please enter a number other than zero or leave the field blank."},
      {kSectionPointLoads, " X = 2; PLoad = 3;", 1, "", 1,
       "Please enter a value for Point Load or Moment or both."},
      {kSectionSupports, " X = 2; Disp = 0;", 1, "  ", 1,
       "Please enter a value for Displacement or Rotation or both."},
      {kSectionSprings, " X = 2; VSpring = 3;", 1, "", 1,
       "Please enter a value for VSpring or RSpring or both."},
      {kSectionReleases, " X = 2;", 0, "-0", 0, "Please enter a valid number."},
      {kSectionSupports, " X = 2; Disp = 0;", 0, "-2", 0,
       "Please enter a number greater than or equal to zero."},
      {kSectionProperties, " X = 0; E = 29000; I = 100;", 1, " 1234567890.123456 ", 1,
       "Please enter a maximum of 15 characters."},
      {kSectionProperties, " X = 0; E = 29000; I = 100;", 2, "0", 2,
       "Please enter a number greater than zero."},
      {kSectionUniformLoads, " XStart = 5; XEnd = 10; UStart = 1; UEnd = 1;", 1, "5.0", 0,
       "XStart can not be equal to XEnd."},
      // A comment read from a file may be longer than the box takes; OK refuses it.
      {kSectionReleases, " X = 2; /" + std::string(60, 'c'), -1, "", -1,
       "Please enter no more than 50 characters."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line + " <- " + c.typed.toStdString());
    auto dialog = Open(c.section, 2, c.line);
    if (c.field >= 0) Type(dialog->Field(c.field), c.typed);
    Message message;
    auto answer = CloseNextMessage(message);
    Click(Button(dialog.get(), QDialogButtonBox::Ok));
    ASSERT_TRUE(answer->answered());
    EXPECT_EQ(message.text, c.message);
    EXPECT_EQ(message.title, "Spanlab");
    EXPECT_EQ(message.buttons, QStringList{"OK"});
    EXPECT_TRUE(dialog->isVisible());
    QLineEdit* focus = c.focus < 0 ? dialog->Comment() : dialog->Field(c.focus);
    EXPECT_EQ(dialog->focusWidget(), focus);
    EXPECT_EQ(focus->selectedText(), focus->text());
    Click(Button(dialog.get(), QDialogButtonBox::Cancel));
  }
}

TEST_F(ItemDialogsTest, CommentBoxTakesFiftyCharacters) {
  auto dialog = Open(kSectionReleases, 1, "");
  Type(dialog->Field(0), "3");
  Type(dialog->Comment(), QString(55, 'k'));
  EXPECT_EQ(dialog->Comment()->text(), QString(50, 'k'));
  Click(Button(dialog.get(), QDialogButtonBox::Ok));
  EXPECT_EQ(dialog->Line(), " X = 3; /" + std::string(50, 'k'));
}

TEST_F(ItemDialogsTest, CommentOfFiftyLettersBeyondAsciiIsAccepted) {
  // The limit counts the letters the user sees, not the bytes that hold them.
  auto dialog = Open(kSectionReleases, 1, "");
  Type(dialog->Field(0), "3");
  const QString comment = QString("Trägerstoß ").repeated(4) + QString("Lager für");
  TypeLetters(dialog->Comment(), comment);
  ASSERT_EQ(dialog->Comment()->text(), comment.left(50));
  Message message;
  auto answer = CloseNextMessage(message);
  Click(Button(dialog.get(), QDialogButtonBox::Ok));
  EXPECT_FALSE(answer->answered()) << message.text.toStdString();
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(dialog->Line(), " X = 3; /" + comment.left(49).toStdString());
  if (dialog->isVisible()) dialog->reject();
}

// ---- Properties: databases and calculator ----

TEST_F(ItemDialogsTest, DatabaseButtonsRefuseOtherUnitSystems) {
  const QString dots = "...";
  for (int units : {kUnitsConsistent, kUnitsUserDefined}) {
    items_.m_nUnits = units;
    auto dialog = Open(kSectionProperties, 2, " X = 0; E = 1; I = 2;");
    const std::pair<int, QString> buttons[] = {
        {1, "The modulus of elasticity database is available only when the units have been "
            "set to english or metric."},
        {2, "The moment of inertia database is available only when the units have been set "
            "to english or metric."},
    };
    for (const auto& [field, text] : buttons) {
      Message message;
      auto answer = CloseNextMessage(message);
      Click(InRow<QPushButton>(dialog.get(), dialog->Field(field), true, &dots));
      ASSERT_TRUE(answer->answered());
      EXPECT_EQ(message.text, text);
      EXPECT_EQ(message.title, "Spanlab");
    }
    EXPECT_EQ(FieldTexts(*dialog, 3), (Texts{"0", "1", "2"}));
  }
}

TEST_F(ItemDialogsTest, DatabaseButtonsPutTheChosenValueIntoTheField) {
  databases_.material.m_dbLines = {"0 English", "1 Steel", "2 A36      E = 29000 ",
                                   "0 Metric", "1 Steel", "2 S235     E = 210000"};
  databases_.section.m_dbLines = {"0 Metric", "1 W Shapes", "2 W310", "3 W310x97  Ix = 22200"};
  items_.m_nUnits = kUnitsMetric;
  auto dialog = Open(kSectionProperties, 2, " X = 0; E = 1; I = 2;");
  const QString dots = "...";
  const std::tuple<int, QString, QString> picks[] = {{1, "Select Material", "210000"},
                                                     {2, "Select Moment of Inertia", "22200"}};
  for (const auto& [field, title, value] : picks) {
    const QString expectedTitle = title;
    auto user = OnNextDialog<CSelectDatabaseDlg>(
        [expectedTitle](CSelectDatabaseDlg* picker) {
          EXPECT_EQ(picker->windowTitle(), expectedTitle);
          QTreeWidgetItem* item = picker->Tree()->topLevelItem(0);
          while (item && item->childCount() > 0) item = item->child(0);
          ASSERT_NE(item, nullptr);
          picker->Tree()->setCurrentItem(item);
          Click(Button(picker, QDialogButtonBox::Ok));
        },
        dialog.get());
    Click(InRow<QPushButton>(dialog.get(), dialog->Field(field), true, &dots));
    EXPECT_TRUE(user->answered());
    EXPECT_EQ(dialog->Field(field)->text(), value);
  }
  Click(Button(dialog.get(), QDialogButtonBox::Ok));
  EXPECT_EQ(dialog->Line(), " X = 0; E = 210000; I = 22200;");
}

TEST_F(ItemDialogsTest, CalcPutsAPositiveResultIntoI) {
  items_.m_nUnits = kUnitsConsistent;  // the calculator works in every unit system
  auto dialog = Open(kSectionProperties, 2, " X = 0; E = 1; I = 2;");
  const QString calcText = "Calc";
  QPushButton* calc = InRow<QPushButton>(dialog.get(), dialog->Field(2), true, &calcText);
  for (const bool ok : {true, false}) {
    auto user = OnNextDialog<CInertiaCalcDlg>(
        [ok](CInertiaCalcDlg* d) {
          Type(d->Field(0), ok ? "14814804" : "2");
          Type(d->Field(1), ok ? "1" : "3");
          Click(Button(d, ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel));
        },
        dialog.get());
    Click(calc);
    EXPECT_TRUE(user->answered());
    EXPECT_EQ(dialog->Field(2)->text(), "1.23457e+06");  // Cancel leaves it
  }
}

// ---- Units and Description ----

TEST_F(ItemDialogsTest, UnitsButtonsShowAndSetTheChoice) {
  struct Case {
    std::string text;
    int checked;  // -1: none
    int click;    // -1: OK without choosing
    std::string result;
  };
  const Case cases[] = {
      {"", 2, -1, "Consistent;"},          {" English;", 0, -1, "English;"},
      {" Metric;", 1, 0, "English;"},      {" Consistent;", 2, 1, "Metric;"},
      {" User Defined;", -1, -1, " User Defined;"}, {" User Defined;", -1, 0, "English;"},
  };
  const QString names[] = {"English", "Metric", "Consistent"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    CUnitsDlg dialog(c.text, &help_, nullptr);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Edit Units");
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(dialog.Button(i)->text(), names[i]);
      EXPECT_EQ(dialog.Button(i)->isChecked(), i == c.checked) << i;
    }
    if (c.click >= 0) Click(dialog.Button(c.click));
    Click(Button(&dialog, QDialogButtonBox::Ok));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Text(), c.result);
  }
}

TEST_F(ItemDialogsTest, UnitsButtonsStayExclusiveAfterUserDefined) {
  CUnitsDlg dialog(" User Defined;", &help_, nullptr);
  dialog.show();
  Click(dialog.Button(0));
  Click(dialog.Button(1));
  EXPECT_FALSE(dialog.Button(0)->isChecked());
  EXPECT_TRUE(dialog.Button(1)->isChecked());
  Click(dialog.Button(1));  // clicking the checked button keeps it checked
  EXPECT_TRUE(dialog.Button(1)->isChecked());
  Click(Button(&dialog, QDialogButtonBox::Ok));
  EXPECT_EQ(dialog.Text(), "Metric;");
}

// The Description dialog, narrow enough that a sentence wraps, confirmed; returns its text.
std::string ConfirmNarrowDescription(const std::string& text) {
  CDescriptionDlg dialog(text, nullptr, nullptr);
  EXPECT_EQ(dialog.windowTitle(), "Edit Description");
  EXPECT_EQ(dialog.Editor()->font().family(), "Courier New");
  EXPECT_EQ(dialog.Editor()->font().pointSize(), 10);
  dialog.Editor()->setMinimumSize(0, 0);
  dialog.Editor()->setFixedSize(200, 150);  // about 20 characters a row
  dialog.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  Click(Button(&dialog, QDialogButtonBox::Ok));
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  return dialog.Text();
}

TEST_F(ItemDialogsTest, DescriptionMarksWrappedRowsWithSoftBreaks) {
  const std::string paragraph =
      "A three-span continuous beam carrying the floor of the east wing over the loading dock";
  const std::string text = ConfirmNarrowDescription("Short title\r\n\r\n" + paragraph);
  ASSERT_EQ(text.rfind("Short title\r\n\r\n", 0), 0u) << text;
  EXPECT_NE(text.find(" \r\r\n"), std::string::npos) << text;
  // The tree's reading: one line per row, none ending in the wrap blank, together the words.
  const Lines lines = SplitSectionText(text, true);
  ASSERT_GE(lines.size(), 5u);
  std::string joined;
  for (size_t i = 2; i < lines.size(); ++i) {
    EXPECT_TRUE(!lines[i].empty() && lines[i].back() != ' ' && lines[i].size() <= 24) << lines[i];
    joined += (i > 2 ? " " : "") + lines[i];
  }
  EXPECT_EQ(joined, paragraph);
}

TEST_F(ItemDialogsTest, DescriptionMarksWrapsBelowTheVisibleRows) {
  std::string text;
  for (int i = 0; i < 30; ++i) {
    text += (i ? "\r\n" : "") + std::string("paragraph ") + std::to_string(i) +
            " is long enough to need a second row";
  }
  const Lines lines = SplitSectionText(ConfirmNarrowDescription(text), true);
  std::string unwrapped;
  for (const std::string& line : lines) {
    if (line.size() > 24 && unwrapped.empty()) unwrapped = line;
  }
  EXPECT_EQ(unwrapped, "");
  EXPECT_GE(lines.size(), 60u);
}

// ---- The moment of inertia calculator ----

class InertiaCalcTest : public ItemDialogsTest {
 protected:
  void SetUp() override {
    calc_ = std::make_unique<CInertiaCalcDlg>(nullptr);
    calc_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(calc_.get()));
  }
  void TearDown() override {
    calc_.reset();
    ItemDialogsTest::TearDown();
  }
  QRadioButton* Shape(const char* name) {
    const QString text = name;
    for (QRadioButton* b : calc_->findChildren<QRadioButton*>()) {
      if (b->text() == text) return b;
    }
    return nullptr;
  }
  QString LabelOf(int field) {
    QLabel* label = InRow<QLabel>(calc_.get(), calc_->Field(field), false);
    return label ? label->text() : "<none>";
  }
  QString Result() { return calc_->ResultLabel()->text(); }
  std::unique_ptr<CInertiaCalcDlg> calc_;
};

TEST_F(InertiaCalcTest, OpensOnRectangleCenterWithAnInputError) {
  EXPECT_EQ(calc_->windowTitle(), "Calculate Moment of Inertia");
  EXPECT_TRUE(Shape("Rectangle - Center")->isChecked());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(calc_->Field(i)->text(), "0");
  EXPECT_EQ(Result(), "I = Input Error");
  EXPECT_EQ(calc_->m_dResult, 0);
  EXPECT_EQ(calc_->m_strResult, "0");
  EXPECT_EQ(LabelOf(0), "b");
  EXPECT_EQ(LabelOf(1), "h");
  EXPECT_FALSE(calc_->Field(2)->isVisible());
}

TEST_F(InertiaCalcTest, ChoosingAShapeRelabelsAndRecomputesAtOnce) {
  Click(Shape("Trapezoid - Center"));
  Type(calc_->Field(0), "2");
  Type(calc_->Field(1), "3");
  Type(calc_->Field(2), "4");
  struct Case {
    const char* shape;
    Texts labels;  // of the visible fields
    const char* result;
  };
  const Case cases[] = {
      {"Rectangle - Center", {"b", "h"}, "I = 4.5"},
      {"Rectangle - Edge", {"b", "h"}, "I = 18"},
      {"Triangle - Center", {"b", "h"}, "I = 1.5"},
      {"Solid Circle - Center", {"r"}, "I = 12.5664"},
      {"Pipe - Center", {"r1", "r2"}, "I = Input Error"},  // r2 = 3 > r1 = 2
      {"Trapezoid - Center", {"b1", "b2", "h"}, "I = 13.1556"},  // 64 x 37 / 180
      {"Trapezoid - Base", {"b1", "b2", "h"}, "I = 48"},
  };
  for (const Case& c : cases) {
    Click(Shape(c.shape));
    EXPECT_EQ(Result(), c.result) << c.shape;
    for (int i = 0; i < 3; ++i) {
      const bool used = i < static_cast<int>(c.labels.size());
      EXPECT_EQ(calc_->Field(i)->isVisible(), used) << c.shape << " " << i;
      if (used) {
        EXPECT_EQ(LabelOf(i), c.labels[i]) << c.shape << " " << i;
      }
    }
    // The typed values stay.
    EXPECT_EQ(calc_->Field(0)->text() + calc_->Field(1)->text() + calc_->Field(2)->text(), "234");
  }
}

TEST_F(InertiaCalcTest, OkStaysOpenOnAnInputErrorCancelGivesNoResult) {
  Click(Button(calc_.get(), QDialogButtonBox::Ok));  // the fields hold 0
  EXPECT_TRUE(calc_->isVisible());
  Click(Shape("Pipe - Center"));
  Type(calc_->Field(0), "2");
  Type(calc_->Field(1), "2");
  Click(Button(calc_.get(), QDialogButtonBox::Ok));
  EXPECT_TRUE(calc_->isVisible());
  EXPECT_EQ(Result(), "I = Input Error");
  EXPECT_EQ(calc_->m_dResult, 0);
  Type(calc_->Field(1), "1");
  Click(ButtonNamed(calc_.get(), "Calculate"));
  EXPECT_EQ(Result(), "I = 11.781");
  EXPECT_EQ(calc_->m_strResult, "11.781");
  Click(Button(calc_.get(), QDialogButtonBox::Cancel));
  EXPECT_EQ(calc_->result(), QDialog::Rejected);
  EXPECT_EQ(calc_->m_dResult, 0);
  EXPECT_EQ(calc_->m_strResult, "0");
}

TEST_F(InertiaCalcTest, TextThatIsNoNumberIsReported) {
  Type(calc_->Field(0), "2 in");
  Type(calc_->Field(1), "3");
  for (const char* button : {"OK", "Calculate"}) {
    SCOPED_TRACE(button);
    Message message;
    auto answer = CloseNextMessage(message);
    Click(ButtonNamed(calc_.get(), button));
    EXPECT_TRUE(answer->answered());
    EXPECT_EQ(message.text, "Please enter a number.");
    EXPECT_TRUE(calc_->isVisible());
    EXPECT_EQ(calc_->focusWidget(), calc_->Field(0));
    EXPECT_EQ(calc_->Field(0)->selectedText(), "2 in");
    EXPECT_EQ(Result(), "I = Input Error");
  }
}

TEST_F(InertiaCalcTest, ResultFollowsAShapeChoiceCalculateAndOkOnly) {
  // Typing alone leaves the result as it was.
  Type(calc_->Field(0), "2");
  Type(calc_->Field(1), "3");
  EXPECT_EQ(Result(), "I = Input Error");
  EXPECT_EQ(calc_->m_dResult, 0);
  Click(ButtonNamed(calc_.get(), "Calculate"));
  EXPECT_EQ(Result(), "I = 4.5");
  EXPECT_EQ(calc_->m_strResult, "4.5");
  Type(calc_->Field(1), "6");
  EXPECT_EQ(Result(), "I = 4.5");
  EXPECT_EQ(calc_->m_dResult, 4.5);
  // A shape choice computes with what the fields hold now.
  Click(Shape("Rectangle - Edge"));
  EXPECT_EQ(Result(), "I = 144");  // 2 x 6^3 / 3
  // Choosing the shape already chosen changes nothing.
  Type(calc_->Field(1), "3");
  Click(Shape("Rectangle - Edge"));
  EXPECT_EQ(Result(), "I = 144");
  // OK computes before it closes: the value returned is that of the fields at OK.
  Click(Button(calc_.get(), QDialogButtonBox::Ok));
  EXPECT_EQ(calc_->result(), QDialog::Accepted);
  EXPECT_EQ(calc_->m_dResult, 18);
  EXPECT_EQ(calc_->m_strResult, "18");
}

TEST_F(InertiaCalcTest, NumberCheckCoversAllThreeFieldsInOrder) {
  // The trapezoid's third field holds a text that is not a number; the rectangle hides it.
  Click(Shape("Trapezoid - Base"));
  Type(calc_->Field(0), "2");
  Type(calc_->Field(1), "x");
  Type(calc_->Field(2), "h?");
  {
    Message message;
    auto answer = CloseNextMessage(message);
    Click(ButtonNamed(calc_.get(), "Calculate"));
    EXPECT_TRUE(answer->answered());
    EXPECT_EQ(message.text, "Please enter a number.");
    EXPECT_EQ(calc_->focusWidget(), calc_->Field(1));  // the first of the two
    EXPECT_EQ(Result(), "I = Input Error");
  }
  Click(Shape("Rectangle - Center"));
  Type(calc_->Field(1), "3");
  for (const char* button : {"Calculate", "OK"}) {
    SCOPED_TRACE(button);
    Message message;
    auto answer = CloseNextMessage(message);
    Click(ButtonNamed(calc_.get(), button));
    EXPECT_TRUE(answer->answered());
    EXPECT_EQ(message.text, "Please enter a number.");
    // Computed all the same; OK stays open until the hidden field holds a number again.
    EXPECT_EQ(Result(), "I = 4.5");
    EXPECT_TRUE(calc_->isVisible());
  }
  Click(Shape("Trapezoid - Base"));
  Type(calc_->Field(2), "1");
  Click(Shape("Rectangle - Center"));
  {
    NoModalExpected none;
    Click(Button(calc_.get(), QDialogButtonBox::Ok));
  }
  EXPECT_EQ(calc_->result(), QDialog::Accepted);
  EXPECT_EQ(calc_->m_strResult, "4.5");
}

// ---- Database selection ----

TEST_F(ItemDialogsTest, SelectionEnablesOkOnlyOnEntries) {
  const DatabaseDocument materials{{"0 English", "1 Steel", "2 A36        E =  29000   ",
                                    "2 Heading only", "1 Aluminum", "2 6061-T6    E = 10000"}};
  CSelectDatabaseDlg dialog(DatabaseKind::kMaterial, materials, kUnitsEnglish, nullptr);
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Select Material");
  QTreeWidget* tree = dialog.Tree();
  ASSERT_EQ(tree->topLevelItemCount(), 2);
  QTreeWidgetItem* steel = tree->topLevelItem(0);
  EXPECT_EQ(steel->text(0), "Steel");
  EXPECT_FALSE(steel->isExpanded());
  QPushButton* ok = Button(&dialog, QDialogButtonBox::Ok);
  EXPECT_FALSE(ok->isEnabled());
  const std::pair<QTreeWidgetItem*, bool> steps[] = {
      {steel->child(0), true}, {steel, false}, {steel->child(1), false},
      {tree->topLevelItem(1)->child(0), true}, {steel->child(0), true}};
  for (const auto& [item, enabled] : steps) {
    tree->setCurrentItem(item);
    EXPECT_EQ(ok->isEnabled(), enabled) << item->text(0).toStdString();
  }
  Click(ok);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Value(), "29000");
}

// The entries line their values up in columns far to the right ("... E = 29000"): the list
// must show each entry whole at the dialog's first size, scroll sideways when the user makes
// the dialog narrower, and the dialog must open again at the size the user left it.
TEST_F(ItemDialogsTest, SelectionListShowsEveryEntryWholeAndKeepsTheUsersSize) {
  const std::string entry =
      "2 Structural steel (A36, hot rolled, plates and bars)      Fy = 36   E = 29000";
  const DatabaseDocument materials{{"0 English", "1 Steel", entry}};
  MemorySettings settings;
  QSize userSize;
  {
    CSelectDatabaseDlg dialog(DatabaseKind::kMaterial, materials, kUnitsEnglish, nullptr,
                              &settings);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTreeWidget* tree = dialog.Tree();
    tree->expandAll();
    QApplication::processEvents();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    ASSERT_EQ(tree->topLevelItem(0)->childCount(), 1);
    QTreeWidgetItem* item = tree->topLevelItem(0)->child(0);
    ASSERT_EQ(item->text(0).toStdString(), entry.substr(2));
    const int textWidth = QFontMetrics(tree->font()).horizontalAdvance(item->text(0));
    const QRect shown = tree->visualItemRect(item);
    EXPECT_GE(tree->columnWidth(0), shown.left() + textWidth) << "the column cuts the entry";
    EXPECT_LE(shown.left() + textWidth, tree->viewport()->width())
        << "the dialog opens too narrow to show the whole entry";
    EXPECT_FALSE(tree->horizontalScrollBar()->isVisible());

    // Narrower: the column keeps its width and the list scrolls sideways to the value.
    EXPECT_LT(dialog.minimumSizeHint().width(), 300);
    dialog.resize(300, 260);
    QApplication::processEvents();
    EXPECT_GE(tree->columnWidth(0), shown.left() + textWidth);
    EXPECT_TRUE(tree->horizontalScrollBar()->isVisible());
    userSize = dialog.size();
    dialog.reject();
  }
  CSelectDatabaseDlg again(DatabaseKind::kMaterial, materials, kUnitsEnglish, nullptr, &settings);
  again.show();
  EXPECT_EQ(again.size(), userSize);
  again.reject();
  // The other selection dialog keeps a size of its own.
  CSelectDatabaseDlg sections(DatabaseKind::kSection, materials, kUnitsEnglish, nullptr, &settings);
  sections.show();
  EXPECT_NE(sections.size(), userSize);
  sections.reject();
}

TEST_F(ItemDialogsTest, OkFollowsTheTextOfAnyItemCategoriesAndSubGroupsToo) {
  struct Case {
    DatabaseKind kind;
    Lines db;
    std::vector<int> path;  // child indices from the top
    bool enabled;
    std::string value;
  };
  const Case cases[] = {
      {DatabaseKind::kMaterial, {"0 English", "1 Steel E = 29000 ", "2 A36"}, {0}, true, "29000"},
      {DatabaseKind::kMaterial, {"0 English", "1 Steel E = 29000 ", "2 A36"}, {0, 0}, false, ""},
      {DatabaseKind::kSection, {"0 English", "1 Pipes Ix = 1", "2 Std"}, {0}, true, "1"},
      {DatabaseKind::kSection, {"0 English", "1 Pipes", "2 Std Iy only"}, {0, 0}, true, ""},
      {DatabaseKind::kSection, {"0 English", "1 Pipes", "2 Std = 3"}, {0, 0}, false, ""},
  };
  for (const Case& c : cases) {
    CSelectDatabaseDlg dialog(c.kind, DatabaseDocument{c.db}, kUnitsEnglish, nullptr);
    dialog.show();
    QTreeWidgetItem* item = dialog.Tree()->topLevelItem(c.path[0]);
    for (size_t i = 1; i < c.path.size() && item; ++i) item = item->child(c.path[i]);
    ASSERT_NE(item, nullptr);
    dialog.Tree()->setCurrentItem(item);
    QPushButton* ok = Button(&dialog, QDialogButtonBox::Ok);
    EXPECT_EQ(ok->isEnabled(), c.enabled) << item->text(0).toStdString();
    Click(ok);
    EXPECT_EQ(dialog.isVisible(), !c.enabled) << item->text(0).toStdString();
    EXPECT_EQ(dialog.Value(), c.value) << item->text(0).toStdString();
    dialog.close();
  }
}

TEST_F(ItemDialogsTest, DoubleClickChoosesEntriesOnly) {
  const DatabaseDocument sections{
      {"0 English", "1 W Shapes", "2 W36", "3 W36x300   Ix = 20300 ", "1 Pipes", "2 Std"}};
  CSelectDatabaseDlg dialog(DatabaseKind::kSection, sections, kUnitsEnglish, nullptr);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  EXPECT_EQ(dialog.windowTitle(), "Select Moment of Inertia");
  QTreeWidget* tree = dialog.Tree();
  auto doubleClick = [tree](QTreeWidgetItem* item) {
    tree->scrollToItem(item);
    // What a mouse sends: press, release, double click, release.
    QWidget* view = tree->viewport();
    const QPoint at = tree->visualItemRect(item).center();
    QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, at);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, at, view->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view, &dbl);
    QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, at);
  };
  QTreeWidgetItem* category = tree->topLevelItem(0);
  doubleClick(category);
  doubleClick(category->child(0));  // a sub-group
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.Value(), "");
  doubleClick(category->child(0)->child(0));
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Value(), "20300");
}

}  // namespace
}  // namespace spanlab

