#include "edit/qt_item_dialogs.h"

#include <QAbstractTextDocumentLayout>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextLayout>
#include <QTreeWidget>
#include <QHeaderView>
#include <QStyle>
#include <QVBoxLayout>
#include <functional>

#include "edit/qt_combination_dialog.h"
#include "edit/qt_item_pictures.h"
#include "edit/tree_sections.h"
#include "model/number_text.h"
#include "platform/qt_device_context.h"
#include "platform/qt_dialog_size.h"

namespace spanlab {

namespace {

QFont FixedFont(int points) {
  QFont font("Courier New");
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSize(points);
  return font;
}

// OK, Cancel and Help (when there is help to give) under a dialog.
QDialogButtonBox* StandardButtons(QDialog* dialog, HelpProvider* help, const char* topic) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  if (help && topic) {
    QPushButton* button = buttons->addButton(QDialogButtonBox::Help);
    const std::string keyword = topic;
    QObject::connect(button, &QPushButton::clicked, dialog,
                     [help, keyword] { help->ShowTopic(keyword); });
  }
  return buttons;
}

void Refuse(QWidget* parent, QLineEdit* field, const std::string& message) {
  QMessageBox::warning(parent, "Spanlab", ToQString(message));
  if (field) {
    field->setFocus();
    field->selectAll();
  }
}

}  // namespace

// ---------------------------------------------------------------------------
CItemLineDialog::CItemLineDialog(const ItemDialogSpec& form, int mode, const std::string& line,
                                 const ModelItems& items, HelpProvider* help,
                                 const Databases* databases, QWidget* parent,
                                 SettingsStore* settings)
    : QDialog(parent), m_form(form), m_items(items), m_databases(databases), m_settings(settings) {
  setWindowTitle(mode == 1 ? form.addTitle : form.editTitle);
  const DialogValues values = SplitDialogLine(form, line);
  auto* grid = new QGridLayout;
  for (size_t i = 0; i < form.fields.size(); ++i) {
    const DialogField& f = form.fields[i];
    auto* label = new QLabel(f.label, this);
    QLineEdit* edit = nullptr;
    QWidget* widget = nullptr;
    if (f.check == FieldCheck::kCaseName) {
      // The load's case: one of the cases in use or a new name; blank for the default case.
      auto* cases = new QComboBox(this);
      cases->setEditable(true);
      cases->setInsertPolicy(QComboBox::NoInsert);
      for (const std::string& name : items.m_caseNames) cases->addItem(ToQString(name));
      cases->setCurrentText(ToQString(values.fields[i]));
      cases->setObjectName(QString("case%1").arg(i));
      cases->setToolTip(QString("Blank: case %1").arg(SectionById(form.section).defaultCase));
      edit = cases->lineEdit();
      edit->setMaxLength(12);
      widget = cases;
    } else {
      edit = new QLineEdit(ToQString(values.fields[i]), this);
      widget = edit;
    }
    edit->setObjectName(QString("field%1").arg(i));
    widget->setMinimumWidth(150);
    label->setBuddy(widget);
    const int row = static_cast<int>(i);
    grid->addWidget(label, row, 0);
    grid->addWidget(widget, row, 1);
    grid->addWidget(new QLabel(ToQString(items.GetUnitLabel(f.unitCode)), this), row, 2);
    m_fields.push_back(edit);
  }
  if (form.section == kSectionProperties) {
    // Values from the databases and the calculator go into the fields as text.
    auto* pickE = new QPushButton("...", this);
    pickE->setObjectName("pickE");
    auto* pickI = new QPushButton("...", this);
    pickI->setObjectName("pickI");
    auto* calc = new QPushButton("Calc", this);
    calc->setObjectName("calc");
    for (QPushButton* b : {pickE, pickI}) b->setFixedWidth(32);
    grid->addWidget(pickE, 1, 3);
    auto* iButtons = new QHBoxLayout;
    iButtons->addWidget(pickI);
    iButtons->addWidget(calc);
    grid->addLayout(iButtons, 2, 3);
    connect(pickE, &QPushButton::clicked, this, [this] { PickFromDatabase(DatabaseKind::kMaterial, 1); });
    connect(pickI, &QPushButton::clicked, this, [this] { PickFromDatabase(DatabaseKind::kSection, 2); });
    connect(calc, &QPushButton::clicked, this, [this] { Calculate(); });
  }
  const int commentRow = static_cast<int>(form.fields.size());
  grid->addWidget(new QLabel("Comment", this), commentRow, 0);
  m_comment = new QLineEdit(ToQString(values.comment), this);
  m_comment->setObjectName("comment");
  // At most 50 characters are typed; a longer comment read from a file stays until OK says so.
  m_comment->setMaxLength(std::max<int>(kMaxCommentLength, m_comment->text().size()));
  grid->addWidget(m_comment, commentRow, 1, 1, 3);

  auto* picture = new QLabel(this);
  picture->setPixmap(ItemPicture(form.section));
  picture->setFrameShape(QFrame::StyledPanel);
  auto* top = new QHBoxLayout;
  top->addLayout(grid, 1);
  top->addWidget(picture, 0, Qt::AlignTop);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(StandardButtons(this, help, form.helpTopic));
  if (!m_fields.empty()) m_fields.front()->setFocus();
}

