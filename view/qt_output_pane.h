// CDoubleEditView: the output pane at the bottom of the main window. Two read-only text boxes,
// Results (the log of the last run) and Data (the document's message text), one shown at a
// time, chosen by two picture buttons. After every change of the model lines (hint 2) it shows
// the log of the run the document made before announcing the change.
#pragma once

#include <QPlainTextEdit>
#include <QWidget>

#include "platform/document.h"
#include "platform/help.h"
#include "run/document.h"

class QAbstractButton;
class QLabel;

namespace spanlab {

class LogBox;

class CDoubleEditView : public QWidget, public CView {
  Q_OBJECT

 public:
  static constexpr int kResultsButton = 1041;
  static constexpr int kDataButton = 1040;

  CDoubleEditView(CSPLX_30Doc& doc, HelpProvider& help, QWidget* parent = nullptr);

  void OnUpdate(CView* sender, long hint) override;

  // Shows the Results box (1041) or the Data box (1040).
  void Select(int button);
  int SelectedButton() const { return m_nSelected; }

  QPlainTextEdit* ResultsBox() const;
  QPlainTextEdit* DataBox() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void UpdateButtons();

  CSPLX_30Doc& m_doc;
  HelpProvider& m_help;
  LogBox* m_results;
  LogBox* m_data;
  QAbstractButton* m_resultsButton;
  QAbstractButton* m_dataButton;
  QLabel* m_strip;
  int m_nSelected = kResultsButton;
};

}  // namespace spanlab
