// What the window tests share: dialogs answered from a script, modal boxes handled as they
// show, readable failure messages.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "edit/line_editor.h"

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace spanlab {
namespace {

constexpr int kModalTimeoutMs = 5000;

// Stands in for the item dialogs: records every call and answers from a queue.
class ScriptedEditor : public LineEditor {
 public:
  struct Call {
    int section;
    int mode;
    std::string text;  // what the dialog was opened on
  };

  // The next dialog is confirmed with `text`.
  void Confirm(std::string text) { answers_.push_back({true, std::move(text)}); }
  // The next dialog is cancelled.
  void Cancel() { answers_.push_back({false, {}}); }

  bool Edit(int section, int mode, const ModelItems&, std::string& text) override {
    calls.push_back({section, mode, text});
    if (answers_.empty()) {
      ADD_FAILURE() << "a dialog opened that the test did not expect (section " << section
                    << ", mode " << mode << ")";
      return false;
    }
    const Answer answer = answers_.front();
    answers_.pop_front();
    if (answer.ok) text = answer.text;
    return answer.ok;
  }

  bool AllAnswersUsed() const { return answers_.empty(); }

  std::vector<Call> calls;

 private:
  struct Answer {
    bool ok;
    std::string text;
  };
  std::deque<Answer> answers_;
};

// Handles the first modal widget that shows while it lives, by `handle`, which must close it.
// Gives up after kModalTimeoutMs so that a test that waits in vain fails rather than hangs.
class ModalHandler {
 public:
  explicit ModalHandler(std::function<void(QWidget*)> handle) : handle_(std::move(handle)) {
    clock_.start();
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(10);
  }
  bool Handled() const { return handled_; }

 private:
  void Poll() {
    QWidget* w = QApplication::activeModalWidget();
    if (w && w->isVisible()) {
      timer_.stop();
      handled_ = true;
      handle_(w);
      return;
    }
    if (clock_.elapsed() > kModalTimeoutMs) timer_.stop();
  }

  std::function<void(QWidget*)> handle_;
  QTimer timer_;
  QElapsedTimer clock_;
  bool handled_ = false;
};

// Answers the next message box with `button` and keeps what it said.
class MessageBoxAnswer {
 public:
  explicit MessageBoxAnswer(QMessageBox::StandardButton button)
      : handler_([this, button](QWidget* w) {
          auto* box = qobject_cast<QMessageBox*>(w);
          if (!box) {
            ADD_FAILURE() << "expected a message box, got " << w->metaObject()->className();
            w->close();
            return;
          }
          text = box->text();
          title = box->windowTitle();
          icon = box->icon();
          QAbstractButton* b = box->button(button);
          if (!b) {
            ADD_FAILURE() << "the message box has no such button: " << text.toStdString();
            box->reject();
            return;
          }
          QTest::mouseClick(b, Qt::LeftButton);
        }) {}
  bool Shown() const { return handler_.Handled(); }

  QString text;
  QString title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;

 private:
  ModalHandler handler_;
};

// Fails when a modal window shows while it lives (and closes that window).
class NoModalExpected {
 public:
  NoModalExpected()
      : handler_([](QWidget* w) {
          ADD_FAILURE() << "unexpected modal window " << w->metaObject()->className() << ": "
                        << w->windowTitle().toStdString();
          w->close();
        }) {}

 private:
  ModalHandler handler_;
};

inline std::string Str(const QString& s) { return s.toStdString(); }

}  // namespace
}  // namespace spanlab
