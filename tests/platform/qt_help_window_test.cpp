// The help window and its pages: every keyword the program asks for opens the right page at the
// right place; Back, Forward and Contents move as a reader expects; every page loads and every
// link leads to a page and a place that exist; the messages page explains every code, in its
// group, and quotes every message the checks and the analysis write in their exact words.
#include "platform/qt_help_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "run/document.h"
#include "run/run_driver.h"

namespace spanlab {
namespace {

struct Topic {
  const char* keyword;
  const char* url;    // below qrc:/help/
  const char* title;  // the page's title and first heading
};

// The keywords the program asks for (output pane, dialogs' Help buttons, Help menu) and a few
// of the help's own.
const Topic kTopics[] = {
    {"Format Error Messages", "messages.html#format", "Error and Warning Messages"},
    {"Data Error Messages", "messages.html#data", "Error and Warning Messages"},
    {"Analysis Error Messages", "messages.html#analysis", "Error and Warning Messages"},
    {"Warning Messages", "messages.html#warnings", "Error and Warning Messages"},
    {"Editing the Model Description", "description.html", "Editing the Model Description"},
    {"Editing Units", "units.html", "Units and Sign Conventions"},
    {"Editing Beam Properties", "properties.html", "Beam Properties"},
    {"Editing Moment Releases", "releases.html", "Moment Releases"},
    {"Editing Supports", "supports.html", "Supports"},
    {"Editing Springs", "springs.html", "Springs"},
    {"Editing Point Loads", "point_loads.html", "Point Loads"},
    {"Editing Uniform Loads", "uniform_loads.html", "Uniform Loads"},
    {"Editing the Live Load", "live_load.html", "Live Load"},
    {"Editing Load Combinations", "combinations.html", "Load Cases and Combinations"},
    {"Editing Design Checks", "design_checks.html", "Design Checks"},
    {"Editing Vehicles", "vehicles.html", "Vehicles"},
    {"Using Help", "using_help.html", "Using Help"},
    {"Contents", "index.html", "Spanlab Help"},
    {"Results", "results.html", "Results"},
    {"Reports", "reports.html", "Reports"},
    {"Files", "files.html", "Model Lines and Files"},
};

// Every page of the help and its title.
const std::map<QString, QString> kPages = {
    {"index.html", "Spanlab Help"},
    {"using_help.html", "Using Help"},
    {"editing.html", "Editing a Model"},
    {"analysis.html", "How the Analysis Works"},
    {"description.html", "Editing the Model Description"},
    {"units.html", "Units and Sign Conventions"},
    {"properties.html", "Beam Properties"},
    {"releases.html", "Moment Releases"},
    {"supports.html", "Supports"},
    {"springs.html", "Springs"},
    {"point_loads.html", "Point Loads"},
    {"uniform_loads.html", "Uniform Loads"},
    {"live_load.html", "Live Load"},
    {"combinations.html", "Load Cases and Combinations"},
    {"design_checks.html", "Design Checks"},
    {"vehicles.html", "Vehicles"},
    {"messages.html", "Error and Warning Messages"},
    {"results.html", "Results"},
    {"reports.html", "Reports"},
    {"files.html", "Model Lines and Files"},
};

QUrl HelpUrl(const QString& page) { return QUrl("qrc:/help/" + page); }

// Named anchors of a document and the position of the text each one marks.
std::map<QString, int> AnchorPositions(const QTextDocument& doc) {
  std::map<QString, int> anchors;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      for (const QString& name : fragment.charFormat().anchorNames()) {
        anchors.emplace(name, fragment.position());
      }
    }
  }
  return anchors;
}

QStringList LinkTargets(const QTextDocument& doc) {
  QStringList links;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat format = it.fragment().charFormat();
      if (format.isAnchor() && !format.anchorHref().isEmpty()) links << format.anchorHref();
    }
  }
  links.removeDuplicates();
  return links;
}

