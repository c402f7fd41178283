// The item dialogs: one form per section that turns a model line into fields and back, with
// the field checks of the core; the Units and Description dialogs; the moment of inertia
// calculator; and the two database selection dialogs.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

#include "edit/inertia.h"
#include "edit/line_editor.h"
#include "edit/property_database.h"
#include "model/line_fields.h"
#include "platform/help.h"
#include "platform/settings.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace spanlab {

// The two databases, loaded at start-up (either may be empty).
struct Databases {
  DatabaseDocument material;
  DatabaseDocument section;
};

// The dialog of one one-line section (Properties, Moment Releases, Supports, Springs, Point
// Loads, Uniform Loads), built from the section's field list.
class CItemLineDialog : public QDialog {
  Q_OBJECT

 public:
  // `settings` (optional) keeps the sizes of the database selection dialogs.
  CItemLineDialog(const ItemDialogSpec& form, int mode, const std::string& line,
                  const ModelItems& items, HelpProvider* help, const Databases* databases,
                  QWidget* parent, SettingsStore* settings = nullptr);
  QLineEdit* Field(int index) const { return m_fields[static_cast<size_t>(index)]; }
  QLineEdit* Comment() const { return m_comment; }
  // The line after OK.
  const std::string& Line() const { return m_strLine; }

  void accept() override;

 private:
  void PickFromDatabase(DatabaseKind kind, int field);
  void Calculate();

  const ItemDialogSpec& m_form;
  const ModelItems& m_items;  // the model's, for its unit system
  const Databases* m_databases;
  SettingsStore* m_settings;
  std::vector<QLineEdit*> m_fields;
  QLineEdit* m_comment;
  std::string m_strLine;
};

class CDescriptionDlg : public QDialog {
  Q_OBJECT

 public:
  CDescriptionDlg(const std::string& text, HelpProvider* help, QWidget* parent);
  QPlainTextEdit* Editor() const { return m_edit; }
  // The text after OK, every automatic line wrap marked "\r\r\n", hard breaks "\r\n".
  const std::string& Text() const { return m_strText; }
  void accept() override;

 private:
  QPlainTextEdit* m_edit;
  std::string m_strText;
};

class CUnitsDlg : public QDialog {
  Q_OBJECT

 public:
  CUnitsDlg(const std::string& text, HelpProvider* help, QWidget* parent);
  QRadioButton* Button(int choice) const;
  const std::string& Text() const { return m_strText; }
  void accept() override;

 private:
  QButtonGroup* m_group;
  std::string m_strText;
};

// The result is computed when a shape is chosen, on "Calculate" and on OK; typing alone
// leaves it as it is.
class CInertiaCalcDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CInertiaCalcDlg(QWidget* parent);
  void SelectShape(InertiaShape shape);
  QLineEdit* Field(int index) const { return m_fields[index]; }
  QLabel* ResultLabel() const { return m_result; }
  double m_dResult = 0;
  std::string m_strResult = "0";
  void accept() override;
  void reject() override;

 private:
  // The number check of the three fields, in order: false, after "Please enter a number." with
  // the field selected, at the first that is not a number.
  bool ExchangeFields();
  void ComputeInertia();

  InertiaShape m_shape = InertiaShape::kRectangleCenter;
  bool m_bShapeChosen = false;
  QLineEdit* m_fields[3];
  QLabel* m_labels[3];
  QLabel* m_picture;
  QLabel* m_result;
  QButtonGroup* m_group;
};

// "Select Material" (E) or "Select Moment of Inertia" (I). Resizable; its list is as wide
// as its longest entry (scrolled sideways when the dialog is narrower), and the dialog opens
// wide enough to show every entry whole, or at the size it had when it last closed (kept in
// `settings` when given).
class CSelectDatabaseDlg : public QDialog {
  Q_OBJECT

 public:
  CSelectDatabaseDlg(DatabaseKind kind, const DatabaseDocument& database, int units,
                     QWidget* parent, SettingsStore* settings = nullptr);
  QTreeWidget* Tree() const { return m_tree; }
  const std::string& Value() const { return m_strValue; }
  void accept() override;
  // Pixels the longest entry needs in `tree`, indentation and icon included, shown or not.
  static int WidestEntry(const QTreeWidget& tree);

 private:
  QTreeWidget* m_tree;
  QPushButton* m_ok;
  std::string m_strValue;
};

// The tree editor's dialogs.
class QtItemDialogs : public LineEditor {
 public:
  QtItemDialogs(QWidget* parent, HelpProvider* help, const Databases* databases,
                SettingsStore* settings = nullptr)
      : parent_(parent), help_(help), databases_(databases), settings_(settings) {}
  bool Edit(int section, int mode, const ModelItems& items, std::string& text) override;

 private:
  QWidget* parent_;
  HelpProvider* help_;
  const Databases* databases_;
  SettingsStore* settings_;
};

}  // namespace spanlab
