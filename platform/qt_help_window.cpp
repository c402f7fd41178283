#include "platform/qt_help_window.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QWindow>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace spanlab {

namespace {

// Topic keywords and their pages. The first sixteen are the keywords the program asks for:
// the message families of the output pane, the Help buttons of the item dialogs, the contents
// and help on help.
const struct {
  const char* keyword;
  const char* page;
} kTopics[] = {
    {"Format Error Messages", "messages.html#format"},
    {"Data Error Messages", "messages.html#data"},
    {"Analysis Error Messages", "messages.html#analysis"},
    {"Warning Messages", "messages.html#warnings"},
    {"Editing the Model Description", "description.html"},
    {"Editing Units", "units.html"},
    {"Editing Beam Properties", "properties.html"},
    {"Editing Moment Releases", "releases.html"},
    {"Editing Supports", "supports.html"},
    {"Editing Springs", "springs.html"},
    {"Editing Point Loads", "point_loads.html"},
    {"Editing Uniform Loads", "uniform_loads.html"},
    {"Editing the Live Load", "live_load.html"},
    {"Editing Load Combinations", "combinations.html"},
    {"Editing Design Checks", "design_checks.html"},
    {"Editing Vehicles", "vehicles.html"},
    {"Using Help", "using_help.html"},
    {"Contents", "index.html"},
    {"Results", "results.html"},
    {"Reports", "reports.html"},
    {"Files", "files.html"},
    {"Editing the Model", "editing.html"},
    {"Analysis", "analysis.html"},
    {"Model Lines", "files.html#lines"},
    {"Sign Conventions", "units.html#signs"},
    {"Calculate Moment of Inertia", "properties.html#calculator"},
    {"Print Options", "reports.html#print-options"},
    {"Lines Longer Than 80 Characters", "files.html#long-lines"},
    {"spanlab-cli", "files.html#cli"},
    {"Load Cases", "combinations.html#case"},
};

constexpr const char* kHelpRoot = "qrc:/help/";

// The resource file behind a help URL (":/help/page.html").
QString ResourcePath(const QUrl& url) { return ":" + url.path(); }

const char* const kNoHelpPages =
    "<html><head><title>Help is not available</title></head><body>"
    "<h1>Help is not available</h1>"
    "<p>The help pages were not built into this copy of Spanlab.</p></body></html>";

QToolButton* NavigationButton(const QString& text, const QString& name, const QString& tip,
                              QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setText(text);
  button->setObjectName(name);
  button->setToolTip(tip);
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  button->setAutoRaise(true);
  return button;
}

}  // namespace

QtHelpWindow::QtHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("HelpWindow");
  setWindowTitle("Spanlab Help");
  resize(760, 640);

  m_back = NavigationButton("< Back", "back", "Back to the previous page (Alt+Left)", this);
  m_forward = NavigationButton("Forward >", "forward", "Forward to the next page (Alt+Right)", this);
  m_contents = NavigationButton("Contents", "contents", "The contents of the help", this);
  m_back->setShortcut(QKeySequence::Back);
  m_forward->setShortcut(QKeySequence::Forward);
  m_back->setEnabled(false);
  m_forward->setEnabled(false);

  m_browser = new QTextBrowser(this);
  m_browser->setObjectName("browser");
  m_browser->setOpenLinks(true);
  m_browser->setOpenExternalLinks(true);

  auto* bar = new QHBoxLayout;
  bar->addWidget(m_back);
  bar->addWidget(m_forward);
  bar->addWidget(m_contents);
  bar->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(m_browser, 1);

  connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
  connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
  connect(m_contents, &QToolButton::clicked, this, [this] { ShowContents(); });
  connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QToolButton::setEnabled);
  connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QToolButton::setEnabled);
  connect(m_browser, &QTextBrowser::sourceChanged, this, [this] { UpdateTitle(); });
  auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(close, &QShortcut::activated, this, &QWidget::close);
}

void QtHelpWindow::ShowTopic(const std::string& keyword) {
  ShowUrl(HelpUrlForKeyword(QString::fromStdString(keyword)));
}

void QtHelpWindow::ShowContents() { ShowUrl(ContentsUrl()); }

void QtHelpWindow::ShowUrl(const QUrl& requested) {
  // Shown first, so that the browser has its size when it scrolls to the anchor.
  show();
  JoinModalDialog();
  QUrl url = requested;
  if (!QFile::exists(ResourcePath(url))) url = ContentsUrl();
  if (QFile::exists(ResourcePath(url))) {
    // The browser scrolls to the anchor (or the top) even when the page is already shown,
    // and does not repeat it in the history.
    m_browser->setSource(url);
  } else {
    m_browser->setHtml(kNoHelpPages);
    UpdateTitle();
  }
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

void QtHelpWindow::JoinModalDialog() {
  // A modal dialog blocks input to every window but itself and the windows it is the transient
  // parent of. Help asked for from a dialog (its Help button, a message box's) becomes such a
  // window for as long as the dialog is shown, so it can be scrolled and clicked meanwhile.
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal || modal == this || !modal->windowHandle() || !windowHandle()) return;
  windowHandle()->setTransientParent(modal->windowHandle());
  if (m_modal) m_modal->removeEventFilter(this);
  m_modal = modal;
  modal->installEventFilter(this);
}

bool QtHelpWindow::eventFilter(QObject* watched, QEvent* event) {
  // The dialog closes: the help stays, on its own again.
  if (watched == m_modal && event->type() == QEvent::Hide) {
    m_modal->removeEventFilter(this);
    m_modal = nullptr;
    if (windowHandle()) windowHandle()->setTransientParent(nullptr);
  }
  return QWidget::eventFilter(watched, event);
}

QUrl QtHelpWindow::HelpUrlForKeyword(const QString& keyword) {
  const QString wanted = keyword.trimmed();
  for (const auto& topic : kTopics) {
    if (wanted.compare(QLatin1String(topic.keyword), Qt::CaseInsensitive) == 0) {
      return QUrl(QString(kHelpRoot) + topic.page);
    }
  }
  return ContentsUrl();
}

QStringList QtHelpWindow::Keywords() {
  QStringList keywords;
  for (const auto& topic : kTopics) keywords << topic.keyword;
  return keywords;
}

QUrl QtHelpWindow::ContentsUrl() { return QUrl(QString(kHelpRoot) + "index.html"); }

void QtHelpWindow::UpdateTitle() {
  const QString title = m_browser->documentTitle();
  setWindowTitle(title.isEmpty() || title == "Spanlab Help" ? QString("Spanlab Help")
                                                            : "Spanlab Help - " + title);
}

}  // namespace spanlab