QString FirstHeading(const QTextDocument& doc) {
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
    if (block.blockFormat().headingLevel() == 1) return block.text().trimmed();
  }
  return {};
}

// The text between `from` and `to`, blanks made plain.
QString TextBetween(QTextDocument& doc, int from, int to) {
  QTextCursor cursor(&doc);
  cursor.setPosition(from);
  cursor.setPosition(to, QTextCursor::KeepAnchor);
  return cursor.selectedText().replace(QChar::ParagraphSeparator, '\n').replace(QChar::Nbsp, ' ');
}

// True when the text at `position` lies inside the browser's visible area.
bool IsVisibleInBrowser(QTextBrowser& browser, int position) {
  QTextCursor cursor(browser.document());
  cursor.setPosition(position);
  const QRect r = browser.cursorRect(cursor);
  return r.top() >= 0 && r.bottom() <= browser.viewport()->height();
}

class HelpWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { window_ = std::make_unique<QtHelpWindow>(); }
  void TearDown() override {
    window_.reset();
    // No window may be left open by a test.
    for (QWidget* w : QApplication::topLevelWidgets()) {
      EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    }
  }
  QTextBrowser& Browser() { return *window_->Browser(); }
  QToolButton* Button(const char* name) { return window_->findChild<QToolButton*>(name); }
  // Asks for a topic as the program does and lets the window settle as it would on screen.
  void Show(const char* keyword) {
    static_cast<HelpProvider&>(*window_).ShowTopic(keyword);
    QApplication::processEvents();
  }
  // Loads a page for reading its document.
  QTextDocument& Load(const QString& page) {
    window_->ShowUrl(HelpUrl(page));
    QApplication::processEvents();
    return *Browser().document();
  }

  std::unique_ptr<QtHelpWindow> window_;
};

TEST(HelpUrlForKeywordTest, KeywordsLeadToTheirPagesAndUnknownOnesToTheContents) {
  const QStringList known = QtHelpWindow::Keywords();
  for (const Topic& t : kTopics) {
    SCOPED_TRACE(t.keyword);
    EXPECT_EQ(QtHelpWindow::HelpUrlForKeyword(t.keyword), HelpUrl(t.url));
    EXPECT_TRUE(known.contains(t.keyword));
    // The lookup forgives case and surrounding blanks, as a keyword search does.
    EXPECT_EQ(QtHelpWindow::HelpUrlForKeyword("  " + QString(t.keyword).toUpper() + " "),
              HelpUrl(t.url));
  }
  EXPECT_EQ(QtHelpWindow::HelpUrlForKeyword("Error Messages"), HelpUrl("index.html"));
  EXPECT_EQ(QtHelpWindow::HelpUrlForKeyword(""), HelpUrl("index.html"));
  EXPECT_EQ(QtHelpWindow::ContentsUrl(), HelpUrl("index.html"));
}

TEST_F(HelpWindowTest, EveryKeywordOpensItsPageAtItsAnchor) {
  for (const Topic& t : kTopics) {
    SCOPED_TRACE(t.keyword);
    Show(t.keyword);
    EXPECT_EQ(Browser().source(), HelpUrl(t.url));
    EXPECT_EQ(Browser().documentTitle(), t.title);
    EXPECT_EQ(FirstHeading(*Browser().document()), t.title);
  }
  // Every keyword of the table, the help's own included, reaches an anchor that exists, and the
  // window shows it.
  for (const QString& keyword : QtHelpWindow::Keywords()) {
    SCOPED_TRACE(keyword.toStdString());
    Show(keyword.toStdString().c_str());
    const QUrl url = QtHelpWindow::HelpUrlForKeyword(keyword);
    ASSERT_EQ(Browser().source(), url);
    ASSERT_FALSE(Browser().document()->isEmpty());
    if (!url.hasFragment()) continue;
    const auto anchors = AnchorPositions(*Browser().document());
    const auto anchor = anchors.find(url.fragment());
    ASSERT_NE(anchor, anchors.end());
    EXPECT_TRUE(IsVisibleInBrowser(Browser(), anchor->second));
  }
}

