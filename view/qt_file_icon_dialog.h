// CFileIconDlg: the File Open dialog with the current folder and a small picture of the beam in
// the selected file below the file list. The file is read into a private document that never
// asks anything and converts nothing; no analysis runs.
#pragma once

#include <QFileDialog>

#include <memory>

#include "model/document.h"

class QLabel;

namespace spanlab {

class BeamPreview;

class CFileIconDlg : public QFileDialog {
  Q_OBJECT

 public:
  explicit CFileIconDlg(QWidget* parent, const QString& folder = QString());
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
