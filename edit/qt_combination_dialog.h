// The dialog of a Load Combination or Service Combination line: its name, a table of cases and
// factors (each case an editable drop-down of the cases in use), and its comment. The fields are
// checked and the line is written by the core (edit/combination_form.h).
#pragma once

#include <QDialog>

#include <string>

#include "model/model_items.h"
#include "platform/help.h"

class QComboBox;
class QLineEdit;
class QTableWidget;

namespace spanlab {

class CombinationDialog : public QDialog {
  Q_OBJECT

 public:
  // `section` is kSectionLoadCombinations or kSectionServiceCombinations; `mode` 1 adds a line,
  // 2 edits `line` (without its prefix). A new combination opens with a row for every case in
  // use, factors blank. `items` (the model's) give the cases and the names taken.
  CombinationDialog(int section, int mode, const std::string& line, const ModelItems& items,
                    HelpProvider* help, QWidget* parent);

  QLineEdit* NameField() const { return m_name; }
  QLineEdit* Comment() const { return m_comment; }
  QTableWidget* Table() const { return m_table; }
  int RowCount() const;
  QComboBox* CaseField(int row) const;
  QLineEdit* FactorField(int row) const;
  // Appends a row (case and factor as given) and returns its index.
  int AddRow(const QString& caseName = {}, const QString& factor = {});
  // Removes the current row (the last when none is current).
  void RemoveRow();
  // The line after OK.
  const std::string& Line() const { return m_strLine; }

  void accept() override;

 private:
  const ModelItems& m_items;
  std::string m_ownName;  // the name the line had when the dialog opened
  QLineEdit* m_name;
  QTableWidget* m_table;
  QLineEdit* m_comment;
  std::string m_strLine;
};

}  // namespace spanlab