void CItemLineDialog::accept() {
  DialogValues values;
  for (QLineEdit* f : m_fields) values.fields.push_back(f->text().toStdString());
  values.comment = m_comment->text().toStdString();
  const FieldProblem problem = CheckDialogValues(m_form, values);
  if (!problem.ok()) {
    const bool onComment = problem.field >= static_cast<int>(m_fields.size());
    Refuse(this, onComment ? m_comment : m_fields[static_cast<size_t>(problem.field)],
           problem.message);
    return;
  }
  m_strLine = BuildDialogLine(m_form, values);
  QDialog::accept();
}

void CItemLineDialog::PickFromDatabase(DatabaseKind kind, int field) {
  const int units = m_items.m_nUnits;
  if (units != kUnitsEnglish && units != kUnitsMetric) {
    QMessageBox::information(
        this, "Spanlab",
        kind == DatabaseKind::kMaterial
            ? "The modulus of elasticity database is available only when the units have been "
              "set to english or metric."
            : "The moment of inertia database is available only when the units have been set "
              "to english or metric.");
    return;
  }
  static const DatabaseDocument kEmpty;
  const DatabaseDocument& db =
      !m_databases ? kEmpty
                   : kind == DatabaseKind::kMaterial ? m_databases->material : m_databases->section;
  CSelectDatabaseDlg dialog(kind, db, units, this, m_settings);
  if (dialog.exec() == QDialog::Accepted) m_fields[static_cast<size_t>(field)]->setText(ToQString(dialog.Value()));
}

void CItemLineDialog::Calculate() {
  CInertiaCalcDlg dialog(this);
  if (dialog.exec() == QDialog::Accepted && dialog.m_dResult > 0) {
    m_fields[2]->setText(ToQString(dialog.m_strResult));
  }
}

// ---------------------------------------------------------------------------
CDescriptionDlg::CDescriptionDlg(const std::string& text, HelpProvider* help, QWidget* parent)
    : QDialog(parent) {
  const SectionRecord& section = SectionById(kSectionDescription);
  setWindowTitle(section.editTitle);
  m_edit = new QPlainTextEdit(this);
  m_edit->setObjectName("description");
  m_edit->setFont(FixedFont(10));
  m_edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  m_edit->setWordWrapMode(QTextOption::WordWrap);
  m_edit->setPlainText(ToQString(text).replace("\r\n", "\n"));
  m_edit->setMinimumSize(460, 180);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_edit);
  layout->addWidget(StandardButtons(this, help, section.helpTopic));
}

