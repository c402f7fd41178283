#include "app/qt_main_frame.h"

#include <QAction>
#include <functional>
#include <QApplication>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <sstream>
#include <tuple>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QPageSetupDialog>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "app/qt_pane_splitter.h"
#include "app/qt_toolbar_icons.h"
#include "view/qt_output_pane.h"
#include <QDir>
#include "edit/qt_tree_edit.h"
#include "platform/qt_device_context.h"
#include "platform/qt_help_window.h"
#include "platform/qt_prompter.h"
#include "report/qt_print_options_dialog.h"
#include "analysis/results_export.h"
#include "report/report_text.h"
#include "view/qt_exports.h"
#include "view/qt_file_icon_dialog.h"
#include "app/qt_about_dialog.h"
#include "app/qt_busy_runner.h"
#include "platform/qt_lock_keys.h"
#include "app/qt_tip_dialog.h"
#include "view/qt_print_preview.h"
#include "view/qt_report_printer.h"
#include "view/qt_results_view.h"

namespace spanlab {

namespace {

constexpr int kRecentFiles = 8;
const QString kSpnFilter = "SPLX Files (*.spn);;All Files (*.*) (*)";

// Help that the frame announces (HelpRequested) before the help window shows it.
class AnnouncedHelp : public HelpProvider {
 public:
  AnnouncedHelp(CMainFrame* frame, HelpProvider& window) : frame_(frame), window_(window) {}
  void ShowTopic(const std::string& keyword) override {
    emit frame_->HelpRequested(ToQString(keyword));
    window_.ShowTopic(keyword);
  }
  void ShowContents() override { ShowTopic("Contents"); }

 private:
  CMainFrame* frame_;
  HelpProvider& window_;
};

// Updates the window title whenever the document's lines change (the modified mark).
class TitleWatcher : public CView {
 public:
  explicit TitleWatcher(std::function<void()> update) : update_(std::move(update)) {}
  void OnUpdate(CView*, long hint) override {
    if (hint == kHintLines) update_();
  }

 private:
  std::function<void()> update_;
};

}  // namespace

CMainFrame::CMainFrame(SettingsStore& settings, PrintOptions& options, QWidget* parent)
    : QMainWindow(parent),
      m_settings(settings),
      m_options(options),
      m_doc(std::make_unique<CSPLX_30Doc>()),
      m_prompter(std::make_unique<QtPrompter>(this)),
      m_helpWindow(std::make_unique<QtHelpWindow>()),
      m_help(std::make_unique<AnnouncedHelp>(this, *m_helpWindow)),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  setObjectName("MainFrame");
  setAcceptDrops(true);
  m_itemDialogs = std::make_unique<QtItemDialogs>(this, m_help.get(), &m_databases, &m_settings);
  m_prompter->SetHelp(m_help.get());
  m_editor = m_itemDialogs.get();
  m_doc->SetPrompter(m_prompter.get());
  m_doc->SetRunner(&m_busyRunner);

  // The panes: tree | results over the output pane.
  m_wndSplitter = new PaneSplitter(Qt::Vertical, this);
  m_wndSplitterTop = new PaneSplitter(Qt::Horizontal, m_wndSplitter);
  m_pEditTree = new CTreeEdit(*m_doc, *m_editor, m_wndSplitterTop);
  m_pDiagramView = new CSPLX_30View(*m_doc, m_options, m_wndSplitterTop);
  m_pOutput = new CDoubleEditView(*m_doc, *m_help, m_wndSplitter);
  for (QSplitter* s : {m_wndSplitter, m_wndSplitterTop}) {
    s->setChildrenCollapsible(true);
    s->setHandleWidth(5);
    // The tree column and the top row keep their size; the other panes take every change.
    s->setStretchFactor(0, 0);
    s->setStretchFactor(1, 1);
  }
  m_split = std::make_unique<KeyboardSplit>(
      *m_wndSplitterTop, *m_wndSplitter, *this,
      [this](bool) { statusBar()->showMessage("Ready"); });
  m_pEditTree->setMinimumSize(0, 0);
  setCentralWidget(m_wndSplitter);
  connect(m_pDiagramView, &CSPLX_30View::ErrorMessage, this, &CMainFrame::ShowError);
  connect(m_pDiagramView, &CSPLX_30View::PrintRequested, this, &CMainFrame::Print);
  connect(m_pDiagramView, &CSPLX_30View::ReadoutChanged, this, [this](const QString& text) {
    statusBar()->showMessage(StatusBarReadout(text));  // empty: back to "Ready"
  });
  m_pDiagramView->SetLineMover(m_pEditTree);
  connect(m_pEditTree, &CTreeEdit::MoveUndone, this, &CMainFrame::UpdateTitle);
  m_pEditTree->SetEditListener(
      [this](const std::string& step, LineChange change, const std::string& before,
             const std::string& after) {
        if (m_history.Record(step, std::move(change), before, after) > 0) {
          statusBar()->showMessage(
              "The undo history is full: the oldest changes can no longer be undone.");
        }
        UpdateUndoActions();
      });
  m_titleWatcher = std::make_unique<TitleWatcher>([this] { UpdateTitle(); });
  m_doc->AddView(m_titleWatcher.get());

