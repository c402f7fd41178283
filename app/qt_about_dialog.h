// CAboutDlg: the program's name, version, memory and free disk space.
#pragma once

#include <QDialog>

class QLabel;

namespace spanlab {

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  // `folder` is the folder whose file system's free space is shown (the working folder).
  CAboutDlg(const QString& folder, QWidget* parent);
  QLabel* MemoryLine() const { return m_memory; }
  QLabel* DiskLine() const { return m_disk; }

 private:
  QLabel* m_memory;
  QLabel* m_disk;
};

}  // namespace spanlab