TEST_F(HelpWindowTest, AskingAgainForTheShownTopicScrollsBackToIt) {
  Show("Warning Messages");
  QScrollBar* bar = Browser().verticalScrollBar();
  const int atWarnings = bar->value();
  EXPECT_GT(atWarnings, 0) << "the warnings lie far down the messages page";
  bar->setValue(0);  // the reader scrolls away
  Show("Warning Messages");
  EXPECT_EQ(bar->value(), atWarnings);
  EXPECT_FALSE(Button("back")->isEnabled()) << "one page seen, not two";
  // Another group of the same page is reached without reloading the page.
  Show("Format Error Messages");
  EXPECT_LT(bar->value(), atWarnings);
  EXPECT_EQ(Browser().source(), HelpUrl("messages.html#format"));
  // A page without an anchor opens at its top.
  Show("Editing Supports");
  bar->setValue(bar->maximum());
  Show("Editing Supports");
  EXPECT_EQ(bar->value(), 0);
}

TEST_F(HelpWindowTest, BackForwardAndContentsMoveThroughThePagesSeen) {
  QToolButton* back = Button("back");
  QToolButton* forward = Button("forward");
  QToolButton* contents = Button("contents");
  ASSERT_TRUE(back && forward && contents);

  Show("Editing Supports");
  EXPECT_FALSE(back->isEnabled());
  EXPECT_FALSE(forward->isEnabled());
  EXPECT_EQ(window_->windowTitle(), "Spanlab Help - Supports");
  Show("Data Error Messages");
  EXPECT_TRUE(back->isEnabled());

  back->click();
  EXPECT_EQ(Browser().source(), HelpUrl("supports.html"));
  EXPECT_EQ(window_->windowTitle(), "Spanlab Help - Supports");
  EXPECT_TRUE(forward->isEnabled());
  forward->click();
  EXPECT_EQ(Browser().source(), HelpUrl("messages.html#data"));
  EXPECT_FALSE(forward->isEnabled());

  contents->click();
  EXPECT_EQ(Browser().source(), HelpUrl("index.html"));
  EXPECT_EQ(window_->windowTitle(), "Spanlab Help");
  back->click();
  EXPECT_EQ(Browser().source(), HelpUrl("messages.html#data"));

  // Following a link is a step of the history too.
  Show("Contents");
  Browser().setSource(HelpUrl("springs.html"));
  back->click();
  EXPECT_EQ(Browser().source(), HelpUrl("index.html"));
}

TEST_F(HelpWindowTest, OneNonModalWindowServesEveryRequest) {
  HelpProvider& help = *window_;
  EXPECT_FALSE(window_->isVisible());
  help.ShowTopic("Editing Point Loads");
  EXPECT_TRUE(window_->isVisible());
  EXPECT_TRUE(window_->isWindow());
  EXPECT_EQ(window_->windowModality(), Qt::NonModal);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  help.ShowTopic("Warning Messages");
  help.ShowContents();
  EXPECT_EQ(Browser().source(), HelpUrl("index.html"));
  int helpWindows = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible()) ++helpWindows;
  }
  EXPECT_EQ(helpWindows, 1);
  // Closed, it comes back at the next request.
  window_->close();
  help.ShowTopic("Unknown Topic");
  EXPECT_TRUE(window_->isVisible());
  EXPECT_EQ(Browser().source(), HelpUrl("index.html"));
  window_->close();
}

