// The tip window driven as a user drives it, offscreen, with settings in memory and tips files
// in a temporary folder. Modal windows are answered by polling for the active modal widget,
// with a time limit so that a window that never opens fails the test instead of hanging it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/qt_tip_dialog.h"

namespace spanlab {
namespace {

constexpr int kModalTimeoutMs = 5000;

// Answers the next modal window that opens while the object lives.
class NextModal {
 public:
  explicit NextModal(std::function<void(QWidget*)> answer) : answer_(std::move(answer)) {
    clock_.start();
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* w = QApplication::activeModalWidget();
      if (w && w->isVisible()) {
        timer_.stop();
        answered_ = true;
        answer_(w);
      } else if (clock_.elapsed() > kModalTimeoutMs) {
        timer_.stop();
      }
    });
    timer_.start(10);
  }
  bool answered() const { return answered_; }

 private:
  std::function<void(QWidget*)> answer_;
  QTimer timer_;
  QElapsedTimer clock_;
  bool answered_ = false;
};

class TipDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  void TearDown() override {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      EXPECT_FALSE(w->isVisible()) << "left open: " << w->windowTitle().toStdString();
    }
  }
  std::string WriteTips(const QByteArray& text) {
    QFile file(dir_.filePath("spanlab.tip"));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return file.fileName().toStdString();
  }
  std::vector<std::string> Folders() { return {dir_.filePath("none").toStdString(), Dir()}; }
  std::string Dir() { return dir_.path().toStdString(); }

  QTemporaryDir dir_;
  MemorySettings settings_;
};

TEST_F(TipDialogTest, ShowsTheTipInTheWhiteAreaAndNextTipGoesRound) {
  const std::string path = WriteTips("; Tips\n  indented\nTip one\nTip two\n");
  {
    CTipDlg dialog(settings_, path);
    EXPECT_EQ(dialog.windowTitle(), "Tip of the Day");
    EXPECT_EQ(dialog.TipText()->text(), "Tip one");
    EXPECT_TRUE(dialog.StartupBox()->isChecked());
    EXPECT_EQ(dialog.StartupBox()->text(), "&Show Tips on StartUp");
    EXPECT_TRUE(dialog.NextTipButton()->isEnabled());
    EXPECT_TRUE(dialog.CloseButton()->isDefault());

    // White behind the text, a yellow glass in the bulb at the top left.
    QWidget* area = dialog.TipText()->parentWidget();
    area->resize(400, 200);
    const QImage picture = area->grab().toImage();
    const QPoint corner = area->contentsRect().topLeft();
    EXPECT_EQ(picture.pixelColor(area->contentsRect().bottomRight() - QPoint(2, 2)),
              QColor(Qt::white));
    const QColor glass = picture.pixelColor(corner + QPoint(10 + 26, 10 + 24));
    EXPECT_GT(glass.red(), 220) << glass.name().toStdString();
    EXPECT_GT(glass.green(), 180) << glass.name().toStdString();
    EXPECT_LT(glass.blue(), 150) << glass.name().toStdString();

    QStringList shown;
    for (int i = 0; i < 3; ++i) {
      QTest::mouseClick(dialog.NextTipButton(), Qt::LeftButton);
      shown << dialog.TipText()->text();
    }
    EXPECT_EQ(shown, (QStringList{"Tip two", "Tip one", "Tip two"}));
  }
  EXPECT_EQ(settings_.GetInt("Tip", "FilePos", -1), 34);  // the end: "Tip two" was last
}

TEST_F(TipDialogTest, CloseStoresTheBoxEscapeDoesNot) {
  const std::string path = WriteTips("Tip one\n");
  struct Case {
    bool check;
    bool escape;
    int stored;  // -1: nothing stored
  };
  for (const Case c :
       {Case{false, true, -1}, Case{false, false, 1}, Case{true, true, 1}, Case{true, false, 0}}) {
    CTipDlg dialog(settings_, path);
    dialog.show();
    dialog.StartupBox()->setChecked(c.check);
    if (c.escape) {
      QTest::keyClick(&dialog, Qt::Key_Escape);
    } else {
      QTest::mouseClick(dialog.CloseButton(), Qt::LeftButton);
    }
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(settings_.GetInt("Tip", "StartUp", -1), c.stored) << c.check << c.escape;
  }
}

TEST_F(TipDialogTest, WithoutATipsFileNextTipIsDisabled) {
  CTipDlg dialog(settings_, FindTipsFile({Dir()}));
  EXPECT_EQ(dialog.TipText()->text(), "Tips file does not exist in the prescribed directory");
  EXPECT_FALSE(dialog.NextTipButton()->isEnabled());
  EXPECT_TRUE(dialog.CloseButton()->isEnabled());
}

TEST_F(TipDialogTest, HelpMenuAndStartUpShowings) {
  WriteTips("Tip one\nTip two\nTip three\n");
  QString seen;
  auto closeAndRead = [&seen](QWidget* w) {
    auto* dialog = static_cast<CTipDlg*>(w);
    seen = dialog->TipText()->text();
    dialog->CloseButton()->click();
  };
  {
    NextModal answer(closeAndRead);
    ShowTipAtStartup(nullptr, settings_, Folders());
    EXPECT_TRUE(answer.answered());
    EXPECT_EQ(seen, "Tip one");
  }
  settings_.SetInt("Tip", "StartUp", 1);
  {
    NextModal answer(closeAndRead);
    ShowTipAtStartup(nullptr, settings_, Folders());
    QTest::qWait(50);
    EXPECT_FALSE(answer.answered());
  }
  // The start without the window still used up "Tip two".
  NextModal answer(closeAndRead);
  ShowTipOfTheDay(nullptr, settings_, Folders());
  EXPECT_TRUE(answer.answered());
  EXPECT_EQ(seen, "Tip three");
}

TEST_F(TipDialogTest, AnUnusablePositionIsReportedBeforeTheWindow) {
  const std::string path = WriteTips("Tip one\n");
  settings_.SetString("Tip", "TimeStamp", FileTimeText(path));
  settings_.SetInt("Tip", "FilePos", -5);
  QString title, text, tip;
  std::unique_ptr<NextModal> window;
  NextModal box([&](QWidget* w) {
    auto* message = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(message, nullptr);
    title = message->windowTitle();
    text = message->text();
    window = std::make_unique<NextModal>([&tip](QWidget* d) {  // once the box is gone
      tip = static_cast<CTipDlg*>(d)->TipText()->text();
      static_cast<CTipDlg*>(d)->reject();
    });
    message->accept();
  });
  ShowTipOfTheDay(nullptr, settings_, Folders());
  EXPECT_EQ(title, "Spanlab");
  EXPECT_EQ(text, "Trouble reading the tips file");
  ASSERT_TRUE(window && window->answered());
  EXPECT_EQ(tip, "");
}

}  // namespace
}  // namespace spanlab

namespace {
}  // namespace
