// The help window: the program's help pages, compiled in under qrc:/help/, opened by keyword.
//
// The main window owns one QtHelpWindow and hands it to the output pane and the item dialogs
// as their HelpProvider. The window is a separate, non-modal top-level window: asking for a
// topic shows it (or brings it to the front) at that page, and the user keeps working in the
// program beside it. Back, Forward and Contents move through the pages seen in this window.
#pragma once

#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <QWidget>

#include "platform/help.h"

class QTextBrowser;
class QToolButton;

namespace spanlab {

class QtHelpWindow : public QWidget, public HelpProvider {
 public:
  // `parent` (the main window, or none) only ties the window's lifetime and stacking to it;
  // the help window is always a top-level window of its own.
  explicit QtHelpWindow(QWidget* parent = nullptr);

  // HelpProvider. Both show the window and bring it to the front.
  void ShowTopic(const std::string& keyword) override;
  void ShowContents() override;

  // Opens a help page, "qrc:/help/page.html" with an optional "#anchor", and shows the window.
  // Asking again for the page already shown scrolls back to its anchor (or its top).
  void ShowUrl(const QUrl& url);

  // The page of a topic keyword ("Format Error Messages" -> qrc:/help/messages.html#format).
  // Keywords compare without regard to case or surrounding blanks; an unknown keyword gives
  // the contents page.
  static QUrl HelpUrlForKeyword(const QString& keyword);
  // Every keyword HelpUrlForKeyword knows, in the order of its table.
  static QStringList Keywords();
  // The contents page, qrc:/help/index.html.
  static QUrl ContentsUrl();

  QTextBrowser* Browser() const { return m_browser; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void UpdateTitle();
  void JoinModalDialog();

  QPointer<QWidget> m_modal;  // the modal dialog the help was last asked for from, while shown

  QTextBrowser* m_browser = nullptr;
  QToolButton* m_back = nullptr;
  QToolButton* m_forward = nullptr;
  QToolButton* m_contents = nullptr;
};

}  // namespace spanlab
