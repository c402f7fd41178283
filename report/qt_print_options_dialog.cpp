#include "report/qt_print_options_dialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

namespace spanlab {

CPrintOptionsDlg::CPrintOptionsDlg(const PrintOptions& options, QWidget* parent) : QDialog(parent) {
  setWindowTitle("Print Options");
  auto* reports = new QGroupBox("Reports", this);
  auto* column = new QVBoxLayout(reports);
  m_input = new QCheckBox("Input", reports);
  m_diagrams = new QCheckBox("Diagrams", reports);
  m_summary = new QCheckBox("Summary of results", reports);
  m_details = new QCheckBox("Details", reports);
  for (QCheckBox* box : {m_input, m_diagrams, m_summary, m_details}) column->addWidget(box);
  m_input->setChecked(options.m_bPrintInput);
  m_diagrams->setChecked(options.m_bPrintDiagrams);
  m_summary->setChecked(options.m_bPrintSummary);
  m_details->setChecked(options.m_bPrintDetails);

  auto* points = new QGroupBox("Data Points", this);
  auto* row = new QVBoxLayout(points);
  m_points = new QButtonGroup(this);
  const char* labels[] = {"25", "50", "100", "200+"};
  for (int i = 0; i < 4; ++i) {
    auto* button = new QRadioButton(labels[i], points);
    m_points->addButton(button, i);
    row->addWidget(button);
  }
  if (QAbstractButton* chosen = m_points->button(options.m_nDataPoints)) chosen->setChecked(true);
  // The data points matter only for the details table.
  connect(m_details, &QCheckBox::clicked, this, [this] { UpdatePointsEnabled(); });
  UpdatePointsEnabled();

  // Help has no action of its own here; the help pages describe the reports.
  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* top = new QHBoxLayout;
  top->addWidget(reports);
  top->addWidget(points);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
}

void CPrintOptionsDlg::UpdatePointsEnabled() {
  for (QAbstractButton* b : m_points->buttons()) b->setEnabled(m_details->isChecked());
}

QCheckBox* CPrintOptionsDlg::Box(const char* name) const {
  const std::string n = name;
  if (n == "input") return m_input;
  if (n == "diagrams") return m_diagrams;
  if (n == "summary") return m_summary;
  return m_details;
}

PrintOptions CPrintOptionsDlg::Options() const {
  PrintOptions o;
  o.m_bPrintInput = m_input->isChecked();
  o.m_bPrintDiagrams = m_diagrams->isChecked();
  o.m_bPrintSummary = m_summary->isChecked();
  o.m_bPrintDetails = m_details->isChecked();
  o.m_nDataPoints = std::max(0, m_points->checkedId());
  return o;
}

}  // namespace spanlab
