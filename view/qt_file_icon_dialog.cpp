#include "view/qt_file_icon_dialog.h"

#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QTreeView>
#include <QVBoxLayout>

#include "platform/qt_device_context.h"
#include "platform/qt_dialog_size.h"
#include "view/beam_drawing.h"

namespace spanlab {

// The sunken area that draws the beam of the preview document with screen-sized symbols.
class BeamPreview : public QFrame {
 public:
  BeamPreview(const CSPLX_30Doc& doc, QWidget* parent) : QFrame(parent), doc_(doc) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setMinimumHeight(90);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QFrame::paintEvent(event);
    if (!(doc_.GetBeamLength() > 0)) return;
    QPainter painter(this);
    QtDeviceContext dc(painter, false);
    const QRect r = contentsRect();
    DrawingFrame frame;
    frame.left = r.left() + static_cast<int>(r.width() * 0.15);
    frame.right = r.left() + static_cast<int>(r.width() * 0.85);
    frame.baseline = (r.top() + r.bottom() + 1) / 2;
    frame.length = doc_.GetBeamLength();
    DrawBeamPicture(dc, frame, doc_.GetItems());
  }

 private:
  const CSPLX_30Doc& doc_;
};

void SetUpFileDialog(QFileDialog& dialog, SettingsStore* settings, const std::string& name) {
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setSizeGripEnabled(true);
  dialog.setViewMode(QFileDialog::Detail);
  if (auto* view = dialog.findChild<QTreeView*>("treeView")) {
    QHeaderView* header = view->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
  }
  KeepDialogSize(dialog, settings, name, QSize(820, 560));
}

CFileIconDlg::CFileIconDlg(QWidget* parent, const QString& folder, SettingsStore* settings)
    : QFileDialog(parent, "Open", folder), m_doc(std::make_unique<CSPLX_30Doc>()) {
  setOption(QFileDialog::DontUseNativeDialog, true);
  setFileMode(QFileDialog::ExistingFile);
  setAcceptMode(QFileDialog::AcceptOpen);
  setNameFilters({"SPLX Files (*.spn)", "All Files (*.*) (*)"});
  m_doc->SetInteractive(false);  // never asks, never converts

  auto* panel = new QWidget(this);
  auto* column = new QVBoxLayout(panel);
  column->setContentsMargins(0, 0, 0, 0);
  m_folder = new QLabel(panel);
  m_folder->setObjectName("folderLine");
  m_preview = new BeamPreview(*m_doc, panel);
  m_preview->setObjectName("preview");
  column->addWidget(m_folder);
  column->addWidget(m_preview);
  if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
    grid->addWidget(panel, grid->rowCount(), 0, 1, grid->columnCount());
  }
  connect(this, &QFileDialog::currentChanged, this, &CFileIconDlg::PreviewFile);
  connect(this, &QFileDialog::directoryEntered, this, &CFileIconDlg::ShowFolder);
  connect(this, &QFileDialog::directoryUrlEntered, this,
          [this](const QUrl& url) { ShowFolder(url.toLocalFile()); });
  // Typed folders and the Back and Forward buttons move the list's root without those signals.
  if (auto* model = findChild<QFileSystemModel*>()) {
    connect(model, &QFileSystemModel::rootPathChanged, this, &CFileIconDlg::ShowFolder);
  }
  // Selecting a file by name does not move the current index; follow the list's selection too.
  for (QAbstractItemView* view : findChildren<QAbstractItemView*>()) {
    if (!view->selectionModel()) continue;
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
      const QStringList files = selectedFiles();
      if (!files.isEmpty()) PreviewFile(files.first());
    });
  }
  ShowFolder(directory().absolutePath());
  SetUpFileDialog(*this, settings, "Open");
}

CFileIconDlg::~CFileIconDlg() = default;

QWidget* CFileIconDlg::PreviewArea() const { return m_preview; }

void CFileIconDlg::ShowFolder(const QString& folder) { m_folder->setText("Path:\t" + folder); }

void CFileIconDlg::PreviewFile(const QString& path) {
  if (!QFileInfo(path).isFile()) return;
  // A file that cannot be read leaves the picture as it was.
  if (!m_doc->OnOpenDocument(path.toStdString())) return;
  m_doc->BuildItems(true);
  m_preview->update();
}

}  // namespace spanlab