// A dialog's Help button opens the help while the dialog stays open and modal: the help must
// take clicks (a link followed) all the same, and stay when the dialog closes.
TEST_F(HelpWindowTest, HelpAskedForFromAModalDialogTakesClicksWhileItStaysOpen) {
  QMessageBox box(QMessageBox::Information, "Spanlab", "A question with a Help button");
  box.setWindowModality(Qt::ApplicationModal);
  box.show();
  ASSERT_EQ(QApplication::activeModalWidget(), &box);
  static_cast<HelpProvider&>(*window_).ShowContents();
  QApplication::processEvents();
  ASSERT_EQ(Browser().source(), HelpUrl("index.html"));

  // The first link of the contents page, clicked as a mouse would through the window system.
  int linkAt = -1;
  QString target;
  for (QTextBlock b = Browser().document()->begin(); b.isValid() && linkAt < 0; b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      if (f.charFormat().isAnchor() && !f.charFormat().anchorHref().startsWith('#')) {
        linkAt = f.position() + f.length() / 2;
        target = f.charFormat().anchorHref();
        break;
      }
    }
  }
  ASSERT_GE(linkAt, 0) << "the contents page has no link";
  QTextCursor cursor(Browser().document());
  cursor.setPosition(linkAt);
  const QPoint inViewport = Browser().cursorRect(cursor).center();
  const QPoint inWindow = Browser().viewport()->mapTo(window_.get(), inViewport);
  QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, Qt::NoModifier, inWindow);
  QApplication::processEvents();
  EXPECT_NE(Browser().source(), HelpUrl("index.html")) << "the click on " << target.toStdString()
                                                       << " did not reach the help";
  EXPECT_TRUE(box.isVisible());

  box.close();
  QApplication::processEvents();
  EXPECT_TRUE(window_->isVisible());
  window_->close();
}

TEST_F(HelpWindowTest, EveryPageLoadsWithItsTitleAsItsHeading) {
  const QStringList built = QDir(":/help").entryList({"*.html"}, QDir::Files);
  for (const auto& [page, title] : kPages) {
    SCOPED_TRACE(page.toStdString());
    ASSERT_TRUE(built.contains(page));
    const QTextDocument& doc = Load(page);
    EXPECT_EQ(Browser().source(), HelpUrl(page));
    EXPECT_GT(doc.toPlainText().trimmed().size(), 400) << "a page with little or no text";
    EXPECT_EQ(doc.metaInformation(QTextDocument::DocumentTitle), title);
    EXPECT_EQ(FirstHeading(doc), title);
  }
  // Nothing is built in that the contents do not know of.
  EXPECT_EQ(built.size(), static_cast<qsizetype>(kPages.size()));
}

TEST_F(HelpWindowTest, EveryLinkLeadsToAPageAndAPlaceThatExist) {
  std::map<QString, std::map<QString, int>> anchorsOf;
  for (const auto& entry : kPages) anchorsOf[entry.first] = AnchorPositions(Load(entry.first));
  std::set<QString> linkedFromContents;
  for (const auto& entry : kPages) {
    const QString& page = entry.first;
    const QStringList links = LinkTargets(Load(page));
    EXPECT_FALSE(links.isEmpty()) << page.toStdString() << " links nowhere";
    for (const QString& href : links) {
      SCOPED_TRACE((page + " -> " + href).toStdString());
      const QUrl target = HelpUrl(page).resolved(QUrl(href));
      // The help is self-contained: no link leaves it.
      ASSERT_EQ(target.scheme(), "qrc");
      const QString targetPage = target.path().section('/', -1);
      ASSERT_TRUE(QFile::exists(":" + target.path()));
      ASSERT_TRUE(anchorsOf.count(targetPage));
      if (target.hasFragment()) {
        EXPECT_TRUE(anchorsOf[targetPage].count(target.fragment()));
      }
      if (page == "index.html") linkedFromContents.insert(targetPage);
    }
  }
  for (const auto& entry : kPages) {
    if (entry.first == "index.html") continue;
    EXPECT_TRUE(linkedFromContents.count(entry.first))
        << entry.first.toStdString() << " is missing from the contents";
  }
}

// The codes of each group, in the order the page lists them.
std::vector<QString> Codes(char letter, int count) {
  std::vector<QString> codes;
  for (int i = 1; i <= count; ++i) codes.push_back(QString("%1%2").arg(letter).arg(i));
  return codes;
}

