// CFileIconDlg: the File Open dialog with the current folder and a small picture of the beam in
// the selected file below the file list. The file is read into a private document that never
// asks anything and converts nothing; no analysis runs.
#pragma once

#include <QFileDialog>

#include <memory>

#include "platform/settings.h"
#include "run/document.h"

class QLabel;

namespace spanlab {

class BeamPreview;

// The program's own (not the desktop's) file dialog, resizable, opening wide enough to read
// names, sizes and dates, and at the size it had when it was last closed (kept in `settings`
// under `name`). The name column takes the width the other columns leave.
void SetUpFileDialog(QFileDialog& dialog, SettingsStore* settings, const std::string& name);

class CFileIconDlg : public QFileDialog {
  Q_OBJECT

 public:
  // `settings` (optional) keeps the dialog's size between uses.
  explicit CFileIconDlg(QWidget* parent, const QString& folder = QString(),
                        SettingsStore* settings = nullptr);
  ~CFileIconDlg() override;

  // Reads `path` into the preview (a folder or a file that cannot be read changes nothing).
  void PreviewFile(const QString& path);
  const CSPLX_30Doc& PreviewDocument() const { return *m_doc; }
  QLabel* FolderLine() const { return m_folder; }
  QWidget* PreviewArea() const;

 private:
  void ShowFolder(const QString& folder);

  std::unique_ptr<CSPLX_30Doc> m_doc;
  QLabel* m_folder;
  BeamPreview* m_preview;
};

}  // namespace spanlab
