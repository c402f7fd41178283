// The main frame's commands as one table: each row is one QAction with its menu text, prompts,
// toolbar icon, keys, handler and the rule for its enabled or checked state. The actions are
// made in the table's order; the menus and the toolbar then pick them by name. Every enabled
// and checked state is set in one place, UpdateCommandStates(); the handlers of the view and window
// commands follow it.
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QApplication>
#include <QDir>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>
#include <optional>
#include <string>

#include "app/qt_about_dialog.h"
#include "app/qt_main_frame.h"
#include "app/qt_pane_splitter.h"
#include "app/qt_tip_dialog.h"
#include "app/qt_toolbar_icons.h"
#include "view/qt_output_pane.h"
#include "edit/qt_tree_edit.h"
#include "platform/qt_device_context.h"
#include "view/qt_results_view.h"

namespace spanlab {

// One command: what the menus, the toolbar and the status bar show of it, and what it does.
struct CMainFrame::Command {
  // Where the keys work: anywhere in the window (the menus show them); only while the tree has
  // the focus (the menus show them, the tree answers them itself); anywhere in the window for
  // a command that is in no menu.
  enum class Keys { kWindow, kTree, kFrame };

  const char* name;       // the action's object name, as Action() finds it
  const char* text;       // the menu text, '&' before the mnemonic
  const char* statusTip;  // the status bar's prompt while the menu item is under the mouse
  const char* toolTip;
  const char* icon;       // the toolbar picture (ToolbarIcon); "" for none
  const char* keys;       // shortcuts, "; " between two; the first is the one the menus show
  void (*run)(CMainFrame&);
  // A check mark showing this view toggle; nullptr for a plain command.
  bool ViewToggles::*checked = nullptr;
  Keys scope = Keys::kWindow;
  // When the command is enabled; nullptr for always.
  bool (*enabled)(const CMainFrame&) = nullptr;
  // The name of the step an Undo or Redo would take back, shown after the text; none when
  // there is no such step.
  std::optional<std::string> (*stepName)(const CMainFrame&) = nullptr;
};

const std::vector<CMainFrame::Command>& CMainFrame::Commands() {
  using F = CMainFrame;
  using K = Command::Keys;
  // The commands that show, print or export results are off while a run is going: they would
  // present an earlier model's results as this one's.
  constexpr auto current = [](const F& f) { return !f.m_doc->IsRunPending(); };
  static const std::vector<Command> commands = {
      // File
      {"new", "&New", "Create a new document", "New", "new", "Ctrl+N",
       [](F& f) { f.FileNew(); }},
      {"open", "&Open...", "Open an existing document", "Open", "open", "Ctrl+O",
       [](F& f) { f.OpenWithDialog(); }},
      {"save", "&Save", "Save the active document", "Save", "save", "Ctrl+S",
       [](F& f) { f.FileSave(); }, nullptr, K::kWindow,
       [](const F& f) { return f.m_doc->IsCommandEnabled(kCommandSave); }},
      {"saveAs", "Save &As...", "Save the active document with a new name", "Save As", "", "",
       [](F& f) { f.FileSaveAs(); }},
      {"print", "&Print...", "Print the active document", "Print", "print", "Ctrl+P",
       [](F& f) { f.m_doc->ForwardCommand(kCommandPrint); }, nullptr, K::kWindow, current},
      {"printPreview", "Print Pre&view", "Display full pages", "Print Preview", "preview", "",
       [](F& f) { f.m_doc->ForwardCommand(kCommandPrintPreview); }, nullptr, K::kWindow,
       current},
      {"printSetup", "P&rint Setup...", "Change the printer and printing options", "Print Setup",
       "", "", [](F& f) { f.PrintSetup(); }},
      {"printOptions", "Print &Options", "Choose the reports to print", "Print Options", "", "",
       [](F& f) { f.EditPrintOptions(); }},
      {"clipboardText", "Text", "Print Spanlab report to clipboard", "Text", "", "Ctrl+C",
       [](F& f) { f.m_doc->ForwardCommand(kCommandPrintToClipboardText); }, nullptr,
       K::kWindow, current},
      {"clipboardTab", "Tab Delimited Details",
       "Copy the details table, tab-delimited, to the clipboard", "Tab Delimited Details", "",
       "Ctrl+T", [](F& f) { f.m_doc->ForwardCommand(kCommandPrintToClipboardTabbed); },
       nullptr, K::kWindow, current},
      {"printToFile", "Print to &File...", "Write the report to a file", "Print to File", "", "",
       [](F& f) { f.m_doc->ForwardCommand(kCommandPrintToFile); }, nullptr, K::kWindow,
       current},
      {"exit", "E&xit", "Quit Spanlab; prompts to save changed files", "Exit", "", "",
       [](F& f) { f.close(); }},
      // Edit
      {"undo", "&Undo", "Undo the last change", "Undo", "", "Ctrl+Z; Alt+Backspace",
       [](F& f) { f.Undo(); }, nullptr, K::kWindow,
       [](const F& f) { return f.m_history.CanUndo(); },
       [](const F& f) {
         return f.m_history.CanUndo() ? std::optional(f.m_history.UndoName()) : std::nullopt;
       }},
      {"redo", "&Redo", "Redo the change undone last", "Redo", "", "Ctrl+Y; Ctrl+Shift+Z",
       [](F& f) { f.Redo(); }, nullptr, K::kWindow,
       [](const F& f) { return f.m_history.CanRedo(); },
       [](const F& f) {
         return f.m_history.CanRedo() ? std::optional(f.m_history.RedoName()) : std::nullopt;
       }},
      // Exports (in the File and View menus)
      {"exportPicture", "Export Pi&cture...", "Save the picture of the results view",
       "Export Picture", "", "", [](F& f) { f.ExportPictureWithDialog(); }, nullptr,
       K::kWindow, current},
      {"exportResults", "Export &Results...", "Save the results at full precision",
       "Export Results", "", "", [](F& f) { f.ExportResultsWithDialog(); }, nullptr,
       K::kWindow, current},
      {"exportReport", "Export Report as P&DF...", "Save the printed report as a PDF",
       "Export Report", "", "", [](F& f) { f.ExportReportWithDialog(); }, nullptr,
       K::kWindow, current},
      // The tree's lines; Enter on a heading also opens it, as a double click does.
      {"add", "&Add", "Add new line to current section", "Add line", "add", "Ins",
       [](F& f) { f.m_pEditTree->OnAddLine(); }, nullptr, K::kTree},
      {"edit", "&Edit", "Edit current line", "Edit line", "edit", "Enter",
       [](F& f) { f.m_pEditTree->OnEditLine(); }, nullptr, K::kTree},
      {"delete", "&Delete", "Delete current line", "Delete line", "delete", "Del",
       [](F& f) { f.m_pEditTree->OnDeleteLine(); }, nullptr, K::kTree},
      {"moveLeft", "Move &Left", "Move the item of the current line one step to the left",
       "Move left", "", "Alt+Left",
       [](F& f) { f.m_pEditTree->NudgeSelectedLine(-1, f.m_pDiagramView->Frame()); }, nullptr,
       K::kTree, current},
      {"moveRight", "Move Ri&ght", "Move the item of the current line one step to the right",
       "Move right", "", "Alt+Right",
       [](F& f) { f.m_pEditTree->NudgeSelectedLine(1, f.m_pDiagramView->Frame()); }, nullptr,
       K::kTree, current},
      // View: the diagrams and markers shown
      {"reactions", "Show Reactions", "Display reactions", "Reactions", "reactions", "",
       [](F& f) { f.Toggle(ViewToggle::kReactions); }, &ViewToggles::reactions},
      {"shear", "Shear", "Display shear diagram", "Shear", "shear", "",
       [](F& f) { f.Toggle(ViewToggle::kShear); }, &ViewToggles::shear},
      {"moment", "Moment", "Display moment diagram", "Moment", "moment", "",
       [](F& f) { f.Toggle(ViewToggle::kMoment); }, &ViewToggles::moment},
      {"rotation", "Rotation", "Display rotation diagram", "Rotation", "rotation", "",
       [](F& f) { f.Toggle(ViewToggle::kRotation); }, &ViewToggles::rotation},
      {"deflection", "Deflection", "Display deflection diagram", "Deflection", "deflection", "",
       [](F& f) { f.Toggle(ViewToggle::kDeflection); }, &ViewToggles::deflection},
      {"position", "Show Position", "Show position of currently selected line", "Show position",
       "position", "", [](F& f) { f.Toggle(ViewToggle::kPosition); }, &ViewToggles::position},
      {"singleAnalysis", "Single Analysis",
       "Show the diagrams of the model as written instead of its live-load envelope",
       "Single Analysis", "", "", [](F& f) { f.Toggle(ViewToggle::kSingleAnalysis); },
       &ViewToggles::singleAnalysis},
      {"influenceLine", "Influence Line",
       "Draw the influence line of the diagram shown at the position last clicked",
       "Influence Line", "", "", [](F& f) { f.ShowInfluenceLine(); }, nullptr,
       K::kWindow, current},
      // The panes
      {"nextPane", "Next Pane", "Switch to the next window pane", "Next Pane", "", "F6",
       [](F& f) { f.CyclePanes(1); }, nullptr, K::kFrame},
      {"previousPane", "Previous Pane", "Switch back to the previous window pane",
       "Previous Pane", "", "Shift+F6", [](F& f) { f.CyclePanes(-1); }, nullptr, K::kFrame},
      {"split", "S&plit", "Move the bars between the panes with the keyboard", "Split", "", "",
       [](F& f) { f.SplitByKeyboard(); }},
      {"copyPlot", "Copy to Clipboard", "Copy plot to clipboard", "Copy", "copy", "",
       [](F& f) { f.m_pDiagramView->CopyPlot(); }, nullptr, K::kWindow, current},
      // Help; no F1 here: F1 on a message line of the output pane opens that message's help.
      {"tip", "Ti&p of the Day...", "Displays a Tip of the Day", "Tip of the Day", "", "",
       [](F& f) { f.ShowTips(); }},
      {"about", "&About Spanlab...", "Displays program information and version number", "About",
       "about", "", [](F& f) { CAboutDlg(QDir::currentPath(), &f).exec(); }},
      {"help", "Spanlab Help", "Displays the online help", "Help", "", "",
       [](F& f) { f.m_help->ShowContents(); }},
      {"usingHelp", "Using Help", "Displays how to use the help", "Using Help", "", "",
       [](F& f) { f.m_help->ShowTopic("Using Help"); }},
  };
  return commands;
}

namespace {

// Adds the named actions of `frame` to a menu or a toolbar in order; "|" is a separator.
template <class Bar>
void AddCommands(Bar* bar, const CMainFrame& frame, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (QString(name) == "|") bar->addSeparator();
    else bar->addAction(frame.Action(name));
  }
}

}  // namespace