TEST_F(HelpWindowTest, MessagesPageHasAnEntryForEveryCodeInItsGroup) {
  QTextDocument& doc = Load("messages.html");
  const auto anchors = AnchorPositions(doc);
  const struct {
    const char* group;
    std::vector<QString> codes;
    const char* next;  // the group that follows, or the section after the last one
  } groups[] = {
      {"format", Codes('F', 48), "data"},
      {"data", Codes('D', 25), "analysis"},
      {"analysis", Codes('A', 4), "warnings"},
      {"warnings", Codes('W', 8), "log"},
  };
  for (const auto& g : groups) {
    ASSERT_TRUE(anchors.count(g.group)) << g.group;
    ASSERT_TRUE(anchors.count(g.next)) << g.next;
    const int start = anchors.at(g.group);
    const int end = anchors.at(g.next);
    for (size_t i = 0; i < g.codes.size(); ++i) {
      const QString& code = g.codes[i];
      SCOPED_TRACE(code.toStdString());
      ASSERT_TRUE(anchors.count(code));
      const int at = anchors.at(code);
      EXPECT_GT(at, start);
      EXPECT_LT(at, end);
      // The entry runs to the next code's entry and quotes its own message.
      const auto next = i + 1 < g.codes.size() ? anchors.find(g.codes[i + 1]) : anchors.end();
      const int entryEnd = next != anchors.end() ? next->second : end;
      const QString entry = TextBetween(doc, at, entryEnd);
      const QString prefix = code.startsWith('W') ? "Warning " + code + " - "
                             : code == "D1"      ? "Error D1- "
                                                 : "Error " + code + " - ";
      EXPECT_TRUE(entry.contains(prefix)) << entry.left(200).toStdString();
      // An entry that only quotes its messages (its code, then message lines, as F26 to F28)
      // shares the explanation of the entries after it.
      QStringList entryLines = entry.trimmed().split('\n', Qt::SkipEmptyParts);
      entryLines.removeFirst();
      const bool onlyQuotes = std::all_of(entryLines.begin(), entryLines.end(), [](const QString& l) {
        return l.startsWith("Error ") || l.startsWith("Warning ");
      });
      QString explained = entry;
      for (size_t j = i + 1; !explained.contains("To fix:") && j < g.codes.size() && onlyQuotes;
           ++j) {
        const auto after = j + 1 < g.codes.size() ? anchors.find(g.codes[j + 1]) : anchors.end();
        explained = TextBetween(doc, anchors.at(g.codes[j]),
                                after != anchors.end() ? after->second : end);
      }
      EXPECT_TRUE(explained.contains("To fix:")) << "the entry says how to put it right";
    }
  }
}

// The text with the numbers of "= number", of "Span N" and of three decimals made neutral:
// the help quotes messages with numbers of its own examples.
QString NeutralNumbers(QString text) {
  static const QRegularExpression number(R"(= -?[0-9][0-9.e+-]*)");
  static const QRegularExpression span(R"(Span [0-9]+ )");
  static const QRegularExpression decimals(R"(-?[0-9]+\.[0-9]{3}\b)");
  return text.replace(number, "= #").replace(span, "Span # ").replace(decimals, "#");
}

// What the help can quote of a message whatever the model: numbers made neutral, and a
// message that is followed by the offending line cut after its colon.
QString MessageStem(QString line) {
  const int colon = line.indexOf(": ");
  if (colon >= 0) line.truncate(colon + 1);
  return NeutralNumbers(line).trimmed();
}

std::vector<std::string> RunLines(const std::vector<std::string>& lines) {
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, lines);
  const std::string text = RunModel(doc).text;
  std::vector<std::string> out;
  size_t start = 0;
  for (size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
    out.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return out;
}

