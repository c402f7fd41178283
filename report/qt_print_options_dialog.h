// CPrintOptionsDlg: which reports are printed and how many rows the details table has.
#pragma once

#include <QDialog>

#include "report/print_options.h"

class QButtonGroup;
class QCheckBox;

namespace spanlab {

class CPrintOptionsDlg : public QDialog {
  Q_OBJECT

 public:
  CPrintOptionsDlg(const PrintOptions& options, QWidget* parent);
  // The options as the dialog shows them.
  PrintOptions Options() const;
  QCheckBox* Box(const char* name) const;  // "input", "diagrams", "summary", "details"
  QButtonGroup* Points() const { return m_points; }

 private:
  void UpdatePointsEnabled();

  QCheckBox* m_input;
  QCheckBox* m_diagrams;
  QCheckBox* m_summary;
  QCheckBox* m_details;
  QButtonGroup* m_points;
};

}  // namespace spanlab