void CMainFrame::CreateActions() {
  for (const Command& c : Commands()) {
    auto* a = new QAction(c.text, this);
    a->setObjectName(c.name);
    a->setStatusTip(c.statusTip);
    a->setToolTip(c.toolTip);
    if (*c.icon) a->setIcon(ToolbarIcon(c.icon));
    if (*c.keys) a->setShortcuts(QKeySequence::listFromString(c.keys));
    if (c.checked) {
      a->setCheckable(true);
      // In the View menu a check mark shows the state; an icon there would only look sunken.
      if (*c.icon) a->setIconVisibleInMenu(false);
    }
    if (c.scope == Command::Keys::kTree) {
      a->setShortcutContext(Qt::WidgetShortcut);
      m_pEditTree->addAction(a);
    }
    if (c.scope == Command::Keys::kFrame) addAction(a);
    const auto run = c.run;
    connect(a, &QAction::triggered, this, [this, run] { run(*this); });
    m_commandActions.push_back(a);
  }
}

void CMainFrame::CreateMenusAndToolbar() {
  QMenu* file = menuBar()->addMenu("&File");
  AddCommands(file, *this,
              {"new", "open", "save", "saveAs", "|", "print", "printPreview", "printSetup",
               "printOptions"});
  AddCommands(file->addMenu("Print to &Clipboard"), *this, {"clipboardText", "clipboardTab"});
  AddCommands(file, *this, {"printToFile", "exportReport", "exportResults", "|"});
  m_recentMenu = file->addMenu("Recent &Files");
  AddCommands(file, *this, {"|", "exit"});

  QMenu* edit = menuBar()->addMenu("&Edit");
  AddCommands(edit, *this,
              {"undo", "redo", "|", "add", "edit", "delete", "|", "moveLeft", "moveRight"});

  QToolBar* bar = addToolBar("Toolbar");
  bar->setObjectName("Toolbar");
  bar->setIconSize(QSize(16, 15));
  AddCommands(bar, *this,
              {"new", "open", "save", "|", "print", "printPreview", "about", "|", "add", "edit",
               "delete", "|", "position", "|", "reactions", "shear", "moment", "rotation",
               "deflection"});
  // The combination selector: shown only for a model with combination lines.
  m_combinationBox = new QComboBox(bar);
  m_combinationBox->setObjectName("combinationSelector");
  m_combinationBox->setToolTip("The analysis the diagrams show");
  m_combinationBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  m_combinationBoxAction = bar->addWidget(m_combinationBox);
  connect(m_combinationBox, &QComboBox::activated, this,
          [this](int index) { ChooseCombination(index); });

  QMenu* view = menuBar()->addMenu("&View");
  QAction* showBar = bar->toggleViewAction();
  showBar->setText("&Toolbar");
  view->addAction(showBar);
  QAction* showStatus = view->addAction("&Status Bar");
  showStatus->setObjectName("statusBar");
  showStatus->setCheckable(true);
  showStatus->setChecked(true);
  connect(showStatus, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
  AddCommands(view, *this,
              {"split", "|", "reactions", "|", "shear", "moment", "rotation", "deflection",
               "singleAnalysis"});
  m_combinationMenu = view->addMenu("Com&bination");
  m_combinationMenu->setObjectName("combinationMenu");
  AddCommands(view, *this, {"influenceLine", "|", "copyPlot", "exportPicture"});
  connect(m_pDiagramView, &CSPLX_30View::CombinationsChanged, this,
          &CMainFrame::RebuildCombinationSelector);
  RebuildCombinationSelector();

  QMenu* help = menuBar()->addMenu("&Help");
  AddCommands(help, *this, {"help", "usingHelp", "tip", "|", "about"});
  RebuildRecentMenu();
}

void CMainFrame::UpdateCommandStates() {
  const std::vector<Command>& commands = Commands();
  if (m_commandActions.size() != commands.size()) return;  // the actions are not made yet
  const ViewToggles& toggles = Toggles();
  for (size_t i = 0; i < commands.size(); ++i) {
    const Command& c = commands[i];
    QAction* a = m_commandActions[i];
    if (c.enabled) a->setEnabled(c.enabled(*this));
    if (c.checked) a->setChecked(toggles.*c.checked);
    if (c.stepName) {
      const std::optional<std::string> step = c.stepName(*this);
      a->setText(step ? QString(c.text) + " " + ToQString(*step) : QString(c.text));
    }
  }
}

void CMainFrame::CyclePanes(int step) {
  QWidget* panes[] = {m_pEditTree, m_pDiagramView,
                      m_pOutput->ResultsBox()->isVisible()
                          ? static_cast<QWidget*>(m_pOutput->ResultsBox())
                          : static_cast<QWidget*>(m_pOutput->DataBox())};
  int current = -1;
  for (int i = 0; i < 3; ++i) {
    if (panes[i]->hasFocus() || panes[i]->isAncestorOf(QApplication::focusWidget())) current = i;
  }
  panes[(current + step + 3) % 3]->setFocus(Qt::ShortcutFocusReason);
}

void CMainFrame::ShowTips() {
  std::vector<std::string> folders{"."};
  for (const std::string& f : ProgramFolders()) folders.push_back(f);
  ShowTipOfTheDay(this, m_settings, folders);
}

// ---- Handlers of the view and window commands ----

const ViewToggles& CMainFrame::Toggles() const { return m_pDiagramView->State().toggles; }

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
  UpdateCommandStates();
  m_pDiagramView->update();
  m_pDiagramView->RefreshReadout();  // the values of the diagrams shown now
}

