// The main frame's file commands: New, Open, Save, Save As with the question to save a changed
// document first, the recent-file list, the exports (picture, results, report as PDF) and the
// printing of the report.
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <sstream>

#include "analysis/results_export.h"
#include "app/qt_main_frame.h"
#include "platform/qt_device_context.h"
#include "platform/qt_prompter.h"
#include "report/qt_print_options_dialog.h"
#include "report/report_text.h"
#include "view/qt_exports.h"
#include "view/qt_file_icon_dialog.h"
#include "view/qt_print_preview.h"
#include "view/qt_report_printer.h"
#include "view/qt_results_view.h"

namespace spanlab {

namespace {

constexpr int kRecentFiles = 8;
const QString kSpnFilter = "SPLX Files (*.spn);;All Files (*.*) (*)";

// The picture and PDF writers' answer (an error message, empty on success) as a status.
Status FailureOf(std::string error) {
  return error.empty() ? Status::Ok() : Status::Error(std::move(error));
}

}  // namespace

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
  m_pDiagramView->State().toggles.position = false;  // a new document starts without marker
  UpdateTitle();
  return true;
}

void CMainFrame::OpenWithDialog() {
  // A changed document is offered for saving only once there is a file to replace it.
  CFileIconDlg dialog(this, m_lastFolder, &m_settings);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  if (!SaveModified()) return;
  OpenFile(dialog.selectedFiles().first());
}

bool CMainFrame::OpenFile(const QString& path) {
  if (!m_doc->OnOpenDocument(path.toStdString())) {
    ShowError(ToQString(m_doc->GetLastError()));
    return false;
  }
  m_lastFolder = QFileInfo(path).absolutePath();
  // A converted older file is not on disk in this form: no state of it counts as saved.
  m_history.Reset(!m_doc->IsConverted());
  m_pDiagramView->State().toggles.position = false;
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

void CMainFrame::RestoreRecentFiles() {
  for (int i = 1; i <= kRecentFiles; ++i) {
    const std::string file = m_settings.GetString("Recent File List", "File" + std::to_string(i), "");
    if (!file.empty()) m_recent.append(QString::fromStdString(file));
  }
  RebuildRecentMenu();
}

void CMainFrame::SaveRecentFiles() {
  for (int i = 1; i <= kRecentFiles; ++i) {
    m_settings.SetString("Recent File List", "File" + std::to_string(i),
                         i <= m_recent.size() ? m_recent[i - 1].toStdString() : "");
  }
}

QString CMainFrame::AskExportPath(const QString& key, const QString& title, const QString& name,
                                  const QString& filter) {
  QString folder = m_exportFolders[key];
  if (folder.isEmpty()) folder = m_lastFolder;
  const QString path = QFileDialog::getSaveFileName(
      this, title, folder.isEmpty() ? name : folder + "/" + name, filter);
  if (!path.isEmpty()) m_exportFolders[key] = QFileInfo(path).absolutePath();
  return path;
}

void CMainFrame::ExportPictureWithDialog() {
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
  ShowFailure(ExportPicture(path, w, h));
}

void CMainFrame::ExportResultsWithDialog() {
  const QString path =
      AskExportPath("results", "Export Results", "results.csv", "CSV (*.csv);;JSON (*.json)");
  if (path.isEmpty()) return;
  ShowFailure(ExportResults(path));
}

void CMainFrame::ExportReportWithDialog() {
  const QString name =
      ToQString(DefaultReportFileName(m_doc->GetPathName())).replace(".rpt", ".pdf");
  const QString path = AskExportPath("report", "Export Report as PDF", name, "PDF (*.pdf)");
  if (path.isEmpty()) return;
  ShowFailure(ExportReportPdf(path));
}

namespace {
// The exports refuse to write an earlier model's results under this one's name.
const char kRunGoing[] =
    "The analysis of the model is still running; export again once its results are shown.";
}  // namespace

Status CMainFrame::ExportPicture(const QString& path, int width, int height) {
  if (m_doc->IsRunPending()) return Status::Error(kRunGoing);
  ResultsViewState state = m_pDiagramView->State();
  state.m_cxClient = width;
  state.m_cyClient = height;
  return FailureOf(WritePicture(m_pDiagramView->Shown(), state, path.toStdString()));
}

Status CMainFrame::ExportResults(const QString& path) {
  if (m_doc->IsRunPending()) return Status::Error(kRunGoing);
  const bool json = path.endsWith(".json", Qt::CaseInsensitive);
  std::ostringstream out;
  if (json) WriteResultsJson(out, m_doc->GetAnalysis());
  else WriteResultsCsv(out, m_doc->GetAnalysis());
  return m_doc->Files().WriteFileAtomically(path.toStdString(), out.str());
}

Status CMainFrame::ExportReportPdf(const QString& path) {
  if (m_doc->IsRunPending()) return Status::Error(kRunGoing);
  return FailureOf(WriteReportPdf(*m_doc, m_options, *m_prompter, ReportHeader(),
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
  if (m_doc->IsRunPending()) return;  // Print and Print Preview wait for the results
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

}  // namespace spanlab
