// CTipDlg: the "Tip of the Day" window over the tips reader of the core, and the two ways the
// program opens it (Help menu, start-up).
#pragma once

#include <QDialog>

#include <string>
#include <vector>

#include "app/tip_reader.h"
#include "platform/settings.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace spanlab {

class CTipDlg : public QDialog {
 public:
  // Reads the tips file at `path` ("" when there is none; FindTipsFile) and shows its next tip.
  // `settings` must outlive the dialog; the dialog stores the reading position when it is
  // destroyed, and the box on "Close".
  CTipDlg(SettingsStore& settings, const std::string& path, QWidget* parent = nullptr);

  // Whether the box "Show Tips on StartUp" was checked when the dialog was made.
  bool Startup() const { return m_reader.Startup(); }
  // A message to show before the dialog ("" for none): see TipReader::Trouble.
  const std::string& Trouble() const { return m_reader.Trouble(); }

  QLabel* TipText() const { return m_tip; }
  QCheckBox* StartupBox() const { return m_startup; }
  QPushButton* NextTipButton() const { return m_next; }
  QPushButton* CloseButton() const { return m_close; }

  // "Close": stores the box. Escape and the window's close button go through reject(), which
  // stores nothing.
  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OnNextTip();
  void FitTip();

  TipReader m_reader;
  QLabel* m_tip;
  QCheckBox* m_startup;
  QPushButton* m_next;
  QPushButton* m_close;
};

// The Help menu's "Tip of the Day...": looks for the tips file in `folders` (FindTipsFile) and
// runs the dialog modally.
void ShowTipOfTheDay(QWidget* parent, SettingsStore& settings,
                     const std::vector<std::string>& folders);

// At an interactive start: the dialog runs only when "StartUp" is 0. The tips file is read all
// the same, so that a start without the dialog also moves on to a fresh tip for the next
// showing, and a replaced tips file is noticed.
void ShowTipAtStartup(QWidget* parent, SettingsStore& settings,
                      const std::vector<std::string>& folders);

}  // namespace spanlab