void CDescriptionDlg::accept() {
  // Every line the editor wrapped by itself ends in a soft break "\r\r\n"; the tree turns it
  // into a line of its own without the blank at which it wrapped.
  QString out;
  QTextDocument* document = m_edit->document();
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    if (block != document->begin()) out += "\r\n";
    // The editor lays out only what it has shown; make it lay out this block too.
    document->documentLayout()->blockBoundingRect(block);
    const QString text = block.text();
    QTextLayout* layout = block.layout();
    if (!layout || layout->lineCount() <= 1) {
      out += text;
      continue;
    }
    for (int i = 0; i < layout->lineCount(); ++i) {
      const QTextLine line = layout->lineAt(i);
      out += text.mid(line.textStart(), line.textLength());
      if (i + 1 < layout->lineCount()) out += "\r\r\n";
    }
  }
  m_strText = out.toStdString();
  QDialog::accept();
}

// ---------------------------------------------------------------------------
CUnitsDlg::CUnitsDlg(const std::string& text, HelpProvider* help, QWidget* parent)
    : QDialog(parent), m_strText(text) {
  const SectionRecord& section = SectionById(kSectionUnits);
  setWindowTitle(section.editTitle);
  auto* box = new QGroupBox(section.title, this);
  auto* column = new QVBoxLayout(box);
  m_group = new QButtonGroup(this);
  const char* names[] = {"English", "Metric", "Consistent"};
  for (int i = 0; i < 3; ++i) {
    auto* button = new QRadioButton(names[i], box);
    m_group->addButton(button, i);
    column->addWidget(button);
  }
  // "User Defined" (3) checks no button.
  const int choice = UnitsChoiceForText(text);
  if (choice <= 2) m_group->button(choice)->setChecked(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(box);
  layout->addWidget(StandardButtons(this, help, section.helpTopic));
}

QRadioButton* CUnitsDlg::Button(int choice) const {
  return static_cast<QRadioButton*>(m_group->button(choice));
}

void CUnitsDlg::accept() {
  m_strText = UnitsTextForChoice(m_group->checkedId(), m_strText);
  QDialog::accept();
}

// ---------------------------------------------------------------------------
CInertiaCalcDlg::CInertiaCalcDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Calculate Moment of Inertia");
  auto* shapes = new QGroupBox("Shape", this);
  auto* shapeColumn = new QVBoxLayout(shapes);
  m_group = new QButtonGroup(this);
  for (int s = 0; s < kInertiaShapeCount; ++s) {
    auto* button = new QRadioButton(InertiaShapeName(static_cast<InertiaShape>(s)), shapes);
    m_group->addButton(button, s);
    shapeColumn->addWidget(button);
  }
  auto* grid = new QGridLayout;
  for (int i = 0; i < 3; ++i) {
    m_labels[i] = new QLabel(this);
    m_fields[i] = new QLineEdit("0", this);
    m_fields[i]->setObjectName(QString("dimension%1").arg(i));
    grid->addWidget(m_labels[i], i, 0);
    grid->addWidget(m_fields[i], i, 1);
  }
  m_picture = new QLabel(this);
  m_result = new QLabel("I =", this);
  m_result->setObjectName("result");
  auto* calculate = new QPushButton("Calculate", this);
  connect(calculate, &QPushButton::clicked, this, [this] {
    // Text that is not a number is pointed out; the result is computed either way.
    ExchangeFields();
    ComputeInertia();
  });
  grid->addWidget(m_result, 3, 0, 1, 2);
  grid->addWidget(calculate, 4, 0, 1, 2);
  auto* right = new QVBoxLayout;
  right->addWidget(m_picture);
  right->addLayout(grid);
  auto* top = new QHBoxLayout;
  top->addWidget(shapes);
  top->addLayout(right);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
  connect(m_group, &QButtonGroup::idClicked, this,
          [this](int id) { SelectShape(static_cast<InertiaShape>(id)); });
  m_group->button(0)->setChecked(true);
  SelectShape(InertiaShape::kRectangleCenter);
}