void CMainFrame::ChooseCombination(int index) {
  const std::vector<CombinationChoice> choices = CombinationChoices(m_doc->GetDesign());
  const bool inRange = index >= 0 && static_cast<size_t>(index) < choices.size();
  m_pDiagramView->SetCombination(inRange ? choices[static_cast<size_t>(index)]
                                         : CombinationChoice{});
  RebuildCombinationSelector();
  UpdateCommandStates();  // View > Single Analysis is off now
}

void CMainFrame::RebuildCombinationSelector() {
  if (!m_combinationBox || !m_combinationMenu) return;
  const DesignResults& design = m_doc->GetDesign();
  const std::vector<CombinationChoice> choices = CombinationChoices(design);
  const CombinationChoice current = m_pDiagramView->State().combination;
  const QSignalBlocker block(m_combinationBox);
  m_combinationBox->clear();
  m_combinationMenu->clear();
  auto* group = new QActionGroup(m_combinationMenu);
  for (size_t i = 0; i < choices.size(); ++i) {
    const QString text = ToQString(CombinationChoiceText(design, choices[i]));
    m_combinationBox->addItem(text);
    QAction* action = m_combinationMenu->addAction(text);
    action->setCheckable(true);
    action->setChecked(choices[i] == current);
    group->addAction(action);
    const int index = static_cast<int>(i);
    connect(action, &QAction::triggered, this, [this, index] { ChooseCombination(index); });
    if (choices[i] == current) m_combinationBox->setCurrentIndex(index);
  }
  m_combinationBoxAction->setVisible(!choices.empty());
  m_combinationMenu->menuAction()->setEnabled(!choices.empty());
}

void CMainFrame::SplitByKeyboard() {
  if (m_split->IsActive()) return;
  statusBar()->showMessage(
      "Move the bars with the arrow keys; Enter keeps the new sizes, Escape restores them.");
  m_split->Start();
}

}  // namespace spanlab