  CreateActions();
  CreateMenusAndToolbar();
  CreateStatusBar();
  RestoreLayout();
  m_doc->OnNewDocument();
  m_history.Reset();
  UpdateUndoActions();
  UpdateTitle();
}

CMainFrame::~CMainFrame() {
  // The views go before the document they point into.
  m_split.reset();
  delete m_wndSplitter;
  m_wndSplitter = nullptr;
  m_doc->RemoveView(m_titleWatcher.get());
}

const ViewToggles& CMainFrame::Toggles() const { return m_pDiagramView->State().toggles; }

void CMainFrame::LoadDatabases(const QStringList& folders) {
  const struct {
    const char* file;
    DatabaseDocument* doc;
  } databases[] = {{"SPLX.mat", &m_databases.material}, {"SPLX.prp", &m_databases.section}};
  for (const auto& db : databases) {
    QString path = QDir(folders.value(0)).filePath(db.file);
    for (const QString& folder : folders) {
      if (QFileInfo(QDir(folder).filePath(db.file)).isFile()) {
        path = QDir(folder).filePath(db.file);
        break;
      }
    }
    const Status status = LoadDatabase(m_doc->Files(), path.toStdString(), *db.doc);
    if (!status.ok()) ShowError(ToQString(status.message()));
  }
}

void CMainFrame::SetLineEditor(LineEditor* editor) {
  m_editor = editor ? editor : m_itemDialogs.get();
  m_pEditTree->SetEditor(*m_editor);
}

QAction* CMainFrame::Action(const QString& name) const { return findChild<QAction*>(name); }