void CInertiaCalcDlg::SelectShape(InertiaShape shape) {
  if (m_bShapeChosen && shape == m_shape) return;
  m_bShapeChosen = true;
  m_shape = shape;
  m_group->button(static_cast<int>(shape))->setChecked(true);
  m_picture->setPixmap(InertiaShapePicture(shape));
  for (int i = 0; i < 3; ++i) {
    const char* label = InertiaFieldLabel(shape, i);
    m_labels[i]->setText(label);
    m_labels[i]->setVisible(*label != '\0');
    m_fields[i]->setVisible(*label != '\0');
  }
  ComputeInertia();  // the result follows the choice at once
}

void CInertiaCalcDlg::ComputeInertia() {
  double v[3];
  for (int i = 0; i < 3; ++i) v[i] = ReadPositiveField(m_fields[i]->text().toStdString());
  m_dResult = spanlab::ComputeInertia(m_shape, v[0], v[1], v[2]);
  m_strResult = m_dResult > 0 ? InertiaValueText(m_dResult) : "0";
  m_result->setText(ToQString(InertiaResultText(m_dResult)));
}

bool CInertiaCalcDlg::ExchangeFields() {
  // All three fields are numbers to the dialog, the ones the shape hides too: a text that is
  // not a number there is pointed out as well, so that it cannot pass unseen.
  for (QLineEdit* field : m_fields) {
    if (!IsValidNumber(field->text().toStdString())) {
      Refuse(this, field, "Please enter a number.");
      return false;
    }
  }
  return true;
}

void CInertiaCalcDlg::accept() {
  const bool numbers = ExchangeFields();
  ComputeInertia();
  // A field that is not a number keeps the dialog open even when the shape does not use it.
  if (numbers && m_dResult > 0) QDialog::accept();
}

void CInertiaCalcDlg::reject() {
  m_dResult = 0;
  m_strResult = InertiaValueText(0);  // "0"
  QDialog::reject();
}

// ---------------------------------------------------------------------------
CSelectDatabaseDlg::CSelectDatabaseDlg(DatabaseKind kind, const DatabaseDocument& database,
                                       int units, QWidget* parent, SettingsStore* settings)
    : QDialog(parent) {
  const bool sections = kind == DatabaseKind::kSection;
  setWindowTitle(sections ? "Select Moment of Inertia" : "Select Material");
  m_tree = new QTreeWidget(this);
  m_tree->setHeaderHidden(true);
  m_tree->setFont(FixedFont(9));
  m_tree->setMinimumSize(240, 160);
  m_tree->setIconSize(QSize(17, 17));
  // The one column is as wide as its widest shown entry; a narrower list scrolls sideways.
  m_tree->header()->setStretchLastSection(false);
  m_tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  std::function<void(QTreeWidgetItem*, const std::vector<DatabaseNode>&)> add;
  add = [&](QTreeWidgetItem* parentItem, const std::vector<DatabaseNode>& nodes) {
    for (const DatabaseNode& node : nodes) {
      auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(m_tree);
      item->setText(0, ToQString(node.text));
      item->setData(0, Qt::UserRole, node.selectable);
      if (sections) item->setIcon(0, SectionIcon(node.icon));
      add(item, node.children);
    }
  };
  add(nullptr, BuildDatabaseTree(database, kind, units));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  m_ok = buttons->button(QDialogButtonBox::Ok);
  m_ok->setEnabled(false);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    m_ok->setEnabled(item && item->data(0, Qt::UserRole).toBool());
  });
  connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] { accept(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_tree);
  layout->addWidget(buttons);
  setSizeGripEnabled(true);
  const QMargins margins = layout->contentsMargins();
  const int width = WidestEntry(*m_tree) + 2 * m_tree->frameWidth() +
                    m_tree->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + margins.left() +
                    margins.right();
  KeepDialogSize(*this, settings, sections ? "Select Moment of Inertia" : "Select Material",
                 QSize(std::max(420, width), 360));
}

