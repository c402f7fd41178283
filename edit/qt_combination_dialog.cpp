#include "edit/qt_combination_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "edit/combination_form.h"
#include "model/line_fields.h"
#include "model/sections.h"
#include "platform/qt_device_context.h"

namespace spanlab {

CombinationDialog::CombinationDialog(int section, int mode, const std::string& line,
                                     const ModelItems& items, HelpProvider* help,
                                     QWidget* parent)
    : QDialog(parent), m_items(items) {
  const SectionRecord& record = SectionById(section);
  setWindowTitle(mode == 1 ? record.addTitle : record.editTitle);
  const CombinationForm form = SplitCombinationLine(line);
  m_ownName = mode == 2 ? form.name : std::string();

  m_name = new QLineEdit(ToQString(form.name), this);
  m_name->setObjectName("name");
  m_name->setMaxLength(12);
  m_table = new QTableWidget(0, 2, this);
  m_table->setObjectName("factors");
  m_table->setHorizontalHeaderLabels({"Case", "Factor"});
  m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  m_table->verticalHeader()->setVisible(false);
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->setMinimumSize(260, 170);
  if (mode == 1 && form.rows.empty()) {
    for (const std::string& name : items.m_caseNames) AddRow(ToQString(name));
  }
  for (const CombinationRow& row : form.rows) AddRow(ToQString(row.caseName), ToQString(row.factor));
  if (RowCount() == 0) AddRow();

  auto* add = new QPushButton("Add Case", this);
  add->setObjectName("addRow");
  auto* remove = new QPushButton("Remove Case", this);
  remove->setObjectName("removeRow");
  connect(add, &QPushButton::clicked, this, [this] {
    const int row = AddRow();
    CaseField(row)->setFocus();
  });
  connect(remove, &QPushButton::clicked, this, [this] { RemoveRow(); });
  auto* rowButtons = new QHBoxLayout;
  rowButtons->addWidget(add);
  rowButtons->addWidget(remove);
  rowButtons->addStretch(1);

  m_comment = new QLineEdit(ToQString(form.comment), this);
  m_comment->setObjectName("comment");
  m_comment->setMaxLength(std::max<int>(kMaxCommentLength, m_comment->text().size()));

  auto* fields = new QFormLayout;
  fields->addRow("Name", m_name);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(new QLabel("Factors (a case left without a factor is left out):", this));
  layout->addWidget(m_table, 1);
  layout->addLayout(rowButtons);
  auto* commentRow = new QFormLayout;
  commentRow->addRow("Comment", m_comment);
  layout->addLayout(commentRow);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  if (help && record.helpTopic) {
    QPushButton* button = buttons->addButton(QDialogButtonBox::Help);
    const std::string topic = record.helpTopic;
    connect(button, &QPushButton::clicked, this, [help, topic] { help->ShowTopic(topic); });
  }
  layout->addWidget(buttons);
  m_name->setFocus();
}

int CombinationDialog::RowCount() const { return m_table->rowCount(); }

QComboBox* CombinationDialog::CaseField(int row) const {
  return qobject_cast<QComboBox*>(m_table->cellWidget(row, 0));
}

QLineEdit* CombinationDialog::FactorField(int row) const {
  return qobject_cast<QLineEdit*>(m_table->cellWidget(row, 1));
}

int CombinationDialog::AddRow(const QString& caseName, const QString& factor) {
  const int row = m_table->rowCount();
  m_table->insertRow(row);
  auto* cases = new QComboBox(m_table);
  cases->setEditable(true);
  cases->setInsertPolicy(QComboBox::NoInsert);
  for (const std::string& name : m_items.m_caseNames) cases->addItem(ToQString(name));
  cases->setCurrentText(caseName);
  cases->lineEdit()->setMaxLength(12);
  cases->setObjectName(QString("case%1").arg(row));
  auto* value = new QLineEdit(factor, m_table);
  value->setObjectName(QString("factor%1").arg(row));
  m_table->setCellWidget(row, 0, cases);
  m_table->setCellWidget(row, 1, value);
  return row;
}

void CombinationDialog::RemoveRow() {
  if (m_table->rowCount() == 0) return;
  int row = m_table->currentRow();
  // The row whose field has the focus counts as current too.
  for (int r = 0; r < m_table->rowCount(); ++r) {
    if (CaseField(r)->hasFocus() || CaseField(r)->isAncestorOf(focusWidget()) ||
        FactorField(r)->hasFocus()) {
      row = r;
    }
  }
  if (row < 0 || row >= m_table->rowCount()) row = m_table->rowCount() - 1;
  m_table->removeRow(row);
}

void CombinationDialog::accept() {
  CombinationForm form;
  form.name = m_name->text().toStdString();
  for (int r = 0; r < RowCount(); ++r) {
    form.rows.push_back(
        {CaseField(r)->currentText().toStdString(), FactorField(r)->text().toStdString()});
  }
  form.comment = m_comment->text().toStdString();
  const CombinationProblem problem = CheckCombinationForm(form, m_items, m_ownName);
  if (!problem.ok()) {
    QMessageBox::warning(this, "Spanlab", ToQString(problem.message));
    using W = CombinationProblem::Where;
    QLineEdit* field = problem.where == W::kName      ? m_name
                       : problem.where == W::kComment ? m_comment
                       : problem.where == W::kCase    ? CaseField(problem.row)->lineEdit()
                                                      : FactorField(problem.row);
    field->setFocus();
    field->selectAll();
    return;
  }
  m_strLine = BuildCombinationLine(form);
  QDialog::accept();
}

}  // namespace spanlab
