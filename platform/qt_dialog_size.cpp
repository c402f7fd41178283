#include "platform/qt_dialog_size.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace spanlab {

namespace {

constexpr const char* kSection = "Dialogs";

// Writes the dialog's size into the settings each time it is hidden (closed by any button).
class SizeKeeper : public QObject {
 public:
  SizeKeeper(QWidget& dialog, SettingsStore& settings, std::string name)
      : QObject(&dialog), settings_(settings), name_(std::move(name)) {
    dialog.installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Hide && watched == parent()) {
      const QSize size = static_cast<QWidget*>(watched)->size();
      settings_.SetInt(kSection, name_ + " Width", size.width());
      settings_.SetInt(kSection, name_ + " Height", size.height());
    }
    return false;
  }

 private:
  SettingsStore& settings_;
  std::string name_;
};

}  // namespace

void KeepDialogSize(QWidget& dialog, SettingsStore* settings, const std::string& name,
                    QSize fallback) {
  QSize size = fallback;
  if (settings) {
    size = QSize(settings->GetInt(kSection, name + " Width", fallback.width()),
                 settings->GetInt(kSection, name + " Height", fallback.height()));
    new SizeKeeper(dialog, *settings, name);
  }
  size = size.expandedTo(dialog.minimumSizeHint());
  if (const QScreen* screen = dialog.screen() ? dialog.screen() : QGuiApplication::primaryScreen()) {
    size = size.boundedTo(screen->availableSize());
  }
  dialog.resize(size);
}

}  // namespace spanlab