int CSelectDatabaseDlg::WidestEntry(const QTreeWidget& tree) {
  // Collapsed entries count too: the dialog opens before the user expands anything.
  const QFontMetrics metrics(tree.font());
  const int iconAndGap = tree.iconSize().width() + 8;
  int widest = 0;
  std::function<void(const QTreeWidgetItem*, int)> measure = [&](const QTreeWidgetItem* item,
                                                                 int depth) {
    const int indent = (depth + 1) * tree.indentation();  // the root shows its decoration too
    const int icon = item->icon(0).isNull() ? 0 : iconAndGap;
    widest = std::max(widest, indent + icon + metrics.horizontalAdvance(item->text(0)) + 12);
    for (int i = 0; i < item->childCount(); ++i) measure(item->child(i), depth + 1);
  };
  for (int i = 0; i < tree.topLevelItemCount(); ++i) measure(tree.topLevelItem(i), 0);
  return widest;
}

void CSelectDatabaseDlg::accept() {
  if (!m_ok->isEnabled() || !m_tree->currentItem()) return;
  m_strValue = DatabaseEntryValue(m_tree->currentItem()->text(0).toStdString());
  QDialog::accept();
}

// ---------------------------------------------------------------------------
namespace {

// A line edited as its text (a Vehicle line): the fields after the section's name, as they
// stand; the run's checks report what is wrong with them.
bool EditLineText(const SectionRecord& section, int mode, std::string& text, HelpProvider* help,
                  QWidget* parent) {
  QDialog dialog(parent);
  dialog.setWindowTitle(mode == 1 ? section.addTitle : section.editTitle);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QString::fromUtf8(section.prefix.data(),
                                                 static_cast<int>(section.prefix.size())),
                               &dialog));
  auto* edit = new QLineEdit(&dialog);
  edit->setText(QString::fromStdString(
      mode == 1 && text.empty() ? " Name = ; Axles = ; Spacing = ;" : text));
  edit->setMinimumWidth(520);
  layout->addWidget(edit);
  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, &dialog);
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::helpRequested, &dialog, [help, &section] {
    if (help) help->ShowTopic(section.helpTopic);
  });
  if (dialog.exec() != QDialog::Accepted) return false;
  text = edit->text().toStdString();
  if (text.empty() || text[0] != ' ') text.insert(text.begin(), ' ');
  return true;
}

}  // namespace

bool QtItemDialogs::Edit(int section, int mode, const ModelItems& items, std::string& text) {
  if (section < 0 || section >= kSectionCount) return false;
  switch (SectionById(section).dialog) {
    case SectionDialog::kDescription: {
      CDescriptionDlg dialog(text, help_, parent_);
      if (dialog.exec() != QDialog::Accepted) return false;
      text = dialog.Text();
      return true;
    }
    case SectionDialog::kUnits: {
      CUnitsDlg dialog(text, help_, parent_);
      if (dialog.exec() != QDialog::Accepted) return false;
      text = dialog.Text();
      return true;
    }
    case SectionDialog::kItemLine: {
      CItemLineDialog dialog(*ItemDialogFor(section), mode, text, items, help_, databases_,
                             parent_);
      if (dialog.exec() != QDialog::Accepted) return false;
      text = dialog.Line();
      return true;
    }
    case SectionDialog::kCombination: {
      CombinationDialog dialog(section, mode, text, items, help_, parent_);
      if (dialog.exec() != QDialog::Accepted) return false;
      text = dialog.Line();
      return true;
    }
    case SectionDialog::kLineText:
      return EditLineText(SectionById(section), mode, text, help_, parent_);
  }
  return false;
}

}  // namespace spanlab
