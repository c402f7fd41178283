// CMainFrame: the main window. Two splitters hold the tree editor (top left), the results view
// (top right) and the output pane (bottom). It carries the menus, the toolbar and the status
// bar, keeps the view toggles, forwards the Edit commands to the tree, runs the file commands,
// and keeps its position and pane sizes in the settings. Its commands are one table
// (qt_main_frame_commands.cpp); the file, export and print commands have a file of their own
// (qt_main_frame_files.cpp).
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <QTimer>

#include <map>
#include <memory>
#include <vector>

#include "app/qt_background_runs.h"
#include "app/qt_busy_runner.h"
#include "edit/line_history.h"
#include "edit/qt_item_dialogs.h"
#include "platform/help.h"
#include "platform/qt_lock_keys.h"
#include "platform/settings.h"
#include "platform/status.h"
#include "report/print_options.h"
#include "run/document.h"
#include "run/run_driver.h"
#include "view/print_job.h"
#include "view/results_paint.h"

class QAction;
class QComboBox;
class QMenu;
class QPrinter;
class QLabel;
class QSplitter;

namespace spanlab {

class CTreeEdit;
class CSPLX_30View;
class KeyboardSplit;
class PaneSplitter;
class CDoubleEditView;
class LineEditor;
class QtPrompter;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // `settings` and `options` belong to the application and outlive the frame.
  CMainFrame(SettingsStore& settings, PrintOptions& options, QWidget* parent = nullptr);
  ~CMainFrame() override;

  CSPLX_30Doc& Document() { return *m_doc; }
  // Where the runs of long models go, off the window's thread.
  ThreadedRuns& BackgroundRuns() { return *m_runs; }
  // The status bar's text while a run is going: "Running analysis…", with the envelope's
  // percentage once it is told (`fraction` >= 0).
  static QString RunningText(double fraction = -1);
  CTreeEdit* Tree() const { return m_pEditTree; }
  CSPLX_30View* ResultsView() const { return m_pDiagramView; }
  CDoubleEditView* OutputPane() const { return m_pOutput; }
  const ViewToggles& Toggles() const;

  // File commands. Each asks to save a changed document first where it replaces it; false
  // when the user cancelled or the file could not be read or written (a message said why).
  bool FileNew();
  bool OpenFile(const QString& path);
  bool FileSave();
  bool FileSaveAs();
  // Asks "Save changes to ...?" when the document is modified; false on Cancel.
  bool SaveModified();

  // Print (with the print dialog) or Print Preview of the report; Print Setup; Print Options.
  void Print(bool preview);
  void PrintSetup();
  void EditPrintOptions();
  QPrinter& Printer() { return *m_printer; }

  // Undo and Redo of the editor's changes.
  void Undo();
  void Redo();
  const LineHistory& History() const { return m_history; }
  LineHistory& History() { return m_history; }

  // Exports: the view's picture (PNG, SVG, PDF), the full-precision results (CSV, JSON), and
  // the printed report as a PDF. Each fails with a message that names the file and the fault,
  // and writes nothing while a run is going (the results are then an earlier model's).
  Status ExportPicture(const QString& path, int width, int height);
  Status ExportResults(const QString& path);
  Status ExportReportPdf(const QString& path);

  // Where the program's data files are looked for: beside the program, then in its installed
  // data folder.
  static std::vector<std::string> ProgramFolders();
  // The header picture of printed pages ("splx.wmf" in the program folders), loaded now.
  HeaderPainter ReportHeader();

  // Shows the window as it was left: maximised when "Main"/"Maximized" is 3, else normal.
  void ShowAsLeft();
  // View > Split: the bars between the panes follow the arrow keys until Enter or Escape.
  void SplitByKeyboard();
  PaneSplitter* Columns() const { return m_wndSplitterTop; }  // tree | results view
  PaneSplitter* Rows() const { return m_wndSplitter; }        // top row over the output pane

  // Flips one view toggle with its exclusions and repaints the results view.
  // View > Influence Line: the influence line of the diagram shown at the last click.
  void ShowInfluenceLine();
  void Toggle(ViewToggle toggle);
  // The combination selector (toolbar drop-down and View > Combination): shows entry `index`
  // of CombinationChoices of the document's run. Out of range: All.
  void ChooseCombination(int index);
  QComboBox* CombinationBox() const { return m_combinationBox; }
  QAction* CombinationBoxAction() const { return m_combinationBoxAction; }  // its toolbar place
  QMenu* CombinationMenu() const { return m_combinationMenu; }
  QAction* Action(const QString& name) const;
  QStringList RecentFiles() const { return m_recent; }
  // Replaces the way the tree edits lines (nullptr: the item dialogs again); not owned.
  void SetLineEditor(LineEditor* editor);
  // Replaces the reader of the Caps Lock and Num Lock keys (nullptr: the status bar shows no
  // CAP and NUM panes, as where the platform does not report them).
  void SetLockKeyReader(std::unique_ptr<LockKeyReader> reader);
  // The read-out of the results view as one status-bar line: its lines, trimmed, side by side.
  static QString StatusBarReadout(const QString& readout);
  // Loads the material and section databases from the first folder that holds them; a file
  // that cannot be read is reported in a message box and leaves its database empty.
  void LoadDatabases(const QStringList& folders);
  const Databases& DatabaseDocuments() const { return m_databases; }

