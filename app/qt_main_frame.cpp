// The main frame: its panes, status bar, layout, view toggles and undo history. The command
// table with the menus and the toolbar is in qt_main_frame_commands.cpp; the file, export and
// print commands are in qt_main_frame_files.cpp.
#include "app/qt_main_frame.h"

#include <QAction>
#include <functional>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPrinter>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>

#include "app/qt_pane_splitter.h"
#include "view/qt_output_pane.h"
#include <QDir>
#include "edit/qt_tree_edit.h"
#include "platform/qt_device_context.h"
#include "platform/qt_help_window.h"
#include "platform/qt_prompter.h"
#include "app/qt_busy_runner.h"
#include "platform/qt_lock_keys.h"
#include "view/qt_results_view.h"

namespace spanlab {

namespace {

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

// Updates the window title whenever the document's lines change (the modified mark), and
// the status bar when their run goes off the thread or comes back.
class TitleWatcher : public CView {
 public:
  explicit TitleWatcher(std::function<void(bool started)> update) : update_(std::move(update)) {}
  void OnUpdate(CView*, long hint) override {
    if (hint == kHintLines || hint == kHintRunStarted) update_(hint == kHintRunStarted);
  }

 private:
  std::function<void(bool)> update_;
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
  m_runs = std::make_unique<ThreadedRuns>(*m_doc);
  m_doc->SetBackgroundRunner(m_runs.get());
  connect(m_runs.get(), &ThreadedRuns::Progress, this,
          [this](double fraction) {
            m_runFraction = fraction;
            statusBar()->showMessage(RunningText(fraction));
          });

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
  m_pDiagramView->setFocusPolicy(Qt::StrongFocus);
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
        UpdateCommandStates();
      });
  m_titleWatcher = std::make_unique<TitleWatcher>([this](bool started) {
    UpdateTitle();
    OnRunStateChanged(started);
  });
  m_doc->AddView(m_titleWatcher.get());

  CreateActions();
  CreateMenusAndToolbar();
  CreateStatusBar();
  RestoreLayout();
  m_doc->OnNewDocument();
  m_history.Reset();
  UpdateTitle();
}

CMainFrame::~CMainFrame() {
  // The views go before the document they point into.
  m_split.reset();
  delete m_wndSplitter;
  m_wndSplitter = nullptr;
  m_doc->RemoveView(m_titleWatcher.get());
}

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
    ShowFailure(LoadDatabase(m_doc->Files(), path.toStdString(), *db.doc));
  }
}

void CMainFrame::SetLineEditor(LineEditor* editor) {
  m_editor = editor ? editor : m_itemDialogs.get();
  m_pEditTree->SetEditor(*m_editor);
}

QAction* CMainFrame::Action(const QString& name) const { return findChild<QAction*>(name); }

void CMainFrame::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  // Whenever no prompt or read-out applies, the message pane says "Ready".
  connect(bar, &QStatusBar::messageChanged, this, [this, bar](const QString& message) {
    if (message.isEmpty()) {
      bar->showMessage(m_doc->IsRunPending() ? RunningText(m_runFraction) : "Ready");
    }
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

QString CMainFrame::RunningText(double fraction) {
  QString text = QString::fromUtf8("Running analysis\u2026");
  if (fraction >= 0) text += QString(" %1%").arg(static_cast<int>(fraction * 100));
  return text;
}

void CMainFrame::OnRunStateChanged(bool started) {
  QStatusBar* bar = statusBar();
  m_runFraction = -1;
  if (started) {
    bar->showMessage(RunningText());
  } else if (bar->currentMessage().startsWith(RunningText())) {
    bar->showMessage("Ready");
  }
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
    UpdateCommandStates();
    statusBar()->showMessage("The undo history did not match the model and was cleared.");
    return;
  }
  m_pEditTree->FollowDocument(&change, undo);
  m_doc->SetModifiedFlag(!m_history.AtSavedState());
  m_pEditTree->SelectLine(m_history.LastAffected());
  UpdateTitle();
}

void CMainFrame::Undo() { StepHistory(true); }

void CMainFrame::Redo() { StepHistory(false); }

void CMainFrame::UpdateTitle() {
  setWindowTitle(ToQString(m_doc->GetTitle()) + "[*] - Spanlab");
  setWindowModified(m_doc->IsModified());
  UpdateCommandStates();
}

void CMainFrame::ShowError(const QString& text) { QMessageBox::warning(this, "Spanlab", text); }

void CMainFrame::ShowFailure(const Status& status) {
  if (!status.ok()) ShowError(ToQString(status.message()));
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
  RestoreRecentFiles();
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
  SaveRecentFiles();
}

void CMainFrame::ShowAsLeft() {
  if (m_settings.GetInt("Main", "Maximized", 0) == 3) showMaximized();
  else show();
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