void CMainFrame::CreateActions() {
  auto make = [this](const QString& name, const QString& text, const QString& tip,
                     const QString& icon = QString(), QKeySequence key = QKeySequence()) {
    auto* a = new QAction(text, this);
    a->setObjectName(name);
    a->setStatusTip(tip.section('\n', 0, 0));
    a->setToolTip(tip.section('\n', 1, 1).isEmpty() ? text : tip.section('\n', 1, 1));
    if (!icon.isEmpty()) a->setIcon(ToolbarIcon(icon));
    if (!key.isEmpty()) a->setShortcut(key);
    return a;
  };
  connect(make("new", "&New", "Create a new document\nNew", "new", QKeySequence("Ctrl+N")),
          &QAction::triggered, this, [this] { FileNew(); });
  connect(make("open", "&Open...", "Open an existing document\nOpen", "open",
               QKeySequence("Ctrl+O")),
          &QAction::triggered, this, [this] {
            // A changed document is offered for saving only once there is a file to replace it.
            CFileIconDlg dialog(this, m_lastFolder, &m_settings);
            if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
            if (!SaveModified()) return;
            OpenFile(dialog.selectedFiles().first());
          });
  connect(make("save", "&Save", "Save the active document\nSave", "save", QKeySequence("Ctrl+S")),
          &QAction::triggered, this, [this] { FileSave(); });
  connect(make("saveAs", "Save &As...", "Save the active document with a new name\nSave As"),
          &QAction::triggered, this, [this] { FileSaveAs(); });
  connect(make("print", "&Print...", "Print the active document\nPrint", "print",
               QKeySequence("Ctrl+P")),
          &QAction::triggered, this, [this] { m_doc->ForwardCommand(kCommandPrint); });
  connect(make("printPreview", "Print Pre&view", "Display full pages\nPrint Preview", "preview"),
          &QAction::triggered, this, [this] { m_doc->ForwardCommand(kCommandPrintPreview); });
  connect(make("printSetup", "P&rint Setup...", "Change the printer and printing options\nPrint Setup"),
          &QAction::triggered, this, &CMainFrame::PrintSetup);
  connect(make("printOptions", "Print &Options", "Choose the reports to print\nPrint Options"),
          &QAction::triggered, this, &CMainFrame::EditPrintOptions);
  connect(make("clipboardText", "Text", "Print Spanlab report to clipboard\nText", QString(),
               QKeySequence("Ctrl+C")),
          &QAction::triggered, this,
          [this] { m_doc->ForwardCommand(kCommandPrintToClipboardText); });
  connect(make("clipboardTab", "Tab Delimited Details",
               "Copy the details table, tab-delimited, to the clipboard\nTab Delimited Details",
               QString(), QKeySequence("Ctrl+T")),
          &QAction::triggered, this,
          [this] { m_doc->ForwardCommand(kCommandPrintToClipboardTabbed); });
  connect(make("printToFile", "Print to &File...", "Write the report to a file\nPrint to File"),
          &QAction::triggered, this, [this] { m_doc->ForwardCommand(kCommandPrintToFile); });
  connect(make("exit", "E&xit", "Quit Spanlab; prompts to save changed files\nExit"),
          &QAction::triggered, this, &QWidget::close);

  QAction* undo = make("undo", "&Undo", "Undo the last change\nUndo");
  undo->setShortcuts({QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")});
  connect(undo, &QAction::triggered, this, &CMainFrame::Undo);
  QAction* redo = make("redo", "&Redo", "Redo the change undone last\nRedo");
  redo->setShortcuts({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")});
  connect(redo, &QAction::triggered, this, &CMainFrame::Redo);
  connect(make("exportPicture", "Export Pi&cture...", "Save the picture of the results view\nExport Picture"),
          &QAction::triggered, this, [this] {
            bool ok = false;
            const QString size = QInputDialog::getText(
                this, "Export Picture", "Size in pixels (width x height):", QLineEdit::Normal,
                QString("%1x%2").arg(m_pDiagramView->width()).arg(m_pDiagramView->height()), &ok);
            if (!ok) return;
            const QStringList wh = size.split('x');
            const int w = wh.value(0).trimmed().toInt(), h = wh.value(1).trimmed().toInt();
            if (wh.size() != 2 || w < 1 || h < 1 || w > 20000 || h > 20000) {
              ShowError("The size must be two whole numbers from 1 to 20000, e.g. 1000x600.");
              return;
            }
            const QString path = AskExportPath("picture", "Export Picture", "beam.png",
                                               "PNG Image (*.png);;SVG Drawing (*.svg);;PDF (*.pdf)");
            if (path.isEmpty()) return;
            const QString error = ExportPicture(path, w, h);
            if (!error.isEmpty()) ShowError(error);
          });
  connect(make("exportResults", "Export &Results...", "Save the results at full precision\nExport Results"),
          &QAction::triggered, this, [this] {
            const QString path = AskExportPath("results", "Export Results", "results.csv",
                                               "CSV (*.csv);;JSON (*.json)");
            if (path.isEmpty()) return;
            const QString error = ExportResults(path);
            if (!error.isEmpty()) ShowError(error);
          });
  connect(make("exportReport", "Export Report as P&DF...", "Save the printed report as a PDF\nExport Report"),
          &QAction::triggered, this, [this] {
            const QString path = AskExportPath("report", "Export Report as PDF",
                                               ToQString(DefaultReportFileName(m_doc->GetPathName())).replace(".rpt", ".pdf"),
                                               "PDF (*.pdf)");
            if (path.isEmpty()) return;
            const QString error = ExportReportPdf(path);
            if (!error.isEmpty()) ShowError(error);
          });

  connect(make("add", "&Add", "Add new line to current section\nAdd line", "add"),
          &QAction::triggered, this, [this] { m_pEditTree->OnAddLine(); });
  connect(make("edit", "&Edit", "Edit current line\nEdit line", "edit"), &QAction::triggered,
          this, [this] { m_pEditTree->OnEditLine(); });
  connect(make("delete", "&Delete", "Delete current line\nDelete line", "delete"),
          &QAction::triggered, this, [this] { m_pEditTree->OnDeleteLine(); });
  for (const auto& [name, text, direction] :
       {std::tuple{"moveLeft", "Move &Left", -1}, std::tuple{"moveRight", "Move Ri&ght", 1}}) {
    const QString tip = direction < 0
                            ? "Move the item of the current line one step to the left\nMove left"
                            : "Move the item of the current line one step to the right\nMove right";
    connect(make(name, text, tip), &QAction::triggered, this, [this, direction = direction] {
      m_pEditTree->NudgeSelectedLine(direction, m_pDiagramView->Frame());
    });
  }
  // The keys of the tree: the menus show them; the tree answers them itself while it has the
  // focus (Enter then also opens a heading, as a double click does).
  const std::pair<const char*, QKeySequence> treeKeys[] = {
      {"add", QKeySequence(Qt::Key_Insert)},
      {"edit", QKeySequence(Qt::Key_Enter)},
      {"delete", QKeySequence(Qt::Key_Delete)},
      {"moveLeft", QKeySequence(Qt::ALT | Qt::Key_Left)},
      {"moveRight", QKeySequence(Qt::ALT | Qt::Key_Right)}};
  for (const auto& [name, key] : treeKeys) {
    QAction* a = Action(name);
    a->setShortcut(key);
    a->setShortcutContext(Qt::WidgetShortcut);
    m_pEditTree->addAction(a);
  }

  const struct {
    const char* name;
    const char* text;
    const char* tip;
    ViewToggle toggle;
  } toggles[] = {
      {"reactions", "Show Reactions", "Display reactions\nReactions", ViewToggle::kReactions},
      {"shear", "Shear", "Display shear diagram\nShear", ViewToggle::kShear},
      {"moment", "Moment", "Display moment diagram\nMoment", ViewToggle::kMoment},
      {"rotation", "Rotation", "Display rotation diagram\nRotation", ViewToggle::kRotation},
      {"deflection", "Deflection", "Display deflection diagram\nDeflection",
       ViewToggle::kDeflection},
      {"position", "Show Position", "Show position of currently selected line\nShow position",
       ViewToggle::kPosition},
  };
  for (const auto& t : toggles) {
    QAction* a = make(t.name, t.text, t.tip, t.name);
    a->setCheckable(true);
    // In the View menu a check mark shows the state; an icon there would only look sunken.
    a->setIconVisibleInMenu(false);
    const ViewToggle which = t.toggle;
    connect(a, &QAction::triggered, this, [this, which] { Toggle(which); });
  }
  QAction* single = make("singleAnalysis", "Single Analysis",
                         "Show the diagrams of the model as written instead of its live-load "
                         "envelope\nSingle Analysis",
                         QString());
  single->setCheckable(true);
  connect(single, &QAction::triggered, this, [this] { Toggle(ViewToggle::kSingleAnalysis); });
  connect(make("influenceLine", "Influence Line",
               "Draw the influence line of the diagram shown at the position last clicked\n"
               "Influence Line"),
          &QAction::triggered, this, [this] { ShowInfluenceLine(); });
  // F6 and Shift+F6 move the focus from pane to pane.
  auto cyclePanes = [this](int step) {
    QWidget* panes[] = {m_pEditTree, m_pDiagramView, m_pOutput->ResultsBox()->isVisible()
                                                         ? static_cast<QWidget*>(m_pOutput->ResultsBox())
                                                         : static_cast<QWidget*>(m_pOutput->DataBox())};
    int current = -1;
    for (int i = 0; i < 3; ++i) {
      if (panes[i]->hasFocus() || panes[i]->isAncestorOf(QApplication::focusWidget())) current = i;
    }
    panes[(current + step + 3) % 3]->setFocus(Qt::ShortcutFocusReason);
  };
  QAction* nextPane = make("nextPane", "Next Pane", "Switch to the next window pane\nNext Pane",
                           QString(), QKeySequence(Qt::Key_F6));
  connect(nextPane, &QAction::triggered, this, [cyclePanes] { cyclePanes(1); });
  QAction* previousPane = make("previousPane", "Previous Pane",
                               "Switch back to the previous window pane\nPrevious Pane", QString(),
                               QKeySequence(Qt::SHIFT | Qt::Key_F6));
  connect(previousPane, &QAction::triggered, this, [cyclePanes] { cyclePanes(-1); });
  addAction(nextPane);
  addAction(previousPane);
  m_pDiagramView->setFocusPolicy(Qt::StrongFocus);
  connect(make("split", "S&plit", "Move the bars between the panes with the keyboard\nSplit"),
          &QAction::triggered, this, &CMainFrame::SplitByKeyboard);
  connect(make("copyPlot", "Copy to Clipboard", "Copy plot to clipboard\nCopy", "copy"),
          &QAction::triggered, this, [this] { m_pDiagramView->CopyPlot(); });
  connect(make("tip", "Ti&p of the Day...", "Displays a Tip of the Day\nTip of the Day"),
          &QAction::triggered, this, [this] {
            std::vector<std::string> folders{"."};
            for (const std::string& f : ProgramFolders()) folders.push_back(f);
            ShowTipOfTheDay(this, m_settings, folders);
          });
  connect(make("about", "&About Spanlab...", "Displays program information and version number\nAbout", "about"),
          &QAction::triggered, this, [this] {
            CAboutDlg dialog(QDir::currentPath(), this);
            dialog.exec();
          });
  // No F1 shortcut here: F1 on a message line of the output pane opens that message's help.
  connect(make("help", "Spanlab Help", "Displays the online help\nHelp"),
          &QAction::triggered, this, [this] { m_help->ShowContents(); });
  connect(make("usingHelp", "Using Help", "Displays how to use the help\nUsing Help"),
          &QAction::triggered, this, [this] { m_help->ShowTopic("Using Help"); });
}

void CMainFrame::CreateMenusAndToolbar() {
  QMenu* file = menuBar()->addMenu("&File");
  file->addAction(Action("new"));
  file->addAction(Action("open"));
  file->addAction(Action("save"));
  file->addAction(Action("saveAs"));
  file->addSeparator();
  file->addAction(Action("print"));
  file->addAction(Action("printPreview"));
  file->addAction(Action("printSetup"));
  file->addAction(Action("printOptions"));
  QMenu* clipboard = file->addMenu("Print to &Clipboard");
  clipboard->addAction(Action("clipboardText"));
  clipboard->addAction(Action("clipboardTab"));
  file->addAction(Action("printToFile"));
  file->addAction(Action("exportReport"));
  file->addAction(Action("exportResults"));
  file->addSeparator();
  m_recentMenu = file->addMenu("Recent &Files");
  file->addSeparator();
  file->addAction(Action("exit"));

  QMenu* edit = menuBar()->addMenu("&Edit");
  edit->addAction(Action("undo"));
  edit->addAction(Action("redo"));
  edit->addSeparator();
  edit->addAction(Action("add"));
  edit->addAction(Action("edit"));
  edit->addAction(Action("delete"));
  edit->addSeparator();
  edit->addAction(Action("moveLeft"));
  edit->addAction(Action("moveRight"));

  QToolBar* bar = addToolBar("Toolbar");
  bar->setObjectName("Toolbar");
  bar->setIconSize(QSize(16, 15));
  for (const char* name : {"new", "open", "save"}) bar->addAction(Action(name));
  bar->addSeparator();
  for (const char* name : {"print", "printPreview", "about"}) bar->addAction(Action(name));
  bar->addSeparator();
  for (const char* name : {"add", "edit", "delete"}) bar->addAction(Action(name));
  bar->addSeparator();
  bar->addAction(Action("position"));
  bar->addSeparator();
  for (const char* name : {"reactions", "shear", "moment", "rotation", "deflection"}) {
    bar->addAction(Action(name));
  }

  QMenu* view = menuBar()->addMenu("&View");
  QAction* showBar = bar->toggleViewAction();
  showBar->setText("&Toolbar");
  view->addAction(showBar);
  QAction* showStatus = view->addAction("&Status Bar");
  showStatus->setObjectName("statusBar");
  showStatus->setCheckable(true);
  showStatus->setChecked(true);
  connect(showStatus, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
  view->addAction(Action("split"));
  view->addSeparator();
  view->addAction(Action("reactions"));
  view->addSeparator();
  for (const char* name : {"shear", "moment", "rotation", "deflection"}) {
    view->addAction(Action(name));
  }
  view->addAction(Action("singleAnalysis"));
  view->addAction(Action("influenceLine"));
  view->addSeparator();
  view->addAction(Action("copyPlot"));
  view->addAction(Action("exportPicture"));

  QMenu* help = menuBar()->addMenu("&Help");
  help->addAction(Action("help"));
  help->addAction(Action("usingHelp"));
  help->addAction(Action("tip"));
  help->addSeparator();
  help->addAction(Action("about"));
  RebuildRecentMenu();
}

void CMainFrame::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  // Whenever no prompt or read-out applies, the message pane says "Ready".
  connect(bar, &QStatusBar::messageChanged, this, [bar](const QString& message) {
    if (message.isEmpty()) bar->showMessage("Ready");
  });
  bar->showMessage("Ready");
  for (QLabel** pane : {&m_capsPane, &m_numPane}) {
    *pane = new QLabel(bar);
    (*pane)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    (*pane)->setAlignment(Qt::AlignCenter);
    (*pane)->setMinimumWidth((*pane)->fontMetrics().horizontalAdvance("CAP") + 12);
    bar->addPermanentWidget(*pane);
  }
  m_capsPane->setObjectName("capsPane");
  m_numPane->setObjectName("numPane");
  connect(&m_lockKeyTimer, &QTimer::timeout, this, &CMainFrame::UpdateLockKeyPanes);
  SetLockKeyReader(PlatformLockKeyReader());
}

void CMainFrame::SetLockKeyReader(std::unique_ptr<LockKeyReader> reader) {
  m_lockKeys = std::move(reader);
  // The keys can change in any window, so they are looked at a few times a second.
  if (m_lockKeys) m_lockKeyTimer.start(250);
  else m_lockKeyTimer.stop();
  UpdateLockKeyPanes();
}

void CMainFrame::UpdateLockKeyPanes() {
  const std::optional<LockKeys> keys = m_lockKeys ? m_lockKeys->Read() : std::nullopt;
  m_capsPane->setVisible(keys.has_value());
  m_numPane->setVisible(keys.has_value());
  if (!keys) return;
  m_capsPane->setText(keys->caps ? "CAP" : "");
  m_numPane->setText(keys->num ? "NUM" : "");
}

QString CMainFrame::StatusBarReadout(const QString& readout) {
  QStringList parts;
  for (const QString& line : readout.split("\r\n", Qt::SkipEmptyParts)) {
    if (!line.trimmed().isEmpty()) parts << line.trimmed();
  }
  return parts.join("    ");
}

void CMainFrame::UpdateUndoActions() {
  QAction* undo = Action("undo");
  QAction* redo = Action("redo");
  undo->setEnabled(m_history.CanUndo());
  redo->setEnabled(m_history.CanRedo());
  undo->setText(m_history.CanUndo() ? "&Undo " + ToQString(m_history.UndoName()) : "&Undo");
  redo->setText(m_history.CanRedo() ? "&Redo " + ToQString(m_history.RedoName()) : "&Redo");
}

void CMainFrame::StepHistory(bool undo) {
  if (undo ? !m_history.CanUndo() : !m_history.CanRedo()) return;
  if (m_pDiagramView->IsDragging()) return;  // the drag becomes a step of its own first
  const LineChange& change = undo ? m_history.UndoChange() : m_history.RedoChange();
  // The tree follows the change row by row instead of being rebuilt; the other views as usual.
  // The step is made on the document's own lines, without copying them.
  if (!m_doc->EditLines(m_pEditTree, [this, undo](std::vector<std::string>& lines) {
        return undo ? m_history.Undo(lines) : m_history.Redo(lines);
      })) {
    // The lines were changed outside the history: its steps no longer apply to them.
    m_history.Reset(false);
    UpdateUndoActions();
    statusBar()->showMessage("The undo history did not match the model and was cleared.");
    return;
  }
  m_pEditTree->FollowDocument(&change, undo);
  m_doc->SetModifiedFlag(!m_history.AtSavedState());
  m_pEditTree->SelectLine(m_history.LastAffected());
  UpdateTitle();
  UpdateUndoActions();
}

void CMainFrame::Undo() { StepHistory(true); }

void CMainFrame::Redo() { StepHistory(false); }

QString CMainFrame::AskExportPath(const QString& key, const QString& title, const QString& name,
                                  const QString& filter) {
  QString folder = m_exportFolders[key];
  if (folder.isEmpty()) folder = m_lastFolder;
  const QString path = QFileDialog::getSaveFileName(
      this, title, folder.isEmpty() ? name : folder + "/" + name, filter);
  if (!path.isEmpty()) m_exportFolders[key] = QFileInfo(path).absolutePath();
  return path;
}

QString CMainFrame::ExportPicture(const QString& path, int width, int height) {
  ResultsViewState state = m_pDiagramView->State();
  state.m_cxClient = width;
  state.m_cyClient = height;
  return ToQString(WritePicture(*m_doc, state, path.toStdString()));
}

QString CMainFrame::ExportResults(const QString& path) {
  const bool json = path.endsWith(".json", Qt::CaseInsensitive);
  std::ostringstream out;
  if (json) WriteResultsJson(out, m_doc->GetAnalysis());
  else WriteResultsCsv(out, m_doc->GetAnalysis());
  const Status status = m_doc->Files().WriteFileAtomically(path.toStdString(), out.str());
  return status.ok() ? QString() : ToQString(status.message());
}

QString CMainFrame::ExportReportPdf(const QString& path) {
  return ToQString(WriteReportPdf(*m_doc, m_options, *m_prompter, ReportHeader(),
                                  path.toStdString(), m_printer->pageLayout()));
}

std::vector<std::string> CMainFrame::ProgramFolders() {
  const std::string dir = QCoreApplication::applicationDirPath().toStdString();
  return {dir, dir + "/../share/spanlab"};
}

HeaderPainter CMainFrame::ReportHeader() {
  return LoadHeaderPicture(m_doc->Files(), ProgramFolders());
}

void CMainFrame::Print(bool preview) {
  EnsureMargins(*m_printer);
  const HeaderPainter header = ReportHeader();
  auto print = [this, header](QPrinter& printer, int from, int to, const PrintProgress& progress) {
    PrintReport(printer, *m_doc, m_options, m_prompter.get(), header, from, to, progress);
  };
  if (preview) {
    ShowPrintPreview(*m_printer, this, [print](QPrinter& target, const PrintProgress& progress) {
      print(target, 1, 0, progress);
    });
    return;
  }
  QPrintDialog dialog(m_printer.get(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  PrintWithProgress(this, [&](const PrintProgress& progress) {
    print(*m_printer, std::max(1, m_printer->fromPage()), m_printer->toPage(), progress);
  });
}

void CMainFrame::PrintSetup() {
  QPageSetupDialog dialog(m_printer.get(), this);
  dialog.exec();
}

void CMainFrame::EditPrintOptions() {
  CPrintOptionsDlg dialog(m_options, this);
  if (dialog.exec() == QDialog::Accepted) m_options = dialog.Options();
}

void CMainFrame::ShowInfluenceLine() {
  ResultsViewState& state = m_pDiagramView->State();
  const std::optional<InfluenceQuantity> quantity = InfluenceQuantityFor(state.toggles);
  if (!quantity || state.m_dClickX < 0) {
    QMessageBox::information(this, "Spanlab",
                             "Show a diagram and click the results view at the position of "
                             "interest, then choose Influence Line.");
    return;
  }
  InfluenceLine line =
      ComputeInfluenceLine(m_doc->GetAnalysis(), m_doc->GetSprings(), *quantity, state.m_dClickX);
  if (!line.error.empty()) {
    QMessageBox::information(this, "Spanlab", ToQString(line.error));
    return;
  }
  state.influence = std::move(line);
  state.influenceOf = *quantity;
  m_pDiagramView->update();
}

void CMainFrame::Toggle(ViewToggle toggle) {
  m_pDiagramView->State().influence = InfluenceLine{};  // the diagrams again
  ApplyToggle(m_pDiagramView->State().toggles, toggle);
  UpdateToggleActions();
  m_pDiagramView->update();
  m_pDiagramView->RefreshReadout();  // the values of the diagrams shown now
}

void CMainFrame::UpdateToggleActions() {
  const ViewToggles& t = Toggles();
  Action("reactions")->setChecked(t.reactions);
  Action("shear")->setChecked(t.shear);
  Action("moment")->setChecked(t.moment);
  Action("rotation")->setChecked(t.rotation);
  Action("deflection")->setChecked(t.deflection);
  Action("position")->setChecked(t.position);
  Action("singleAnalysis")->setChecked(t.singleAnalysis);
}

void CMainFrame::UpdateTitle() {
  setWindowTitle(ToQString(m_doc->GetTitle()) + "[*] - Spanlab");
  setWindowModified(m_doc->IsModified());
  if (QAction* save = Action("save")) save->setEnabled(m_doc->IsCommandEnabled(kCommandSave));
}

bool CMainFrame::SaveModified() {
  if (!m_doc->IsModified()) return true;
  const auto answer = QMessageBox::question(
      this, "Spanlab", "Save changes to " + ToQString(m_doc->GetTitle()) + "?",
      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
  if (answer == QMessageBox::Cancel) return false;
  if (answer == QMessageBox::No) return true;
  return FileSave();
}

bool CMainFrame::FileNew() {
  if (!SaveModified()) return false;
  m_doc->OnNewDocument();
  m_history.Reset();
  UpdateUndoActions();
  m_pDiagramView->State().toggles.position = false;  // a new document starts without marker
  UpdateToggleActions();
  UpdateTitle();
  return true;
}

bool CMainFrame::OpenFile(const QString& path) {
  if (!m_doc->OnOpenDocument(path.toStdString())) {
    ShowError(ToQString(m_doc->GetLastError()));
    return false;
  }
  m_lastFolder = QFileInfo(path).absolutePath();
  // A converted older file is not on disk in this form: no state of it counts as saved.
  m_history.Reset(!m_doc->IsConverted());
  UpdateUndoActions();
  m_pDiagramView->State().toggles.position = false;
  UpdateToggleActions();
  AddRecentFile(QFileInfo(path).absoluteFilePath());
  UpdateTitle();
  return true;
}

bool CMainFrame::FileSave() {
  if (m_doc->GetPathName().empty()) return FileSaveAs();
  if (!m_doc->MayReplace(m_doc->GetPathName(), *m_prompter)) return false;
  if (!m_doc->OnSaveDocument(m_doc->GetPathName())) {
    ShowError(ToQString(m_doc->GetLastError()));
    return false;
  }
  m_history.MarkSaved();
  UpdateTitle();
  return true;
}

bool CMainFrame::FileSaveAs() {
  QString start = ToQString(m_doc->GetPathName());
  if (start.isEmpty()) start = m_lastFolder.isEmpty() ? "SPLX.spn" : m_lastFolder + "/SPLX.spn";
  QFileDialog dialog(this, "Save As", start, kSpnFilter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  SetUpFileDialog(dialog, &m_settings, "Save As");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  QString path = dialog.selectedFiles().first();
  if (path.isEmpty()) return false;
  if (QFileInfo(path).suffix().isEmpty()) path += ".spn";
  if (!m_doc->MayReplace(path.toStdString(), *m_prompter)) return false;
  if (!m_doc->OnSaveDocument(path.toStdString())) {
    ShowError(ToQString(m_doc->GetLastError()));
    return false;
  }
  m_lastFolder = QFileInfo(path).absolutePath();
  m_history.MarkSaved();
  AddRecentFile(QFileInfo(path).absoluteFilePath());
  UpdateTitle();
  return true;
}

void CMainFrame::ShowError(const QString& text) { QMessageBox::warning(this, "Spanlab", text); }

void CMainFrame::AddRecentFile(const QString& path) {
  m_recent.removeAll(path);
  m_recent.prepend(path);
  while (m_recent.size() > kRecentFiles) m_recent.removeLast();
  RebuildRecentMenu();
}

void CMainFrame::RebuildRecentMenu() {
  m_recentMenu->clear();
  for (int i = 0; i < m_recent.size(); ++i) {
    const QString path = m_recent[i];
    QAction* a = m_recentMenu->addAction(QString("&%1 %2").arg(i + 1).arg(path));
    connect(a, &QAction::triggered, this, [this, path] {
      if (SaveModified()) OpenFile(path);
    });
  }
  m_recentMenu->setEnabled(!m_recent.isEmpty());
}

void CMainFrame::RestoreLayout() {
  const int left = m_settings.GetInt("Main", "Left", 20);
  const int top = m_settings.GetInt("Main", "Top", 20);
  const int right = m_settings.GetInt("Main", "Right", 600);
  const int bottom = m_settings.GetInt("Main", "Bottom", 500);
  // A rectangle from damaged settings falls back to the first-start size.
  const bool sane = right - left >= 100 && bottom - top >= 100 && right - left <= 20000 &&
                    bottom - top <= 20000;
  setGeometry(sane ? QRect(left, top, right - left, bottom - top) : QRect(20, 20, 580, 480));
  // The tree pane's size (W x H) as the user left it; the splitters keep it from the first
  // layout on, whatever size the window takes.
  const int treeW = m_settings.GetInt("EditTree", "Right", 200) - m_settings.GetInt("EditTree", "Left", 0);
  const int treeH = m_settings.GetInt("EditTree", "Bottom", 200) - m_settings.GetInt("EditTree", "Top", 0);
  m_wndSplitterTop->SetPaneSize(std::clamp(treeW, 0, 20000));
  m_wndSplitter->SetPaneSize(std::clamp(treeH, 0, 20000));
  // The bar layout (toolbar position, docking, shown or hidden).
  const QByteArray state = QByteArray::fromBase64(
      QByteArray::fromStdString(m_settings.GetString("ControlBars\\State", "Layout", "")));
  if (!state.isEmpty()) restoreState(state);
  for (int i = 1; i <= kRecentFiles; ++i) {
    const std::string file = m_settings.GetString("Recent File List", "File" + std::to_string(i), "");
    if (!file.empty()) m_recent.append(QString::fromStdString(file));
  }
  RebuildRecentMenu();
}

void CMainFrame::SaveLayout() {
  m_settings.SetString("ControlBars\\State", "Layout", saveState().toBase64().toStdString());
  const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
  m_settings.SetInt("Main", "Top", normal.top());
  m_settings.SetInt("Main", "Left", normal.left());
  m_settings.SetInt("Main", "Bottom", normal.top() + normal.height());
  m_settings.SetInt("Main", "Right", normal.left() + normal.width());
  m_settings.SetInt("Main", "Maximized", isMaximized() ? 3 : isMinimized() ? 2 : 1);
  // The sizes the user gave the tree pane, also when the window is too small to show them.
  m_settings.SetInt("EditTree", "Top", 0);
  m_settings.SetInt("EditTree", "Left", 0);
  m_settings.SetInt("EditTree", "Right", m_wndSplitterTop->PaneSize());
  m_settings.SetInt("EditTree", "Bottom", m_wndSplitter->PaneSize());
  for (int i = 1; i <= kRecentFiles; ++i) {
    m_settings.SetString("Recent File List", "File" + std::to_string(i),
                         i <= m_recent.size() ? m_recent[i - 1].toStdString() : "");
  }
}

void CMainFrame::ShowAsLeft() {
  if (m_settings.GetInt("Main", "Maximized", 0) == 3) showMaximized();
  else show();
}

void CMainFrame::SplitByKeyboard() {
  if (m_split->IsActive()) return;
  statusBar()->showMessage(
      "Move the bars with the arrow keys; Enter keeps the new sizes, Escape restores them.");
  m_split->Start();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (!SaveModified()) {
    event->ignore();
    return;
  }
  SaveLayout();
  event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) return;
  event->acceptProposedAction();
  if (SaveModified()) OpenFile(urls.first().toLocalFile());
}

}  // namespace spanlab