 signals:
  void HelpRequested(const QString& keyword);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  struct Command;  // one row of the command table
  // The command table: one row per action, in the order the actions are made.
  static const std::vector<Command>& Commands();
  void CreateActions();
  void CreateMenusAndToolbar();
  // The one place that sets the commands' enabled and checked states and the Undo and Redo
  // texts, from the document, the history and the view toggles.
  void UpdateCommandStates();
  // The selector's entries, its choice and whether it is shown, from the results view.
  void RebuildCombinationSelector();
  void CreateStatusBar();
  void UpdateLockKeyPanes();
  void RestoreLayout();
  void SaveLayout();
  // The window title with the modified mark, and the command states.
  void UpdateTitle();
  // The status bar and the command states when a run goes off the thread (`started`) or its
  // results have come.
  void OnRunStateChanged(bool started);
  // One step back (undo) or forward through the history, in the document and the tree.
  void StepHistory(bool undo);
  // F6 and Shift+F6: the focus to the next (step 1) or previous (-1) pane.
  void CyclePanes(int step);
  void ShowTips();
  // The commands that ask for a file (and a picture size) first; an error goes to a message box.
  void OpenWithDialog();
  void ExportPictureWithDialog();
  void ExportResultsWithDialog();
  void ExportReportWithDialog();
  QString AskExportPath(const QString& key, const QString& title, const QString& name,
                        const QString& filter);
  void AddRecentFile(const QString& path);
  void RebuildRecentMenu();
  void RestoreRecentFiles();
  void SaveRecentFiles();
  void ShowError(const QString& text);
  // A message box with the message of a failed `status`; nothing when it is ok.
  void ShowFailure(const Status& status);

  SettingsStore& m_settings;
  PrintOptions& m_options;
  ModelRunner m_runner;  // runs every change of the document's lines; outlives the document
  // The document's runner: m_runner, with the busy cursor around a long run (the runs the
  // busy runner would call long go to m_runs first, with the default sizes).
  BusyRunner m_busyRunner{m_runner, *this};
  // The long runs; destroyed after the document, which cancels its run going on destruction.
  std::unique_ptr<ThreadedRuns> m_runs;
  double m_runFraction = -1;  // the envelope's progress of the run going; -1: not told yet
  std::unique_ptr<CSPLX_30Doc> m_doc;
  std::unique_ptr<QtPrompter> m_prompter;
  Databases m_databases;
  std::unique_ptr<HelpProvider> m_helpWindow;  // a window of its own, not a child
  std::unique_ptr<HelpProvider> m_help;
  std::unique_ptr<LineEditor> m_itemDialogs;
  LineEditor* m_editor = nullptr;  // what the tree uses; the item dialogs unless replaced
  PaneSplitter* m_wndSplitter = nullptr;
  PaneSplitter* m_wndSplitterTop = nullptr;
  std::unique_ptr<KeyboardSplit> m_split;
  CTreeEdit* m_pEditTree = nullptr;
  CSPLX_30View* m_pDiagramView = nullptr;
  CDoubleEditView* m_pOutput = nullptr;
  QMenu* m_recentMenu = nullptr;
  QComboBox* m_combinationBox = nullptr;
  QAction* m_combinationBoxAction = nullptr;  // the drop-down's place in the toolbar
  QMenu* m_combinationMenu = nullptr;
  QStringList m_recent;
  QString m_lastFolder;
  std::unique_ptr<CView> m_titleWatcher;  // keeps the title in step with the document
  std::unique_ptr<QPrinter> m_printer;
  LineHistory m_history;
  std::map<QString, QString> m_exportFolders;  // last folder of each export dialog
  std::unique_ptr<LockKeyReader> m_lockKeys;  // none where the platform reports no lock keys
  QTimer m_lockKeyTimer;
  QLabel* m_capsPane = nullptr;
  QLabel* m_numPane = nullptr;
  std::vector<QAction*> m_commandActions;  // one per row of Commands(), owned by the frame
};

}  // namespace spanlab