TEST_F(HelpWindowTest, MessagesPageQuotesEveryMessageInTheProgramsWords) {
  // Models that make the checks and the analysis write every kind of message.
  const std::vector<std::vector<std::string>> models = {
      {},  // F2
      {"Units:English;",  // F1, then every line is checked
       "Bogus: X = 1;", "Units: Imperial;", "Member Property: X = 0; E = 1; J = 1;",
       "Moment Release: Y = 1;", "Support: X = 1; Foo = 0;", "Spring: X = 1; Foo = 1;",
       "Point Load: X = 1; Foo = 1;", "Uniform Load: XStart = 0; XEnd = 1; UStart = 1; U = 1;",
       "Moment Release: X = a;", "Member Property: X = 0; E = a; I = a;",
       "Support: X = 1; Disp = a; Rotation = a;", "Spring: X = 1; VSpring = a; RSpring = a;",
       "Point Load: X = 1; PLoad = a; Moment = a;",
       "Uniform Load: XStart = a; XEnd = a; UStart = a; UEnd = a;"},
      {"File Format:3.0", "Units:English;"},  // D1, D2, D9
      {"File Format:3.0", "Units:English;", "Member Property: X = -1; E = 1; I = 1;",
       "Member Property: X = 5; E = 1; I = 1;", "Member Property: X = 5; E = 1; I = 1;",
       "Support: X = -1; Disp = 0;", "Support: X = 3; Disp = 0;", "Support: X = 3; Disp = 0;",
       "Spring: X = -1; VSpring = 1;", "Spring: X = 4; VSpring = 1;",
       "Spring: X = 4; VSpring = 1;", "Moment Release: X = 0;", "Moment Release: X = -2;",
       "Moment Release: X = 6;", "Moment Release: X = 6;", "Point Load: X = -1; PLoad = 1;",
       "Point Load: X = 7; PLoad = 1;", "Point Load: X = 7; PLoad = 1;",
       "Uniform Load: XStart = -1; XEnd = -2; UStart = 1; UEnd = 1;",
       "Uniform Load: XStart = 0; XEnd = 10; UStart = 1; UEnd = 1;",
       "Uniform Load: XStart = 10; XEnd = 0; UStart = 1; UEnd = 1;"},
      // D16, every form: values that overflow once converted (feet to inches, MPa to kN/m^2).
      {"File Format:3.0", "Units:English;", "Member Property: X = 0; E = 1; I = 1;",
       "Member Property: X = 1; E = 1e200; I = 1e200;", "Moment Release: X = 1e308;",
       "Support: X = 0; Disp = 0;", "Support: X = 1e308; Disp = 0;",
       "Spring: X = 1e308; VSpring = 1;", "Point Load: X = 1; Moment = 1e308;",
       "Uniform Load: XStart = 0; XEnd = 1e308; UStart = 1; UEnd = 1;"},
      {"File Format:3.0", "Units:Metric;", "Member Property: X = 0; E = 1e306; I = 1;",
       "Support: X = 0; Disp = 0;"},
      // A1: a beam too short to be divided into elements.
      {"File Format:3.0", "Units:Consistent;", "Member Property: X = 0; E = 1; I = 1;",
       "Support: X = 0; Disp = 0;", "Support: X = 1e-9; Disp = 0;"},
      // A4: a load whose moment about the left end overflows.
      {"File Format:3.0", "Units:Consistent;", "Member Property: X = 0; E = 1; I = 1;",
       "Support: X = 0; Disp = 0; Rotation = 0;", "Point Load: X = 1e300; PLoad = -1e300;"},
      // A2: a span far too flexible for its load.
      {"File Format:3.0", "Units:Consistent;", "Member Property: X = 0; E = 1; I = 0.001;",
       "Support: X = 0; Disp = 0;", "Support: X = 10; Disp = 0;",
       "Point Load: X = 5; PLoad = -1;"},
      // The load cases, combinations and design checks: F29 to F41, then D19 to D22, W4, W5.
      {"File Format:3.0", "Units:English;", "Point Load: X = 1; PLoad = -1; Case = S-1;",
       "Support: X = 0; Disp = 0; Case = D;", "Load Combination: D = 1;",
       "Service Combination: Name = S1; Name = S2;", "Load Combination: Name = U-1; D = 1;",
       "Load Combination: Name = U1; D = x;", "Deflection Limit: Foo = 1;",
       "Deflection Limit: Span = x; Cantilever = y;", "Capacity: Foo = 1;",
       "Capacity: Moment = x; Shear = y; MomentNeg = z;"},
      {"File Format:3.0", "Units:English;", "Member Property: X = 0; E = 29000; I = 448;",
       "Support: X = 0; Disp = 0;", "Support: X = 20; Disp = 0;", "Point Load: X = 10; PLoad = -1;",
       "Live Load: U = -1; LiveFactor = 1.5;", "Load Combination: Name = ULS2; D = 1.2; S = 0.5;",
       "Service Combination: Name = ULS2; D = 1;", "Deflection Limit: Span = 360;",
       "Deflection Limit: Span = -1;", "Capacity: Moment = 1;", "Capacity: Shear = 0;"},
      // W6, W7 (sagging and hogging) and W8: every design check exceeded.
      {"File Format:3.0", "Units:English;", "Member Property: X = 0; E = 29000; I = 100;",
       "Support: X = 0; Disp = 0;", "Support: X = 20; Disp = 0;", "Support: X = 40; Disp = 0;",
       "Uniform Load: XStart = 0; XEnd = 40; UStart = -3; UEnd = -3;",
       "Deflection Limit: Span = 360;", "Capacity: Moment = 10; Shear = 5;"},
      // The vehicles: F42 to F48 and F29 on a Vehicle line, then D23 to D25.
      {"File Format:3.0", "Units:English;", "Vehicle: Name = T; Axles = -8; Wheels = 2;",
       "Vehicle: Name = T 1; Axles = -8;", "Vehicle: Name = T; Axles = -8, x;",
       "Vehicle: Name = T; Axles = -8, -32, -32; Spacing = 14, 30..14;",
       "Vehicle: Name = T; Axles = -8; Lane = x;", "Vehicle: Name = T; Axles = -8; Direction = Up;",
       "Vehicle: Name = T; Library = HL93;", "Vehicle: Name = T; Axles = -8; Case = M-1;"},
      {"File Format:3.0", "Units:Consistent;", "Member Property: X = 0; E = 1; I = 1;",
       "Support: X = 0; Disp = 0; Rotation = 0;",
       "Vehicle: Name = Truck; Axles = -8, -32, -32; Spacing = 14, 14, 14;",
       "Vehicle: Name = Truck; Library = HL93-Truck;"},
      // A3: a beam that can move up and down at its only support.
      {"File Format:3.0", "Units:Consistent;", "Member Property: X = 0; E = 1000; I = 1;",
       "Support: X = 0; Rotation = 0;", "Point Load: X = 10; PLoad = -1;"},
  };
  const QTextDocument& doc = Load("messages.html");
  const QString page = NeutralNumbers(doc.toPlainText().replace(QChar::Nbsp, ' '));
  std::set<QString> codes;
  static const QRegularExpression code(R"(^(?:Error ([FDA]\d+)-? |Warning (W\d+) ))");
  for (const auto& model : models) {
    for (const std::string& line : RunLines(model)) {
      const QString text = QString::fromStdString(line);
      const QRegularExpressionMatch match = code.match(text);
      if (!match.hasMatch()) continue;
      codes.insert(match.captured(1) + match.captured(2));
      const QString stem = MessageStem(text);
      EXPECT_TRUE(page.contains(stem)) << "not quoted in the help: " << stem.toStdString();
    }
  }
  // The models above still produce every code but the two forms of A1 that need an
  // exhausted memory or ten million nodes.
  EXPECT_EQ(codes.size(), 23u + 16u + 4u + 2u + 13u + 4u + 2u + 3u + 7u + 3u);
}

}  // namespace
}  // namespace spanlab
